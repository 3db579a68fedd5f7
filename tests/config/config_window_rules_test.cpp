#include "config/config_window_rules.hpp"

#include <gtest/gtest.h>

#include "common/text_file.hpp"
#include "shell/config_session.hpp"
#include "shell/session.hpp"
#include "test_support.hpp"

namespace torvane {
namespace {

using testing::Message;
using testing::Msg;
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
  // More than the unit can do, text and 0 are refused; the previous value stays.
  for (const char* refused : {"750", "fast", "0", "-3", "250.5"}) {
    BoxCorrection c = SetSampleFrequency(SamplingContextOf(t.session), refused, 2.0);
    EXPECT_EQ(s.frequency, 500) << refused;
    EXPECT_EQ(c.box, "500");
  }
  EXPECT_EQ(Msg(t.dialogs.shown.back()),
            Message(MessageIcon::Exclamation, "Setting not accepted",
                    "Sampling Frequency must be a whole number from 1 to 500 Hz (a ZRA6 or ZRA6+ "
                    "samples at up to 500 Hz). \"250.5\" is not accepted; the previous value 500 "
                    "Hz is kept."));
  t.dialogs.shown.clear();
  BoxCorrection c;
  c = SetSampleFrequency(SamplingContextOf(t.session), "250", 2.0);
  EXPECT_EQ(std::tie(s.frequency, s.samples), std::tuple(250, 500));
  EXPECT_FALSE(c.box.has_value());
  EXPECT_EQ(c.samplesLabel, "Number of Samples = 500.0");

  s.ZRA6PlusInput = false;
  t.session.DemoMode = true;
  SetSampleFrequency(SamplingContextOf(t.session), "750", 2.0);
  EXPECT_EQ(std::tie(s.frequency, s.samples), std::tuple(750, 1500));
  c = SetSampleFrequency(SamplingContextOf(t.session), "1001", 2.0);
  EXPECT_EQ(s.frequency, 750);
  EXPECT_EQ(c.box, "750");
  t.dialogs.shown.clear();

