#include "config/config_window_rules.hpp"

#include <gtest/gtest.h>

#include <xlsxwriter.h>

#include "common/text_file.hpp"
#include "shell/session.hpp"
#include "test_support.hpp"

namespace torvane {
namespace {

using testing::ScopedEnv;
using testing::TempDir;
using testing::TestSession;

class ConfigRules : public ::testing::Test {
 protected:
  ConfigRules() {
    s.samples = 1000;
    s.frequency = 500;
    s.weight = 80;
    DimensionDataArrays(t.session.trial, s.samples);
  }
  const std::string& LastMessage() const { return t.dialogs.shown.back().text; }

  TestSession t;
  SettingsRecord& s = t.session.settings;
};

TEST_F(ConfigRules, FrequencyFollowsTheSelectedUnit) {
  s.ZRA6PlusInput = true;
  BoxCorrection c = SampleFrequencyChanged(t.session, "750", 2.0);
  EXPECT_EQ(s.frequency, 500);
  EXPECT_EQ(c.box, "500");
  c = SampleFrequencyChanged(t.session, "250", 2.0);
  EXPECT_EQ(s.frequency, 250);
  EXPECT_FALSE(c.box.has_value());
  EXPECT_EQ(s.samples, 500);
  EXPECT_EQ(c.samplesLabel, "Number of Samples = 500.0");

  s.ZRA6PlusInput = false;
  t.session.DemoMode = true;
  c = SampleFrequencyChanged(t.session, "750", 2.0);
  EXPECT_EQ(s.frequency, 750);
  EXPECT_EQ(s.samples, 1500);
  c = SampleFrequencyChanged(t.session, "1001", 2.0);
  EXPECT_EQ(s.frequency, 500);
  EXPECT_EQ(c.box, "500");

  t.session.DemoMode = false;
  s.ZRA7Input = true;
  c = SampleFrequencyChanged(t.session, "100", 2.0);
  EXPECT_EQ(s.frequency, 600);
  EXPECT_EQ(c.box, "600");
  t.session.MaxInterfaceFrequency = 500;
  SampleFrequencyChanged(t.session, "100", 2.0);
  EXPECT_EQ(s.frequency, 200);
  EXPECT_TRUE(t.dialogs.shown.empty());
}

TEST_F(ConfigRules, FrequencyIsNotChangedWhileATrialFileIsOpen) {
  s.ZRA6PlusInput = true;
  t.session.trial.DataFileName = "/trials/a.qlx";
  t.session.trial.Displacement[3] = 1.5f;
  const BoxCorrection c = SampleFrequencyChanged(t.session, "200", 2.0);
  EXPECT_EQ(LastMessage(), "Current data file must be closed before changing sample frequency");
  EXPECT_EQ(s.frequency, 500);
  EXPECT_EQ(c.box, "500");
  EXPECT_EQ(t.session.trial.Displacement[3], 1.5f);
}

TEST_F(ConfigRules, ASampleCountOfAMillionIsRefusedAndTheOldValuesStay) {
  t.session.DemoMode = true;
  const BoxCorrection c = SampleFrequencyChanged(t.session, "1000", 1000.0);
  EXPECT_EQ(t.dialogs.shown.back().title, "Maximum sample number exceeded");
  EXPECT_EQ(t.dialogs.shown.back().icon, MessageIcon::Critical);
  EXPECT_EQ(LastMessage(), "Maximum data size exceeded. Reduce sample frequency or duration");
  EXPECT_EQ(s.frequency, 500);
  EXPECT_EQ(s.samples, 1000);
  EXPECT_EQ(c.box, "500");
  EXPECT_EQ(t.session.trial.UpperBound(), 32002);

  const BoxCorrection d = DurationChanged(t.session, "2000");
  EXPECT_EQ(t.dialogs.shown.size(), 2u);
  EXPECT_EQ(s.samples, 1000);
  EXPECT_EQ(d.box, "2");
}

TEST_F(ConfigRules, DurationSetsTheSampleCountAndGrowsTheArraysOnlyWhenNeeded) {
  t.session.trial.Displacement[10] = 2.0f;
  BoxCorrection c = DurationChanged(t.session, "3.5 s");
  EXPECT_EQ(s.samples, 1750);
  EXPECT_EQ(c.samplesLabel, "Number of Samples = 1750.0");
  EXPECT_EQ(t.session.statusBar.Panel(4).text, "Duration 3.5 secs");
  EXPECT_EQ(t.session.trial.Displacement[10], 2.0f);  // still fits: the trial is kept
  c = DurationChanged(t.session, "100");
  EXPECT_EQ(s.samples, 50000);
  EXPECT_EQ(t.session.trial.UpperBound(), 50002);
}

TEST_F(ConfigRules, MassMustBeAboveZero) {
  EXPECT_FALSE(WeightEntered(t.session, "0"));
  EXPECT_EQ(t.dialogs.shown.back().title, "Error entering weight");
  EXPECT_EQ(LastMessage(), "Weight entered must be greater than zero kilograms");
  EXPECT_FALSE(WeightEntered(t.session, "heavy"));
  EXPECT_EQ(s.weight, 80.0f);
  EXPECT_TRUE(WeightEntered(t.session, "72.5 kg"));
  EXPECT_EQ(s.weight, 72.5f);
}

TEST_F(ConfigRules, BrakeLevelIsLimitedAndAppliedThroughTheLink) {
  EXPECT_EQ(BrakeLevelChanged(t.session, "150"), " 100");
  EXPECT_EQ(s.BrakeLevel, 100.0f);
  EXPECT_EQ(BrakeLevelChanged(t.session, "-5"), " 0");
  EXPECT_EQ(s.BrakeLevel, 0.0f);
  EXPECT_EQ(BrakeLevelChanged(t.session, "37.5"), std::nullopt);
  EXPECT_EQ(s.BrakeLevel, 37.5f);

  // Without a link nothing can be sent.
  EXPECT_FALSE(ApplyBrakeSetting(t.session));
  EXPECT_EQ(LastMessage().rfind("Error setting brake level: ", 0), 0u);
  EXPECT_EQ(t.session.BrakePercent, 0.0f);

  std::vector<float> sent;
  std::string failure;
  t.session.hooks.SetBrakeLevel = [&](float level) {
    sent.push_back(level);
    return failure;
  };
  EXPECT_TRUE(ApplyBrakeSetting(t.session));
  EXPECT_EQ(sent, (std::vector<float>{37.5f}));
  EXPECT_EQ(t.session.statusBar.Panel(5).text, "Brake 37.5 %");
  failure = "port closed";
  s.BrakeLevel = 50;
  EXPECT_FALSE(ApplyBrakeSetting(t.session));
  EXPECT_EQ(LastMessage(), "Error setting brake level: port closed");
  EXPECT_EQ(t.session.BrakePercent, 37.5f);
}

TEST_F(ConfigRules, SpreadsheetOutputNeedsTheWorkbookWriter) {
  s.exceloutput = true;
  EXPECT_FALSE(ExcelOutputChanged(t.session, false));
  EXPECT_FALSE(s.exceloutput);
  EXPECT_TRUE(ExcelOutputChanged(t.session, true));
  EXPECT_EQ(t.session.ExcelVersion, LXW_VERSION);
  EXPECT_TRUE(t.session.ExcelApp.running);
  t.session.ModernWindows = false;
  s.exceloutput = false;
  EXPECT_FALSE(ExcelOutputChanged(t.session, true));
}

TEST_F(ConfigRules, ChoosingAUnitSelectsOnlyItAndSuitsTheControls) {
  s.ZRA7Input = true;
  s.frequency = 600;
  ChooseInterface(t.session, InterfaceModel::Zra6);
  EXPECT_TRUE(s.ZRA6Input);
  EXPECT_FALSE(s.ZRA7Input);
  EXPECT_EQ(s.frequency, 500);
  DataCollectionControls c = ControlsForInterface(s);
  EXPECT_TRUE(c.serialFrameVisible);
  EXPECT_TRUE(c.frequency);
  ChooseInterface(t.session, InterfaceModel::Zra7);
  EXPECT_FALSE(s.ZRA6Input);
  c = ControlsForInterface(s);
  EXPECT_FALSE(c.serialFrameVisible);
  EXPECT_FALSE(c.frequency);
}

TEST_F(ConfigRules, ConnectReportsWhatDiscoveryFound) {
  EXPECT_EQ(ConnectInterface(t.session), "No Connection");
  t.session.hooks.DiscoverInterface = [] { return true; };
  EXPECT_EQ(ConnectInterface(t.session), "Connection Established");
}

TEST_F(ConfigRules, RestoreDefaultsFindsTheFoldersAgainAndRootsTheFilesInThem) {
  TempDir dir;
  ScopedEnv data("TORVANE_DATA_DIR", dir.path());
  MakeFolders(dir.path());
  testing::WriteText(dir.File("QLXConfig.ini"), "");
  s.SquadFileName = "/elsewhere/team.xls";
  s.weight = 55;
  RestoreDefaults(t.session);
  EXPECT_EQ(s.weight, 80.0f);
  EXPECT_TRUE(s.ZRA7Input);
  EXPECT_EQ(s.ProgramDataDirectory, dir.path());
  EXPECT_EQ(s.SquadFileName, dir.path() + "/Squad.xls");
  EXPECT_EQ(s.oversoundfile, dir.path() + "/over.wav");
  EXPECT_EQ(s.CalibrationLogFile, dir.path() + "/QLXCalibration.log");
  EXPECT_EQ(t.dialogs.shown.back().title, "Complete reset to default settings");
  EXPECT_EQ(LastMessage(),
            "System is now reset to default setup. Select appropriate data interface and connect. "
            "Force plate and/or position transducer must be recalibrated before use.");
  EXPECT_EQ(testing::ReadText(dir.File("QLXConfig.ini")), "");  // nothing saved yet
}

}  // namespace
}  // namespace torvane
