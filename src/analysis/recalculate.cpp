#include "analysis/recalculate.hpp"

#include <cstddef>

#include "analysis/derivation.hpp"
#include "analysis/low_pass_filter.hpp"
#include "common/number_text.hpp"
#include "common/physical_constants.hpp"
#include "common/user_dialogs.hpp"
#include "files/trial_file.hpp"
#include "results/process_data.hpp"

namespace torvane {

namespace {

void FilterChannel(std::vector<float>& channel, const SettingsRecord& settings, float cutoff) {
  if (cutoff < 1.0f) return;
  LowPassFilter(settings.samples, channel, static_cast<float>(settings.frequency), cutoff);
}

}  // namespace

DerivationRoute ReCalculateRoute(const CalculationMode& mode, std::int16_t fileKind) {
  if (fileKind == kFileKindImport) return DerivationRoute::ImportIntegrateForce;
  const bool d = mode.fromDisplacement;
  const bool f = mode.fromForce;
  if (f && !d) {
    return mode.reverseIntegrate ? DerivationRoute::IntegrateForceReverse
                                 : DerivationRoute::IntegrateForce;
  }
  if (d && f) return DerivationRoute::PowerFromForce;
  if (d) return DerivationRoute::ForceFromDisplacement;
  return DerivationRoute::None;  // the A box plays no part here
}

void RunDerivationRoute(DerivationRoute route, TrialDataSet& trial,
                        const SettingsRecord& settings) {
  // The routes through the displacement derive it once on their own and once
  // more inside the called procedure. Only a dispFc filter makes the second
  // run differ from the first.
  const bool deriveTwice = settings.dispFc >= 1.0f;
  switch (route) {
    case DerivationRoute::None:
      return;
    case DerivationRoute::ImportIntegrateForce:
    case DerivationRoute::IntegrateForce:
      IntegrateForce(trial, settings);
      return;
    case DerivationRoute::IntegrateForceReverse:
      IntegrateForceReverse(trial, settings);
      return;
    case DerivationRoute::PowerFromForce:
      if (deriveTwice) DeriveFromDisplacement(trial, settings);
      PowerFromForce(trial, settings);
      return;
    case DerivationRoute::ForceFromDisplacement:
      if (deriveTwice) DeriveFromDisplacement(trial, settings);
      ForceFromDisplacement(trial, settings);
      return;
  }
}

DerivationRoute ReCalculate(TrialDataSet& trial, const SettingsRecord& settings,
                            const CalculationMode& mode, const AfterDerivation& after) {
  const DerivationRoute route = ReCalculateRoute(mode, trial.FileKind);
  RunDerivationRoute(route, trial, settings);
  if (after) after();
  return route;
}

bool DeriveCollectedTrial(TrialDataSet& trial, const SettingsRecord& settings,
                          const CalculationMode& mode, bool zeroingInProgress) {
  if (zeroingInProgress) return false;
  const bool d = mode.fromDisplacement;
  const bool f = mode.fromForce;
  const bool a = mode.fromAcceleration;
  if (f && !a && !d) {
    FilterChannel(trial.Force, settings, settings.forceFc);
    IntegrateForce(trial, settings);
    return true;
  }
  if (d && !f && !a) {
    DeriveFromDisplacement(trial, settings);
    ForceFromDisplacement(trial, settings);
    return true;
  }
  if (d && f && !a) {
    FilterChannel(trial.Force, settings, settings.forceFc);
    PowerFromForce(trial, settings);
    return true;
  }
  if (a && !d && !f) {
    FilterChannel(trial.Acceleration, settings, settings.accelFc);
    IntegrateAcceleration(trial, settings);
    ForceFromAcceleration(trial, settings);
    PowerFromVelocityAndForce(trial, settings);
    return true;
  }
  return false;
}

bool LoadTrialFileAndRecalculate(const TrialFileContext& files, AnalysisView& view,
                                 const std::string& path, const CalculationMode& mode,
                                 const AfterDerivation& after) {
  if (!OpenTrialFile(files, path).opened) return false;
  // A new trial starts with no phases: a results run keeps the phase times
  // it does not find, and they belong to the previous trial.
  ResetPhaseTimes(view);
  FilterChannel(files.trial.Force, files.settings, files.settings.forceFc);
  ReCalculate(files.trial, files.settings, mode, after);
  return true;
}

SetMassResult SetMassFromForce(TrialDataSet& trial, SettingsRecord& settings,
                               const AnalysisView& view, const CalculationMode& mode,
                               const AfterDerivation& after) {
  SetMassResult result;
  const std::int32_t start = view.AnalysisStart;
  const std::int32_t end = view.AnalysisEnd;
  const std::vector<float>& force = trial.Force;
  const bool inTrial = end <= settings.samples - 1 && start >= 0 &&
                       (end < start || static_cast<std::size_t>(end) < force.size());
  if (inTrial) {
    float sum = 0.0f;
    for (std::int32_t i = start; i <= end; ++i) {
      sum = static_cast<float>(static_cast<double>(sum) + force[static_cast<std::size_t>(i)]);
    }
    if (end - start > 0) {
      sum = static_cast<float>(static_cast<double>(sum) / (static_cast<double>(end) - start + 1));
    }
    float mass = static_cast<float>(sum / kGravity);
    // Also when the mean is not a number: a mass must be above zero.
    if (!(mass > 0.0f)) mass = 10.0f;
    settings.weight = mass;
    result.massComputed = true;
    result.mass = mass;
    result.massText = FormatNumber(mass, "00.000");
  }
  // The window shows massText without running its change handler: one
  // ReCalculate follows, with the mass computed here (not the rounded text).
  ReCalculate(trial, settings, mode, after);
  return result;
}

SetMassResult SetMassFromRecordedForce(TrialDataSet& trial, SettingsRecord& settings,
                                       const AnalysisView& view, const CalculationMode& mode,
                                       const AfterDerivation& after) {
  if (settings.RecordForce) return SetMassFromForce(trial, settings, view, mode, after);
  ReCalculate(trial, settings, mode, after);
  return {};
}

bool EnterMassText(TrialDataSet& trial, SettingsRecord& settings, UserDialogs& dialogs,
                   std::string_view text, const CalculationMode& mode,
                   const AfterDerivation& after) {
  if (text.empty() || text == " ") return false;
  const double value = LeadingNumber(text);
  if (value <= 0.0) {
    dialogs.ShowMessage(MessageIcon::Critical, "Error in mass",
                        "Mass must be greater than zero kilograms");
    return false;
  }
  settings.weight = static_cast<float>(value);
  ReCalculate(trial, settings, mode, after);
  return true;
}

}  // namespace torvane
