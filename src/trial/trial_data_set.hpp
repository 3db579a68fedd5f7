#pragma once
// The one trial held in memory: parallel arrays indexed by sample number and
// the scalars of the trial. `samples`, `frequency`, `weight` and
// `RecordForce` are settings too and live in the SettingsRecord.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "trial/athlete.hpp"

namespace torvane {

// Kinds of trial file (FileKind): what the last file opened was.
enum FileKindCode : std::int16_t {
  kFileKindNone = 0,
  kFileKindImport = 4,      // force-platform export
  kFileKindTraining = 5,    // training file (refused)
  kFileKindVersion1 = 6,
  kFileKindVersion2 = 7,
  kFileKindHeaderless = 8,
};

// Arrays are never smaller than this many points, so that a trial of up to
// 32000 samples is collected without resizing.
inline constexpr std::int64_t kMinimumArrayPoints = 32000;
// `samples` stays below this.
inline constexpr std::int64_t kMaximumSamples = 1000000;

struct TrialDataSet {
  // Element type of the calibrated and derived channels (single precision).
  std::vector<float> Displacement;
  std::vector<float> Velocity;
  std::vector<float> Acceleration;
  std::vector<float> Force;
  std::vector<float> Power;
  // Raw counts of the interface unit, indexed by RawSampleIndex.
  std::vector<std::int32_t> RawForce1;
  std::vector<std::int32_t> RawForce2;
  std::vector<std::int32_t> RawForce3;
  std::vector<std::int32_t> RawForce4;
  std::vector<std::int32_t> RawDisplacement;
  std::vector<std::int32_t> RawChannel6;
  std::vector<std::int32_t> RawSampleBuffer;  // decoding and processing work buffer

  std::int32_t SampleCount = 0;
  std::int32_t RawSampleIndex = 0;
  bool DataCollected = false;
  bool DataSaved = false;
  std::string DataFileName;
  std::string CollectionDateTime;
  std::int16_t FileKind = kFileKindNone;
  // The athlete a version 2 file named, for a trial opened from one. A
  // collected trial has none: it goes with the athlete selected in the squad.
  std::optional<SquadMember> Athlete;

  // The upper bound of the per-sample arrays (N + 2), -1 before the first
  // DimensionDataArrays.
  std::int64_t UpperBound() const { return static_cast<std::int64_t>(Displacement.size()) - 1; }
};

// Re-dimensions every array for `points` points (at least 32000): upper
// bound N + 2 for the per-sample arrays, 2 × N + 4 for RawSampleBuffer;
// every element is 0 afterwards.
void DimensionDataArrays(TrialDataSet& trial, std::int64_t points);

// DimensionDataArrays for arrays that hold 0 in every element from index
// `usedPoints` on, in each of them (as after DimensionDataArrays and writes
// to the first `usedPoints` elements only): the arrays come out the same,
// every element 0, but only the first `usedPoints` elements and any room
// added are written, not the whole arrays (some 1.7 MB).
void RedimensionDataArrays(TrialDataSet& trial, std::int64_t points, std::size_t usedPoints);

// Whether every array holds only 0 from index `usedPoints` on.
bool DataArraysClearFrom(const TrialDataSet& trial, std::size_t usedPoints);

// Sets elements 0 … min(samples, upper bound of Displacement) − 1 of the
// work buffer and the five channels to 0.
void ClearTrialData(TrialDataSet& trial, std::int32_t samples);

}  // namespace torvane
