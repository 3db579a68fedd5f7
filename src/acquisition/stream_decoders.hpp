#pragma once
// The three sample streams turned into the trial's arrays: the byte frames
// of the ZRA6 and ZRA6+, the "#" text frames of the ZRA7 and the "X="
// readings of the accelerometer. Each decoder works on what has arrived so
// far, keeps an incomplete frame for the next tick, and never writes past
// the arrays, whatever the stream holds. They run on the stream texts and
// the trial alone, so that tests, benchmarks and fuzzers drive them without
// a port.

#include <cstdint>
#include <functional>
#include <string>

#include "common/physical_constants.hpp"
#include "config/settings_record.hpp"
#include "trial/trial_data_set.hpp"

namespace torvane {

inline constexpr std::uint8_t kZra6SyncByte = 221;
// The same byte in lower case in the Western code page: the sync search
// ignores letter case, so it finds this one too.
inline constexpr std::uint8_t kZra6SyncByteLower = 253;
// A 12-bit value; 4096 and above come from a corrupted byte.
inline constexpr std::int32_t kZra6ValueLimit = 4096;
// The ZRA7 decoder waits until this many characters (blanks aside) are there.
inline constexpr std::size_t kZra7MinimumBuffer = 60;
// A ZRA7 frame is never longer than this; a "#" followed by this much text
// without its eight fields is line noise, not a frame still arriving.
inline constexpr std::size_t kZra7MaximumFrame = 256;

// The calibration slopes and offsets, widened once: every value is computed
// in double precision and stored in single precision.
struct Calibration {
  double dispSlope = 0;
  double dispOffset = 0;
  double forceSlope = 0;
  double forceOffset = 0;
};
Calibration CalibrationOf(const SettingsRecord& settings);
float CalibratedDisplacement(const Calibration& c, double rawCount);
float CalibratedForce(const Calibration& c, double rawCount);

// What a tick's decoding did, for progress and for the count of frames
// received in a long run.
struct DecodeCounts {
  std::uint64_t accepted = 0;  // frames stored
  std::uint64_t rejected = 0;  // frames dropped (check value, malformed)
  // ZRA7: the frames' own numbers (field 8, which the system does not use),
  // followed to count frames that never arrived.
  std::int64_t lastSequence = -1;
  std::uint64_t sequenceGaps = 0;
};

// Called after each stored sample (the brake control).
using AfterSample = std::function<void()>;

// ZRA6 and ZRA6+: finds sync bytes from `searchStart` (a position from 1)
// and stores each complete frame's values in RawSampleBuffer, one value
// (displacement) or two (displacement, force) per sample, while SampleCount
// is below `samples`. A value of 4096 or more is replaced by the previous
// value of the same channel (0 when there is none). The text is emptied
// when no sync byte is left; an incomplete frame stays for the next tick.
void DecodeZra6Frames(std::string& streamText, std::int32_t& searchStart, TrialDataSet& trial,
                      bool withForce, std::int32_t samples, DecodeCounts* counts = nullptr);

// Scales the raw values from `fromRawIndex` up to RawSampleIndex (both
// included; the last one is not yet filled and is scaled again on the next
// tick) into Displacement and, with force, Force.
void ScaleZra6Samples(TrialDataSet& trial, const Calibration& calibration,
                      std::int32_t fromRawIndex, bool withForce);

// Drops the text before the search start, which no search will look at
// again, so that a long collection does not keep its whole stream.
void CompactStreamText(std::string& text, std::int32_t& searchStart);

// ZRA7: decodes the complete frames of `buffer`, storing each frame's six
// values at RawSampleIndex and every `divider`-th frame as a sample, until
// the buffer runs short, RawSampleIndex passes `rawBound` or SampleCount
// reaches `samples`. Frames whose check value differs are dropped. Decoded
// text is removed from the buffer; what is left waits for the next tick.
void DecodeZra7Frames(std::string& buffer, TrialDataSet& trial, const Calibration& calibration,
                      std::int32_t samples, std::int32_t rawBound, std::int32_t divider,
                      const AfterSample& afterSample = {}, DecodeCounts* counts = nullptr);

// The divider of a unit that streams at its own rate (the ZRA7): every d-th
// frame is a sample; MaxInterfaceFrequency ÷ frequency rounded, at least 1.
std::int32_t FrameDivider(std::int32_t maxInterfaceFrequency, std::int32_t frequency);

// Accelerometer: each reading between two "X=" markers becomes
// Acceleration[SampleCount] = −((reading + 1) × 9.80665) − offset, while
// SampleCount is below `samples`; the last reading waits for the next "X=".
void DecodeAccelerometerText(std::string& text, std::int32_t& searchStart, TrialDataSet& trial,
                             std::int32_t samples, float accelerometerOffset,
                             DecodeCounts* counts = nullptr);

}  // namespace torvane
