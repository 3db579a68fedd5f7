#pragma once
// Training mode's repetition analysis: the live displacement of a running
// collection turned, sample by sample, into repetitions of an exercise or of
// repeated jumps. For every completed repetition six values are kept (highest
// and lowest displacement, contact or concentric time, peak velocity, power,
// work). The analysis is fed whatever portion of samples a collection tick
// delivered; the repetitions found do not depend on how the samples were cut
// into portions.

#include <cstdint>
#include <functional>
#include <vector>

namespace torvane {

// Markers for "no bottom yet" and "no top yet" of the repetition in progress:
// any real displacement is below the one and above the other. One value of
// each is used everywhere, so a test for "a bottom was found" is exact.
inline constexpr float kNoBottomYet = 10000000.0f;
inline constexpr float kNoTopYet = -9999999.9f;
// The running peak velocity before any 100-ms window was measured.
inline constexpr float kNoVelocityYet = -99999.9f;

// The repetitions of one set. Repetition k (from 1, as the grid numbers
// them) is stored at index k - 1; the arrays grow with the set, so a set
// has no upper bound on its repetitions.
struct RepetitionSet {
  std::vector<float> RepMaxHeight;     // m
  std::vector<float> RepMinHeight;     // m
  std::vector<float> RepContactTime;   // ms: contact (flight mode) or concentric time
  std::vector<float> RepPeakVelocity;  // m/s
  std::vector<float> RepPower;         // W
  std::vector<float> RepWork;          // J
  std::int32_t RepCount = 0;           // completed repetitions

  // Makes room for index `index` in every array (new entries are 0).
  void EnsureIndex(std::int32_t index);
  // Empties the set: no repetitions, and the first one has neither top nor
  // bottom yet.
  void Clear();
};

// What the analysis reads of the settings, fixed while a set is recorded.
struct RepetitionSettings {
  float repthreshold = 0.05f;  // m
  float weight = 0;            // kg
  std::int32_t frequency = 0;  // Hz
  bool flightPhase = false;    // flight mode: contact times between jumps
  bool BrakeOnUp = false;      // brake on the way up, released after the bottom
  float BrakeLevel = 0;        // percent
  float TimeToRelease = 0.5f;  // seconds after the bottom before the brake is released
};

// Direction of the displacement from the previous sample.
enum class MovementDirection : std::int8_t { Down = -1, Still = 0, Up = 1 };

// The running state between samples.
struct RepetitionAnalysis {
  RepetitionSet set;
  std::int32_t NextTrainingSample = 0;  // index of the next sample to analyse
  float CurrentDisplacement = 0;
  float PreviousDisplacement = 0;
  MovementDirection direction = MovementDirection::Still;
  float TrainingSampleTimeMs = 0;
  float RunningMaxVelocity = kNoVelocityYet;
  float BottomTimeMs = 0;
  float TopTimeMs = 0;
  float TakeOffTimeMs = 0;
  float LandingTimeMs = 0;
  // The brake state training has set: on after a new top, off once the
  // bottom is older than the release time. A level is sent only when the
  // state changes.
  bool brakeOn = false;
};

// What a portion of samples leads to, besides the state.
struct RepetitionEvents {
  // A repetition was completed: its number (from 1) and the sample that
  // completed it.
  std::function<void(std::int32_t repetition, std::int32_t sample)> completed;
  // The brake is to be set to `level` percent (BrakeOnUp only).
  std::function<void(float level)> setBrakeLevel;
};

// Ready for a new recording: no repetitions, the first sample next.
void StartRepetitionAnalysis(RepetitionAnalysis& analysis);
// "New Set": the repetitions and the running values cleared; the sample
// position is kept (a running collection goes on).
void ClearRepetitionSet(RepetitionAnalysis& analysis);

// Analyses the samples NextTrainingSample … NextTrainingSample + count - 1
// of `displacement` and advances NextTrainingSample past them. Samples that
// lie beyond the array are not read.
void AnalyseRepetitionSamples(RepetitionAnalysis& analysis, const RepetitionSettings& settings,
                              const std::vector<float>& displacement, std::int32_t count,
                              const RepetitionEvents& events);

// The number of samples in the 100-ms window of the peak velocity.
std::int32_t VelocityWindowSamples(std::int32_t frequency);

// The time of sample `index` in milliseconds, as the analysis takes it.
float TrainingSampleTime(std::int32_t index, std::int32_t frequency);

}  // namespace torvane