  t.session.DemoMode = false;
  s.ZRA7Input = true;
  c = SetSampleFrequency(SamplingContextOf(t.session), "100", 2.0);
  EXPECT_EQ(s.frequency, 600);
  EXPECT_EQ(c.box, "600");
  t.session.MaxInterfaceFrequency = 500;
  SetSampleFrequency(SamplingContextOf(t.session), "100", 2.0);
  EXPECT_EQ(s.frequency, 200);
  EXPECT_TRUE(t.dialogs.shown.empty());
}

TEST_F(ConfigRules, TheFrequencyStaysAboveTwiceEveryFilterCutOff) {
  s.velocFc = 16;
  const BoxCorrection c = SetSampleFrequency(SamplingContextOf(t.session), "32", 2.0);
  EXPECT_EQ(c.box, "500");
  EXPECT_EQ(LastMessage(),
            "Sampling Frequency must be more than twice the Velocity filter cut-off of 16 Hz. "
            "\"32\" is not accepted; the previous value 500 Hz is kept.");
  SetSampleFrequency(SamplingContextOf(t.session), "33", 2.0);
  EXPECT_EQ(s.frequency, 33);
}

TEST_F(ConfigRules, FrequencyIsNotChangedWhileATrialFileIsOpen) {
  s.ZRA6PlusInput = true;
  t.session.trial.DataFileName = "/trials/a.qlx";
  t.session.trial.Displacement[3] = 1.5f;
  const BoxCorrection c = SetSampleFrequency(SamplingContextOf(t.session), "200", 2.0);
  EXPECT_EQ(LastMessage(), "Current data file must be closed before changing sample frequency");
  EXPECT_EQ(s.frequency, 500);
  EXPECT_EQ(c.box, "500");
  EXPECT_EQ(t.session.trial.Displacement[3], 1.5f);
}

TEST_F(ConfigRules, ASampleCountOfAMillionIsRefusedAndTheOldValuesStay) {
  t.session.DemoMode = true;
  const BoxCorrection c = SetSampleFrequency(SamplingContextOf(t.session), "1000", 1000.0);
  EXPECT_EQ(Msg(t.dialogs.shown.back()),
            Message(MessageIcon::Critical, "Maximum sample number exceeded",
                    "Maximum data size exceeded. Reduce sample frequency or duration"));
  EXPECT_EQ(std::tie(s.frequency, s.samples), std::tuple(500, 1000));
  EXPECT_EQ(c.box, "500");
  EXPECT_EQ(t.session.trial.UpperBound(), 32002);

  const BoxCorrection d = SetTrialDuration(SamplingContextOf(t.session), "2000");
  EXPECT_EQ(t.dialogs.shown.size(), 2u);
  EXPECT_EQ(s.samples, 1000);
  EXPECT_EQ(d.box, "2");
}

TEST_F(ConfigRules, DurationSetsTheSampleCountAndGrowsTheArraysOnlyWhenNeeded) {
  t.session.trial.Displacement[10] = 2.0f;
  for (const char* refused : {"-3", "abc", "3.5 s", "0", "0.0001"}) {
    const BoxCorrection r = SetTrialDuration(SamplingContextOf(t.session), refused);
    EXPECT_EQ(r.box, "2") << refused;
    EXPECT_EQ(s.samples, 1000);
  }
  EXPECT_EQ(LastMessage(),
            "Sample Period must be a number above 0 s (at least one sample). \"0.0001\" is not "
            "accepted; the previous value 2 s is kept.");
  const BoxCorrection c = SetTrialDuration(SamplingContextOf(t.session), "3.5");
  EXPECT_EQ(s.samples, 1750);
  EXPECT_EQ(c.samplesLabel, "Number of Samples = 1750.0");
  EXPECT_EQ(t.session.trial.Displacement[10], 2.0f);  // still fits: the trial is kept
  SetTrialDuration(SamplingContextOf(t.session), "100");
  EXPECT_EQ(s.samples, 50000);
  EXPECT_EQ(t.session.trial.UpperBound(), 50002);
}

TEST_F(ConfigRules, MassMustBeAboveZero) {
  EXPECT_FALSE(SetWeight(s, t.dialogs, "0"));
  EXPECT_EQ(t.dialogs.shown.back().title, "Error entering weight");
  EXPECT_EQ(LastMessage(), "Weight entered must be greater than zero kilograms");
  EXPECT_FALSE(SetWeight(s, t.dialogs, "heavy"));
  EXPECT_FALSE(SetWeight(s, t.dialogs, "-70"));
  EXPECT_EQ(s.weight, 80.0f);
  EXPECT_TRUE(SetWeight(s, t.dialogs, "72.5"));
  EXPECT_EQ(s.weight, 72.5f);
}

TEST_F(ConfigRules, BrakeLevelIsAPercentage) {
  EXPECT_EQ(SetBrakeLevelSetting(s, t.dialogs, "37.5"), std::nullopt);
  EXPECT_EQ(s.BrakeLevel, 37.5f);
  EXPECT_EQ(SetBrakeLevelSetting(s, t.dialogs, "150"), "37.5");
  EXPECT_EQ(SetBrakeLevelSetting(s, t.dialogs, "-5"), "37.5");
  EXPECT_EQ(s.BrakeLevel, 37.5f);
  EXPECT_EQ(LastMessage(),
            "Braking Level must be a number from 0 to 100 %. \"-5\" is not accepted; the previous "
            "value 37.5 % is kept.");
}

TEST_F(ConfigRules, ChoosingAUnitSelectsOnlyItAndSuitsTheControls) {
  s.ZRA7Input = true;
  s.frequency = 600;
  ChooseInterface(s, InterfaceModel::Zra6);
  EXPECT_TRUE(s.ZRA6Input && !s.ZRA7Input);
  EXPECT_EQ(s.frequency, 500);
  EXPECT_TRUE(ControlsForInterface(s).serialFrameVisible && ControlsForInterface(s).frequency);
  ChooseInterface(s, InterfaceModel::Zra7);
  EXPECT_FALSE(s.ZRA6Input);
  EXPECT_FALSE(ControlsForInterface(s).serialFrameVisible || ControlsForInterface(s).frequency);
}

TEST_F(ConfigRules, RestoreDefaultsFindsTheFoldersAgainAndRootsTheFilesInThem) {
  testing::TempDir dir;
  testing::ScopedEnv data("TORVANE_DATA_DIR", dir.path());
  MakeFolders(dir.path());
  testing::WriteText(dir.File("QLXConfig.ini"), "");
  s.SquadFileName = "/elsewhere/team.xls";
  s.weight = 55;
  RestoreDefaults(ConfigContextOf(t.session));
  EXPECT_EQ(s.weight, 80.0f);
  EXPECT_TRUE(s.ZRA7Input);
  EXPECT_EQ(s.ProgramDataDirectory, dir.path());
  EXPECT_EQ(s.SquadFileName, dir.path() + "/Squad.xlsx");
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
