#include "link/accelerometer_management.hpp"

#include "link/accelerometer_port.hpp"
#include "link/port_access.hpp"

namespace torvane {

AccelPortOutcome InitialiseAccelerometer(const LinkContext& ctx, AccelerometerWindow& window) {
  if (ctx.link.accel.port->IsOpen()) {
    window.port = AccelPortOutcome::AlreadyOpen;
  } else {
    window.port = OpenAccelerometerPort(ctx) ? AccelPortOutcome::Opened : AccelPortOutcome::Failed;
  }
  window.initialised = true;
  window.timerOn = true;
  return window.port;
}

bool SendAccelerometerKeys(const LinkContext& ctx, std::string_view keys, bool trialInUse) {
  AccelLinkState& a = ctx.link.accel;
  if (trialInUse || !a.port->IsOpen()) return false;
  for (const char key : keys) {
    WriteAccelerometer(ctx, std::string_view(&key, 1));
    if (key == kAccelerometerSwitch) a.AccelStreaming = !a.AccelStreaming;
  }
  return true;
}

bool ToggleAccelerometerStream(const LinkContext& ctx, bool trialInUse) {
  if (trialInUse) return false;
  AccelLinkState& a = ctx.link.accel;
  if (!a.port->IsOpen() && !OpenAccelerometerPort(ctx)) return false;
  return SendAccelerometerKeys(ctx, std::string_view(&kAccelerometerSwitch, 1), false);
}

std::size_t AccelerometerWindowTick(const LinkContext& ctx, AccelerometerWindow& window,
                                    bool trialInUse) {
  window.paused = trialInUse;
  if (trialInUse || !window.timerOn) return 0;
  const std::string received = ReadAccelerometerAll(ctx);
  window.output += received;
  if (window.output.size() > kAccelerometerOutputLimit) {
    window.output.erase(0, window.output.size() - kAccelerometerOutputLimit);
  }
  return received.size();
}

void ClearAccelerometerOutput(AccelerometerWindow& window) {
  window.output.clear();
}

std::string AccelerometerStateText(const LinkContext& ctx, const AccelerometerWindow& window) {
  const AccelLinkState& a = ctx.link.accel;
  const std::string path = SerialDevicePath(ctx.settings, ctx.settings.accelcomportnum);
  std::string text = "Port " + (path.empty() ? std::string("(none)") : path) + ": ";
  if (a.port->IsOpen()) {
    text += "open. Stream ";
    text += a.AccelStreaming ? "on." : "off.";
  } else {
    text += window.port == AccelPortOutcome::Failed && window.initialised ? "cannot be opened."
                                                                          : "closed.";
  }
  if (window.paused) text += " Paused while a collection or a zeroing reading uses the port.";
  return text;
}

std::string_view StreamButtonCaption(const LinkContext& ctx) {
  return ctx.link.accel.AccelStreaming ? "Stop stream" : "Start stream";
}

}  // namespace torvane
