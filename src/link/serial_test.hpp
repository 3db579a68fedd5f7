#pragma once
// The serial test of the ZRA6 ("Test Serial Interface"): the unit's
// identity, the bytes waiting on its port, one command byte sent by hand,
// and what came back. None of it runs while a collection or a zeroing
// reading holds the unit: a byte sent then would change its stream.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "link/link_context.hpp"

namespace torvane {

inline constexpr std::string_view kSerialTestTitle = "Test Serial Interface";
inline constexpr std::string_view kCommandByteRefused =
    "The command to send is one byte: a whole number from 0 to 255.";
inline constexpr std::string_view kBrakeByteTitle = "Brake command";
inline constexpr std::string_view kBrakeByteQuestion =
    "Byte 203 is the brake command: the next byte sent sets the brake level, and the brake "
    "acts at once. Send it?";
inline constexpr std::string_view kUnitInUse =
    "A collection or a zeroing reading is using the interface unit. Try again when it has "
    "finished.";

// The command byte a text stands for: digits only (blanks around them
// allowed), 0 … 255.
std::optional<std::uint8_t> CommandByteOf(std::string_view text);
// Whether the send box may hold `text` while it is typed: at most three
// digits of a value up to 255 (empty included).
bool CommandByteTypable(std::string_view text);

enum class SendOutcome { Sent, Refused, Cancelled, PortFailed, UnitInUse };
// Sends the box's byte with WriteSerial. A box that holds no byte is
// refused with a message; byte 203 is sent only when the user says yes.
SendOutcome SendCommandByte(const LinkContext& ctx, std::string_view text, bool trialInUse);

// Bytes as the response box shows them: printable characters as they are,
// every other byte as its value in angle brackets ("<18>").
std::string ResponseText(std::string_view bytes);
// Everything the unit has sent (ReadSerialAll), shown as above; nothing
// while the unit is in use.
std::optional<std::string> ReadResponse(const LinkContext& ctx, bool trialInUse);
// The bytes waiting on the open serial port; nothing when it is closed.
std::optional<std::size_t> SerialBytesWaiting(const LinkContext& ctx);
// The identity text of QueryZra6Identity; nothing while the unit is in use.
std::optional<std::string> SerialSystemInformation(const LinkContext& ctx, bool trialInUse);

}  // namespace torvane
