#include "config/data_folders.hpp"

#include <gtest/gtest.h>

#include "common/text_file.hpp"
#include "shell/config_session.hpp"
#include "shell/session.hpp"
#include "test_support.hpp"

namespace torvane {
namespace {

using testing::ScopedEnv;
using testing::TempDir;
using testing::TestSession;
using testing::WriteText;

TEST(DataFolders, CandidatesFollowTheEnvironment) {
  ScopedEnv home("HOME", "/home/ann");
  {
    ScopedEnv data("TORVANE_DATA_DIR", "/srv/t");
    ScopedEnv xdg("XDG_DATA_HOME", "/x");
    EXPECT_EQ(DataFolderCandidates(),
              (std::vector<std::string>{"/srv/t", "/x/Torvane Measurement System"}));
  }
  ::unsetenv("TORVANE_DATA_DIR");
  ::unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(DataFolderCandidates(),
            (std::vector<std::string>{"/home/ann/Documents/Torvane Measurement System",
                                      "/home/ann/.local/share/Torvane Measurement System"}));
}

TEST(DataFolders, TheSecondFolderIsUsedWhenOnlyItHoldsTheConfiguration) {
  TempDir dir;
  ScopedEnv data("TORVANE_DATA_DIR", dir.path() + "/first");
  ScopedEnv xdg("XDG_DATA_HOME", dir.path());
  MakeFolders(dir.path() + "/Torvane Measurement System");
  WriteText(dir.path() + "/Torvane Measurement System/QLXConfig.ini", "");
  TestSession t;
  ASSERT_TRUE(FindDataFolders(ConfigContextOf(t.session)));
  EXPECT_EQ(t.session.settings.ProgramDataDirectory, dir.path() + "/Torvane Measurement System");
  EXPECT_EQ(t.session.settings.DataDirectory, t.session.settings.ProgramDataDirectory);
  EXPECT_EQ(t.session.settings.ConfigFilePath,
            dir.path() + "/Torvane Measurement System/QLXConfig.ini");
  EXPECT_FALSE(t.session.DataFolderCreated);
}

TEST(DataFolders, AFirstRunLaysOutTheFirstFolderFromTheSampleFiles) {
  TempDir dir;
  ScopedEnv data("TORVANE_DATA_DIR", dir.path() + "/first");
  ScopedEnv xdg("XDG_DATA_HOME", dir.path() + "/second");
  ScopedEnv templ("TORVANE_TEMPLATE_DIR", dir.path() + "/template");
  MakeFolders(dir.path() + "/template/QLXHelp");
  WriteText(dir.path() + "/template/QLXHelp/QLXHelp.htm", "<html></html>");
  WriteText(dir.path() + "/template/over.wav", "RIFF");
  TestSession t;
  t.session.settings.ShowSystemStatus = true;
  ASSERT_TRUE(FindDataFolders(ConfigContextOf(t.session)));
  EXPECT_TRUE(t.session.DataFolderCreated);
  EXPECT_EQ(t.session.settings.ProgramDataDirectory, dir.path() + "/first");
  EXPECT_TRUE(FileExists(dir.path() + "/first/QLXHelp/QLXHelp.htm"));
  EXPECT_TRUE(FileExists(dir.path() + "/first/over.wav"));
  const std::string& log = t.session.statusLog.text;
  EXPECT_NE(log.find("No QLXConfig.ini in " + dir.path() + "/first\r\n"), std::string::npos);
  EXPECT_NE(log.find("No QLXConfig.ini in " + dir.path() + "/second/Torvane Measurement System"),
            std::string::npos);
  EXPECT_NE(
      log.find("Configuration file has NOT been found at " + dir.path() + "/first/QLXConfig.ini"),
      std::string::npos);
  EXPECT_TRUE(t.dialogs.shown.empty());
}

TEST(DataFolders, AFolderThatCannotBeMadeIsReportedAndFails) {
  TempDir dir;
  WriteText(dir.File("file"), "x");
  ScopedEnv data("TORVANE_DATA_DIR", dir.File("file") + "/inside");
  ScopedEnv xdg("XDG_DATA_HOME", dir.File("file"));
  TestSession t;
  EXPECT_FALSE(FindDataFolders(ConfigContextOf(t.session)));
  ASSERT_EQ(t.dialogs.shown.size(), 1u);
  EXPECT_EQ(t.dialogs.shown[0].text, dir.File("file") + "/inside/QLXConfig.ini not found");
}

}  // namespace
}  // namespace torvane
