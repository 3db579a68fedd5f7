#include "link/zra6_protocol.hpp"

#include <cmath>

#include "common/number_text.hpp"
#include "link/port_access.hpp"
#include "link/usb_port.hpp"
#include "shell/session.hpp"

namespace torvane {

namespace {

constexpr std::uint32_t kReadAllLimitMs = 1000;
constexpr std::size_t kReadAllLimitBytes = 1 << 20;
// What one look at the input takes, as the serial-port control hands it over.
constexpr std::size_t kInputChunk = 4096;
constexpr std::uint32_t kOutputDrainSlackMs = 1000;

SerialLinkState& Serial(Session& session) {
  return session.link.serial;
}

std::string Nibbles(std::uint8_t byte) {
  return std::to_string(byte >> 4) + std::to_string(byte & 0x0F);
}

// The serial port is closed after an I/O failure so that the next use
// opens it afresh (the adapter may have been unplugged and put back).
void PortFailed(Session& session, const PortStatus& status) {
  BytePort& port = *Serial(session).port;
  ReportPortFailure(session, port.Path(), status);
  if (status.kind == PortErrorKind::IoError || status.kind == PortErrorKind::NotOpen) port.Close();
}

void ResetStreamCounters(Session& session) {
  SerialLinkState& s = Serial(session);
  session.link.CollectStartTicks = static_cast<std::uint32_t>(session.clock().Milliseconds());
  s.StreamText.clear();
  s.StreamSearchStart = 1;
  session.trial.SampleCount = 0;
  session.trial.RawSampleIndex = 0;
  session.link.LastTickSampleCount = 0;
}

void ApplyIdentity(Session& session, const UnitIdentity& id) {
  SerialLinkState& s = Serial(session);
  s.InterfaceInfoText = id.infoText;
  if (id.found) {
    s.UnitSerialNumber = id.serialNumber;
    s.UnitVersion = id.version;
  }
}

}  // namespace

std::string ByteCommand(std::uint8_t code, std::uint8_t parameter) {
  std::string bytes;
  bytes.push_back(static_cast<char>(code));
  bytes.push_back(static_cast<char>(parameter));
  return bytes;
}

std::uint8_t SamplePeriodByte(double frequency) {
  if (!(frequency > 0)) return 255;
  const double period = RoundHalfEven(1000.0 / frequency);
  if (period < 1) return 1;
  if (period > 255) return 255;
  return static_cast<std::uint8_t>(period);
}

std::uint8_t ChannelMaskBit(int channel) {
  return channel >= 0 && channel <= 3 ? static_cast<std::uint8_t>(1u << channel) : 0;
}

std::uint8_t CollectionChannelMask(bool recordForce) {
  return static_cast<std::uint8_t>(ChannelMaskBit(0) | (recordForce ? ChannelMaskBit(1) : 0));
}

UnitIdentity DecodeIdentityReply(std::string_view reply, bool zra6,
                                 std::string_view portDescription) {
  UnitIdentity id;
  if (reply.size() < 5) {
    id.infoText = std::string(kInterfaceNotFound);
    return id;
  }
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(reply[i]); };
  id.found = true;
  id.major = byte(1) >> 4;
  id.minor = byte(1) & 0x0F;
  id.serialNumber = Nibbles(byte(2)) + Nibbles(byte(3)) + Nibbles(byte(reply.size() - 1));
  id.version = "V" + std::to_string(id.major) + "." + std::to_string(id.minor);
  if (zra6) id.version += "  SN " + id.serialNumber;
  id.infoText = "System Information\nVersion " + ShortNumericText(id.major) + "." +
                ShortNumericText(id.minor) + "\nSerial No. " + id.serialNumber + "\n";
  if (zra6) id.infoText += std::string(portDescription);
  return id;
}

bool OpenSerialPort(Session& session) {
  SerialLinkState& s = Serial(session);
  s.CommPort = session.settings.comportnum;
  s.Settings = ShortNumericText(std::int64_t{session.settings.baudrate}) + ",N,8,1";
  const std::string path = SerialDevicePath(session.settings, s.CommPort);
  if (path.empty()) {
    ReportPortFailure(session, "COM" + std::to_string(s.CommPort),
                      PortStatus::Failed(PortErrorKind::NoDevice));
    return false;
  }
  const auto settings = ParseSerialSettings(s.Settings);
  if (!settings) {
    ReportPortFailure(session, path, PortStatus::Failed(PortErrorKind::BadSettings), s.Settings);
    return false;
  }
  PortStatus status = s.port->Open(path, *settings);
  if (status.ok()) status = s.port->Write(ByteCommand(kCmdSetChannelMask, 0));
  if (!status.ok()) {
    s.port->Close();
    ReportPortFailure(session, path, status, s.Settings);
    return false;
  }
  ClearPortFailure(session, path);
  return true;
}

