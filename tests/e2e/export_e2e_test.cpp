// torvane-cli export, run as a program on trial files of every kind.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "common/text_file.hpp"
#include "test_support.hpp"

namespace torvane {
namespace {

using testing::ReadText;
using testing::TempDir;
using testing::WriteText;

std::string Quote(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

struct CliRun {
  int status = -1;
  std::string out, err;
};

class ExportProgram : public ::testing::Test {
 protected:
  // Runs torvane-cli with a home and data folder of its own.
  CliRun Cli(const std::vector<std::string>& args) {
    std::string command = "HOME=" + Quote(dir.path()) +
                          " TORVANE_DATA_DIR=" + Quote(dir.path() + "/data") + " " +
                          Quote(TORVANE_CLI_PATH);
    for (const std::string& a : args) command += " " + Quote(a);
    command += " >" + Quote(dir.File("stdout")) + " 2>" + Quote(dir.File("stderr"));
    const int raw = std::system(command.c_str());
    CliRun r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = ReadText(dir.File("stdout"));
    r.err = ReadText(dir.File("stderr"));
    return r;
  }
  std::string Write(const std::string& name, const std::string& bytes) {
    WriteText(dir.File(name), bytes);
    return dir.File(name);
  }
  TempDir dir;
};

std::string Jump(const std::string& header, bool force, int lines) {
  std::string out = header;
  for (int i = 0; i < lines; ++i) {
    const double t = i / 500.0;
    const double d = 0.2 * std::sin(3.0 * t);
    out += std::to_string(d).substr(0, 7);
    if (force) out += "        " + std::to_string(785.0 + 200.0 * std::sin(5.0 * t));
    out += "\r\n";
  }
  return out;
}

std::string Import(int samples) {
  std::string out = "BioWare 3.0 Export\r\nx\r\nSamples:      " + std::to_string(samples) +
                    "\r\nRate:         500.000000\r\n";
  for (int i = 5; i <= 9; ++i) out += "line\r\n";
  out += "Weight:       784.560000\r\nnames\r\nunits\r\n";
  for (int i = 0; i < samples; ++i) out += "0.0\t" + std::to_string(785 + (i % 7)) + "\r\n";
  return out;
}

TEST_F(ExportProgram, WritesTheExportFileForEveryKindOfTrialFile) {
  struct Kind {
    std::string name, bytes;
    std::size_t lines;  // data lines of the export
  };
  const std::vector<Kind> kinds = {
      {"v2.qlx",
       Jump("\"QLX Data File Version 2\"\r\n\"2026-01-02 "
            "10:00:00\"\r\n500,1,80,\"1\",\"A\",\"B\",80\r\n",
            true, 301),
       300},
      {"v1.qlx", Jump("\"QLX Data File\"\r\n\"2026-01-02 10:00:00\"\r\n500,0,80\r\n", false, 201),
       200},
      {"legacy.dat", Jump("500,1\r\n", true, 101), 100},
      {"platform.txt", Import(250), 250},
  };
  for (const Kind& k : kinds) {
    const std::string in = Write(k.name, k.bytes);
    const std::string out = dir.File(k.name + ".csv");
    const CliRun r = Cli({"export", in, "-o", out});
    ASSERT_EQ(r.status, 0) << k.name << ": " << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;
    const std::string text = ReadText(out);
    const std::vector<std::string_view> lines = SplitLines(text);
    ASSERT_EQ(lines.size(), k.lines + 3) << k.name;
    EXPECT_EQ(lines[0], "QLX Data Export File");
    EXPECT_NE(lines[1].find("Mass: "), std::string_view::npos);
    EXPECT_EQ(lines[2], "time,displacement,velocity,acceleration,force,power");
    EXPECT_EQ(lines[3].substr(0, 6), "0.000,");
    EXPECT_EQ(lines[4].substr(0, 6), "0.002,");
    EXPECT_NE(text.find("\r\n"), std::string::npos);
    // Something was derived: a velocity other than 0 somewhere.
    bool moved = false;
    for (std::size_t i = 3; i < lines.size() && !moved; ++i) {
      const std::string_view line = lines[i];
      const std::size_t v = line.find(',', line.find(',') + 1) + 1;
      moved = line.substr(v, 2) != "0,";
    }
    EXPECT_TRUE(moved) << k.name;
  }
  // Nothing wrote a configuration file.
  EXPECT_FALSE(std::filesystem::exists(dir.path() + "/data"));
}

TEST_F(ExportProgram, StandardOutputAndTheSharedOptions) {
  const std::string in = Write(
      "v2.qlx",
      Jump("\"QLX Data File Version 2\"\r\n\"d\"\r\n500,1,0,\"1\",\"A\",\"B\",80\r\n", true, 101));
  const CliRun plain = Cli({"export", in, "-o", "-"});
  ASSERT_EQ(plain.status, 0) << plain.err;
  EXPECT_EQ(plain.out.substr(0, 22), "QLX Data Export File\r\n");
  EXPECT_NE(plain.out.find("Mass:  10 kg"), std::string::npos);  // 0 in the file

  const std::string config = Write("cfg.ini", "[Data Processing]\r\nvelocFc=5\r\n");
  const CliRun set = Cli({"export", in, "-o", "-", "--config", config, "--set", "velocFc=0",
                          "--mass", "70", "--mode", "D"});
  ASSERT_EQ(set.status, 0) << set.err;
  EXPECT_NE(set.out.find("Mass:  70 kg"), std::string::npos);
  EXPECT_EQ(ReadText(config), "[Data Processing]\r\nvelocFc=5\r\n");
  const CliRun filtered =
      Cli({"export", in, "-o", "-", "--config", config, "--mass", "70", "--mode", "D"});
  ASSERT_EQ(filtered.status, 0);
  // Another velocity filter, another export (line 2's time aside).
  EXPECT_NE(filtered.out.substr(filtered.out.find("time,")), set.out.substr(set.out.find("time,")));
}

TEST_F(ExportProgram, RefusalsAndUsageErrors) {
  const std::string training = Write("set.qlx", "QLX Training File for A B ID: 1\r\n 3 reps\r\n");
  CliRun r = Cli({"export", training, "-o", dir.File("t.csv")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Selected File is a QLX Training File. Open from the Training Window."),
            std::string::npos);
  EXPECT_NE(r.err.find(training), std::string::npos);
  EXPECT_FALSE(FileExists(dir.File("t.csv")));

  std::string noise;
  for (int i = 0; i < 4096; ++i) noise.push_back(static_cast<char>((i * 7919) % 256));
  for (const std::string& bad :
       {Write("noise.bin", noise), Write("empty.qlx", ""),
        Write("letter.txt", "Hello,\r\nworld\r\n"), dir.File("missing.qlx")}) {
    r = Cli({"export", bad, "-o", dir.File("x.csv")});
    EXPECT_EQ(r.status, 1) << bad;
    EXPECT_NE(r.err.find(bad), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
  EXPECT_FALSE(FileExists(dir.File("x.csv")));

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
    EXPECT_EQ(r.status, 2) << usage.back();
    EXPECT_TRUE(r.out.empty());
  }
  r = Cli({"export", good, "-o", dir.File("gone/out.csv")});
  EXPECT_EQ(r.status, 1);
}

}  // namespace
}  // namespace torvane
