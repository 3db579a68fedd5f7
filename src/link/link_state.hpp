#pragma once
// The interface link's state: the USB port layer, the ZRA7 protocol, the
// ZRA6 serial port, the accelerometer port and what the units said about
// themselves. One instance for the running program.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "common/clock.hpp"
#include "link/byte_port.hpp"
#include "link/usb_device.hpp"

namespace torvane {

inline constexpr std::size_t kUsbWriteBufferSize = 256;
inline constexpr std::size_t kUsbReadBufferSize = 4096;
inline constexpr std::size_t kZra7ReplyBufferSize = 4096;
inline constexpr std::size_t kZra7StatusWordWidth = 16;
inline constexpr std::size_t kZra7FirmwareVersionWidth = 20;
inline constexpr std::size_t kZra7SerialNumberWidth = 20;

// The USB port layer's module state.
struct UsbLinkState {
  UsbDevice device;
  std::uint32_t UsbHandle = 0;
  std::string UsbWriteBuffer = std::string(kUsbWriteBufferSize, ' ');
  std::uint32_t UsbBytesWritten = 0;
  std::string UsbReadBuffer = std::string(kUsbReadBufferSize, ' ');
  std::uint32_t UsbBytesRead = 0;
  std::uint32_t UsbRxQueue = 0;
  std::uint32_t UsbTxQueue = 0;      // filled by the status query, not used further
  std::uint32_t UsbEventStatus = 0;  // the same
  std::uint32_t UsbStatus = 0;       // last status of a write or a DTR change
  bool UsbPortIsOpen = false;
  std::string LastUsbMessage;
};

// The ZRA7 protocol's module state and its two window timers.
struct Zra7LinkState {
  std::int16_t Zra7State = 0;
  std::string Zra7ReplyBuffer = std::string(kZra7ReplyBufferSize, ' ');
  bool Zra7Found = false;
  bool Zra7Streaming = false;
  std::string Zra7StatusWord = std::string(kZra7StatusWordWidth, ' ');
  std::string Zra7FirmwareVersion = std::string(kZra7FirmwareVersionWidth, ' ');
  std::string Zra7SerialNumber = std::string(kZra7SerialNumberWidth, ' ');

  // One-shot reply timer and the 30 ms stream reader, created on first use.
  std::unique_ptr<Timer> USB_Read_Delay;
  std::unique_ptr<Timer> USB_Read_Period;
  // What a tick of the stream reader does; the collection installs it.
  std::function<void()> onStreamTick;
};

// The serial port of the ZRA6 (the main window's serial-port control) and
// what the ZRA6 and ZRA6+ identity replies and streams left behind.
struct SerialLinkState {
  std::unique_ptr<BytePort> port;
  std::int16_t CommPort = 0;
  std::string Settings;  // the settings text last given, " 115200,N,8,1"

  std::string UnitSerialNumber;
  std::string UnitVersion;
  std::string InterfaceInfoText;
  std::string StreamText;
  std::int32_t StreamSearchStart = 1;
  // A ZRA6+ stream has been started and not yet stopped.
  bool Zra6PlusStreaming = false;
  // Serial test windows shown: a byte sent by hand and the reply read later
  // belong to the user, so the analog-input readings leave the port alone.
  std::int32_t serialTestWindows = 0;
};

// The accelerometer's serial port and its stream text.
struct AccelLinkState {
  std::unique_ptr<BytePort> port;
  std::int16_t CommPort = 0;
  std::string Settings;
  std::string AccelStreamText;
  std::int32_t AccelSearchStart = 1;
  // The stream as last switched by a "1" sent from here: the command only
  // toggles, so whoever sends it next must know which way it goes.
  bool AccelStreaming = false;
};

struct LinkState {
  LinkState();

  UsbLinkState usb;
  Zra7LinkState zra7;
  SerialLinkState serial;
  AccelLinkState accel;

  // Millisecond tick count at the start of a stream, and the collection's
  // sample count as of its last monitor tick (both reset by a stream start).
  std::uint32_t CollectStartTicks = 0;
  std::int32_t LastTickSampleCount = 0;

  // Set once discovery has found a USB unit: the main menu then hides
  // "&Test Serial Interface" and shows "&View Analog Inputs".
  bool UsbUnitMenus = false;

  // Switches the collection monitor timer (tmrCheckStatus); the collection
  // installs it. The ZRA6+ stream start and stop use it.
  std::function<void(bool enable)> switchCollectionMonitor;

  // The operating system's reason last logged for each port path, so that a
  // port retried every 600 ms does not fill the status log with one line.
  std::map<std::string, std::string> reportedPortFailures;
};

}  // namespace torvane
