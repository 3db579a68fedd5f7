// The training mode's repetition analysis as a collection runs it: one
// monitor tick's portion (100 ms, 60 samples at 600 Hz) at a time, over a
// set of squats. The figure is per portion; the goal is well under 50 µs, so
// that the analysis never holds up the 100-ms monitor.

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "training/repetition_analysis.hpp"

namespace {

constexpr std::int32_t kFrequency = 600;
constexpr std::int32_t kPortion = 60;

// Squats from a bar zeroed at the bottom: 1.2 s down from 0.45 m, 1.0 s up,
// 0.4 s still at the top, quantised to the transducer's 9-mm counts.
std::vector<float> SquatSet(int repetitions) {
  std::vector<float> x;
  const auto add = [&](double seconds, double from, double to) {
    const auto n = static_cast<int>(seconds * kFrequency);
    for (int i = 0; i < n; ++i) {
      const double u = static_cast<double>(i) / n;
      const double s = u * u * u * (10 - 15 * u + 6 * u * u);  // smooth start and end
      x.push_back(static_cast<float>(std::round((from + (to - from) * s) / 0.009) * 0.009));
    }
  };
  add(1.0, 0.45, 0.45);
  for (int r = 0; r < repetitions; ++r) {
    add(1.2, 0.45, 0.0);
    add(1.0, 0.0, 0.45);
    add(0.4, 0.45, 0.45);
  }
  return x;
}

void BM_RepetitionPortion(benchmark::State& state) {
  const std::vector<float> displacement = SquatSet(20);
  torvane::RepetitionSettings settings;
  settings.weight = 80;
  settings.frequency = kFrequency;
  torvane::RepetitionAnalysis analysis;
  torvane::StartRepetitionAnalysis(analysis);
  std::int32_t repetitions = 0;
  torvane::RepetitionEvents events;
  events.completed = [&](std::int32_t, std::int32_t) { ++repetitions; };
  const auto last = static_cast<std::int32_t>(displacement.size()) - kPortion;
  for (auto _ : state) {
    // The set starts again when the recording has run through: the arrays
    // keep their room, as in a long session.
    if (analysis.NextTrainingSample > last) {
      state.PauseTiming();
      torvane::StartRepetitionAnalysis(analysis);
      state.ResumeTiming();
    }
    torvane::AnalyseRepetitionSamples(analysis, settings, displacement, kPortion, events);
    benchmark::DoNotOptimize(analysis.set.RepCount);
  }
  state.counters["repetitions"] = repetitions;
}
BENCHMARK(BM_RepetitionPortion)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
