#include "config/settings_io.hpp"

#include <gtest/gtest.h>

#include "common/text_file.hpp"
#include "config/data_folders.hpp"
#include "config/ini_file.hpp"
#include "shell/config_session.hpp"
#include "test_support.hpp"

namespace torvane {
namespace {

using testing::ReadText;
using testing::ScopedEnv;
using testing::TempDir;
using testing::TestSession;
using testing::WriteText;

// The key names (and section lines) of a configuration file in file order,
// separated by blanks.
std::string KeyNames(const std::string& text) {
  std::string out;
  for (std::string_view line : SplitLines(text)) {
    out += (out.empty() ? "" : " ") + std::string(line.substr(0, line.find('=')));
  }
  return out;
}

// A machine whose data folder `dir/data` is found (and made) on the first call.
class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(FindDataFolders(ConfigContextOf(t.session))); }
  // Loads the configuration file holding `text`.
  const SettingsRecord& Load(const std::string& text) {
    WriteText(r.ConfigFilePath, text);
    LoadSettings(ConfigContextOf(t.session));
    return r;
  }
  std::string Value(const char* section, const char* key) const {
    return ReadIniValue(section, key, "", r.ConfigFilePath);
  }

  TempDir dir;
  ScopedEnv dataDir{"TORVANE_DATA_DIR", dir.path() + "/data"};
  ScopedEnv home{"HOME", dir.path()};
  ScopedEnv templ{"TORVANE_TEMPLATE_DIR", dir.path() + "/no-template"};
  TestSession t;
  SettingsRecord& r = t.session.settings;
};

TEST_F(SettingsTest, FreshFileListsKeysInReadingOrderAndSaveAddsTheRestAtSectionEnds) {
  LoadSettings(ConfigContextOf(t.session));
  std::string keys =
      "[Miscellaneous] soundstart mmavailable exceloutput realtimeplot firsttime "
      "FirstTimeVistaCompatibleRun ShowSystemStatus "
      "[Data Collection] samples frequency measurementdelay forcechannels comportnum baudrate "
      "ZRA6Input ZRA6PlusInput ZRA7Input RecordForce AccelInput accelcomportnum "
      "accelflowcontrol "
      "[Data Processing] dispFc velocFc accelFc forceFc RFDepoch repthreshold weight flightthres "
      "DispCalSlope DispInt ForceCalSlope ForceInt "
      "[Folders and Files] CalibrationLogFile SquadFileName "
      "[Training Mode] oversoundfile undersoundfile FeedbackThreshold setdelay maxreps "
      "showfeedback "
      "[Brake Settings] BrakeLevel TimeToRelease BrakeOnUp rampbrake brakecontinuous "
      "brakeabovezero";
  EXPECT_EQ(KeyNames(ReadText(r.ConfigFilePath)), keys);

  // Saving adds the keys only it writes at the ends of their sections.
  SaveSettings(r);
  keys.insert(keys.find(" [Data Collection]"), " eccentricstrengthtest");
  keys.insert(keys.find(" [Training Mode]"), " ProgramDataDirectory DataDirectory VistaCompatible");
  const std::string text = ReadText(r.ConfigFilePath);
  EXPECT_EQ(KeyNames(text), keys);

  // Values: defaults, in the short numeric text form, with folder-rooted files.
  EXPECT_EQ(Value("Data Processing", "DispCalSlope"), ".009");
  EXPECT_EQ(Value("Data Processing", "weight"), "80");
  EXPECT_EQ(Value("Folders and Files", "VistaCompatible"), "false");
  EXPECT_EQ(Value("Folders and Files", "SquadFileName"), dir.path() + "/data/Squad.xlsx");
  for (const char* line :
       {"samples= 1000\r\n", "measurementdelay= 0\r\n", "brakeabovezero=false\r\n"}) {
    EXPECT_NE(text.find(line), std::string::npos) << line;
  }
}

TEST_F(SettingsTest, ConversionsOfTheFile) {
  Load(
      "[Miscellaneous]\nFirstTimeVistaCompatibleRun=false\nexceloutput=TRUE\n"
      "soundstart=yes\n[Data Collection]\nsamples=abc\ncomportnum=2.5\n"
      "accelcomportnum=3.5\nfrequency= 600\n[Data Processing]\nweight= 72.5 kg\n"
      "[Brake Settings]\nBrakeOnUp=true\n[Folders and Files]\nProgramDataDirectory=/p\n");
  EXPECT_EQ(std::tie(r.samples, r.comportnum, r.accelcomportnum, r.frequency),
            std::tuple(0, 2, 4, 600));
  EXPECT_TRUE(r.exceloutput);
  EXPECT_FALSE(r.soundstart);
  EXPECT_FLOAT_EQ(r.weight, 72.5f);
  EXPECT_FALSE(r.BrakeOnUp);  // always false after loading
  // With the first run done, the folders come from the file.
  EXPECT_EQ(r.ProgramDataDirectory, "/p");
  EXPECT_EQ(r.DataDirectory, "/p");
}

TEST_F(SettingsTest, EccentricFlagUsesOneKeyAndReadsTheOldOneWhenMissing) {
  EXPECT_TRUE(Load("[Miscellaneous]\neccentric strength test=true\n").eccentricstrengthtest);
  r.eccentricstrengthtest = false;
  SaveSettings(r);
  LoadSettings(ConfigContextOf(t.session));
  EXPECT_FALSE(r.eccentricstrengthtest);  // the value set in the program survives
}

TEST_F(SettingsTest, PortsSectionIsReadAndKept) {
  Load("[Ports]\nUSB=/dev/ttyUSB3\nCOM3=/dev/ttyUSB1\n");
  EXPECT_EQ(r.ports.at("USB"), "/dev/ttyUSB3");
  EXPECT_EQ(r.ports.at("COM3"), "/dev/ttyUSB1");
  SaveSettings(r);
  EXPECT_EQ(Value("Ports", "COM3"), "/dev/ttyUSB1");
}

TEST_F(SettingsTest, OldSettingsAreAbsentOnAFreshMachineAndImportedWithTheirOwnConversions) {
  LoadSettings(ConfigContextOf(t.session));
  EXPECT_EQ(r.samples, 1000);
  EXPECT_FALSE(RegistrySettingsExist(r));
  EXPECT_EQ(std::tie(r.samples, r.frequency), std::tuple(0, 0));

  WriteText(LegacySettingsPath(r),
            "[Settings]\nsamples=2000\nfrequency=250\nCommPort=3\nRecordForce=1\n"
            "ZRA7input=true\nexceloutput=True\nEST=-1\nmeasuredelay=2\nBrakeOnUp=1\n");
  ASSERT_TRUE(RegistrySettingsExist(r));
  ImportRegistrySettings(r);
  EXPECT_EQ(std::tie(r.samples, r.frequency, r.comportnum, r.measurementdelay),
            std::tuple(2000, 250, 3, 2));
  EXPECT_TRUE(r.RecordForce && r.exceloutput && r.eccentricstrengthtest && r.firsttime);
  EXPECT_FALSE(r.ZRA7Input);  // only the exact text "True" counts for word flags
  EXPECT_FALSE(r.ZRA6Input || r.BrakeOnUp);
  EXPECT_FLOAT_EQ(r.flightthres, 10.0f);  // the old store's own default
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
