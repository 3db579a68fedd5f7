#pragma once
// The ZRA7's text protocol over the USB link: the command sequencer, the
// reply handler run by the one-shot reply timer, the comma-field helpers,
// the stream start and stop, the discovery exchange and the lowering of DTR
// at shutdown. Nothing here blocks except the discovery wait, which lets
// events (and so the reply timer) run throughout.

#include <cstdint>
#include <string>
#include <string_view>

namespace torvane {

struct Session;

// Command codes of the sequencer.
inline constexpr std::int16_t kZra7Identity = 10;    // "VO"
inline constexpr std::int16_t kZra7Parameters = 20;  // "VH"
inline constexpr std::int16_t kZra7LowerDtr = 252;
inline constexpr std::int16_t kZra7RaiseDtr = 255;

inline constexpr std::uint32_t kZra7ReplyWaitMs = 600;
inline constexpr std::uint32_t kZra7DtrWaitMs = 200;
inline constexpr std::uint32_t kZra7DiscoveryWaitMs = 2000;
inline constexpr std::uint32_t kZra7StreamPeriodMs = 30;

// Sends the command of `code` (or changes DTR) and arms the reply timer.
void SendZra7Command(Session& session, std::int16_t code);
// (Re)starts the one-shot reply timer with a new interval.
void ArmReplyTimer(Session& session, std::uint32_t milliseconds);
// The tick of the reply timer: reads the reply and acts on the last command.
void USB_Read_Delay_Timer(Session& session);

// Trims blanks from `text` (the caller's copy) and returns what comes before
// the first comma that is not the first character; empty without one.
std::string FirstField(std::string& text);
// What comes after the first comma that is not the first character, without
// leading blanks; empty without one.
std::string AfterFirstComma(std::string_view text);
// The same with "#" as the separator.
std::string AfterFirstHash(std::string_view text);

// "ZRA7 not found" without a found unit; otherwise the text of the open,
// and "USB Port is open." means the stream has started.
std::string StartZra7Stream(Session& session);
// Sends "U0" on the open port and returns the text of the close.
std::string StopZra7Stream(Session& session);
// At shutdown: open and close the port, then lower DTR.
void ShutdownZra7Link(Session& session);

// The discovery exchange: DTR raised, "VO", 2000 ms of events; whether an
// identity record came in that time.
bool RunZra7Discovery(Session& session);

}  // namespace torvane
