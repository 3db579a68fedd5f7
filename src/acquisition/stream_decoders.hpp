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
// The commas of a ZRA7 frame: "#" and eight fields, each closed by a comma.
inline constexpr std::size_t kZra7FrameCommas = 8;

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

// What the decoding of a collection did. Only a whole, checked frame is
// ever stored as a measured value; where the stream held something else,
// the last whole sample is held for each sample period it spans, so that
// the trial's time axis stays true.
struct DecodeCounts {
  std::uint64_t accepted = 0;  // whole frames stored
  std::uint64_t rejected = 0;  // frames (or stretches of stream) that were not whole
  std::uint64_t held = 0;      // samples (ZRA7: frame slots) held in their place
};

// Called after each stored sample (the brake control).
using AfterSample = std::function<void()>;

// ZRA6 and ZRA6+: a frame is a sync byte and one value (displacement) or
// two (displacement, force) of 12 bits, high byte first. From `searchStart`
// (a position from 1, where the next frame is due) each whole frame's values
// go to RawSampleBuffer while SampleCount is below `samples`. A frame is
// whole only when its values are within 12 bits and the next frame's sync
// byte stands exactly where it ends (a frame at the very end waits for the
// next tick). A stretch of stream that is not whole frames (bytes lost or
// corrupted on the line) is not read as values: for each frame period it
// spans (its length over the frame length, rounded) the last whole sample is
// held; before the first whole frame of a collection nothing is held.
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
// reaches `samples`. A frame whose check value differs, or that is cut short
// by the next one, holds the last whole frame's values for its slot (for as
// many slots as its fields fill, when frames ran together), so that it takes
// its place in the thinning count and the time axis stays true. Decoded text
// is removed from the buffer; what is left waits for the next tick.
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
