#include "analysis/data_set_editing.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "common/number_text.hpp"
#include "test_support.hpp"

namespace torvane {
namespace {

// A session holding a trial of n samples at 500 Hz whose five channels
// carry distinct values.
struct EditSession {
  explicit EditSession(std::int32_t n) {
    Session& s = ts.session;
    DimensionDataArrays(s.trial, n);
    s.settings.samples = n;
    s.settings.frequency = 500;
    s.settings.weight = 80;
    for (std::int32_t i = 0; i < n + 2; ++i) {
      const auto k = static_cast<std::size_t>(i);
      s.trial.Displacement[k] = static_cast<float>(i);
      s.trial.Velocity[k] = static_cast<float>(1000 + i);
      s.trial.Acceleration[k] = static_cast<float>(2000 + i);
      s.trial.Force[k] = static_cast<float>(3000 + i);
      s.trial.Power[k] = static_cast<float>(4000 + i);
    }
  }
  Session& session() { return ts.session; }
  testing::TestSession ts;
};

TEST(CommandCrop, KeepsTheAnalysisRangeAndResetsViewAndMarkers) {
  EditSession e(1000);
  Session& s = e.session();
  s.view.AnalysisStart = 100;
  s.view.AnalysisEnd = 199;
  s.view.ViewStart = 50;
  s.view.ViewEnd = 400;
  s.trial.RawDisplacement[0] = 77;
  ASSERT_TRUE(CommandCrop(s.trial, s.settings, s.view));
  EXPECT_EQ(s.settings.samples, 100);
  float base = 100.0f;
  for (const auto* channel : {&s.trial.Displacement, &s.trial.Velocity, &s.trial.Acceleration,
                              &s.trial.Force, &s.trial.Power}) {
    EXPECT_EQ((*channel)[0], base);
    EXPECT_EQ((*channel)[99], base + 99);
    base += 1000.0f;
  }
  EXPECT_EQ(s.view.ViewStart, 0);
  EXPECT_EQ(s.view.ViewEnd, 99);
  EXPECT_EQ(s.view.Marker1Sample, 0);
  EXPECT_EQ(s.view.Marker2Sample, 99);
  EXPECT_EQ(s.trial.RawDisplacement[0], 77);  // raw buffers are not cropped
}

TEST(CommandCrop, ARangeOutsideTheTrialChangesNothing) {
  EditSession e(100);
  Session& s = e.session();
  s.view.AnalysisStart = 150;
  s.view.AnalysisEnd = 180;
  EXPECT_FALSE(CommandCrop(s.trial, s.settings, s.view));
  EXPECT_EQ(s.settings.samples, 100);
  EXPECT_EQ(s.trial.Force[0], 3000.0f);
  // A range that runs past the end keeps only the trial's samples.
  s.view.AnalysisStart = 90;
  s.view.AnalysisEnd = 150;
  ASSERT_TRUE(CommandCrop(s.trial, s.settings, s.view));
  EXPECT_EQ(s.settings.samples, 10);
  EXPECT_EQ(s.trial.Force[9], 3099.0f);
}

void FillForce(Session& s, float value) {
  for (std::int32_t i = 0; i < s.settings.samples; ++i) {
    s.trial.Force[static_cast<std::size_t>(i)] = value;
  }
}

TEST(ForceOffsetForZeroMeanVelocity, FindsTheOffsetThatBalancesTheForce) {
  EditSession e(1000);
  Session& s = e.session();
  FillForce(s, static_cast<float>(80 * 9.807 - 5.0));  // a platform reading 5 N low
  const ForceOffsetSearch r = ForceOffsetForZeroMeanVelocity(
      s.trial, s.settings.samples, s.settings.frequency, s.settings.weight);
  ASSERT_TRUE(r.found);
  EXPECT_NEAR(r.offset, 5.0, 1e-3);
  EXPECT_LT(r.steps, kForceOffsetStepLimit);
  EXPECT_EQ(r.text, FormatNumber(r.offset, "0.0000"));
  // The search leaves its velocity and sample 0 of the others behind.
  EXPECT_EQ(s.trial.Power[0], 0.0f);
  EXPECT_EQ(s.trial.Displacement[1], 1.0f);
}

TEST(ForceOffsetForZeroMeanVelocity, BalancedForceNeedsNoOffset) {
  // The offset that met the tolerance is returned, not the one after one more
  // correction step (+1 or -1 N here).
  EditSession e(1000);
  Session& s = e.session();
  FillForce(s, static_cast<float>(80 * 9.807));
  const ForceOffsetSearch r = ForceOffsetForZeroMeanVelocity(
      s.trial, s.settings.samples, s.settings.frequency, s.settings.weight);
  ASSERT_TRUE(r.found);
  EXPECT_EQ(r.steps, 1);
  EXPECT_EQ(r.offset, 0.0f);
  EXPECT_EQ(r.text, "0.0000");
}

TEST(ForceOffsetForZeroMeanVelocity, GivesUpAfterTheStepLimit) {
  // So light a mass that no single-precision offset brings the mean velocity
  // within the tolerance: the search would run for ever.
  EditSession e(32000);
  Session& s = e.session();
  s.settings.weight = 0.001f;
  FillForce(s, 3.3f);
  const ForceOffsetSearch r = ForceOffsetForZeroMeanVelocity(
      s.trial, s.settings.samples, s.settings.frequency, s.settings.weight);
  EXPECT_FALSE(r.found);
  EXPECT_EQ(r.steps, kForceOffsetStepLimit);
  EXPECT_EQ(r.text, "not found");
  s.settings.weight = 0;
  EXPECT_FALSE(ForceOffsetForZeroMeanVelocity(s.trial, s.settings.samples, s.settings.frequency,
                                              s.settings.weight)
                   .found);
}

TEST(ScaleAndOffset, ChangeOnlyTheSamplesOfTheTrial) {
  EditSession e(10);
  Session& s = e.session();
  ApplyScaleOffset(s.trial, s.settings, ScaleOffsetCommand::DisplacementScale, "1");
  ApplyScaleOffset(s.trial, s.settings, ScaleOffsetCommand::DisplacementOffset, "0");
  EXPECT_EQ(s.trial.Displacement[3], 3.0f);
  ApplyScaleOffset(s.trial, s.settings, ScaleOffsetCommand::DisplacementOffset, "0.5");
  EXPECT_EQ(s.trial.Displacement[3], 3.5f);
  ApplyScaleOffset(s.trial, s.settings, ScaleOffsetCommand::ForceScale, "2");
  EXPECT_EQ(s.trial.Force[9], 6018.0f);
  EXPECT_EQ(s.trial.Force[10], 3010.0f);  // past the trial: untouched
  ApplyScaleOffset(s.trial, s.settings, ScaleOffsetCommand::ForceOffset, "-18 N");
  EXPECT_EQ(s.trial.Force[9], 6000.0f);
  ApplyOffsetToForce(s.trial, s.settings, "12.25");
  EXPECT_EQ(s.trial.Force[5], 6004.25f);
}

TEST(ScaleAndOffset, AFactorThatIsNotANumberIsRefusedNotTakenAsZero) {
  EditSession e(10);
  Session& s = e.session();
  for (const char* text : {"", " ", "x2", "-", "."}) {
    EXPECT_FALSE(ApplyScaleOffset(s.trial, s.settings, ScaleOffsetCommand::ForceScale, text));
    EXPECT_FALSE(
        ApplyScaleOffset(s.trial, s.settings, ScaleOffsetCommand::DisplacementScale, text));
  }
  EXPECT_EQ(s.trial.Force[4], 3004.0f);
  EXPECT_EQ(s.trial.Displacement[4], 4.0f);
  // An offset that is not a number adds nothing; a factor of 0 typed as such is taken.
  EXPECT_TRUE(ApplyScaleOffset(s.trial, s.settings, ScaleOffsetCommand::ForceOffset, ""));
  EXPECT_EQ(s.trial.Force[4], 3004.0f);
  EXPECT_TRUE(ApplyScaleOffset(s.trial, s.settings, ScaleOffsetCommand::ForceScale, " -.0"));
  EXPECT_EQ(s.trial.Force[4], 0.0f);
  EXPECT_EQ(s.trial.Velocity[0], 1000.0f);  // derived channels wait for the next recalculation
}

}  // namespace
}  // namespace torvane
