#include "config/settings_io.hpp"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/text_file.hpp"
#include "config/data_folders.hpp"
#include "config/ini_file.hpp"
#include "test_support.hpp"

namespace torvane {
namespace {

using testing::ReadText;
using testing::ScopedEnv;
using testing::TempDir;
using testing::TestSession;
using testing::WriteText;

// The key names of a configuration file, section by section, in file order.
std::vector<std::string> KeyLines(const std::string& text) {
  std::vector<std::string> out;
  for (std::string_view line : SplitLines(text)) {
    const std::size_t eq = line.find('=');
    out.emplace_back(eq == std::string_view::npos ? line : line.substr(0, eq));
  }
  return out;
}

class SettingsTest : public ::testing::Test {
 protected:
  TempDir dir;
  ScopedEnv dataDir{"TORVANE_DATA_DIR", dir.path() + "/data"};
  ScopedEnv home{"HOME", dir.path()};
  ScopedEnv templ{"TORVANE_TEMPLATE_DIR", dir.path() + "/no-template"};
  TestSession t;
};

TEST_F(SettingsTest, FreshFileListsKeysInReadingOrderAndSaveAddsTheRestAtSectionEnds) {
  Session& s = t.session;
  ASSERT_TRUE(FindDataFolders(s));
  LoadSettings(s);
  const std::string path = dir.path() + "/data/QLXConfig.ini";
  const std::vector<std::string> afterLoad = {
      "[Miscellaneous]", "soundstart", "mmavailable", "exceloutput", "realtimeplot", "firsttime",
      "FirstTimeVistaCompatibleRun", "ShowSystemStatus",
      "[Data Collection]", "samples", "frequency", "measurementdelay", "forcechannels",
      "comportnum", "baudrate", "ZRA6Input", "ZRA6PlusInput", "ZRA7Input", "RecordForce",
      "AccelInput", "accelcomportnum",
      "[Data Processing]", "dispFc", "velocFc", "accelFc", "forceFc", "RFDepoch", "repthreshold",
      "weight", "flightthres", "DispCalSlope", "DispInt", "ForceCalSlope", "ForceInt",
      "[Folders and Files]", "CalibrationLogFile", "SquadFileName",
      "[Training Mode]", "oversoundfile", "undersoundfile", "FeedbackThreshold", "setdelay",
      "maxreps", "showfeedback",
      "[Brake Settings]", "BrakeLevel", "TimeToRelease", "BrakeOnUp", "rampbrake",
      "brakecontinuous", "brakeabovezero"};
  EXPECT_EQ(KeyLines(ReadText(path)), afterLoad);

  SaveSettings(s.settings);
  std::vector<std::string> afterSave = afterLoad;
  auto insertAfter = [&](const char* anchor, std::vector<std::string> keys) {
    auto it = std::find(afterSave.begin(), afterSave.end(), anchor);
    afterSave.insert(it + 1, keys.begin(), keys.end());
  };
  insertAfter("ShowSystemStatus", {"eccentricstrengthtest"});
  insertAfter("SquadFileName", {"ProgramDataDirectory", "DataDirectory", "VistaCompatible"});
  EXPECT_EQ(KeyLines(ReadText(path)), afterSave);

  // Values: defaults, in the short numeric text form, with folder-rooted files.
  EXPECT_EQ(ReadIniValue("Data Processing", "DispCalSlope", "", path), ".009");
  EXPECT_EQ(ReadIniValue("Data Processing", "weight", "", path), "80");
  EXPECT_EQ(ReadIniValue("Folders and Files", "VistaCompatible", "", path), "false");
  EXPECT_EQ(ReadIniValue("Folders and Files", "SquadFileName", "", path),
            dir.path() + "/data/Squad.xls");
  EXPECT_NE(ReadText(path).find("samples= 1000\r\n"), std::string::npos);
  EXPECT_NE(ReadText(path).find("measurementdelay= 0\r\n"), std::string::npos);
  EXPECT_NE(ReadText(path).find("brakeabovezero=false\r\n"), std::string::npos);
}

TEST_F(SettingsTest, ConversionsOfTheFile) {
  Session& s = t.session;
  ASSERT_TRUE(FindDataFolders(s));
  WriteText(s.settings.ConfigFilePath,
            "[Miscellaneous]\nFirstTimeVistaCompatibleRun=false\nexceloutput=TRUE\n"
            "soundstart=yes\n[Data Collection]\nsamples=abc\ncomportnum=2.5\n"
            "accelcomportnum=3.5\nfrequency= 600\n[Data Processing]\nweight= 72.5 kg\n"
            "[Brake Settings]\nBrakeOnUp=true\n[Folders and Files]\nProgramDataDirectory=/p\n");
  LoadSettings(s);
  const SettingsRecord& r = s.settings;
  EXPECT_EQ(r.samples, 0);
  EXPECT_EQ(r.comportnum, 2);
  EXPECT_EQ(r.accelcomportnum, 4);
  EXPECT_EQ(r.frequency, 600);
  EXPECT_TRUE(r.exceloutput);
  EXPECT_FALSE(r.soundstart);
  EXPECT_FLOAT_EQ(r.weight, 72.5f);
  EXPECT_FALSE(r.BrakeOnUp);  // always false after loading
  // With the first run done, the folders come from the file.
  EXPECT_EQ(r.ProgramDataDirectory, "/p");
  EXPECT_EQ(r.DataDirectory, "/p");
}

TEST_F(SettingsTest, EccentricFlagUsesOneKeyAndReadsTheOldOneWhenMissing) {
  Session& s = t.session;
  ASSERT_TRUE(FindDataFolders(s));
  WriteText(s.settings.ConfigFilePath, "[Miscellaneous]\neccentric strength test=true\n");
  LoadSettings(s);
  EXPECT_TRUE(s.settings.eccentricstrengthtest);
  s.settings.eccentricstrengthtest = false;
  SaveSettings(s.settings);
  LoadSettings(s);
  EXPECT_FALSE(s.settings.eccentricstrengthtest);  // the value set in the program survives
}

TEST_F(SettingsTest, FreshInstallationHasNoOldSettingsAndZeroesSamplesAndFrequency) {
  Session& s = t.session;
  ASSERT_TRUE(FindDataFolders(s));
  LoadSettings(s);
  EXPECT_EQ(s.settings.samples, 1000);
  EXPECT_FALSE(RegistrySettingsExist(s.settings));
  EXPECT_EQ(s.settings.samples, 0);
  EXPECT_EQ(s.settings.frequency, 0);
}

TEST_F(SettingsTest, OldSettingsAreImportedWithTheirOwnConversions) {
  Session& s = t.session;
  ASSERT_TRUE(FindDataFolders(s));
  LoadSettings(s);
  WriteText(LegacySettingsPath(s.settings),
            "[Settings]\nsamples=2000\nfrequency=250\nCommPort=3\nRecordForce=1\n"
            "ZRA7input=true\nexceloutput=True\nEST=-1\nmeasuredelay=2\nBrakeOnUp=1\n");
  ASSERT_TRUE(RegistrySettingsExist(s.settings));
  ImportRegistrySettings(s.settings);
  const SettingsRecord& r = s.settings;
  EXPECT_EQ(r.samples, 2000);
  EXPECT_EQ(r.frequency, 250);
  EXPECT_EQ(r.comportnum, 3);
  EXPECT_TRUE(r.RecordForce);
  EXPECT_FALSE(r.ZRA7Input);  // only the exact text "True" counts for word flags
  EXPECT_TRUE(r.exceloutput);
  EXPECT_TRUE(r.eccentricstrengthtest);
  EXPECT_FALSE(r.ZRA6Input);
  EXPECT_FALSE(r.BrakeOnUp);
  EXPECT_TRUE(r.firsttime);
  EXPECT_FLOAT_EQ(r.flightthres, 10.0f);  // the old store's own default
  EXPECT_EQ(r.measurementdelay, 2);
}

TEST_F(SettingsTest, PortsSectionIsReadAndKept) {
  Session& s = t.session;
  ASSERT_TRUE(FindDataFolders(s));
  WriteText(s.settings.ConfigFilePath, "[Ports]\nUSB=/dev/ttyUSB3\nCOM3=/dev/ttyUSB1\n");
  LoadSettings(s);
  EXPECT_EQ(s.settings.ports.at("USB"), "/dev/ttyUSB3");
  EXPECT_EQ(s.settings.ports.at("COM3"), "/dev/ttyUSB1");
  SaveSettings(s.settings);
  EXPECT_EQ(ReadIniValue("Ports", "COM3", "", s.settings.ConfigFilePath), "/dev/ttyUSB1");
}

TEST(SettingsReadOnly, ReadsDefaultsWithoutWritingAndTakesOverrides) {
  TempDir dir;
  const std::string path = dir.File("QLXConfig.ini");
  WriteText(path, "[Data Processing]\nforceFc=50\n");
  SettingsRecord r;
  LoadSettingsReadOnly(r, path, dir.path());
  EXPECT_FLOAT_EQ(r.forceFc, 50.0f);
  EXPECT_FLOAT_EQ(r.velocFc, 16.0f);
  EXPECT_EQ(r.frequency, 500);
  EXPECT_EQ(ReadText(path), "[Data Processing]\nforceFc=50\n");
  EXPECT_TRUE(SetSettingFromText(r, "rfdepoch", "20"));
  EXPECT_FLOAT_EQ(r.RFDepoch, 20.0f);
  EXPECT_TRUE(SetSettingFromText(r, "RecordForce", "TRUE"));
  EXPECT_TRUE(r.RecordForce);
  EXPECT_FALSE(SetSettingFromText(r, "nosuchkey", "1"));
}

}  // namespace
}  // namespace torvane
