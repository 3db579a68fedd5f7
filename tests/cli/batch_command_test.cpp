// torvane-cli batch, run in the test process.

#include <gtest/gtest.h>

#include "cli/cli_test_support.hpp"

namespace torvane {
namespace {

using testing::CliFolder;
using testing::JumpFile;
using testing::JumpShape;
using testing::Lines;
using testing::ReadText;
using testing::RunCli;
using testing::TrialFileSpec;

// A folder of varied trials: every kind of file, with and without force or
// displacement, jumps of different heights and masses.
void WriteVariedTrials(const CliFolder& f, int count) {
  for (int i = 0; i < count; ++i) {
    JumpShape shape;
    shape.takeOffVelocity = 1.8 + 0.05 * i;
    shape.dipVelocity = (i % 3) * 0.25;
    shape.mass = 60 + i;
    shape.start = 150 + 7 * i;
    const bool displacement = i % 4 != 1;
    const bool force = i % 4 != 2;
    TrialFileSpec trial = JumpFile(shape, displacement, force);
    trial.id = "ID" + std::to_string(i);
    char name[32];
    std::snprintf(name, sizeof name, "trial%02d.qlx", i);
    std::string text;
    switch (i % 5) {
      case 0:
        text = Version1Text(trial);
        break;
      case 1:
        text = HeaderlessText(trial);
        break;
      case 2:
        text = ForcePlatformExportText(JumpFile(shape, false, true));
        break;
      default:
        text = Version2Text(trial);
        break;
    }
    f.Write(name, text);
  }
}

TEST(BatchCommand, OneRowPerFileInNameOrderWithTheSelectedColumns) {
  CliFolder f;
  TrialFileSpec b = JumpFile(JumpShape{}, true, true);
  b.id = "B";
  TrialFileSpec a = JumpFile(JumpShape{}, true, false);  // displacement only, 80 kg
  a.id = "A";
  a.firstName = "Ann";
  f.Write("b.QLX", Version2Text(b));
  f.Write("a.qlx", Version2Text(a));
  f.Write("c.txt", "ignored");
  const std::string out = f.dir.File("out.csv");
  const auto r = RunCli({"batch", f.dir.path(), "-o", out, "--config", f.Config(), "--select",
                         "Peak Force,Mean Force,FlightTime,JumpHt-FT,JumpHt-PV"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> rows = Lines(ReadText(out));
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0].rfind("\"Torvane Measurement System Data Analysis on ", 0), 0u);
  EXPECT_EQ(rows[1],
            "ID,Name,BW,Load,TimeStamp,Peak Force,Mean Force,FlightTime,JumpHt-FT,JumpHt-PV");
  // Displacement only: the mass stays the file's 80 kg.
  EXPECT_EQ(rows[2].rfind("A,AnnLee,61.500,80.000,2026-12-06 10:00:00,", 0), 0u) << rows[2];
  EXPECT_EQ(rows[3].substr(0, 2), "B,");
  EXPECT_EQ(std::count(rows[3].begin(), rows[3].end(), ','), 9);
  // --quality: one more column, the codes of each file's flags.
  ASSERT_EQ(RunCli({"batch", f.dir.path(), "-o", out, "--config", f.Config(), "--select",
                    "Peak Force", "--quality"})
                .status,
            0);
  const std::vector<std::string> flagged = Lines(ReadText(out));
  ASSERT_EQ(flagged.size(), 4u);
  EXPECT_EQ(flagged[1], "ID,Name,BW,Load,TimeStamp,Peak Force,Quality");
  EXPECT_EQ(std::count(flagged[2].begin(), flagged[2].end(), ','), 5) << "no force, no flags";
  // With displacement the landing is the lowest velocity, before the force returns.
  EXPECT_EQ(flagged[3].substr(flagged[3].size() - 34), ",short-weighing; landing-not-found")
      << flagged[3];
}

TEST(BatchCommand, UnreadableFilesAreSkippedAndNamed) {
  CliFolder f;
  f.Write("a.qlx", Version2Text(JumpFile(JumpShape{}, true, true)));
  f.Write("b.qlx", "\"QLX Training File\",\"A1\"\r\n");
  f.Write("c.qlx", "");
  const std::string out = f.dir.File("out.xlsx");
  const auto r = RunCli({"batch", f.dir.path(), "-o", out, "--config", f.Config()});
  EXPECT_EQ(r.status, 1);
  const std::vector<std::string> errors = Lines(r.err);
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_NE(errors[0].find(f.dir.File("b.qlx")), std::string::npos);
  EXPECT_NE(errors[1].find(f.dir.File("c.qlx")), std::string::npos);
  EXPECT_TRUE(FileExists(out));
}

TEST(BatchCommand, UsageAndFolderErrors) {
  CliFolder f;
  f.Write("a.qlx", Version2Text(JumpFile(JumpShape{}, true, true)));
  const std::string out = f.dir.File("out.csv");
  EXPECT_EQ(RunCli({"batch", f.dir.path(), "-o", f.dir.File("out.txt")}).status, 2);
  EXPECT_EQ(RunCli({"batch", f.dir.path()}).status, 2);
  EXPECT_EQ(RunCli({"batch", f.dir.path(), "-o", out, "--select", "Peak Force,Nope"}).status, 2);
  EXPECT_EQ(RunCli({"batch", f.dir.path(), "-o", out, "--jobs", "0"}).status, 2);
  EXPECT_EQ(RunCli({"batch", f.dir.path(), "-o", out, "--mass", "70"}).status, 2);
  EXPECT_FALSE(FileExists(out));
  CliFolder empty;
  const auto r = RunCli({"batch", empty.dir.path(), "-o", out, "--config", empty.Config()});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find(empty.dir.path()), std::string::npos);
  EXPECT_EQ(RunCli({"batch", f.dir.File("none"), "-o", out, "--config", f.Config()}).status, 1);
}

TEST(BatchCommand, SeveralWorkersGiveTheSameRowsAsOne) {
  CliFolder f;
  WriteVariedTrials(f, 24);
  const std::string one = f.dir.File("one.csv");
  const std::string three = f.dir.File("three.csv");
  const auto r1 = RunCli({"batch", f.dir.path(), "-o", one, "--jobs", "1", "--config", f.Config()});
  const auto r3 =
      RunCli({"batch", f.dir.path(), "-o", three, "--jobs", "3", "--config", f.Config()});
  ASSERT_EQ(r1.status, 0) << r1.err;
  ASSERT_EQ(r3.status, 0) << r3.err;
  const std::string first = ReadText(one);
  EXPECT_EQ(first, ReadText(three));
  EXPECT_EQ(Lines(first).size(), 2u + 24u);
  // And the same as each file analysed on its own.
  for (int i : {0, 7, 23}) {
    char name[32];
    std::snprintf(name, sizeof name, "trial%02d.qlx", i);
    const auto single =
        RunCli({"analyse", f.dir.File(name), "--csv", "--mass-from-force", "--config", f.Config()});
    const std::vector<std::string> analysed = Lines(single.out);
    ASSERT_EQ(analysed.size(), 2u);
    const std::string texts = analysed[1].substr(analysed[1].find(',') + 1);
    const std::string row = Lines(first)[static_cast<std::size_t>(2 + i)];
    std::size_t commas = 0, p = 0;
    while (commas < 5) commas += row[p++] == ',';
    EXPECT_EQ(row.substr(p), texts) << name;
  }
}

}  // namespace
}  // namespace torvane
