#pragma once
// The "#" sample frames of a ZRA7 stream, read field by field.

#include <array>
#include <cstdlib>
#include <string>
#include <vector>

namespace torvane::testing {

struct Zra7Frame {
  std::array<long, 8> f{};  // four forces, displacement, spare, check value, sequence number
  // The check value is the sum of the six values, all as 16-bit words.
  bool CheckMatches() const {
    long sum = 0;
    for (std::size_t k = 0; k < 6; ++k) sum += f[k] & 0xFFFF;
    return sum % 65536 == (f[6] & 0xFFFF);
  }
};

// The complete frames (those ended by their line end) of `stream`.
inline std::vector<Zra7Frame> Zra7Frames(const std::string& stream) {
  std::vector<Zra7Frame> frames;
  for (std::size_t p = stream.find('#'); p != std::string::npos; p = stream.find('#', p + 1)) {
    if (stream.find('\n', p) == std::string::npos) break;
    Zra7Frame frame;
    const char* c = stream.c_str() + p + 1;
    for (long& field : frame.f) {
      char* end = nullptr;
      field = std::strtol(c, &end, 10);
      c = end + 1;  // past the comma
    }
    frames.push_back(frame);
  }
  return frames;
}

}  // namespace torvane::testing
