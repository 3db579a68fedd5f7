#include "shell/window_placement.hpp"

#include <gtest/gtest.h>

namespace torvane {
namespace {

const Placement* Find(const std::vector<Placement>& placements, ChildWindow window) {
  for (const Placement& p : placements) {
    if (p.window == window) return &p;
  }
  return nullptr;
}

TEST(WindowPlacement, ArrangeFollowsTheMainWindowsSize) {
  const std::map<ChildWindow, TwipSize> sizes = {
      {ChildWindow::Batch, {4000, 5000}},          {ChildWindow::Training, {6000, 3000}},
      {ChildWindow::Analysis, {7000, 6000}},       {ChildWindow::Squad, {3000, 4000}},
      {ChildWindow::DigitalDisplay, {2000, 1500}}, {ChildWindow::Status, {5300, 3555}}};
  const std::vector<Placement> p = ArrangePlacements(12000, 9000, sizes, true);
  ASSERT_EQ(p.size(), 6u);
  // In the order of the steps.
  EXPECT_EQ(p[0].window, ChildWindow::Batch);
  EXPECT_EQ(p[5].window, ChildWindow::Status);
  EXPECT_DOUBLE_EQ(p[0].left, 12000 - 4000 - 360);
  EXPECT_DOUBLE_EQ(p[0].top, 0);
  EXPECT_DOUBLE_EQ(Find(p, ChildWindow::Training)->left, 3000);
  EXPECT_DOUBLE_EQ(Find(p, ChildWindow::Training)->top, 5100);
  EXPECT_DOUBLE_EQ(Find(p, ChildWindow::Squad)->left, 7000);
  EXPECT_DOUBLE_EQ(Find(p, ChildWindow::DigitalDisplay)->top, 9000 - 1500 - 900);
  EXPECT_DOUBLE_EQ(Find(p, ChildWindow::Status)->left, 6340);
  EXPECT_DOUBLE_EQ(Find(p, ChildWindow::Status)->top, 5175);
  // Without the status log collected, the status window stays where it is.
  EXPECT_EQ(Find(ArrangePlacements(12000, 9000, sizes, false), ChildWindow::Status), nullptr);
}

TEST(WindowPlacement, CascadeStepsDownAndBringsWindowsToTheFront) {
  const std::map<ChildWindow, TwipSize> sizes = {{ChildWindow::Training, {6000, 3000}},
                                                 {ChildWindow::Squad, {3000, 4000}},
                                                 {ChildWindow::Status, {5300, 3555}}};
  const std::vector<Placement> p = CascadePlacements(12000, 9000, sizes, true);
  ASSERT_EQ(p.size(), 3u);
  EXPECT_EQ(p[0].window, ChildWindow::Training);
  EXPECT_DOUBLE_EQ(p[0].left, 400);
  EXPECT_TRUE(p[0].bringToFront);
  EXPECT_EQ(p[1].window, ChildWindow::Squad);
  EXPECT_DOUBLE_EQ(p[1].top, 1200);
  EXPECT_EQ(p[2].window, ChildWindow::Status);
  EXPECT_DOUBLE_EQ(p[2].left, 6340);
}

TEST(WindowPlacement, FifteenTwipsMakeOnePixel) {
  EXPECT_EQ(TwipsToPixels(5175), 345);
  EXPECT_EQ(TwipsToPixels(6340), 423);  // 422.67 rounds to the nearest pixel
  EXPECT_DOUBLE_EQ(PixelsToTwips(400), 6000);
}

}  // namespace
}  // namespace torvane
