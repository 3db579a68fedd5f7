#pragma once
// The units' side of the wire formats: the ZRA6/ZRA6+ identity reply and
// sample frames, the ZRA7 identity record, parameter list and sample
// frames, and the accelerometer's readings.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace torvane::sim {

inline constexpr std::uint8_t kSyncByte = 221;

// 207, the version byte (major high, minor low), and the six serial-number
// digits packed two to a byte. `serialDigits` holds six digits 0 … 9.
std::string EncodeByteIdentityReply(int major, int minor, std::string_view serialDigits);

// The sync byte, then each value as a 12-bit big-endian pair. Values are
// sent as given (a corrupted frame carries 4096 or more).
std::string EncodeZra6Frame(std::span<const std::int64_t> values);

// "OK,<maker>,<text>,ZRA7,<firmware>,<serial>,600,\r\n"
std::string EncodeZra7Identity(std::string_view firmware, std::string_view serial);
// Twelve integers: five channel pairs (offset, full scale), the rate and the
// channel count.
std::string EncodeZra7Parameters();
// "#f1,f2,f3,f4,f5,f6,check,sequence,\r\n": four force channels, the
// displacement and the sixth channel as 16-bit values (written signed when
// their top bit is set), and their sum modulo 65536 (plus `checkError`).
std::string EncodeZra7Frame(const std::array<std::int64_t, 6>& fields, std::uint32_t sequence,
                            std::int64_t checkError = 0);

// "X=" and a reading in g with three decimals, then CR LF.
std::string EncodeAccelerometerReading(double g);

// The four force channels of a ZRA7 for a total count: as equal as can be.
std::array<std::int64_t, 4> SplitForce(std::int64_t total);

}  // namespace torvane::sim
