#include "shell/config_window_rules.hpp"

#include <gtest/gtest.h>

#include <xlsxwriter.h>

#include "config/config_window_rules.hpp"
#include "shell/session.hpp"
#include "test_support.hpp"

namespace torvane {
namespace {

using testing::TestSession;

class ConfigCommands : public ::testing::Test {
 protected:
  const std::string& LastMessage() const { return t.dialogs.shown.back().text; }

  TestSession t;
  SettingsRecord& s = t.session.settings;
};

TEST_F(ConfigCommands, TheBrakeLevelIsAppliedThroughTheLink) {
  s.BrakeLevel = 37.5f;
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

TEST_F(ConfigCommands, SpreadsheetOutputNeedsTheWorkbookWriter) {
  s.exceloutput = true;
  EXPECT_FALSE(SetExcelOutput(t.session, false));
  EXPECT_FALSE(s.exceloutput);
  EXPECT_TRUE(SetExcelOutput(t.session, true));
  EXPECT_EQ(t.session.ExcelVersion, LXW_VERSION);
  EXPECT_TRUE(t.session.ExcelApp.running);
  t.session.ModernWindows = false;
  s.exceloutput = false;
  EXPECT_FALSE(SetExcelOutput(t.session, true));
}

TEST_F(ConfigCommands, ConnectingRunsTheDiscovery) {
  EXPECT_EQ(ConnectInterface(t.session), "No Connection");
  t.session.hooks.DiscoverInterface = [] { return true; };
  t.session.settings.ZRA7Input = true;
  EXPECT_EQ(ConnectInterface(t.session), "Connection Established");
  // The window opened later shows the link as it is: the unit that answered
  // while it stays selected, and not another.
  EXPECT_EQ(ConnectionText(t.session), "Connection Established");
  ChooseInterface(t.session.settings, InterfaceModel::Zra6);
  EXPECT_EQ(ConnectionText(t.session), "No Connection");
  ChooseInterface(t.session.settings, InterfaceModel::Zra7);
  t.session.hooks.DiscoverInterface = [] { return false; };
  RunInterfaceDiscovery(t.session);
  EXPECT_EQ(ConnectionText(t.session), "No Connection");
}

}  // namespace
}  // namespace torvane
