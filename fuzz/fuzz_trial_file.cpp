// The trial file reader on any bytes: no crash, no read or write outside
// what it was given, and a sample count within the system's limit.
#include <string_view>

#include "files/trial_file.hpp"
#include "fuzz_stream_support.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace torvane;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const TrialReadResult result = ParseTrialFile(bytes, "fuzz.qlx");
  if (result.ok()) {
    const ParsedTrialFile& t = result.trial;
    fuzz::Check(t.samples < kMaximumSamples);
  }
  return 0;
}
