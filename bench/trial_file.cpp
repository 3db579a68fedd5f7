// Reading and writing a 32 000-sample trial file with force. Reading should
// run near the speed of parsing the same numbers with std::from_chars.

#include <benchmark/benchmark.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "common/fake_event_loop.hpp"
#include "common/text_file.hpp"
#include "common/user_dialogs.hpp"
#include "files/trial_file.hpp"
#include "shell/analysis_session.hpp"
#include "shell/session.hpp"

namespace {

using namespace torvane;

constexpr std::int32_t kSamples = 32000;

struct Fixture {
  Fixture() {
    DimensionDataArrays(session.trial, kSamples);
    session.settings.samples = kSamples;
    session.settings.frequency = 500;
    session.settings.weight = 80.0f;
    session.settings.RecordForce = true;
    session.trial.CollectionDateTime = "2026-01-15 10:30:00";
    for (std::int32_t i = 0; i <= kSamples; ++i) {
      session.trial.Displacement[i] = static_cast<float>(0.4 * std::sin(i / 300.0) - 0.1);
      session.trial.Force[i] = static_cast<float>(785.0 + 600.0 * std::sin(i / 170.0));
    }
    path = (std::filesystem::temp_directory_path() / "torvane-bench-trial.qlx").string();
    WriteFileReplacing(path, TrialFileText(session.trial, session.settings, session.squad.Current()));
  }
  ~Fixture() { std::filesystem::remove(path); }
  FakeEventLoop loop;
  ScriptedDialogs dialogs;
  Session session{PlatformServices{loop, loop, loop, dialogs}};
  std::string path;
};

void BM_WriteTrialFile(benchmark::State& state) {
  Fixture f;
  for (auto _ : state) {
    const std::string text = TrialFileText(f.session.trial, f.session.settings, f.session.squad.Current());
    benchmark::DoNotOptimize(WriteFileReplacing(f.path, text));
  }
}
BENCHMARK(BM_WriteTrialFile)->Unit(benchmark::kMicrosecond);

void BM_FormatTrialFile(benchmark::State& state) {
  Fixture f;
  for (auto _ : state) benchmark::DoNotOptimize(TrialFileText(f.session.trial, f.session.settings, f.session.squad.Current()));
}
BENCHMARK(BM_FormatTrialFile)->Unit(benchmark::kMicrosecond);

// The whole open: read the file, parse, dimension the arrays, copy in.
void BM_ReadTrialFile(benchmark::State& state) {
  Fixture f;
  for (auto _ : state) {
    const TrialReadResult r = ReadTrialFile(TrialFileContextOf(f.session), f.path);
    if (!r.ok()) state.SkipWithError(r.message.c_str());
  }
}
BENCHMARK(BM_ReadTrialFile)->Unit(benchmark::kMicrosecond);

void BM_ParseTrialFileFromMemory(benchmark::State& state) {
  Fixture f;
  const std::string bytes = ReadWholeFile(f.path).bytes;
  for (auto _ : state) benchmark::DoNotOptimize(ParseTrialFile(bytes, f.path));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ParseTrialFileFromMemory)->Unit(benchmark::kMicrosecond);

// The yardstick: every number of the same bytes through std::from_chars.
void BM_FromCharsSameBytes(benchmark::State& state) {
  Fixture f;
  const std::string bytes = ReadWholeFile(f.path).bytes;
  const std::size_t dataStart = [&] {
    std::size_t p = 0;
    for (int line = 0; line < 3; ++line) p = bytes.find('\n', p) + 1;
    return p;
  }();
  for (auto _ : state) {
    const char* p = bytes.data() + dataStart;
    const char* end = bytes.data() + bytes.size();
    float sum = 0;
    while (p < end) {
      while (p < end && (*p == ' ' || *p == '\r' || *p == '\n')) ++p;
      float v = 0;
      const auto r = std::from_chars(p, end, v);
      if (r.ptr == p) break;
      sum += v;
      p = r.ptr;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(
      static_cast<std::int64_t>(state.iterations() * (bytes.size() - dataStart)));
}
BENCHMARK(BM_FromCharsSameBytes)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
