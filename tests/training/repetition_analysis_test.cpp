// The repetition analysis over made-up movements: where a repetition ends,
// its six values, the threshold edge in single precision, flight mode, an
// unfinished last repetition, a pause at the bottom, the brake on the way
// up, sets beyond 500 repetitions, and the same repetitions whatever the
// portions the samples arrive in.
#include "training/repetition_analysis.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "training/training_texts.hpp"

namespace torvane::testing {
namespace {

// A movement through the given displacements, straight lines between them,
// `samplesPerLeg` samples from one point to the next.
class Movement {
 public:
  Movement& From(float start) {
    d_.assign(1, start);
    return *this;
  }
  Movement& To(float target, int samples) {
    const float start = d_.back();
    for (int i = 1; i <= samples; ++i) {
      d_.push_back(start + (target - start) * static_cast<float>(i) / static_cast<float>(samples));
    }
    return *this;
  }
  Movement& Hold(int samples) { return To(d_.back(), samples); }
  const std::vector<float>& Samples() const { return d_; }

 private:
  std::vector<float> d_;
};

struct SetRun {
  RepetitionAnalysis analysis;
  std::vector<std::int32_t> completedAt;
  std::vector<float> brake;
};

SetRun Analyse(const std::vector<float>& d, const RepetitionSettings& s,
               std::int32_t portion = 50) {
  SetRun run;
  StartRepetitionAnalysis(run.analysis);
  RepetitionEvents events;
  events.completed = [&run](std::int32_t rep, std::int32_t sample) {
    EXPECT_EQ(rep, static_cast<std::int32_t>(run.completedAt.size()) + 1);
    run.completedAt.push_back(sample);
  };
  events.setBrakeLevel = [&run](float level) { run.brake.push_back(level); };
  const auto total = static_cast<std::int32_t>(d.size());
  for (std::int32_t done = 0; done < total; done += portion) {
    AnalyseRepetitionSamples(run.analysis, s, d, std::min(portion, total - done), events);
  }
  return run;
}

RepetitionSettings At(std::int32_t frequency, float weight = 80.0f) {
  RepetitionSettings s;
  s.frequency = frequency;
  s.weight = weight;
  s.repthreshold = 0.05f;
  return s;
}

TEST(RepetitionAnalysis, ARepetitionEndsOnTheFirstSampleMoreThanTheThresholdBelowItsTop) {
  // 0 → 0.60 m in 400 samples (800 ms at 500 Hz), then down 0.01 m a sample.
  Movement m;
  m.From(0).To(0.60f, 400).To(0.0f, 60);
  const SetRun run = Analyse(m.Samples(), At(500));
  ASSERT_EQ(run.analysis.set.RepCount, 1);
  const std::vector<float>& d = m.Samples();
  const auto end = static_cast<std::size_t>(run.completedAt[0]);
  EXPECT_GT(0.60f - d[end], 0.05f);
  EXPECT_FALSE(0.60f - d[end - 1] > 0.05f);
  const RepetitionSet& set = run.analysis.set;
  EXPECT_FLOAT_EQ(set.RepMaxHeight[0], 0.60f);
  EXPECT_FLOAT_EQ(set.RepMinHeight[0], 0.0f);
  EXPECT_FLOAT_EQ(set.RepContactTime[0], 800.0f);  // concentric: bottom at 0 ms, top at 800 ms
  // Work 0.6 × 80 × 9.807 = 470.736 J over 0.8 s.
  EXPECT_NEAR(set.RepWork[0], 470.736, 1e-3);
  EXPECT_NEAR(set.RepPower[0], 588.42, 1e-2);
  // Peak 100-ms velocity of the rise: 0.075 m per 50 samples.
  EXPECT_NEAR(set.RepPeakVelocity[0], 0.75, 1e-4);
}

TEST(RepetitionAnalysis, WorkAndPowerOfAHalfMetreRepetitionShowAs392And490) {
  // 0.1 → 0.6 m in 800 ms at 1000 Hz with 80 kg.
  Movement m;
  m.From(0.1f).To(0.6f, 800).To(0.3f, 100);
  const SetRun run = Analyse(m.Samples(), At(1000));
  ASSERT_EQ(run.analysis.set.RepCount, 1);
  const auto row = RepetitionGridRow(run.analysis.set, 1);
  EXPECT_NEAR(run.analysis.set.RepWork[0], 392.28, 1e-3);
  EXPECT_NEAR(run.analysis.set.RepPower[0], 490.35, 1e-2);
  EXPECT_EQ(row[0], " 1");
  EXPECT_EQ(row[1], "0.600");
  EXPECT_EQ(row[2], "0.100");
  EXPECT_EQ(row[3], "800");
  EXPECT_EQ(row[5], "490");
  EXPECT_EQ(row[6], "392");
}

TEST(RepetitionAnalysis, AFallOfExactlyTheThresholdIsNotTheEndButTheNextSampleIs) {
  // Values exact in single precision: top 1.0, threshold 0.25.
  RepetitionSettings s = At(100);
  s.repthreshold = 0.25f;
  const std::vector<float> d = {0.0f, 0.5f, 1.0f, 0.75f, 0.75f, 0.74f, 0.5f};
  const SetRun run = Analyse(d, s, 1);
  ASSERT_EQ(run.completedAt.size(), 1u);
  EXPECT_EQ(run.completedAt[0], 5);
}

TEST(RepetitionAnalysis, ASampleExactlyAtTheThresholdCrossesIt) {
  // Rising to exactly 0.05f counts as crossing upwards: the top of the
  // previous repetition is forgotten there, so the second rise is measured
  // from its own start.
  RepetitionSettings s = At(100);
  const float T = s.repthreshold;
  std::vector<float> d = {0.0f, 0.3f, 0.6f, 0.4f, 0.2f, 0.0f, T, 0.3f, 0.5f, 0.3f};
  const SetRun run = Analyse(d, s, 1);
  ASSERT_EQ(run.analysis.set.RepCount, 2);
  EXPECT_FLOAT_EQ(run.analysis.set.RepMaxHeight[1], 0.5f);
  EXPECT_FLOAT_EQ(run.analysis.set.RepMinHeight[1], 0.0f);
}

TEST(RepetitionAnalysis, TheVelocityWindowIsATenthOfASecondAndEarlierSamplesGiveNone) {
  EXPECT_EQ(VelocityWindowSamples(500), 50);
  EXPECT_EQ(VelocityWindowSamples(600), 60);
  EXPECT_EQ(VelocityWindowSamples(1000), 100);
  // A repetition that ends within the first 50 samples at 500 Hz has no
  // 100-ms velocity yet.
  Movement m;
  m.From(0).To(0.5f, 20).To(0.3f, 10);
  const SetRun run = Analyse(m.Samples(), At(500));
  ASSERT_EQ(run.analysis.set.RepCount, 1);
  EXPECT_EQ(run.analysis.set.RepPeakVelocity[0], kNoVelocityYet);
}

TEST(RepetitionAnalysis, APauseAtTheBottomCountsInTheConcentricTime) {
  // Down to 0, a second still, then up in 0.5 s: the bottom is the first
  // sample that reached it.
  Movement m;
  m.From(0.5f).To(0.0f, 50).Hold(100).To(0.5f, 50).To(0.3f, 20);
  const SetRun run = Analyse(m.Samples(), At(100));
  ASSERT_EQ(run.analysis.set.RepCount, 1);
  EXPECT_FLOAT_EQ(run.analysis.set.RepContactTime[0], 1500.0f);
}

TEST(RepetitionAnalysis, AnUnfinishedLastRepetitionIsNotCounted) {
  Movement m;
  m.From(0).To(0.5f, 50).To(0.0f, 50).To(0.5f, 50).To(0.48f, 5);
  const SetRun run = Analyse(m.Samples(), At(100));
  EXPECT_EQ(run.analysis.set.RepCount, 1);
  EXPECT_EQ(SummariseSet(run.analysis.set).repetitions, 1);
}

TEST(RepetitionAnalysis, PortionsOfOneSevenAndFiftySamplesFindTheSameRepetitions) {
  Movement m;
  m.From(0);
  for (int r = 0; r < 6; ++r) m.To(0.4f + 0.03f * static_cast<float>(r), 97 + 13 * r).To(0.02f, 83);
  const SetRun whole = Analyse(m.Samples(), At(600), 60);
  ASSERT_EQ(whole.analysis.set.RepCount, 6);
  for (std::int32_t portion : {1, 7, 50}) {
    const SetRun run = Analyse(m.Samples(), At(600), portion);
    EXPECT_EQ(run.completedAt, whole.completedAt) << portion;
    EXPECT_EQ(run.analysis.set.RepMaxHeight, whole.analysis.set.RepMaxHeight) << portion;
    EXPECT_EQ(run.analysis.set.RepPower, whole.analysis.set.RepPower) << portion;
    EXPECT_EQ(run.analysis.set.RepPeakVelocity, whole.analysis.set.RepPeakVelocity) << portion;
    EXPECT_EQ(run.analysis.NextTrainingSample, static_cast<std::int32_t>(m.Samples().size()));
  }
}

TEST(RepetitionAnalysis, FlightModeTimesTheContactFromLandingToTakeOff) {
  // Repeated jumps at 100 Hz: on the ground below 0 (down to -0.2 m), in
  // the air above 0 (up to 0.3 m).
  RepetitionSettings s = At(100);
  s.flightPhase = true;
  Movement m;
  m.From(0.1f);
  for (int j = 0; j < 3; ++j) m.To(-0.2f, 30).To(0.3f, 25).To(0.1f, 10);
  const SetRun run = Analyse(m.Samples(), s, 1);
  const RepetitionSet& set = run.analysis.set;
  ASSERT_EQ(set.RepCount, 3);
  // Second jump: landed where 0.1 → -0.2 crossed 0 (10 of its 30 samples),
  // took off where -0.2 → 0.3 crossed 0 (10 of its 25): 20 + 10 samples on
  // the ground, 300 ms (a sample more where the crossing rounds to just
  // above 0 in single precision).
  EXPECT_NEAR(set.RepContactTime[1], 305.0f, 6.0f);
  EXPECT_GT(set.RepPower[1], 0.0f);
  EXPECT_FLOAT_EQ(set.RepMaxHeight[1], 0.3f);
  EXPECT_FLOAT_EQ(set.RepMinHeight[1], -0.2f);
}

TEST(RepetitionAnalysis, AJumpThatNeverComesBelowZeroKeepsThePreviousLanding) {
  RepetitionSettings s = At(100);
  s.flightPhase = true;
  Movement m;
  m.From(0.1f).To(-0.2f, 30).To(0.3f, 25).To(0.1f, 10);  // one jump, lands on 0.1
  const SetRun first = Analyse(m.Samples(), s, 1);
  ASSERT_EQ(first.analysis.set.RepCount, 1);
  const float landing = first.analysis.LandingTimeMs;
  m.To(0.4f, 20).To(0.15f, 10);  // up again from 0.1 without touching 0
  const SetRun second = Analyse(m.Samples(), s, 1);
  ASSERT_EQ(second.analysis.set.RepCount, 2);
  EXPECT_EQ(second.analysis.LandingTimeMs, landing);
}

TEST(RepetitionAnalysis, TheBrakeGoesOnOnTheWayUpAndOffAfterTheReleaseTimeAtTheBottom) {
  RepetitionSettings s = At(100);
  s.BrakeOnUp = true;
  s.BrakeLevel = 40.0f;
  s.TimeToRelease = 0.5f;  // seconds
  Movement m;
  // Up and down, a 0.3 s pause at the bottom (the brake stays), up and
  // down, a 0.8 s pause (released after 0.5 s), up again.
  m.From(0).To(0.5f, 60).To(0.0f, 40).Hold(30).To(0.5f, 60).To(0.0f, 40).Hold(80).To(0.5f, 60);
  const SetRun run = Analyse(m.Samples(), s, 7);
  // One command per change, none while the bar keeps rising.
  ASSERT_EQ(run.brake, (std::vector<float>{40.0f, 0.0f, 40.0f}));
  EXPECT_TRUE(run.analysis.brakeOn);
}

TEST(RepetitionAnalysis, ASetGrowsPastFiveHundredRepetitions) {
  Movement m;
  m.From(0);
  for (int r = 0; r < 620; ++r) m.To(0.3f, 6).To(0.0f, 6);
  const SetRun run = Analyse(m.Samples(), At(100), 60);
  EXPECT_EQ(run.analysis.set.RepCount, 620);
  EXPECT_FLOAT_EQ(run.analysis.set.RepMaxHeight[619], 0.3f);
  EXPECT_EQ(RepetitionGridRow(run.analysis.set, 620)[0], " 620");
}

TEST(RepetitionAnalysis, ANewSetStartsWithNoRepetitionAndNoPowerOfTheLastSet) {
  Movement m;
  m.From(0).To(0.5f, 50).To(0.0f, 50);
  SetRun run = Analyse(m.Samples(), At(100));
  ASSERT_EQ(run.analysis.set.RepCount, 1);
  ClearRepetitionSet(run.analysis);
  EXPECT_EQ(run.analysis.set.RepCount, 0);
  ASSERT_FALSE(run.analysis.set.RepPower.empty());
  EXPECT_EQ(run.analysis.set.RepPower[0], 0.0f);
  EXPECT_EQ(run.analysis.set.RepMinHeight[0], kNoBottomYet);
}

}  // namespace
}  // namespace torvane::testing
