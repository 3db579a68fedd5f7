// Two-point calibration: the arithmetic on known readings, every refusal of
// Done and of a reading, calibrations against the simulated unit on
// simulated time (bounded, cancellable), Cancel, and the calibration log.
#include "calibration/two_point_calibration.hpp"

#include <gtest/gtest.h>

#include "acquisition/collection_session.hpp"
#include "common/number_text.hpp"
#include "config/ini_file.hpp"
#include "link/link_fixture.hpp"
#include "shell/calibration_session.hpp"
#include "sim/unit_emulator.hpp"

namespace torvane::testing {
namespace {

CalibrationState Readings(CalibrationKind kind, std::optional<double> low,
                          std::optional<double> high) {
  CalibrationState state = BeginCalibration(SettingsRecord{}, kind);
  state.lowReading = low;
  state.highReading = high;
  return state;
}

TEST(CalibrationArithmetic, KnownReadingsGiveTheSlopeAndTheInterceptThatReadsZero) {
  CalibrationState force = Readings(CalibrationKind::Force, 400, 1380);
  force.lowLoadText = "0";
  force.highLoadText = "100";
  EXPECT_EQ(CalibrationFactorText(force), "1.000714");
  CalibrationCheck check = CheckCalibration(force);
  ASSERT_TRUE(check.result) << check.refusal;
  EXPECT_EQ(check.result->slope, 1.000714);
  EXPECT_NEAR(check.result->intercept, 400, 1e-3);
  // 20 kg read as 600, 100 kg as 1400: no load would read 400.
  force = Readings(CalibrationKind::Force, 600, 1400);
  force.lowLoadText = "20";
  force.highLoadText = "100";
  check = CheckCalibration(force);
  ASSERT_TRUE(check.result);
  EXPECT_NEAR(check.result->intercept, 400, 1e-3);

  CalibrationState position = Readings(CalibrationKind::Position, 1000, 1800);
  position.distanceText = "0.8";
  EXPECT_EQ(CalibrationFactorText(position), "0.001");
  check = CheckCalibration(position);
  ASSERT_TRUE(check.result);
  EXPECT_FLOAT_EQ(static_cast<float>(check.result->slope), 0.001f);
  EXPECT_EQ(check.result->intercept, 1000);
  // Equal readings leave no factor; a distance edited afterwards recomputes at once.
  EXPECT_EQ(CalibrationFactorText(Readings(CalibrationKind::Position, 5, 5)), "");
  position.distanceText = "1.6";
  EXPECT_EQ(CalibrationFactorText(position), "0.002");
}

TEST(CalibrationArithmetic, SwitchingUnitsConvertsTheLoadsAndKeepsTheFactor) {
  CalibrationState force = Readings(CalibrationKind::Force, 400, 1380);
  force.lowLoadText = "";
  force.highLoadText = "10";
  SetForceUnits(force, true);
  EXPECT_EQ(force.highLoadText, "98.07");
  EXPECT_EQ(force.lowLoadText, "");
  SetForceUnits(force, false);
  EXPECT_EQ(force.highLoadText, "10");
  EXPECT_EQ(CalibrationReadingText(1380.0), " 1380");
  EXPECT_EQ(CalibrationReadingText(std::nullopt), "");
}

TEST(CalibrationArithmetic, DoneRefusesEveryIncompleteOrWrongCalibration) {
  const struct {
    CalibrationKind kind;
    std::optional<double> low, high;
    const char *distance, *lowLoad, *highLoad;
    const char* refusal;
  } cases[] = {
      {CalibrationKind::Position, std::nullopt, 1800, "0.8", "", "", kPositionReadingsMissing},
      {CalibrationKind::Position, 1000, std::nullopt, "0.8", "", "", kPositionReadingsMissing},
      {CalibrationKind::Position, 1000, 1000, "0.8", "", "", kPositionReadingsOutOfOrder},
      {CalibrationKind::Position, 1800, 1000, "0.8", "", "", kPositionReadingsOutOfOrder},
      {CalibrationKind::Position, 1000, 1800, "", "", "", kPositionDistanceMissing},
      {CalibrationKind::Position, 1000, 1800, "0", "", "", kPositionDistanceMissing},
      {CalibrationKind::Position, 1000, 1800, "-0.8", "", "", kPositionDistanceMissing},
      {CalibrationKind::Force, std::nullopt, std::nullopt, "", "0", "100", kForceReadingsMissing},
      {CalibrationKind::Force, 400, 400, "", "0", "100", kForceReadingsOutOfOrder},
      {CalibrationKind::Force, 1380, 400, "", "0", "100", kForceReadingsOutOfOrder},
      {CalibrationKind::Force, 400, 1380, "", "", "100", kForceLoadsMissing},
      {CalibrationKind::Force, 400, 1380, "", "0", "kg", kForceLoadsMissing},
      {CalibrationKind::Force, 400, 1380, "", "-5", "100", kForceLoadNegative},
      {CalibrationKind::Force, 400, 1380, "", "50", "50", kForceLoadsOutOfOrder},
      {CalibrationKind::Force, 400, 1380, "", "0", "0", kForceLoadsOutOfOrder},
  };
  for (const auto& k : cases) {
    CalibrationState state = Readings(k.kind, k.low, k.high);
    state.distanceText = k.distance;
    state.lowLoadText = k.lowLoad;
    state.highLoadText = k.highLoad;
    const CalibrationCheck check = CheckCalibration(state);
    EXPECT_FALSE(check.result) << k.refusal;
    EXPECT_EQ(check.refusal, k.refusal);
  }
}

TEST(CalibrationLog, RelativeNamesLieInTheDataFolderAndFullPathsStay) {
  SettingsRecord s;
  s.ProgramDataDirectory = "/data/tms";
  const std::pair<const char*, const char*> cases[] = {
      {"/QLXCalibration.log", "/data/tms/QLXCalibration.log"},
      {"\\QLXCalibration.log", "/data/tms/QLXCalibration.log"},
      {"", "/data/tms/QLXCalibration.log"},
      {"cal.log", "/data/tms/cal.log"},
      {"logs\\cal.log", "/data/tms/logs/cal.log"},
      {"C:\\Users\\Public\\cal.log", "/data/tms/cal.log"},
      {"/var/log/tms/cal.log", "/var/log/tms/cal.log"},
  };
  for (const auto& [stored, path] : cases) {
    s.CalibrationLogFile = stored;
    EXPECT_EQ(CalibrationLogPath(s), path) << stored;
  }
  EXPECT_EQ(
      CalibrationLogLine(LocalDateTime{2026, 12, 6, 17, 7, 9}, CalibrationKind::Force, 1.000714),
      "2026-12-06 17:07:09Force Cal. Slope: 1.000714");
}

// Calibrations against a simulated ZRA6 standing still; the transducer's
// height and the load on the platform change between readings.
class CalibrationTest : public ::testing::Test, public LinkFixture {
 protected:
  CalibrationTest() {
    SettingsRecord& s = session.settings;
    s.ProgramDataDirectory = dir.path();
    s.ConfigFilePath = dir.File("QLXConfig.ini");
    s.CalibrationLogFile = "/QLXCalibration.log";
    s.DispCalSlope = 0.005f;
    s.DispInt = 17;
    s.ForceCalSlope = 2.0f;
    s.ForceInt = 5;
    s.samples = 1000;
    DimensionDataArrays(session.trial, s.samples);
    SelectZra6();
  }

