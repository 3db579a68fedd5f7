#pragma once
// The collection session of the analysis window: Start and Stop, the
// count-in, the start of the selected source's stream, the 100 ms monitor
// tick that gathers, decodes and shows progress, the finishing steps and
// the processing of the collected trial, and the two-second zeroing
// readings of displacement and force.
//
// Idle -> (count-in) -> collecting (monitor running) -> processing (the
// monitor's finishing branch) -> idle. Stop, a unit that goes away and the
// end of the samples all lead through the finishing branch, which runs
// once per collection. Everything a source does differently is in its
// descriptor (sample_sources.hpp).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "acquisition/collection_context.hpp"
#include "acquisition/collection_state.hpp"

namespace torvane {

// Creates the monitor timer and connects what the sources' links call back
// (the ZRA7 stream reader, the ZRA6+ monitor switch) to this collection.
// Idempotent; the operations below call it themselves.
void InstallCollectionHandlers(const CollectionContext& cx);

// The Start/Stop button (cmdCollect): starts a collection when idle, stops
// the running one (or its count-in); does nothing while one is finishing.
void StartOrStopCollection(const CollectionContext& cx);
// The monitor tick (tmrCheckStatus); called directly once to finish a
// collection.
void MonitorCollection(const CollectionContext& cx);

// When a collection ends: samples becomes the count collected, the
// derivation for the calculation mode runs (not for a zeroing reading),
// view and markers cover the whole trial, the mass is set from the force,
// and the trial counts as collected and not saved.
void ProcessCollectedTrial(const CollectionContext& cx);

// One line on how the last collection ended, with its counts:
// "Collection complete: 2000 samples, every one from a whole frame",
// "Collection damaged: 2000 samples, 37 of them held in place of frames that
// were not whole", "Collection cut short: 1200 of 2000 samples (the unit
// stopped answering)".
std::string CollectionOutcomeText(const CollectionState& collection, std::int32_t samples);

// The calculation mode the collection processes with (the hook, or the
// boxes the analysis window opens with).
CalculationMode CollectionCalculationMode(const CollectionState& collection,
                                          const SettingsRecord& settings);

// The two-second zeroing readings (cmdZeroDisp, cmdZeroForce): the offset
// becomes the mean raw count. Ignored in demonstration mode. False when the
// reading did not complete (a unit that sends nothing, or goes away): the
// calibration then stays.
// The trial on screen (arrays, view, markers, saved state) is the same
// after a reading as before it: the reading collects into the trial arrays
// and the trial is put back. A reading ends at most 5 s after its two
// seconds; one that did not complete is reported in a message box.
bool ZeroDisplacement(const CollectionContext& cx);
bool ZeroForce(const CollectionContext& cx);
// CommandZeroAcceleration: the same for the accelerometer, whose offset
// (AccelerometerOffset) becomes the mean acceleration of the reading.
bool ZeroAcceleration(const CollectionContext& cx);
// Cancels the zeroing reading that runs: it ends at once and the offset
// stays.
void CancelZeroReading(const CollectionContext& cx);

// A reading of mean raw counts for calibration: the same two-second (or
// `seconds`) collection as a zeroing, with the channel's calibration at
// slope 1 and offset 0, but the offset is left as it was. Refused, with
// nothing run, when RawReadingRefusal gives a reason; it ends at most 5 s
// after its seconds, and CancelZeroReading ends it at once.
enum class ReadingOutcome { Refused, Complete, Incomplete, Cancelled };
struct RawReading {
  ReadingOutcome outcome = ReadingOutcome::Refused;
  double meanCount = 0;      // the mean raw count shown by the read-out (Complete only)
  std::int32_t samples = 0;  // the samples the reading gathered
};
RawReading TakeRawReading(const CollectionContext& cx, ZeroChannel channel, double seconds = 2.0);
// Why a reading of `channel` cannot run now (one of the texts below), or
// empty: demonstration mode and "no unit" have no stream to read, the
// accelerometer measures neither displacement nor force, and a running
// collection owns the stream.
std::string RawReadingRefusal(const CollectionContext& cx, ZeroChannel channel);

inline constexpr const char* kReadingRefusedInDemonstration =
    "No reading can be taken in demonstration mode: connect an interface unit and restart the "
    "program.";
inline constexpr const char* kReadingRefusedWithoutUnit =
    "No reading can be taken: no interface unit is selected. Select and connect one in the "
    "configuration.";
inline constexpr const char* kReadingRefusedForInput =
    "No reading can be taken: the accelerometer is the input, and it measures neither position "
    "nor force.";
inline constexpr const char* kReadingRefusedWhileCollecting =
    "No reading can be taken while a collection or another reading runs.";

inline constexpr const char* kZeroReadingIncomplete =
    "The zeroing reading did not complete: the unit sent too few samples. The offset is "
    "unchanged.";

// The mean of a channel over the analysis range as the read-out shows it
// ("0.0##"), read back as a number; nothing when the range lies outside the
// trial (the read-out then keeps what it showed).
std::optional<double> ShownMean(const AnalysisView& view, std::int32_t samples,
                                const std::vector<float>& channel);

}  // namespace torvane
