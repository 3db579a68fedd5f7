// Decoding throughput of the three stream decoders, in bytes of stream per
// second: a minute of each unit's stream, fed in the pieces that one tick
// receives (100 ms for the ZRA6/ZRA6+ and the accelerometer, 30 ms for the
// ZRA7), decoded and scaled into the trial arrays.

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "acquisition/stream_decoders.hpp"
#include "sim/frame_encoding.hpp"

namespace {

using namespace torvane;

constexpr int kSeconds = 60;

double Wave(int i, double rate) {
  return std::sin(static_cast<double>(i) / rate * 3.0);
}

std::vector<std::string> Pieces(const std::vector<std::string>& frames, int framesPerTick) {
  std::vector<std::string> pieces;
  for (std::size_t i = 0; i < frames.size(); i += static_cast<std::size_t>(framesPerTick)) {
    std::string piece;
    for (std::size_t k = i; k < std::min(frames.size(), i + framesPerTick); ++k) piece += frames[k];
    pieces.push_back(std::move(piece));
  }
  return pieces;
}

std::size_t TotalBytes(const std::vector<std::string>& pieces) {
  std::size_t n = 0;
  for (const auto& p : pieces) n += p.size();
  return n;
}

Calibration DefaultCalibration() {
  SettingsRecord s;
  s.DispCalSlope = 0.009f;
  s.ForceCalSlope = 3.0f;
  return CalibrationOf(s);
}

void BM_DecodeZra6Frames(benchmark::State& state) {
  const bool withForce = state.range(0) != 0;
  const int rate = 500;
  std::vector<std::string> frames;
  // One frame more than the samples: a frame is whole only once the next
  // one's sync byte follows it, and the unit's stream goes on after the
  // collection's last sample.
  for (int i = 0; i <= rate * kSeconds; ++i) {
    std::vector<std::int64_t> values{static_cast<std::int64_t>(1500 + 400 * Wave(i, rate))};
    if (withForce) values.push_back(static_cast<std::int64_t>(800 + 300 * Wave(i + 7, rate)));
    frames.push_back(sim::EncodeZra6Frame(values));
  }
  const std::vector<std::string> pieces = Pieces(frames, rate / 10);
  const std::int32_t samples = rate * kSeconds;
  TrialDataSet trial;
  DimensionDataArrays(trial, samples);
  const Calibration calibration = DefaultCalibration();
  for (auto _ : state) {
    trial.SampleCount = 0;
    trial.RawSampleIndex = 0;
    std::string text;
    std::int32_t searchStart = 1;
    for (const std::string& piece : pieces) {
      const std::int32_t from = trial.RawSampleIndex;
      text += piece;
      DecodeZra6Frames(text, searchStart, trial, withForce, samples);
      CompactStreamText(text, searchStart);
      ScaleZra6Samples(trial, calibration, from, withForce);
    }
    benchmark::DoNotOptimize(trial.Displacement.data());
  }
  if (trial.SampleCount != samples) state.SkipWithError("not every frame was decoded");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * TotalBytes(pieces)));
}
BENCHMARK(BM_DecodeZra6Frames)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_DecodeZra7Frames(benchmark::State& state) {
  const int rate = 600;
  std::vector<std::string> frames;
  for (int i = 0; i < rate * kSeconds + 10; ++i) {
    const auto force = sim::SplitForce(static_cast<std::int64_t>(2600 + 900 * Wave(i, rate)));
    const std::array<std::int64_t, 6> fields{
        force[0],
        force[1],
        force[2],
        force[3],
        static_cast<std::int64_t>(1500 + 400 * Wave(i + 3, rate)),
        0};
    frames.push_back(sim::EncodeZra7Frame(fields, static_cast<std::uint32_t>(i)));
  }
  const std::vector<std::string> pieces = Pieces(frames, rate * 30 / 1000);
  const std::int32_t samples = rate * kSeconds;
  TrialDataSet trial;
  DimensionDataArrays(trial, samples);
  const Calibration calibration = DefaultCalibration();
  for (auto _ : state) {
    trial.SampleCount = 1;
    trial.RawSampleIndex = 1;
    std::string buffer;
    for (const std::string& piece : pieces) {
      buffer += piece;
      DecodeZra7Frames(buffer, trial, calibration, samples, samples, 1);
    }
    benchmark::DoNotOptimize(trial.Displacement.data());
  }
  if (trial.SampleCount != samples) state.SkipWithError("not every frame was decoded");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * TotalBytes(pieces)));
}
BENCHMARK(BM_DecodeZra7Frames)->Unit(benchmark::kMillisecond);

void BM_DecodeAccelerometerText(benchmark::State& state) {
  const int rate = 200;
  std::vector<std::string> readings;
  for (int i = 0; i < rate * kSeconds + 1; ++i) {
    readings.push_back(sim::EncodeAccelerometerReading(-1.0 + 0.8 * Wave(i, rate)));
  }
  const std::vector<std::string> pieces = Pieces(readings, rate / 10);
  const std::int32_t samples = rate * kSeconds;
  TrialDataSet trial;
  DimensionDataArrays(trial, samples);
  for (auto _ : state) {
    trial.SampleCount = 0;
    std::string text;
    std::int32_t searchStart = 1;
    for (const std::string& piece : pieces) {
      text += piece;
      DecodeAccelerometerText(text, searchStart, trial, samples, 0.0f);
      CompactStreamText(text, searchStart);
    }
    benchmark::DoNotOptimize(trial.Acceleration.data());
  }
  if (trial.SampleCount != samples) state.SkipWithError("not every reading was decoded");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * TotalBytes(pieces)));
}
BENCHMARK(BM_DecodeAccelerometerText)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
