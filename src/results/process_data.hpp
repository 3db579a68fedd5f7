#pragma once
// The results computation of a trial: the four phase times of a jump
// (movement onset, zero velocity, take-off, landing) and the 33 results
// variables, each as a number and as the text the results window shows.

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "config/settings_record.hpp"
#include "results/results_variables.hpp"
#include "results/results_worksheet.hpp"
#include "trial/trial_data_set.hpp"

namespace torvane {

struct AnalysisView;

// The check boxes that steer a results run.
struct ResultsOptions {
  bool frameJump = false;           // the analysis window's checkFrameJump
  bool meanConcentricOnly = false;  // the results window's CheckMeanConcentricOnly
};

// What ProcessData reads of the trial and the settings.
struct ResultsInput {
  std::span<const float> Displacement;
  std::span<const float> Velocity;
  std::span<const float> Force;
  std::span<const float> Power;
  std::int32_t samples = 0;
  std::int32_t frequency = 0;
  float RFDepoch = 30.0f;  // milliseconds
  bool RecordForce = false;
};

// The 33 results of one run. A value that was not computed has no number
// and an empty text; every other text is the value in its variable's format.
struct TrialResults {
  std::array<std::optional<double>, kResultsVariableCount> values{};
  ResultsTexts texts{};
  bool flightPhase = false;      // the landing came at least 50 ms after the take-off
  std::int32_t windowStart = 0;  // the samples the run looked at
  std::int32_t windowEnd = -1;
};

// One run over the analysis range (or the jump frame when options.frameJump):
// writes the phase times into `view` as the run finds them and returns the
// results. TakeOffTime starts each run at 0; the other three phase times are
// written only where a scan finds them and otherwise keep the previous run's
// value, which the jump frame of the next run is built from.
TrialResults ProcessData(const ResultsInput& input, AnalysisView& view,
                         const ResultsOptions& options);

// What ProcessData reads of a trial described by `settings`.
ResultsInput ResultsInputOf(const TrialDataSet& trial, const SettingsRecord& settings);

// A new trial (loaded or collected) starts with no phase times, so that no
// phase of the previous trial can show in its results.
void ResetPhaseTimes(AnalysisView& view);

// The jump frame the analysis window derives from the phase times: onset to
// landing, each to the nearest sample.
void SetJumpFrameFromPhases(AnalysisView& view, std::int32_t frequency);

// Helpers of the run, exposed for their tests: the nearest sample index to
// a position (halves to even, far-off values kept far off), and the largest
// k for which k / frequency <= seconds (-1 when none).
std::int64_t RoundIndex(double x);
std::int64_t LastIntervalWithin(double seconds, double frequency);

// The text of a value in the format of a results variable ("" for none).
std::string ResultsText(ResultsVariableId id, std::optional<double> value);

}  // namespace torvane
