#pragma once
// The accelerometer management window's work ("Accelerometer management"):
// opening the accelerometer's port, sending it typed commands, switching
// its stream, and gathering what it sends for the window to show. The
// window's 100 ms tick pauses while a collection or a zeroing reading
// holds the port: the collection reads it then, and every reading taken
// here would be lost to the trial.

#include <cstddef>
#include <string>
#include <string_view>

#include "link/link_context.hpp"

namespace torvane {

inline constexpr std::uint32_t kAccelerometerWindowTickMs = 100;
// The received text the window keeps; older text is dropped.
inline constexpr std::size_t kAccelerometerOutputLimit = 32 * 1024;
enum class AccelPortOutcome { Opened, AlreadyOpen, Failed };

struct AccelerometerWindow {
  std::string output;  // LabelAccelerometerOutput
  bool timerOn = false;
  bool paused = false;
  AccelPortOutcome port = AccelPortOutcome::Failed;
  bool initialised = false;  // Initialise has been pressed
};

// Opens the port (a port that is open already is as good) and lets the
// timer read it.
AccelPortOutcome InitialiseAccelerometer(const LinkContext& ctx, AccelerometerWindow& window);
// Sends the typed text, one character at a time; each "1" switches the
// stream. False (nothing sent) while the trial is in use or the port is closed.
bool SendAccelerometerKeys(const LinkContext& ctx, std::string_view keys, bool trialInUse);
// Switches the stream the other way (opening the port first when needed).
bool ToggleAccelerometerStream(const LinkContext& ctx, bool trialInUse);
// The timer tick: appends what arrived, unless the trial is in use; how
// many bytes arrived.
std::size_t AccelerometerWindowTick(const LinkContext& ctx, AccelerometerWindow& window,
                                    bool trialInUse);
void ClearAccelerometerOutput(AccelerometerWindow& window);
// The window's state line: the port's path and whether it is open, the
// stream as last switched, and the pause during a collection.
std::string AccelerometerStateText(const LinkContext& ctx, const AccelerometerWindow& window);
// The caption of the stream button: what pressing it does.
std::string_view StreamButtonCaption(const LinkContext& ctx);

}  // namespace torvane
