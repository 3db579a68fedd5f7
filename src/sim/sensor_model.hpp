#pragma once
// What the simulated transducers read: the body's displacement above the
// transducer's base height and the platform force, turned into the raw
// counts that a given calibration maps back to them, with a small noise
// that depends only on the seed and the sample number.

#include <cstdint>

#include "sim/movement_profile.hpp"

namespace torvane::sim {

// The calibration the counts are made for: value = (count − intercept) × slope.
struct Calibration {
  double dispSlope = 0.009;
  double dispIntercept = 0.0;
  double forceSlope = 3.0;
  double forceIntercept = 0.0;
};

struct SensorModel {
  Calibration calibration;
  double baseHeight = 1.0;  // m of transducer reading when standing
  double noise = 1.0;       // 0: none; 1: about 0.3 mm and 2 N
  std::uint64_t seed = 1;
};

struct RawSample {
  std::int64_t displacement = 0;
  std::int64_t force = 0;
};

// A deterministic value in [-1, 1] for a seed, a sample and a channel.
double NoiseValue(std::uint64_t seed, std::uint64_t sample, std::uint32_t channel);

// The counts of one sample, not yet limited to what a unit can send.
RawSample ToRawCounts(const BodyState& state, const SensorModel& model, std::uint64_t sample);

// The count that `value` reads as under `slope` and `intercept`.
std::int64_t CountFor(double value, double slope, double intercept);

}  // namespace torvane::sim
