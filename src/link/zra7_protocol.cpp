#include "link/zra7_protocol.hpp"

#include "link/usb_port.hpp"
#include "shell/session.hpp"

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

Zra7LinkState& Zra7(Session& session) {
  return session.link.zra7;
}

Timer& ReplyTimer(Session& session) {
  auto& timer = Zra7(session).USB_Read_Delay;
  if (!timer) timer = session.timers().CreateTimer([&session] { USB_Read_Delay_Timer(session); });
  return *timer;
}

Timer& StreamTimer(Session& session) {
  auto& timer = Zra7(session).USB_Read_Period;
  if (!timer) {
    timer = session.timers().CreateTimer([&session] {
      if (auto tick = Zra7(session).onStreamTick) tick();
    });
  }
  return *timer;
}

// Fields 1 to 6 of an identity record; the rest is not used.
void ReadIdentityRecord(Session& session, std::string_view reply) {
  Zra7LinkState& z = Zra7(session);
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

void ArmReplyTimer(Session& session, std::uint32_t milliseconds) {
  Timer& timer = ReplyTimer(session);
  timer.Stop();
  timer.Start(milliseconds);
}

void SendZra7Command(Session& session, std::int16_t code) {
  Zra7LinkState& z = Zra7(session);
  OpenUsbPort(session);
  z.Zra7State = code;
  z.Zra7ReplyBuffer.assign(kZra7ReplyBufferSize, ' ');
  UsbPurge(session);
  if (code < 10 || code >= 256) return;
  switch (code) {
    case kZra7Identity:
      UsbWrite(session, std::string("VO") + kCarriageReturn);
      ArmReplyTimer(session, kZra7ReplyWaitMs);
      break;
    case kZra7Parameters:
      UsbWrite(session, std::string("VH") + kCarriageReturn);
      ArmReplyTimer(session, kZra7ReplyWaitMs);
      break;
    case kZra7LowerDtr:
      UsbLowerDtr(session);
      ArmReplyTimer(session, kZra7DtrWaitMs);
      break;
    case kZra7RaiseDtr:
      z.Zra7Found = false;
      UsbRaiseDtr(session);
      ArmReplyTimer(session, kZra7DtrWaitMs);
      break;
    default:
      break;  // no such command: nothing is sent, no reply awaited
  }
}

void USB_Read_Delay_Timer(Session& session) {
  Zra7LinkState& z = Zra7(session);
  ReplyTimer(session).Stop();
  const std::string reply = UsbRead(session);
  z.Zra7ReplyBuffer.assign(kZra7ReplyBufferSize, ' ');
  z.Zra7ReplyBuffer.replace(0, std::min(reply.size(), kZra7ReplyBufferSize), reply, 0,
                            kZra7ReplyBufferSize);
  CloseUsbPort(session);
  if (z.Zra7State < 10 || z.Zra7State > 255) return;
  switch (z.Zra7State) {
    case kZra7Identity: {
      std::string copy = z.Zra7ReplyBuffer;
      const std::string status = FirstField(copy);
      z.Zra7StatusWord = Fixed(status, kZra7StatusWordWidth);
      if (TrimBlanks(status).empty()) {
        // No reply yet: ask again.
        SendZra7Command(session, kZra7Identity);
        return;
      }
      ReadIdentityRecord(session, z.Zra7ReplyBuffer);
      z.Zra7Found = true;
      SendZra7Command(session, kZra7Parameters);
      return;
    }
    case kZra7Parameters:
      ReadParameterList(z.Zra7ReplyBuffer);
      return;
    default:
      return;  // 252 and 255: DTR stays as it was set
  }
}

std::string StartZra7Stream(Session& session) {
  Zra7LinkState& z = Zra7(session);
  if (!z.Zra7Found) return "ZRA7 not found";
  z.Zra7ReplyBuffer.assign(kZra7ReplyBufferSize, ' ');
  std::string opened = OpenUsbPort(session);
  if (opened == kUsbPortIsOpen) {
    UsbPurge(session);
    UsbWrite(session, std::string("U1") + kCarriageReturn);
    StreamTimer(session).Start(kZra7StreamPeriodMs);
    z.Zra7Streaming = true;
  }
  return opened;
}

std::string StopZra7Stream(Session& session) {
  Zra7LinkState& z = Zra7(session);
  UsbWrite(session, std::string("U0") + kCarriageReturn);
  StreamTimer(session).Stop();
  z.Zra7Streaming = false;
  return CloseUsbPort(session);
}

void ShutdownZra7Link(Session& session) {
  OpenUsbPort(session);
  session.link.usb.LastUsbMessage = CloseUsbPort(session);
  SendZra7Command(session, kZra7LowerDtr);
}

bool RunZra7Discovery(Session& session) {
  SendZra7Command(session, kZra7RaiseDtr);
  SendZra7Command(session, kZra7Identity);
  WaitMilliseconds(session.clock(), session.pump(), kZra7DiscoveryWaitMs);
  return Zra7(session).Zra7Found;
}

}  // namespace torvane
