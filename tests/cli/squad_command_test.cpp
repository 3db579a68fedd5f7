#include <gtest/gtest.h>

#include "cli_test_support.hpp"

namespace torvane::testing {
namespace {

TEST(SquadCommand, ListsTheAthletesAsReadInJsonOrATable) {
  CliFolder f;
  const std::string csv =
      f.Write("team.csv", "Id,First,Last,Mass\n7,\"Ann \"\"A\"\"\",Lee,72.5\n8,Bo,,\n");
  const CliRun json = RunCli({"squad", csv, "--json"});
  EXPECT_EQ(json.status, 0) << json.err;
  EXPECT_EQ(json.out,
            "{\"Id\": \"7\", \"FirstName\": \"Ann \\\"A\\\"\", \"LastName\": \"Lee\", "
            "\"BodyMass\": 72.5}\n"
            "{\"Id\": \"8\", \"FirstName\": \"Bo\", \"LastName\": \"\", \"BodyMass\": 0}\n");
  const CliRun table = RunCli({"squad", TORVANE_TESTS_DIR "/squads/squad.xls"});
  EXPECT_EQ(Lines(table.out).at(0), "Id  FirstName  LastName  BodyMass");
  EXPECT_EQ(Lines(table.out).at(1), "7   Ann        Lee       72.5");
  EXPECT_EQ(Lines(table.out).size(), 4u);
}

TEST(SquadCommand, AnUnreadableWorkbookOrAMissingNameFails) {
  CliFolder f;
  const std::string bad = f.Write("team.xlsx", std::string("PK\x03\x04 cut", 8));
  const CliRun r = RunCli({"squad", bad, "--json"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("The squad file " + bad + " could not be read"), std::string::npos);
  EXPECT_TRUE(r.out.empty());
  EXPECT_EQ(RunCli({"squad"}).status, 2);
  EXPECT_EQ(RunCli({"squad", bad, "--xml"}).status, 2);
}

}  // namespace
}  // namespace torvane::testing
