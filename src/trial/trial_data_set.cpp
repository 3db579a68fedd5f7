#include "trial/trial_data_set.hpp"

#include <algorithm>
#include <bit>

namespace torvane {

namespace {

// The sizes DimensionDataArrays gives: N + 3 elements per sample array,
// 2 × N + 5 for the work buffer.
std::size_t SampleArraySize(std::int64_t points) {
  return static_cast<std::size_t>(std::max(points, kMinimumArrayPoints) + 3);
}
std::size_t BufferSize(std::int64_t points) {
  return static_cast<std::size_t>(2 * std::max(points, kMinimumArrayPoints) + 5);
}

template <typename T>
void ClearUsedAndResize(std::vector<T>& array, std::size_t usedPoints, std::size_t size) {
  std::fill_n(array.begin(), std::min(usedPoints, array.size()), T{});
  // Elements added are value-initialised: 0.
  array.resize(size);
}

// 0 bit for bit: -0.0 is not what a cleared array holds.
bool AllBitsZero(float v) {
  return std::bit_cast<std::uint32_t>(v) == 0;
}
bool AllBitsZero(std::int32_t v) {
  return v == 0;
}

template <typename T>
bool ClearFrom(const std::vector<T>& array, std::size_t usedPoints) {
  return usedPoints >= array.size() ||
         std::all_of(array.begin() + static_cast<std::ptrdiff_t>(usedPoints), array.end(),
                     [](T v) { return AllBitsZero(v); });
}

}  // namespace

void DimensionDataArrays(TrialDataSet& trial, std::int64_t points) {
  const std::size_t size = SampleArraySize(points);
  // assign() keeps the capacity when it suffices: no new allocation for a
  // trial that fits the arrays already there.
  for (auto* channel :
       {&trial.Displacement, &trial.Velocity, &trial.Acceleration, &trial.Force, &trial.Power}) {
    channel->assign(size, 0.0f);
  }
  for (auto* raw : {&trial.RawForce1, &trial.RawForce2, &trial.RawForce3, &trial.RawForce4,
                    &trial.RawDisplacement, &trial.RawChannel6}) {
    raw->assign(size, 0);
  }
  trial.RawSampleBuffer.assign(BufferSize(points), 0);
}

void RedimensionDataArrays(TrialDataSet& trial, std::int64_t points, std::size_t usedPoints) {
  const std::size_t size = SampleArraySize(points);
  for (auto* channel :
       {&trial.Displacement, &trial.Velocity, &trial.Acceleration, &trial.Force, &trial.Power}) {
    ClearUsedAndResize(*channel, usedPoints, size);
  }
  for (auto* raw : {&trial.RawForce1, &trial.RawForce2, &trial.RawForce3, &trial.RawForce4,
                    &trial.RawDisplacement, &trial.RawChannel6}) {
    ClearUsedAndResize(*raw, usedPoints, size);
  }
  ClearUsedAndResize(trial.RawSampleBuffer, usedPoints, BufferSize(points));
}

bool DataArraysClearFrom(const TrialDataSet& trial, std::size_t usedPoints) {
  for (const auto* channel :
       {&trial.Displacement, &trial.Velocity, &trial.Acceleration, &trial.Force, &trial.Power}) {
    if (!ClearFrom(*channel, usedPoints)) return false;
  }
  for (const auto* raw : {&trial.RawForce1, &trial.RawForce2, &trial.RawForce3, &trial.RawForce4,
                          &trial.RawDisplacement, &trial.RawChannel6, &trial.RawSampleBuffer}) {
    if (!ClearFrom(*raw, usedPoints)) return false;
  }
  return true;
}

void ClearTrialData(TrialDataSet& trial, std::int32_t samples) {
  const std::int64_t n =
      std::clamp<std::int64_t>(samples, 0, std::max<std::int64_t>(trial.UpperBound(), 0));
  const auto count = static_cast<std::size_t>(n);
  std::fill_n(trial.RawSampleBuffer.begin(), std::min(count, trial.RawSampleBuffer.size()), 0);
  for (auto* channel :
       {&trial.Displacement, &trial.Velocity, &trial.Force, &trial.Acceleration, &trial.Power}) {
    std::fill_n(channel->begin(), std::min(count, channel->size()), 0.0f);
  }
}

}  // namespace torvane
