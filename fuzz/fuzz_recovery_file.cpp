// The recovery file reader on any bytes: no crash, and what it keeps is
// whole (every stored channel as long as the points it counts).
#include <string_view>

#include "files/recovery_file.hpp"
#include "fuzz_stream_support.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace torvane;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  // Mostly past the magic, so that headers and blocks are reached.
  const std::string input = std::string(kRecoveryFileMagic) + std::string(bytes);
  for (const std::string_view b : {bytes, std::string_view(input)}) {
    const RecoveredSamples r = ParseRecoveryFile(b, "fuzz");
    const auto whole = [&](std::uint8_t channel, const std::vector<float>& v) {
      fuzz::Check(v.size() == ((r.header.channels & channel) ? r.points : 0u) || !r.ok());
    };
    whole(kRecoverDisplacement, r.displacement);
    whole(kRecoverForce, r.force);
    whole(kRecoverAcceleration, r.acceleration);
    fuzz::Check(r.ok() == (r.points > 0));
  }
  return 0;
}
