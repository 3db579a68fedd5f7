#pragma once
// The desktop program's side of the recovery file: every collection keeps
// one in the data folder, and a start that finds one left by a program that
// died offers to open the trial it holds.

#include <string>

namespace torvane {

struct Session;

enum class RecoveryOffer {
  NoFile,    // nothing was left behind
  InUse,     // a collection of another running program keeps it
  Unusable,  // it holds no trial (the status log says why); it stays
  Declined,  // No: the file stays, for a later start or torvane-cli recover
  Opened,    // Yes: the trial is in memory as a collected one, not saved
};

inline constexpr const char* kRecoveryOfferTitle = "Interrupted collection";

// The recovery file of this program's collections.
std::string RecoveryFilePath(const Session& session);

// After the windows are up: points the collections at the recovery file,
// then, when one was left behind, asks (Yes/No) "A collection was
// interrupted on DATE with N samples. Open the trial it holds?". Yes opens
// it as the collected trial, marked cut short in the status log, and
// removes the file: the trial is now protected as any collected trial is
// (the question to save it before closing). No keeps the file: a question
// answered in haste must not destroy a trial; the next collection replaces
// it, and the status log says so.
RecoveryOffer StartTrialRecovery(Session& session);

}  // namespace torvane
