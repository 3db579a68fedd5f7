#include "analysis/derivation.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "analysis/low_pass_filter.hpp"

namespace torvane {

namespace {

// The difference table reads up to three samples on either side.
constexpr std::int32_t kMinimumDerivedSamples = 4;

float Single(double value) {
  return static_cast<float>(value);
}

std::size_t Count(const SettingsRecord& settings) {
  return static_cast<std::size_t>(settings.samples);
}

// Two work copies of the displacement, kept per thread and reused.
struct WorkCopies {
  std::vector<float> forAcceleration;
  std::vector<float> forVelocity;
};
WorkCopies& Work(std::size_t n) {
  thread_local WorkCopies work;
  if (work.forAcceleration.size() < n) {
    work.forAcceleration.resize(n);
    work.forVelocity.resize(n);
  }
  return work;
}

// The second difference of the table, row by row. Rows 0, 1, N-2 and N-1
// use one-sided slopes; the rows between use central slopes two samples
// apart. Each slope is rounded to single precision before the difference of
// slopes is formed.
void AccelerationFromTable(const float* w, std::size_t n, double dt, float* out) {
  const double twoDt = 2.0 * dt;
  const auto d = [w](std::size_t i, std::size_t j) {
    return static_cast<double>(w[i]) - static_cast<double>(w[j]);
  };
  {  // i = 0
    const float a = Single(d(1, 0) / dt);
    const float c = Single(d(2, 1) / dt);
    out[0] = Single((static_cast<double>(c) - a) / dt);
  }
  {  // i = 1
    const float a = Single(d(1, 0) / dt);
    const float c = Single(d(3, 1) / twoDt);
    out[1] = Single((static_cast<double>(c) - a) / twoDt);
  }
  // 2 <= i <= N-3: A(i) is the central slope at i-1, C(i) the one at i+1.
  if (n >= 5) {
    float slopeBefore = Single(d(2, 0) / twoDt);  // central slope at 1
    float slopeAt = Single(d(3, 1) / twoDt);      // at 2
    for (std::size_t i = 2; i + 3 <= n; ++i) {
      const float slopeAfter = Single(d(i + 2, i) / twoDt);  // at i+1
      out[i] = Single((static_cast<double>(slopeAfter) - slopeBefore) / twoDt);
      slopeBefore = slopeAt;
      slopeAt = slopeAfter;
    }
  }
  {  // i = N-2
    const float a = Single(d(n - 2, n - 3) / dt);
    const float c = Single(d(n - 1, n - 2) / dt);
    out[n - 2] = Single((static_cast<double>(c) - a) / dt);
  }
  {  // i = N-1: C is the same as B
    const float a = Single(d(n - 2, n - 3) / dt);
    const float c = Single(d(n - 1, n - 2) / dt);
    out[n - 1] = Single((static_cast<double>(c) - a) / dt);
  }
}

// The middle slope B of the table: one-sided at both ends, central between.
void VelocityFromTable(const float* w, std::size_t n, double dt, float* out) {
  const double twoDt = 2.0 * dt;
  out[0] = Single((static_cast<double>(w[1]) - w[0]) / dt);
  for (std::size_t i = 1; i + 1 < n; ++i) {
    out[i] = Single((static_cast<double>(w[i + 1]) - w[i - 1]) / twoDt);
  }
  out[n - 1] = Single((static_cast<double>(w[n - 1]) - w[n - 2]) / dt);
}

}  // namespace

bool CanDerive(const TrialDataSet& trial, const SettingsRecord& settings) {
  if (settings.samples < kMinimumDerivedSamples || settings.frequency <= 0) return false;
  const std::size_t n = Count(settings);
  for (const auto* channel :
       {&trial.Displacement, &trial.Velocity, &trial.Acceleration, &trial.Force, &trial.Power}) {
    if (channel->size() < n) return false;
  }
  return true;
}

void DeriveFromDisplacement(TrialDataSet& trial, const SettingsRecord& settings) {
  if (!CanDerive(trial, settings)) return;
  const std::size_t n = Count(settings);
  const std::int32_t count = settings.samples;
  const float fs = static_cast<float>(settings.frequency);
  WorkCopies& work = Work(n);
  float* forAcceleration = work.forAcceleration.data();
  float* forVelocity = work.forVelocity.data();
  const float* displacement = trial.Displacement.data();
  std::copy_n(displacement, n, forAcceleration);
  std::copy_n(displacement, n, forVelocity);
  const bool filterAcceleration = settings.accelFc >= 1.0f;
  const bool filterVelocity = settings.velocFc >= 1.0f;
  // Both copies start from the same displacement, so their two filters can
  // run side by side (identical results, half the time).
  if (filterAcceleration && filterVelocity) {
    LowPassFilterPair(count, {forAcceleration, n}, settings.accelFc, {forVelocity, n},
                      settings.velocFc, fs);
  } else if (filterAcceleration) {
    LowPassFilter(count, {forAcceleration, n}, fs, settings.accelFc);
  } else if (filterVelocity) {
    LowPassFilter(count, {forVelocity, n}, fs, settings.velocFc);
  }
  const double dt = Single(1.0 / settings.frequency);
  AccelerationFromTable(forAcceleration, n, dt, trial.Acceleration.data());
  VelocityFromTable(forVelocity, n, dt, trial.Velocity.data());
  if (settings.dispFc >= 1.0f) {
    LowPassFilter(count, {trial.Displacement.data(), n}, fs, settings.dispFc);
  }
}

std::optional<PairFilterJob> DisplacementFilterJob(const TrialDataSet& trial,
                                                   const SettingsRecord& settings) {
  if (!CanDerive(trial, settings) || settings.accelFc < 1.0f || settings.velocFc < 1.0f) {
    return std::nullopt;
  }
  const std::span<const float> displacement(trial.Displacement.data(), Count(settings));
  PairFilterJob job;
  job.count = settings.samples;
  job.first = displacement;
  job.firstCutoff = settings.accelFc;
  job.second = displacement;
  job.secondCutoff = settings.velocFc;
  job.sampleFrequency = static_cast<float>(settings.frequency);
  return job;
}

void ForceFromDisplacement(TrialDataSet& trial, const SettingsRecord& settings) {
  if (!CanDerive(trial, settings)) return;
  DeriveFromDisplacement(trial, settings);
  const std::size_t n = Count(settings);
  const double m = settings.weight;
  // Sample 0 too: left stale it would start every fixed-window rate of force
  // development from a force that belongs to no sample of this trial.
  for (std::size_t i = 0; i < n; ++i) {
    const float force = Single((static_cast<double>(trial.Acceleration[i]) + kGravity) * m);
    trial.Force[i] = force;
    trial.Power[i] = Single(static_cast<double>(trial.Velocity[i]) * force);
  }
}

void PowerFromForce(TrialDataSet& trial, const SettingsRecord& settings) {
  if (!CanDerive(trial, settings)) return;
  DeriveFromDisplacement(trial, settings);
  const std::size_t n = Count(settings);
  for (std::size_t i = 0; i < n; ++i) {
    trial.Power[i] = Single(static_cast<double>(trial.Velocity[i]) * trial.Force[i]);
  }
}

void IntegrateForce(TrialDataSet& trial, const SettingsRecord& settings) {
  if (!CanDerive(trial, settings)) return;
  const std::size_t n = Count(settings);
  const double m = settings.weight;
  const double fs = settings.frequency;
  const double weightForce = m * kGravity;
  const double fsm = fs * m;
  const float* force = trial.Force.data();
  float* velocity = trial.Velocity.data();
  float* displacement = trial.Displacement.data();
  velocity[0] = 0.0f;
  displacement[0] = 0.0f;
  trial.Power[0] = 0.0f;
  trial.Acceleration[0] = Single(force[0] / m - kGravity);
  // Every step is taken, also between equal net forces: a force platform
  // delivers quantised counts, so equal neighbours are everywhere, and
  // skipping those steps would freeze the velocity (no flight would be found).
  for (std::size_t i = 1; i < n; ++i) {
    const double p = Single(force[i - 1] - weightForce);
    const double q = Single(force[i] - weightForce);
    // (P + Q) / (2·m·fs), formed as the smaller force plus half the difference.
    velocity[i] = Single(velocity[i - 1] + (std::min(p, q) / fsm + std::fabs(q - p) / fsm / 2.0));
    const double v0 = velocity[i - 1];
    const double v1 = velocity[i];
    displacement[i] =
        Single(displacement[i - 1] + (std::min(v0, v1) / fs + std::fabs(v1 - v0) / fs / 2.0));
    trial.Power[i] = Single(v1 * force[i]);
    trial.Acceleration[i] = Single(force[i] / m - kGravity);
  }
}

void IntegrateForceReverse(TrialDataSet& trial, const SettingsRecord& settings) {
  if (!CanDerive(trial, settings)) return;
  const std::size_t n = Count(settings);
  const double m = settings.weight;
  const double fs = settings.frequency;
  const double weightForce = m * kGravity;
  const double twoMFs = 2.0 * m * fs;
  const float* force = trial.Force.data();
  float* velocity = trial.Velocity.data();
  float* displacement = trial.Displacement.data();
  const std::size_t last = n - 1;
  velocity[last] = 0.0f;
  displacement[last] = 0.0f;
  trial.Power[last] = Single(static_cast<double>(velocity[last]) * force[last]);
  trial.Acceleration[last] = Single(force[last] / m - kGravity);
  // Every step is taken, as in IntegrateForce.
  for (std::size_t i = last; i-- > 0;) {
    const double p = Single(force[i] - weightForce);
    const double q = Single(force[i + 1] - weightForce);
    velocity[i] = Single(velocity[i + 1] - (p + q) / twoMFs);
    displacement[i] = Single(displacement[i + 1] -
                             (static_cast<double>(velocity[i]) + velocity[i + 1]) / (2.0 * fs));
    trial.Power[i] = Single(static_cast<double>(velocity[i]) * force[i]);
    trial.Acceleration[i] = Single(force[i] / m - kGravity);
  }
}

void IntegrateAcceleration(TrialDataSet& trial, const SettingsRecord& settings) {
  if (!CanDerive(trial, settings)) return;
  const std::size_t n = Count(settings);
  const double twoFs = 2.0 * settings.frequency;
  const float* acceleration = trial.Acceleration.data();
  float* velocity = trial.Velocity.data();
  float* displacement = trial.Displacement.data();
  velocity[0] = 0.0f;
  displacement[0] = 0.0f;
  trial.Power[0] = 0.0f;
  for (std::size_t i = 1; i < n; ++i) {
    velocity[i] = Single(velocity[i - 1] +
                         (static_cast<double>(acceleration[i - 1]) + acceleration[i]) / twoFs);
    displacement[i] =
        Single(displacement[i - 1] + (static_cast<double>(velocity[i - 1]) + velocity[i]) / twoFs);
  }
}

void ForceFromAcceleration(TrialDataSet& trial, const SettingsRecord& settings) {
  if (!CanDerive(trial, settings)) return;
  const std::size_t n = Count(settings);
  const double m = settings.weight;
  // Sample 0 too, as in ForceFromDisplacement.
  for (std::size_t i = 0; i < n; ++i) {
    trial.Force[i] = Single((static_cast<double>(trial.Acceleration[i]) + kStandardGravity) * m);
  }
}

void PowerFromVelocityAndForce(TrialDataSet& trial, const SettingsRecord& settings) {
  if (!CanDerive(trial, settings)) return;
  const std::size_t n = Count(settings);
  for (std::size_t i = 0; i < n; ++i) {
    trial.Power[i] = Single(static_cast<double>(trial.Velocity[i]) * trial.Force[i]);
  }
}

}  // namespace torvane