  // The simulated unit now: the bar at `height` m, `mass` kg on the platform.
  void Place(double height, double mass, bool silent = false) {
    options.model = sim::UnitModel::Zra6;
    options.profile = sim::ProfileKind::Still;
    options.sensor.noise = 0;
    options.sensor.baseHeight = height;
    options.body.bodyMass = mass;
    options.faults.silent = silent;
    unit = sim::MakeUnitEmulator(options);
    serial->onWrite = [this](const std::string& bytes) {
      unit->Receive(bytes, loop.Milliseconds());
      serial->Deliver(unit->Produce(loop.Milliseconds()));
    };
    loop.SetPumpHook([this] { serial->Deliver(unit->Produce(loop.Milliseconds())); });
  }

  TempDir dir;
  sim::UnitOptions options;
  std::unique_ptr<sim::UnitEmulator> unit;
  CalibrationContext cx = CalibrationContextOf(session);
};

TEST_F(CalibrationTest, APositionAndAForceCalibrationMapTheUnitsCountsBackToItsValues) {
  SettingsRecord& s = session.settings;
  CalibrationState position = BeginCalibration(s, CalibrationKind::Position);
  Place(0.9, 80);
  ASSERT_TRUE(ReadCalibrationPoint(cx, position, CalibrationPoint::Low));
  Place(3.6, 80);
  ASSERT_TRUE(ReadCalibrationPoint(cx, position, CalibrationPoint::High));
  // The readings change no setting: the offsets and slopes stay until Done.
  EXPECT_FLOAT_EQ(s.DispInt, 17.0f);
  EXPECT_FLOAT_EQ(s.DispCalSlope, 0.005f);
  position.distanceText = "2.7";
  ASSERT_TRUE(AcceptCalibration(cx, position));
  EXPECT_NEAR(s.DispCalSlope, 0.009, 1e-6);
  EXPECT_NEAR(s.DispInt, 100, 1e-3);  // the bottom position reads 0
  EXPECT_NEAR((400 - s.DispInt) * s.DispCalSlope, 2.7, 1e-5);

  CalibrationState force = BeginCalibration(s, CalibrationKind::Force);
  Place(1, 30);
  ASSERT_TRUE(ReadCalibrationPoint(cx, force, CalibrationPoint::Low));
  Place(1, 90);
  ASSERT_TRUE(ReadCalibrationPoint(cx, force, CalibrationPoint::High));
  force.lowLoadText = "30";
  force.highLoadText = "90";
  ASSERT_TRUE(AcceptCalibration(cx, force));
  // Counts are whole: the slope and intercept are as near as they allow.
  EXPECT_NEAR(s.ForceCalSlope, 3.0, 0.01);
  EXPECT_NEAR(s.ForceInt, 0, 0.5);
  EXPECT_NEAR((*force.highReading - s.ForceInt) * s.ForceCalSlope, 90 * 9.807, 0.5);

  // Saved, and logged in the order accepted.
  EXPECT_EQ(LeadingNumber(ReadIniValue("Data Processing", "DispCalSlope", "", s.ConfigFilePath)),
            0.009);
  const std::string log = ReadText(dir.File("QLXCalibration.log"));
  const std::size_t first = log.find("Displacement Cal. Slope: 0.009\r\n");
  ASSERT_NE(first, std::string::npos) << log;
  EXPECT_NE(log.find("Force Cal. Slope: ", first), std::string::npos) << log;
  EXPECT_TRUE(t.dialogs.shown.empty());
}

TEST_F(CalibrationTest, ReadingsAreRefusedWithAMessageWhenThereIsNoStream) {
  CalibrationState state = BeginCalibration(session.settings, CalibrationKind::Position);
  const std::uint64_t start = loop.Milliseconds();
  session.DemoMode = true;
  EXPECT_FALSE(ReadCalibrationPoint(cx, state, CalibrationPoint::Low));
  session.DemoMode = false;
  session.settings.ZRA6Input = false;
  EXPECT_FALSE(ReadCalibrationPoint(cx, state, CalibrationPoint::Low));
  session.settings.ZRA6Input = true;
  session.settings.AccelInput = true;
  EXPECT_FALSE(ReadCalibrationPoint(cx, state, CalibrationPoint::High));
  ASSERT_EQ(t.dialogs.shown.size(), 3u);
  EXPECT_EQ(t.dialogs.shown[0].text, kReadingRefusedInDemonstration);
  EXPECT_EQ(t.dialogs.shown[1].text, kReadingRefusedWithoutUnit);
  EXPECT_EQ(t.dialogs.shown[2].text, kReadingRefusedForInput);
  EXPECT_EQ(serial->opens + usb->opens + accel->opens, 0);
  EXPECT_EQ(loop.Milliseconds(), start);
}

TEST_F(CalibrationTest, ASilentUnitsReadingEndsInTimeAndKeepsTheEarlierReading) {
  CalibrationState state = BeginCalibration(session.settings, CalibrationKind::Force);
  state.lowReading = 123;
  Place(1, 80, true);
  const std::uint64_t start = loop.Milliseconds();
  EXPECT_FALSE(ReadCalibrationPoint(cx, state, CalibrationPoint::Low));
  EXPECT_LE(loop.Milliseconds() - start, 7200u);
  EXPECT_EQ(state.lowReading, 123);
  EXPECT_FALSE(state.readingRuns);
  ASSERT_EQ(t.dialogs.shown.size(), 1u);
  EXPECT_EQ(t.dialogs.shown[0].text, kCalibrationReadingIncomplete);
  EXPECT_FLOAT_EQ(session.settings.ForceInt, 5.0f);
}

TEST_F(CalibrationTest, CancelEndsTheReadingAndPutsBackEveryValue) {
  SettingsRecord& s = session.settings;
  CalibrationState state = BeginCalibration(s, CalibrationKind::Position);
  Place(1, 80);
  // Values changed meanwhile (a zeroing in the analysis window, an edit).
  s.DispInt = 99;
  s.ForceCalSlope = 7;
  s.realtimeplot = true;
  session.collection.hooks.realtimePlot = [&] { CancelCalibration(cx, state); };
  const std::uint64_t start = loop.Milliseconds();
  EXPECT_FALSE(ReadCalibrationPoint(cx, state, CalibrationPoint::Low));
  EXPECT_LT(loop.Milliseconds() - start, 1000u);
  EXPECT_FALSE(state.lowReading);
  EXPECT_FALSE(session.view.ZeroingInProgress);
  EXPECT_FLOAT_EQ(s.DispCalSlope, 0.005f);
  EXPECT_FLOAT_EQ(s.DispInt, 17.0f);
  EXPECT_FLOAT_EQ(s.ForceCalSlope, 2.0f);
  EXPECT_FLOAT_EQ(s.ForceInt, 5.0f);
  EXPECT_TRUE(t.dialogs.shown.empty());
}

TEST_F(CalibrationTest, DoneRefusedSavesNothingAndAnUnwritableLogLeavesTheCalibration) {
  SettingsRecord& s = session.settings;
  CalibrationState state = Readings(CalibrationKind::Position, 1000, 1800);
  state.distanceText = "0";
  EXPECT_FALSE(AcceptCalibration(cx, state));
  ASSERT_EQ(t.dialogs.shown.size(), 1u);
  EXPECT_EQ(Msg(t.dialogs.shown[0]),
            Message(MessageIcon::Critical, kCalibrationErrorTitle, kPositionDistanceMissing));
  EXPECT_FLOAT_EQ(s.DispCalSlope, 0.005f);
  EXPECT_FALSE(FileExists(s.ConfigFilePath));
  EXPECT_FALSE(FileExists(dir.File("QLXCalibration.log")));

  s.CalibrationLogFile = "missing/cal.log";
  state.distanceText = "0.8";
  EXPECT_TRUE(AcceptCalibration(cx, state));
  EXPECT_FLOAT_EQ(s.DispCalSlope, 0.001f);
  EXPECT_TRUE(FileExists(s.ConfigFilePath));
  ASSERT_EQ(t.dialogs.shown.size(), 2u);
  EXPECT_NE(t.dialogs.shown[1].text.find("could not be written"), std::string::npos);
}

TEST_F(CalibrationTest, ViewingTheLogShowsItOrSaysWhyNot) {
  std::vector<std::string> shown;
  bool canShow = true;
  cx.showTextFile = [&](const std::string& path) {
    shown.push_back(path);
    return canShow;
  };
  ViewCalibrationLog(cx);
  EXPECT_TRUE(shown.empty());
  ASSERT_EQ(t.dialogs.shown.size(), 1u);
  EXPECT_NE(t.dialogs.shown[0].text.find("No calibration has been logged yet"), std::string::npos);
  ASSERT_EQ(AppendCalibrationLog(dir.File("QLXCalibration.log"), "line"), "");
  ViewCalibrationLog(cx);
  EXPECT_EQ(shown, std::vector<std::string>{dir.File("QLXCalibration.log")});
  canShow = false;
  ViewCalibrationLog(cx);
  EXPECT_EQ(t.dialogs.shown.size(), 2u);
}

}  // namespace
}  // namespace torvane::testing
