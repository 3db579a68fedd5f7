// Whole collections on simulated time, against the simulated units on
// in-memory lines: start, the per-model streams, the end by count and by
// Stop, a unit that goes away, the demonstration trial, the count-in, and
// the processing of the collected trial.
#include "acquisition/collection_session.hpp"

#include <gtest/gtest.h>

#include <regex>

#include "files/trial_file.hpp"
#include "link/interface_discovery.hpp"
#include "link/link_fixture.hpp"
#include "shell/acquisition_session.hpp"
#include "sim/unit_emulator.hpp"

namespace torvane::testing {
namespace {

class CollectionTest : public ::testing::Test, public LinkFixture {
 protected:
  CollectionTest() {
    SettingsRecord& s = session.settings;
    s.DispCalSlope = 0.009f;
    s.ForceCalSlope = 3.0f;
    s.weight = 80.0f;
    s.samples = 1000;
    DimensionDataArrays(session.trial, s.samples);
  }

  // A simulated unit on `line`: it hears every write at once and sends what
  // falls due as time passes.
  void Attach(const std::shared_ptr<LoopbackLine>& line, sim::UnitModel model,
              sim::ProfileKind profile = sim::ProfileKind::Cmj, double noise = 1.0) {
    options.model = model;
    options.profile = profile;
    options.sensor.noise = noise;
    unit = sim::MakeUnitEmulator(options);
    LoopbackLine* l = line.get();
    line->onWrite = [this, l](const std::string& bytes) {
      unit->Receive(bytes, loop.Milliseconds());
      l->Deliver(unit->Produce(loop.Milliseconds()));
    };
    loop.SetPumpHook([this, l] { l->Deliver(unit->Produce(loop.Milliseconds())); });
  }

  // A ZRA6+ on the USB line at 500 Hz; a silent one never answers.
  void AttachZra6Plus(sim::ProfileKind profile = sim::ProfileKind::Cmj, bool silent = false) {
    SelectZra6Plus();
    options.faults.silent = silent;
    Attach(usb, sim::UnitModel::Zra6Plus, profile);
    session.settings.frequency = 500;
  }

  void AttachZra7() {
    SelectZra7();
    Attach(usb, sim::UnitModel::Zra7);
    ASSERT_EQ(DiscoverInterface(ctx), DiscoveryResult::Found);
  }

  // Presses Start for a trial of `seconds`.
  void Collect(double seconds) {
    c.durationSeconds = seconds;
    StartOrStopCollection(cx);
  }

  bool RunUntilFinished(std::uint32_t limitMs) {
    return WaitUntil(loop, loop, limitMs, [this] { return !c.collecting; });
  }

  // The simulated unit's displacement count of stream sample `k`.
  std::int64_t DisplacementCount(std::uint64_t k, double rate, std::int64_t top) const {
    const auto raw =
        sim::ToRawCounts(unit->profile().At(static_cast<double>(k) / rate), options.sensor, k);
    return std::clamp<std::int64_t>(raw.displacement, 0, top);
  }

