// The accelerometer's "X=" reading decoder on any text, delivered in
// pieces: no crash, no write outside the array.
#include <string>

#include "acquisition/stream_decoders.hpp"
#include "fuzz_stream_support.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace torvane;
  if (size < 3) return 0;
  const std::size_t piece = data[0] + 1u;
  const std::int32_t samples = data[1];
  const std::size_t points = data[2] % 48 + 1;
  TrialDataSet trial;
  fuzz::SizeArrays(trial, points);
  std::string text;
  std::int32_t searchStart = 1;
  const std::string_view stream(reinterpret_cast<const char*>(data + 3), size - 3);
  fuzz::InPieces(stream, piece, [&](std::string_view bytes) {
    text.append(bytes);
    DecodeAccelerometerText(text, searchStart, trial, samples, 0.5f);
    CompactStreamText(text, searchStart);
    fuzz::Check(trial.SampleCount <= samples);
    fuzz::Check(static_cast<std::size_t>(trial.SampleCount) <= trial.Acceleration.size());
  });
  return 0;
}
