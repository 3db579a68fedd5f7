#include "link/accelerometer_port.hpp"

#include "link/port_access.hpp"
#include "shell/session.hpp"

namespace torvane {

namespace {

constexpr std::uint32_t kDrainLimitMs = 1000;
constexpr std::size_t kDrainLimitBytes = 1 << 20;
constexpr std::size_t kInputChunk = 4096;

AccelLinkState& Accel(Session& session) {
  return session.link.accel;
}

void PortFailed(Session& session, const PortStatus& status) {
  BytePort& port = *Accel(session).port;
  ReportPortFailure(session, port.Path(), status);
  if (status.kind == PortErrorKind::IoError) port.Close();
}

// Reads (keeping or discarding) until nothing more is buffered; a sensor
// that never stops sending ends the loop after a second.
std::string Drain(Session& session, bool keep) {
  BytePort& port = *Accel(session).port;
  std::string gathered;
  if (!port.IsOpen()) return gathered;
  const Clock& clock = session.clock();
  const std::uint64_t start = clock.Milliseconds();
  for (;;) {
    std::string chunk;
    const PortStatus read = port.ReadAvailable(chunk, kInputChunk);
    if (keep) gathered += chunk;
    if (!read.ok()) {
      PortFailed(session, read);
      break;
    }
    session.pump().ProcessPendingEvents();
    const PortCount waiting = port.BytesWaiting();
    if (!waiting.status.ok() || waiting.count < 1) break;
    if (gathered.size() >= kDrainLimitBytes || clock.Milliseconds() - start > kDrainLimitMs) break;
  }
  return gathered;
}

}  // namespace

bool OpenAccelerometerPort(Session& session) {
  AccelLinkState& a = Accel(session);
  if (a.port->IsOpen()) return false;
  session.pump().ProcessPendingEvents();
  a.CommPort = session.settings.accelcomportnum;
  a.Settings = std::string(kAccelerometerSettings);
  const std::string path = SerialDevicePath(session.settings, a.CommPort);
  if (path.empty()) {
    ReportPortFailure(session, "COM" + std::to_string(a.CommPort),
                      PortStatus::Failed(PortErrorKind::NoDevice));
    return false;
  }
  // The further setting of the port, value 2, is taken as "modem lines
  // raised while open": DTR held high, which some sensors draw power from
  // (a port without modem lines takes this as done).
  PortStatus status = a.port->Open(path, *ParseSerialSettings(kAccelerometerSettings));
  if (status.ok()) status = a.port->SetDtr(true);
  if (!status.ok()) {
    a.port->Close();
    ReportPortFailure(session, path, status, kAccelerometerSettings);
    return false;
  }
  ClearPortFailure(session, path);
  session.pump().ProcessPendingEvents();
  return a.port->IsOpen();
}

void WriteAccelerometer(Session& session, std::string_view text) {
  BytePort& port = *Accel(session).port;
  if (!port.IsOpen()) return;
  if (const PortStatus status = port.Write(text); !status.ok()) PortFailed(session, status);
  session.pump().ProcessPendingEvents();
}

std::string ReadAccelerometerAll(Session& session) {
  return Drain(session, true);
}

void StartStopAccelerometer(Session& session, bool start) {
  if (!Accel(session).port->IsOpen()) OpenAccelerometerPort(session);
  WriteAccelerometer(session, "1");
  if (start) {
    session.link.CollectStartTicks = static_cast<std::uint32_t>(session.clock().Milliseconds());
    Accel(session).AccelStreamText.clear();
    Accel(session).AccelSearchStart = 1;
    session.trial.SampleCount = 0;
    session.link.LastTickSampleCount = 0;
  }
}

void FlushAccelerometerInput(Session& session) {
  Drain(session, false);
}

}  // namespace torvane
