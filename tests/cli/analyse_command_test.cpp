// torvane-cli analyse, run in the test process.

#include <gtest/gtest.h>

#include <cstdlib>

#include "cli/cli_test_support.hpp"
#include "common/number_text.hpp"
#include "results/results_variables.hpp"

namespace torvane {
namespace {

using testing::CliFolder;
using testing::JumpFile;
using testing::JumpShape;
using testing::Lines;
using testing::RunCli;

// The text and the value of one variable in a JSON line.
struct JsonResult {
  bool found = false;
  std::string text;
  std::string value;  // as written: a number or null
};

JsonResult ResultIn(const std::string& line, std::string_view header) {
  JsonResult r;
  const std::string key = "\"" + std::string(header) + "\": {\"text\": \"";
  std::size_t p = line.find(key);
  if (p == std::string::npos) return r;
  p += key.size();
  const std::size_t endText = line.find('"', p);
  r.text = line.substr(p, endText - p);
  const std::string valueKey = "\"value\": ";
  const std::size_t v = line.find(valueKey, endText) + valueKey.size();
  r.value = line.substr(v, line.find('}', v) - v);
  r.found = true;
  return r;
}

double JsonNumber(const std::string& line, const std::string& key) {
  const std::size_t p = line.find("\"" + key + "\": ");
  if (p == std::string::npos) return -12345;
  return std::strtod(line.c_str() + p + key.size() + 4, nullptr);
}

TEST(AnalyseCommand, JsonLineHasTheKeysInOrderAndTextsMatchTheirValues) {
  CliFolder f;
  const std::string file = f.Write("cmj.qlx", Version2Text(JumpFile(JumpShape{}, true, true)));
  const auto r = RunCli({"analyse", file, "--json", "--config", f.Config()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  const std::vector<std::string> lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 1u);
  const std::string& line = lines[0];
  const std::string head = "{\"file\": \"" + file +
                           "\", \"kind\": 7, \"samples\": 1000, \"frequency\": 500, \"mass\": 80, "
                           "\"record_force\": true, \"mode\": \"DF\", \"analysis_start\": 0, "
                           "\"analysis_end\": 999, \"phases\": {\"MovementOnsetTime\": ";
  EXPECT_EQ(line.substr(0, head.size()), head);
  EXPECT_LT(line.find("\"ZeroVelocityTime\""), line.find("\"TakeOffTime\""));
  EXPECT_LT(line.find("\"TakeOffTime\""), line.find("\"LandingTime\""));
  EXPECT_NEAR(JsonNumber(line, "TakeOffTime"), 0.8, 0.01);
  // With displacement the landing scan ends at the lowest (filtered)
  // velocity, just before the force comes back.
  EXPECT_NEAR(JsonNumber(line, "LandingTime"), 1.29, 0.01);
  std::size_t previous = 0;
  for (const ResultsVariable& variable : kResultsVariables) {
    const JsonResult result = ResultIn(line, variable.header);
    ASSERT_TRUE(result.found) << variable.header;
    const std::size_t at = line.find("\"" + std::string(variable.header) + "\": {");
    EXPECT_GT(at, previous) << variable.header << " out of order";
    previous = at;
    if (result.value == "null") {
      EXPECT_EQ(result.text, "") << variable.header;
    } else {
      EXPECT_EQ(FormatNumber(std::strtod(result.value.c_str(), nullptr), variable.format),
                result.text)
          << variable.header;
    }
  }
  // The quality flags come last: 0.4 s of standing is too short to weigh by.
  const std::size_t quality = line.find("}, \"quality\": [{\"code\": \"short-weighing\", ");
  ASSERT_NE(quality, std::string::npos) << line;
  EXPECT_GT(quality, previous);
  EXPECT_NEAR(JsonNumber(line, "quiet_s"), 0.4, 0.06);
  EXPECT_EQ(line.substr(line.size() - 3), "}]}");
  // A jump after 1.2 s of quiet standing has none, and the table says so.
  const JumpShape later{.lines = 2001, .start = 600};
  f.Write("clean.qlx", Version2Text(JumpFile(later, false, true)));
  const auto clean = RunCli({"analyse", f.dir.File("clean.qlx"), "--json", "--config", f.Config()});
  EXPECT_EQ(clean.out.substr(clean.out.size() - 19), "}}, \"quality\": []}\n");
  const auto table = RunCli({"analyse", file, "--config", f.Config()});
  EXPECT_NE(table.out.find("\n  quality:\n    short-weighing: There is no second"),
            std::string::npos)
      << table.out;
}

TEST(AnalyseCommand, EveryFileStartsFromTheConfiguredSettings) {
  CliFolder f;
  testing::TrialFileSpec heavy = JumpFile(JumpShape{}, true, true);
  heavy.weight = 90;
  const std::string first = f.Write("a.qlx", Version2Text(heavy));
  const std::string bare = f.Write("c.qlx", HeaderlessText(heavy));
  const auto r =
      RunCli({"analyse", "--json", first, bare, "--config", f.Config(), "--set", "weight=72.5"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(JsonNumber(lines[0], "mass"), 90);
  // A file without a header has no mass: the configured one, not the last file's.
  EXPECT_EQ(JsonNumber(lines[1], "mass"), 72.5);
}

TEST(AnalyseCommand, RefusedFilesAreNamedOnStderrAndTheRestAnalysed) {
  CliFolder f;
  const std::string training = f.Write("t.qlx", "\"QLX Training File\",\"A1\"\r\n");
  const std::string good = f.Write("g.qlx", Version2Text(JumpFile(JumpShape{}, true, true)));
  const std::string missing = f.dir.File("nowhere.qlx");
  const auto r = RunCli({"analyse", training, good, missing, "--csv", "--config", f.Config()});
  EXPECT_EQ(r.status, 1);
  const std::vector<std::string> errors = Lines(r.err);
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_NE(errors[0].find(training), std::string::npos);
  EXPECT_NE(errors[0].find("Selected File is a QLX Training File."), std::string::npos);
  EXPECT_NE(errors[1].find(missing), std::string::npos);
  const std::vector<std::string> rows = Lines(r.out);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].substr(0, 25), "file,Peak Dist,Min Dist,P");
  EXPECT_EQ(rows[1].substr(0, good.size() + 1), good + ",");
}

TEST(AnalyseCommand, UsageErrorsAnalyseNothing) {
  CliFolder f;
  const std::string good = f.Write("g.qlx", Version2Text(JumpFile(JumpShape{}, true, true)));
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"analyse", good, "--bogus"}, {"analyse"}}) {
    const auto r = RunCli(args);
    EXPECT_EQ(r.status, 2) << args.back();
    EXPECT_EQ(r.out, "") << args.back();
    EXPECT_NE(r.err, "") << args.back();
  }
}

TEST(AnalyseCommand, RangeAndFrameJump) {
  CliFolder f;
  const std::string file = f.Write("cmj.qlx", Version2Text(JumpFile(JumpShape{}, true, true)));
  auto r =
      RunCli({"analyse", file, "--json", "--from", "0.3", "--to", "1.5", "--config", f.Config()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(JsonNumber(r.out, "analysis_start"), 150);
  EXPECT_EQ(JsonNumber(r.out, "analysis_end"), 750);
  // --frame-jump reaches the results: the impulses count from the onset.
  const std::string whole = RunCli({"analyse", file, "--json", "--config", f.Config()}).out;
  const std::string frame =
      RunCli({"analyse", file, "--json", "--frame-jump", "--config", f.Config()}).out;
  EXPECT_NE(ResultIn(whole, "Impulse100").value, ResultIn(frame, "Impulse100").value);
  // The readable table names every variable.
  r = RunCli({"analyse", file, "--config", f.Config()});
  EXPECT_NE(r.out.find("  JumpHt-PV"), std::string::npos);
  EXPECT_NE(r.out.find("mode DF"), std::string::npos);
}

}  // namespace
}  // namespace torvane
