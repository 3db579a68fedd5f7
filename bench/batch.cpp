// torvane-cli batch over folders of 2 000 countermovement-jump trials (500 Hz,
// displacement and force, every setting at its default), run in this
// process: files per second with one worker and with two. The goal on the
// 1 886-line files is at least 5 000 files/s with one and 9 500 with two.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli/commands.hpp"
#include "common/text_file.hpp"
#include "trial_folder.hpp"

namespace {

using namespace torvane;

constexpr int kFiles = 2000;

// The files lie in memory (/dev/shm) when there is such a folder: a page
// cache that drops file pages within seconds (as on a busy shared machine)
// would otherwise make the disk part of what is measured.
std::filesystem::path FolderInMemory() {
  std::error_code error;
  const std::filesystem::path shm = "/dev/shm";
  if (std::filesystem::is_directory(shm, error)) return shm;
  return std::filesystem::temp_directory_path();
}

class TrialFolder {
 public:
  explicit TrialFolder(int lines) {
    folder_ = (FolderInMemory() / ("torvane-bench-batch-" + std::to_string(lines))).string();
    std::filesystem::remove_all(folder_);
    ok_ = bench::WriteJumpTrialFolder(Trials(), kFiles, lines) &&
          WriteFileReplacing(Config(), "").empty();
  }
  ~TrialFolder() { std::filesystem::remove_all(folder_); }
  bool ok() const { return ok_; }
  std::string Trials() const { return folder_ + "/trials"; }
  std::string Config() const { return folder_ + "/QLXConfig.ini"; }
  std::string Output() const { return folder_ + "/results.csv"; }

 private:
  std::string folder_;
  bool ok_ = false;
};

const TrialFolder& FolderOf(int lines) {
  static std::map<int, std::unique_ptr<TrialFolder>> folders;
  auto& folder = folders[lines];
  if (!folder) folder = std::make_unique<TrialFolder>(lines);
  return *folder;
}

// Arguments: data lines per file, workers.
void BM_Batch(benchmark::State& state) {
  const TrialFolder& folder = FolderOf(static_cast<int>(state.range(0)));
  if (!folder.ok()) {
    state.SkipWithError("cannot write the trial files");
    return;
  }
  const std::vector<std::string> args = {
      "batch",    folder.Trials(), "-o", folder.Output(), "--jobs", std::to_string(state.range(1)),
      "--config", folder.Config()};
  for (auto _ : state) {
    std::ostringstream out, err;
    cli::Io io{out, err, false};
    if (cli::Main(args, io) != 0) state.SkipWithError("batch failed");
  }
  state.counters["files_per_s"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kFiles, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Batch)
    ->ArgNames({"lines", "jobs"})
    ->Args({1886, 1})
    ->Args({1886, 2})
    ->Args({1001, 1})
    ->Args({1001, 2})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
