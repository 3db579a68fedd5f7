// The results run of a trial, and torvane-cli batch over a folder of 2 000
// typical trial files (1 001 samples at 500 Hz, displacement and force).

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <numbers>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cli/commands.hpp"
#include "common/fake_event_loop.hpp"
#include "common/number_text.hpp"
#include "common/text_file.hpp"
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

// 2 000 version 2 trial files of 1 001 data lines, written once.
class TrialFolder {
 public:
  TrialFolder() {
    folder_ = (std::filesystem::temp_directory_path() / "torvane-bench-batch").string();
    std::filesystem::remove_all(folder_);
    MakeFolders(folder_ + "/trials");
    WriteFileReplacing(Config(), "");
    const JumpArrays a(1001);
    for (int file = 0; file < kFiles; ++file) {
      std::string text = "\"QLX Data File Version 2\"\r\n\"2026-12-06 10:00:00\"\r\n500,1,80,\"A" +
                         std::to_string(file) + "\",\"Ann\",\"Lee\",61.5\r\n";
      double x = 0;
      for (std::size_t i = 0; i < a.v.size(); ++i) {
        x += a.v[i] / 500.0;
        std::string line = FormatNumber(x, "0.0000");
        PadToNextPrintZone(line);
        line += FormatNumber(a.f[i] + 0.01 * file, "0.00000");
        text += line + "\r\n";
      }
      char name[32];
      std::snprintf(name, sizeof name, "/trials/t%04d.qlx", file);
      WriteFileReplacing(folder_ + name, text);
    }
  }
  ~TrialFolder() { std::filesystem::remove_all(folder_); }
  std::string Trials() const { return folder_ + "/trials"; }
  std::string Config() const { return folder_ + "/QLXConfig.ini"; }
  std::string Output() const { return folder_ + "/results.csv"; }
  static constexpr int kFiles = 2000;

 private:
  std::string folder_;
};

void BM_BatchFolder(benchmark::State& state) {
  static const TrialFolder folder;
  const unsigned jobs = state.range(0) > 0 ? static_cast<unsigned>(state.range(0))
                                           : std::max(1u, std::thread::hardware_concurrency());
  const std::vector<std::string> args = {"batch",         folder.Trials(), "-o",
                                         folder.Output(), "--jobs",        std::to_string(jobs),
                                         "--config",      folder.Config()};
  for (auto _ : state) {
    std::ostringstream out, err;
    cli::Io io{out, err, false};
    if (cli::Main(args, io) != 0) state.SkipWithError("batch failed");
  }
  state.counters["files_per_s"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * TrialFolder::kFiles, benchmark::Counter::kIsRate);
  state.counters["jobs"] = jobs;
}
// 1: one core; 0: one worker per core.
BENCHMARK(BM_BatchFolder)
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
