// Training mode on simulated time against the simulated unit doing squats:
// a set recorded through the collection's one state machine, Stop that
// never starts a collection, the refusals, Save/Load of a set with its
// athlete and mass, the summary row, and the demonstration replay.
#include "training/training_mode.hpp"

#include <gtest/gtest.h>

#include <algorithm>

#include "acquisition/collection_session.hpp"
#include "common/paths.hpp"
#include "link/link_fixture.hpp"
#include "shell/training_session.hpp"
#include "sim/unit_emulator.hpp"
#include "training/training_file.hpp"

namespace torvane::testing {
namespace {

class TrainingModeTest : public ::testing::Test, public LinkFixture {
 protected:
  TrainingModeTest() {
    SettingsRecord& s = session.settings;
    s.DispCalSlope = 0.009f;  // the simulated transducer's own slope
    s.weight = 80.0f;
    s.repthreshold = 0.05f;
    s.FeedbackThreshold = 0.3f;
    s.mmavailable = true;
    s.DataDirectory = dir.path();
    s.ProgramDataDirectory = dir.path();
    DimensionDataArrays(session.trial, 4000);
    TrainingHooks& h = session.training.hooks;
    h.repetitionShown = [this](std::int32_t rep) { shown.push_back(rep); };
    h.feedback = [this](const Feedback& f) { feedback.push_back(f); };
    h.showFeedbackWindow = [this](bool show) { feedbackWindow.push_back(show); };
    h.setCleared = [this] { ++cleared; };
  }

  // A ZRA6 on the serial line doing squats of 0.45 m, the displacement
  // zeroed with the bar at the bottom, as a coach zeroes it.
  void AttachSquattingZra6() {
    SelectZra6();
    options.model = sim::UnitModel::Zra6;
    options.profile = sim::ProfileKind::SquatReps;
    unit = sim::MakeUnitEmulator(options);
    LoopbackLine* l = serial.get();
    serial->onWrite = [this, l](const std::string& bytes) {
      unit->Receive(bytes, loop.Milliseconds());
      l->Deliver(unit->Produce(loop.Milliseconds()));
    };
    loop.SetPumpHook([this, l] { l->Deliver(unit->Produce(loop.Milliseconds())); });
    const auto standing = sim::ToRawCounts(unit->profile().At(0.0), options.sensor, 0).displacement;
    session.settings.DispInt = static_cast<float>(standing) - 0.45f / 0.009f;
  }

  // The demonstration set is looked for in the test's folder only.
  TrainingContext Cx() {
    TrainingContext cx = TrainingContextOf(session);
    cx.demoFolders = {dir.path()};
    return cx;
  }

  bool RunUntilCollectionEnds(std::uint32_t limitMs) {
    return WaitUntil(loop, loop, limitMs, [this] { return !session.collection.collecting; });
  }

