#pragma once
// The one-page trial report: everything it shows, as texts and numbers
// decided here, so that the page itself (src/report/ui/) only places and
// draws them. The same report comes out of File → Report… and of
// `torvane-cli report`.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "analysis/recalculate.hpp"
#include "analysis/seek_statistics.hpp"
#include "config/settings_record.hpp"
#include "results/process_data.hpp"
#include "results/quality_flags.hpp"
#include "trial/analysis_view.hpp"
#include "trial/athlete.hpp"
#include "trial/trial_data_set.hpp"

namespace torvane {

// A label and its text ("Body mass", "80.0 kg").
struct ReportField {
  std::string label;
  std::string text;
};

// One of the 33 results: its results-row header, the text the results
// window shows ("" when not computed) and its unit.
struct ReportResult {
  std::string name;
  std::string text;
  std::string unit;
};

// A tick of an axis: where it stands (seconds or the channel's unit) and
// its label.
struct AxisTick {
  double value = 0;
  std::string label;
};

// The graph of the chosen channel over the samples shown.
struct ReportGraph {
  std::string title;          // "Force (N)"
  std::string xLabel;         // "time (s)"
  double xMin = 0, xMax = 1;  // seconds
  double yMin = 0, yMax = 1;  // the channel's unit
  std::vector<AxisTick> xTicks;
  std::vector<AxisTick> yTicks;
  // The curve, in seconds and the channel's unit: every sample of a short
  // view, else the first, lowest, highest and last sample of each of
  // `columns` slices, in time order, so that no peak is lost.
  std::vector<double> times;
  std::vector<double> values;
  std::vector<double> phaseTimes;      // green: movement onset, zero velocity, take-off, landing
  std::vector<double> jumpFrameTimes;  // dark blue: the jump frame, with "frame jump"
  std::vector<double> markerTimes;     // magenta: the two markers
};

struct TrialReport {
  std::string title;                  // "Trial report"
  std::string trialName;              // the file's name, or "Trial not saved"
  std::vector<ReportField> athlete;   // athlete, id, date, body mass
  std::vector<ReportField> settings;  // mode, sampling, filters, range, options
  std::vector<ReportField> phases;    // the four phase times
  ReportGraph graph;
  std::vector<ReportResult> results;  // the 33, in table order
  // One line per quality flag ("code: message (values)"); empty when clean.
  std::vector<std::string> quality;
  std::string qualityClean;  // the line shown when there is no flag
  std::string footer;        // the program and its version
};

// What the report is made from: the trial in memory, its settings, the
// markers and phase times, the last results run and its quality flags, and
// the choices of the window or the command line.
struct ReportInput {
  const TrialDataSet& trial;
  const SettingsRecord& settings;
  const AnalysisView& view;
  const TrialResults& results;
  std::span<const QualityFlag> quality;
  SquadMember athlete;  // the trial's own, else the squad's selected one
  CalculationMode mode;
  ShownChannel channel = ShownChannel::Force;
  bool meanConcentricOnly = false;
  bool frameJump = false;
  std::string version;  // "1.0.0"
};

// The columns the curve is thinned to (about one per 0.3 mm of an A4
// page's graph at full resolution is far below what a printer resolves).
inline constexpr int kReportGraphColumns = 1200;

TrialReport BuildTrialReport(const ReportInput& input);

// Ticks at 1, 2 or 5 times a power of ten covering [min, max], at most
// `maxTicks` of them; labels with as many decimals as the step needs.
std::vector<AxisTick> AxisTicks(double min, double max, int maxTicks);

// The samples first … last of `channel` thinned to `columns` slices, each
// kept as its first, lowest, highest and last sample in time order (a
// slice of fewer samples keeps them all). Indexes of the samples kept.
std::vector<std::int32_t> ThinnedSamples(std::span<const float> channel, std::int32_t first,
                                         std::int32_t last, int columns);

// The channel's name and unit as the graph's title: "Force (N)".
std::string ChannelTitle(ShownChannel channel);

// The channel a report shows when none is chosen: force when the trial
// records it, else displacement.
ShownChannel DefaultReportChannel(const SettingsRecord& settings);

// The channel named by a word of the command line: "displacement",
// "velocity", "acceleration", "force", "power" (or the graph's own short
// words "disp", "veloc", "accel"); false for any other word.
bool ReportChannelFromWord(std::string_view word, ShownChannel& channel);

}  // namespace torvane
