#pragma once
// The brake that loads the bar: setting its level on whichever unit is
// selected, and switching it at displacement zero crossings during a
// collection.

#include <cstdint>
#include <string>

#include "link/link_context.hpp"

namespace torvane {

// The parameter byte of the ZRA6 and ZRA6+ brake command: level × 255 / 100
// rounded with halves to even, kept within 0 … 255.
std::uint8_t BrakeLevelByte(double levelPercent);
// The ZRA7 command: "D2=", level × 4095 / 100 in single precision in the
// short numeric form, a carriage return ("D2= 2047.5\r").
std::string Zra7BrakeCommand(double levelPercent);

// Sends the level to the selected unit; always 0 (failures are the port
// layer's to handle).
std::int16_t SetBrakeLevel(const LinkContext& ctx, double levelPercent);

// Each model's brake command: the ZRA6 a byte command on its serial port, the
// ZRA6+ the same over USB (its reply read back), the ZRA7 "D2=" in counts.
void SendZra6BrakeLevel(const LinkContext& ctx, double levelPercent);
void SendZra6PlusBrakeLevel(const LinkContext& ctx, double levelPercent);
void SendZra7BrakeLevel(const LinkContext& ctx, double levelPercent);

// Run after each stored sample while BrakeLevel is not 0: switches the
// brake where the displacement crosses zero (with brakeabovezero set) and
// refreshes the status bar.
void BrakeControl(const LinkContext& ctx);
// The same for the pair of samples n - 1 and n (BrakeControl uses n =
// SampleCount). The ZRA6 and ZRA6+ decoders pass the last sample scaled in
// full, since the one at SampleCount is still provisional.
void BrakeControlAt(const LinkContext& ctx, std::int32_t n);

}  // namespace torvane
