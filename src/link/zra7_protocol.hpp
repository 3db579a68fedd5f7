#pragma once
// The ZRA7's text protocol over the USB link: the command sequencer, the
// reply handler run by the one-shot reply timer, the comma-field helpers,
// the stream start and stop, the discovery exchange and the lowering of DTR
// at shutdown. Nothing here blocks except the discovery wait, which lets
// events (and so the reply timer) run throughout.

#include <cstdint>
#include <string>
#include <string_view>

#include "link/link_context.hpp"
#include "link/link_result.hpp"

namespace torvane {

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
void SendZra7Command(const LinkContext& ctx, std::int16_t code);
// (Re)starts the one-shot reply timer with a new interval.
void ArmReplyTimer(const LinkContext& ctx, std::uint32_t milliseconds);
// Run by the reply timer (USB_Read_Delay): reads the reply and acts on the
// last command sent.
void HandleZra7Reply(const LinkContext& ctx);

// Trims blanks from `text` (the caller's copy) and returns what comes before
// the first comma that is not the first character; empty without one.
std::string FirstField(std::string& text);
// What comes after the first comma that is not the first character, without
// leading blanks; empty without one.
std::string AfterFirstComma(std::string_view text);
// The same with "#" as the separator.
std::string AfterFirstHash(std::string_view text);

// Zra7NotFound without a found unit; otherwise how the open went, and Open
// means the stream has started.
PortResult StartZra7Stream(const LinkContext& ctx);
// Sends "U0" on the open port and returns how the close went.
PortResult StopZra7Stream(const LinkContext& ctx);
// At shutdown: open and close the port, then lower DTR.
void ShutdownZra7Link(const LinkContext& ctx);

// The discovery exchange: DTR raised, "VO", 2000 ms of events; whether an
// identity record came in that time.
bool RunZra7Discovery(const LinkContext& ctx);

}  // namespace torvane
