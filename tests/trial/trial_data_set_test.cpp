#include "trial/trial_data_set.hpp"

#include <gtest/gtest.h>

#include <algorithm>

namespace torvane {
namespace {

TEST(TrialDataSet, ArraysHaveRoomForAtLeast32000Points) {
  TrialDataSet t;
  EXPECT_EQ(t.UpperBound(), -1);
  DimensionDataArrays(t, 1000);
  EXPECT_EQ(std::tuple(t.UpperBound(), t.Power.size(), t.RawChannel6.size()),
            std::tuple(32002, 32003u, 32003u));
  EXPECT_EQ(t.RawSampleBuffer.size(), 64005u);  // upper bound 64004
  DimensionDataArrays(t, 40000);
  EXPECT_EQ(std::tuple(t.UpperBound(), t.RawForce4.size(), t.RawSampleBuffer.size()),
            std::tuple(40002, 40003u, 80005u));
}

TEST(TrialDataSet, DimensioningClearsEveryElement) {
  TrialDataSet t;
  DimensionDataArrays(t, 40000);
  t.Force[100] = 5.0f;
  t.RawDisplacement[40002] = 7;
  t.RawSampleBuffer[80004] = 9;
  DimensionDataArrays(t, 100);
  EXPECT_TRUE(std::all_of(t.Force.begin(), t.Force.end(), [](float v) { return v == 0.0f; }));
  EXPECT_TRUE(std::all_of(t.RawDisplacement.begin(), t.RawDisplacement.end(),
                          [](int v) { return v == 0; }));
  EXPECT_EQ(t.RawSampleBuffer[64004], 0);
}

TEST(TrialDataSet, ClearTrialDataClearsTheTrialAndNoMore) {
  TrialDataSet t;
  DimensionDataArrays(t, 1000);
  for (auto* c : {&t.Displacement, &t.Velocity, &t.Acceleration, &t.Force, &t.Power}) {
    std::fill(c->begin(), c->end(), 1.0f);
  }
  std::fill(t.RawSampleBuffer.begin(), t.RawSampleBuffer.end(), 1);
  ClearTrialData(t, 10);
  EXPECT_EQ(t.Displacement[9], 0.0f);
  EXPECT_EQ(t.Power[9], 0.0f);
  EXPECT_EQ(t.RawSampleBuffer[9], 0);
  EXPECT_EQ(t.Force[10], 1.0f);
  EXPECT_EQ(t.RawSampleBuffer[10], 1);
  // A sample count beyond the arrays clears up to their bound, no further.
  ClearTrialData(t, 1000000);
  EXPECT_EQ(t.Velocity[32001], 0.0f);
  EXPECT_EQ(t.Velocity[32002], 1.0f);
  ClearTrialData(t, -5);  // nothing, and no fault
}

// Arrays written only below `used` come out of RedimensionDataArrays as out
// of DimensionDataArrays, whether they grow, shrink or keep their size.
TEST(TrialDataSet, RedimensioningClearsWhatWasUsedAsDimensioningDoes) {
  for (const std::int64_t points : {40000, 2000, 33000, 60000}) {
    TrialDataSet used, plain;
    DimensionDataArrays(used, 35000);
    for (std::size_t i = 0; i < 34000; i += 7) {
      used.Velocity[i] = -0.0f;
      used.Force[i] = 3.0f;
      used.RawChannel6[i] = 5;
      used.RawSampleBuffer[i] = 6;
    }
    EXPECT_FALSE(DataArraysClearFrom(used, 33000));  // -0.0 is not cleared
    ASSERT_TRUE(DataArraysClearFrom(used, 34000));
    RedimensionDataArrays(used, points, 34000);
    DimensionDataArrays(plain, points);
    EXPECT_EQ(used.Force.size(), plain.Force.size());
    EXPECT_EQ(used.RawSampleBuffer.size(), plain.RawSampleBuffer.size());
    EXPECT_TRUE(DataArraysClearFrom(used, 0)) << points;
  }
}

}  // namespace
}  // namespace torvane