  TempDir dir;
  sim::UnitOptions options;
  std::unique_ptr<sim::UnitEmulator> unit;
  TrainingState& tr = session.training;
  ScriptedDialogs& dialogs = LinkFixture::t.dialogs;
  std::vector<std::int32_t> shown;
  std::vector<Feedback> feedback;
  std::vector<bool> feedbackWindow;
  int cleared = 0;
};

TEST_F(TrainingModeTest, ASetRecordedFromTheSquattingUnitFillsRowsWithFeedbackAndSummary) {
  AttachSquattingZra6();
  session.collection.durationSeconds = 12;  // four squats complete, the fifth does not
  session.settings.showfeedback = true;
  StartOrStopTraining(Cx());
  EXPECT_EQ(tr.phase, TrainingPhase::Recording);
  EXPECT_TRUE(session.collection.TrainingRecording);
  ASSERT_TRUE(RunUntilCollectionEnds(15000));
  EXPECT_EQ(tr.phase, TrainingPhase::Stopped);  // the collection ended by itself
  const RepetitionSet& set = tr.set();
  ASSERT_EQ(set.RepCount, 4);
  EXPECT_EQ(shown, (std::vector<std::int32_t>{1, 2, 3, 4}));
  ASSERT_EQ(feedback.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) {
    // Up from the bottom to standing in 1.0 s.
    EXPECT_NEAR(set.RepMaxHeight[i], 0.45, 0.01) << i;
    EXPECT_NEAR(set.RepMinHeight[i], 0.0, 0.01) << i;
    // The 9-mm counts reach the bottom a little after the turn and the top
    // a little before the end of the 1.0 s rise.
    EXPECT_NEAR(set.RepContactTime[i], 950, 60) << i;
    EXPECT_NEAR(set.RepWork[i], 0.45 * 80 * 9.807, 8) << i;
    // Max distance 0.45 against a threshold of 0.3: every one is over.
    EXPECT_TRUE(feedback[i].over);
  }
  EXPECT_EQ(tr.summary.repetitions, 4);
  EXPECT_NE(std::find(log.begin(), log.end(), "Training set ended with 4 repetitions"), log.end());
  EXPECT_EQ(feedbackWindow, (std::vector<bool>{true, false}));
  EXPECT_TRUE(tr.effectiveRate.has_value());
  EXPECT_EQ(session.collection.processedCount, 1);
}

TEST_F(TrainingModeTest, StopEndsTheCollectionAndNeverStartsAnother) {
  AttachSquattingZra6();
  session.collection.durationSeconds = 30;
  StartOrStopTraining(Cx());
  WaitMilliseconds(loop, loop, 5000);
  StartOrStopTraining(Cx());  // Stop
  EXPECT_EQ(tr.phase, TrainingPhase::Stopped);
  EXPECT_FALSE(session.collection.collecting);
  EXPECT_FALSE(session.collection.TrainingRecording);
  EXPECT_FALSE(unit->status().streaming);
  EXPECT_EQ(session.collection.processedCount, 1);
  const std::int32_t reps = tr.set().RepCount;
  EXPECT_GE(reps, 1);
  // Nothing runs on after Stop: no collection, no further repetition.
  WaitMilliseconds(loop, loop, 3000);
  EXPECT_FALSE(session.collection.collecting);
  EXPECT_EQ(session.collection.processedCount, 1);
  EXPECT_EQ(tr.set().RepCount, reps);
}

TEST_F(TrainingModeTest, StartIsRefusedWhileAnotherCollectionRunsOrWithoutAMass) {
  AttachSquattingZra6();
  session.collection.durationSeconds = 5;
  StartOrStopCollection(Cx().collection);  // the analysis window's Start
  StartOrStopTraining(Cx());
  EXPECT_EQ(tr.phase, TrainingPhase::Stopped);
  EXPECT_FALSE(session.collection.TrainingRecording);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, kTrainingBusyMessage);
  ASSERT_TRUE(RunUntilCollectionEnds(8000));

