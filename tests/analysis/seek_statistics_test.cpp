#include "analysis/seek_statistics.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "test_support.hpp"

namespace torvane {
namespace {

constexpr std::int16_t kForwards = 0;
constexpr std::int16_t kBackwards = -1;

std::int32_t Seek(std::int16_t direction, std::int32_t start, const std::vector<float>& x,
                  const SeekOptions& o, std::int32_t fs = 500) {
  // The span is exactly the trial: a read past it would trip the sanitizers.
  return FindMaxMinZero(direction, start, x, static_cast<std::int32_t>(x.size()), fs, o);
}

// 100 samples: a crossing from negative to positive between 19 and 20, the
// maximum 9 at 50, the minimum -9 at 80.
std::vector<float> Features() {
  std::vector<float> x(100, 1.0f);
  for (int i = 0; i < 20; ++i) x[static_cast<std::size_t>(i)] = -1.0f;
  x[50] = 9.0f;
  x[80] = -9.0f;
  return x;
}

TEST(FindMaxMinZero, MaximumBeforeMinimumBeforeTheLocalTests) {
  const std::vector<float> x = Features();
  SeekOptions o;
  o.CheckSeekMaximum = o.CheckSeekMinimum = o.CheckSeekZeroCross = true;
  EXPECT_EQ(Seek(kForwards, 1, x, o), 50);
  EXPECT_EQ(Seek(kBackwards, 70, x, o), 50);
  o.CheckSeekMaximum = false;
  EXPECT_EQ(Seek(kForwards, 1, x, o), 80);
  o.CheckSeekMinimum = false;
  EXPECT_EQ(Seek(kForwards, 1, x, o), 19);
  // From the positive side a fall to -9 is a crossing too.
  EXPECT_EQ(Seek(kForwards, 21, x, o), 79);
  EXPECT_EQ(Seek(kBackwards, 70, x, o), 19);
}

TEST(FindMaxMinZero, SeekMaximumAndMinimumHonourTheDirection) {
  std::vector<float> x(60, 0.0f);
  x[0] = 5;
  x[30] = 4;
  x[40] = 4;
  x[50] = -3;
  x[5] = -3;
  SeekOptions o{.CheckSeekMaximum = true};
  // A seek to the right never lands left of its start, even on a larger sample 0.
  EXPECT_EQ(Seek(kForwards, 10, x, o), 30);
  EXPECT_EQ(Seek(kForwards, 35, x, o), 40);
  // To the left: the largest from the start down to sample 0; of equal
  // values the first met.
  EXPECT_EQ(Seek(kBackwards, 45, x, o), 0);
  x[0] = 1;
  EXPECT_EQ(Seek(kBackwards, 45, x, o), 40);
  EXPECT_EQ(Seek(kBackwards, 35, x, o), 30);
  o = SeekOptions{.CheckSeekMinimum = true};
  EXPECT_EQ(Seek(kForwards, 10, x, o), 50);
  EXPECT_EQ(Seek(kBackwards, 45, x, o), 5);
  // Starts outside the trial are kept inside it.
  EXPECT_EQ(Seek(kForwards, 99, x, o), 59);
  EXPECT_EQ(Seek(kBackwards, -1, x, o), 0);
}

TEST(FindMaxMinZero, LocalExtremaAllowTiesWithinThreeSamplesNotAtFourOrFive) {
  std::vector<float> x(60, 0.0f);
  x[20] = 3;
  x[23] = 3;  // an equal value three samples away
  SeekOptions o{.CheckSeekMaxima = true};
  EXPECT_EQ(Seek(kForwards, 10, x, o), 20);
  x[23] = 0;
  x[24] = 3;  // four samples away: neither is a local maximum
  EXPECT_EQ(Seek(kForwards, 10, x, o), 60 - 9);
  x[24] = 0;
  x[15] = 3;  // five samples before
  EXPECT_EQ(Seek(kForwards, 10, x, o), 60 - 9);
  // The same rules for a minimum.
  std::vector<float> y(60, 0.0f);
  y[30] = -2;
  y[27] = -2;
  o = {.CheckSeekMinima = true};
  EXPECT_EQ(Seek(kForwards, 28, y, o), 30);
  EXPECT_EQ(Seek(kBackwards, 40, y, o), 30);
  // An equal value four samples on spoils 30, not 27, which has its equal
  // three samples away.
  y[34] = -2;
  EXPECT_EQ(Seek(kBackwards, 40, y, o), 27);
}

TEST(FindMaxMinZero, NothingFoundGivesNMinusNineOrFive) {
  const std::vector<float> x(200, 1.0f);
  const SeekOptions none;
  EXPECT_EQ(Seek(kForwards, 0, x, none), 191);
  EXPECT_EQ(Seek(kBackwards, 150, x, none), 5);
  SeekOptions o;
  o.CheckSeekZeroCross = o.CheckSeekMaxima = o.CheckSeekMinima = o.CheckRateOfRise = true;
  EXPECT_EQ(Seek(kForwards, 0, x, o), 191);
  EXPECT_EQ(Seek(kBackwards, 199, x, o), 5);
  // A trial shorter than nine samples keeps the marker inside it.
  EXPECT_EQ(Seek(kForwards, 0, std::vector<float>(4, 1.0f), o), 0);
  EXPECT_EQ(Seek(kBackwards, 3, std::vector<float>(4, 1.0f), o), 3);
}

TEST(FindMaxMinZero, ForwardsLocalTestsStartAfterSampleSixBackwardsAtSix) {
  std::vector<float> x(40, 0.0f);
  x[6] = 1;
  SeekOptions o{.CheckSeekMaxima = true};
  EXPECT_EQ(Seek(kForwards, 0, x, o), 31);
  EXPECT_EQ(Seek(kBackwards, 20, x, o), 6);
}

TEST(FindMaxMinZero, TestsThatWouldReadPastTheTrialDoNotHold) {
  // The largest value three samples from the end: a local maximum test there
  // would compare with samples beyond the trial.
  std::vector<float> x(40, 0.0f);
  x[37] = 5;
  x[12] = 2;
  SeekOptions o{.CheckSeekMaxima = true};
  EXPECT_EQ(Seek(kBackwards, 39, x, o), 12);
  // A steep rise in the last samples: with a 30 ms epoch (15 samples at
  // 500 Hz) its rate would need samples past the end.
  std::vector<float> y(40, 0.0f);
  for (int i = 29; i < 40; ++i) y[static_cast<std::size_t>(i)] = static_cast<float>(i - 28);
  o = {.CheckRateOfRise = true, .TextRateOfRiseThreshold = 1};
  EXPECT_EQ(Seek(kForwards, 0, y, o), 31);
  EXPECT_EQ(Seek(kBackwards, 39, y, o), 5);
  // A zero crossing into the last sample is still seen.
  std::vector<float> z(40, 1.0f);
  z[39] = -1;
  o = {.CheckSeekZeroCross = true};
  EXPECT_EQ(Seek(kBackwards, 39, z, o), 38);
}

TEST(FindMaxMinZero, RateOfRiseNeedsARisingSampleAndTheRateOverTheEpoch) {
  std::vector<float> x(300, 0.0f);
  for (int i = 100; i < 300; ++i)
    x[static_cast<std::size_t>(i)] = 0.1f * static_cast<float>(i - 99);
  SeekOptions o{.CheckRateOfRise = true, .TextRateOfRiseThreshold = 10};  // 0.3 over 30 ms
  // From sample 88 on the epoch already spans 0.3, but the first rising
  // step is from sample 99 to 100.
  EXPECT_EQ(Seek(kForwards, 50, x, o), 99);
  o.TextRateOfRiseThreshold = 60;  // 1.8 over 30 ms: more than 15 × 0.1
  EXPECT_EQ(Seek(kForwards, 50, x, o), 291);
  o.TextRateOfRiseThreshold = 10;
  o.TextEpoch = 10;  // 5 samples: 0.5 in 10 ms = 50 per second
  EXPECT_EQ(Seek(kForwards, 50, x, o), 99);
  o.TextRateOfRiseThreshold = 51;
  EXPECT_EQ(Seek(kForwards, 50, x, o), 291);
}

TEST(SeekPoint, SeeksOnTheShownChannel) {
  testing::TestSession ts;
  Session& s = ts.session;
  DimensionDataArrays(s.trial, 100);
  s.settings.samples = 100;
  s.settings.frequency = 500;
  s.trial.Force[40] = 10;
  s.trial.Velocity[60] = 10;
  SeekOptions o{.CheckSeekMaximum = true};
  EXPECT_EQ(SeekPoint(s.trial, s.settings, kForwards, 1, ShownChannel::Force, o), 40);
  EXPECT_EQ(SeekPoint(s.trial, s.settings, kForwards, 1, ShownChannel::Velocity, o), 60);
  // Only the trial's samples count, not the rest of the arrays.
  s.trial.Force[150] = 99;
  EXPECT_EQ(SeekPoint(s.trial, s.settings, kForwards, 1, ShownChannel::Force, o), 40);
}

TEST(MarkerReadouts, TimesValuesAndTheAnalysisRange) {
  std::vector<float> force(1000, 0.0f);
  force[250] = 1234.56f;
  force[333] = -0.04f;
  AnalysisView view;
  view.Marker1Sample = 250;
  view.Marker2Sample = 333;
  MarkerReadouts r = MarkerReadoutTexts(view, force, 1000, 500, ShownChannel::Force);
  EXPECT_EQ(view.AnalysisStart, 250);
  EXPECT_EQ(view.AnalysisEnd, 333);
  EXPECT_EQ(r.txtXValue1, "0.5");
  EXPECT_EQ(r.txtXValue2, "0.666");
  EXPECT_EQ(r.lblTimeDiff, "0.166");
  EXPECT_EQ(r.txtYValue1, "1234.6");
  EXPECT_EQ(r.txtYValue2, "0.0");
  force[333] = 0.12345f;
  r = MarkerReadoutTexts(view, force, 1000, 500, ShownChannel::Displacement);
  EXPECT_EQ(r.txtYValue2, "0.123");
  r = MarkerReadoutTexts(view, force, 1000, 500, ShownChannel::Velocity);
  EXPECT_EQ(r.txtYValue2, "0.12");
  r = MarkerReadoutTexts(view, force, 1000, 500, ShownChannel::Acceleration);
  EXPECT_EQ(r.txtYValue1, "1234.56");
  // A marker 2 below 0 becomes 0; no frequency leaves the times alone.
  view.Marker2Sample = -3;
  r = MarkerReadoutTexts(view, force, 1000, 0, ShownChannel::Force);
  EXPECT_EQ(view.AnalysisEnd, 0);
  EXPECT_EQ(view.Marker2Sample, 0);
  EXPECT_FALSE(r.timesShown);
  EXPECT_EQ(r.txtXValue1, "");
}

TEST(CalcSummaryData, RangeStatisticsAndOneSampleRange) {
  std::vector<float> x = {1, 5, -2, 4, 2, 7};
  AnalysisView view;
  view.AnalysisStart = 1;
  view.AnalysisEnd = 4;
  auto s = CalcSummaryData(view, x, 6);
  ASSERT_TRUE(s.has_value());
  EXPECT_EQ(s->lblMax, "5.0");
  EXPECT_EQ(s->lblMin, "-2.0");
  EXPECT_EQ(s->lblMean, "2.25");  // 9 / 4 samples
  view.AnalysisStart = view.AnalysisEnd = 2;
  s = CalcSummaryData(view, x, 6);
  EXPECT_EQ(s->lblMax, "-2.0");
  EXPECT_EQ(s->lblMin, "-2.0");
  EXPECT_EQ(s->lblMean, "-2.0");
  view.AnalysisEnd = 6;  // past the trial
  EXPECT_FALSE(CalcSummaryData(view, x, 6).has_value());
  view.AnalysisStart = -1;
  view.AnalysisEnd = 3;
  EXPECT_FALSE(CalcSummaryData(view, x, 6).has_value());
}

TEST(UpdateValues, RunsTheResultsOnlyWhenTheRangeLiesInsideTheTrial) {
  testing::TestSession ts;
  Session& s = ts.session;
  DimensionDataArrays(s.trial, 100);
  s.settings.samples = 100;
  s.settings.frequency = 100;
  for (std::size_t i = 0; i < 100; ++i) s.trial.Force[i] = static_cast<float>(i);
  s.view.Marker1Sample = 10;
  s.view.Marker2Sample = 19;
  UpdateValuesResult r = UpdateValues(s.trial, s.settings, s.view, ShownChannel::Force, {});
  ASSERT_TRUE(r.summary && r.results);
  EXPECT_EQ(r.summary->lblMean, "14.5");
  EXPECT_EQ(r.results->texts[kPeakForce], "19.0");
  s.view.Marker2Sample = 100;
  r = UpdateValues(s.trial, s.settings, s.view, ShownChannel::Force, {});
  EXPECT_FALSE(r.summary.has_value());
  EXPECT_FALSE(r.results.has_value());
}

}  // namespace
}  // namespace torvane
