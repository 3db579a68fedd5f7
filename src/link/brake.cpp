#include "link/brake.hpp"

#include "common/number_text.hpp"
#include "link/unit_models.hpp"
#include "link/usb_port.hpp"
#include "link/zra6_protocol.hpp"

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

void SendZra6BrakeLevel(const LinkContext& ctx, double levelPercent) {
  WriteSerial(ctx, ByteCommand(kCmdSetBrakeLevel, BrakeLevelByte(levelPercent)));
}

void SendZra6PlusBrakeLevel(const LinkContext& ctx, double levelPercent) {
  UsbLinkState& usb = ctx.link.usb;
  // A failure closes the device; the read then finds nothing.
  UsbWrite(ctx, ByteCommand(kCmdSetBrakeLevel, BrakeLevelByte(levelPercent)));
  usb.LastUsbMessage = UsbRead(ctx);
  // During a collection what that read took is sample stream: it goes on
  // to the decoder instead of being lost.
  if (ctx.link.serial.Zra6PlusStreaming) ctx.link.serial.StreamText += usb.LastUsbMessage;
}

void SendZra7BrakeLevel(const LinkContext& ctx, double levelPercent) {
  OpenUsbPort(ctx);
  UsbWrite(ctx, Zra7BrakeCommand(levelPercent));
}

std::int16_t SetBrakeLevel(const LinkContext& ctx, double levelPercent) {
  SelectedUnitModel(ctx.settings).sendBrakeLevel(ctx, levelPercent);
  return 0;
}

void BrakeControl(const LinkContext& ctx) {
  BrakeControlAt(ctx, ctx.trial.SampleCount);
}

void BrakeControlAt(const LinkContext& ctx, std::int32_t n) {
  const SettingsRecord& s = ctx.settings;
  if (s.BrakeLevel == 0) return;
  if (n < 2) return;
  const std::vector<float>& d = ctx.trial.Displacement;
  if (static_cast<std::size_t>(n) >= d.size()) return;
  if (s.brakeabovezero) {
    const float before = d[static_cast<std::size_t>(n - 1)];
    const float now = d[static_cast<std::size_t>(n)];
    // The ZRA6 and ZRA6+ brake on the way down through zero and release on
    // the way up; the ZRA7 the other way round.
    const bool onRise = SelectedUnitModel(s).brakesOnTheWayUp;
    if (before > 0 && now <= 0) {
      SetBrakeLevel(ctx, onRise ? 0.0 : s.BrakeLevel);
      ctx.BrakePercent = 0;
    } else if (before < 0 && now >= 0) {
      SetBrakeLevel(ctx, onRise ? s.BrakeLevel : 0.0);
      ctx.BrakePercent = s.BrakeLevel;
    }
  }
  if (ctx.updateStatusBar) ctx.updateStatusBar();
}

}  // namespace torvane
