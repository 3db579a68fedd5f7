// torvane-cli report, run as a program: one A4 page whose texts are the
// trial's, painted without a display.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/text_file.hpp"
#include "e2e/process_runner.hpp"

namespace torvane::testing {
namespace {

class ReportProgram : public ::testing::Test {
 protected:
  void SetUp() override {
#ifndef TORVANE_REPORT_MODULE_BUILT
    GTEST_SKIP() << "this build has no report module (it comes with the desktop program)";
#endif
    std::filesystem::copy_file(std::string(TORVANE_SOURCE_DIR) + "/data/test.dat",
                               dir.File("test.dat"));
  }
  ProcessResult Cli(std::vector<std::string> args) {
    args.insert(args.begin(), TORVANE_CLI_PATH);
    return RunProgram(args, dir, 30000);
  }
  TempDir dir;
  ScopedEnv home{"HOME", dir.path()};
  ScopedEnv data{"TORVANE_DATA_DIR", dir.path() + "/data"};
  // A display that does not exist: the page must not need one.
  ScopedEnv display{"DISPLAY", ":987"};
};

// The value text of `header` in an `analyse --json` line.
std::string JsonText(const std::string& line, const std::string& header) {
  const std::string key = "\"" + header + "\": {\"text\": \"";
  const std::size_t p = line.find(key) + key.size();
  return line.substr(p, line.find('"', p) - p);
}

TEST_F(ReportProgram, OneA4PageWithTheTrialsAthleteResultsAndFlags) {
  const std::string pdf = dir.File("test.pdf");
  const ProcessResult run = Cli({"report", dir.File("test.dat"), "-o", pdf});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");  // nothing of Qt's own chatter
  EXPECT_FALSE(std::filesystem::exists(pdf + ".part"));

  const ProcessResult info = RunProgram({"/usr/bin/pdfinfo", pdf}, dir);
  ASSERT_EQ(info.exitCode, 0) << info.err;
  const std::size_t pages = info.out.find("Pages:");
  ASSERT_NE(pages, std::string::npos) << info.out;
  EXPECT_EQ(info.out.substr(info.out.find_first_not_of(' ', pages + 6), 2), "1\n") << info.out;
  EXPECT_NE(info.out.find("(A4)"), std::string::npos) << info.out;

  const ProcessResult text = RunProgram({"/usr/bin/pdftotext", "-layout", pdf, "-"}, dir);
  ASSERT_EQ(text.exitCode, 0) << text.err;
  const ProcessResult json = Cli({"analyse", dir.File("test.dat"), "--json"});
  ASSERT_EQ(json.exitCode, 0) << json.err;
  const std::vector<std::string> expected = {"Trial report",
                                             "test.dat",
                                             "Force (N)",
                                             "Movement onset",
                                             "Quality",
                                             "No quality flags",
                                             "Peak Force",
                                             JsonText(json.out, "Peak Force"),
                                             JsonText(json.out, "JumpHt-FT"),
                                             JsonText(json.out, "TotalImpulse")};
  for (const std::string& piece : expected) {
    EXPECT_NE(text.out.find(piece), std::string::npos) << piece << "\n" << text.out;
  }
}

TEST_F(ReportProgram, AChosenChannelAndAPageOnStandardOutput) {
  const ProcessResult run =
      Cli({"report", dir.File("test.dat"), "--channel", "velocity", "--from", "1", "-o", "-"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  ASSERT_EQ(run.out.rfind("%PDF-", 0), 0u);
  WriteText(dir.File("out.pdf"), run.out);
  const ProcessResult text = RunProgram({"/usr/bin/pdftotext", dir.File("out.pdf"), "-"}, dir);
  EXPECT_NE(text.out.find("Velocity (m/s)"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("1.000 s to"), std::string::npos) << text.out;
}

}  // namespace
}  // namespace torvane::testing
