#include "link/brake.hpp"

#include "common/number_text.hpp"
#include "link/usb_port.hpp"
#include "link/zra6_protocol.hpp"
#include "shell/session.hpp"

namespace torvane {

std::uint8_t BrakeLevelByte(double levelPercent) {
  const double b = RoundHalfEven(levelPercent * 255.0 / 100.0);
  if (!(b > 0)) return 0;
  if (b > 255) return 255;
  return static_cast<std::uint8_t>(b);
}

std::string Zra7BrakeCommand(double levelPercent) {
  const float value = static_cast<float>(levelPercent * 4095.0 / 100.0);
  return "D2=" + ShortNumericText(static_cast<double>(value)) + "\r";
}

std::int16_t SetBrakeLevel(Session& session, double levelPercent) {
  const SettingsRecord& s = session.settings;
  const std::string command = ByteCommand(kCmdSetBrakeLevel, BrakeLevelByte(levelPercent));
  if (s.ZRA6Input) WriteSerial(session, command);
  if (s.ZRA6PlusInput) {
    UsbLinkState& usb = session.link.usb;
    usb.LastUsbMessage = UsbWrite(session, command);
    usb.LastUsbMessage = UsbRead(session);
    // During a collection what that read took is sample stream: it goes on
    // to the decoder instead of being lost.
    if (session.link.serial.Zra6PlusStreaming) {
      session.link.serial.StreamText += usb.LastUsbMessage;
    }
  }
  if (s.ZRA7Input) {
    OpenUsbPort(session);
    UsbWrite(session, Zra7BrakeCommand(levelPercent));
  }
  return 0;
}

void BrakeControl(Session& session) {
  BrakeControlAt(session, session.trial.SampleCount);
}

void BrakeControlAt(Session& session, std::int32_t n) {
  const SettingsRecord& s = session.settings;
  if (s.BrakeLevel == 0) return;
  if (n < 2) return;
  const std::vector<float>& d = session.trial.Displacement;
  if (static_cast<std::size_t>(n) >= d.size()) return;
  if (s.brakeabovezero) {
    const float before = d[static_cast<std::size_t>(n - 1)];
    const float now = d[static_cast<std::size_t>(n)];
    // The ZRA6 and ZRA6+ brake on the way down through zero and release on
    // the way up; the ZRA7 the other way round.
    if (before > 0 && now <= 0) {
      SetBrakeLevel(session, s.ZRA7Input ? 0.0 : s.BrakeLevel);
      session.BrakePercent = 0;
    } else if (before < 0 && now >= 0) {
      SetBrakeLevel(session, s.ZRA7Input ? s.BrakeLevel : 0.0);
      session.BrakePercent = s.BrakeLevel;
    }
  }
  UpdateStatusBar(session);
}

}  // namespace torvane
