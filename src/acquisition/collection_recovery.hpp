#pragma once
// The recovery file of a running collection: begun when the stream starts,
// appended about once a second from the monitor tick and made durable, and
// removed when the collection has ended and its trial is processed. A
// program that dies in between leaves it behind, and the next start (or
// torvane-cli recover) makes the trial from it. Zeroing and calibration
// readings are no trials and keep none.

#include <cstdint>
#include <string>

#include "acquisition/collection_context.hpp"
#include "files/recovery_file.hpp"

namespace torvane {

// How often the samples gathered are appended: at most a second is lost.
inline constexpr std::uint64_t kRecoveryFlushMs = 1000;

// StartCollection: creates the file at collection.recoveryPath (nothing
// when that is empty or the collection is a reading). A file that cannot be
// created is reported in the status log; the collection goes on.
void BeginRecoveryFile(const CollectionContext& cx);
// The monitor tick: appends the points gathered since the last append once
// kRecoveryFlushMs have passed.
void KeepRecoveryFileUpToDate(const CollectionContext& cx);
// FinishCollection, after the processing: removes the file, or closes it
// when collection.keepRecoveryFile says its owner removes it (record, after
// the trial file is written).
void EndRecoveryFile(const CollectionContext& cx);

// Makes the samples of a recovery file the trial in memory, processed as a
// collected trial is (not saved, collected, markers at both ends, mass from
// force when force was recorded), with the file's frequency, date and
// athlete, and marked as cut short in the status log. False, with nothing
// changed, when the samples cannot be held.
bool RestoreRecoveredTrial(const CollectionContext& cx, const RecoveredSamples& recovered);

// The samples a recovery file gives the trial (its first point repeats the
// first sample, as a collected trial's does).
std::int32_t RecoveredSampleCount(const RecoveredSamples& recovered);

// "A collection was interrupted on DATE with N samples. Open the trial it holds?"
std::string RecoveryOfferText(const RecoveredSamples& recovered);
// The status log line of a restored trial.
std::string RecoveredTrialText(const RecoveredSamples& recovered);

}  // namespace torvane
