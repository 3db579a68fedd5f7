#include "results/process_data.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "results/synthetic_trials.hpp"
#include "trial/analysis_view.hpp"

namespace torvane {
namespace {

using testing::CountermovementJump;
using testing::SyntheticTrial;

AnalysisView WholeTrial(const SyntheticTrial& t) {
  AnalysisView view;
  view.AnalysisStart = 0;
  view.AnalysisEnd = t.samples() - 1;
  return view;
}

TEST(ProcessData, CountermovementJumpFromVelocityOnly) {
  const SyntheticTrial t = CountermovementJump();
  AnalysisView view = WholeTrial(t);
  const TrialResults r = ProcessData(t.Input(false), view, {});
  ASSERT_TRUE(r.flightPhase);
  // Take-off at the peak velocity, landing at the most negative velocity.
  EXPECT_DOUBLE_EQ(view.TakeOffTime, 0.8);
  EXPECT_FLOAT_EQ(view.LandingTime, 1.3f);
  // Sample 299 lies further from zero than sample 300.
  EXPECT_DOUBLE_EQ(view.ZeroVelocityTime, 0.6);
  // The first sample below 1 % of the deepest downward velocity.
  EXPECT_DOUBLE_EQ(view.MovementOnsetTime, 0.402);
  EXPECT_EQ(r.texts[kFlightTime], "0.500");
  EXPECT_EQ(r.texts[kJumpHeightFromFlight], "0.307");  // 9.81 × 0.25 / 8 = 0.3066
  EXPECT_EQ(r.texts[kConcentricTime], "0.200");
  EXPECT_EQ(r.texts[kEccentricTime], "0.198");
  EXPECT_EQ(r.texts[kEccConTime], "0.398");
  EXPECT_EQ(r.texts[kFlightContractionRatio], "1.256");
  EXPECT_EQ(r.texts[kPeakVelocity], "2.500");
  EXPECT_EQ(r.texts[kMinVelocity], "-2.405");
  EXPECT_EQ(r.texts[kPeakForce], "3000.0");
  EXPECT_EQ(r.texts[kMaxHeight], "0.199");
  EXPECT_EQ(r.texts[kMinHeight], "-0.100");
  EXPECT_NEAR(*r.values[kJumpHeightFromPeakVelocity], 6.25 / 19.6133, 1e-12);
}

TEST(ProcessData, RecordedForceMovesTakeOffAndLandingToTheForce) {
  const SyntheticTrial t = CountermovementJump();
  AnalysisView view = WholeTrial(t);
  const TrialResults r = ProcessData(t.Input(true), view, {});
  EXPECT_DOUBLE_EQ(view.TakeOffTime, 401 / 500.0);  // first sample with no force
  EXPECT_FLOAT_EQ(view.LandingTime, 648 / 500.0f);  // first sample back above 1 % of peak force
  EXPECT_EQ(r.texts[kFlightTime], "0.494");
  EXPECT_EQ(r.texts[kJumpHeightFromFlight], "0.299");
  EXPECT_EQ(r.texts[kConcentricTime], "0.202");
  // Time to peak force counts from the window start to the landing peak.
  EXPECT_EQ(r.texts[kTimeToPeakForce], "1.296");
}

TEST(ProcessData, ForceExactlyAtAThresholdIsFlightAtTakeOffAndContactAtLanding) {
  // Take-off: the first sample down to 0 N; landing: the first sample back
  // up to 1 % of the peak force (3000 N: 30 N).
  const struct {
    std::size_t sample;
    float force;
    int takeOff, landing;
  } cases[] = {
      {401, 0.0f, 401, 648},                         // exactly 0 N: in the air
      {401, 0.001f, 402, 648},                       // still pushing
      {647, 30.0f, 401, 647},                        // exactly 1 %: on the ground
      {647, std::nextafter(30.0f, 0.0f), 401, 648},  // just below: still in the air
  };
  for (const auto& c : cases) {
    SyntheticTrial t = CountermovementJump();
    t.force[c.sample] = c.force;
    AnalysisView view = WholeTrial(t);
    ProcessData(t.Input(true), view, {});
    EXPECT_DOUBLE_EQ(view.TakeOffTime, c.takeOff / 500.0) << c.sample << ": " << c.force;
    EXPECT_FLOAT_EQ(view.LandingTime, c.landing / 500.0f) << c.sample << ": " << c.force;
  }
}

TEST(ProcessData, AFlightPhaseOfExactly50MsCounts) {
  // Peak velocity at sample 10, the most negative 25 samples later at
  // 500 Hz: 35/500 − 10/500 is exactly 0.05 in double precision.
  for (std::size_t lowest : {35, 34}) {
    SyntheticTrial t(100);
    t.velocity[10] = 2.0f;
    t.velocity[lowest] = -2.0f;
    AnalysisView view = WholeTrial(t);
    EXPECT_EQ(ProcessData(t.Input(false), view, {}).flightPhase, lowest == 35) << lowest;
  }
}

TEST(ProcessData, PhaseTimesPersistBetweenRunsAndBuildTheJumpFrame) {
  const SyntheticTrial t = CountermovementJump();
  AnalysisView view = WholeTrial(t);
  const TrialResults whole = ProcessData(t.Input(true), view, {});
  SetJumpFrameFromPhases(view, t.frequency);
  EXPECT_EQ(view.JumpFrameStartSample, 201);
  EXPECT_EQ(view.JumpFrameEndSample, 648);
  const TrialResults frame = ProcessData(t.Input(true), view, {.frameJump = true});
  EXPECT_EQ(frame.windowStart, 201);
  EXPECT_EQ(frame.windowEnd, 648);
  // The scans stay bounded by the analysis range, so the phases agree.
  EXPECT_EQ(frame.texts[kFlightTime], whole.texts[kFlightTime]);
  EXPECT_DOUBLE_EQ(view.MovementOnsetTime, 0.402);
  // Impulses and times now count from the frame's start.
  EXPECT_NEAR(*frame.values[kTimeToPeakForce], (648 - 201) / 500.0, 1e-12);
  EXPECT_NE(frame.texts[kImpulse100], whole.texts[kImpulse100]);
}

TEST(ProcessData, NoFlightPhaseLeavesPhaseDurationsEmptyAndWritesOnlyTakeOff) {
  // Down, then up: the most negative velocity comes before the peak.
  SyntheticTrial t(600);
  for (int i = 100; i < 300; ++i) {
    const double v = i < 200 ? -0.5 : 0.8;
    t.velocity[static_cast<std::size_t>(i)] = static_cast<float>(v);
    t.force[static_cast<std::size_t>(i)] = 900;
  }
  AnalysisView view = WholeTrial(t);
  view.MovementOnsetTime = 0.25;
  view.ZeroVelocityTime = 0.5;
  view.TakeOffTime = 0.75;
  view.LandingTime = 1.0f;
  const TrialResults r = ProcessData(t.Input(true), view, {});
  EXPECT_FALSE(r.flightPhase);
  EXPECT_EQ(view.TakeOffTime, 0.0);
  EXPECT_EQ(view.MovementOnsetTime, 0.25);
  EXPECT_EQ(view.ZeroVelocityTime, 0.5);
  EXPECT_EQ(view.LandingTime, 1.0f);
  for (ResultsVariableId id : {kFlightTime, kConcentricTime, kEccentricTime, kEccConTime,
                               kFlightContractionRatio, kJumpHeightFromFlight}) {
    EXPECT_FALSE(r.values[id].has_value()) << kResultsVariables[id].header;
    EXPECT_EQ(r.texts[id], "") << kResultsVariables[id].header;
  }
  EXPECT_EQ(r.texts[kPeakVelocity], "0.800");
  EXPECT_EQ(r.texts[kMinVelocity], "-0.500");
}

TEST(ProcessData, StalePhasesGiveNoRatioWhenEccentricPlusConcentricIsNotPositive) {
  // A jump without countermovement: no zero crossing, no onset found, so the
  // onset left from a longer trial would stand after the take-off.
  SyntheticTrial t(500);
  for (int i = 100; i <= 150; ++i) t.velocity[static_cast<std::size_t>(i)] = 2.0f * (i - 100) / 50;
  for (int i = 151; i <= 300; ++i) {
    t.velocity[static_cast<std::size_t>(i)] = static_cast<float>(2.0 - 9.81 * (i - 150) / 500.0);
  }
  AnalysisView view = WholeTrial(t);
  view.MovementOnsetTime = 0.9;
  const TrialResults stale = ProcessData(t.Input(false), view, {});
  ASSERT_TRUE(stale.flightPhase);
  EXPECT_LT(*stale.values[kEccConTime], 0);
  EXPECT_FALSE(stale.values[kFlightContractionRatio].has_value());
  EXPECT_EQ(stale.texts[kFlightContractionRatio], "");
  // A new trial starts from no phases at all.
  ResetPhaseTimes(view);
  const TrialResults fresh = ProcessData(t.Input(false), view, {});
  EXPECT_EQ(view.MovementOnsetTime, 0.0);
  EXPECT_EQ(fresh.texts[kEccConTime], "0.300");
  EXPECT_EQ(fresh.texts[kEccentricTime], "0.000");
}

TEST(ProcessData, MeansDivideByTheIntervalsOfTheWindow) {
  SyntheticTrial t(400);
  for (float& f : t.force) f = 100;
  for (float& v : t.velocity) v = -0.25f;
  AnalysisView view;
  view.AnalysisStart = 50;
  view.AnalysisEnd = 250;  // 201 samples, 200 intervals
  TrialResults r = ProcessData(t.Input(true), view, {});
  EXPECT_EQ(r.texts[kMeanForce], "100.5");
  EXPECT_DOUBLE_EQ(*r.values[kMeanPower], -25.125);
  // One sample: the sums themselves.
  view.AnalysisEnd = 50;
  r = ProcessData(t.Input(true), view, {});
  EXPECT_EQ(r.texts[kMeanForce], "100.0");
  // Concentric only with no upward velocity: both means 0.
  view.AnalysisEnd = 250;
  r = ProcessData(t.Input(true), view, {.meanConcentricOnly = true});
  EXPECT_EQ(r.texts[kMeanForce], "0.0");
  EXPECT_EQ(r.texts[kMeanPower], "0.0");
  // Concentric only over the upward samples: divided by their count.
  for (int i = 100; i < 110; ++i) {
    t.velocity[static_cast<std::size_t>(i)] = 2;
    t.force[static_cast<std::size_t>(i)] = 150;
  }
  r = ProcessData(t.Input(true), view, {.meanConcentricOnly = true});
  EXPECT_EQ(r.texts[kMeanForce], "150.0");
  EXPECT_EQ(r.texts[kMeanPower], "300.0");
}

TEST(ProcessData, EpochRfdSpansFifteenSamplesAt500HzAndStopsBeforeTheLastSample) {
  SyntheticTrial t(1000);
  // A rise of 10 N per sample over 30 samples: 15 samples give 150 N.
  for (int i = 0; i < 1000; ++i) {
    t.force[static_cast<std::size_t>(i)] = static_cast<float>(i < 100   ? 0
                                                              : i < 130 ? 10 * (i - 100)
                                                                        : 300);
  }
  AnalysisView view = WholeTrial(t);
  TrialResults r = ProcessData(t.Input(true), view, {});
  EXPECT_EQ(r.texts[kMaxRFD], "5000");
  // A 20 ms epoch spans 10 samples: still 10 N per sample.
  r = ProcessData(t.Input(true, 20.0f), view, {});
  EXPECT_EQ(r.texts[kMaxRFD], "5000");
  // Force that only falls: 0.
  for (int i = 0; i < 1000; ++i)
    t.force[static_cast<std::size_t>(i)] = static_cast<float>(1000 - i);
  r = ProcessData(t.Input(true), view, {});
  EXPECT_EQ(r.texts[kMaxRFD], "000");
  // An epoch must end before the last sample: the rise into sample N-1 is not seen.
  for (float& f : t.force) f = 0;
  t.force[998] = 30;
  t.force[999] = 300;
  r = ProcessData(t.Input(true), view, {});
  EXPECT_EQ(r.texts[kMaxRFD], "1000");
}

TEST(ProcessData, EveryImpulseAndFixedWindowRfdAt1000Hz) {
  // Force 1000 + k²/64 N at k samples after the window start (sample 10),
  // exact in single precision; each window reads its own part of the curve.
  SyntheticTrial t(2000, 1000);
  for (int i = 0; i < 2000; ++i) {
    const double k = std::max(0, i - 10);
    t.force[static_cast<std::size_t>(i)] = static_cast<float>(1000 + k * k / 64);
  }
  AnalysisView view;
  view.AnalysisStart = 10;
  view.AnalysisEnd = 1009;
  const TrialResults r = ProcessData(t.Input(true), view, {});
  // Rectangle sums over samples 0 … K after the start, K included:
  // ((K + 1)·1000 + K(K + 1)(2K + 1) / 6 / 64) / 1000 N·s.
  const auto impulse = [](double K) {
    return ((K + 1) * 1000 + K * (K + 1) * (2 * K + 1) / 384) / 1000;
  };
  // RFD over w seconds: (1000·w)² / 64 / w N/s.
  const auto rfd = [](double w) { return 1e6 * w * w / 64 / w; };
  const struct {
    ResultsVariableId id;
    double value, tolerance;
    const char* text;
  } expected[] = {
      {kImpulse100, impulse(100), 1e-9, "106.29"},
      {kImpulse200, impulse(200), 1e-9, "242.98"},
      {kImpulse250, impulse(250), 1e-9, "332.87"},
      {kImpulse300, impulse(300), 5e-3, "442.33"},  // summed in single precision
      {kTotalImpulse, impulse(999), 1e-6, "6200.52"},
      {kRFD0to30, rfd(0.03), 1e-9, "469"},
      {kRFD0to90, rfd(0.09), 1e-9, "1406"},
      {kRFD0to150, rfd(0.15), 1e-9, "2344"},
      {kRFD0to200, rfd(0.2), 1e-9, "3125"},
      {kRFD0to250, rfd(0.25), 1e-9, "3906"},
      // The steepest 30 ms epoch ends the window: 30·2028/64 N in 0.03 s.
      {kMaxRFD, 31687.5, 1e-9, "31688"},
  };
  for (const auto& e : expected) {
    const std::string_view header = kResultsVariables[e.id].header;
    ASSERT_TRUE(r.values[e.id].has_value()) << header;
    EXPECT_NEAR(*r.values[e.id], e.value, e.tolerance) << header;
    EXPECT_EQ(r.texts[e.id], e.text) << header;
  }
}

TEST(ProcessData, FixedWindowRfdPastTheTrialIsNotComputedAndTheRestStillRuns) {
  SyntheticTrial t(100);
  for (int i = 0; i < 100; ++i) {
    t.force[static_cast<std::size_t>(i)] = static_cast<float>(500 + i);
    t.power[static_cast<std::size_t>(i)] = static_cast<float>(i);
  }
  AnalysisView view = WholeTrial(t);
  const TrialResults r = ProcessData(t.Input(true), view, {});
  EXPECT_EQ(r.texts[kRFD0to30], "500");            // sample 15
  EXPECT_EQ(r.texts[kRFD0to150], "500");           // sample 75
  EXPECT_FALSE(r.values[kRFD0to200].has_value());  // sample 100: past the trial
  EXPECT_EQ(r.texts[kRFD0to200], "");
  EXPECT_EQ(r.texts[kRFD0to250], "");
  EXPECT_EQ(r.texts[kTimeToPeakForce], "0.198");
  EXPECT_EQ(r.texts[kPeakForce], "599.0");
  EXPECT_EQ(r.texts[kRateOfPowerDevelopment], "500");  // 99 W in 0.198 s
}

TEST(ProcessData, FirstOfEqualMaximaDefinesTheValuesAtPeakForce) {
  SyntheticTrial t(300);
  for (std::size_t i = 0; i < 300; ++i) {
    t.force[i] = 700;
    t.velocity[i] = 0.01f * static_cast<float>(i);
    t.power[i] = 3;
  }
  t.force[100] = t.force[200] = 1500;
  t.power[100] = 42;
  t.power[200] = 42;
  AnalysisView view = WholeTrial(t);
  view.AnalysisStart = 20;
  const TrialResults r = ProcessData(t.Input(true), view, {});
  EXPECT_EQ(r.texts[kTimeToPeakForce], "0.160");
  EXPECT_EQ(r.texts[kVelocityAtPeakForce], "1.000");
  EXPECT_EQ(r.texts[kPowerAtPeakForce], "42.0");
  EXPECT_EQ(r.texts[kTimeToPeakPower], "0.160");
  EXPECT_EQ(r.texts[kForceAtPeakPower], "1500.0");
}

TEST(ProcessData, JumpHeightFromPeakVelocityAndEmptyRateOfPowerDevelopment) {
  SyntheticTrial t(200);
  t.velocity[50] = 3.0f;
  for (std::size_t i = 0; i < 200; ++i)
    t.power[i] = static_cast<float>(200 - i);  // peak at the start
  for (float& d : t.displacement) d = -0.2f;   // everywhere negative
  AnalysisView view = WholeTrial(t);
  const TrialResults r = ProcessData(t.Input(false), view, {});
  EXPECT_EQ(r.texts[kJumpHeightFromPeakVelocity], "0.459");  // 9 / 19.6133 = 0.4589
  EXPECT_EQ(r.texts[kTimeToPeakPower], "0.000");
  EXPECT_FALSE(r.values[kRateOfPowerDevelopment].has_value());
  EXPECT_EQ(r.texts[kRateOfPowerDevelopment], "");
  EXPECT_EQ(r.texts[kMaxHeight], "0.000");
  // Velocity never above 0 leaves the peak velocity at 0.
  for (float& v : t.velocity) v = -1;
  const TrialResults down = ProcessData(t.Input(false), view, {});
  EXPECT_EQ(down.texts[kPeakVelocity], "0.000");
}

TEST(ProcessData, WindowIsClippedToTheTrialAndReadsNothingBeyondIt) {
  // Arrays exactly as long as the trial: any read past them would be caught
  // by the sanitizers.
  const SyntheticTrial t = CountermovementJump();
  AnalysisView view;
  view.AnalysisStart = -5;
  view.AnalysisEnd = 5000;
  const TrialResults r = ProcessData(t.Input(true), view, {});
  EXPECT_EQ(r.windowStart, 0);
  EXPECT_EQ(r.windowEnd, 999);
  EXPECT_EQ(r.texts[kFlightTime], "0.494");
  // No frequency: nothing computed.
  SyntheticTrial none(10, 0);
  AnalysisView v2;
  const TrialResults empty = ProcessData(none.Input(true), v2, {});
  for (const std::string& text : empty.texts) EXPECT_EQ(text, "");
}

TEST(ProcessDataHelpers, RoundIndexIsHalfToEvenEverywhere) {
  std::vector<double> xs = {0.0,
                            0.5,
                            1.5,
                            2.5,
                            3.5,
                            1e6 + 0.5,
                            4503599627370495.5,
                            4503599627370496.0,
                            9007199254740993.0,
                            -0.5,
                            -1.5,
                            -2.4999999};
  for (double x = 0.0; x < 2000.0; x += 0.25) {
    xs.push_back(x);
    xs.push_back(std::nextafter(x, 0.0));
    xs.push_back(std::nextafter(x, 1e9));
  }
  unsigned state = 12345;
  for (int i = 0; i < 100000; ++i) {
    state = state * 1103515245u + 12345u;
    xs.push_back(static_cast<double>(state) / 97.0);
  }
  for (double x : xs) {
    EXPECT_EQ(RoundIndex(x), static_cast<std::int64_t>(std::nearbyint(x))) << x;
  }
}

TEST(ProcessDataHelpers, ImpulseLimitsAgreeWithTheTimeComparison) {
  for (int f = 1; f <= 3000; ++f) {
    for (double limit : {0.1, 0.2, 0.25, 0.3}) {
      const std::int64_t k = LastIntervalWithin(limit, f);
      ASSERT_LE(static_cast<double>(k) / f, limit) << f << " " << limit;
      ASSERT_GT(static_cast<double>(k + 1) / f, limit) << f << " " << limit;
    }
  }
  EXPECT_EQ(LastIntervalWithin(0.1, 1000), 100);
  EXPECT_EQ(LastIntervalWithin(0.1, 0), -1);
}

}  // namespace
}  // namespace torvane
