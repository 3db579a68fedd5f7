// torvane-cli report, run in the test process: what it refuses before any
// work, and what it says when it cannot paint the page.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "cli/cli_test_support.hpp"

namespace torvane {
namespace {

using testing::CliFolder;
using testing::JumpFile;
using testing::JumpShape;
using testing::RunCli;

TEST(ReportCommand, UsageErrorsAreRefusedBeforeAnyWork) {
  CliFolder f;
  const std::string trial =
      f.Write("cmj.qlx", testing::Version2Text(JumpFile(JumpShape{}, true, true)));
  const std::string pdf = f.dir.File("cmj.pdf");
  const std::string config = f.Config();
  struct Case {
    std::vector<std::string> args;
    std::string says;
  };
  const Case cases[] = {
      {{"report", trial, "--config", config}, "-o REPORT.pdf is required"},
      {{"report", "--config", config, "-o", pdf}, "no trial file given"},
      {{"report", trial, trial, "--config", config, "-o", pdf}, "one trial file at a time"},
      {{"report", trial, "--config", config, "-o", pdf, "--json"}, "--json and --csv do not apply"},
      {{"report", trial, "--config", config, "-o", pdf, "--channel", "torque"},
       "unknown channel 'torque'"},
      {{"report", trial, "--config", config, "-o", pdf, "--channel"}, "--channel needs a value"},
      {{"report", trial, "--config", config, "-o", pdf, "--mass", "0"}, "--mass"},
  };
  for (const Case& c : cases) {
    const testing::CliRun r = RunCli(c.args);
    EXPECT_EQ(r.status, 2) << c.says;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("usage: torvane-cli report"), std::string::npos) << r.err;
  }
  EXPECT_FALSE(std::filesystem::exists(pdf));
  // The trial itself is never the output.
  const testing::CliRun self = RunCli({"report", trial, "--config", config, "-o", trial});
  EXPECT_EQ(self.status, 1);
  EXPECT_EQ(RunCli({"report", "--help"}).status, 0);
}

TEST(ReportCommand, AMissingTrialOrAMissingModuleIsAFailureNamingWhy) {
  CliFolder f;
  const std::string pdf = f.dir.File("r.pdf");
  const testing::CliRun missing =
      RunCli({"report", f.dir.File("none.qlx"), "--config", f.Config(), "-o", pdf});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("none.qlx"), std::string::npos) << missing.err;

  const std::string trial =
      f.Write("cmj.qlx", testing::Version2Text(JumpFile(JumpShape{}, true, true)));
  setenv("TORVANE_REPORT_MODULE", f.dir.File("gone/torvane-report.so").c_str(), 1);
  const testing::CliRun noModule =
      RunCli({"report", trial, "--config", f.Config(), "--channel=power", "-o", pdf});
  unsetenv("TORVANE_REPORT_MODULE");
  EXPECT_EQ(noModule.status, 1);
  EXPECT_NE(noModule.err.find("the report module torvane-report.so is missing"), std::string::npos)
      << noModule.err;
  EXPECT_FALSE(std::filesystem::exists(pdf));

  // A file that is not a module is named with the loader's reason.
  setenv("TORVANE_REPORT_MODULE", trial.c_str(), 1);
  const testing::CliRun notModule = RunCli({"report", trial, "--config", f.Config(), "-o", pdf});
  unsetenv("TORVANE_REPORT_MODULE");
  EXPECT_EQ(notModule.status, 1);
  EXPECT_NE(notModule.err.find("cannot be loaded"), std::string::npos) << notModule.err;
}

}  // namespace
}  // namespace torvane
