#pragma once
// The analysis window's markers and view, the analysis range the read-outs
// set from the markers, and the phase times of the last results run.

#include <cstdint>

namespace torvane {

struct AnalysisView {
  std::int32_t Marker1Sample = 0;
  std::int32_t Marker2Sample = 0;
  std::int32_t ViewStart = 0;
  std::int32_t ViewEnd = 0;
  std::int32_t AnalysisStart = 0;
  std::int32_t AnalysisEnd = 0;
  bool ZeroingInProgress = false;
  float AccelerometerOffset = 0;
  double MovementOnsetTime = 0;
  double ZeroVelocityTime = 0;
  double TakeOffTime = 0;
  double LandingTime = 0;
  std::int32_t JumpFrameStartSample = 0;
  std::int32_t JumpFrameEndSample = 0;
};

}  // namespace torvane