bool WriteSerial(Session& session, std::string_view bytes) {
  BytePort& port = *Serial(session).port;
  if (!port.IsOpen() && !OpenSerialPort(session)) return false;
  if (const PortStatus status = port.Write(bytes); !status.ok()) {
    PortFailed(session, status);
    return false;
  }
  // The time the bytes take on the wire, and some slack; never longer.
  const std::uint32_t baud = port.Settings().baud == 0 ? 9600 : port.Settings().baud;
  const std::uint32_t limit =
      kOutputDrainSlackMs + static_cast<std::uint32_t>(bytes.size() * 10 * 1000 / baud);
  WaitUntil(session.clock(), session.pump(), limit, [&port] {
    const PortCount pending = port.OutputPending();
    return !pending.status.ok() || pending.count == 0;
  });
  return true;
}

std::string ReadSerialAll(Session& session) {
  BytePort& port = *Serial(session).port;
  std::string gathered;
  if (!port.IsOpen() && !OpenSerialPort(session)) return gathered;
  // A unit that keeps sending could keep this loop going: it stops after a
  // second, or a megabyte, whichever comes first.
  const Clock& clock = session.clock();
  const std::uint64_t start = clock.Milliseconds();
  for (;;) {
    session.pump().ProcessPendingEvents();
    const PortStatus read = port.ReadAvailable(gathered, kInputChunk);
    if (!read.ok()) {
      PortFailed(session, read);
      break;
    }
    const PortCount waiting = port.BytesWaiting();
    if (!waiting.status.ok() || waiting.count == 0) break;
    if (gathered.size() >= kReadAllLimitBytes || clock.Milliseconds() - start > kReadAllLimitMs) {
      break;
    }
  }
  return gathered;
}

void WaitOneSecond(Session& session) {
  const Clock& clock = session.clock();
  // Whole seconds of the monotonic clock stand in for the time of day, so
  // the wait also ends across midnight.
  const double start = RoundHalfEven(static_cast<double>(clock.Milliseconds()) / 1000.0) * 1000.0;
  WaitUntil(clock, session.pump(), 2000,
            [&] { return static_cast<double>(clock.Milliseconds()) - start >= 1000.0; });
}

std::string QueryZra6Identity(Session& session) {
  WriteSerial(session, std::string(1, static_cast<char>(kCmdIdentity)));
  WaitOneSecond(session);
  const std::string reply = ReadSerialAll(session);
  const SerialLinkState& s = Serial(session);
  ApplyIdentity(session, DecodeIdentityReply(reply, true,
                                             "CommPort = " + std::to_string(s.CommPort) +
                                                 " Settings: " + s.Settings));
  return Serial(session).InterfaceInfoText;
}

bool CheckZra6Identity(Session& session) {
  if (QueryZra6Identity(session) == kInterfaceNotFound) {
    session.dialogs().ShowMessage(MessageIcon::Information, "ZRA Interface NOT Found",
                                  kInterfaceNotFound);
    return false;
  }
  return true;
}

std::string QueryUsbIdentity(Session& session) {
  OpenUsbPort(session);
  UsbPurge(session);
  UsbWrite(session, std::string(1, static_cast<char>(kCmdIdentity)));
  WaitOneSecond(session);
  ApplyIdentity(session, DecodeIdentityReply(UsbRead(session), false));
  return Serial(session).InterfaceInfoText;
}

void StartZra6Stream(Session& session) {
  const SettingsRecord& st = session.settings;
  if (Serial(session).port->IsOpen() || OpenSerialPort(session)) {
    WriteSerial(session, ByteCommand(kCmdSetSamplePeriod, SamplePeriodByte(st.frequency)));
    WriteSerial(session, ByteCommand(kCmdSetChannelMask, CollectionChannelMask(st.RecordForce)));
  }
  ResetStreamCounters(session);
}

void StopZra6Stream(Session& session) {
  if (Serial(session).port->IsOpen() || OpenSerialPort(session)) {
    WriteSerial(session, ByteCommand(kCmdSetChannelMask, 0));
  }
}

void StartZra6PlusStream(Session& session) {
  const SettingsRecord& st = session.settings;
  OpenUsbPort(session);
  UsbPurge(session);
  UsbWrite(session, ByteCommand(kCmdSetSamplePeriod, SamplePeriodByte(st.frequency)));
  UsbWrite(session, ByteCommand(kCmdSetChannelMask, CollectionChannelMask(st.RecordForce)));
  ResetStreamCounters(session);
  Serial(session).Zra6PlusStreaming = true;
  if (session.link.switchCollectionMonitor) session.link.switchCollectionMonitor(true);
}

void StopZra6PlusStream(Session& session) {
  OpenUsbPort(session);
  UsbWrite(session, ByteCommand(kCmdSetChannelMask, 0));
  Serial(session).Zra6PlusStreaming = false;
  if (session.link.switchCollectionMonitor) session.link.switchCollectionMonitor(false);
}

}  // namespace torvane
