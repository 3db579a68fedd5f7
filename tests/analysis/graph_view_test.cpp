#include "analysis/graph_view.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "analysis/analysis_window_rules.hpp"
#include "results/synthetic_trials.hpp"
#include "test_support.hpp"

namespace torvane {
namespace {

AnalysisView ViewOf(std::int32_t m1, std::int32_t m2, std::int32_t start = 0,
                    std::int32_t end = 99) {
  AnalysisView v;
  v.Marker1Sample = m1;
  v.Marker2Sample = m2;
  v.ViewStart = start;
  v.ViewEnd = end;
  return v;
}

constexpr auto k1 = SelectedMarker::Marker1;
constexpr auto k2 = SelectedMarker::Marker2;

TEST(GraphYRange, FollowsTheWholeTrialBeyondTenThousandAndNeverCollapses) {
  AnalysisView v = ViewOf(0, 0, 0, 0);
  std::vector<float> power(200, 0.0f);
  power[150] = 15000.0f;  // outside the view: the range still covers it
  power[10] = -12000.0f;
  v.ViewEnd = 50;
  YRange y = SetDataParameters(v, power, 200, false);
  EXPECT_EQ(y.YMax, 15000.0);
  EXPECT_EQ(y.YMin, -12000.0);
  std::vector<float> zero(200, 0.0f);
  y = SetDataParameters(v, zero, 200, false);
  EXPECT_EQ(y.YMin, 0.0);
  EXPECT_EQ(y.YMax, 100.0);
  std::vector<float> flat(200, 5.0f);
  y = SetDataParameters(v, flat, 200, false);
  EXPECT_LT(y.YMin, 5.0);
  EXPECT_GT(y.YMax, 5.0);
  y = SetDataParameters(v, power, 200, true);
  EXPECT_EQ(v.ViewStart, 0);
  EXPECT_EQ(v.ViewEnd, 199);
  EXPECT_EQ(v.Marker1Sample, 0);
  EXPECT_EQ(v.Marker2Sample, 199);
}

TEST(GraphZoomAndScroll, StopAtTheTrialsEnds) {
  AnalysisView v = ViewOf(0, 99, 40, 50);
  ZoomIn(v, 100);
  EXPECT_EQ(v.ViewStart, 41);
  EXPECT_EQ(v.ViewEnd, 49);
  for (int i = 0; i < 200; ++i) ZoomIn(v, 100);
  EXPECT_LT(v.ViewStart, v.ViewEnd);
  for (int i = 0; i < 200; ++i) ZoomOut(v, 100);
  EXPECT_EQ(v.ViewStart, 0);
  EXPECT_EQ(v.ViewEnd, 99);
  v.ViewStart = 5;
  v.ViewEnd = 30;
  ScrollLeft(v, 100);
  EXPECT_EQ(v.ViewStart, 0);
  EXPECT_EQ(v.ViewEnd, 30);
  v.ViewStart = 70;
  v.ViewEnd = 95;
  ScrollRight(v, 100);
  EXPECT_EQ(v.ViewStart, 70);
  EXPECT_EQ(v.ViewEnd, 99);
  ScrollLeft(v, 100);
  EXPECT_EQ(v.ViewStart, 60);
  EXPECT_EQ(v.ViewEnd, 89);
  v.Marker1Sample = 20;
  v.Marker2Sample = 30;
  ZoomToMarkers(v, 100);
  EXPECT_EQ(v.ViewStart, 20);
  EXPECT_EQ(v.ViewEnd, 30);
  ZoomAbout(v, 100, 25, 0.01);  // never narrower than 4 samples
  EXPECT_GE(v.ViewEnd - v.ViewStart, 4);
  ZoomAbout(v, 100, 25, 1000);
  EXPECT_EQ(v.ViewStart, 0);
  EXPECT_EQ(v.ViewEnd, 99);
  Expand(v, 100);
  EXPECT_EQ(v.ViewEnd, 99);
}

TEST(GraphMarkers, StepsKeepBothMarkersInsideTheTrialAndInOrder) {
  AnalysisView v = ViewOf(0, 99);
  MarkRight(v, 100, k2);  // marker 2 at the last sample does not pass it
  EXPECT_EQ(v.Marker2Sample, 99);
  MarkRight10(v, 100, k2);
  EXPECT_EQ(v.Marker2Sample, 99);
  MarkLeft(v, 100, k1);
  EXPECT_EQ(v.Marker1Sample, 0);
  v = ViewOf(10, 13);
  MarkRight(v, 100, k1);  // 11 + 1 < 12 fails: marker 1 stays two samples left
  MarkRight(v, 100, k1);
  EXPECT_EQ(v.Marker1Sample, 11);
  MarkLeft(v, 100, k2);
  MarkLeft(v, 100, k2);
  EXPECT_EQ(v.Marker2Sample, 12);
  MarkRight10(v, 100, k2);
  EXPECT_EQ(v.Marker2Sample, 22);
  MarkLeft10(v, 100, k2);  // 12 − 10 is not beyond marker 1: stays
  MarkLeft10(v, 100, k2);
  EXPECT_EQ(v.Marker2Sample, 12);
  // Markers left outside the trial by an earlier, longer trial come back in.
  v = ViewOf(-5, 400);
  MarkLeft(v, 100, k1);
  EXPECT_EQ(v.Marker1Sample, 0);
  EXPECT_EQ(v.Marker2Sample, 99);
}

TEST(GraphMarkers, ClicksAndDragsFollowTheRuleAndStayInOrder) {
  AnalysisView v = ViewOf(20, 60);
  EXPECT_FALSE(ClickMarker(v, 100, k2, 10.0));  // left of marker 1 with marker 2 selected
  EXPECT_EQ(v.Marker2Sample, 60);
  EXPECT_TRUE(ClickMarker(v, 100, k1, 35.4));
  EXPECT_EQ(v.Marker1Sample, 35);
  ClickMarker(v, 100, k1, 59.7);  // nearest sample is marker 2's: one before it
  EXPECT_EQ(v.Marker1Sample, 59);
  ClickMarker(v, 100, k2, 250.0);
  EXPECT_EQ(v.Marker2Sample, 99);
  DragMarker(v, 100, k1, -30.0);
  EXPECT_EQ(v.Marker1Sample, 0);
  DragMarker(v, 100, k2, -30.0);
  EXPECT_EQ(v.Marker2Sample, 1);
}

TEST(GraphMarkers, SeeksStayInsideTheTrial) {
  TrialDataSet trial;
  SettingsRecord s;
  s.samples = 100;
  s.frequency = 100;
  DimensionDataArrays(trial, s.samples);
  AnalysisView v = ViewOf(2, 99);
  SeekOptions none;  // nothing ticked: backwards ends at 5, forwards at N − 9
  SeekMarker(v, trial, s, k1, false, ShownChannel::Displacement, none);
  EXPECT_GE(v.Marker1Sample, 0);
  EXPECT_LT(v.Marker1Sample, v.Marker2Sample);
  SeekMarker(v, trial, s, k1, true, ShownChannel::Displacement, none);
  EXPECT_EQ(v.Marker1Sample, 91);
  v = ViewOf(2, 4);
  SeekMarker(v, trial, s, k1, true, ShownChannel::Displacement, none);
  EXPECT_EQ(v.Marker1Sample, 3);  // not past marker 2
  // The read-outs read inside the trial afterwards.
  const MarkerReadouts r =
      MarkerReadoutTexts(v, trial.Displacement, s.samples, s.frequency, ShownChannel::Displacement);
  EXPECT_EQ(r.txtYValue1, "0.0");
}

TEST(GraphPhaseLines, OnlyPhaseTimesAboveZeroAndTheJumpFrameWhenTicked) {
  AnalysisView v;
  v.MovementOnsetTime = 0.5;
  v.TakeOffTime = 1.0;
  v.LandingTime = 1.5;
  PhaseLines lines = PhaseLineSamples(v, 200, true, false);
  EXPECT_EQ(lines.phases, (std::vector<double>{100, 200, 300}));
  EXPECT_TRUE(lines.jumpFrame.empty());
  lines = PhaseLineSamples(v, 200, true, true);
  EXPECT_EQ(lines.jumpFrame, (std::vector<double>{100, 300}));
  EXPECT_TRUE(PhaseLineSamples(v, 200, false, true).phases.empty());
}

TEST(GraphResults, TheJumpFrameComesFromThisTrialsPhases) {
  // A jump at 500 Hz: onset, take-off and landing found over the whole trial.
  const testing::SyntheticTrial jump = testing::CountermovementJump();
  TrialDataSet trial;
  SettingsRecord s;
  s.samples = jump.samples();
  s.frequency = jump.frequency;
  s.RecordForce = true;
  DimensionDataArrays(trial, s.samples);
  std::copy(jump.displacement.begin(), jump.displacement.end(), trial.Displacement.begin());
  std::copy(jump.velocity.begin(), jump.velocity.end(), trial.Velocity.begin());
  std::copy(jump.force.begin(), jump.force.end(), trial.Force.begin());
  std::copy(jump.power.begin(), jump.power.end(), trial.Power.begin());
  AnalysisView view;
  view.AnalysisStart = 0;
  view.AnalysisEnd = s.samples - 1;
  // Phases left by the trial shown before, far from this jump.
  view.MovementOnsetTime = 0.01;
  view.LandingTime = 0.02;
  const TrialResults results = RunResults(trial, s, view, ResultsOptions{.frameJump = true});
  ASSERT_GT(view.LandingTime, view.MovementOnsetTime);
  EXPECT_EQ(view.JumpFrameStartSample,
            static_cast<std::int32_t>(std::lround(view.MovementOnsetTime * s.frequency)));
  EXPECT_GT(view.JumpFrameEndSample, view.JumpFrameStartSample + 10);
  EXPECT_EQ(results.windowStart, view.JumpFrameStartSample);
}

TEST(GraphReadout, MouseTextAndPixelMapping) {
  const std::vector<float> x{0.0f, 1.23456f, 2.0f};
  EXPECT_EQ(MouseReadout(1.2, x, 3, 100), "0.012, 1.235");
  EXPECT_EQ(MouseReadout(-4, x, 3, 100), "-0.040, 0.000");
  EXPECT_EQ(MouseReadout(1, x, 0, 100), "");
  EXPECT_DOUBLE_EQ(SampleAtPixel(150, 50, 200, 100, 300), 200);
  EXPECT_DOUBLE_EQ(PixelOfSample(200, 50, 200, 100, 300), 150);
  EXPECT_EQ(NearestSample(1e30, 10), 9);
}

TEST(DurationBox, AppliesRefusesAndAsksBeforeClearingAnUnsavedTrial) {
  TrialDataSet trial;
  SettingsRecord s;
  s.frequency = 200;
  s.samples = 1000;
  DimensionDataArrays(trial, s.samples);
  ScriptedDialogs dialogs;
  EXPECT_EQ(ApplyTrialDuration(trial, s, dialogs, "5", false), DurationOutcome::Unchanged);
  EXPECT_EQ(ApplyTrialDuration(trial, s, dialogs, "2.5", true), DurationOutcome::Busy);
  EXPECT_EQ(s.samples, 1000);
  EXPECT_EQ(ApplyTrialDuration(trial, s, dialogs, "2.5", false), DurationOutcome::Applied);
  EXPECT_EQ(s.samples, 500);
  EXPECT_EQ(ApplyTrialDuration(trial, s, dialogs, "0", false), DurationOutcome::Applied);
  EXPECT_EQ(s.samples, 32000);
  EXPECT_EQ(ApplyTrialDuration(trial, s, dialogs, "5000", false), DurationOutcome::TooLarge);
  EXPECT_EQ(dialogs.shown.back().title, kMaximumSamplesTitle);
  trial.DataCollected = true;
  trial.Displacement[3] = 1.5f;
  dialogs.answers = {DialogAnswer::No};
  EXPECT_EQ(ApplyTrialDuration(trial, s, dialogs, "1", false), DurationOutcome::Declined);
  EXPECT_FLOAT_EQ(trial.Displacement[3], 1.5f);
  EXPECT_EQ(s.samples, 32000);
  EXPECT_EQ(TrialDurationText(s), "160.0");
}

}  // namespace
}  // namespace torvane
