// A set grows by one repetition at a time for as long as the athlete goes
// on: its arrays take only the room that many repetitions need.
#include <gtest/gtest.h>

#include "training/repetition_analysis.hpp"

namespace torvane {

TEST(RepetitionSetGrowth, ALongSetGrowsOneRepetitionAtATimeWithoutRunningOutOfMemory) {
  RepetitionSet set;
  for (std::int32_t k = 0; k <= 1000; ++k) {
    set.EnsureIndex(k);
    set.RepWork[static_cast<std::size_t>(k)] = static_cast<float>(k);
  }
  ASSERT_EQ(set.RepWork.size(), 1001u);
  EXPECT_EQ(set.RepWork[1000], 1000.0f);
  EXPECT_EQ(set.RepWork[17], 17.0f);
  // Doubling steps: never more than twice the room used.
  EXPECT_LE(set.RepMaxHeight.capacity(), 2002u);
  EXPECT_LE(set.RepPower.capacity(), 2002u);
}

}  // namespace torvane
