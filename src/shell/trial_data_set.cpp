#include "shell/trial_data_set.hpp"

#include <algorithm>

namespace torvane {

void DimensionDataArrays(TrialDataSet& trial, std::int64_t points) {
  const std::int64_t n = std::max(points, kMinimumArrayPoints);
  const auto size = static_cast<std::size_t>(n + 3);
  // assign() keeps the capacity when it suffices: no new allocation for a
  // trial that fits the arrays already there.
  for (auto* channel : {&trial.Displacement, &trial.Velocity, &trial.Acceleration, &trial.Force,
                        &trial.Power}) {
    channel->assign(size, 0.0f);
  }
  for (auto* raw : {&trial.RawForce1, &trial.RawForce2, &trial.RawForce3, &trial.RawForce4,
                    &trial.RawDisplacement, &trial.RawChannel6}) {
    raw->assign(size, 0);
  }
  trial.RawSampleBuffer.assign(static_cast<std::size_t>(2 * n + 5), 0);
}

void ClearTrialData(TrialDataSet& trial, std::int32_t samples) {
  const std::int64_t n =
      std::clamp<std::int64_t>(samples, 0, std::max<std::int64_t>(trial.UpperBound(), 0));
  const auto count = static_cast<std::size_t>(n);
  std::fill_n(trial.RawSampleBuffer.begin(), std::min(count, trial.RawSampleBuffer.size()), 0);
  for (auto* channel : {&trial.Displacement, &trial.Velocity, &trial.Force, &trial.Acceleration,
                        &trial.Power}) {
    std::fill_n(channel->begin(), std::min(count, channel->size()), 0.0f);
  }
}

}  // namespace torvane
