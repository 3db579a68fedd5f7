#pragma once
// Changing the trial in memory: cropping it to the analysis range, finding
// the force offset that makes the mean velocity zero and applying it, and
// the "Scale and Offset" window's offsets and factors.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "config/settings_record.hpp"
#include "trial/analysis_view.hpp"
#include "trial/trial_data_set.hpp"

namespace torvane {

// "Crop": the five channels keep only the samples AnalysisStart …
// AnalysisEnd of `view`, moved to the front; samples becomes their number and
// the view and the markers cover the new trial. The raw buffers are not
// cropped and nothing is recalculated. A range with no sample inside the
// trial changes nothing and returns false.
bool CommandCrop(TrialDataSet& trial, SettingsRecord& settings, AnalysisView& view);

// The offset search stops after this many steps.
inline constexpr int kForceOffsetStepLimit = 200;
inline constexpr const char* kForceOffsetNotFound = "not found";

struct ForceOffsetSearch {
  bool found = false;
  float offset = 0;
  int steps = 0;
  // What TextForceOffset shows: the offset as "0.0000", or "not found".
  std::string text;
};

// Searches the force offset c for which the velocity integrated from
// (c + Force - m·g) by the rectangle rule has a mean within 1e-5 m/s of
// zero, halving the step at each change of sign and doubling it otherwise;
// the answer is the offset whose mean velocity met the tolerance.
// Overwrites Velocity and sample 0 of Displacement, Power and Acceleration;
// the next recalculation restores them. Gives up after
// kForceOffsetStepLimit steps.
ForceOffsetSearch ForceOffsetForZeroMeanVelocity(TrialDataSet& trial, std::int32_t samples,
                                                 std::int32_t frequency, float weight);

// Adds the value of a text (its leading number; not a number counts as 0)
// to, or multiplies by it, samples 0 … samples - 1 of a channel.
void AddToChannel(std::span<float> channel, std::int32_t samples, std::string_view valueText);
void ScaleChannel(std::span<float> channel, std::int32_t samples, std::string_view factorText);

// "Apply offset to force and recalculate", before the recalculation: the
// force of the whole trial moved by the offset text.
void ApplyOffsetToForce(TrialDataSet& trial, const SettingsRecord& settings,
                        std::string_view offsetText);

// The four buttons of "Scale and Offset". An offset that is not a number
// adds 0; a factor that is not a number (an empty box) is refused and the
// channel left as it is, instead of being multiplied by 0. Returns whether
// the channel was changed.
enum class ScaleOffsetCommand { DisplacementOffset, DisplacementScale, ForceOffset, ForceScale };
bool ScaleOffsetValueAccepted(ScaleOffsetCommand command, std::string_view valueText);
bool ApplyScaleOffset(TrialDataSet& trial, const SettingsRecord& settings,
                      ScaleOffsetCommand command, std::string_view valueText);

}  // namespace torvane
