#pragma once
// The derivation of the five channels of a trial from whatever was recorded:
// differentiation of displacement, integration of net force (forwards or
// backwards in time) and integration of measured acceleration.
//
// Every procedure works on samples 0 … N-1, N being `samples`, with the
// sample frequency `frequency` and the mass `weight` of the settings.
// Intermediate arithmetic is double precision; every value is rounded to
// single precision where it is stored. A trial of fewer than 4 samples, a
// frequency <= 0 or arrays shorter than the trial is not derived: the arrays
// are left exactly as they are.

#include <optional>

#include "analysis/low_pass_filter.hpp"
#include "common/physical_constants.hpp"
#include "config/settings_record.hpp"
#include "trial/trial_data_set.hpp"

namespace torvane {

// Whether the trial can be derived at all (see above).
bool CanDerive(const TrialDataSet& trial, const SettingsRecord& settings);

// Velocity from the displacement filtered at velocFc, acceleration from the
// displacement filtered at accelFc (both by central differences), and the
// stored displacement itself filtered in place at dispFc: every run smooths
// it once more.
void DeriveFromDisplacement(TrialDataSet& trial, const SettingsRecord& settings);

// The filter pair DeriveFromDisplacement runs first on the trial as it is
// now (copies of the displacement at accelFc and at velocFc), when it runs
// both filters; nothing otherwise.
std::optional<PairFilterJob> DisplacementFilterJob(const TrialDataSet& trial,
                                                   const SettingsRecord& settings);

// DeriveFromDisplacement, then Force = (Acceleration + g) × m and
// Power = Velocity × Force for every sample.
void ForceFromDisplacement(TrialDataSet& trial, const SettingsRecord& settings);

// DeriveFromDisplacement, then Power = Velocity × the recorded Force.
void PowerFromForce(TrialDataSet& trial, const SettingsRecord& settings);

// Acceleration, velocity, displacement and power from the force, by the
// trapezoidal rule on the net force, starting at rest at sample 0.
void IntegrateForce(TrialDataSet& trial, const SettingsRecord& settings);

// The same backwards in time: the athlete is at rest at the last sample.
void IntegrateForceReverse(TrialDataSet& trial, const SettingsRecord& settings);

// Velocity and displacement from the measured acceleration (trapezoidal rule).
void IntegrateAcceleration(TrialDataSet& trial, const SettingsRecord& settings);

// Force = (Acceleration + kStandardGravity) × m for every sample.
void ForceFromAcceleration(TrialDataSet& trial, const SettingsRecord& settings);

// Power = Velocity × Force for every sample.
void PowerFromVelocityAndForce(TrialDataSet& trial, const SettingsRecord& settings);

}  // namespace torvane
