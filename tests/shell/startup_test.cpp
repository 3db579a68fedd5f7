#include "shell/startup.hpp"

#include <gtest/gtest.h>

#include <xlsxwriter.h>
#include <algorithm>
#include <regex>

#include "common/text_file.hpp"
#include "config/ini_file.hpp"
#include "shell/session.hpp"
#include "test_support.hpp"

namespace torvane {
namespace {

using testing::ReadText;
using testing::ScopedEnv;
using testing::TempDir;
using testing::TestSession;
using testing::WriteText;

// A machine whose data folder is `dir/data` (created from an empty sample
// folder on a first run) and whose second candidate is under `dir/xdg`.
class StartupTest : public ::testing::Test {
 protected:
  StartupTest()
      : data_("TORVANE_DATA_DIR", dir_.path() + "/data"),
        xdg_("XDG_DATA_HOME", dir_.path() + "/xdg"),
        template_("TORVANE_TEMPLATE_DIR", dir_.path() + "/template") {
    MakeFolders(dir_.path() + "/template");
  }

  std::string DataFolder() const { return dir_.path() + "/data"; }
  std::string ConfigPath() const { return DataFolder() + "/QLXConfig.ini"; }

  // A data folder holding a configuration with these lines in [Data
  // Collection] (and the first run already done).
  void WriteConfig(const std::string& dataCollection, const std::string& extra = "") {
    MakeFolders(DataFolder());
    WriteText(ConfigPath(),
              "[Miscellaneous]\r\nfirsttime=false\r\nFirstTimeVistaCompatibleRun=false\r\n"
              "exceloutput=false\r\n[Data Collection]\r\n" +
                  dataCollection + "[Folders and Files]\r\nProgramDataDirectory=" + DataFolder() +
                  "\r\nDataDirectory=" + DataFolder() + "\r\n" + extra);
  }

  StartupResult Start(const StartupWindows& windows = {}, std::string_view commandLine = {}) {
    return RunStartup(t_.session, windows, commandLine);
  }

  bool Logged(std::string_view line) const {
    return t_.session.statusLog.text.find("\r\n" + std::string(line) + "\r\n") != std::string::npos;
  }

