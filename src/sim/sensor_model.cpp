#include "sim/sensor_model.hpp"

#include <cmath>

namespace torvane::sim {

namespace {

std::uint64_t SplitMix(std::uint64_t x) {
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

constexpr double kDisplacementNoise = 0.0003;  // m
constexpr double kForceNoise = 2.0;            // N

}  // namespace

double NoiseValue(std::uint64_t seed, std::uint64_t sample, std::uint32_t channel) {
  const std::uint64_t h = SplitMix(SplitMix(seed) ^ SplitMix(sample * 8 + channel));
  // Two uniform halves summed: a triangular spread, mostly near zero.
  const double a = static_cast<double>(h >> 40) / static_cast<double>(1ull << 24);
  const double b = static_cast<double>(h & 0xFFFFFF) / static_cast<double>(1ull << 24);
  return a + b - 1.0;
}

std::int64_t CountFor(double value, double slope, double intercept) {
  if (slope == 0) return std::llround(intercept);
  return std::llround(value / slope + intercept);
}

RawSample ToRawCounts(const BodyState& state, const SensorModel& model, std::uint64_t sample) {
  const Calibration& c = model.calibration;
  const double displacement = model.baseHeight + state.displacement +
                              model.noise * kDisplacementNoise * NoiseValue(model.seed, sample, 0);
  double force = state.force;
  // No noise while nothing stands on the platform: it reads zero.
  if (state.onPlatform) force += model.noise * kForceNoise * NoiseValue(model.seed, sample, 1);
  RawSample raw;
  raw.displacement = CountFor(displacement, c.dispSlope, c.dispIntercept);
  raw.force = CountFor(force, c.forceSlope, c.forceIntercept);
  return raw;
}

}  // namespace torvane::sim
