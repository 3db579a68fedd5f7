#pragma once
// The byte protocol of the ZRA6 (on a serial port) and the ZRA6+ (the same
// bytes over the USB link): the serial access, the commands, the identity
// query and reply, and the stream start and stop.

#include <cstdint>
#include <string>
#include <string_view>

#include "link/link_context.hpp"
#include "link/link_result.hpp"

namespace torvane {

inline constexpr std::uint8_t kCmdSetBrakeLevel = 203;
inline constexpr std::uint8_t kCmdSetSamplePeriod = 204;
inline constexpr std::uint8_t kCmdSetChannelMask = 205;
inline constexpr std::uint8_t kCmdIdentity = 207;

inline constexpr std::string_view kInterfaceNotFound = "Interface unit has not been found";

// The two-byte command `code`, `parameter` (every parameter value is sent).
std::string ByteCommand(std::uint8_t code, std::uint8_t parameter);

// The sample period in whole milliseconds, 1000 / frequency rounded with
// halves to even, kept within 1 … 255 (what the byte can carry).
std::uint8_t SamplePeriodByte(double frequency);
// 1, 2, 4, 8 for channels 0 … 3; 0 for any other channel.
std::uint8_t ChannelMaskBit(int channel);
// Displacement alone (1), or displacement and force (3).
std::uint8_t CollectionChannelMask(bool recordForce);

// What an identity reply says.
struct UnitIdentity {
  bool found = false;
  int major = 0;
  int minor = 0;
  std::string serialNumber;  // UnitSerialNumber
  std::string version;       // UnitVersion
  std::string infoText;      // InterfaceInfoText
};
// Reads an identity reply. `serialSuffix` is what the ZRA6's info text ends
// with ("CommPort = 1 Settings:  115200,N,8,1"); `zra6` selects the ZRA6's
// forms of the version and info texts. A reply shorter than five bytes
// carries no version or serial number: not found.
UnitIdentity DecodeIdentityReply(std::string_view reply, bool zra6,
                                 std::string_view portDescription = {});

// Serial access of the ZRA6.
bool OpenSerialPort(const LinkContext& ctx);
// Opens the port when needed, writes, and waits (events running) until the
// output has gone; false when the port could not be opened or written.
bool WriteSerial(const LinkContext& ctx, std::string_view bytes);
// Everything buffered, gathered while events run; empty when the port
// cannot be opened.
std::string ReadSerialAll(const LinkContext& ctx);

// Waits until one second of the clock, counted from the nearest whole
// second, has passed, with events running.
void WaitOneSecond(const Clock& clock, EventPump& pump);

// The identity queries keep what the reply said (InterfaceInfoText,
// UnitVersion, UnitSerialNumber) in the link state: Found or NotFound.
DiscoveryResult QueryZra6Identity(const LinkContext& ctx);
// The same, with a message box when the unit did not answer.
DiscoveryResult CheckZra6Identity(const LinkContext& ctx);
DiscoveryResult QueryUsbIdentity(const LinkContext& ctx);

// The sample streams. A start resets the stream text and the sample
// counters; the ZRA6+ start and stop also switch the collection monitor.
// Each returns how its port went: the ZRA6's serial port Open or
// OpenFailed, the ZRA6+ the result of its USB open.
PortResult StartZra6Stream(const LinkContext& ctx);
PortResult StopZra6Stream(const LinkContext& ctx);
PortResult StartZra6PlusStream(const LinkContext& ctx);
PortResult StopZra6PlusStream(const LinkContext& ctx);

}  // namespace torvane
