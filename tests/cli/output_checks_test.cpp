// The outputs of export and batch: checked before any work, never an input
// nor anything but a regular file, replaced through links with their
// permission bits kept.

#include "cli/output_checks.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "cli/cli_test_support.hpp"

namespace torvane {
namespace {

using testing::CliFolder;
using testing::JumpFile;
using testing::JumpShape;
using testing::ReadText;
using testing::RunCli;

TEST(CheckOutputPath, RefusesSpecialFilesInputsAndFoldersThatCannotBeWritten) {
  CliFolder f;
  const std::string trial = f.Write("a.qlx", "trial");
  const std::string config = f.Config();
  std::filesystem::create_directory(f.dir.File("sub"));
  std::filesystem::create_symlink(trial, f.dir.File("link.csv"));
  std::filesystem::create_hard_link(trial, f.dir.File("hard.csv"));
  const std::string fifo = f.dir.File("fifo.csv");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::vector<std::string> inputs = {trial, config};
  const std::pair<std::string, std::string> cases[] = {
      {"-", ""},
      {f.dir.File("new.csv"), ""},
      {f.dir.File("sub/../new.csv"), ""},
      {fifo, "it is not a regular file"},
      {"/dev/null", "it is not a regular file"},
      {f.dir.File("sub"), "it is a folder"},
      {f.dir.File("gone/new.csv"), "No such file or directory"},
      {trial, "it is the input \"" + trial + "\""},
      {f.dir.File("sub/../a.qlx"), "it is the input \"" + trial + "\""},
      {f.dir.File("link.csv"), "it is the input \"" + trial + "\""},
      {f.dir.File("hard.csv"), "it is the input \"" + trial + "\""},
      {config, "it is the input \"" + config + "\""},
  };
  for (const auto& [output, reason] : cases) {
    const std::optional<std::string> refusal = cli::CheckOutputPath(output, inputs);
    EXPECT_EQ(refusal.value_or(""),
              reason.empty() ? "" : "cannot write \"" + output + "\": " + reason)
        << output;
  }
  EXPECT_FALSE(std::filesystem::exists(f.dir.File("new.csv")));  // nothing left behind
  EXPECT_EQ(ReadText(trial), "trial");
}

TEST(ExportAndBatchOutputs, RefusedBeforeAnyWorkOrReplacedThroughLinksKeepingPermissions) {
  CliFolder f;
  const std::string trialText = Version2Text(JumpFile(JumpShape{}, true, true));
  const std::string trial = f.Write("a.qlx", trialText);
  const std::string fifo = f.dir.File("fifo.csv");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::filesystem::create_symlink("a.qlx", f.dir.File("a-link.csv"));
  const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
      {{"export", trial, "-o", trial}, "is the input"},
      {{"export", trial, "-o", f.dir.File("a-link.csv")}, "is the input"},
      {{"export", trial, "-o", fifo}, "not a regular file"},
      {{"export", trial, "-o", f.Config()}, "is the input"},
      {{"export", trial, "-o", f.dir.File("gone/x.csv")}, "No such file"},
      {{"batch", f.dir.path(), "-o", f.dir.File("a-link.csv")}, "is the input"},
      {{"batch", f.dir.path(), "-o", fifo}, "not a regular file"},
      {{"batch", f.dir.path(), "-o", f.dir.File("gone/x.xlsx")}, "No such file"},
  };
  for (auto [args, says] : refused) {
    args.insert(args.end(), {"--config", f.Config()});
    const testing::CliRun r = RunCli(args);
    EXPECT_EQ(r.status, 1) << args[3];
    EXPECT_NE(r.err.find("cannot write \"" + args[3] + "\": "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(says), std::string::npos) << r.err;
  }
  EXPECT_EQ(ReadText(trial), trialText);
  EXPECT_TRUE(std::filesystem::is_fifo(fifo));

  // A link as output: the file it leads to is replaced, with its bits.
  const std::string target = f.Write("target.csv", "old");
  ::chmod(target.c_str(), 0600);
  std::filesystem::create_symlink("target.csv", f.dir.File("out.csv"));
  EXPECT_EQ(RunCli({"export", trial, "-o", f.dir.File("out.csv"), "--config", f.Config()}).status,
            0);
  EXPECT_TRUE(std::filesystem::is_symlink(f.dir.File("out.csv")));
  EXPECT_NE(ReadText(target).find("\ntime,displacement,"), std::string::npos);
  struct stat st {};
  ::stat(target.c_str(), &st);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
}

TEST(BatchWorkbook, ATextNoCellHoldsIsCutWithAWarningNamingTheFile) {
  CliFolder f;
  testing::TrialFileSpec odd = JumpFile(JumpShape{}, true, true);
  odd.firstName = std::string(40000, 'n');
  f.Write("a.qlx", Version2Text(JumpFile(JumpShape{}, true, true)));
  f.Write("b.qlx", Version2Text(odd));
  const std::string out = f.dir.File("results.xlsx");
  const testing::CliRun r = RunCli({"batch", f.dir.path(), "-o", out, "--config", f.Config()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "torvane-cli batch: " + f.dir.File("b.qlx") +
                       ": warning: a text longer than a worksheet cell holds (32767 characters) "
                       "was cut to fit\n");
  EXPECT_EQ(ReadText(out).substr(0, 2), "PK");
  // The same rows as a .csv are whole.
  const std::string csv = f.dir.File("results.csv");
  EXPECT_EQ(RunCli({"batch", f.dir.path(), "-o", csv, "--config", f.Config()}).err, "");
  EXPECT_NE(ReadText(csv).find(odd.firstName), std::string::npos);
}

}  // namespace
}  // namespace torvane
