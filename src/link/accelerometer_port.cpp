#include "link/accelerometer_port.hpp"

#include "link/port_access.hpp"

namespace torvane {

namespace {

constexpr std::uint32_t kDrainLimitMs = 1000;
constexpr std::size_t kDrainLimitBytes = 1 << 20;
constexpr std::size_t kInputChunk = 4096;

void PortFailed(const LinkContext& ctx, const PortStatus& status) {
  BytePort& port = *ctx.link.accel.port;
  ReportPortFailure(ctx, port.Path(), status);
  if (status.kind == PortErrorKind::IoError) port.Close();
}

// Reads (keeping or discarding) until nothing more is buffered; a sensor
// that never stops sending ends the loop after a second.
std::string Drain(const LinkContext& ctx, bool keep) {
  BytePort& port = *ctx.link.accel.port;
  std::string gathered;
  if (!port.IsOpen()) return gathered;
  const Clock& clock = ctx.clock;
  const std::uint64_t start = clock.Milliseconds();
  for (;;) {
    std::string chunk;
    const PortStatus read = port.ReadAvailable(chunk, kInputChunk);
    if (keep) gathered += chunk;
    if (!read.ok()) {
      PortFailed(ctx, read);
      break;
    }
    ctx.pump.ProcessPendingEvents();
    const PortCount waiting = port.BytesWaiting();
    if (!waiting.status.ok() || waiting.count < 1) break;
    if (gathered.size() >= kDrainLimitBytes || clock.Milliseconds() - start > kDrainLimitMs) break;
  }
  return gathered;
}

}  // namespace

FlowControl AccelerometerFlowControl(std::int16_t setting) {
  switch (setting) {
    case kAccelFlowXonXoff:
      return FlowControl::XonXoff;
    case kAccelFlowRtsCts:
      return FlowControl::RtsCts;
    default:
      return FlowControl::None;
  }
}

bool OpenAccelerometerPort(const LinkContext& ctx) {
  AccelLinkState& a = ctx.link.accel;
  if (a.port->IsOpen()) return false;
  ctx.pump.ProcessPendingEvents();
  a.CommPort = ctx.settings.accelcomportnum;
  a.Settings = std::string(kAccelerometerSettings);
  const std::string path = SerialDevicePath(ctx.settings, a.CommPort);
  if (path.empty()) {
    ReportPortFailure(ctx, "COM" + std::to_string(a.CommPort),
                      PortStatus::Failed(PortErrorKind::NoDevice));
    return false;
  }
  // DTR is held high while the port is open: some sensors draw power from
  // it (a port without modem lines takes this as done). Flow control is a
  // setting, none unless the sensor asks for it.
  SerialSettings settings = *ParseSerialSettings(kAccelerometerSettings);
  settings.flow = AccelerometerFlowControl(ctx.settings.accelflowcontrol);
  PortStatus status = a.port->Open(path, settings);
  if (status.ok()) status = a.port->SetDtr(true);
  if (!status.ok()) {
    a.port->Close();
    ReportPortFailure(ctx, path, status, kAccelerometerSettings);
    return false;
  }
  ClearPortFailure(ctx.link, path);
  ctx.pump.ProcessPendingEvents();
  return a.port->IsOpen();
}

void WriteAccelerometer(const LinkContext& ctx, std::string_view text) {
  BytePort& port = *ctx.link.accel.port;
  if (!port.IsOpen()) return;
  if (const PortStatus status = port.Write(text); !status.ok()) PortFailed(ctx, status);
  ctx.pump.ProcessPendingEvents();
}

std::string ReadAccelerometerAll(const LinkContext& ctx) {
  return Drain(ctx, true);
}

PortResult StartStopAccelerometer(const LinkContext& ctx, bool start) {
  AccelLinkState& a = ctx.link.accel;
  if (!a.port->IsOpen()) OpenAccelerometerPort(ctx);
  const bool open = a.port->IsOpen();
  if (open && a.AccelStreaming != start) {
    WriteAccelerometer(ctx, std::string_view(&kAccelerometerSwitch, 1));
    a.AccelStreaming = start;
  }
  if (start) {
    ctx.link.CollectStartTicks = static_cast<std::uint32_t>(ctx.clock.Milliseconds());
    a.AccelStreamText.clear();
    a.AccelSearchStart = 1;
    ctx.trial.SampleCount = 0;
    ctx.link.LastTickSampleCount = 0;
  }
  return open ? PortResult::Open : PortResult::OpenFailed;
}

PortResult StartAccelerometerStream(const LinkContext& ctx) {
  return StartStopAccelerometer(ctx, true);
}

PortResult StopAccelerometerStream(const LinkContext& ctx) {
  return StartStopAccelerometer(ctx, false);
}

void FlushAccelerometerInput(const LinkContext& ctx) {
  Drain(ctx, false);
}

}  // namespace torvane
