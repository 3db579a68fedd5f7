// LowPassFilter: the serial recursion sets the pace, about 4.2 ns per element
// of each of the four passes over the 3N extended signal.

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "analysis/low_pass_filter.hpp"

namespace {

std::vector<float> Signal(std::size_t n) {
  std::vector<float> x(n);
  for (std::size_t i = 0; i < n; ++i) {
    x[i] = static_cast<float>(0.3 * std::sin(static_cast<double>(i) / 50.0) + 0.001 * (i % 7));
  }
  return x;
}

void BM_LowPassFilter(benchmark::State& state) {
  const auto n = static_cast<std::size_t>(state.range(0));
  const std::vector<float> source = Signal(n);
  std::vector<float> x = source;
  for (auto _ : state) {
    torvane::LowPassFilter(static_cast<std::int32_t>(n), x, 500.0f, 10.0f);
    benchmark::DoNotOptimize(x.data());
    benchmark::ClobberMemory();
  }
  state.counters["ns_per_pass_element"] = benchmark::Counter(
      12.0 * static_cast<double>(n),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_LowPassFilter)->Arg(1001)->Arg(32000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

// Two signals side by side, as the velocity and acceleration copies are
// filtered: the figure is per element of each signal.
void BM_LowPassFilterPair(benchmark::State& state) {
  const auto n = static_cast<std::size_t>(state.range(0));
  std::vector<float> a = Signal(n), b = Signal(n);
  for (auto _ : state) {
    torvane::LowPassFilterPair(static_cast<std::int32_t>(n), a, 10.0f, b, 16.0f, 500.0f);
    benchmark::DoNotOptimize(a.data());
    benchmark::DoNotOptimize(b.data());
    benchmark::ClobberMemory();
  }
  state.counters["ns_per_pass_element"] = benchmark::Counter(
      24.0 * static_cast<double>(n),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_LowPassFilterPair)->Arg(1001)->Arg(32000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
