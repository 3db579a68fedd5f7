// torvane-cli export, run as a program on trial files of every kind.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "common/text_file.hpp"
#include "e2e/process_runner.hpp"

namespace torvane::testing {
namespace {

class ExportProgram : public ::testing::Test {
 protected:
  // Runs torvane-cli with a home and data folder of its own.
  ProcessResult Cli(std::vector<std::string> args) {
    args.insert(args.begin(), TORVANE_CLI_PATH);
    return RunProgram(args, dir);
  }
  std::string Write(const std::string& name, const std::string& bytes) {
    WriteText(dir.File(name), bytes);
    return dir.File(name);
  }
  TempDir dir;
  ScopedEnv home{"HOME", dir.path()};
  ScopedEnv data{"TORVANE_DATA_DIR", dir.path() + "/data"};
};

std::string Jump(const std::string& header, bool force, int lines) {
  std::string out = header;
  for (int i = 0; i < lines; ++i) {
    const double t = i / 500.0;
    out += std::to_string(0.2 * std::sin(3.0 * t)).substr(0, 7);
    if (force) out += "        " + std::to_string(785.0 + 200.0 * std::sin(5.0 * t));
    out += "\r\n";
  }
  return out;
}

TEST_F(ExportProgram, StandardOutputAndTheSharedOptions) {
  const std::string in = Write(
      "v2.qlx",
      Jump("\"QLX Data File Version 2\"\r\n\"d\"\r\n500,1,0,\"1\",\"A\",\"B\",80\r\n", true, 101));
  const ProcessResult plain = Cli({"export", in, "-o", "-"});
  ASSERT_EQ(plain.exitCode, 0) << plain.err;
  EXPECT_EQ(plain.out.substr(0, 22), "QLX Data Export File\r\n");
  EXPECT_NE(plain.out.find("Mass:  10 kg"), std::string::npos);  // 0 in the file

  const std::string config = Write("cfg.ini", "[Data Processing]\r\nvelocFc=5\r\n");
  const std::vector<std::string> common = {"export", in,       "-o", "-",      "--config",
                                           config,   "--mass", "70", "--mode", "D"};
  std::vector<std::string> withSet = common;
  withSet.insert(withSet.end(), {"--set", "velocFc=0"});
  const ProcessResult set = Cli(withSet);
  ASSERT_EQ(set.exitCode, 0) << set.err;
  EXPECT_NE(set.out.find("Mass:  70 kg"), std::string::npos);
  EXPECT_EQ(ReadText(config), "[Data Processing]\r\nvelocFc=5\r\n");
  const ProcessResult filtered = Cli(common);
  ASSERT_EQ(filtered.exitCode, 0);
  // Another velocity filter, another export (line 2's time aside).
  EXPECT_NE(filtered.out.substr(filtered.out.find("time,")), set.out.substr(set.out.find("time,")));
  // Nothing wrote a configuration file.
  EXPECT_FALSE(std::filesystem::exists(dir.path() + "/data"));
}

TEST_F(ExportProgram, RefusalsAndUsageErrors) {
  const std::string training = Write("set.qlx", "QLX Training File for A B ID: 1\r\n 3 reps\r\n");
  ProcessResult r = Cli({"export", training, "-o", dir.File("t.csv")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("Selected File is a QLX Training File. Open from the Training Window."),
            std::string::npos);
  EXPECT_NE(r.err.find(training), std::string::npos);

  std::string noise;
  for (int i = 0; i < 4096; ++i) noise.push_back(static_cast<char>((i * 7919) % 256));
  for (const std::string& bad :
       {Write("noise.bin", noise), Write("empty.qlx", ""),
        Write("letter.txt", "Hello,\r\nworld\r\n"), dir.File("missing.qlx"), training}) {
    r = Cli({"export", bad, "-o", dir.File("x.csv")});
    EXPECT_EQ(r.exitCode, 1) << bad;
    EXPECT_NE(r.err.find(bad), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
  EXPECT_FALSE(FileExists(dir.File("x.csv")) || FileExists(dir.File("t.csv")));

  const std::string good = Write("ok.dat", Jump("500,1\r\n", true, 50));
  for (const std::vector<std::string>& usage : std::vector<std::vector<std::string>>{
           {"export", good},
           {"export", "-o", "-"},
           {"export", good, good, "-o", "-"},
           {"export", good, "-o", "-", "--mass", "0"},
           {"export", good, "-o", "-", "--set", "nokey=1"},
           {"export", good, "-o", "-", "--what"},
           {"export", good, "-o", "-", "--config", dir.File("no.ini")}}) {
    r = Cli(usage);
    EXPECT_EQ(r.exitCode, 2) << usage.back();
    EXPECT_EQ(r.out, "");
  }
  EXPECT_EQ(Cli({"export", good, "-o", dir.File("gone/out.csv")}).exitCode, 1);
}

}  // namespace
}  // namespace torvane::testing
