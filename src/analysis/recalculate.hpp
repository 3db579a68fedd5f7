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

#include "config/settings_record.hpp"
#include "trial/trial_data_set.hpp"

namespace torvane {

struct Session;

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
// (ProcessData) and the redraw. Empty when nothing follows.
using AfterDerivation = std::function<void(Session&)>;

// ReCalculate: the derivation for the calculation mode, then `after`. After
// a force-platform import the results are computed too (they would otherwise
// show the previous trial). Returns the route taken.
DerivationRoute ReCalculate(Session& session, const CalculationMode& mode,
                            const AfterDerivation& after = {});

// The derivation step of ProcessCollectedTrial, run when a collection ends
// (skipped during a zeroing collection): F only filters the force at forceFc
// and integrates it; D only derives force from displacement; D and F (A
// clear) filters the force and derives power; A only filters the measured
// acceleration at accelFc and integrates it. Other combinations derive
// nothing. Returns whether anything was derived.
bool DeriveCollectedTrial(TrialDataSet& trial, const SettingsRecord& settings,
                          const CalculationMode& mode, bool zeroingInProgress);

// Loading a trial file in the analysis window: the file is opened (with the
// messages of the open command), the phase times start again from 0, its
// force filtered once at forceFc when
// that is >= 1.0, and ReCalculate run. A file that is not opened leaves the
// trial in memory alone: its force is not filtered a second time. Returns
// whether the file was opened.
bool LoadTrialFileAndRecalculate(Session& session, const std::string& path,
                                 const CalculationMode& mode, const AfterDerivation& after = {});

// The "set mass" button: mass = mean force over the analysis range / kGravity
// (10 kg when that is not above 0), shown as "00.000", then one ReCalculate.
// When the analysis range lies outside the trial the mass is left and only
// ReCalculate runs.
struct SetMassResult {
  bool massComputed = false;
  float mass = 0;
  std::string massText;  // what the mass box shows, "00.000"
};
SetMassResult CommandSetMass_Click(Session& session, const CalculationMode& mode,
                                   const AfterDerivation& after = {});

// What the batch "Next" and the end of a collection run: the set-mass
// command when the trial recorded force, else only ReCalculate with the
// mass as it is. A trial without recorded force holds no force yet: its
// mass would come out as 10 kg, and every force and power with it.
SetMassResult SetMassFromRecordedForce(Session& session, const CalculationMode& mode,
                                       const AfterDerivation& after = {});

// The change handler of the mass box. Empty text or a single blank does
// nothing; a value <= 0 is refused with "Mass must be greater than zero
// kilograms" ("Error in mass") and the old mass kept; otherwise the mass is
// set and ReCalculate runs. Returns whether the mass was taken.
bool txtMass_Change(Session& session, std::string_view text, const CalculationMode& mode,
                    const AfterDerivation& after = {});

}  // namespace torvane
