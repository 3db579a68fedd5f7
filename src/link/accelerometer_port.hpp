#pragma once
// The accelerometer's own serial port: opening it, sending it commands,
// reading what it sends, and switching its stream with "1".

#include <string>
#include <string_view>

namespace torvane {

struct Session;

inline constexpr std::string_view kAccelerometerSettings = "2400,N,8,1";

// False when the port is already open (nothing is done then) or cannot be
// opened; true when this call opened it.
bool OpenAccelerometerPort(Session& session);
// Sends the text when the port is open, then lets events run once.
void WriteAccelerometer(Session& session, std::string_view text);
// Everything buffered, gathered while events run; empty when closed.
std::string ReadAccelerometerAll(Session& session);
// Opens the port when closed and sends "1", which switches the stream; a
// start also resets the stream text and the sample counters.
void StartStopAccelerometer(Session& session, bool start);
// Discards what is buffered, events running.
void FlushAccelerometerInput(Session& session);

}  // namespace torvane
