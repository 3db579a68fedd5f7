#pragma once
// The computations behind the analysis window's two markers: the seek that
// moves a marker to the next feature of the shown channel, the read-outs at
// the markers, and the statistics of the shown channel between them.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "config/settings_record.hpp"
#include "results/process_data.hpp"
#include "trial/analysis_view.hpp"
#include "trial/trial_data_set.hpp"

namespace torvane {

// The channel the analysis window shows (its option buttons optDist,
// optVel, optForce, optAccel, optPower).
enum class ShownChannel { Displacement, Velocity, Force, Acceleration, Power };

std::span<const float> ShownChannelArray(const TrialDataSet& trial, ShownChannel channel);
// The format of the marker values of a channel ("####0.0", "##0.0#", ...).
const char* ShownChannelFormat(ShownChannel channel);

// The seek options window ("Seek Options"), read at every seek.
struct SeekOptions {
  bool CheckSeekMaximum = false;
  bool CheckSeekMinimum = false;
  bool CheckSeekZeroCross = false;
  bool CheckSeekMaxima = false;
  bool CheckSeekMinima = false;
  bool CheckRateOfRise = false;
  double TextRateOfRiseThreshold = 400;  // channel units per second
  double TextEpoch = 30;                 // milliseconds
};

// The sample a seek from `start` arrives at. Direction 0 searches towards
// later samples, any other value towards earlier ones. "maximum" and
// "minimum" find the extreme from `start` to the end of the trial in the
// direction of the seek (the first met of equal extremes); otherwise the search stops at the first
// sample where a ticked test holds, in the order zero crossing, local maximum, local minimum, rate
// of rise. Nothing found: N - 9 forwards, 5 backwards (kept inside a trial shorter than that). A
// test that would read a sample past the trial does not hold.
std::int32_t FindMaxMinZero(std::int16_t direction, std::int32_t start,
                            std::span<const float> signal, std::int32_t samples,
                            std::int32_t frequency, const SeekOptions& options);

// FindMaxMinZero over the shown channel of a trial described by `settings`.
std::int32_t SeekPoint(const TrialDataSet& trial, const SettingsRecord& settings,
                       std::int16_t direction, std::int32_t start, ShownChannel channel,
                       const SeekOptions& options);

// The texts beside the markers.
struct MarkerReadouts {
  bool timesShown = false;  // false when the frequency is 0: the times are left as they were
  std::string txtXValue1;   // marker 1 in seconds, "0.0##"
  std::string txtXValue2;
  std::string lblTimeDiff;
  std::string txtYValue1;  // the shown channel at the markers, in the channel's format
  std::string txtYValue2;
};

// The statistics of the shown channel over the analysis range.
struct SummaryStatistics {
  float maximum = 0;
  float minimum = 0;
  double mean = 0;
  std::string lblMax;  // each "0.0##"
  std::string lblMin;
  std::string lblMean;
};

// The first half of UpdateValues: the analysis range from the markers
// (marker 2 not below 0) and the read-outs at the markers.
MarkerReadouts MarkerReadoutTexts(AnalysisView& view, std::span<const float> channel,
                                  std::int32_t samples, std::int32_t frequency, ShownChannel shown);

// Nothing when the analysis range reaches outside the trial.
std::optional<SummaryStatistics> CalcSummaryData(const AnalysisView& view,
                                                 std::span<const float> channel,
                                                 std::int32_t samples);

// UpdateValues: the read-outs, the statistics and, when the statistics were
// computed, a results run over the new range of `view`.
struct UpdateValuesResult {
  MarkerReadouts readouts;
  std::optional<SummaryStatistics> summary;
  std::optional<TrialResults> results;
};
UpdateValuesResult UpdateValues(const TrialDataSet& trial, const SettingsRecord& settings,
                                AnalysisView& view, ShownChannel shown,
                                const ResultsOptions& options);

}  // namespace torvane
