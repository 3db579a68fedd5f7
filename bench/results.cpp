// The results run of a trial (torvane-cli batch over folders of trials is
// in batch.cpp).

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "results/process_data.hpp"
#include "shell/session.hpp"

namespace {

using namespace torvane;

// Repeated countermovement jumps, 2.5 s each, with a recorded force.
struct JumpArrays {
  explicit JumpArrays(std::size_t n) : d(n), v(n), f(n), p(n) {
    const double pi = std::numbers::pi;
    for (std::size_t i = 0; i < n; ++i) {
      const double t = static_cast<double>(i % 1250) / 500.0;
      double vel = 0;
      if (t >= 0.4 && t < 0.6) vel = -0.5 * std::sin(pi * (t - 0.4) / 0.2);
      if (t >= 0.6 && t <= 0.8) vel = 2.5 * std::sin(pi / 2 * (t - 0.6) / 0.2);
      if (t > 0.8 && t <= 1.31) vel = 2.5 - 9.81 * (t - 0.8);
      if (t > 1.31 && t < 1.41) vel = -2.5 * (1.41 - t) / 0.1;
      v[i] = static_cast<float>(vel);
      f[i] = t > 0.8 && t <= 1.31 ? 0.0f : static_cast<float>(785 + 400 * std::sin(7 * t));
      p[i] = v[i] * f[i];
      d[i] = static_cast<float>(0.3 * std::sin(2 * t));
    }
  }
  std::vector<float> d, v, f, p;
};

void BM_ProcessData(benchmark::State& state) {
  const auto n = static_cast<std::size_t>(state.range(0));
  const JumpArrays a(n);
  ResultsInput in;
  in.Displacement = a.d;
  in.Velocity = a.v;
  in.Force = a.f;
  in.Power = a.p;
  in.samples = static_cast<std::int32_t>(n);
  in.frequency = 500;
  in.RFDepoch = 30.0f;
  in.RecordForce = true;
  AnalysisView view;
  view.AnalysisEnd = in.samples - 1;
  for (auto _ : state) {
    TrialResults r = ProcessData(in, view, {});
    benchmark::DoNotOptimize(r.texts.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(n));
}
BENCHMARK(BM_ProcessData)->Arg(1001)->Arg(32000)->Unit(benchmark::kMicrosecond);

// What batch does once its workers are done: 2 000 rows of every variable
// into the worksheet, and the worksheet as CSV text.
void BM_ResultsRowsToCsv(benchmark::State& state) {
  const JumpArrays a(1886);
  ResultsInput in;
  in.Displacement = a.d;
  in.Velocity = a.v;
  in.Force = a.f;
  in.Power = a.p;
  in.samples = 1886;
  in.frequency = 500;
  in.RFDepoch = 30.0f;
  in.RecordForce = true;
  AnalysisView view;
  view.AnalysisEnd = in.samples - 1;
  const ResultsTexts texts = ProcessData(in, view, {}).texts;
  ResultsRowIdentity identity{"A17", "Ann", "Lee", 61.5f, 80.25f, "2026-03-02 09:11:00"};
  ResultsTicks ticked;
  ticked.fill(true);
  for (auto _ : state) {
    ResultsOutput output;
    for (int row = 0; row < 2000; ++row) {
      WriteResultsRow(output, identity, ticked, texts, LocalDateTime{});
    }
    benchmark::DoNotOptimize(ResultsWorksheetCsvText(output.sheet));
  }
}
BENCHMARK(BM_ResultsRowsToCsv)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
