#include "config/number_boxes.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "config/ini_file.hpp"
#include "config/settings_io.hpp"
#include "test_support.hpp"

namespace torvane {
namespace {

using testing::TempDir;
using testing::TestSession;

// Every number box of the configuration window, straight from the table of
// keys: text, values outside its range and, for the cut-offs, half the
// sampling frequency are refused, the setting and the file keep the
// previous value, and the message says the range and unit.
TEST(NumberBoxes, EveryBoxRefusesWhatItsSettingCannotMeanAndTheFileKeepsThePrevious) {
  TempDir dir;
  TestSession t;
  SettingsRecord& s = t.session.settings;
  RestoreDefaultSettings(s);
  s.ConfigFilePath = dir.File("QLXConfig.ini");
  SaveSettings(s);
  int boxes = 0;
  for (const SettingKey& key : SettingKeys()) {
    if (key.boxCaption == nullptr || std::string_view(key.key) == "frequency") continue;
    ++boxes;
    const NumberRange range = NumberBoxRange(s, key);
    std::vector<std::string> refused = {"xyz", "", "12abc", "nan", "1e999"};
    if (std::isfinite(range.least)) refused.push_back(std::to_string(range.least - 1));
    if (std::isfinite(range.most)) refused.push_back(std::to_string(range.most + 1));
    const std::string before = SettingFileText(s, key);
    for (const std::string& text : refused) {
      t.dialogs.shown.clear();
      const std::optional<std::string> back = EnterNumberSetting(s, t.dialogs, key, text);
      EXPECT_EQ(back, NumberBoxText(s, key)) << key.key << " took " << text;
      EXPECT_EQ(SettingFileText(s, key), before) << key.key;
      ASSERT_EQ(t.dialogs.shown.size(), 1u) << key.key;
      if (std::string_view(key.key) != "weight" && key.unit && *key.unit) {
        EXPECT_NE(t.dialogs.shown[0].text.find(std::string(" ") + key.unit), std::string::npos)
            << t.dialogs.shown[0].text;
      }
    }
    // What the window cannot stop, the save does: the file keeps its value.
    if (std::isfinite(range.least) || std::isfinite(range.most)) {
      const double bad = std::isfinite(range.least) ? range.least - 1 : range.most + 1;
      const std::string file = ReadIniValue(key.section, key.key, "", s.ConfigFilePath);
      SettingsRecord broken = s;
      AssignSettingText(broken, key, std::to_string(bad));
      SaveSettings(broken);
      EXPECT_EQ(ReadIniValue(key.section, key.key, "", s.ConfigFilePath), file) << key.key;
    }
    EXPECT_EQ(EnterNumberSetting(s, t.dialogs, key, " " + NumberBoxText(s, key) + " "),
              std::nullopt)
        << key.key;
  }
  EXPECT_EQ(boxes, 14);
}

TEST(NumberBoxes, CutOffsStayBelowHalfTheSamplingFrequency) {
  TestSession t;
  SettingsRecord& s = t.session.settings;
  s.frequency = 200;
  const SettingKey& velocity = *FindSettingKey("velocFc");
  EXPECT_EQ(EnterNumberSetting(s, t.dialogs, velocity, "5000"), "0");
  EXPECT_EQ(t.dialogs.shown.back().text,
            "Velocity filter cut-off must be a number from 0 to below 100 Hz (0 for no filter; "
            "below half the sampling frequency of 200 Hz). \"5000\" is not accepted; the "
            "previous value 0 Hz is kept.");
  EXPECT_EQ(EnterNumberSetting(s, t.dialogs, velocity, "100"), "0");
  EXPECT_EQ(EnterNumberSetting(s, t.dialogs, velocity, "99.5"), std::nullopt);
  EXPECT_EQ(s.velocFc, 99.5f);
  EXPECT_EQ(CutOffAboveHalf(s, 199), &velocity);
  EXPECT_EQ(CutOffAboveHalf(s, 200), nullptr);
}

TEST(NumberBoxes, AFrequencyOfZeroNeverReachesTheFile) {
  TempDir dir;
  SettingsRecord s;
  RestoreDefaultSettings(s);
  s.ConfigFilePath = dir.File("QLXConfig.ini");
  s.frequency = 0;
  SaveSettings(s);  // a fresh file gets the default
  EXPECT_EQ(ReadIniValue("Data Collection", "frequency", "", s.ConfigFilePath), "500");
  s.frequency = 250;
  s.dispFc = 200;  // above half of 250 Hz
  SaveSettings(s);
  EXPECT_EQ(ReadIniValue("Data Collection", "frequency", "", s.ConfigFilePath), "250");
  EXPECT_EQ(ReadIniValue("Data Processing", "dispFc", "", s.ConfigFilePath), "0");
}

}  // namespace
}  // namespace torvane
