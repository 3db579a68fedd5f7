#include "shell/shell_helpers.hpp"

#include <gtest/gtest.h>

#include "common/fake_event_loop.hpp"
#include "common/paths.hpp"

namespace torvane {
namespace {

TEST(Paths, SplitAtTheLastSeparatorOfEitherKind) {
  EXPECT_EQ(FileNameOf("C:\\a\\b\\c.qlx"), "c.qlx");
  EXPECT_EQ(FolderOf("C:\\a\\b\\c.qlx"), "C:\\a\\b");
  EXPECT_EQ(FileNameOf("/home/u/trial.qlx"), "trial.qlx");
  EXPECT_EQ(FolderOf("/home/u/trial.qlx"), "/home/u");
  EXPECT_EQ(FileNameOf("plain.qlx"), "plain.qlx");
  EXPECT_EQ(FolderOf("plain.qlx"), "");
  EXPECT_EQ(JoinPath("/data", "\\over.wav"), "/data/over.wav");
  EXPECT_EQ(JoinPath("/data/", "x"), "/data/x");
  EXPECT_EQ(JoinPath(" ", "x"), "");
  EXPECT_EQ(NormaliseSeparators("\\QLXHelp\\QLXHelp.htm"), "/QLXHelp/QLXHelp.htm");
}

TEST(ArrayMinMax, OverTheTrialSamplesOnly) {
  const float v[] = {3, -1, 8, 2, 100, -50};
  EXPECT_EQ(ArrayMin(v, 4), -1.0f);
  EXPECT_EQ(ArrayMax(v, 4), 8.0f);
  EXPECT_EQ(ArrayMax(v, 1), 3.0f);
  EXPECT_EQ(ArrayMin(v, 0), 3.0f);
  EXPECT_EQ(ArrayMin(v, 100), -50.0f);  // never past the array
  EXPECT_EQ(ArrayMax(std::span<const float>{}, 5), 0.0f);
}

TEST(GShell, FailureTableAndShowMode) {
  // The numbers of the old runtime, some of them computed in 32-bit arithmetic.
  EXPECT_EQ(GShellFailure(0).number, 7);
  EXPECT_EQ(GShellFailure(31).number, -2147220425);
  EXPECT_EQ(GShellFailure(17).number, 17 - 2147220456);
  EXPECT_EQ(GShellFailure(17).description,
            "An error occurred occurred whilst trying to open or print the selected file.");
  EXPECT_EQ(GShellShowMode("notes.txt", 3, "", ""), 1);
  EXPECT_EQ(GShellShowMode("viewer.exe", 1, "page.htm", ""), 0);
  EXPECT_EQ(GShellShowMode("notes.txt", 3, "x", ""), 3);
}

TEST(WaitMilliseconds, WaitsMoreThanTheCountOfTheClock) {
  FakeEventLoop loop;
  const auto start = loop.Milliseconds();
  WaitMilliseconds(loop, loop, 500);
  EXPECT_EQ(loop.Milliseconds() - start, 501u);
  const auto again = loop.Milliseconds();
  WaitMilliseconds(loop, loop, 0);  // the first tick that differs
  EXPECT_EQ(loop.Milliseconds() - again, 1u);
}

TEST(FakeEventLoop, TimersFireInsideWaitsAndCanStopThemselves) {
  FakeEventLoop loop;
  int ticks = 0;
  std::unique_ptr<Timer> timer;
  timer = loop.CreateTimer([&] {
    if (++ticks == 3) timer->Stop();
  });
  timer->Start(100);
  WaitMilliseconds(loop, loop, 1000);
  EXPECT_EQ(ticks, 3);
  EXPECT_FALSE(timer->IsActive());
  EXPECT_FALSE(WaitUntil(loop, loop, 50, [] { return false; }));
  EXPECT_TRUE(WaitUntil(loop, loop, 50, [&] { return ticks == 3; }));
}

}  // namespace
}  // namespace torvane
