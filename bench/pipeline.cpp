// A typical trial: 1 001 samples at 500 Hz with displacement and force, read,
// the force filtered, and ReCalculate with displacement and force ticked.

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "analysis/derivation.hpp"
#include "analysis/low_pass_filter.hpp"
#include "analysis/recalculate.hpp"
#include "common/fake_event_loop.hpp"
#include "common/text_file.hpp"
#include "common/user_dialogs.hpp"
#include "files/trial_file.hpp"
#include "shell/analysis_session.hpp"
#include "shell/session.hpp"

namespace {

using namespace torvane;

struct Fixture {
  Fixture() {
    DimensionDataArrays(session.trial, 1000);
    SettingsRecord& s = session.settings;
    s.samples = 1000;
    s.frequency = 500;
    s.weight = 80.0f;
    s.RecordForce = true;
    for (int i = 0; i <= 1000; ++i) {
      const double t = i / 500.0;
      session.trial.Displacement[i] = static_cast<float>(0.25 * std::sin(3.0 * t));
      session.trial.Force[i] = static_cast<float>(785.0 + 500.0 * std::sin(4.0 * t));
    }
    path = (std::filesystem::temp_directory_path() / "torvane-bench-typical.qlx").string();
    WriteFileReplacing(path, TrialFileText(session.trial, session.settings, session.squad.Current()));
    s.velocFc = 16.0f;
    s.accelFc = 10.0f;
    s.dispFc = 0.0f;
    s.forceFc = 50.0f;
  }
  ~Fixture() { std::filesystem::remove(path); }
  FakeEventLoop loop;
  ScriptedDialogs dialogs;
  Session session{PlatformServices{loop, loop, loop, dialogs}};
  std::string path;
};

void FilterForce(Session& s) {
  if (s.settings.forceFc >= 1.0f) {
    LowPassFilter(s.settings.samples, s.trial.Force, static_cast<float>(s.settings.frequency),
                  s.settings.forceFc);
  }
}

void BM_TypicalTrialPipeline(benchmark::State& state) {
  Fixture f;
  const CalculationMode mode{true, true, false, false};
  for (auto _ : state) {
    ReadTrialFile(TrialFileContextOf(f.session), f.path);
    FilterForce(f.session);
    ReCalculate(f.session.trial, f.session.settings, mode);
    benchmark::DoNotOptimize(f.session.trial.Power.data());
  }
}
BENCHMARK(BM_TypicalTrialPipeline)->Unit(benchmark::kMicrosecond);

// The same steps with the displacement derived twice, as the route is
// written (the second run repeats the first exactly when dispFc < 1).
void BM_TypicalTrialPipelineDerivingTwice(benchmark::State& state) {
  Fixture f;
  for (auto _ : state) {
    ReadTrialFile(TrialFileContextOf(f.session), f.path);
    FilterForce(f.session);
    DeriveFromDisplacement(f.session.trial, f.session.settings);
    PowerFromForce(f.session.trial, f.session.settings);
    benchmark::DoNotOptimize(f.session.trial.Power.data());
  }
}
BENCHMARK(BM_TypicalTrialPipelineDerivingTwice)->Unit(benchmark::kMicrosecond);

void BM_ReadTypicalTrial(benchmark::State& state) {
  Fixture f;
  for (auto _ : state) ReadTrialFile(TrialFileContextOf(f.session), f.path);
}
BENCHMARK(BM_ReadTypicalTrial)->Unit(benchmark::kMicrosecond);

void BM_DimensionDataArrays(benchmark::State& state) {
  Fixture f;
  for (auto _ : state) {
    DimensionDataArrays(f.session.trial, 2001);
    benchmark::DoNotOptimize(f.session.trial.Force.data());
  }
}
BENCHMARK(BM_DimensionDataArrays)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