  EXPECT_FALSE(SetTrainingMass(Cx(), "0"));
  EXPECT_FALSE(SetTrainingMass(Cx(), "-3 kg"));
  EXPECT_FALSE(SetTrainingMass(Cx(), "heavy"));
  EXPECT_EQ(session.settings.weight, 80.0f);
  EXPECT_TRUE(SetTrainingMass(Cx(), "72.5"));
  EXPECT_EQ(session.settings.weight, 72.5f);
  session.settings.weight = 0;  // as a settings file may hold it
  StartOrStopTraining(Cx());
  EXPECT_EQ(tr.phase, TrainingPhase::Stopped);
  EXPECT_EQ(dialogs.shown.back().text, kMassRefused);
}

TEST_F(TrainingModeTest, ASavedSetLoadsBackWithItsAthleteAndMassAfterClearingTheGrid) {
  session.squad.SquadCount = 2;
  session.squad.SquadMembers[1] = {"3", "Bo", "Ek", 90};
  session.squad.SquadMembers[2] = {"7", "Ann", "Lee", 61};
  session.squad.CurrentAthlete = 2;
  RepetitionSet& set = tr.analysis.set;
  set.Clear();
  set.EnsureIndex(3);
  for (std::size_t i = 0; i < 3; ++i) {
    set.RepMaxHeight[i] = 0.5f + 0.1f * static_cast<float>(i);
    set.RepPower[i] = 400.0f;
  }
  set.RepCount = 3;
  // A cancelled dialog writes nothing.
  EXPECT_FALSE(SaveTrainingSet(Cx()));
  EXPECT_FALSE(FileExists(JoinPath(dir.path(), "train.dat")));
  const std::string path = JoinPath(dir.path(), "ann.dat");
  dialogs.paths.push_back(path);
  ASSERT_TRUE(SaveTrainingSet(Cx()));
  EXPECT_EQ(dialogs.fileRequests.back().title, "Save Training Results");

  session.squad.CurrentAthlete = 1;
  session.settings.weight = 95;
  ClearRepetitionSet(tr.analysis);
  cleared = 0;
  feedback.clear();
  dialogs.paths.push_back(path);
  ASSERT_TRUE(LoadTrainingSet(Cx()));
  EXPECT_EQ(cleared, 1);
  EXPECT_EQ(tr.set().RepCount, 3);
  EXPECT_FLOAT_EQ(tr.set().RepMaxHeight[2], 0.7f);
  EXPECT_EQ(feedback.size(), 3u);  // one feedback per loaded repetition
  EXPECT_EQ(session.squad.CurrentAthlete, 2);
  EXPECT_EQ(session.settings.weight, 80.0f);
  EXPECT_EQ(tr.plot, PlotVariable::MaxHeight);
  const auto& message = dialogs.shown.back();
  EXPECT_EQ(message.title, "Training Data");
  EXPECT_EQ(message.text.rfind("QLX Training File for Ann Lee ID: 7 3 reps completed on ", 0), 0u);

  // An athlete the squad does not hold stays with the set: the selection
  // and every entry of the squad are left as they were, and the set saved
  // again still names its own athlete.
  session.squad.SquadCount = 1;
  session.squad.CurrentAthlete = 1;
  dialogs.paths.push_back(path);
  ASSERT_TRUE(LoadTrainingSet(Cx()));
  EXPECT_EQ(session.squad.CurrentAthlete, 1);
  EXPECT_EQ(session.squad.SquadMembers[0].LastName, "");
  EXPECT_EQ(TrainingSetAthlete(Cx()).LastName, "Lee");
  const std::string again = JoinPath(dir.path(), "again.dat");
  dialogs.paths.push_back(again);
  ASSERT_TRUE(SaveTrainingSet(Cx()));
  EXPECT_EQ(ReadText(again).rfind("QLX Training File for Ann Lee ID: 7\r\n", 0), 0u);
  NewTrainingSet(Cx());  // a new set goes with the selected athlete
  EXPECT_EQ(TrainingSetAthlete(Cx()).LastName, "Ek");
}

TEST_F(TrainingModeTest, TheSummaryIsWrittenOnlyWithSpreadsheetOutputAndSaysWhyNot) {
  session.settings.exceloutput = false;
  EXPECT_FALSE(SaveTrainingSummary(Cx()));
  EXPECT_EQ(dialogs.shown.back().text, kCannotSaveMessage);
  EXPECT_TRUE(session.results.sheet.Empty());
  session.settings.exceloutput = true;
  ASSERT_TRUE(SaveTrainingSummary(Cx()));
  EXPECT_TRUE(FileExists(ResultsWorkbookPath(session.settings)));
  EXPECT_EQ(session.results.sheet.Text(2, 0), "Name and ID");
}

TEST_F(TrainingModeTest, TheDemonstrationReplaysTheSetOneRepetitionASecond) {
  session.DemoMode = true;
  StartOrStopTraining(Cx());
  ASSERT_FALSE(dialogs.shown.empty());
  EXPECT_EQ(dialogs.shown.back().text,
            "The demonstration set train.dat was not found in " + dir.path() + ".");
  RepetitionSet demo;
  demo.Clear();
  demo.EnsureIndex(4);
  for (std::size_t i = 0; i < 4; ++i) demo.RepMaxHeight[i] = 0.4f + 0.1f * static_cast<float>(i);
  demo.RepCount = 4;
  WriteText(
      JoinPath(dir.path(), "train.dat"),
      TrainingFileText(demo, SquadMember{}, 80, false, LocalDateTime{2026, 1, 1, 0, 0, 0, 4}));
  const std::uint64_t start = loop.Milliseconds();
  StartOrStopTraining(Cx());
  EXPECT_EQ(tr.phase, TrainingPhase::Stopped);
  EXPECT_EQ(tr.set().RepCount, 4);
  EXPECT_EQ(shown, (std::vector<std::int32_t>{1, 2, 3, 4}));
  EXPECT_TRUE(feedback[3].over);  // 0.7 m against 0.3
  EXPECT_GE(loop.Milliseconds() - start, 4000u);
  EXPECT_FALSE(session.link.serial.port->IsOpen());
}

}  // namespace
}  // namespace torvane::testing
