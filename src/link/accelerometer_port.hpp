#pragma once
// The accelerometer's own serial port: opening it, sending it commands,
// reading what it sends, and switching its stream with "1".

#include <cstdint>
#include <string>
#include <string_view>

#include "link/link_context.hpp"
#include "link/link_result.hpp"

namespace torvane {

inline constexpr std::string_view kAccelerometerSettings = "2400,N,8,1";
// The command that switches the accelerometer's stream on and off.
inline constexpr char kAccelerometerSwitch = '1';
// The flow control of the accelerometer's port (setting accelflowcontrol),
// numbered as serial-port controls number their handshaking.
inline constexpr std::int16_t kAccelFlowNone = 0;
inline constexpr std::int16_t kAccelFlowXonXoff = 1;
inline constexpr std::int16_t kAccelFlowRtsCts = 2;

FlowControl AccelerometerFlowControl(std::int16_t setting);

// False when the port is already open (nothing is done then) or cannot be
// opened; true when this call opened it.
bool OpenAccelerometerPort(const LinkContext& ctx);
// Sends the text when the port is open, then lets events run once.
void WriteAccelerometer(const LinkContext& ctx, std::string_view text);
// Everything buffered, gathered while events run; empty when closed.
std::string ReadAccelerometerAll(const LinkContext& ctx);
// Opens the port when closed and sends "1", which switches the stream, when
// the stream is not already as asked (the management window may have
// switched it on by hand: a start then must not switch it off); a start
// also resets the stream text and the sample counters. Open when the port
// is open afterwards, else OpenFailed (and nothing was sent).
PortResult StartStopAccelerometer(const LinkContext& ctx, bool start);
// The same as a start and as a stop.
PortResult StartAccelerometerStream(const LinkContext& ctx);
PortResult StopAccelerometerStream(const LinkContext& ctx);
// Discards what is buffered, events running.
void FlushAccelerometerInput(const LinkContext& ctx);

}  // namespace torvane
