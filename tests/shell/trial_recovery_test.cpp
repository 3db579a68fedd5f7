// The start that finds a recovery file: Yes opens the trial it holds as a
// collected one, No keeps the file, and one a running collection holds is
// left alone.
#include "shell/trial_recovery.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "acquisition/collection_recovery.hpp"
#include "shell/session.hpp"
#include "test_support.hpp"

namespace torvane::testing {
namespace {

class TrialRecoveryTest : public ::testing::Test {
 protected:
  TrialRecoveryTest() {
    session.settings.ProgramDataDirectory = dir.path();
    DimensionDataArrays(session.trial, 1000);
    session.statusLog.messageListeners.push_back(
        [this](std::string_view m) { log.emplace_back(m); });
  }
  // A recovery file of 1.5 s at 400 Hz, left by a program that died.
  void LeaveRecoveryFile(RecoveryJournal& journal) {
    RecoveryHeader h;
    h.frequency = 400;
    h.samplesWanted = 2000;
    h.collectionDateTime = "2026-12-06 18:02:11";
    h.weight = 75;
    std::vector<float> d(601);
    for (std::size_t i = 0; i < d.size(); ++i) d[i] = 0.5f + 0.001f * static_cast<float>(i % 50);
    ASSERT_EQ(journal.Begin(RecoveryFilePath(session), h), "");
    ASSERT_EQ(journal.Append(d, d, {}, 601), "");
  }
  TempDir dir;
  TestSession t;
  Session& session = t.session;
  std::vector<std::string> log;
};

TEST_F(TrialRecoveryTest, YesOpensTheTrialAsCollectedAndRemovesTheFile) {
  RecoveryJournal journal;
  LeaveRecoveryFile(journal);
  journal.Close();
  t.dialogs.answers = {DialogAnswer::Yes};
  EXPECT_EQ(StartTrialRecovery(session), RecoveryOffer::Opened);
  ASSERT_EQ(t.dialogs.shown.size(), 1u);
  EXPECT_EQ(t.dialogs.shown[0].title, kRecoveryOfferTitle);
  EXPECT_EQ(t.dialogs.shown[0].text,
            "A collection was interrupted on 2026-12-06 18:02:11 with 600 samples. Open the "
            "trial it holds?");
  EXPECT_EQ(session.settings.samples, 600);
  EXPECT_EQ(session.settings.frequency, 400);
  EXPECT_TRUE(session.trial.DataCollected);
  EXPECT_FALSE(session.trial.DataSaved);
  EXPECT_FLOAT_EQ(session.trial.Displacement[49], 0.549f);
  EXPECT_NE(std::find(log.begin(), log.end(),
                      "Collection cut short: 600 of 2000 samples (recovered after the program "
                      "ended during the collection)"),
            log.end());
  EXPECT_FALSE(std::filesystem::exists(RecoveryFilePath(session)));
  EXPECT_EQ(session.collection.recoveryPath, RecoveryFilePath(session));
}

TEST_F(TrialRecoveryTest, NoKeepsTheFileAndTheTrialInMemory) {
  RecoveryJournal journal;
  LeaveRecoveryFile(journal);
  journal.Close();
  t.dialogs.answers = {DialogAnswer::No};
  EXPECT_EQ(StartTrialRecovery(session), RecoveryOffer::Declined);
  EXPECT_FALSE(session.trial.DataCollected);
  EXPECT_TRUE(std::filesystem::exists(RecoveryFilePath(session)));
  EXPECT_EQ(session.collection.recoveryPath, RecoveryFilePath(session));
}

TEST_F(TrialRecoveryTest, NothingIsAskedWithoutAFileOrForOneARunningCollectionHolds) {
  EXPECT_EQ(StartTrialRecovery(session), RecoveryOffer::NoFile);
  RecoveryJournal running;
  LeaveRecoveryFile(running);  // still open: another copy of the program collects
  EXPECT_EQ(StartTrialRecovery(session), RecoveryOffer::InUse);
  EXPECT_TRUE(session.collection.recoveryPath.empty());
  running.Close();
  std::filesystem::resize_file(RecoveryFilePath(session), 20);
  EXPECT_EQ(StartTrialRecovery(session), RecoveryOffer::Unusable);
  EXPECT_TRUE(t.dialogs.shown.empty());
}

}  // namespace
}  // namespace torvane::testing
