// torvane-cli reading against torvane-sim: the calibration reading of a
// unit standing still gives the simulator's counts, and the configuration's
// calibration maps them back to its values; no unit, a usage error.
#include <gtest/gtest.h>

#include "e2e/process_runner.hpp"

namespace torvane::testing {
namespace {

class ReadingE2eTest : public ::testing::Test {
 protected:
  std::vector<std::string> Reading(const std::string& model, std::vector<std::string> more) {
    std::vector<std::string> argv{TORVANE_CLI_PATH, "reading",   "--model", model,
                                  "--port",         link,        "--set",   "DispCalSlope=0.009",
                                  "--set",          "DispInt=0", "--set",   "ForceCalSlope=3",
                                  "--set",          "ForceInt=0"};
    argv.insert(argv.end(), more.begin(), more.end());
    return argv;
  }
  static double Field(const std::string& out, const std::string& name) {
    const std::size_t p = out.find(name + ": ");
    return p == std::string::npos ? -1 : std::strtod(out.c_str() + p + name.size() + 2, nullptr);
  }
  TempDir dir;
  std::string link = dir.File("unit");
};

#ifdef TORVANE_SIM_PATH
TEST_F(ReadingE2eTest, TheStillUnitsCountsMapBackToItsHeightAndWeight) {
  for (const char* model : {"zra6plus", "zra7"}) {
    auto sim = StartSimulator(dir, link, {"--model", model, "--profile", "still"});
    ProcessResult r = RunProgram(Reading(model, {"--seconds", "1"}), dir, 15000);
    ASSERT_EQ(r.exitCode, 0) << model << r.err;
    // The simulated transducer stands at 1 m: 1 / 0.009 counts.
    EXPECT_NEAR(Field(r.out, "mean raw count"), 111.1, 1.0) << r.out;
    EXPECT_NEAR(Field(r.out, "value"), 1.0, 0.01) << r.out;
    r = RunProgram(Reading(model, {"--channel", "force"}), dir, 15000);
    ASSERT_EQ(r.exitCode, 0) << model << r.err;
    // 80 kg standing: 80 × 9.807 N at 3 N per count.
    EXPECT_NEAR(Field(r.out, "value"), 80 * 9.807, 5) << r.out;
    EXPECT_NE(r.out.find("channel: force"), std::string::npos);
    sim->Stop();
  }
}
#endif

TEST_F(ReadingE2eTest, NoUnitAndUsageErrorsGiveTheirExitStatus) {
  EXPECT_EQ(RunProgram(Reading("zra6plus", {}), dir, 15000).exitCode, 1);
  EXPECT_EQ(RunProgram(Reading("accel", {}), dir).exitCode, 2);
  EXPECT_EQ(RunProgram(Reading("zra7", {"--channel", "speed"}), dir).exitCode, 2);
  EXPECT_EQ(RunProgram(Reading("zra7", {"--seconds", "0"}), dir).exitCode, 2);
}

}  // namespace
}  // namespace torvane::testing
