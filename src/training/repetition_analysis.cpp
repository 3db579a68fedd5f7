#include "training/repetition_analysis.hpp"

#include <algorithm>

#include "common/number_text.hpp"
#include "common/physical_constants.hpp"

namespace torvane {

void RepetitionSet::EnsureIndex(std::int32_t index) {
  if (index < 0) return;
  const auto size = static_cast<std::size_t>(index) + 1;
  if (RepMaxHeight.size() >= size) return;
  // Grown in doubling steps, so a long set does not reallocate on every
  // repetition; room is added only when the arrays are full.
  const std::size_t capacity = RepMaxHeight.capacity();
  const std::size_t room = capacity >= size ? capacity : std::max<std::size_t>(size, capacity * 2);
  for (std::vector<float>* array :
       {&RepMaxHeight, &RepMinHeight, &RepContactTime, &RepPeakVelocity, &RepPower, &RepWork}) {
    array->reserve(room);
    array->resize(size, 0.0f);
  }
}

void RepetitionSet::Clear() {
  for (std::vector<float>* array :
       {&RepMaxHeight, &RepMinHeight, &RepContactTime, &RepPeakVelocity, &RepPower, &RepWork}) {
    array->clear();
  }
  RepCount = 0;
  EnsureIndex(0);
  RepMaxHeight[0] = kNoTopYet;
  RepMinHeight[0] = kNoBottomYet;
}

void StartRepetitionAnalysis(RepetitionAnalysis& analysis) {
  const bool brakeOn = analysis.brakeOn;
  analysis = RepetitionAnalysis{};
  analysis.brakeOn = brakeOn;  // the unit keeps the level it was last sent
  analysis.set.Clear();
}

void ClearRepetitionSet(RepetitionAnalysis& analysis) {
  analysis.set.Clear();
  analysis.RunningMaxVelocity = kNoVelocityYet;
  analysis.PreviousDisplacement = 0;
  analysis.BottomTimeMs = 0;
  analysis.TopTimeMs = 0;
  analysis.TakeOffTimeMs = 0;
  analysis.LandingTimeMs = 0;
  analysis.TrainingSampleTimeMs = 0;
}

std::int32_t VelocityWindowSamples(std::int32_t frequency) {
  return ToInt32(RoundHalfEven(frequency * 0.1));
}

float TrainingSampleTime(std::int32_t index, std::int32_t frequency) {
  if (frequency <= 0) return 0.0f;
  return static_cast<float>(static_cast<double>(static_cast<float>(index)) * 1000.0 / frequency);
}

namespace {

void SetBrake(RepetitionAnalysis& a, const RepetitionEvents& events, bool on, float level) {
  if (a.brakeOn == on) return;
  a.brakeOn = on;
  if (events.setBrakeLevel) events.setBrakeLevel(level);
}

// The steps that finish repetition k at sample i.
void CompleteRepetition(RepetitionAnalysis& a, const RepetitionSettings& s, std::int32_t i,
                        const RepetitionEvents& events) {
  RepetitionSet& set = a.set;
  const auto k = static_cast<std::size_t>(set.RepCount);
  set.RepPeakVelocity[k] = a.RunningMaxVelocity;
  const float range = set.RepMaxHeight[k] - set.RepMinHeight[k];
  set.RepWork[k] = static_cast<float>(static_cast<double>(range) * s.weight * kGravity);
  float upward = 0;
  if (s.flightPhase) {
    set.RepContactTime[k] = a.TakeOffTimeMs - a.LandingTimeMs;
    upward = a.TakeOffTimeMs - a.BottomTimeMs;
  } else {
    set.RepContactTime[k] = a.TopTimeMs - a.BottomTimeMs;
    upward = set.RepContactTime[k];
  }
  // An upward movement of no duration has no power: the entry stays 0.
  if (upward > 0) {
    set.RepPower[k] = static_cast<float>(static_cast<double>(set.RepWork[k]) / (upward / 1000.0));
  }
  set.RepCount = static_cast<std::int32_t>(k) + 1;
  set.EnsureIndex(set.RepCount);
  set.RepMinHeight[k + 1] = kNoBottomYet;
  set.RepMaxHeight[k + 1] = kNoTopYet;
  a.RunningMaxVelocity = kNoVelocityYet;
  if (events.completed) events.completed(set.RepCount, i);
}

}  // namespace

void AnalyseRepetitionSamples(RepetitionAnalysis& a, const RepetitionSettings& s,
                              const std::vector<float>& displacement, std::int32_t count,
                              const RepetitionEvents& events) {
  if (count <= 0) return;
  RepetitionSet& set = a.set;
  if (set.RepMaxHeight.empty()) set.Clear();
  const float T = s.repthreshold;
  const float releaseMs = s.TimeToRelease * 1000.0f;
  const std::int32_t window = VelocityWindowSamples(s.frequency);
  const auto available = static_cast<std::int64_t>(displacement.size());
  const std::int64_t end =
      std::min<std::int64_t>(static_cast<std::int64_t>(a.NextTrainingSample) + count, available);
  for (std::int64_t index = a.NextTrainingSample; index < end; ++index) {
    const auto i = static_cast<std::int32_t>(index);
    const float c = displacement[static_cast<std::size_t>(i)];
    const float p = a.PreviousDisplacement;
    a.direction = c > p   ? MovementDirection::Up
                  : c < p ? MovementDirection::Down
                          : MovementDirection::Still;
    const float t = TrainingSampleTime(i, s.frequency);
    a.TrainingSampleTimeMs = t;
    const auto k = static_cast<std::size_t>(set.RepCount);
    float& top = set.RepMaxHeight[k];
    float& bottom = set.RepMinHeight[k];

    // Phase boundaries: take-off and landing (zero crossings) in flight
    // mode, the threshold crossings otherwise.
    if (s.flightPhase) {
      if (c >= 0 && p < 0) {
        a.TakeOffTimeMs = t;
        top = kNoTopYet;
      }
      if (c <= 0 && p > 0) {
        a.LandingTimeMs = t;
        bottom = kNoBottomYet;
      }
    } else {
      if (c >= T && p < T) top = kNoTopYet;
      if (c <= T && p > T) bottom = kNoBottomYet;
    }

    if (c < bottom) {
      bottom = c;
      a.BottomTimeMs = t;
    }
    // The brake is released once the athlete has stayed at the bottom for
    // the release time; on the way up (a top newer than the bottom) it stays.
    if (s.BrakeOnUp && bottom != kNoBottomYet && a.BottomTimeMs > a.TopTimeMs &&
        t - a.BottomTimeMs > releaseMs) {
      SetBrake(a, events, false, 0.0f);
    }
    if (c > top) {
      top = c;
      a.TopTimeMs = t;
      if (s.BrakeOnUp) SetBrake(a, events, true, s.BrakeLevel);
    }

    if (window > 0 && i >= window) {
      const float rise = c - displacement[static_cast<std::size_t>(i - window)];
      const auto v = static_cast<float>(rise / 0.1);
      if (v >= a.RunningMaxVelocity) a.RunningMaxVelocity = v;
    }

    if (top - c > T && a.BottomTimeMs < a.TopTimeMs) CompleteRepetition(a, s, i, events);

    a.PreviousDisplacement = c;
  }
  a.CurrentDisplacement = a.PreviousDisplacement;
  a.NextTrainingSample += count;
}

}  // namespace torvane
