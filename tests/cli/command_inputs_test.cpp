// What the commands take in: "--" before file names that begin with "-",
// files and configurations that are not regular files, strict --set values,
// file names with control characters or bytes that are not UTF-8.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "cli/cli_test_support.hpp"
#include "common/text_file.hpp"

namespace torvane {
namespace {

using testing::CliFolder;
using testing::CliRun;
using testing::JumpFile;
using testing::JumpShape;
using testing::RunCli;

std::string Trial() {
  return Version2Text(JumpFile(JumpShape{}, true, true));
}

// `command` on the trial (analyse, export) or its folder (batch), with an
// output where the command takes one, and `options`.
std::vector<std::string> Command(const std::string& command, const CliFolder& f,
                                 const std::string& trial, std::vector<std::string> options) {
  std::vector<std::string> args = {command, command == "batch" ? f.dir.path() : trial};
  if (command != "analyse") args.insert(args.end(), {"-o", f.dir.File("x.csv")});
  args.insert(args.end(), options.begin(), options.end());
  return args;
}

bool ValidUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = Utf8SequenceLength(text.substr(i));
    if (length == 0) return false;
    i += length;
  }
  return true;
}

TEST(CommandInputs, DoubleDashEndsTheOptionsOfEveryCommand) {
  CliFolder f;
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(f.dir.path());
  std::filesystem::create_directory("-trials");
  f.Write("-trials/-a.qlx", Trial());
  f.Write("-b.qlx", Trial());
  const std::string c = f.Config();
  const CliRun analyse = RunCli({"analyse", "--config", c, "--csv", "--", "-b.qlx", "--json"});
  const CliRun exported = RunCli({"export", "-o", "-", "--config", c, "--", "-b.qlx"});
  const CliRun batch = RunCli({"batch", "-o", "out.csv", "--config", c, "--", "-trials"});
  const CliRun without = RunCli({"analyse", "--config", c, "-b.qlx"});
  std::filesystem::current_path(before);
  EXPECT_EQ(analyse.status, 1);  // "--json" is a file too, and there is none
  EXPECT_NE(analyse.out.find("\n-b.qlx,"), std::string::npos) << analyse.out;
  EXPECT_NE(analyse.err.find("\"--json\" cannot be read"), std::string::npos) << analyse.err;
  EXPECT_EQ(exported.status, 0) << exported.err;
  EXPECT_NE(exported.out.find("\ntime,displacement,"), std::string::npos);
  EXPECT_EQ(batch.status, 0) << batch.err;
  EXPECT_TRUE(FileExists(f.dir.File("out.csv")));
  EXPECT_EQ(without.status, 2);
}

TEST(CommandInputs, FilesAndConfigurationsThatAreNotRegularFilesAreRefusedAtOnce) {
  CliFolder f;
  const std::string trial = f.Write("a.qlx", Trial());
  const std::string fifo = f.dir.File("fifo.qlx");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const CliRun r = RunCli({"analyse", fifo, trial, "--config", f.Config(), "--csv"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "torvane-cli analyse: The file \"" + fifo +
                       "\" cannot be read: it is not a regular file.\n");
  EXPECT_EQ(testing::Lines(r.out).size(), 2u);  // the header and the other file
  for (const char* command : {"analyse", "export", "batch"}) {
    const CliRun c = RunCli(Command(command, f, trial, {"--config", fifo}));
    EXPECT_EQ(c.status, 2) << command;
    EXPECT_NE(
        c.err.find("cannot read the configuration file \"" + fifo + "\": it is not a regular file"),
        std::string::npos)
        << c.err;
  }
}

TEST(CommandInputs, SetValuesAreStrictAndAConfigurationWithoutKeysIsNamed) {
  CliFolder f;
  const std::string trial = f.Write("a.qlx", Trial());
  const std::string c = f.Config();
  for (const char* set :
       {"forceFc=fifty", "forceFc=nan", "velocFc=inf", "forceFc=-5", "RFDepoch=-20",
        "repthreshold=-0.1", "weight=0", "samples=1.5", "RecordForce=yes"}) {
    for (const char* command : {"analyse", "export", "batch"}) {
      const CliRun r = RunCli(Command(command, f, trial, {"--config", c, "--set", set}));
      EXPECT_EQ(r.status, 2) << command << " " << set;
      EXPECT_NE(r.err.find(std::string("--set ") + set + ": "), std::string::npos) << r.err;
    }
  }
  EXPECT_EQ(RunCli({"analyse", trial, "--config", c, "--set", "forceFc=50"}).status, 0);

  const std::string notConfig = f.Write("notes.ini", "these are notes\r\nforceFc=50\r\n");
  const CliRun r = RunCli({"analyse", trial, "--config", notConfig, "--csv"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "torvane-cli analyse: warning: the configuration file \"" + notConfig +
                       "\" holds none of the settings keys: the defaults are used\n");
  EXPECT_EQ(r.out, RunCli({"analyse", trial, "--config", c, "--csv"}).out);
}

TEST(CommandInputs, FileNamesAreEscapedInMessagesAndJsonStaysUtf8) {
  CliFolder f;
  const std::string odd = f.Write("odd\n\x1b[2J.qlx", "not a trial\r\n");
  const std::string latin = f.Write("caf\xe9.qlx", Trial());
  const CliRun r = RunCli({"analyse", odd, latin, "--config", f.Config(), "--json"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "torvane-cli analyse: The file \"" + f.dir.path() +
                       "/odd\\n\\x1b[2J.qlx\" is not a trial data file.\n");
  EXPECT_EQ(r.out.rfind("{\"file\": \"" + f.dir.path() + "/caf\\\\xe9.qlx\", \"kind\": 7", 0), 0u)
      << r.out;
  EXPECT_TRUE(ValidUtf8(r.out));
}

TEST(CommandHelp, EveryCommandPrintsItsUsageOnStdoutForHelp) {
  for (const char* command : {"analyse", "export", "batch", "identify", "record", "recover", "reps",
                              "reading", "squad", "report"}) {
    for (const char* flag : {"--help", "-h"}) {
      const CliRun r = RunCli({command, flag});
      EXPECT_EQ(r.status, 0) << command << " " << flag << ": " << r.err;
      EXPECT_NE(r.out.find(std::string("usage: torvane-cli ") + command), std::string::npos)
          << command << " " << flag << ": " << r.out;
    }
  }
  EXPECT_EQ(RunCli({"report", "--mode", "F", "--help"}).status, 0);
  // After "--" it is a file's name.
  EXPECT_EQ(RunCli({"analyse", "--", "--help"}).status, 1);
}

}  // namespace
}  // namespace torvane
