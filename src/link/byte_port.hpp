#pragma once
// A serial byte port behind a small set of operations, so that a real
// serial device, a pseudo-terminal and an in-memory loopback are
// interchangeable under the USB port layer, the ZRA6 serial access and the
// accelerometer. Every operation returns its outcome; none throws, none
// waits for data that has not arrived, and a write waits only as long as
// its time limit.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "link/port_status.hpp"

namespace torvane {

enum class Parity { None, Odd, Even };
enum class FlowControl { None, RtsCts, XonXoff };

struct SerialSettings {
  std::uint32_t baud = 9600;
  Parity parity = Parity::None;
  int dataBits = 8;  // 5 … 8
  int stopBits = 1;  // 1 or 2
  FlowControl flow = FlowControl::None;

  bool operator==(const SerialSettings&) const = default;
};

// Reads a settings text of the form "baud,parity,data,stop" ("115200,N,8,1",
// " 2400,n,8,1"); blanks around the parts are ignored. Nothing when the
// text is not of that form.
std::optional<SerialSettings> ParseSerialSettings(std::string_view text);
// "500000,N,8,1".
std::string SerialSettingsText(const SerialSettings& settings);

// How long a write may wait for the device to take its bytes when the
// caller gives no limit of its own.
inline constexpr std::uint32_t kDefaultWriteLimitMilliseconds = 1000;

struct PortCount {
  PortStatus status;
  std::size_t count = 0;
};

class BytePort {
 public:
  virtual ~BytePort() = default;

  // Opens the device at `path` and applies `settings`. An open port is
  // closed first.
  virtual PortStatus Open(const std::string& path, const SerialSettings& settings) = 0;
  // Applies new settings to the open port.
  virtual PortStatus Configure(const SerialSettings& settings) = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  virtual const std::string& Path() const = 0;
  virtual const SerialSettings& Settings() const = 0;

  // Raises or lowers DTR. A port without modem lines (a pseudo-terminal)
  // accepts this as done.
  virtual PortStatus SetDtr(bool high) = 0;
  // Discards the bytes received and not yet read, the bytes not yet sent, or both.
  virtual PortStatus Purge(bool input, bool output) = 0;
  // Bytes received and waiting to be read.
  virtual PortCount BytesWaiting() = 0;
  // Bytes written and not yet sent.
  virtual PortCount OutputPending() = 0;
  // Appends to `out` what is waiting, at most `maxBytes`; never waits.
  virtual PortStatus ReadAvailable(std::string& out, std::size_t maxBytes) = 0;
  // Sends every byte (0 and 32 included), waiting at most `limitMilliseconds`
  // for the device to take them.
  virtual PortStatus Write(std::string_view bytes,
                           std::uint32_t limitMilliseconds = kDefaultWriteLimitMilliseconds) = 0;
};

}  // namespace torvane
