// A recording killed outright (kill -9) in the middle of a collection, and
// the trial recovered from the file it left beside its output: no more than
// the last second lost, and every sample recovered the same as the one an
// uninterrupted recording of the same simulated unit holds.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <regex>
#include <thread>

#include "e2e/process_runner.hpp"

namespace torvane::testing {
namespace {

std::vector<std::string> DataLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  return lines.size() > 3 ? std::vector<std::string>(lines.begin() + 3, lines.end())
                          : std::vector<std::string>{};
}

// The sample count of the newest "recording: N of M" line.
int LastProgressCount(const std::string& err) {
  int count = -1;
  const std::regex progress(R"(recording: (\d+) of)");
  for (auto it = std::sregex_iterator(err.begin(), err.end(), progress);
       it != std::sregex_iterator(); ++it) {
    count = std::stoi((*it)[1]);
  }
  return count;
}

class RecoveryE2eTest : public ::testing::Test {
 protected:
  std::vector<std::string> Record(const std::string& seconds, const std::string& out) {
    return {TORVANE_CLI_PATH, "record", "--model", "zra7", "--port", link,
            "--duration",     seconds,  "-o",      out,    "--stats"};
  }
  TempDir dir;
  std::string link = dir.File("unit");
  std::string trial = dir.File("trial.qlx");
  std::string recovering = trial + ".recovering";
};

TEST_F(RecoveryE2eTest, AKilledRecordingLosesAtMostTheLastSecondAndNothingItKeepsDiffers) {
  auto sim = StartSimulator(dir, link, {"--model", "zra7", "--profile", "cmj"});
  BackgroundProgram record(Record("20", trial), dir, "record");
  int gathered = -1;
  for (int waited = 0; waited < 15000 && gathered < 1800; waited += 10) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    gathered = LastProgressCount(record.err());
  }
  ASSERT_GE(gathered, 1800) << record.err();
  // Killed between two appends, not just after one.
  std::this_thread::sleep_for(std::chrono::milliseconds(600));
  record.Signal(SIGKILL);
  ASSERT_EQ(record.WaitForEnd(5000), 128 + SIGKILL);
  EXPECT_FALSE(std::filesystem::exists(trial));
  ASSERT_TRUE(std::filesystem::exists(recovering));

  const std::string recovered = dir.File("recovered.qlx");
  const ProcessResult r =
      RunProgram({TORVANE_CLI_PATH, "recover", recovering, "-o", recovered}, dir, 10000);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  std::smatch m;
  ASSERT_TRUE(std::regex_search(
      r.err, m, std::regex(R"(recovered (\d+) samples; the collection was cut short)")))
      << r.err;
  const int samples = std::stoi(m[1]);
  const std::vector<std::string> lines = DataLines(ReadText(recovered));
  EXPECT_EQ(static_cast<int>(lines.size()), samples + 1);
  // The count seen before the kill, less a second at 600 Hz and a tick's slack.
  EXPECT_GE(samples, gathered - 600 - 60) << "gathered " << gathered;
  std::cout << "[ recovery ] gathered at least " << gathered << " samples before kill -9; "
            << samples << " recovered\n";

  // The same unit, not interrupted: its first samples are those recovered.
  sim->Stop();
  sim = StartSimulator(dir, link, {"--model", "zra7", "--profile", "cmj"});
  const std::string whole = dir.File("whole.qlx");
  const ProcessResult w = RunProgram(Record("7", whole), dir, 25000);
  ASSERT_EQ(w.exitCode, 0) << w.err;
  EXPECT_FALSE(std::filesystem::exists(whole + ".recovering"));
  EXPECT_NE(w.out.find("recovery appends: "), std::string::npos) << w.out;
  std::cout << "[ recovery ] uninterrupted 7 s: " << w.out.substr(w.out.find("recovery appends"));
  const std::vector<std::string> wholeLines = DataLines(ReadText(whole));
  ASSERT_GE(wholeLines.size(), lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) ASSERT_EQ(lines[i], wholeLines[i]) << i;

  // Refusals: not a recovery file, a missing one, a usage error.
  EXPECT_EQ(RunProgram({TORVANE_CLI_PATH, "recover", whole, "-o", dir.File("x.qlx")}, dir).exitCode,
            1);
  EXPECT_EQ(
      RunProgram({TORVANE_CLI_PATH, "recover", dir.File("none"), "-o", dir.File("x.qlx")}, dir)
          .exitCode,
      1);
  EXPECT_FALSE(std::filesystem::exists(dir.File("x.qlx")));
  EXPECT_EQ(RunProgram({TORVANE_CLI_PATH, "recover", recovering}, dir).exitCode, 2);
}

}  // namespace
}  // namespace torvane::testing
