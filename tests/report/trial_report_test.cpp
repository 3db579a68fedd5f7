// The trial report's content: axis ticks, the thinned curve, and what the
// page says about a trial (athlete, settings, phases, graph, results, flags).
#include "report/trial_report.hpp"

#include <gtest/gtest.h>

#include "results/results_variables.hpp"
#include "shell/report_session.hpp"

namespace torvane {
namespace {

std::vector<std::string> Labels(const std::vector<AxisTick>& ticks) {
  std::vector<std::string> labels;
  for (const AxisTick& tick : ticks) labels.push_back(tick.label);
  return labels;
}

TEST(ReportAxisTicks, StepsOfOneTwoOrFiveWithTheDecimalsTheStepNeeds) {
  EXPECT_EQ(
      Labels(AxisTicks(0, 4.0, 11)),
      (std::vector<std::string>{"0.0", "0.5", "1.0", "1.5", "2.0", "2.5", "3.0", "3.5", "4.0"}));
  // Across zero: no "-0", and the ticks stay inside the range.
  EXPECT_EQ(Labels(AxisTicks(-3.4, 3.6, 9)),
            (std::vector<std::string>{"-3", "-2", "-1", "0", "1", "2", "3"}));
  EXPECT_EQ(Labels(AxisTicks(-0.05, 0.35, 6)),
            (std::vector<std::string>{"0.0", "0.1", "0.2", "0.3"}));
  EXPECT_EQ(Labels(AxisTicks(-120, 2480, 9)),
            (std::vector<std::string>{"0", "500", "1000", "1500", "2000"}));
  const std::vector<AxisTick> fine = AxisTicks(0.0012, 0.0019, 8);
  ASSERT_FALSE(fine.empty());
  EXPECT_EQ(fine.front().label, "0.0012");
  // No range, no ticks (and no endless loop).
  EXPECT_TRUE(AxisTicks(1, 1, 8).empty());
  EXPECT_TRUE(AxisTicks(2, 1, 8).empty());
  EXPECT_TRUE(AxisTicks(0, std::numeric_limits<double>::infinity(), 8).empty());
}

TEST(ReportThinnedSamples, ShortViewsWholeLongViewsKeepEveryPeakInTimeOrder) {
  std::vector<float> channel(100000, 1.0f);
  EXPECT_EQ(ThinnedSamples(channel, 10, 20, 100).size(), 11u);
  channel[54321] = 900.0f;  // a spike of one sample
  channel[77777] = -900.0f;
  const std::vector<std::int32_t> kept = ThinnedSamples(channel, 0, 99999, 1200);
  EXPECT_LE(kept.size(), 4u * 1200u);
  EXPECT_EQ(kept.front(), 0);
  EXPECT_EQ(kept.back(), 99999);
  EXPECT_TRUE(std::is_sorted(kept.begin(), kept.end()));
  EXPECT_EQ(std::adjacent_find(kept.begin(), kept.end()), kept.end());
  EXPECT_NE(std::find(kept.begin(), kept.end(), 54321), kept.end());
  EXPECT_NE(std::find(kept.begin(), kept.end(), 77777), kept.end());
  // A view past the channel's end stops at it; an empty one keeps nothing.
  EXPECT_EQ(ThinnedSamples(channel, 99990, 200000, 10).back(), 99999);
  EXPECT_TRUE(ThinnedSamples(channel, 50, 40, 10).empty());
}

TEST(ReportChannel, WordsAndTheDefaultChannel) {
  ShownChannel channel = ShownChannel::Power;
  EXPECT_TRUE(ReportChannelFromWord("velocity", channel));
  EXPECT_EQ(channel, ShownChannel::Velocity);
  EXPECT_TRUE(ReportChannelFromWord("disp", channel));
  EXPECT_EQ(channel, ShownChannel::Displacement);
  EXPECT_FALSE(ReportChannelFromWord("Force", channel));
  EXPECT_EQ(channel, ShownChannel::Displacement);
  SettingsRecord settings;
  settings.RecordForce = true;
  EXPECT_EQ(DefaultReportChannel(settings), ShownChannel::Force);
  settings.RecordForce = false;
  EXPECT_EQ(DefaultReportChannel(settings), ShownChannel::Displacement);
  EXPECT_EQ(ChannelTitle(ShownChannel::Acceleration), "Acceleration (m/s\u00B2)");
}

TEST(ReportFile, NameFromTheTrialAndThePdfExtension) {
  TrialDataSet trial;
  EXPECT_EQ(ReportFileName(trial), "Trial report.pdf");
  trial.DataFileName = "/data/jumps/anna.cmj.qlx";
  EXPECT_EQ(ReportFileName(trial), "anna.cmj.pdf");
  EXPECT_EQ(WithReportExtension("/tmp/a"), "/tmp/a.pdf");
  EXPECT_EQ(WithReportExtension("/tmp/a.PDF"), "/tmp/a.PDF");
  EXPECT_EQ(WithReportExtension("/tmp/a.qlx"), "/tmp/a.qlx.pdf");
}

// A trial of 1000 samples at 500 Hz whose force rises to a peak at 1.2 s.
struct ReportedTrial {
  ReportedTrial() {
    DimensionDataArrays(trial, 1000);
    for (int i = 0; i < 1000; ++i) trial.Force[static_cast<std::size_t>(i)] = 800.0f + i;
    trial.Force[600] = 3000.0f;
    trial.DataFileName = "/data/anna.qlx";
    trial.CollectionDateTime = "2026-12-07 10:15:00";
    settings.samples = 1000;
    settings.frequency = 500;
    settings.weight = 80;
    settings.RecordForce = true;
    settings.velocFc = 16;
    settings.forceFc = 0.5f;
    settings.flightthres = 50;
    settings.RFDepoch = 30;
    view.ViewStart = 0;
    view.ViewEnd = 999;
    view.Marker1Sample = 100;
    view.Marker2Sample = 900;
    view.AnalysisStart = 100;
    view.AnalysisEnd = 900;
    view.MovementOnsetTime = 0.5;
    view.ZeroVelocityTime = 0.9;
    view.TakeOffTime = 0;  // not found
    view.LandingTime = 1.9;
    results.texts[kPeakForce] = "3000.0";
  }
  TrialReport Build(std::span<const QualityFlag> flags = {}, bool frameJump = false) const {
    ReportInput input{.trial = trial,
                      .settings = settings,
                      .view = view,
                      .results = results,
                      .quality = flags,
                      .athlete = {"A7", "Anna", "Berg", 61},
                      .mode = {.fromDisplacement = false, .fromForce = true},
                      .channel = ShownChannel::Force,
                      .frameJump = frameJump,
                      .version = "1.0.0"};
    return BuildTrialReport(input);
  }
  TrialDataSet trial;
  SettingsRecord settings;
  AnalysisView view;
  TrialResults results;
};

std::string FieldText(const std::vector<ReportField>& fields, const std::string& label) {
  for (const ReportField& field : fields) {
    if (field.label == label) return field.text;
  }
  return "(no field " + label + ")";
}

TEST(TrialReportContent, AthleteSettingsPhasesResultsAndFlags) {
  ReportedTrial t;
  TrialReport report = t.Build();
  EXPECT_EQ(report.trialName, "anna.qlx");
  EXPECT_EQ(FieldText(report.athlete, "Athlete"), "Anna Berg");
  EXPECT_EQ(FieldText(report.athlete, "Id"), "A7");
  EXPECT_EQ(FieldText(report.athlete, "Date"), "2026-12-07 10:15:00");
  // The mass the trial was analysed with, not the squad's.
  EXPECT_EQ(FieldText(report.athlete, "Body mass"), "80.0 kg");
  EXPECT_EQ(FieldText(report.settings, "Calculation"), "from force");
  EXPECT_EQ(FieldText(report.settings, "Sampling"), "1000 samples at 500 Hz (2.000 s)");
  EXPECT_EQ(FieldText(report.settings, "Filters"),
            "displacement off, velocity 16 Hz, acceleration off, force off");
  EXPECT_EQ(FieldText(report.settings, "Analysis range"), "0.200 s to 1.800 s");
  EXPECT_EQ(FieldText(report.phases, "Movement onset"), "0.500 s");
  EXPECT_EQ(FieldText(report.phases, "Take-off"), "not found");
  ASSERT_EQ(report.results.size(), kResultsVariableCount);
  EXPECT_EQ(report.results[kPeakForce].name, "Peak Force");
  EXPECT_EQ(report.results[kPeakForce].text, "3000.0");
  EXPECT_EQ(report.results[kPeakForce].unit, "N");
  EXPECT_EQ(report.footer, "Torvane Measurement System 1.0.0");
  EXPECT_TRUE(report.quality.empty());
  EXPECT_FALSE(report.qualityClean.empty());

  const QualityFlag flag{"not-at-rest", "The trial starts moving.", {{"start_force_N", 12.5}}};
  report = t.Build({&flag, 1});
  ASSERT_EQ(report.quality.size(), 1u);
  EXPECT_EQ(report.quality[0], QualityFlagText(flag));

  // Nobody named, no date, never saved.
  t.trial.DataFileName.clear();
  t.trial.CollectionDateTime.clear();
  const ReportInput input{.trial = t.trial,
                          .settings = t.settings,
                          .view = t.view,
                          .results = t.results,
                          .quality = {},
                          .athlete = {},
                          .mode = {},
                          .version = {}};
  report = BuildTrialReport(input);
  EXPECT_EQ(report.trialName, "Trial not saved");
  EXPECT_EQ(FieldText(report.athlete, "Athlete"), "Not named");
  EXPECT_EQ(FieldText(report.athlete, "Date"), "Not recorded");
}

TEST(TrialReportContent, TheGraphShowsTheViewWithItsPhasesAndMarkers) {
  ReportedTrial t;
  ReportGraph g = t.Build().graph;
  EXPECT_EQ(g.title, "Force (N)");
  EXPECT_DOUBLE_EQ(g.xMin, 0);
  EXPECT_DOUBLE_EQ(g.xMax, 999.0 / 500);
  ASSERT_EQ(g.times.size(), 1000u);
  EXPECT_DOUBLE_EQ(g.values[600], 3000.0);
  EXPECT_LT(g.yMin, 800);
  EXPECT_GT(g.yMax, 3000);
  EXPECT_EQ(g.phaseTimes, (std::vector<double>{0.5, 0.9, 1.9}));  // take-off not found
  EXPECT_EQ(g.markerTimes, (std::vector<double>{0.2, 1.8}));
  EXPECT_TRUE(g.jumpFrameTimes.empty());
  EXPECT_FALSE(g.xTicks.empty());
  EXPECT_FALSE(g.yTicks.empty());

  // A zoomed view: only its samples, and only the lines inside it.
  t.view.ViewStart = 400;
  t.view.ViewEnd = 700;
  g = t.Build({}, true).graph;
  EXPECT_DOUBLE_EQ(g.xMin, 0.8);
  EXPECT_DOUBLE_EQ(g.xMax, 1.4);
  EXPECT_EQ(g.times.size(), 301u);
  EXPECT_EQ(g.phaseTimes, (std::vector<double>{0.9}));
  EXPECT_TRUE(g.markerTimes.empty());
  EXPECT_TRUE(g.jumpFrameTimes.empty());  // onset and landing lie outside
  t.view.ViewStart = 0;
  t.view.ViewEnd = 999;
  EXPECT_EQ(t.Build({}, true).graph.jumpFrameTimes, (std::vector<double>{0.5, 1.9}));

  // A view the trial no longer has (cropped since): the whole trial.
  t.view.ViewStart = 5000;
  t.view.ViewEnd = 6000;
  g = t.Build().graph;
  EXPECT_DOUBLE_EQ(g.xMin, 0);
  EXPECT_EQ(g.times.size(), 1000u);

  // A flat channel still gets a height.
  std::fill(t.trial.Force.begin(), t.trial.Force.end(), 0.0f);
  g = t.Build().graph;
  EXPECT_LT(g.yMin, 0);
  EXPECT_GT(g.yMax, 0);
}

}  // namespace
}  // namespace torvane
