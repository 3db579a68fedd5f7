// The demonstration set data/train.dat that training replays in
// demonstration mode (made by scripts/make-train-dat from simulated squats).

#include <gtest/gtest.h>

#include "common/paths.hpp"
#include "test_support.hpp"
#include "torvane_version.hpp"
#include "training/training_file.hpp"

namespace torvane {
namespace {

TEST(DemoTrainingSet, HoldsTenSquatsThatReadBack) {
  const std::string path = JoinPath(kSourceDataTemplateDir, kTrainingDemoFileName);
  const TrainingFileContents file = ParseTrainingFile(testing::ReadText(path));
  ASSERT_TRUE(file.ok) << path << ": " << file.error;
  // The replay shows ten repetitions.
  ASSERT_EQ(file.set.RepCount, 10);
  ASSERT_TRUE(file.weight);
  EXPECT_FLOAT_EQ(*file.weight, 80.0f);
  for (std::size_t i = 0; i < 10; ++i) {
    SCOPED_TRACE(i + 1);
    // A squat of about 0.45 m from a bar zeroed at its bottom.
    EXPECT_NEAR(file.set.RepMaxHeight[i], 0.45, 0.02);
    EXPECT_NEAR(file.set.RepMinHeight[i], 0.0, 0.02);
    EXPECT_GT(file.set.RepContactTime[i], 500.0f);
    EXPECT_LT(file.set.RepContactTime[i], 1500.0f);
    EXPECT_GT(file.set.RepPeakVelocity[i], 0.3f);
    EXPECT_GT(file.set.RepPower[i], 0.0f);
    EXPECT_NEAR(file.set.RepWork[i],
                (file.set.RepMaxHeight[i] - file.set.RepMinHeight[i]) * *file.weight * 9.807, 1.0);
  }
}

}  // namespace
}  // namespace torvane
