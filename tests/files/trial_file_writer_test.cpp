#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/number_text.hpp"
#include "common/text_file.hpp"
#include "files/trial_file.hpp"
#include "shell/analysis_session.hpp"
#include "test_support.hpp"

namespace torvane {
namespace {

using testing::ReadText;
using testing::TempDir;
using testing::TestSession;
using testing::WriteText;

// A trial of `samples` samples (the file holds samples + 1 lines).
void MakeTrial(Session& s, std::int32_t samples, bool recordForce) {
  DimensionDataArrays(s.trial, samples);
  s.settings.samples = samples;
  s.settings.frequency = 500;
  s.settings.weight = 80.5f;
  s.settings.RecordForce = recordForce;
  s.trial.CollectionDateTime = "2026-01-15 10:30:00";
  for (std::int32_t i = 0; i <= samples; ++i) {
    s.trial.Displacement[i] = 0.123456f * static_cast<float>(i % 17) - 0.9f;
    s.trial.Force[i] = 700.0f + 1.234567f * static_cast<float>(i);
  }
  s.squad.CurrentAthlete = 2;
  s.squad.SquadMembers[2] = SquadMember{"7", "Ann", "Lee", 79.5f};
}

TEST(TrialFileText, HeaderAndDataLinesToTheCharacter) {
  TestSession t;
  Session& s = t.session;
  MakeTrial(s, 2, true);
  s.trial.Displacement[0] = 0.1234f;
  s.trial.Force[0] = 12.5f;
  s.trial.Displacement[1] = -0.1234f;
  s.trial.Force[1] = -3.0f;
  s.trial.Displacement[2] = 123.45678f;
  s.trial.Force[2] = 784.56f;
  EXPECT_EQ(TrialFileText(s.trial, s.settings, s.squad.Current()),
            "\"QLX Data File Version 2\"\r\n"
            "\"2026-01-15 10:30:00\"\r\n"
            "500,1,80.5,\"7\",\"Ann\",\"Lee\",79.5\r\n"
            "0.1234        12.50000\r\n"  // 6 characters, 8 blanks
            "-0.1234       -3.00000\r\n"  // 7 characters, 7 blanks
            "123.4568      784.56000\r\n");
  s.settings.RecordForce = false;
  s.settings.weight = 0.5f;
  const std::string noForce = TrialFileText(s.trial, s.settings, s.squad.Current());
  EXPECT_NE(noForce.find("500,0,0.5,\"7\""), std::string::npos);
  EXPECT_NE(noForce.find("\r\n0.1234\r\n-0.1234\r\n123.4568\r\n"), std::string::npos);
}

TEST(TrialFileText, DisplacementsFillingAPrintZoneGetAWholeZoneOfBlanks) {
  TestSession t;
  Session& s = t.session;
  MakeTrial(s, 0, true);
  s.trial.Displacement[0] = -12345678.0f;  // "-12345678.0000": 14 characters
  s.trial.Force[0] = 1.0f;
  const std::string text = TrialFileText(s.trial, s.settings, s.squad.Current());
  EXPECT_NE(text.find("\r\n-12345678.0000" + std::string(14, ' ') + "1.00000\r\n"),
            std::string::npos);
}

TEST(TrialFileText, AthleteTextsAreQuotedWindows1252WithoutInnerQuotes) {
  TestSession t;
  Session& s = t.session;
  MakeTrial(s, 0, false);
  s.squad.SquadMembers[2] = SquadMember{"A\"1", "Zoë", "O, Brien", 0.0f};
  const std::string text = TrialFileText(s.trial, s.settings, s.squad.Current());
  EXPECT_NE(text.find("500,0,80.5,\"A'1\",\"Zo\xEB\",\"O, Brien\",0\r\n"), std::string::npos);
}

TEST(SaveTrialFile, RoundTripKeepsTheTrialToFourAndFiveDecimals) {
  TempDir dir;
  TestSession t;
  Session& s = t.session;
  MakeTrial(s, 1000, true);
  const std::string path = dir.File("trial.qlx");
  t.dialogs.paths.push_back(path);
  ASSERT_EQ(SaveTrialFile(TrialFileContextOf(s), 0, {}), SaveOutcome::Saved);  // no name yet: asks
  EXPECT_EQ(t.dialogs.fileRequests.size(), 1u);
  EXPECT_EQ(s.trial.DataFileName, path);
  EXPECT_TRUE(s.trial.DataSaved);
  EXPECT_EQ(s.statusBar.Panel(6).text, "Data SAVED");
  EXPECT_EQ(SplitLines(ReadText(path)).size(), 1004u);

  TestSession r;
  r.session.squad.CurrentAthlete = 5;
  const TrialReadResult result = ReadTrialFile(TrialFileContextOf(r.session), path);
  ASSERT_TRUE(result.ok()) << result.message;
  const SettingsRecord& read = r.session.settings;
  EXPECT_EQ(std::tie(read.samples, read.frequency, read.weight, read.RecordForce),
            std::tuple(1000, 500, 80.5f, true));
  EXPECT_EQ(r.session.trial.FileKind, kFileKindVersion2);
  EXPECT_EQ(r.session.trial.CollectionDateTime, "2026-01-15 10:30:00");
  // The file's athlete goes with the trial read, not into the squad's entry 5.
  EXPECT_TRUE(r.session.squad.SquadMembers[5].Id.empty());
  const SquadMember& athlete = AthleteOfTrial(r.session.trial, r.session.squad);
  EXPECT_EQ(std::tie(athlete.Id, athlete.LastName, athlete.BodyMass),
            std::tuple("7", "Lee", 79.5f));
  for (int i = 0; i <= 1000; ++i) {
    ASSERT_EQ(r.session.trial.Displacement[i],
              std::stof(FormatNumber(s.trial.Displacement[i], "0.0000")))
        << i;
    ASSERT_EQ(r.session.trial.Force[i], std::stof(FormatNumber(s.trial.Force[i], "0.00000"))) << i;
  }

  // Saved again under its name: no dialog.
  ASSERT_EQ(SaveTrialFile(TrialFileContextOf(s), 0, {}), SaveOutcome::Saved);
  EXPECT_EQ(t.dialogs.fileRequests.size(), 1u);
}

TEST(SaveTrialFile, DialogCancelAndTheOverwriteQuestion) {
  TempDir dir;
  TestSession t;
  Session& s = t.session;
  MakeTrial(s, 10, false);
  s.settings.DataDirectory = dir.path();
  const std::string taken = dir.File("taken.qlx");
  const std::string other = dir.File("other.qlx");
  WriteText(taken, "keep me");

  // Cancelled dialog: nothing changes.
  EXPECT_EQ(SaveTrialFile(TrialFileContextOf(s), 1, {"CMJ", "3"}), SaveOutcome::Cancelled);
  ASSERT_EQ(t.dialogs.fileRequests.size(), 1u);
  const FileDialogRequest& request = t.dialogs.fileRequests[0];
  EXPECT_EQ(request.filter, "QLX (*.qlx)|*.qlx|Data (*.dat)|*.dat|All Files (*.*)|*.*");
  EXPECT_EQ(request.initialFolder, dir.path());
  EXPECT_EQ(request.initialName, "7 Ann Lee 15_01_26 10_30CMJ3.qlx");
  EXPECT_TRUE(s.trial.DataFileName.empty());
  EXPECT_FALSE(s.trial.DataSaved);

  // Existing file: No asks again, Cancel cancels, Yes overwrites.
  t.dialogs.paths = {taken, taken};
  t.dialogs.answers = {DialogAnswer::No, DialogAnswer::Cancel};
  EXPECT_EQ(SaveTrialFile(TrialFileContextOf(s), 1, {}), SaveOutcome::Cancelled);
  EXPECT_EQ(ReadText(taken), "keep me");
  ASSERT_EQ(t.dialogs.shown.size(), 2u);
  EXPECT_EQ(t.dialogs.shown[0].title, "Overwrite existing data file");
  EXPECT_EQ(t.dialogs.shown[0].text, "File already exists. Do you want to overwrite?");
  EXPECT_EQ(t.dialogs.shown[0].buttons, MessageButtons::YesNoCancel);

  t.dialogs.paths = {taken, other};
  t.dialogs.answers = {DialogAnswer::No};
  EXPECT_EQ(SaveTrialFile(TrialFileContextOf(s), 1, {}), SaveOutcome::Saved);
  EXPECT_EQ(s.trial.DataFileName, other);
  EXPECT_EQ(ReadText(taken), "keep me");

  t.dialogs.paths = {taken};
  t.dialogs.answers = {DialogAnswer::Yes};
  EXPECT_EQ(SaveTrialFile(TrialFileContextOf(s), 1, {}), SaveOutcome::Saved);
  EXPECT_EQ(ReadText(taken).substr(0, 25), "\"QLX Data File Version 2\"");
}

TEST(SaveTrialFile, FailedWriteKeepsThePreviousFileAndIsReported) {
  TempDir dir;
  TestSession t;
  Session& s = t.session;
  MakeTrial(s, 10, true);
  const std::string path = dir.File("jump.qlx");
  WriteText(path, "previous trial");
  // The temporary file beside it cannot be written in full.
  s.trial.DataFileName = path;
  {
    testing::FileSizeLimit full(8);
    EXPECT_EQ(SaveTrialFile(TrialFileContextOf(s), 0, {}), SaveOutcome::Failed);
  }
  EXPECT_EQ(ReadText(path), "previous trial");
  EXPECT_FALSE(s.trial.DataSaved);
  ASSERT_EQ(t.dialogs.shown.size(), 1u);
  EXPECT_EQ(t.dialogs.shown[0].icon, MessageIcon::Critical);
  EXPECT_NE(t.dialogs.shown[0].text.find(path), std::string::npos);

  // A folder that is gone.
  t.dialogs.paths = {dir.File("gone/jump.qlx")};
  EXPECT_EQ(SaveTrialFile(TrialFileContextOf(s), 1, {}), SaveOutcome::Failed);
  EXPECT_EQ(s.trial.DataFileName, path);
  EXPECT_FALSE(s.trial.DataSaved);
}

TEST(DefaultTrialFileName, AthleteTextsCannotLeadOutOfTheFolder) {
  const LocalDateTime now{2026, 12, 6, 17, 7, 9, 0};
  EXPECT_EQ(DefaultTrialFileName({"7", "Ann", "Lee", 0}, now, {"SJ", "12"}),
            "7 Ann Lee 06_12_26 17_07SJ12.qlx");
  EXPECT_EQ(DefaultTrialFileName({}, now, {}), "   06_12_26 17_07.qlx");
  const std::string escaped = DefaultTrialFileName({"../..", "a/b", "c\\d", 0}, now, {"/x", ""});
  EXPECT_EQ(escaped, "_._.. a_b c_d 06_12_26 17_07_x.qlx");
  EXPECT_EQ(escaped.find('/'), std::string::npos);
  EXPECT_EQ(DefaultTrialFileName({".hidden", "", "", 0}, now, {}).front(), '_');
}

TEST(CloseTrialFile, OffersToSaveThenClearsTheTrial) {
  TempDir dir;
  TestSession t;
  Session& s = t.session;
  MakeTrial(s, 10, true);
  s.trial.DataFileName = dir.File("close.qlx");
  t.dialogs.answers = {DialogAnswer::Yes};
  CloseTrialFile(TrialFileContextOf(s));
  EXPECT_EQ(t.dialogs.shown.at(0).text, "Save file before closing?");
  EXPECT_TRUE(FileExists(dir.File("close.qlx")));
  EXPECT_TRUE(s.trial.DataFileName.empty());
  EXPECT_EQ(s.trial.Force[5], 0.0f);

  MakeTrial(s, 10, true);
  s.trial.DataFileName = dir.File("second.qlx");
  t.dialogs.answers = {DialogAnswer::No};
  CloseTrialFile(TrialFileContextOf(s));
  EXPECT_FALSE(FileExists(dir.File("second.qlx")));
  EXPECT_EQ(s.trial.Displacement[3], 0.0f);
}

}  // namespace
}  // namespace torvane
