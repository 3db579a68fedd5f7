#include "shell/status_reporting.hpp"

#include <gtest/gtest.h>

#include "shell/session.hpp"
#include "test_support.hpp"

namespace torvane {
namespace {

using testing::ReadText;
using testing::TempDir;
using testing::TestSession;

TEST(StatusLog, MessagesGoToTheTextAndTheFileIsRewrittenInFull) {
  TempDir dir;
  TestSession t;
  t.session.settings.ProgramDataDirectory = dir.path();
  t.session.settings.ShowSystemStatus = true;
  std::vector<std::string> heard;
  t.session.statusLog.messageListeners.push_back(
      [&](std::string_view m) { heard.emplace_back(m); });
  AddStatusMessage(t.session, "first");
  AddStatusMessage(t.session, "two\r\nlines");
  const std::string expected = "2026-01-15\r\nfirst\r\ntwo\r\nlines\r\n";
  EXPECT_EQ(t.session.statusLog.text, expected);
  EXPECT_EQ(ReadText(dir.File("QLXSystemStatus.txt")), expected + "\r\n");
  EXPECT_EQ(heard, (std::vector<std::string>{"first", "two\r\nlines"}));
}

TEST(StatusLog, WithShowSystemStatusClearOnlyTheDateLineIsKept) {
  TempDir dir;
  TestSession t;
  t.session.settings.ProgramDataDirectory = dir.path();
  t.session.settings.ShowSystemStatus = false;
  AddStatusMessage(t.session, "lost");
  EXPECT_EQ(ReadText(dir.File("QLXSystemStatus.txt")), "2026-01-15\r\n\r\n");
}

TEST(StatusLog, AFailedWriteIsIgnoredAndTheTextKept) {
  TestSession t;
  t.session.settings.ProgramDataDirectory = "/nonexistent/folder";
  t.session.settings.ShowSystemStatus = true;
  AddStatusMessage(t.session, "kept");
  EXPECT_EQ(t.session.statusLog.text, "2026-01-15\r\nkept\r\n");
}

TEST(StatusBar, PanelsFollowTheSession) {
  TestSession t;
  Session& s = t.session;
  EXPECT_EQ(s.statusBar.Panel(1).text, "Interface NOT found");
  EXPECT_EQ(s.statusBar.Panel(8).toolTip, "Subject ID Name and body weight");
  s.settings.samples = 1000;
  s.settings.frequency = 500;
  s.BrakePercent = 12.5f;
  s.settings.RecordForce = true;
  UpdateStatusBar(s);
  EXPECT_EQ(s.statusBar.Panel(2).text, "Rate 500Hz");
  EXPECT_EQ(s.statusBar.Panel(3).text, "Time remaining 2.0 secs");
  EXPECT_EQ(s.statusBar.Panel(4).text, "Duration 2.0 secs");
  EXPECT_EQ(s.statusBar.Panel(5).text, "Brake 12.5 %");
  EXPECT_EQ(s.statusBar.Panel(6).text, "Data NOT saved");
  EXPECT_EQ(s.statusBar.Panel(7).text, "Collect force TRUE");
  s.trial.SampleCount = 250;
  s.trial.DataSaved = true;
  UpdateStatusBar(s);
  EXPECT_EQ(s.statusBar.Panel(3).text, "Time remaining 1.5 secs");
  EXPECT_EQ(s.statusBar.Panel(6).text, "Data SAVED");
  // With frequency 0, panels 3 and 4 keep what they showed.
  s.settings.frequency = 0;
  UpdateStatusBar(s);
  EXPECT_EQ(s.statusBar.Panel(2).text, "Rate 0Hz");
  EXPECT_EQ(s.statusBar.Panel(3).text, "Time remaining 1.5 secs");
  EXPECT_EQ(s.statusBar.Panel(4).text, "Duration 2.0 secs");
}

}  // namespace
}  // namespace torvane
