#include "link/zra6_protocol.hpp"

#include <cmath>

#include "common/number_text.hpp"
#include "link/port_access.hpp"
#include "link/usb_port.hpp"

namespace torvane {

namespace {

constexpr std::uint32_t kReadAllLimitMs = 1000;
constexpr std::size_t kReadAllLimitBytes = 1 << 20;
// What one look at the input takes, as the serial-port control hands it over.
constexpr std::size_t kInputChunk = 4096;
constexpr std::uint32_t kOutputDrainSlackMs = 1000;

std::string Nibbles(std::uint8_t byte) {
  return std::to_string(byte >> 4) + std::to_string(byte & 0x0F);
}

// The serial port is closed after an I/O failure so that the next use
// opens it afresh (the adapter may have been unplugged and put back).
void PortFailed(const LinkContext& ctx, const PortStatus& status) {
  BytePort& port = *ctx.link.serial.port;
  ReportPortFailure(ctx, port.Path(), status);
  if (status.kind == PortErrorKind::IoError || status.kind == PortErrorKind::NotOpen) port.Close();
}

void ResetStreamCounters(const LinkContext& ctx) {
  SerialLinkState& s = ctx.link.serial;
  ctx.link.CollectStartTicks = static_cast<std::uint32_t>(ctx.clock.Milliseconds());
  s.StreamText.clear();
  s.StreamSearchStart = 1;
  ctx.trial.SampleCount = 0;
  ctx.trial.RawSampleIndex = 0;
  ctx.link.LastTickSampleCount = 0;
}

DiscoveryResult ApplyIdentity(SerialLinkState& s, const UnitIdentity& id) {
  s.InterfaceInfoText = id.infoText;
  if (!id.found) return DiscoveryResult::NotFound;
  s.UnitSerialNumber = id.serialNumber;
  s.UnitVersion = id.version;
  return DiscoveryResult::Found;
}

// Open when the serial port is open or could be opened now.
bool SerialPortReady(const LinkContext& ctx) {
  return ctx.link.serial.port->IsOpen() || OpenSerialPort(ctx);
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

bool OpenSerialPort(const LinkContext& ctx) {
  SerialLinkState& s = ctx.link.serial;
  s.CommPort = ctx.settings.comportnum;
  s.Settings = ShortNumericText(std::int64_t{ctx.settings.baudrate}) + ",N,8,1";
  const std::string path = SerialDevicePath(ctx.settings, s.CommPort);
  if (path.empty()) {
    ReportPortFailure(ctx, "COM" + std::to_string(s.CommPort),
                      PortStatus::Failed(PortErrorKind::NoDevice));
    return false;
  }
  const auto settings = ParseSerialSettings(s.Settings);
  if (!settings) {
    ReportPortFailure(ctx, path, PortStatus::Failed(PortErrorKind::BadSettings), s.Settings);
    return false;
  }
  PortStatus status = s.port->Open(path, *settings);
  if (status.ok()) status = s.port->Write(ByteCommand(kCmdSetChannelMask, 0));
  if (!status.ok()) {
    s.port->Close();
    ReportPortFailure(ctx, path, status, s.Settings);
    return false;
  }
  ClearPortFailure(ctx.link, path);
  return true;
}

bool WriteSerial(const LinkContext& ctx, std::string_view bytes) {
  BytePort& port = *ctx.link.serial.port;
  if (!port.IsOpen() && !OpenSerialPort(ctx)) return false;
  if (const PortStatus status = port.Write(bytes); !status.ok()) {
    PortFailed(ctx, status);
    return false;
  }
  // The time the bytes take on the wire, and some slack; never longer.
  const std::uint32_t baud = port.Settings().baud == 0 ? 9600 : port.Settings().baud;
  const std::uint32_t limit =
      kOutputDrainSlackMs + static_cast<std::uint32_t>(bytes.size() * 10 * 1000 / baud);
  WaitUntil(ctx.clock, ctx.pump, limit, [&port] {
    const PortCount pending = port.OutputPending();
    return !pending.status.ok() || pending.count == 0;
  });
  return true;
}

std::string ReadSerialAll(const LinkContext& ctx) {
  BytePort& port = *ctx.link.serial.port;
  std::string gathered;
  if (!port.IsOpen() && !OpenSerialPort(ctx)) return gathered;
  // A unit that keeps sending could keep this loop going: it stops after a
  // second, or a megabyte, whichever comes first.
  const Clock& clock = ctx.clock;
  const std::uint64_t start = clock.Milliseconds();
  for (;;) {
    ctx.pump.ProcessPendingEvents();
    const PortStatus read = port.ReadAvailable(gathered, kInputChunk);
    if (!read.ok()) {
      PortFailed(ctx, read);
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

void WaitOneSecond(const Clock& clock, EventPump& pump) {
  // Whole seconds of the monotonic clock stand in for the time of day, so
  // the wait also ends across midnight.
  const double start = RoundHalfEven(static_cast<double>(clock.Milliseconds()) / 1000.0) * 1000.0;
  WaitUntil(clock, pump, 2000,
            [&] { return static_cast<double>(clock.Milliseconds()) - start >= 1000.0; });
}

DiscoveryResult QueryZra6Identity(const LinkContext& ctx) {
  SerialLinkState& s = ctx.link.serial;
  WriteSerial(ctx, std::string(1, static_cast<char>(kCmdIdentity)));
  WaitOneSecond(ctx.clock, ctx.pump);
  const std::string reply = ReadSerialAll(ctx);
  return ApplyIdentity(
      s, DecodeIdentityReply(
             reply, true, "CommPort = " + std::to_string(s.CommPort) + " Settings: " + s.Settings));
}

DiscoveryResult CheckZra6Identity(const LinkContext& ctx) {
  const DiscoveryResult found = QueryZra6Identity(ctx);
  if (found != DiscoveryResult::Found) {
    ctx.dialogs.ShowMessage(MessageIcon::Information, "ZRA Interface NOT Found",
                            kInterfaceNotFound);
  }
  return found;
}

DiscoveryResult QueryUsbIdentity(const LinkContext& ctx) {
  OpenUsbPort(ctx);
  UsbPurge(ctx);
  UsbWrite(ctx, std::string(1, static_cast<char>(kCmdIdentity)));
  WaitOneSecond(ctx.clock, ctx.pump);
  return ApplyIdentity(ctx.link.serial, DecodeIdentityReply(UsbRead(ctx), false));
}

PortResult StartZra6Stream(const LinkContext& ctx) {
  const SettingsRecord& st = ctx.settings;
  const bool ready = SerialPortReady(ctx);
  if (ready) {
    WriteSerial(ctx, ByteCommand(kCmdSetSamplePeriod, SamplePeriodByte(st.frequency)));
    WriteSerial(ctx, ByteCommand(kCmdSetChannelMask, CollectionChannelMask(st.RecordForce)));
  }
  ResetStreamCounters(ctx);
  return ready ? PortResult::Open : PortResult::OpenFailed;
}

PortResult StopZra6Stream(const LinkContext& ctx) {
  if (!SerialPortReady(ctx)) return PortResult::OpenFailed;
  WriteSerial(ctx, ByteCommand(kCmdSetChannelMask, 0));
  return PortResult::Open;
}

PortResult StartZra6PlusStream(const LinkContext& ctx) {
  const SettingsRecord& st = ctx.settings;
  const PortResult opened = OpenUsbPort(ctx);
  UsbPurge(ctx);
  UsbWrite(ctx, ByteCommand(kCmdSetSamplePeriod, SamplePeriodByte(st.frequency)));
  UsbWrite(ctx, ByteCommand(kCmdSetChannelMask, CollectionChannelMask(st.RecordForce)));
  ResetStreamCounters(ctx);
  ctx.link.serial.Zra6PlusStreaming = true;
  if (ctx.link.switchCollectionMonitor) ctx.link.switchCollectionMonitor(true);
  return opened;
}

PortResult StopZra6PlusStream(const LinkContext& ctx) {
  const PortResult opened = OpenUsbPort(ctx);
  UsbWrite(ctx, ByteCommand(kCmdSetChannelMask, 0));
  ctx.link.serial.Zra6PlusStreaming = false;
  if (ctx.link.switchCollectionMonitor) ctx.link.switchCollectionMonitor(false);
  return opened;
}

}  // namespace torvane
