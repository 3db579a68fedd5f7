#include "sim/frame_encoding.hpp"

#include <cstdio>

namespace torvane::sim {

namespace {

// A 16-bit value as the ZRA7 writes it: the top half of the range reads as
// negative.
std::int64_t Signed16(std::int64_t value) {
  const std::int64_t v = value & 0xFFFF;
  return v >= 32768 ? v - 65536 : v;
}

}  // namespace

std::string EncodeByteIdentityReply(int major, int minor, std::string_view serialDigits) {
  std::string digits(serialDigits.substr(0, 6));
  digits.resize(6, '0');
  const auto pair = [&](std::size_t i) {
    return static_cast<char>(((digits[i] - '0') << 4) | (digits[i + 1] - '0'));
  };
  std::string reply;
  reply.push_back(static_cast<char>(207));
  reply.push_back(static_cast<char>(((major & 0x0F) << 4) | (minor & 0x0F)));
  reply.push_back(pair(0));
  reply.push_back(pair(2));
  reply.push_back(pair(4));
  return reply;
}

std::string EncodeZra6Frame(std::span<const std::int64_t> values) {
  std::string frame(1, static_cast<char>(kSyncByte));
  for (const std::int64_t v : values) {
    const std::int64_t clipped = v < 0 ? 0 : v > 0xFFFF ? 0xFFFF : v;
    frame.push_back(static_cast<char>((clipped >> 8) & 0xFF));
    frame.push_back(static_cast<char>(clipped & 0xFF));
  }
  return frame;
}

std::string EncodeZra7Identity(std::string_view firmware, std::string_view serial) {
  return "OK,Torvane Systems,Force and Position Interface,ZRA7," + std::string(firmware) + "," +
         std::string(serial) + ",600,\r\n";
}

std::string EncodeZra7Parameters() {
  return "0,65535,0,65535,0,65535,0,65535,0,65535,600,6,\r\n";
}

std::string EncodeZra7Frame(const std::array<std::int64_t, 6>& fields, std::uint32_t sequence,
                            std::int64_t checkError) {
  std::string frame = "#";
  std::int64_t sum = 0;
  for (const std::int64_t f : fields) {
    sum += f & 0xFFFF;
    frame += std::to_string(Signed16(f));
    frame += ',';
  }
  frame += std::to_string(Signed16((sum + checkError) & 0xFFFF));
  frame += ',';
  frame += std::to_string(sequence & 0xFFFF);
  frame += ",\r\n";
  return frame;
}

std::string EncodeAccelerometerReading(double g) {
  char text[32];
  std::snprintf(text, sizeof text, "X=%.3f\r\n", g);
  return text;
}

std::array<std::int64_t, 4> SplitForce(std::int64_t total) {
  std::array<std::int64_t, 4> parts{};
  const std::int64_t base = total >= 0 ? total / 4 : -((-total + 3) / 4);
  std::int64_t rest = total - 4 * base;
  for (auto& p : parts) {
    p = base + (rest > 0 ? 1 : 0);
    if (rest > 0) --rest;
  }
  return parts;
}

}  // namespace torvane::sim
