#pragma once
// Trials built sample by sample with known phases, for the results and
// seek tests.

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "results/process_data.hpp"

namespace torvane::testing {

struct SyntheticTrial {
  std::int32_t frequency = 500;
  std::vector<float> displacement, velocity, force, power;

  explicit SyntheticTrial(std::size_t n, std::int32_t fs = 500)
      : frequency(fs), displacement(n), velocity(n), force(n), power(n) {}
  std::int32_t samples() const { return static_cast<std::int32_t>(velocity.size()); }

  ResultsInput Input(bool recordForce, float rfdEpoch = 30.0f) const {
    ResultsInput in;
    in.Displacement = displacement;
    in.Velocity = velocity;
    in.Force = force;
    in.Power = power;
    in.samples = samples();
    in.frequency = frequency;
    in.RFDepoch = rfdEpoch;
    in.RecordForce = recordForce;
    return in;
  }
};

// A countermovement jump at 500 Hz, 1000 samples:
//  - still until sample 200; downward (eccentric) 200 … 300, velocity
//    -sin, deepest -1 m/s at 250; upward (concentric) 300 … 400, peak
//    velocity 2.5 m/s at sample 400 (0.8 s);
//  - flight by the velocity 400 … 650: falling under gravity to -2.405 m/s
//    at sample 650 (1.3 s), then back to rest by 700;
//  - force 800 N at rest, 0 from sample 401 to 647 (take-off 0.802 s,
//    landing 1.296 s from the force), 3000 N on landing 648 … 660, 2000 N
//    peak push at 350.
inline SyntheticTrial CountermovementJump() {
  SyntheticTrial t(1000);
  const double pi = std::numbers::pi;
  for (int i = 0; i < 1000; ++i) {
    double v = 0;
    if (i >= 200 && i < 300) {
      v = -std::sin(pi * (i - 200) / 100.0);
    } else if (i >= 300 && i <= 400) {
      v = 2.5 * std::sin(pi / 2 * (i - 300) / 100.0);
    } else if (i > 400 && i <= 650) {
      v = 2.5 - 9.81 * (i - 400) / 500.0;
    } else if (i > 650 && i <= 700) {
      v = -2.405 * (700 - i) / 50.0;
    }
    double f = 800;
    if (i >= 200 && i < 300) f = 800 - 400 * std::sin(pi * (i - 200) / 100.0);
    if (i >= 300 && i <= 350) f = 800 + 1200 * (i - 300) / 50.0;
    if (i > 350 && i <= 400) f = 2000 - 2000 * (i - 350) / 51.0;
    if (i > 400 && i < 648) f = 0;
    if (i >= 648 && i <= 660) f = 3000;
    t.velocity[static_cast<std::size_t>(i)] = static_cast<float>(v);
    t.force[static_cast<std::size_t>(i)] = static_cast<float>(f);
    t.power[static_cast<std::size_t>(i)] = static_cast<float>(v * f);
    t.displacement[static_cast<std::size_t>(i)] = static_cast<float>(0.001 * (i % 300) - 0.1);
  }
  return t;
}

}  // namespace torvane::testing
