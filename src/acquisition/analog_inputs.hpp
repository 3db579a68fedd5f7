#pragma once
// The raw analog inputs of the interface unit outside a collection, with
// their running minimum and maximum ("Analog Inputs").
//
// The ZRA6 is asked for one channel at a time: a sample period of 100 ms
// and the channel's mask bit start a one-value stream, the first frame's
// value is the reading, and the stream is switched off again. The ZRA6+
// and ZRA7 have no such request: their window runs a stream of its own (the
// ZRA6+ with channels 0 … 3 at 50 Hz, the ZRA7 at its own rate) and shows
// the values of the newest whole frame on every tick.
//
// Nothing here waits on a timer tick: a tick sends what is due, takes what
// has arrived and returns; a channel that has not answered within
// kAnalogReadingLimitMs is given up. Every value is masked to the 12 bits
// the converters deliver, so a value read from a corrupted byte can never
// exceed 4095.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "config/interface_model.hpp"
#include "link/link_context.hpp"

namespace torvane {

inline constexpr int kAnalogRowCount = 8;
inline constexpr std::uint32_t kAnalogTickMs = 100;
// How long a ZRA6 channel may take to answer before it is given up.
inline constexpr std::uint32_t kAnalogReadingLimitMs = 500;
inline constexpr std::int32_t kAnalogValueMask = 0x0FFF;
// What Reset puts in the minimum and maximum, so that the next reading
// replaces both.
inline constexpr std::int32_t kAnalogMinimumReset = 4096;
inline constexpr std::int32_t kAnalogMaximumReset = 0;
// The sample period (ms) of a ZRA6 channel reading and of the ZRA6+ stream.
inline constexpr std::uint8_t kZra6ReadingPeriodMs = 100;
inline constexpr std::uint8_t kZra6PlusAnalogPeriodMs = 20;

enum class ReadingStatus {
  Value,      // the channel answered
  NoAnswer,   // nothing came within the time limit
  PortClosed  // the unit's port could not be opened
};

struct ChannelReading {
  ReadingStatus status = ReadingStatus::NoAnswer;
  std::int32_t value = 0;
};

struct AnalogRow {
  bool shown = false;
  std::optional<std::int32_t> value;
  std::int32_t minimum = kAnalogMinimumReset;
  std::int32_t maximum = kAnalogMaximumReset;
};

// Where the window stands: the rows, the ZRA6 request in flight, the
// stream of a USB unit, and what the last tick found.
struct AnalogInputs {
  InterfaceModel model = InterfaceModel::None;
  std::array<AnalogRow, kAnalogRowCount> rows{};

  // The ZRA6 channel asked for, when it was asked, and what has come.
  std::optional<int> channelAsked;
  std::uint64_t askedAtMs = 0;
  std::string reply;
  int nextChannel = 0;

  // The ZRA6+ or ZRA7 stream this window started, and its text not yet read.
  bool streaming = false;
  std::string streamText;

  ReadingStatus lastStatus = ReadingStatus::Value;
  // A collection or zeroing reading holds the unit: nothing is read.
  bool paused = false;
  bool pausedForSerialTest = false;  // the ZRA6's port is the serial test window's
  // A tick runs: a tick that comes meanwhile returns at once.
  bool inTick = false;
};

// The rows of the selected unit: 0 … 3 for the ZRA6 and ZRA6+, 0 … 5 for
// the ZRA7 (its four force channels, displacement and sixth channel).
void LoadAnalogInputs(AnalogInputs& inputs, InterfaceModel model);
// Every minimum to 4096, every maximum to 0.
void ResetAnalogInputs(AnalogInputs& inputs);
// Shows a value in a row and widens its minimum and maximum.
void ShowAnalogValue(AnalogRow& row, std::int32_t value);

// The value of a reply to a ZRA6 channel request: the two bytes after the
// first sync byte, high byte first, masked to 12 bits; nothing until both
// have arrived.
std::optional<std::int32_t> Zra6ReplyValue(std::string_view reply);
// The values of the newest whole frame of `values` channels in a ZRA6 or
// ZRA6+ stream (a sync byte, then each value high byte first). A frame is
// whole when its high bytes are within 12 bits and the next sync byte, or
// the end of the text, follows it. The text up to that frame's end is
// dropped; what follows it waits for the next tick.
std::optional<std::array<std::int32_t, 4>> LatestByteFrame(std::string& text, int values);
// The six channel values of the newest whole, checked ZRA7 frame ("#", six
// values, their sum modulo 65536, a count, each followed by a comma), the
// text up to its end dropped. A negative field is a 16-bit value read as
// signed: 65536 is added.
std::optional<std::array<std::int32_t, 6>> LatestZra7Frame(std::string& text);

// The caption of a row: the ZRA6 and ZRA6+ channels by number and use, the
// ZRA7's by what its frame carries.
std::string AnalogRowCaption(InterfaceModel model, int row);
// A row's value, minimum or maximum as shown ("-" before the first reading).
std::string AnalogValueText(const std::optional<std::int32_t>& value);
// The line under the rows: why nothing is read, or how the values come.
std::string AnalogStatusText(const AnalogInputs& inputs);

// One tick of the window: reads what is due unless `trialInUse`. With the
// trial in use a stream this window started is forgotten, not stopped: the
// collection that now holds the unit has set it up for itself.
void AnalogInputsTick(const LinkContext& ctx, AnalogInputs& inputs, bool trialInUse);
// The window closes: a request or stream of its own is switched off.
void CloseAnalogInputs(const LinkContext& ctx, AnalogInputs& inputs, bool trialInUse);

// A single ZRA6 channel reading, waiting (events running) at most
// kAnalogReadingLimitMs for the answer. Not for use inside a timer tick.
ChannelReading ReadZra6Channel(const LinkContext& ctx, int channel);

}  // namespace torvane
