#include "acquisition/analog_inputs.hpp"

#include <algorithm>

#include "acquisition/stream_decoders.hpp"
#include "common/number_text.hpp"
#include "link/port_access.hpp"
#include "link/usb_port.hpp"
#include "link/zra6_protocol.hpp"

namespace torvane {

namespace {

constexpr std::size_t kInputChunk = 4096;
// A stream text that holds no whole frame is cut back to its tail, so that
// line noise cannot make it grow.
constexpr std::size_t kStreamTextLimit = 8192;
constexpr std::size_t kStreamTextKept = 1024;
constexpr int kZra6Channels = 4;
constexpr int kZra6PlusChannels = 4;
constexpr int kZra7Channels = 6;
constexpr std::uint8_t kZra6PlusAnalogMask = 0x0F;
constexpr int kZra7Fields = 8;

std::uint8_t Byte(std::string_view text, std::size_t i) {
  return static_cast<std::uint8_t>(text[i]);
}

void KeepTail(std::string& text) {
  if (text.size() > kStreamTextLimit) text.erase(0, text.size() - kStreamTextKept);
}

// Writes on the serial port without letting events run: a tick never does.
bool SendSerial(const LinkContext& ctx, std::string_view bytes) {
  BytePort& port = *ctx.link.serial.port;
  const PortStatus status = port.Write(bytes);
  if (status.ok()) return true;
  ReportPortFailure(ctx, port.Path(), status);
  port.Close();
  return false;
}

// Starts the one-value stream of `channel`; false when the port cannot be
// opened or written.
bool AskZra6Channel(const LinkContext& ctx, AnalogInputs& in, int channel) {
  BytePort& port = *ctx.link.serial.port;
  if (!port.IsOpen() && !OpenSerialPort(ctx)) return false;
  port.Purge(true, false);  // what is left of an earlier stream is not the answer
  in.reply.clear();
  if (!SendSerial(ctx, ByteCommand(kCmdSetSamplePeriod, kZra6ReadingPeriodMs) +
                           ByteCommand(kCmdSetChannelMask, ChannelMaskBit(channel)))) {
    return false;
  }
  in.channelAsked = channel;
  in.askedAtMs = ctx.clock.Milliseconds();
  return true;
}

void EndZra6Request(const LinkContext& ctx, AnalogInputs& in) {
  if (!in.channelAsked) return;
  in.channelAsked.reset();
  if (ctx.link.serial.port->IsOpen()) SendSerial(ctx, ByteCommand(kCmdSetChannelMask, 0));
}

// What has come for the channel asked: a value, no answer once the time
// limit has passed, else nothing yet.
std::optional<ChannelReading> TakeZra6Reply(const LinkContext& ctx, AnalogInputs& in) {
  BytePort& port = *ctx.link.serial.port;
  if (port.IsOpen()) port.ReadAvailable(in.reply, kInputChunk);
  if (const auto value = Zra6ReplyValue(in.reply)) {
    EndZra6Request(ctx, in);
    return ChannelReading{ReadingStatus::Value, *value};
  }
  if (!port.IsOpen() || ctx.clock.Milliseconds() - in.askedAtMs >= kAnalogReadingLimitMs) {
    EndZra6Request(ctx, in);
    return ChannelReading{ReadingStatus::NoAnswer, 0};
  }
  return std::nullopt;
}

// The four channels in turn; as many as answer at once in one tick, one
// request left waiting for the next tick otherwise.
void Zra6Tick(const LinkContext& ctx, AnalogInputs& in) {
  for (int turn = 0; turn < kZra6Channels; ++turn) {
    const int channel = in.channelAsked.value_or(in.nextChannel);
    if (!in.channelAsked && !AskZra6Channel(ctx, in, channel)) {
      in.lastStatus = ReadingStatus::PortClosed;
      return;
    }
    const std::optional<ChannelReading> reading = TakeZra6Reply(ctx, in);
    if (!reading) return;
    in.lastStatus = reading->status;
    in.nextChannel = (channel + 1) % kZra6Channels;
    if (reading->status != ReadingStatus::Value) {
      in.rows[channel].value.reset();
      return;
    }
    ShowAnalogValue(in.rows[channel], reading->value);
  }
}

void StopUsbStream(const LinkContext& ctx, AnalogInputs& in) {
  if (!in.streaming) return;
  in.streaming = false;
  if (in.model == InterfaceModel::Zra7) {
    UsbWrite(ctx, "U0\r");
    CloseUsbPort(ctx);
  } else {
    UsbWrite(ctx, ByteCommand(kCmdSetChannelMask, 0));
  }
}

void UsbTick(const LinkContext& ctx, AnalogInputs& in) {
  const bool zra7 = in.model == InterfaceModel::Zra7;
  if (!in.streaming) {
    if (OpenUsbPort(ctx) != PortResult::Open) {
      in.lastStatus = ReadingStatus::PortClosed;
      return;
    }
    UsbPurge(ctx);
    if (zra7) {
      UsbWrite(ctx, "U1\r");
    } else {
      UsbWrite(ctx, ByteCommand(kCmdSetSamplePeriod, kZra6PlusAnalogPeriodMs));
      UsbWrite(ctx, ByteCommand(kCmdSetChannelMask, kZra6PlusAnalogMask));
    }
    in.streaming = true;
    in.streamText.clear();
    in.askedAtMs = ctx.clock.Milliseconds();
  }
  std::string read = UsbRead(ctx);
  if (zra7) read.resize(std::min<std::size_t>(read.size(), ctx.link.usb.UsbBytesRead));
  in.streamText += read;
  bool whole = false;
  if (zra7) {
    if (const auto frame = LatestZra7Frame(in.streamText)) {
      for (int c = 0; c < kZra7Channels; ++c) ShowAnalogValue(in.rows[c], (*frame)[c]);
      whole = true;
    }
  } else if (const auto frame = LatestByteFrame(in.streamText, kZra6PlusChannels)) {
    for (int c = 0; c < kZra6PlusChannels; ++c) ShowAnalogValue(in.rows[c], (*frame)[c]);
    whole = true;
  }
  KeepTail(in.streamText);
  if (whole) {
    in.lastStatus = ReadingStatus::Value;
    in.askedAtMs = ctx.clock.Milliseconds();
  } else if (ctx.clock.Milliseconds() - in.askedAtMs >= kAnalogReadingLimitMs) {
    // A silent stream is started afresh on the next tick (the unit may
    // have been plugged in again).
    in.lastStatus = ReadingStatus::NoAnswer;
    for (AnalogRow& row : in.rows) row.value.reset();
    StopUsbStream(ctx, in);
  }
}

}  // namespace

void LoadAnalogInputs(AnalogInputs& in, InterfaceModel model) {
  in = AnalogInputs{};
  in.model = model;
  const int shown = model == InterfaceModel::Zra7   ? kZra7Channels
                    : model == InterfaceModel::None ? 0
                                                    : kZra6Channels;
  for (int r = 0; r < shown; ++r) in.rows[r].shown = true;
}

void ResetAnalogInputs(AnalogInputs& in) {
  for (AnalogRow& row : in.rows) {
    row.minimum = kAnalogMinimumReset;
    row.maximum = kAnalogMaximumReset;
  }
}

void ShowAnalogValue(AnalogRow& row, std::int32_t value) {
  row.value = value;
  row.maximum = std::max(row.maximum, value);
  row.minimum = std::min(row.minimum, value);
}

std::optional<std::int32_t> Zra6ReplyValue(std::string_view reply) {
  const std::size_t p = reply.find(static_cast<char>(kZra6SyncByte));
  if (p == std::string_view::npos || p + 2 >= reply.size()) return std::nullopt;
  return (Byte(reply, p + 1) * 256 + Byte(reply, p + 2)) & kAnalogValueMask;
}

std::optional<std::array<std::int32_t, 4>> LatestByteFrame(std::string& text, int values) {
  values = std::clamp(values, 1, 4);
  const std::size_t length = 1 + 2 * static_cast<std::size_t>(values);
  for (std::size_t p = text.size(); p-- > 0;) {
    const std::size_t end = p + length;
    if (Byte(text, p) != kZra6SyncByte || end >= text.size() || Byte(text, end) != kZra6SyncByte) {
      continue;
    }
    std::array<std::int32_t, 4> frame{};
    bool within = true;
    for (int v = 0; v < values; ++v) {
      const std::size_t high = p + 1 + 2 * static_cast<std::size_t>(v);
      within = within && Byte(text, high) * 256 < kZra6ValueLimit;
      frame[v] = (Byte(text, high) * 256 + Byte(text, high + 1)) & kAnalogValueMask;
    }
    if (!within) continue;
    text.erase(0, end);
    return frame;
  }
  return std::nullopt;
}

std::optional<std::array<std::int32_t, 6>> LatestZra7Frame(std::string& text) {
  for (std::size_t p = text.rfind('#'); p != std::string::npos;
       p = p == 0 ? std::string::npos : text.rfind('#', p - 1)) {
    std::array<std::int32_t, kZra7Fields> fields{};
    std::size_t q = p + 1;
    bool whole = true;
    for (int f = 0; f < kZra7Fields && whole; ++f) {
      const std::size_t comma = text.find(',', q);
      const std::size_t hash = text.find('#', q);
      whole = comma != std::string::npos && (hash == std::string::npos || hash > comma);
      if (!whole) break;
      std::int32_t value = ToInt32(LeadingNumber(std::string_view(text).substr(q, comma - q)));
      if (value < 0) value += 65536;
      fields[f] = value;
      q = comma + 1;
    }
    if (!whole || q >= text.size()) continue;  // a frame's line end is still to come
    std::int64_t sum = 0;
    for (int f = 0; f < 6; ++f) sum += fields[f];
    if (sum % 65536 != fields[6]) continue;
    text.erase(0, q);
    std::array<std::int32_t, 6> values{};
    std::copy_n(fields.begin(), 6, values.begin());
    return values;
  }
  return std::nullopt;
}

std::string AnalogRowCaption(InterfaceModel model, int row) {
  if (model == InterfaceModel::Zra7) {
    static const char* const kZra7[] = {"Force 1", "Force 2",      "Force 3",
                                        "Force 4", "Displacement", "Channel 6"};
    return row >= 0 && row < kZra7Channels ? kZra7[row] : "Channel " + std::to_string(row + 1);
  }
  if (row == 0) return "Channel 0 (displacement)";
  if (row == 1) return "Channel 1 (force)";
  return "Channel " + std::to_string(row);
}

std::string AnalogValueText(const std::optional<std::int32_t>& value) {
  return value ? std::to_string(*value) : "-";
}

std::string AnalogStatusText(const AnalogInputs& in) {
  if (in.paused) return "Readings pause while a collection or a zeroing reading runs.";
  if (in.pausedForSerialTest) return "Readings pause while the serial test window is open.";
  if (in.model == InterfaceModel::None) return "No interface unit is selected.";
  if (in.lastStatus == ReadingStatus::PortClosed) {
    return "The interface unit's port cannot be opened.";
  }
  if (in.lastStatus == ReadingStatus::NoAnswer) return "The interface unit does not answer.";
  if (in.model == InterfaceModel::Zra6) return "ZRA6: each channel read in turn.";
  return in.model == InterfaceModel::Zra7 ? "ZRA7: live values of its stream."
                                          : "ZRA6+: live values of a 50 Hz stream.";
}

void AnalogInputsTick(const LinkContext& ctx, AnalogInputs& in, bool trialInUse) {
  if (in.inTick) return;
  in.inTick = true;
  in.paused = trialInUse;
  in.pausedForSerialTest =
      in.model == InterfaceModel::Zra6 && ctx.link.serial.serialTestWindows > 0;
  if (in.pausedForSerialTest && in.channelAsked) EndZra6Request(ctx, in);
  if (trialInUse || in.pausedForSerialTest) {
    in.channelAsked.reset();
    in.streaming = false;
    in.streamText.clear();
  } else if (in.model == InterfaceModel::Zra6) {
    Zra6Tick(ctx, in);
  } else if (in.model != InterfaceModel::None) {
    UsbTick(ctx, in);
  }
  in.inTick = false;
}

void CloseAnalogInputs(const LinkContext& ctx, AnalogInputs& in, bool trialInUse) {
  if (!trialInUse) {
    EndZra6Request(ctx, in);
    StopUsbStream(ctx, in);
  }
  in.channelAsked.reset();
  in.streaming = false;
  in.streamText.clear();
}

ChannelReading ReadZra6Channel(const LinkContext& ctx, int channel) {
  AnalogInputs in;
  if (!AskZra6Channel(ctx, in, channel)) return {ReadingStatus::PortClosed, 0};
  std::optional<ChannelReading> reading;
  WaitUntil(ctx.clock, ctx.pump, kAnalogReadingLimitMs, [&] {
    reading = TakeZra6Reply(ctx, in);
    return reading.has_value();
  });
  if (!reading) {
    EndZra6Request(ctx, in);
    return {ReadingStatus::NoAnswer, 0};
  }
  return *reading;
}

}  // namespace torvane
