// torvane-cli reps, run in the test process, over two lifts whose
// repetitions can be worked out by hand.

#include <gtest/gtest.h>

#include <cstdio>

#include "cli/cli_test_support.hpp"
#include "training/training_file.hpp"

namespace torvane {
namespace {

using testing::CliFolder;
using testing::Lines;
using testing::RunCli;

// 100 Hz (10-sample portions), a bar zeroed at the bottom: rest, a rise in
// 0.02-m steps to 0.60 m (reached at sample 39), hold, a fall in 0.02-m
// steps that is more than 0.05 m below the top at sample 52; then the same
// to 0.50 m (top at 114, bottom at 79, complete at 127).
std::string TwoLifts() {
  std::vector<double> x(10, 0.0);
  for (const int steps : {30, 25}) {
    for (int i = 1; i <= steps; ++i) x.push_back(0.02 * i);
    x.insert(x.end(), 10, 0.02 * steps);
    for (int i = steps - 1; i >= 0; --i) x.push_back(0.02 * i);
    x.insert(x.end(), 10, 0.0);
  }
  std::string text =
      "\"QLX Data File Version 2\"\r\n\"2026-03-14 10:02:45\"\r\n"
      "100,0,80,\"7\",\"Ann\",\"Lee\",80\r\n";
  char line[32];
  for (const double v : x) {
    std::snprintf(line, sizeof line, "%.4f\r\n", v);
    text += line;
  }
  return text;
}

bool StartsWith(const std::string& text, std::string_view prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

struct RepsRun : CliFolder {
  std::string trial = Write("lifts.qlx", TwoLifts());
  testing::CliRun Run(std::vector<std::string> more) {
    std::vector<std::string> args{"reps", trial, "--config", Config()};
    args.insert(args.end(), more.begin(), more.end());
    return RunCli(args);
  }
};

TEST(RepsCommand, TableShowsTheGridRowsOfEachRepetition) {
  RepsRun f;
  const auto r = f.Run({});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 4u) << r.out;
  EXPECT_EQ(lines[1],
            "   Rep No  Max Dis  Min Dis  Concent  Max Vel  Avg Pow WorkDone   sample  "
            "Maximum Distance (m)");
  // Work 0.6 × 80 × 9.807 = 471 J over 390 ms; 0.5 m over 350 ms.
  EXPECT_PRED2(StartsWith, lines[2],
               "        1    0.600    0.000      390    2.000     1207      471       52");
  EXPECT_PRED2(StartsWith, lines[3],
               "        2    0.500    0.000      350    2.000     1121      392      127");
}

TEST(RepsCommand, JsonKeysInOrderSamplesAndFeedbackAroundTheThreshold) {
  RepsRun f;
  for (const bool media : {true, false}) {
    const auto r = f.Run({"--json", "--set", "FeedbackThreshold=0.55", "--set",
                          std::string("mmavailable=") + (media ? "true" : "false")});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 2u) << r.out;
    EXPECT_PRED2(
        StartsWith, lines[0],
        "{\"Rep No\": {\"text\": \" 1\", \"value\": 1}, \"Max Dis\": {\"text\": \"0.600\", "
        "\"value\": 0.6");
    std::size_t previous = 0;
    for (const char* key : {"\"Min Dis\"", "\"Concent\"", "\"Max Vel\"", "\"Avg Pow\"",
                            "\"WorkDone\"", "\"chart\"", "\"feedback\"", "\"sample\""}) {
      const std::size_t at = lines[0].find(key);
      ASSERT_NE(at, std::string::npos) << key;
      EXPECT_GT(at, previous) << key << " out of order";
      previous = at;
    }
    EXPECT_NE(lines[0].find("\"chart\": {\"title\": \"Maximum Distance (m)\", \"value\": 0.6"),
              std::string::npos);
    const std::string over = media ? "over" : "beep";
    EXPECT_NE(lines[0].find("\"feedback\": {\"over\": true, \"sound\": \"" + over +
                            "\", \"label\": \"0.6\", \"back_colour\": 49152, "
                            "\"text_colour\": 255}, \"sample\": 52}"),
              std::string::npos)
        << lines[0];
    const std::string under = media ? "under" : "none";
    EXPECT_NE(lines[1].find("\"feedback\": {\"over\": false, \"sound\": \"" + under +
                            "\", \"label\": \"0.5\", \"back_colour\": 255, "
                            "\"text_colour\": 49152}, \"sample\": 127}"),
              std::string::npos)
        << lines[1];
  }
  // Acceleration plots nothing, so no feedback; flight mode heads column 3 "Contact".
  const auto a = f.Run({"--json", "--plot", "acceleration", "--flight"});
  ASSERT_EQ(a.status, 0) << a.err;
  EXPECT_NE(a.out.find("\"Contact\": {"), std::string::npos);
  EXPECT_NE(a.out.find("\"chart\": {\"title\": \"Acceleration\", \"value\": null}, "
                       "\"feedback\": null"),
            std::string::npos)
      << a.out;
}

TEST(RepsCommand, SummaryAddsTheSetSummaryAndTheWorksheetRow) {
  RepsRun f;
  const auto r = f.Run({"--json", "--summary", "--mass", "75"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 3u);
  const std::string& s = lines[2];
  EXPECT_PRED2(StartsWith, s,
               "{\"summary\": {\"Max Distance\": {\"peak\": {\"text\": \"0.600\", \"value\": "
               "0.6000000238418579}, \"average\": {\"text\": \"0.550\"");
  // 75 kg × 9.807 × (0.6 + 0.5) m = 809 J.
  EXPECT_NE(s.find("\"Total Reps\": {\"text\": \"2\", \"value\": 2}, \"Total Work Done\": "
                   "{\"text\": \"809\""),
            std::string::npos);
  EXPECT_NE(s.find("\"worksheet\": [{\"column\": \"A\", \"header\": \"Name and ID\", "
                   "\"format\": \"\", \"text\": \"Ann Lee 7\", \"value\": null}, {\"column\": "
                   "\"B\", \"header\": \"Mass\", \"format\": \"0.00\", \"text\": \"75.00\", "
                   "\"value\": 75}, {\"column\": \"C\", \"header\": \"Num. Reps\""),
            std::string::npos)
      << s;
  EXPECT_NE(s.find("{\"column\": \"P\", \"header\": \"Avg Work\""), std::string::npos);
}

TEST(RepsCommand, TrainingFileIsWhatSaveSetWritesAndReadsBack) {
  RepsRun f;
  const std::string out = f.dir.File("train.dat");
  const auto r =
      f.Run({"--training-file", out, "--now", "2026-12-06 21:37:03", "--stop-after", "1"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Lines(r.out).size(), 3u) << "one repetition only";
  const std::string bytes = testing::ReadText(out);
  EXPECT_EQ(bytes,
            "QLX Training File for Ann Lee ID: 7\r\n"
            " 1 reps completed on Sunday, 6 December 2026            09:37:03 PM   "
            "Mass:  80 kg\r\n"
            "repno         maxheight     minheight     peakvel       concentrictm  power"
            "         workdone\r\n"
            "1,.6,0,2,390,1207.016,470.736\r\n"
            "end of set\r\n");
  const TrainingFileContents back = ParseTrainingFile(bytes);
  ASSERT_TRUE(back.ok) << back.error;
  EXPECT_EQ(back.set.RepCount, 1);

  // To stdout, it stands alone.
  const auto stdout = f.Run({"--training-file", "-", "--now", "2026-12-06T21:37:03"});
  ASSERT_EQ(stdout.status, 0) << stdout.err;
  EXPECT_EQ(stdout.out.substr(0, 35), "QLX Training File for Ann Lee ID: 7");
  EXPECT_NE(stdout.out.find("\r\n2,.5,0,2,350,"), std::string::npos);

  // A training file is no trial; the trial is never the output.
  const auto refused = RunCli({"reps", out, "--config", f.Config()});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("train.dat"), std::string::npos) << refused.err;
  EXPECT_EQ(f.Run({"--training-file", f.trial}).status, 1);
  EXPECT_EQ(testing::ReadText(f.trial), TwoLifts());
}

TEST(RepsCommand, UsageErrors) {
  RepsRun f;
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"--plot", "height"},
                                             {"--now", "2026-02-30 10:00:00"},
                                             {"--now", "2026-12-06"},
                                             {"--mass", "0"},
                                             {"--mode", "D"},
                                             {"--bogus"},
                                             {"--stop-after", "0"},
                                             {"--set", "repthreshold=abc"},
                                             {"--training-file", "-", "--json"}}) {
    const auto r = f.Run(args);
    EXPECT_EQ(r.status, 2) << args[0];
    EXPECT_NE(r.err.find("usage: torvane-cli reps"), std::string::npos) << args[0];
    EXPECT_EQ(r.out, "") << args[0];
  }
  EXPECT_EQ(RunCli({"reps", "--config", f.Config()}).status, 2);
}

}  // namespace
}  // namespace torvane
