// torvane-cli record against torvane-sim on a pseudo-terminal: a trial from
// every simulated unit, the recorded jump analysed, Ctrl-C and SIGTERM as
// Stop, a damaged line, a unit that goes away, one that is not there, and a
// second recording on a port in use.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>

#include "e2e/process_runner.hpp"

namespace torvane::testing {
namespace {

class RecordE2eTest : public ::testing::Test {
 protected:
  std::unique_ptr<BackgroundProgram> StartSimulator(const std::vector<std::string>& args) {
    return testing::StartSimulator(dir, link, args);
  }
  std::vector<std::string> Record(const std::string& model, const std::string& seconds,
                                  std::vector<std::string> more = {}) {
    std::vector<std::string> argv{TORVANE_CLI_PATH, "record", "--model", model, "--port", link,
                                  "--duration",     seconds,  "-o",      trial};
    argv.insert(argv.end(), more.begin(), more.end());
    return argv;
  }
  // The data lines of the trial file (the header is three lines).
  int DataLines() const {
    const std::string text = ReadText(trial);
    int lines = 0;
    for (const char ch : text) lines += ch == '\n';
    return lines - 3;
  }
  TempDir dir;
  std::string link = dir.File("unit");
  std::string trial = dir.File("trial.qlx");
};

struct UnitCase {
  const char* model;
  const char* frequency;
  int samples;
};

class RecordEachUnitE2eTest : public RecordE2eTest,
                              public ::testing::WithParamInterface<UnitCase> {};

TEST_P(RecordEachUnitE2eTest, RecordsATrialOfTheWantedLength) {
  const UnitCase u = GetParam();
  auto sim = StartSimulator({"--model", u.model, "--profile", "cmj"});
  const ProcessResult r =
      RunProgram(Record(u.model, "1", {"--frequency", u.frequency, "--record-force"}), dir, 15000);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("Recorded " + std::to_string(u.samples) + " samples at " +
                       std::string(u.frequency) + " Hz"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(DataLines(), u.samples + 1);
  const std::string text = ReadText(trial);
  EXPECT_EQ(text.rfind("\"QLX Data File Version 2\"\r\n", 0), 0u);
  EXPECT_NE(text.find("\r\n" + std::string(u.frequency) + ","), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Units, RecordEachUnitE2eTest,
    ::testing::Values(UnitCase{"zra6", "500", 500}, UnitCase{"zra6plus", "500", 500},
                      UnitCase{"zra7", "600", 600}, UnitCase{"zra7", "200", 200},
                      UnitCase{"accel", "200", 200}),
    [](const auto& info) { return std::string(info.param.model) + "_" + info.param.frequency; });

// What `analyse --json` found for a phase time.
double PhaseTime(const std::string& json, const std::string& name) {
  const std::size_t p = json.find("\"" + name + "\":");
  if (p == std::string::npos) return -1;
  return std::strtod(json.c_str() + p + name.size() + 3, nullptr);
}

TEST_F(RecordE2eTest, TheRecordedJumpHasTheSimulatorsFlightTime) {
  // A 0.30 m jump: the body rises for sqrt(2 h / g) and falls as long.
  const double flight = 2.0 * std::sqrt(2.0 * 0.30 / 9.807);
  for (const std::string model : {"zra6plus", "zra7"}) {
    auto sim = StartSimulator({"--model", model, "--profile", "cmj"});
    const ProcessResult r = RunProgram(Record(model, "3.2", {"--record-force"}), dir, 20000);
    ASSERT_EQ(r.exitCode, 0) << model << r.err;
    const ProcessResult a = RunProgram({TORVANE_CLI_PATH, "analyse", trial, "--json"}, dir);
    ASSERT_EQ(a.exitCode, 0) << a.err;
    const double takeOff = PhaseTime(a.out, "TakeOffTime");
    const double landing = PhaseTime(a.out, "LandingTime");
    EXPECT_GT(takeOff, 1.0) << a.out;
    EXPECT_NEAR(landing - takeOff, flight, 0.01) << model << ": " << a.out;
    sim->Stop();
  }
}

TEST_F(RecordE2eTest, TheDemonstrationTrialIsARecordedJumpWithDisplacementAndForceAt500Hz) {
  const std::string demo = std::string(TORVANE_SOURCE_DIR) + "/data/test.dat";
  const ProcessResult a = RunProgram({TORVANE_CLI_PATH, "analyse", demo, "--json"}, dir);
  ASSERT_EQ(a.exitCode, 0) << a.err;
  EXPECT_NE(a.out.find("\"frequency\": 500"), std::string::npos) << a.out;
  EXPECT_NE(a.out.find("\"record_force\": true"), std::string::npos) << a.out;
  EXPECT_NEAR(PhaseTime(a.out, "LandingTime") - PhaseTime(a.out, "TakeOffTime"),
              2.0 * std::sqrt(2.0 * 0.30 / 9.807), 0.01);
}

bool WaitUntilRecording(const BackgroundProgram& record) {
  for (int waited = 0; waited < 8000; waited += 20) {
    if (record.err().find("recording:") != std::string::npos) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

TEST_F(RecordE2eTest, CtrlCAndSigtermEndTheCollectionWithWhatItHasAndSaveIt) {
  for (const int signal : {SIGINT, SIGTERM}) {
    auto sim = StartSimulator({"--model", "zra6plus", "--profile", "still"});
    BackgroundProgram record(Record("zra6plus", "30", {"--frequency", "500"}), dir, "record");
    ASSERT_TRUE(WaitUntilRecording(record)) << record.err();
    record.Signal(signal);
    ASSERT_EQ(record.WaitForEnd(5000), 0) << record.err();
    EXPECT_NE(record.err().find("stopped: the collection ends with"), std::string::npos);
    const int lines = DataLines();
    EXPECT_GT(lines, 400);
    EXPECT_LT(lines, 5000);
    sim->Stop();
  }
}

TEST_F(RecordE2eTest, ADamagedLineGivesADamagedTrialOfTheFullLength) {
  auto sim = StartSimulator({"--model", "zra6plus", "--drop-every", "100"});
  const ProcessResult r =
      RunProgram(Record("zra6plus", "1", {"--frequency", "500", "--record-force"}), dir, 15000);
  EXPECT_EQ(r.exitCode, 3) << r.err;
  EXPECT_NE(r.err.find("Collection damaged: 500 samples, "), std::string::npos) << r.err;
  EXPECT_EQ(DataLines(), 501);
}

TEST_F(RecordE2eTest, ASecondRecordingOnAPortInUseIsRefusedAndTheFirstGoesOn) {
  auto sim = StartSimulator({"--model", "zra7", "--profile", "still"});
  BackgroundProgram first(Record("zra7", "3"), dir, "first");
  ASSERT_TRUE(WaitUntilRecording(first)) << first.err();
  const std::string second = dir.File("second.qlx");
  std::vector<std::string> argv = Record("zra7", "1");
  argv.back() = second;
  const ProcessResult r = RunProgram(argv, dir, 5000);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("port in use"), std::string::npos) << r.err;
  EXPECT_TRUE(ReadText(second).empty());
  ASSERT_EQ(first.WaitForEnd(8000), 0) << first.err();
  EXPECT_EQ(DataLines(), 1801);
}

TEST_F(RecordE2eTest, AUnitThatGoesAwayEndsTheCollectionAndTheTrialIsKept) {
  auto sim = StartSimulator({"--model", "zra6plus", "--disconnect-after", "2.5"});
  const ProcessResult r = RunProgram(Record("zra6plus", "10", {"--frequency", "500"}), dir, 15000);
  ASSERT_EQ(r.exitCode, 3) << r.err;  // saved, but cut short
  EXPECT_NE(r.err.find("stopped responding during the collection"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("Collection cut short: "), std::string::npos) << r.err;
  const int lines = DataLines();
  EXPECT_GT(lines, 200);
  EXPECT_LT(lines, 1500);
}

TEST_F(RecordE2eTest, AUnitThatIsNotThereIsReportedAndNothingIsSaved) {
  auto sim = StartSimulator({"--model", "zra6plus", "--silent"});
  const ProcessResult r = RunProgram(Record("zra6plus", "1"), dir, 15000);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("ZRA6Plus unit not found"), std::string::npos) << r.err;
  EXPECT_TRUE(ReadText(trial).empty());
  const ProcessResult usage = RunProgram({TORVANE_CLI_PATH, "record", "--model", "zra9"}, dir);
  EXPECT_EQ(usage.exitCode, 2);
}

}  // namespace
}  // namespace torvane::testing
