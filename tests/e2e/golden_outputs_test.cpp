// torvane-cli against its golden outputs: every run of tests/golden/commands.txt
// must write, byte for byte, what tests/golden/expected/ holds (the current
// date and time masked). scripts/golden-outputs runs the same list and
// rewrites the expected files when an output is meant to change.

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "common/text_file.hpp"
#include "e2e/process_runner.hpp"

namespace torvane::testing {
namespace {

const std::string kGolden = std::string(TORVANE_SOURCE_DIR) + "/tests/golden";

struct GoldenRun {
  std::string name;
  std::vector<std::string> args;
};
void PrintTo(const GoldenRun& run, std::ostream* os) {
  *os << run.name;
}

// "NAME: ARGUMENTS" lines; blank lines and "#" comments passed over.
std::vector<GoldenRun> GoldenRuns() {
  std::vector<GoldenRun> runs;
  std::istringstream lines(ReadText(kGolden + "/commands.txt"));
  for (std::string line; std::getline(lines, line);) {
    const std::size_t colon = line.find(": ");
    if (line.empty() || line[0] == '#' || colon == std::string::npos) continue;
    GoldenRun run{line.substr(0, colon), {}};
    std::istringstream words(line.substr(colon + 2));
    for (std::string word; words >> word;) run.args.push_back(word);
    runs.push_back(std::move(run));
  }
  return runs;
}

// The current date and time, which the export file and the batch title hold.
std::string Masked(const std::string& text) {
  static const std::regex today("[A-Z][a-z]+day, [0-9]{1,2} [A-Z][a-z]+ [0-9]{4} *");
  static const std::regex now("[0-9]{1,2}:[0-9]{2}:[0-9]{2} [AP]M *");
  return std::regex_replace(std::regex_replace(text, today, "<today>"), now, "<now>");
}

class GoldenOutputs : public ::testing::TestWithParam<GoldenRun> {
 protected:
  TempDir dir;
  ScopedEnv home{"HOME", dir.path()};
  ScopedEnv data{"TORVANE_DATA_DIR", dir.path() + "/data"};
};

TEST_P(GoldenOutputs, MatchExpected) {
  const GoldenRun& run = GetParam();
  std::vector<std::string> argv{TORVANE_CLI_PATH};
  std::string written;
  for (std::string arg : run.args) {
    if (const std::size_t at = arg.find("{out}"); at != std::string::npos) {
      arg.replace(at, 5, dir.File("out"));
      written = arg;
    }
    argv.push_back(arg);
  }
  // The paths in the commands, and so in the outputs, are from the golden folder.
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(kGolden);
  const ProcessResult r = RunProgram(argv, dir, 30000);
  std::filesystem::current_path(before);
  ASSERT_EQ(r.exitCode, 0) << r.err;

  const std::string expected = ReadText(kGolden + "/expected/" + run.name);
  const std::string actual = Masked(written.empty() ? r.out : ReadText(written));
  if (actual == expected) return;
  const std::vector<std::string_view> want = SplitLines(expected), got = SplitLines(actual);
  std::size_t i = 0;
  while (i < want.size() && i < got.size() && want[i] == got[i]) ++i;
  if (i == want.size() && i == got.size()) {
    ADD_FAILURE() << run.name << ": the lines match, their line ends differ";
    return;
  }
  ADD_FAILURE() << run.name << " differs first at line " << i + 1
                << "\n  expected: " << (i < want.size() ? want[i] : "(end)")
                << "\n  actual:   " << (i < got.size() ? got[i] : "(end)")
                << "\n(scripts/golden-outputs update rewrites it when the change is meant)";
}

INSTANTIATE_TEST_SUITE_P(Commands, GoldenOutputs, ::testing::ValuesIn(GoldenRuns()),
                         [](const ::testing::TestParamInfo<GoldenRun>& info) {
                           std::string name = info.param.name;
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

}  // namespace
}  // namespace torvane::testing
