#pragma once
// Which derivation runs for a trial: the calculation mode of the analysis
// window (its boxes "from displacement", "from force", "from acceleration"
// and "reverse integrate"), the route it chooses, and the window operations
// that run it: ReCalculate, the derivation step of a finished collection,
// the "set mass" button and a typed mass.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "common/user_dialogs.hpp"
#include "config/settings_record.hpp"
#include "files/trial_file_context.hpp"
#include "trial/analysis_view.hpp"
#include "trial/trial_data_set.hpp"

namespace torvane {

struct CalculationMode {
  bool fromDisplacement = true;   // CheckCalculateFromDisplacement (D)
  bool fromForce = false;         // CheckCalculateFromForce (F)
  bool fromAcceleration = false;  // CheckCalculateFromAcceleration (A)
  bool reverseIntegrate = false;  // CheckReverseIntegrate (R); disabled while D is ticked
};

enum class DerivationRoute {
  None,                   // D and F clear: nothing is derived
  ImportIntegrateForce,   // a force-platform import: IntegrateForce whatever the boxes say
  IntegrateForce,         // F only
  IntegrateForceReverse,  // F only, R ticked
  PowerFromForce,         // D and F: DeriveFromDisplacement, then PowerFromForce
  ForceFromDisplacement,  // D only: DeriveFromDisplacement, then ForceFromDisplacement
};

// The route ReCalculate takes for a trial read from a file of `fileKind`.
DerivationRoute ReCalculateRoute(const CalculationMode& mode, std::int16_t fileKind);

// Runs the derivation of one route. With D ticked the displacement is
// derived twice (once on its own, once at the start of the called procedure),
// so with dispFc >= 1 the stored displacement is filtered twice. With
// dispFc < 1 the first derivation is repeated exactly by the second, so it is
// not run: the arrays come out bit for bit the same.
void RunDerivationRoute(DerivationRoute route, TrialDataSet& trial, const SettingsRecord& settings);

// What follows the derivation in the window: the results computation
// (ProcessData) and the redraw, over the trial just derived. Empty when
// nothing follows.
using AfterDerivation = std::function<void()>;

// ReCalculate: the derivation of `trial` for the calculation mode, then
// `after`. After a force-platform import the results are computed too (they
// would otherwise show the previous trial). Returns the route taken.
DerivationRoute ReCalculate(TrialDataSet& trial, const SettingsRecord& settings,
                            const CalculationMode& mode, const AfterDerivation& after = {});

// The derivation step of ProcessCollectedTrial, run when a collection ends
// (skipped during a zeroing collection): F only filters the force at forceFc
// and integrates it; D only derives force from displacement; D and F (A
// clear) filters the force and derives power; A only filters the measured
// acceleration at accelFc and integrates it. Other combinations derive
// nothing. Returns whether anything was derived.
bool DeriveCollectedTrial(TrialDataSet& trial, const SettingsRecord& settings,
                          const CalculationMode& mode, bool zeroingInProgress);

// Loading a trial file in the analysis window: the file is opened (with the
// messages of the open command), the phase times in `view` start again from
// 0, its force filtered once at forceFc when that is >= 1.0, and ReCalculate
// run. A file that is not opened leaves the trial in memory alone: its force
// is not filtered a second time. Returns whether the file was opened.
bool LoadTrialFileAndRecalculate(const TrialFileContext& files, AnalysisView& view,
                                 const std::string& path, const CalculationMode& mode,
                                 const AfterDerivation& after = {});

// The "set mass" button (CommandSetMass): mass = mean force over the
// analysis range of `view` / kGravity (10 kg when that is not above 0),
// shown as "00.000", then one ReCalculate. When the analysis range lies
// outside the trial the mass is left and only ReCalculate runs.
struct SetMassResult {
  bool massComputed = false;
  float mass = 0;
  std::string massText;  // what the mass box shows, "00.000"
};
SetMassResult SetMassFromForce(TrialDataSet& trial, SettingsRecord& settings,
                               const AnalysisView& view, const CalculationMode& mode,
                               const AfterDerivation& after = {});

// What the batch "Next" and the end of a collection run: the set-mass
// command when the trial recorded force, else only ReCalculate with the
// mass as it is. A trial without recorded force holds no force yet: its
// mass would come out as 10 kg, and every force and power with it.
SetMassResult SetMassFromRecordedForce(TrialDataSet& trial, SettingsRecord& settings,
                                       const AnalysisView& view, const CalculationMode& mode,
                                       const AfterDerivation& after = {});

// A mass typed into the mass box (txtMass). Empty text or a single blank
// does nothing; a value <= 0 is refused with "Mass must be greater than zero
// kilograms" ("Error in mass") and the old mass kept; otherwise the mass is
// set and ReCalculate runs. Returns whether the mass was taken.
bool EnterMassText(TrialDataSet& trial, SettingsRecord& settings, UserDialogs& dialogs,
                   std::string_view text, const CalculationMode& mode,
                   const AfterDerivation& after = {});

}  // namespace torvane