  TempDir dir_;
  ScopedEnv data_, xdg_, template_;
  TestSession t_;
};

TEST_F(StartupTest, AFreshMachineGetsItsDataFolderAndAConfigurationInReadingOrder) {
  int firstRunShown = 0;
  StartupWindows windows;
  windows.ShowFirstRunWindow = [&] {
    ++firstRunShown;
    return true;
  };
  ASSERT_EQ(Start(windows), StartupResult::Running);
  EXPECT_EQ(firstRunShown, 1);
  EXPECT_TRUE(t_.session.DataFolderCreated);
  // Loaded, then saved: the keys only saving writes close their sections.
  const std::string config = ReadText(ConfigPath());
  EXPECT_EQ(config.rfind("[Miscellaneous]\r\nsoundstart=", 0), 0u);
  EXPECT_NE(config.find("\r\nShowSystemStatus=true\r\neccentricstrengthtest=false\r\n[Data "),
            std::string::npos);
  EXPECT_NE(config.find("\r\nVistaCompatible=false\r\n[Training Mode]"), std::string::npos);
  EXPECT_EQ(config.substr(config.size() - 24), "\r\nbrakeabovezero=false\r\n");
  // No old settings store: the repairs make the first run 1000 samples at 200 Hz.
  EXPECT_EQ(t_.session.settings.samples, 1000);
  EXPECT_EQ(t_.session.settings.frequency, 200);
  EXPECT_NE(ReadText(ConfigPath()).find("\r\nfrequency= 200\r\n"), std::string::npos);
  EXPECT_EQ(ReadIniValue("Miscellaneous", "FirstTimeVistaCompatibleRun", "", ConfigPath()),
            "false");
  EXPECT_EQ(t_.session.trial.UpperBound(), 32002);
  EXPECT_TRUE(Logged("First run of the Torvane Measurement System with this data folder"));
  EXPECT_TRUE(Logged("Version - 1.0.0"));
  EXPECT_TRUE(Logged("Data arrays have been dimensioned"));
  EXPECT_NE(t_.session.statusLog.text.find("\r\nOperating system detected: "), std::string::npos);
  // The trace follows the order of the steps.
  const std::string& log = t_.session.statusLog.text;
  EXPECT_LT(log.find("Starting Torvane Measurement System"),
            log.find("System configuration loaded"));
  EXPECT_LT(log.find("Squad file set to"), log.find("Data arrays have been dimensioned"));
  EXPECT_LT(log.find("Updating status bar"), log.find("Loading Squad list"));
  EXPECT_EQ(ReadText(DataFolder() + "/QLXSystemStatus.txt"), log + "\r\n");
}

TEST_F(StartupTest, WithoutAnyDataFolderTheUserIsToldAndStartUpCarriesOnWithDefaults) {
  ScopedEnv data("TORVANE_DATA_DIR", "/proc/no-such-folder/data");
  ScopedEnv xdg("XDG_DATA_HOME", "/proc/no-such-folder/xdg");
  ASSERT_EQ(Start(), StartupResult::Running);
  const auto& shown = t_.dialogs.shown;
  const auto count = [&](std::string_view text) {
    return std::count_if(shown.begin(), shown.end(),
                         [&](const auto& s) { return s.text.find(text) != std::string::npos; });
  };
  EXPECT_EQ(count("QLXConfig.ini not found"), 3);
  EXPECT_EQ(count(kCriticalFilesText), 2);
  EXPECT_EQ(t_.session.settings.samples, 1000);
  EXPECT_EQ(t_.session.settings.baudrate, 115200);
}

TEST_F(StartupTest, TheFirstStartUnderAFreshHomeNamesNoProgramOrSystemOfAnotherPlatform) {
  ScopedEnv home("HOME", dir_.path() + "/home");
  ScopedEnv data("TORVANE_DATA_DIR", "");
  ScopedEnv xdgData("XDG_DATA_HOME", dir_.path() + "/home/.local/share");
  ScopedEnv xdgConfig("XDG_CONFIG_HOME", dir_.path() + "/home/.config");
  MakeFolders(dir_.path() + "/home");
  ASSERT_EQ(Start(), StartupResult::Running);
  ASSERT_TRUE(t_.session.DataFolderCreated);
  const std::string& log = t_.session.statusLog.text;
  std::smatch found;
  EXPECT_FALSE(std::regex_search(log, found, std::regex(R"(\b(Windows|Vista|XP|Excel)\b)")))
      << found.str() << " in:\n"
      << log;
  EXPECT_TRUE(Logged("First run of the Torvane Measurement System with this data folder"));
  EXPECT_NE(log.find("libxlsxwriter"), std::string::npos);
}

TEST_F(StartupTest, TheZra7Is600HzCapableOnlyWhenItAnsweredAndSaysSoOnce) {
  const auto start = [&](bool answers) {
    WriteConfig("ZRA6PlusInput=false\r\nZRA7Input=true\r\n");
    TestSession t;
    t.session.hooks.DiscoverInterface = [&t, answers] {
      // What discovery logs when the unit answers.
      if (answers) AddStatusMessage(t.session, "600Hz capable ZRA7 detected");
      return answers;
    };
    RunStartup(t.session, {}, {});
    const std::string& log = t.session.statusLog.text;
    std::size_t count = 0;
    for (std::size_t at = log.find("600Hz capable"); at != std::string::npos;
         at = log.find("600Hz capable", at + 1)) {
      ++count;
    }
    return count;
  };
  EXPECT_EQ(start(true), 1u);
  EXPECT_EQ(start(false), 0u);
}

TEST_F(StartupTest, DamagedValuesAreRepairedBeforeAndAfterTheFirstRunWindow) {
  const auto samplesAfterStart = [&](const std::string& samples) {
    WriteConfig("samples=" + samples + "\r\nfrequency=0\r\n", "[Data Processing]\r\nweight=0\r\n");
    TestSession t;
    RunStartup(t.session, {}, {});
    EXPECT_EQ(t.session.settings.frequency, 200);
    EXPECT_EQ(t.session.settings.weight, 70.0f);
    return t.session.settings.samples;
  };
  EXPECT_EQ(samplesAfterStart("50"), 1000);
  EXPECT_EQ(samplesAfterStart("100"), 200);
  EXPECT_EQ(samplesAfterStart("101"), 101);
  // A count that could never be held would be allocated at once.
  EXPECT_EQ(samplesAfterStart("2000000000"), 1000);
}

TEST_F(StartupTest, TheInterfaceLimitsTheSampleFrequency) {
  const auto startWith = [&](const std::string& unit, const std::string& frequency) {
    std::string units;
    for (const char* key : {"ZRA6Input", "ZRA6PlusInput", "ZRA7Input"}) {
      units += key + std::string(key == unit ? "=true\r\n" : "=false\r\n");
    }
    WriteConfig("frequency=" + frequency + "\r\n" + units);
    TestSession t;
    t.session.MaxInterfaceFrequency = 0;
    RunStartup(t.session, {}, {});
    EXPECT_NE(
        ReadText(ConfigPath()).find("frequency= " + std::to_string(t.session.settings.frequency)),
        std::string::npos);
    return std::pair{t.session.settings.frequency, t.session.MaxInterfaceFrequency};
  };
  EXPECT_EQ(startWith("ZRA7Input", "200"), (std::pair<std::int32_t, std::int16_t>{600, 600}));
  EXPECT_EQ(startWith("ZRA6Input", "1000").first, 500);
  EXPECT_EQ(startWith("ZRA6PlusInput", "1000").first, 500);
  EXPECT_EQ(startWith("ZRA6PlusInput", "250").first, 250);
}

TEST_F(StartupTest, OnlyTheExactDefaultSquadNameIsRootedInTheDataFolder) {
  WriteConfig("", "SquadFileName=Squad.xls\r\n");
  Start();
  EXPECT_EQ(t_.session.settings.SquadFileName, DataFolder() + "/Squad.xls");
  EXPECT_TRUE(Logged("Squad file set to " + DataFolder() + "/Squad.xls"));

  WriteConfig("", "SquadFileName=squad.xls\r\n");
  TestSession other;
  RunStartup(other.session, {}, {});
  EXPECT_EQ(other.session.settings.SquadFileName, "squad.xls");
}

TEST_F(StartupTest, MissingSoundFilesAreLookedForInTheDataFolder) {
  WriteConfig("",
              "[Training Mode]\r\noversoundfile=C:\\Program Files\\QLX\\over.wav\r\n"
              "undersoundfile=\\under.wav\r\n");
  WriteText(DataFolder() + "/over.wav", "RIFF");
  Start();
  EXPECT_EQ(t_.session.settings.oversoundfile, DataFolder() + "/over.wav");
  EXPECT_TRUE(Logged("Over threshold sound file set to " + DataFolder() + "/over.wav"));
  EXPECT_EQ(t_.session.settings.undersoundfile, DataFolder() + "/under.wav");
  EXPECT_TRUE(Logged("Sound file not found. Please select from Configuration"));
  // The shortening rule itself: after the first separator, then after the
  // first blank, when that file is there.
  MakeFolders(DataFolder() + "/sounds");
  WriteText(DataFolder() + "/sounds/beep.wav", "RIFF");
  EXPECT_EQ(RelocatedSoundFile(DataFolder(), "C:\\sounds\\beep.wav"),
            DataFolder() + "/sounds/beep.wav");
  EXPECT_EQ(RelocatedSoundFile(DataFolder(), "C:\\my sounds\\beep.wav"),
            DataFolder() + "/sounds/beep.wav");
  // Otherwise the name in the data folder, which the next start keeps as it is.
  const std::string moved = RelocatedSoundFile(DataFolder(), "/old place/Torvane Data/ding.wav");
  EXPECT_EQ(moved, DataFolder() + "/ding.wav");
  EXPECT_EQ(RelocatedSoundFile(DataFolder(), moved), moved);
}

TEST_F(StartupTest, CancellingTheFirstRunWindowEndsStartUpWithoutSaving) {
  WriteConfig("samples=300\r\n", "");
  WriteIniValue("Miscellaneous", "firsttime", "true", ConfigPath());
  std::string fileWhenShown;
  StartupWindows windows;
  windows.ShowFirstRunWindow = [&] {
    fileWhenShown = ReadText(ConfigPath());
    t_.session.settings.ZRA6Input = true;  // a choice made, then cancelled
    return false;
  };
  bool discovered = false;
  t_.session.hooks.DiscoverInterface = [&] { return discovered = true; };
  EXPECT_EQ(Start(windows), StartupResult::Cancelled);
  EXPECT_FALSE(discovered);
  EXPECT_FALSE(Logged("Data arrays have been dimensioned"));
  EXPECT_EQ(ReadText(ConfigPath()), fileWhenShown);
}

TEST_F(StartupTest, DemonstrationModeSkipsDiscoveryAndSaysSo) {
  WriteConfig("AccelInput=true\r\n");
  int discoveries = 0;
  t_.session.hooks.DiscoverInterface = [&] {
    ++discoveries;
    return false;
  };
  StartupWindows windows;
  windows.ShowFirstRunWindow = [&] {
    t_.session.DemoMode = true;
    return true;
  };
  WriteIniValue("Miscellaneous", "firsttime", "true", ConfigPath());
  Start(windows);
  EXPECT_EQ(discoveries, 0);
  EXPECT_EQ(t_.session.statusBar.Panel(1).text, "Demo/Analysis Mode");
  EXPECT_TRUE(Logged("QLX is running in demonstration mode"));
  // The accelerometer is never active after start-up.
  EXPECT_FALSE(t_.session.settings.AccelInput);
  EXPECT_EQ(ReadIniValue("Data Collection", "AccelInput", "", ConfigPath()), "false");

  TestSession withUnit;
  withUnit.session.hooks.DiscoverInterface = [&] {
    ++discoveries;
    return true;
  };
  RunStartup(withUnit.session, {}, {});
  EXPECT_EQ(discoveries, 1);
  EXPECT_EQ(withUnit.session.statusBar.Panel(1).text, "Interface NOT found");
}

TEST_F(StartupTest, SpreadsheetOutputOpensTheResultsWorkbookAndTheSquadList) {
  WriteConfig("");
  WriteIniValue("Miscellaneous", "exceloutput", "true", ConfigPath());
  int squadShown = 0;
  StartupWindows windows;
  windows.ShowSquadWindow = [&] { ++squadShown; };
  Start(windows);
  EXPECT_EQ(t_.session.ExcelVersion, LXW_VERSION);
  EXPECT_TRUE(t_.session.ExcelApp.running);
  EXPECT_TRUE(Logged("Results workbook ready for data entry"));
  EXPECT_TRUE(
      Logged("Results workbook writer libxlsxwriter " LXW_VERSION " has been loaded successfully"));
  EXPECT_EQ(squadShown, 1);
  EXPECT_TRUE(MenuEntry(t_.session, "mnuSquad").enabled);

  WriteIniValue("Miscellaneous", "exceloutput", "false", ConfigPath());
  TestSession off;
  RunStartup(off.session, windows, {});
  EXPECT_FALSE(off.session.ExcelApp.running);
  EXPECT_EQ(squadShown, 1);
  EXPECT_TRUE(
      MenuEntry(off.session, "mnuSquad").enabled);  // the squad needs no spreadsheet program
}

TEST_F(StartupTest, ATrialNamedOnTheCommandLineIsOfferedForOpening) {
  WriteConfig("");
  std::vector<std::string> opened;
  t_.session.hooks.OpenTrialFile = [&](const std::string& path) {
    opened.push_back(path);
    return true;
  };
  t_.dialogs.answers = {DialogAnswer::Cancel};
  Start({}, "/trials/jump 1.qlx");
  ASSERT_FALSE(t_.dialogs.shown.empty());
  const auto& question = t_.dialogs.shown.back();
  EXPECT_EQ(question.title, "Open");
  EXPECT_EQ(question.text, "Open Data File /trials/jump 1.qlx");
  EXPECT_EQ(question.buttons, MessageButtons::OkCancel);
  EXPECT_TRUE(opened.empty());

  TestSession ok;
  ok.session.hooks.OpenTrialFile = t_.session.hooks.OpenTrialFile;
  RunStartup(ok.session, {}, "/trials/jump 1.qlx");
  EXPECT_EQ(opened, (std::vector<std::string>{"/trials/jump 1.qlx"}));
}

TEST_F(StartupTest, OldSettingsAreImportedOnceWhenTheyExist) {
  WriteConfig("");
  WriteIniValue("Miscellaneous", "FirstTimeVistaCompatibleRun", "true", ConfigPath());
  WriteText(DataFolder() + "/QLXLegacySettings.ini",
            "[Settings]\r\nsamples=3000\r\nfrequency=250\r\nweight=91.5\r\n");
  Start();
  EXPECT_TRUE(Logged("Reading existing settings from the registry"));
  EXPECT_EQ(t_.session.settings.samples, 3000);
  EXPECT_EQ(t_.session.settings.frequency, 250);
  EXPECT_EQ(t_.session.settings.weight, 91.5f);
  EXPECT_EQ(ReadIniValue("Miscellaneous", "FirstTimeVistaCompatibleRun", "", ConfigPath()),
            "false");
}

TEST(Shutdown, ReleasesTheWorkbookAndTheLinksOfTheSelectedUnit) {
  TestSession t;
  std::vector<std::string> calls;
  t.session.hooks.ShutdownZra7Link = [&] { calls.push_back("zra7"); };
  t.session.hooks.CloseSerialPortIfOpen = [&] { calls.push_back("serial"); };
  t.session.hooks.CloseZra6PlusUsbLink = [&] { calls.push_back("usb"); };
  t.session.settings.exceloutput = true;
  t.session.ExcelApp.running = true;
  t.session.settings.ZRA7Input = true;
  RunShutdown(t.session);
  EXPECT_FALSE(t.session.ExcelApp.running);
  EXPECT_EQ(calls, (std::vector<std::string>{"zra7", "serial"}));
  calls.clear();
  t.session.settings.ZRA7Input = false;
  t.session.settings.ZRA6PlusInput = true;
  RunShutdown(t.session);
  EXPECT_EQ(calls, (std::vector<std::string>{"serial", "usb"}));
}

TEST(Shutdown, TheProgramClosesOnlyWhenTheAnalysisWindowsQuestionAllows) {
  TestSession t;
  EXPECT_TRUE(QueryCloseProgram(t.session));  // no analysis window: nothing to ask
  int asked = 0;
  bool answer = false;
  t.session.hooks.QueryCloseAnalysisWindow = [&] {
    ++asked;
    return answer;
  };
  // Asked even with nothing collected: a collection may be running.
  EXPECT_FALSE(QueryCloseProgram(t.session));
  answer = true;
  EXPECT_TRUE(QueryCloseProgram(t.session));
  EXPECT_EQ(asked, 2);
}

}  // namespace
}  // namespace torvane
