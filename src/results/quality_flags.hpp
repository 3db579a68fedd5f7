#pragma once
// Quality flags of a jump trial: the results are computed by integrating the
// net force from rest at the first sample and by finding take-off and landing
// where the force crosses zero. That is sound for a countermovement or squat
// jump from quiet standing and silently wrong outside it (a drop jump, a
// trial that starts moving, a plate that does not read zero in flight, a
// dip below zero before take-off, a damaged stream). Each flag says which of
// these a trial shows, in a plain sentence, with the numbers behind it.

#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "config/settings_record.hpp"
#include "results/process_data.hpp"
#include "trial/analysis_view.hpp"
#include "trial/trial_data_set.hpp"

namespace torvane {

struct QualityFlag {
  std::string code;                                    // stable short text, e.g. "not-at-rest"
  std::string message;                                 // one plain sentence
  std::vector<std::pair<std::string, double>> values;  // the numbers behind it, in order
};

// What the assessment reads: the force and velocity channels after the
// derivation, the phase times the results run found, and the settings.
struct QualityInput {
  std::span<const float> Force;
  std::span<const float> Velocity;
  std::int32_t samples = 0;
  std::int32_t frequency = 0;
  double mass = 0;              // kg
  bool RecordForce = false;     // only a recorded force can be judged
  double flightThreshold = 50;  // N: below it the athlete is off the plate
  std::int32_t AnalysisStart = 0;
  std::int32_t AnalysisEnd = -1;
  double MovementOnsetTime = 0;
  double ZeroVelocityTime = 0;
  double TakeOffTime = 0;
  double LandingTime = 0;
  bool flightPhase = false;       // the results run found a flight (TrialResults)
  std::uint64_t heldSamples = 0;  // samples the collection held in place of damaged frames
  // The force was integrated backwards, from rest at the last sample: the
  // end must be at rest, and the start shows the drift.
  bool reverse = false;
};

// The input for the trial in memory. `heldSamples`: from the collection that
// gathered the trial (0 for a trial read from a file).
QualityInput QualityInputOf(const TrialDataSet& trial, const SettingsRecord& settings,
                            const AnalysisView& view, const TrialResults& results,
                            std::uint64_t heldSamples = 0, bool reverse = false);

// Every flag the trial earns, in a fixed order; empty for a clean trial.
std::vector<QualityFlag> AssessTrialQuality(const QualityInput& input);

// The codes separated by "; " ("" when clean).
std::string QualityCodes(const std::vector<QualityFlag>& flags);

// "code: message (name value, name value)", the values with up to four
// significant decimals.
std::string QualityFlagText(const QualityFlag& flag);

}  // namespace torvane
