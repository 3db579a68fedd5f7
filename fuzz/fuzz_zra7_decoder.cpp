// The ZRA7 text-frame decoder on any text, delivered in pieces as the 30 ms
// stream tick receives it: no crash, no write outside the arrays, no sample
// beyond the wanted count.
#include <string>

#include "acquisition/stream_decoders.hpp"
#include "fuzz_stream_support.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace torvane;
  if (size < 4) return 0;
  const std::int32_t divider = data[0] % 4 + 1;
  const std::size_t piece = static_cast<std::size_t>(data[0] >> 2) * 4 + 1;
  const std::int32_t samples = data[1];
  const std::size_t points = data[2] % 64 + 1;
  TrialDataSet trial;
  fuzz::SizeArrays(trial, points);
  trial.RawSampleIndex = 1;
  trial.SampleCount = 1;
  SettingsRecord settings;
  settings.DispCalSlope = 0.009f;
  settings.ForceCalSlope = 3.0f;
  settings.ForceInt = static_cast<float>(data[3]) - 100.0f;
  const Calibration calibration = CalibrationOf(settings);
  DecodeCounts counts;
  std::string buffer;
  const auto afterSample = [&] {
    fuzz::Check(trial.SampleCount >= 0 &&
                static_cast<std::size_t>(trial.SampleCount) < trial.Displacement.size());
  };
  const std::string_view stream(reinterpret_cast<const char*>(data + 4), size - 4);
  fuzz::InPieces(stream, piece, [&](std::string_view text) {
    buffer.append(text);
    DecodeZra7Frames(buffer, trial, calibration, samples, samples * divider, divider, afterSample,
                     &counts);
    fuzz::Check(trial.SampleCount <= std::max<std::int32_t>(samples, 1));
    fuzz::Check(trial.RawSampleIndex <= samples * divider + 1);
  });
  return 0;
}
