#include "analysis/data_set_editing.hpp"

#include <algorithm>
#include <cmath>

#include "analysis/typed_values.hpp"
#include "common/number_text.hpp"
#include "common/physical_constants.hpp"

namespace torvane {

namespace {

// Samples 0 … count - 1 of a channel that may be touched.
std::size_t Reach(std::span<float> channel, std::int32_t samples) {
  return std::min(static_cast<std::size_t>(std::max(samples, 0)), channel.size());
}

}  // namespace

bool CommandCrop(TrialDataSet& t, SettingsRecord& settings, AnalysisView& view) {
  const std::int64_t n = std::min<std::int64_t>(
      settings.samples,
      static_cast<std::int64_t>(std::min({t.Displacement.size(), t.Velocity.size(),
                                          t.Acceleration.size(), t.Force.size(), t.Power.size()})));
  const std::int64_t first = std::max<std::int64_t>(view.AnalysisStart, 0);
  const std::int64_t last = std::min<std::int64_t>(view.AnalysisEnd, n - 1);
  if (first > last) return false;
  std::int64_t j = 0;
  for (std::int64_t k = first; k <= last; ++k, ++j) {
    const auto from = static_cast<std::size_t>(k);
    const auto to = static_cast<std::size_t>(j);
    t.Displacement[to] = t.Displacement[from];
    t.Velocity[to] = t.Velocity[from];
    t.Acceleration[to] = t.Acceleration[from];
    t.Force[to] = t.Force[from];
    t.Power[to] = t.Power[from];
  }
  const auto count = static_cast<std::int32_t>(j);
  settings.samples = count;
  view.ViewStart = 0;
  view.ViewEnd = count - 1;
  view.Marker1Sample = 0;
  view.Marker2Sample = count - 1;
  return true;
}

ForceOffsetSearch ForceOffsetForZeroMeanVelocity(TrialDataSet& t, std::int32_t samples,
                                                 std::int32_t frequency, float weight) {
  ForceOffsetSearch result;
  const std::int64_t n = std::min<std::int64_t>(
      samples,
      static_cast<std::int64_t>(std::min({t.Velocity.size(), t.Force.size(), t.Displacement.size(),
                                          t.Power.size(), t.Acceleration.size()})));
  if (n < 1 || frequency <= 0 || !(weight > 0)) {
    result.text = kForceOffsetNotFound;
    return result;
  }
  const double fs = frequency;
  const double m = weight;
  const double weightForce = m * kGravity;
  float c = 0;
  double step = 1.0;
  double previousMean = 99999.0;
  float* velocity = t.Velocity.data();
  const float* force = t.Force.data();
  while (result.steps < kForceOffsetStepLimit) {
    ++result.steps;
    velocity[0] = static_cast<float>((c + static_cast<double>(force[0]) - weightForce) / fs / m);
    t.Displacement[0] = static_cast<float>(velocity[0] / fs);
    t.Power[0] = 0;
    t.Acceleration[0] = static_cast<float>(force[0] / m - kGravity);
    double sum = 0;  // velocities 1 … N-1
    for (std::int64_t i = 1; i < n; ++i) {
      velocity[i] = static_cast<float>(velocity[i - 1] +
                                       (c + static_cast<double>(force[i]) - weightForce) / fs / m);
      sum += velocity[i];
    }
    const double mean = sum / static_cast<double>(n);
    // The offset that met the tolerance is the answer, not the one after a
    // further correction: that one would miss zero by a whole step (a
    // balanced force would come back as +1 or -1 N).
    if (std::fabs(mean) < 1e-5) {
      result.found = true;
      result.offset = c;
      result.text = FormatNumber(c, "0.0000");
      return result;
    }
    c = static_cast<float>(mean <= 0 ? c + step : c - step);
    step = mean * previousMean < 0 ? step * 0.5 : step * 2.0;
    previousMean = mean;
  }
  result.text = kForceOffsetNotFound;
  return result;
}

void AddToChannel(std::span<float> channel, std::int32_t samples, std::string_view valueText) {
  const double value = LeadingNumber(valueText);
  const std::size_t n = Reach(channel, samples);
  for (std::size_t i = 0; i < n; ++i) channel[i] = static_cast<float>(channel[i] + value);
}

void ScaleChannel(std::span<float> channel, std::int32_t samples, std::string_view factorText) {
  const double factor = LeadingNumber(factorText);
  const std::size_t n = Reach(channel, samples);
  for (std::size_t i = 0; i < n; ++i) channel[i] = static_cast<float>(channel[i] * factor);
}

void ApplyOffsetToForce(TrialDataSet& trial, const SettingsRecord& settings,
                        std::string_view offsetText) {
  AddToChannel(trial.Force, settings.samples, offsetText);
}

bool ScaleOffsetValueAccepted(ScaleOffsetCommand command, std::string_view valueText) {
  const bool factor =
      command == ScaleOffsetCommand::DisplacementScale || command == ScaleOffsetCommand::ForceScale;
  return !factor || StartsWithNumber(valueText);
}

bool ApplyScaleOffset(TrialDataSet& t, const SettingsRecord& settings, ScaleOffsetCommand command,
                      std::string_view valueText) {
  if (!ScaleOffsetValueAccepted(command, valueText)) return false;
  const std::int32_t n = settings.samples;
  switch (command) {
    case ScaleOffsetCommand::DisplacementOffset:
      AddToChannel(t.Displacement, n, valueText);
      break;
    case ScaleOffsetCommand::DisplacementScale:
      ScaleChannel(t.Displacement, n, valueText);
      break;
    case ScaleOffsetCommand::ForceOffset:
      AddToChannel(t.Force, n, valueText);
      break;
    case ScaleOffsetCommand::ForceScale:
      ScaleChannel(t.Force, n, valueText);
      break;
  }
  return true;
}

}  // namespace torvane
