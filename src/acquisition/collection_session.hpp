#pragma once
// The collection session of the analysis window: Start and Stop, the
// count-in, the per-model start of the stream, the 100 ms monitor tick that
// gathers, decodes and shows progress, the 30 ms ZRA7 stream tick, the
// finishing steps and the processing of the collected trial, and the
// two-second zeroing readings of displacement and force.
//
// Idle (caption "&Start") -> collecting (caption "&Stop", monitor running)
// -> finished (the monitor's finishing branch) -> idle. Stop, a unit that
// goes away and the end of the samples all lead through the finishing
// branch, which runs once per collection.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "acquisition/collection_state.hpp"

namespace torvane {

struct Session;

// Creates the monitor timer and connects the ZRA7 stream tick and the
// ZRA6+ monitor switch of the link to this session. Idempotent; the
// handlers below call it themselves.
void InstallCollectionHandlers(Session& session);

// Starts a collection when the caption is "&Start", otherwise stops the
// running one.
void cmdCollect_Click(Session& session);
// The monitor tick; called directly once to finish a collection.
void tmrCheckStatus_Timer(Session& session);
// The ZRA7 stream tick.
void USB_Read_Period_Timer(Session& session);
// Starts the ZRA7 stream, or stops it when it runs.
void ToggleZra7Collection(Session& session);
// Gathers what the ZRA6 or ZRA6+ has sent into the stream text; false when
// the port failed (the unit went away).
bool GatherStreamBytes(Session& session);

// When a collection ends: samples becomes the count collected, the
// derivation for the calculation mode runs (not for a zeroing reading),
// view and markers cover the whole trial, the mass is set from the force,
// and the trial counts as collected and not saved.
void ProcessCollectedTrial(Session& session);

// The calculation mode the collection processes with (the hook, or the
// boxes the analysis window opens with).
CalculationMode CollectionCalculationMode(const Session& session);

// The two-second zeroing readings: the offset becomes the mean raw count.
// Ignored in demonstration mode. False when the reading did not complete
// (a unit that sends nothing, or goes away): the calibration then stays.
bool cmdZeroDisp_Click(Session& session);
bool cmdZeroForce_Click(Session& session);

// The mean of a channel over the analysis range as the read-out shows it
// ("0.0##"), read back as a number; nothing when the range lies outside the
// trial (the read-out then keeps what it showed).
std::optional<double> ShownMean(const Session& session, const std::vector<float>& channel);

}  // namespace torvane
