#include "link/zra7_protocol.hpp"

#include "link/usb_port.hpp"

namespace torvane {

namespace {

constexpr char kCarriageReturn = '\r';

bool IsBlank(char c) {
  return c == ' ';
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view TrimLeadingBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  return text;
}

// Left-aligned in exactly `width` characters: blank-padded, or cut.
std::string Fixed(std::string_view value, std::size_t width) {
  std::string out(value.substr(0, width));
  out.resize(width, ' ');
  return out;
}

std::string AfterFirst(std::string_view text, char separator) {
  if (text.size() < 2) return {};
  const std::size_t p = text.find(separator, 1);
  if (p == std::string_view::npos) return {};
  return std::string(TrimLeadingBlanks(text.substr(p + 1)));
}

// The timers are created on first use and keep the context they were
// created with: everything it refers to lives as long as the link state
// that owns them.
Timer& ReplyTimer(const LinkContext& ctx) {
  auto& timer = ctx.link.zra7.USB_Read_Delay;
  if (!timer) timer = ctx.timers.CreateTimer([ctx] { HandleZra7Reply(ctx); });
  return *timer;
}

Timer& StreamTimer(const LinkContext& ctx) {
  auto& timer = ctx.link.zra7.USB_Read_Period;
  if (!timer) {
    timer = ctx.timers.CreateTimer([&z = ctx.link.zra7] {
      if (auto tick = z.onStreamTick) tick();
    });
  }
  return *timer;
}

// Fields 1 to 6 of an identity record; the rest is not used.
void ReadIdentityRecord(Zra7LinkState& z, std::string_view reply) {
  std::string rest(reply);
  for (int field = 1; field <= 6; ++field) {
    const std::string value = FirstField(rest);
    if (field == 1) z.Zra7StatusWord = Fixed(value, kZra7StatusWordWidth);
    if (field == 5) z.Zra7FirmwareVersion = Fixed(value, kZra7FirmwareVersionWidth);
    if (field == 6) z.Zra7SerialNumber = Fixed(value, kZra7SerialNumberWidth);
    rest = AfterFirstComma(rest);
  }
}

// The channel-parameter list: five pairs and two single values. The system
// reads them and uses none.
void ReadParameterList(std::string_view reply) {
  std::string rest(reply);
  for (int field = 0; field < 12; ++field) {
    FirstField(rest);
    rest = AfterFirstComma(rest);
  }
}

}  // namespace

std::string FirstField(std::string& text) {
  text = std::string(TrimBlanks(text));
  if (text.size() < 2) return {};
  const std::size_t p = text.find(',', 1);
  if (p == std::string::npos) return {};
  return text.substr(0, p);
}

std::string AfterFirstComma(std::string_view text) {
  return AfterFirst(text, ',');
}
std::string AfterFirstHash(std::string_view text) {
  return AfterFirst(text, '#');
}

void ArmReplyTimer(const LinkContext& ctx, std::uint32_t milliseconds) {
  Timer& timer = ReplyTimer(ctx);
  timer.Stop();
  timer.Start(milliseconds);
}

void SendZra7Command(const LinkContext& ctx, std::int16_t code) {
  Zra7LinkState& z = ctx.link.zra7;
  OpenUsbPort(ctx);
  z.Zra7State = code;
  z.Zra7ReplyBuffer.assign(kZra7ReplyBufferSize, ' ');
  UsbPurge(ctx);
  if (code < 10 || code >= 256) return;
  switch (code) {
    case kZra7Identity:
      UsbWrite(ctx, std::string("VO") + kCarriageReturn);
      ArmReplyTimer(ctx, kZra7ReplyWaitMs);
      break;
    case kZra7Parameters:
      UsbWrite(ctx, std::string("VH") + kCarriageReturn);
      ArmReplyTimer(ctx, kZra7ReplyWaitMs);
      break;
    case kZra7LowerDtr:
      UsbLowerDtr(ctx);
      ArmReplyTimer(ctx, kZra7DtrWaitMs);
      break;
    case kZra7RaiseDtr:
      z.Zra7Found = false;
      UsbRaiseDtr(ctx);
      ArmReplyTimer(ctx, kZra7DtrWaitMs);
      break;
    default:
      break;  // no such command: nothing is sent, no reply awaited
  }
}

void HandleZra7Reply(const LinkContext& ctx) {
  Zra7LinkState& z = ctx.link.zra7;
  ReplyTimer(ctx).Stop();
  const std::string reply = UsbRead(ctx);
  z.Zra7ReplyBuffer.assign(kZra7ReplyBufferSize, ' ');
  z.Zra7ReplyBuffer.replace(0, std::min(reply.size(), kZra7ReplyBufferSize), reply, 0,
                            kZra7ReplyBufferSize);
  CloseUsbPort(ctx);
  if (z.Zra7State < 10 || z.Zra7State > 255) return;
  switch (z.Zra7State) {
    case kZra7Identity: {
      std::string copy = z.Zra7ReplyBuffer;
      const std::string status = FirstField(copy);
      z.Zra7StatusWord = Fixed(status, kZra7StatusWordWidth);
      if (TrimBlanks(status).empty()) {
        // No reply yet: ask again.
        SendZra7Command(ctx, kZra7Identity);
        return;
      }
      ReadIdentityRecord(z, z.Zra7ReplyBuffer);
      z.Zra7Found = true;
      SendZra7Command(ctx, kZra7Parameters);
      return;
    }
    case kZra7Parameters:
      ReadParameterList(z.Zra7ReplyBuffer);
      return;
    default:
      return;  // 252 and 255: DTR stays as it was set
  }
}

PortResult StartZra7Stream(const LinkContext& ctx) {
  Zra7LinkState& z = ctx.link.zra7;
  if (!z.Zra7Found) return PortResult::Zra7NotFound;
  z.Zra7ReplyBuffer.assign(kZra7ReplyBufferSize, ' ');
  const PortResult opened = OpenUsbPort(ctx);
  if (opened == PortResult::Open) {
    UsbPurge(ctx);
    UsbWrite(ctx, std::string("U1") + kCarriageReturn);
    StreamTimer(ctx).Start(kZra7StreamPeriodMs);
    z.Zra7Streaming = true;
  }
  return opened;
}

PortResult StopZra7Stream(const LinkContext& ctx) {
  Zra7LinkState& z = ctx.link.zra7;
  UsbWrite(ctx, std::string("U0") + kCarriageReturn);
  StreamTimer(ctx).Stop();
  z.Zra7Streaming = false;
  return CloseUsbPort(ctx);
}

void ShutdownZra7Link(const LinkContext& ctx) {
  OpenUsbPort(ctx);
  ctx.link.usb.LastUsbMessage = Text(CloseUsbPort(ctx));
  SendZra7Command(ctx, kZra7LowerDtr);
}

bool RunZra7Discovery(const LinkContext& ctx) {
  SendZra7Command(ctx, kZra7RaiseDtr);
  SendZra7Command(ctx, kZra7Identity);
  WaitMilliseconds(ctx.clock, ctx.pump, kZra7DiscoveryWaitMs);
  return ctx.link.zra7.Zra7Found;
}

}  // namespace torvane
