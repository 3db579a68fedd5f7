// The ZRA6/ZRA6+ frame decoder and scaling on any byte stream, delivered in
// pieces: no crash, no write outside the arrays, counts that stay in range.
#include <string>

#include "acquisition/stream_decoders.hpp"
#include "fuzz_stream_support.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace torvane;
  if (size < 4) return 0;
  const bool withForce = (data[0] & 1) != 0;
  const std::size_t piece = data[0] >> 1;
  const std::int32_t samples = data[1];
  const std::size_t points = data[2] % 48 + 1;
  TrialDataSet trial;
  fuzz::SizeArrays(trial, points);
  SettingsRecord settings;
  settings.DispCalSlope = 0.009f;
  settings.ForceCalSlope = 3.0f;
  settings.DispInt = static_cast<float>(data[3]);
  const Calibration calibration = CalibrationOf(settings);
  std::string text;
  std::int32_t searchStart = 1;
  std::int32_t lastRaw = 0;
  const std::string_view stream(reinterpret_cast<const char*>(data + 4), size - 4);
  fuzz::InPieces(stream, piece, [&](std::string_view bytes) {
    text.append(bytes);
    DecodeZra6Frames(text, searchStart, trial, withForce, samples);
    CompactStreamText(text, searchStart);
    ScaleZra6Samples(trial, calibration, lastRaw, withForce);
    lastRaw = trial.RawSampleIndex;
    fuzz::Check(trial.SampleCount <= samples);
    fuzz::Check(static_cast<std::size_t>(trial.RawSampleIndex) <= trial.RawSampleBuffer.size());
    for (std::int32_t i = 0; i < trial.RawSampleIndex; ++i) {
      fuzz::Check(trial.RawSampleBuffer[static_cast<std::size_t>(i)] < kZra6ValueLimit);
    }
  });
  return 0;
}
