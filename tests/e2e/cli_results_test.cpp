// The torvane-cli program itself: analyse and batch as a script calls them.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "results/trial_file_texts.hpp"
#include "test_support.hpp"

namespace torvane {
namespace {

using testing::JumpFile;
using testing::JumpShape;
using testing::ReadText;
using testing::TempDir;
using testing::WriteText;

struct ProgramRun {
  int status = -1;
  std::string out;
  std::string err;
};

std::string Quote(const std::string& text) {
  std::string q = "'";
  for (char c : text) {
    if (c == '\'') {
      q += "'\\''";
    } else {
      q.push_back(c);
    }
  }
  return q + "'";
}

ProgramRun RunProgram(const TempDir& dir, const std::string& arguments) {
  const std::string out = dir.File("stdout.txt");
  const std::string err = dir.File("stderr.txt");
  const std::string command = Quote(TORVANE_CLI_PATH) + " " + arguments + " >" + Quote(out) +
                              " 2>" + Quote(err) + " </dev/null";
  const int raw = std::system(command.c_str());
  ProgramRun r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = ReadText(out);
  r.err = ReadText(err);
  return r;
}

TEST(CliResults, AnalyseAndBatchAsAScriptRunsThem) {
  TempDir dir;
  WriteText(dir.File("QLXConfig.ini"), "");
  const std::string config = " --config " + Quote(dir.File("QLXConfig.ini"));
  const std::string trials = dir.File("trials");
  MakeFolders(trials);
  WriteText(trials + "/a.qlx", Version2Text(JumpFile(JumpShape{}, true, true)));
  WriteText(trials + "/b.qlx", "\"QLX Training File\",\"A1\"\r\n");

  ProgramRun r = RunProgram(
      dir, "analyse --json " + Quote(trials + "/b.qlx") + " " + Quote(trials + "/a.qlx") + config);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find(trials + "/b.qlx"), std::string::npos);
  EXPECT_EQ(r.out.rfind("{\"file\": \"" + trials + "/a.qlx\", \"kind\": 7,", 0), 0u);
  EXPECT_EQ(r.out.back(), '\n');

  r = RunProgram(dir, "analyse " + Quote(trials + "/a.qlx") + " --mass 0");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");

  const std::string xlsx = dir.File("results.xlsx");
  r = RunProgram(dir, "batch " + Quote(trials) + " -o " + Quote(xlsx) + config);
  EXPECT_EQ(r.status, 1);  // the training file is skipped
  const std::string bytes = ReadText(xlsx);
  ASSERT_GT(bytes.size(), 1000u);
  EXPECT_EQ(bytes.substr(0, 2), "PK");  // a zip package
  EXPECT_FALSE(FileExists(xlsx + ".tmp~.xlsx"));
}

}  // namespace
}  // namespace torvane
