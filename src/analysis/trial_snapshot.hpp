#pragma once
// What an edit of the trial changes, kept so that the edit can be undone:
// the channels it writes over the samples of the trial, and for a crop the
// sample count and the markers and view. A fingerprint of the channels tells
// whether the trial is still the one an edit left behind.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "config/settings_record.hpp"
#include "trial/analysis_view.hpp"
#include "trial/trial_data_set.hpp"

namespace torvane {

// The five channels as bits, in the order of TrialChannelArray.
enum TrialChannelBits : unsigned {
  kSnapDisplacement = 1u << 0,
  kSnapVelocity = 1u << 1,
  kSnapAcceleration = 1u << 2,
  kSnapForce = 1u << 3,
  kSnapPower = 1u << 4,
  kSnapAllChannels = 0x1Fu,
  // `samples` and the whole analysis view (markers, view, range, phase times).
  kSnapShape = 1u << 5,
};

inline constexpr const char* kEditNoLongerUndoable =
    "The trial has changed since this edit (another trial was opened or collected), so the "
    "edit can no longer be undone.";

struct TrialSnapshot {
  unsigned parts = 0;
  std::int32_t samples = 0;
  std::array<std::vector<float>, 5> channels;  // only the parts taken; samples 0 … samples - 1
  AnalysisView view;                           // meaningful with kSnapShape
};

TrialSnapshot TakeTrialSnapshot(const TrialDataSet& trial, const SettingsRecord& settings,
                                const AnalysisView& view, unsigned parts);

// Puts a snapshot back. False, with nothing changed, when the arrays are too
// small to hold it or (without kSnapShape) the trial's sample count differs.
bool RestoreTrialSnapshot(const TrialSnapshot& snapshot, TrialDataSet& trial,
                          SettingsRecord& settings, AnalysisView& view);

// A hash of the sample count and of the given channels' samples, bit for bit.
std::uint64_t TrialFingerprint(const TrialDataSet& trial, const SettingsRecord& settings,
                               unsigned parts);

}  // namespace torvane