  sim::UnitOptions options;
  std::unique_ptr<sim::UnitEmulator> unit;
  CollectionState& c = session.collection;
  const CollectionContext cx = CollectionContextOf(session);
};

TEST_F(CollectionTest, AZra6CollectionOfTwoAndAHalfSecondsAt200HzEndsByItselfWith500Samples) {
  SelectZra6();
  Attach(serial, sim::UnitModel::Zra6);
  c.durationSeconds = 2.5;
  c.trialNumber = 7;
  session.view.AnalysisEnd = 450;  // the range of an earlier trial, over the jump
  StartOrStopCollection(cx);
  EXPECT_EQ(c.phase, CollectionPhase::Collecting);
  EXPECT_EQ(c.trialNumber, 8);
  EXPECT_EQ(session.settings.samples, 500);
  EXPECT_FALSE(c.zeroDisplacementEnabled);
  ASSERT_TRUE(RunUntilFinished(4000));
  EXPECT_EQ(session.trial.SampleCount, 500);
  EXPECT_EQ(c.phase, CollectionPhase::Idle);
  EXPECT_TRUE(c.zeroDisplacementEnabled);
  EXPECT_TRUE(session.trial.DataCollected);
  EXPECT_FALSE(session.trial.DataSaved);
  EXPECT_FALSE(unit->status().streaming);
  EXPECT_EQ(c.processedCount, 1);
  EXPECT_TRUE(
      std::regex_match(session.trial.CollectionDateTime, std::regex(R"(2026-01-15 10:30:\d\d)")))
      << session.trial.CollectionDateTime;
  // Every frame the unit sent arrived, in order, scaled.
  for (std::uint64_t k = 0; k < 500; ++k) {
    ASSERT_EQ(session.trial.RawSampleBuffer[k], DisplacementCount(k, 200, 4095)) << k;
  }
  EXPECT_EQ(session.view.Marker2Sample, 499);
  // Without recorded force there is no force to weigh: the mass stays.
  EXPECT_FLOAT_EQ(session.settings.weight, 80.0f);
}

TEST_F(CollectionTest, AZra6AskedForAThousandHertzRunsAt500AndTheSettingStays500) {
  SelectZra6();
  Attach(serial, sim::UnitModel::Zra6);
  session.settings.frequency = 1000;
  Collect(0.5);
  EXPECT_EQ(session.settings.frequency, 500);
  EXPECT_EQ(unit->status().samplePeriodMs, 2);
  ASSERT_TRUE(RunUntilFinished(3000));
  EXPECT_EQ(session.settings.frequency, 500);
  EXPECT_EQ(session.settings.samples, 250);
}

TEST_F(CollectionTest, StopFinishesAtOnceWithTheSamplesGathered) {
  AttachZra6Plus(sim::ProfileKind::Still);
  session.settings.RecordForce = true;
  session.settings.velocFc = 10;
  Collect(5);
  WaitMilliseconds(loop, loop, 1000);
  const std::int32_t gathered = session.trial.SampleCount;
  EXPECT_GT(gathered, 400);
  StartOrStopCollection(cx);
  EXPECT_FALSE(c.collecting);
  EXPECT_EQ(c.phase, CollectionPhase::Idle);
  EXPECT_FALSE(unit->status().streaming);
  EXPECT_EQ(session.settings.samples, session.trial.SampleCount);
  EXPECT_LE(session.trial.SampleCount - gathered, 60);
  EXPECT_EQ(c.processedCount, 1);
  // The derivation ran over the samples collected, not over the zeros
  // after them: standing still, the velocity stays near 0 to the end.
  const std::int32_t n = session.settings.samples;
  EXPECT_LT(std::abs(session.trial.Velocity[static_cast<std::size_t>(n - 2)]), 0.05f);
  // A late monitor tick finds nothing left to do.
  MonitorCollection(cx);
  EXPECT_EQ(c.processedCount, 1);
}

TEST_F(CollectionTest, AZra7CollectionIsProcessedOnceWithEveryFrameInOrder) {
  AttachZra7();
  session.settings.RecordForce = true;
  Collect(1);
  EXPECT_EQ(session.settings.frequency, 600);
  ASSERT_TRUE(RunUntilFinished(3000));
  EXPECT_EQ(session.settings.samples, 600);
  EXPECT_EQ(c.processedCount, 1);
  EXPECT_FALSE(session.link.zra7.Zra7Streaming);
  EXPECT_FALSE(unit->status().streaming);
  EXPECT_EQ(c.frames.rejected, 0u);
}

TEST_F(CollectionTest, AZra7At200HzKeepsEveryThirdFrameAndEndsByItself) {
  AttachZra7();
  session.settings.frequency = 200;
  session.settings.dispFc = 5;  // filtered in place: a second processing would filter again
  Collect(1.5);
  EXPECT_EQ(c.frameDivider, 3);
  ASSERT_TRUE(RunUntilFinished(4000));
  EXPECT_EQ(session.settings.samples, 300);
  EXPECT_EQ(session.trial.SampleCount, 300);
  EXPECT_EQ(c.processedCount, 1);
  EXPECT_FALSE(unit->status().streaming);
}

TEST_F(CollectionTest, StopOnAZra7SendsU0AtOnce) {
  AttachZra7();
  Collect(10);
  WaitMilliseconds(loop, loop, 500);
  usb->TakeWritten();
  StartOrStopCollection(cx);
  EXPECT_EQ(usb->TakeWritten(), "U0\r");
  EXPECT_FALSE(unit->status().streaming);
  EXPECT_FALSE(c.collecting);
  EXPECT_GT(session.settings.samples, 250);
  EXPECT_EQ(c.processedCount, 1);
  // The next Start starts a stream again.
  Collect(0.2);
  EXPECT_TRUE(unit->status().streaming);
  ASSERT_TRUE(RunUntilFinished(2000));
  EXPECT_EQ(session.settings.samples, 120);
}

TEST_F(CollectionTest, TheZra6PlusBrakeCostsNoFrameOfTheStream) {
  // The transducer's zero halfway down the countermovement: the jump
  // crosses it on the way down and on the way up.
  AttachZra6Plus();
  session.settings.DispInt = static_cast<float>(DisplacementCount(0, 500, 4095) - 0.15 / 0.009);
  session.settings.BrakeLevel = 50;
  session.settings.brakeabovezero = true;
  Collect(4);
  ASSERT_TRUE(RunUntilFinished(6000));
  int brakeCommands = 0;
  for (const std::string& w : usb->writes) brakeCommands += static_cast<std::uint8_t>(w[0]) == 203;
  EXPECT_GE(brakeCommands, 2);
  ASSERT_EQ(session.trial.SampleCount, 2000);
  for (std::uint64_t k = 0; k < 2000; ++k) {
    ASSERT_EQ(session.trial.RawSampleBuffer[k], DisplacementCount(k, 500, 4095)) << k;
  }
}

TEST_F(CollectionTest, ASilentUnitLeavesTheCollectionRunningUntilStop) {
  AttachZra6Plus(sim::ProfileKind::Cmj, true);
  Collect(1);
  EXPECT_FALSE(RunUntilFinished(3000));
  EXPECT_EQ(session.trial.SampleCount, 0);
  StartOrStopCollection(cx);
  EXPECT_FALSE(c.collecting);
  EXPECT_EQ(session.settings.samples, 0);
  EXPECT_EQ(c.frames.accepted, 0u);  // nothing to save
}

// A line that loses or corrupts bytes: every stored value is the unit's own
// for its time slot, or a held copy of the one before it; the trial keeps its
// length; the collection says it is damaged (and whole on a clean line).
TEST_F(CollectionTest, ADamagedStreamStoresOnlyTheUnitsOwnValuesOrHeldCopies) {
  const struct {
    const char* name;
    sim::UnitModel model;
    std::uint32_t dropEvery;
    std::uint32_t corruptEvery;
    CollectionOutcome outcome;
  } cases[] = {
      {"ZRA6+ clean", sim::UnitModel::Zra6Plus, 0, 0, CollectionOutcome::Whole},
      {"ZRA7 clean", sim::UnitModel::Zra7, 0, 0, CollectionOutcome::Whole},
      {"ZRA6+ bytes dropped", sim::UnitModel::Zra6Plus, 97, 0, CollectionOutcome::Damaged},
      {"ZRA6+ frames corrupted", sim::UnitModel::Zra6Plus, 0, 7, CollectionOutcome::Damaged},
      {"ZRA7 check values corrupted", sim::UnitModel::Zra7, 0, 3, CollectionOutcome::Damaged},
      {"ZRA7 bytes dropped", sim::UnitModel::Zra7, 301, 0, CollectionOutcome::Damaged},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.name);
    session.settings = {};
    session.settings.DispCalSlope = 0.009f;
    session.settings.samples = 1000;
    options.faults.dropEvery = k.dropEvery;
    options.faults.corruptEvery = k.corruptEvery;
    const bool zra7 = k.model == sim::UnitModel::Zra7;
    if (zra7) {
      AttachZra7();
    } else {
      AttachZra6Plus();
    }
    Collect(1);
    ASSERT_TRUE(RunUntilFinished(3000));
    const std::int32_t rate = zra7 ? 600 : 500;
    EXPECT_EQ(session.trial.SampleCount, rate);
    EXPECT_EQ(c.outcome, k.outcome);
    EXPECT_EQ(c.frames.held > 0, k.outcome == CollectionOutcome::Damaged);
    // Slot r holds stream sample first + r (the ZRA7's first slot is 1).
    const std::int64_t top = zra7 ? 65535 : 4095;
    const auto& raw = zra7 ? session.trial.RawDisplacement : session.trial.RawSampleBuffer;
    const std::int32_t from = zra7 ? 1 : 0;
    std::uint64_t first = 0;
    while (first < 10 && raw[from] != DisplacementCount(first, rate, top)) ++first;
    ASSERT_LT(first, 10u);
    std::uint64_t held = 0;
    for (std::int32_t r = from + 1; r < session.trial.RawSampleIndex; ++r) {
      const auto v = raw[static_cast<std::size_t>(r)];
      if (v == DisplacementCount(first + r - from, rate, top)) continue;
      ASSERT_EQ(v, raw[static_cast<std::size_t>(r - 1)]) << "slot " << r;
      ++held;
    }
    EXPECT_LE(held, c.frames.held);
    if (k.outcome == CollectionOutcome::Whole) {
      EXPECT_EQ(held, 0u);
    }
  }
}

TEST_F(CollectionTest, WithTheCountInTheStreamStartsAfterFourSeconds) {
  AttachZra6Plus();
  c.durationSeconds = 0.5;
  c.countInBeforeStart = true;
  std::vector<int> shown;
  int beeps = 0;
  c.hooks.showCountIn = [&](int n) { shown.push_back(n); };
  c.hooks.beep = [&] { ++beeps; };
  std::uint64_t streamStart = 0;
  usb->onWrite = [&, previous = usb->onWrite](const std::string& bytes) {
    if (streamStart == 0 && bytes.size() == 2 && static_cast<std::uint8_t>(bytes[0]) == 205) {
      streamStart = loop.Milliseconds();
    }
    previous(bytes);
  };
  const std::uint64_t pressed = loop.Milliseconds();
  StartOrStopCollection(cx);
  EXPECT_EQ(shown, (std::vector<int>{3, 2, 1, 0, -1}));
  EXPECT_EQ(beeps, 4);
  EXPECT_GE(streamStart - pressed, 4000u);
  EXPECT_LE(streamStart - pressed, 4010u);
  ASSERT_TRUE(RunUntilFinished(2000));
  EXPECT_EQ(session.trial.SampleCount, 250);
}

TEST_F(CollectionTest, DemonstrationModeLoadsTheDemonstrationTrialWithoutTouchingAPort) {
  TempDir dir;
  session.settings.DataDirectory = dir.path();
  std::string file =
      "\"QLX Data File Version 2\"\r\n\"2025-03-01 09:00:00\"\r\n"
      "500,1,75.5,\"\",\"\",\"\",0\r\n";
  for (int i = 0; i <= 600; ++i) file += "1.0000        735.00000\r\n";
  WriteText(dir.File("test.dat"), file);
  SelectZra6();
  session.DemoMode = true;
  Collect(2);
  EXPECT_EQ(c.phase, CollectionPhase::Idle);
  EXPECT_FALSE(c.collecting);
  EXPECT_EQ(session.settings.samples, 600);
  EXPECT_EQ(session.settings.frequency, 500);
  EXPECT_TRUE(session.trial.DataCollected);
  EXPECT_FLOAT_EQ(session.trial.Force[599], 735.0f);
  EXPECT_EQ(serial->opens + usb->opens + accel->opens, 0);
  EXPECT_FALSE(ZeroDisplacement(cx));
  EXPECT_EQ(serial->opens + usb->opens + accel->opens, 0);
}

TEST_F(CollectionTest, ADisplacementZeroingAt200HzReadsFourHundredSamplesAndSetsTheOffset) {
  SelectZra6();
  Attach(serial, sim::UnitModel::Zra6, sim::ProfileKind::Still, 0.0);
  SettingsRecord& s = session.settings;
  s.DispInt = 7;
  s.samples = 1234;
  c.trialNumber = 3;
  int reading = 0;
  c.hooks.selectChannel = [&](ZeroChannel ch) { reading += ch == ZeroChannel::Displacement; };
  // Training mode asked for this reading: its window comes back afterwards.
  c.ZeroRequestedByTraining = true;
  int trainingShown = 0;
  c.hooks.showTrainingWindow = [&] { ++trainingShown; };
  // The trial on screen, which the reading must leave as it is.
  session.trial.Displacement[5] = 0.25f;
  session.trial.SampleCount = 1234;
  session.trial.DataCollected = false;
  session.view.Marker1Sample = 17;
  session.view.Marker2Sample = 900;
  int readingSamples = 0;
  c.hooks.showTrial = [&] { readingSamples = session.trial.SampleCount; };
  ASSERT_TRUE(ZeroDisplacement(cx));
  EXPECT_EQ(reading, 1);
  EXPECT_FALSE(c.ZeroRequestedByTraining);
  EXPECT_EQ(trainingShown, 1);
  EXPECT_EQ(readingSamples, 400);
  EXPECT_EQ(session.trial.SampleCount, 1234);
  EXPECT_FLOAT_EQ(session.trial.Displacement[5], 0.25f);
  EXPECT_FALSE(session.trial.DataCollected);
  EXPECT_EQ(session.view.Marker1Sample, 17);
  EXPECT_EQ(session.view.Marker2Sample, 900);
  EXPECT_FLOAT_EQ(s.DispInt, static_cast<float>(DisplacementCount(0, 200, 4095)));
  EXPECT_FLOAT_EQ(s.DispCalSlope, 0.009f);
  EXPECT_EQ(s.samples, 1234);
  EXPECT_EQ(s.frequency, 200);
  EXPECT_FLOAT_EQ(s.weight, 80.0f);
  EXPECT_EQ(c.trialNumber, 3);  // a zeroing is not a trial
  EXPECT_FALSE(session.view.ZeroingInProgress);
  EXPECT_TRUE(c.startStopEnabled);
}

TEST_F(CollectionTest, AZeroingReadingThatGetsNothingLeavesTheOffsetAndEnds) {
  AttachZra6Plus(sim::ProfileKind::Cmj, true);
  session.settings.ForceInt = 12;
  const std::uint64_t start = loop.Milliseconds();
  EXPECT_FALSE(ZeroForce(cx));
  EXPECT_LT(loop.Milliseconds() - start, 8000u);
  EXPECT_FLOAT_EQ(session.settings.ForceInt, 12.0f);
  EXPECT_FLOAT_EQ(session.settings.ForceCalSlope, 3.0f);
  EXPECT_FALSE(c.collecting);
  ASSERT_FALSE(t.dialogs.shown.empty());
  EXPECT_EQ(t.dialogs.shown.back().text, kZeroReadingIncomplete);
}

TEST_F(CollectionTest, AZeroingReadingCanBeCancelledAndKeepsTheOffset) {
  AttachZra6Plus(sim::ProfileKind::Still);
  session.settings.ForceInt = 12;
  // Cancelled from inside the wait, as the Start/Stop button does.
  c.hooks.realtimePlot = [&] { CancelZeroReading(cx); };
  session.settings.realtimeplot = true;
  const std::uint64_t start = loop.Milliseconds();
  EXPECT_FALSE(ZeroForce(cx));
  EXPECT_LT(loop.Milliseconds() - start, 1000u);
  EXPECT_FLOAT_EQ(session.settings.ForceInt, 12.0f);
  EXPECT_FALSE(session.view.ZeroingInProgress);
  EXPECT_FALSE(c.collecting);
  EXPECT_TRUE(t.dialogs.shown.empty());
}

TEST_F(CollectionTest, TheTrainingHookRunsEveryTickAndOnceMoreAtTheEnd) {
  AttachZra6Plus();
  c.durationSeconds = 1;
  c.TrainingRecording = true;
  std::vector<std::int32_t> counts;
  c.hooks.trainingHook = [&] { counts.push_back(session.trial.SampleCount); };
  StartOrStopCollection(cx);
  ASSERT_TRUE(RunUntilFinished(3000));
  EXPECT_GE(counts.size(), 10u);
  EXPECT_EQ(counts.back(), 500);
  EXPECT_FALSE(c.TrainingRecording);
}

TEST_F(CollectionTest, AnAccelerometerZeroingTakesTheMeanReadingAsItsOffsetAndKeepsTheTrial) {
  session.settings.AccelInput = true;
  Attach(accel, sim::UnitModel::Accelerometer, sim::ProfileKind::Still, 0.0);
  session.settings.frequency = 200;
  session.view.AccelerometerOffset = 5.0f;  // an earlier zeroing, now stale
  session.trial.Acceleration[7] = 1.25f;    // the trial on screen
  int selected = 0;
  c.hooks.selectChannel = [&](ZeroChannel ch) { selected += ch == ZeroChannel::Acceleration; };
  ASSERT_TRUE(ZeroAcceleration(cx));
  EXPECT_EQ(selected, 1);
  // Standing still reads -1 g: no acceleration once the offset is gone.
  EXPECT_NEAR(session.view.AccelerometerOffset, 0.0f, 1e-3);
  EXPECT_FLOAT_EQ(session.trial.Acceleration[7], 1.25f);
  EXPECT_FALSE(session.view.ZeroingInProgress);
}

TEST_F(CollectionTest, AnAccelerometerCollectionDecodesItsReadingsAndIntegratesThem) {
  session.settings.AccelInput = true;
  Attach(accel, sim::UnitModel::Accelerometer, sim::ProfileKind::Still, 0.0);
  session.settings.frequency = 200;
  Collect(1);
  ASSERT_TRUE(RunUntilFinished(3000));
  EXPECT_EQ(session.settings.samples, 200);
  EXPECT_FALSE(unit->status().streaming);
  // Standing still reads -1 g: no acceleration, the body's weight as force.
  EXPECT_NEAR(session.trial.Acceleration[100], 0.0f, 1e-5);
  EXPECT_NEAR(session.trial.Velocity[199], 0.0f, 1e-5);
  EXPECT_NEAR(session.trial.Force[100], 80.0 * 9.80665, 1e-2);
}

}  // namespace
}  // namespace torvane::testing
