// torvane-cli identify against torvane-sim on a pseudo-terminal: the real
// port code, the real protocols, the real clock.
#include <gtest/gtest.h>

#include "e2e/process_runner.hpp"

#ifndef TORVANE_SIM_PATH
#error "the end-to-end tests need the simulator"
#endif

namespace torvane::testing {
namespace {

class IdentifyE2eTest : public ::testing::Test {
 protected:
  IdentifyE2eTest() { WriteText(config, "[Data Collection]\ncomportnum=1\nbaudrate=115200\n"); }

  std::unique_ptr<BackgroundProgram> StartSimulator(const std::string& model,
                                                    std::vector<std::string> extra = {}) {
    extra.insert(extra.begin(), {"--model", model});
    return testing::StartSimulator(dir, link, extra);
  }
  ProcessResult Identify(const std::string& model, const std::string& port) {
    return RunProgram(
        {TORVANE_CLI_PATH, "identify", "--model", model, "--port", port, "--config", config}, dir);
  }
  static bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
  }

  TempDir dir;
  std::string link = dir.File("unit");
  std::string config = dir.File("QLXConfig.ini");
};

TEST_F(IdentifyE2eTest, FindsAZra7AndPrintsItsFirmwareAndSerialFields) {
  auto sim = StartSimulator("zra7", {"--firmware", "V4.02", "--serial", "ZS-1234"});
  const ProcessResult r = Identify("zra7", link);
  EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
  EXPECT_TRUE(Has(r.out,
                  "Attempting to open data interface\nZRA7 interface unit has been found\n"
                  "600Hz capable ZRA7 detected\n"))
      << r.out;
  EXPECT_TRUE(Has(r.out, "Firmware version: V4.02\n")) << r.out;
  EXPECT_TRUE(Has(r.out, "Serial number: ZS-1234\n")) << r.out;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(sim->Stop(), 0);
}

TEST_F(IdentifyE2eTest, FindsAZra6PlusAndPrintsItsVersionAndSerialNumber) {
  auto sim = StartSimulator("zra6plus", {"--version", "3.4", "--serial", "246810"});
  const ProcessResult r = Identify("zra6plus", link);
  EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
  EXPECT_TRUE(Has(r.out, "ZRA6+ interface unit has been found\n")) << r.out;
  EXPECT_TRUE(Has(r.out, "System Information\nVersion  3. 4\nSerial No. 246810\n")) << r.out;
  EXPECT_TRUE(Has(r.out, "Unit version: V3.4\n")) << r.out;
}

TEST_F(IdentifyE2eTest, FindsAZra6OnItsSerialPort) {
  auto sim = StartSimulator("zra6");
  const ProcessResult r = Identify("zra6", link);
  EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
  EXPECT_TRUE(Has(r.out, "ZRA6 interface unit has been found\n")) << r.out;
  EXPECT_TRUE(Has(r.out, "Serial No. 123456\nCommPort = 1 Settings:  115200,N,8,1")) << r.out;
  EXPECT_TRUE(Has(r.out, "Unit version: V2.1  SN 123456\n")) << r.out;
}

TEST_F(IdentifyE2eTest, ASilentUnitOfEachModelIsNotFound) {
  const std::pair<const char*, const char*> cases[] = {
      {"zra7", "Cannot open communications with ZRA7: ZRA7 unit not found."},
      {"zra6plus", "Torvane Measurement System: ZRA6Plus unit not found."},
      {"zra6", "ZRA Interface NOT Found: Interface unit has not been found"},
  };
  for (const auto& [model, message] : cases) {
    auto sim = StartSimulator(model, {"--silent"});
    const ProcessResult r = Identify(model, link);
    EXPECT_EQ(r.exitCode, 1) << model << r.out << r.err;
    EXPECT_FALSE(r.timedOut);
    EXPECT_TRUE(Has(r.err, message)) << model << ": " << r.err;
    EXPECT_FALSE(Has(r.out, "has been found")) << r.out;
    sim->Stop();
  }
}

TEST_F(IdentifyE2eTest, AZra7ThatAnswersAfterTheWaitIsNotFound) {
  auto sim = StartSimulator("zra7", {"--reply-delay", "2500"});
  const ProcessResult r = Identify("zra7", link);
  EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
}

TEST_F(IdentifyE2eTest, WithoutAUnitTheReasonIsLoggedAndUsageErrorsExitWithTwo) {
  const ProcessResult r = Identify("zra6plus", dir.File("no-such-port"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(Has(r.out,
                  "no-such-port: no such device. Check the cable and the path in the "
                  "[Ports] section"))
      << r.out;
  EXPECT_TRUE(Has(r.err, "ZRA6Plus unit not found.")) << r.err;

  EXPECT_EQ(RunProgram({TORVANE_CLI_PATH, "identify", "--model", "zra7"}, dir).exitCode, 2);
  EXPECT_EQ(
      RunProgram({TORVANE_CLI_PATH, "identify", "--model", "zra9", "--port", "x"}, dir).exitCode,
      2);
  EXPECT_EQ(RunProgram({TORVANE_SIM_PATH, "--model", "zra7"}, dir).exitCode, 2);
}

}  // namespace
}  // namespace torvane::testing
