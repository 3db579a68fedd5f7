#include "analysis/derivation.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "analysis/low_pass_filter.hpp"

namespace torvane {
namespace {

// A trial of n samples at fs Hz for a mass of m kg, with every filter off.
struct Trial {
  Trial(std::int32_t n, std::int32_t fs, float m) {
    DimensionDataArrays(data, n);
    settings.samples = n;
    settings.frequency = fs;
    settings.weight = m;
  }
  TrialDataSet data;
  SettingsRecord settings;
};

std::vector<float> Head(const std::vector<float>& v, std::size_t n) {
  return std::vector<float>(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(n));
}

TEST(DeriveFromDisplacement, DifferenceTableAtBothEndsAndBetween) {
  // Displacement i² at 4 Hz (dt = 0.25): every slope and difference is exact.
  for (std::int32_t n : {4, 5, 10}) {
    Trial t(n, 4, 80.0f);
    for (std::int32_t i = 0; i < n; ++i) t.data.Displacement[i] = static_cast<float>(i * i);
    DeriveFromDisplacement(t.data, t.settings);
    std::vector<float> velocity, acceleration;
    for (std::int32_t i = 0; i < n; ++i) {
      // One-sided at the ends, central (two samples apart) between.
      velocity.push_back(i == 0 ? 4.0f : i == n - 1 ? 4.0f * (2 * n - 3) : 8.0f * i);
      // Row 1 mixes a one-sided and a central slope over 2dt: 24 instead of 32.
      acceleration.push_back(i == 1 ? 24.0f : 32.0f);
    }
    EXPECT_EQ(Head(t.data.Velocity, n), velocity) << "N=" << n;
    EXPECT_EQ(Head(t.data.Acceleration, n), acceleration) << "N=" << n;
    EXPECT_EQ(t.data.Velocity[n], 0.0f);  // nothing beyond the trial
  }
}

TEST(DeriveFromDisplacement, EachQuantityFromItsOwnFilteredCopy) {
  Trial t(600, 500, 80.0f);
  for (int i = 0; i < 600; ++i) {
    t.data.Displacement[i] = static_cast<float>(0.3 * std::sin(i / 40.0) + 0.002 * ((i * 7) % 5));
  }
  t.settings.velocFc = 16.0f;
  t.settings.accelFc = 10.0f;
  t.settings.dispFc = 8.0f;
  const std::vector<float> raw = Head(t.data.Displacement, 600);

  // Expected: velocity from the displacement filtered at 16 Hz, acceleration
  // from it filtered at 10 Hz, the stored displacement filtered at 8 Hz.
  Trial v(600, 500, 80.0f), a(600, 500, 80.0f);
  std::copy(raw.begin(), raw.end(), v.data.Displacement.begin());
  std::copy(raw.begin(), raw.end(), a.data.Displacement.begin());
  LowPassFilter(600, v.data.Displacement, 500.0f, 16.0f);
  LowPassFilter(600, a.data.Displacement, 500.0f, 10.0f);
  DeriveFromDisplacement(v.data, v.settings);
  DeriveFromDisplacement(a.data, a.settings);
  std::vector<float> smoothed = raw;
  LowPassFilter(600, smoothed, 500.0f, 8.0f);

  DeriveFromDisplacement(t.data, t.settings);
  EXPECT_EQ(Head(t.data.Velocity, 600), Head(v.data.Velocity, 600));
  EXPECT_EQ(Head(t.data.Acceleration, 600), Head(a.data.Acceleration, 600));
  EXPECT_EQ(Head(t.data.Displacement, 600), smoothed);
  // Every run smooths the stored displacement once more.
  DeriveFromDisplacement(t.data, t.settings);
  LowPassFilter(600, smoothed, 500.0f, 8.0f);
  EXPECT_EQ(Head(t.data.Displacement, 600), smoothed);
}

TEST(Derivation, TrialsTooShortOrWithoutFrequencyAreLeftAsTheyAre) {
  using Procedure = void (*)(TrialDataSet&, const SettingsRecord&);
  const Procedure procedures[] = {DeriveFromDisplacement, ForceFromDisplacement,
                                  PowerFromForce,         IntegrateForce,
                                  IntegrateForceReverse,  IntegrateAcceleration,
                                  ForceFromAcceleration,  PowerFromVelocityAndForce};
  struct Case {
    std::int32_t samples, frequency;
  };
  for (const Case c : {Case{3, 500}, Case{0, 500}, Case{-1, 500}, Case{100, 0}, Case{100, -500},
                       Case{40000, 500}}) {  // the last: more samples than the arrays hold
    Trial t(100, 500, 80.0f);
    t.settings.samples = c.samples;
    t.settings.frequency = c.frequency;
    for (auto* channel : {&t.data.Displacement, &t.data.Velocity, &t.data.Acceleration,
                          &t.data.Force, &t.data.Power}) {
      for (std::size_t i = 0; i < 8; ++i) (*channel)[i] = 1.5f + static_cast<float>(i);
    }
    const TrialDataSet before = t.data;
    for (Procedure p : procedures) p(t.data, t.settings);
    EXPECT_EQ(t.data.Displacement, before.Displacement) << c.samples << " " << c.frequency;
    EXPECT_EQ(t.data.Velocity, before.Velocity);
    EXPECT_EQ(t.data.Acceleration, before.Acceleration);
    EXPECT_EQ(t.data.Force, before.Force);
    EXPECT_EQ(t.data.Power, before.Power);
  }
}

TEST(ForceFromDisplacement, UsesTheDisplacementGravityForEverySampleIncludingTheFirst) {
  Trial t(50, 500, 80.0f);
  for (int i = 0; i < 50; ++i) t.data.Displacement[i] = 0.25f;
  t.data.Force[0] = 12345.0f;  // a stale value must not survive
  t.data.Power[0] = 999.0f;
  ForceFromDisplacement(t.data, t.settings);
  const float weight = static_cast<float>(9.807 * 80.0f);
  for (int i = 0; i < 50; ++i) {
    EXPECT_EQ(t.data.Force[i], weight) << i;
    EXPECT_EQ(t.data.Power[i], 0.0f) << i;
  }
}

TEST(PowerFromForce, KeepsTheRecordedForce) {
  Trial t(20, 100, 70.0f);
  for (int i = 0; i < 20; ++i) {
    t.data.Displacement[i] = 0.01f * static_cast<float>(i);
    t.data.Force[i] = 700.0f + static_cast<float>(i);
  }
  PowerFromForce(t.data, t.settings);
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(t.data.Force[i], 700.0f + static_cast<float>(i));
    EXPECT_NEAR(t.data.Velocity[i], 1.0f, 1e-5f);
  }
}

TEST(IntegrateForce, BodyWeightAloneGivesNoMovementForwardsOrBackwards) {
  for (float m : {80.0f, 67.3f, 101.9f}) {
    const float weight = static_cast<float>(m * 9.807);
    for (bool reverse : {false, true}) {
      Trial t(2000, 500, m);
      for (int i = 0; i < 2000; ++i) t.data.Force[i] = weight;
      reverse ? IntegrateForceReverse(t.data, t.settings) : IntegrateForce(t.data, t.settings);
      EXPECT_EQ(t.data.Velocity[reverse ? 1999 : 0], 0.0f);
      EXPECT_EQ(t.data.Displacement[reverse ? 1999 : 0], 0.0f);
      for (int i = 0; i < 2000; ++i) {
        // Only the single-precision rounding of m·g remains.
        ASSERT_NEAR(t.data.Velocity[i], 0.0f, 1e-5f) << m << " " << reverse << " " << i;
        ASSERT_NEAR(t.data.Displacement[i], 0.0f, 1e-5f);
        ASSERT_NEAR(t.data.Acceleration[i], 0.0f, 1e-5f);
        ASSERT_NEAR(t.data.Power[i], 0.0f, 1e-3f);
      }
    }
  }
}

TEST(IntegrateForce, EqualNeighbouringForcesStillMoveTheAthlete) {
  // A constant net force of +80 N on 80 kg at 500 Hz: every neighbour is
  // equal, and every step adds 80 / (80 × 500) = 0.002 m/s.
  const float m = 80.0f;
  const float force = static_cast<float>(m * 9.807 + 80.0);
  Trial t(501, 500, m);
  for (int i = 0; i <= 500; ++i) t.data.Force[i] = force;
  IntegrateForce(t.data, t.settings);
  for (int i : {1, 2, 100, 500}) {
    EXPECT_NEAR(t.data.Velocity[i], 0.002 * i, 1e-5) << i;
    EXPECT_NEAR(t.data.Displacement[i], 0.000002 * i * i, 1e-5) << i;  // a t² / 2
    EXPECT_NEAR(t.data.Acceleration[i], 1.0f, 1e-4f);
  }
  IntegrateForceReverse(t.data, t.settings);
  for (int i : {0, 400, 499, 500}) {
    EXPECT_NEAR(t.data.Velocity[i], -0.002 * (500 - i), 1e-5) << i;
    EXPECT_NEAR(t.data.Displacement[i], 0.000002 * (500 - i) * (500 - i), 1e-5) << i;
  }
}

TEST(IntegrateForce, ForceRampIntegratesByTrapezoidsForwardsAndBackwards) {
  // Net force k·i on m kg at fs Hz. Trapezoids are exact for the ramp: the
  // velocity c·i² with c = k / (2·m·fs), as the closed form k·fs·t² / (2·m)
  // gives; a rectangle rule would be off by c·i. The displacement is the
  // trapezoid sum of those velocities, c·T(i) / fs with T(n) = (2n³ + n) / 6.
  const double m = 80, fs = 500, k = 1, c = k / (2 * m * fs);
  const int last = 500;
  const auto T = [](double n) { return (2 * n * n * n + n) / 6; };
  Trial t(last + 1, 500, static_cast<float>(m));
  for (int i = 0; i <= last; ++i) t.data.Force[i] = static_cast<float>(m * 9.807 + k * i);
  IntegrateForce(t.data, t.settings);
  for (int i : {1, 2, 3, 100, 250, 500}) {
    EXPECT_NEAR(t.data.Velocity[i], c * i * i, 2e-5) << i;
    EXPECT_NEAR(t.data.Displacement[i], c * T(i) / fs, 1e-5) << i;
  }
  // Backwards from rest at the last sample: v(i) = -c·(L² - i²).
  IntegrateForceReverse(t.data, t.settings);
  for (int i : {0, 1, 250, 498, 499, 500}) {
    EXPECT_NEAR(t.data.Velocity[i], -c * (last * last - i * i), 2e-5) << i;
    const double x = -(c / fs) * (T(last) - T(i) - (last - i) * double(last) * last);
    EXPECT_NEAR(t.data.Displacement[i], x, 1e-5) << i;
  }
}

TEST(IntegrateForce, FlightOnAForcePlatformDeceleratesAtGravity) {
  // Quantised counts: standing still, a push, then flight on an unloaded
  // platform reading exactly 0 N for many samples.
  const float m = 75.0f;
  Trial t(1000, 1000, m);
  const float standing = static_cast<float>(std::round(m * 9.807));
  for (int i = 0; i < 1000; ++i) {
    t.data.Force[i] = i < 300 ? standing : i < 500 ? 1600.0f : 0.0f;
  }
  IntegrateForce(t.data, t.settings);
  EXPECT_GT(t.data.Velocity[499], 2.0f);
  for (int i = 550; i < 1000; i += 50) {
    EXPECT_NEAR(t.data.Velocity[i] - t.data.Velocity[i - 1], -9.807 / 1000, 1e-6) << i;
  }
}

TEST(IntegrateAcceleration, TrapezoidsOfTheMeasuredAcceleration) {
  Trial t(101, 100, 80.0f);
  for (int i = 0; i <= 100; ++i) t.data.Acceleration[i] = 2.0f;
  t.data.Power[0] = 5.0f;
  IntegrateAcceleration(t.data, t.settings);
  EXPECT_EQ(t.data.Power[0], 0.0f);
  for (int i : {0, 1, 50, 100}) {
    EXPECT_NEAR(t.data.Velocity[i], 0.02 * i, 1e-5) << i;
    EXPECT_NEAR(t.data.Displacement[i], 0.0001 * i * i, 1e-5) << i;
    EXPECT_EQ(t.data.Acceleration[i], 2.0f);
  }
}

TEST(ForceFromAcceleration, UsesTheAccelerometerGravityForEverySample) {
  Trial t(10, 100, 80.0f);
  t.data.Force[0] = 3.0f;
  ForceFromAcceleration(t.data, t.settings);
  const float accelerometerWeight = static_cast<float>(9.80665 * 80.0);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(t.data.Force[i], accelerometerWeight) << i;
  for (int i = 0; i < 10; ++i) t.data.Velocity[i] = 0.5f;
  PowerFromVelocityAndForce(t.data, t.settings);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(t.data.Power[i], static_cast<float>(0.5 * accelerometerWeight)) << i;
  }
}

}  // namespace
}  // namespace torvane
