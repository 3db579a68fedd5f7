#pragma once
// What the link's port operations and the search for a unit came to. The
// core decides on these values; the message texts belong to where they are
// shown or logged.

#include <string_view>

namespace torvane {

// The outcome of opening, closing or starting a stream on a port. The open
// sequence of the USB port layer fails at one of its steps, each with its
// own text; a serial port (ZRA6, accelerometer) is either open or not.
enum class PortResult {
  Open,                       // the port is open (also when it already was)
  Closed,                     // the port was closed
  CloseFailed,                // the close failed; the open flag stays as it was
  OpenFailed,                 // the device could not be opened
  DataRateFailed,             // the ZRA7's divisor was refused
  BaudRateFailed,             // the ZRA6+'s baud rate was refused
  DataCharacteristicsFailed,  // 8 data bits, 1 stop bit, no parity refused
  FlowControlFailed,
  TimeoutFailed,
  LatencyTimerFailed,
  InputBufferSizeFailed,
  PurgeFailed,
  Zra7NotFound,  // a ZRA7 stream was asked for before discovery found the unit
};

// The USB port layer's message for the outcome ("USB Port is open.", …).
std::string_view Text(PortResult result);

// The outcome of looking for the interface unit.
enum class DiscoveryResult {
  Found,
  NotFound,        // the port opened but no unit answered as expected
  PortFailed,      // the ZRA6's serial port could not be opened
  NoUnitSelected,  // the settings select none of the three models
};

}  // namespace torvane
