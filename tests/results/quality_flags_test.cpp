#include "results/quality_flags.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "analysis/derivation.hpp"
#include "trial/analysis_view.hpp"

namespace torvane {
namespace {

constexpr double kMass = 75;
constexpr double kG = 9.807;  // as the integration weighs
constexpr int kFs = 1000;

// A jump on a force platform, written phase by phase: quiet standing,
// unweighting, propulsion, unloading to take-off, flight, landing, standing.
// The propulsion is sized for a take-off velocity near 2.4 m/s, the flight
// lasts as long as that velocity carries the athlete, and the landing takes
// the velocity of landing back to zero.
struct JumpShape {
  double quietSeconds = 1.5;
  double startOffSeconds = 0;  // off the plate first (a drop from a box)
  bool startMoving = false;    // the unweighting begins at sample 0
  double flightForce = 0;      // what the plate reads in flight
  bool dipBeforeTakeOff = false;
  double extraFlight = 0;  // seconds the flight lasts beyond the velocity's
  double endSeconds = 1.5;
};

std::vector<float> JumpForce(const JumpShape& s) {
  const double w = kMass * kG, pi = std::numbers::pi;
  std::vector<double> f;
  auto add = [&](double seconds, auto shape) {
    const int n = static_cast<int>(std::lround(seconds * kFs));
    for (int i = 0; i < n; ++i) f.push_back(shape(static_cast<double>(i) / n));
  };
  add(s.startOffSeconds, [](double) { return 0.0; });
  if (s.startOffSeconds > 0) add(0.3, [&](double x) { return w + 1.5 * w * std::sin(pi * x); });
  if (!s.startMoving) {
    add(s.quietSeconds, [&](double x) { return w + 3 * std::sin(40 * x) + 2 * std::sin(170 * x); });
  }
  add(0.3, [&](double x) { return w - 0.5 * w * std::sin(pi * x); });
  add(0.4, [&](double x) { return w + 1.1 * w * std::sin(pi * x); });
  add(0.05, [&](double x) { return w - (w - s.flightForce) * x; });  // unloading
  if (s.dipBeforeTakeOff) {  // below zero, then pushing again for 15 ms
    add(0.008, [](double) { return -30.0; });
    add(0.015, [](double) { return 40.0; });
  }
  // The velocity at take-off, by the trapezoidal rule the integration uses.
  double v = 0;
  for (std::size_t i = 1; i < f.size(); ++i) v += ((f[i - 1] + f[i]) / 2 - w) / kMass / kFs;
  const double flight = 2 * v / 9.81 + s.extraFlight;
  add(flight, [&](double) { return s.flightForce; });
  // The landing impulse stops the fall: (C · 2T/π) = m · v.
  const double landing = 0.3, c = kMass * v * pi / (2 * landing);
  add(landing, [&](double x) { return w + c * std::sin(pi * x); });
  add(s.endSeconds, [&](double) { return w; });
  return {f.begin(), f.end()};
}

struct Assessed {
  std::vector<QualityFlag> flags;
  std::vector<std::string> codes;
  bool has(const std::string& code) const {
    return std::find(codes.begin(), codes.end(), code) != codes.end();
  }
};

// The trial derived from the force as the analysis window does (mode F),
// its results run, then its flags.
Assessed Assess(const std::vector<float>& force, double mass = kMass, std::uint64_t held = 0,
                bool reverse = false) {
  SettingsRecord settings;
  settings.samples = static_cast<std::int32_t>(force.size());
  settings.frequency = kFs;
  settings.weight = static_cast<float>(mass);
  settings.RecordForce = true;
  settings.flightthres = 50;
  TrialDataSet trial;
  DimensionDataArrays(trial, settings.samples);
  std::copy(force.begin(), force.end(), trial.Force.begin());
  reverse ? IntegrateForceReverse(trial, settings) : IntegrateForce(trial, settings);
  AnalysisView view;
  view.AnalysisStart = 0;
  view.AnalysisEnd = settings.samples - 1;
  const TrialResults results = ProcessData(ResultsInputOf(trial, settings), view, {});
  Assessed a;
  a.flags = AssessTrialQuality(QualityInputOf(trial, settings, view, results, held, reverse));
  for (const QualityFlag& flag : a.flags) a.codes.push_back(flag.code);
  return a;
}

TEST(QualityFlags, CleanCountermovementJumpHasNone) {
  const Assessed a = Assess(JumpForce({}));
  EXPECT_TRUE(a.flags.empty()) << QualityCodes(a.flags);
}

TEST(QualityFlags, StartAndWeighing) {
  // Moving from the first sample: neither at rest nor weighed.
  Assessed a = Assess(JumpForce({.startMoving = true}));
  EXPECT_TRUE(a.has("not-at-rest"));
  EXPECT_TRUE(a.has("short-weighing"));
  // Half a second of quiet standing is not enough to weigh by.
  a = Assess(JumpForce({.quietSeconds = 0.5}));
  ASSERT_EQ(a.codes, std::vector<std::string>{"short-weighing"});
  EXPECT_EQ(a.flags[0].values[1].first, "needed_s");
  EXPECT_NEAR(a.flags[0].values[0].second, 0.5, 0.01);
  // A drop from a box: nobody on the plate at the start.
  a = Assess(JumpForce({.startOffSeconds = 0.4}));
  ASSERT_FALSE(a.flags.empty());
  EXPECT_EQ(a.flags[0].code, "not-at-rest");
  EXPECT_EQ(a.flags[0].values[0].first, "start_force_N");
}

TEST(QualityFlags, FlightThatIsNotClean) {
  // The plate reads 60 N in flight: never below the flight threshold, and no
  // zero crossing for the take-off.
  Assessed a = Assess(JumpForce({.flightForce = 60}));
  EXPECT_TRUE(a.has("takeoff-not-found"));
  EXPECT_TRUE(a.has("flight-not-clean"));
  // 20 N in flight: below the threshold but never zero.
  a = Assess(JumpForce({.flightForce = 20}));
  EXPECT_TRUE(a.has("takeoff-not-found"));
  EXPECT_FALSE(a.has("flight-not-clean"));
  // A dip below zero before the athlete leaves the plate.
  a = Assess(JumpForce({.dipBeforeTakeOff = true}));
  ASSERT_TRUE(a.has("flight-not-clean")) << QualityCodes(a.flags);
  EXPECT_EQ(a.flags[0].values[1].first, "mean_force_N");
}

TEST(QualityFlags, LandingDriftHeightAndHeldSamples) {
  // The trial ends in the air.
  std::vector<float> force = JumpForce({});
  force.resize(force.size() - 1850);
  const Assessed inAir = Assess(force);
  ASSERT_TRUE(inAir.has("landing-not-found"));
  EXPECT_EQ(inAir.flags.back().values.size(), 2u) << "the force never returns";
  // A mass 3 % too high: the velocity drifts away while the athlete stands.
  EXPECT_TRUE(Assess(JumpForce({}), kMass * 1.03).has("velocity-drift"));
  // A flight 0.15 s longer than the take-off velocity carries.
  const Assessed a = Assess(JumpForce({.extraFlight = 0.15}));
  ASSERT_TRUE(a.has("height-mismatch"));
  // Held samples are known from the collection only.
  EXPECT_EQ(Assess(JumpForce({}), kMass, 7).codes, std::vector<std::string>{"held-samples"});
}

TEST(QualityFlags, BackwardsTheEndMustBeAtRestAndTheStartShowsTheDrift) {
  EXPECT_TRUE(Assess(JumpForce({}), kMass, 0, true).flags.empty());
  // The remedy for a drop jump: integrated from the end, its start is free.
  EXPECT_FALSE(Assess(JumpForce({.startOffSeconds = 0.4}), kMass, 0, true).has("not-at-rest"));
  std::vector<float> force = JumpForce({});
  force.resize(force.size() + 200, 0.0f);  // stepped off the plate
  const Assessed off = Assess(force, kMass, 0, true);
  ASSERT_TRUE(off.has("not-at-rest"));
  EXPECT_EQ(off.flags[0].values[0].first, "end_force_N");
  EXPECT_TRUE(Assess(JumpForce({}), kMass * 1.01, 0, true).has("velocity-drift"));
}

TEST(QualityFlags, NothingToJudgeWithoutForceAndTexts) {
  QualityInput in;
  in.RecordForce = false;
  in.heldSamples = 3;
  const std::vector<QualityFlag> flags = AssessTrialQuality(in);
  ASSERT_EQ(flags.size(), 1u);
  EXPECT_EQ(QualityFlagText(flags[0]),
            "held-samples: Some samples were held in place of damaged frames of the stream, so "
            "the trial is not what the unit measured there. (held_samples 3)");
  EXPECT_EQ(QualityCodes({flags[0], flags[0]}), "held-samples; held-samples");
  // A trial far shorter than the spans judged: nothing is read past its end.
  std::vector<float> force(20, 735.0f), velocity(20, 0.0f);
  const QualityInput tiny{.Force = force,
                          .Velocity = velocity,
                          .samples = 20,
                          .frequency = 1000,
                          .mass = 75,
                          .RecordForce = true,
                          .AnalysisEnd = 19,
                          .LandingTime = 1.0,
                          .flightPhase = true,
                          .reverse = true};
  EXPECT_EQ(QualityCodes(AssessTrialQuality(tiny)),
            "short-weighing; takeoff-not-found; flight-not-clean");
}

}  // namespace
}  // namespace torvane
