#include "link/serial_test.hpp"

#include "link/zra6_protocol.hpp"

namespace torvane {

namespace {

bool Blank(char c) {
  return c == ' ' || c == '\t';
}

bool AllDigits(std::string_view text) {
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

}  // namespace

std::optional<std::uint8_t> CommandByteOf(std::string_view text) {
  while (!text.empty() && Blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && Blank(text.back())) text.remove_suffix(1);
  if (text.empty() || text.size() > 3 || !AllDigits(text)) return std::nullopt;
  int value = 0;
  for (const char c : text) value = value * 10 + (c - '0');
  if (value > 255) return std::nullopt;
  return static_cast<std::uint8_t>(value);
}

bool CommandByteTypable(std::string_view text) {
  return text.empty() || (AllDigits(text) && CommandByteOf(text).has_value());
}

SendOutcome SendCommandByte(const LinkContext& ctx, std::string_view text, bool trialInUse) {
  if (trialInUse) {
    ctx.dialogs.ShowMessage(MessageIcon::Exclamation, kSerialTestTitle, kUnitInUse);
    return SendOutcome::UnitInUse;
  }
  const std::optional<std::uint8_t> byte = CommandByteOf(text);
  if (!byte) {
    ctx.dialogs.ShowMessage(MessageIcon::Exclamation, kSerialTestTitle, kCommandByteRefused);
    return SendOutcome::Refused;
  }
  if (*byte == kCmdSetBrakeLevel &&
      ctx.dialogs.Ask(MessageIcon::Question, MessageButtons::YesNo, kBrakeByteTitle,
                      kBrakeByteQuestion) != DialogAnswer::Yes) {
    return SendOutcome::Cancelled;
  }
  return WriteSerial(ctx, std::string(1, static_cast<char>(*byte))) ? SendOutcome::Sent
                                                                    : SendOutcome::PortFailed;
}

std::string ResponseText(std::string_view bytes) {
  std::string text;
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 32 && b < 127) {
      text.push_back(c);
    } else {
      text += "<" + std::to_string(b) + ">";
    }
  }
  return text;
}

std::optional<std::string> ReadResponse(const LinkContext& ctx, bool trialInUse) {
  if (trialInUse) return std::nullopt;
  return ResponseText(ReadSerialAll(ctx));
}

std::optional<std::size_t> SerialBytesWaiting(const LinkContext& ctx) {
  BytePort& port = *ctx.link.serial.port;
  if (!port.IsOpen()) return std::nullopt;
  const PortCount waiting = port.BytesWaiting();
  if (!waiting.status.ok()) return std::nullopt;
  return waiting.count;
}

std::optional<std::string> SerialSystemInformation(const LinkContext& ctx, bool trialInUse) {
  if (trialInUse) return std::nullopt;
  QueryZra6Identity(ctx);
  return ctx.link.serial.InterfaceInfoText;
}

}  // namespace torvane
