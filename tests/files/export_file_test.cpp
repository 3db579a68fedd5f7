#include "files/export_file.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text_file.hpp"
#include "shell/analysis_session.hpp"
#include "test_support.hpp"

namespace torvane {
namespace {

using testing::ReadText;
using testing::TempDir;
using testing::TestSession;
using testing::WriteText;

const LocalDateTime kNow{2026, 12, 6, 17, 7, 9, 0};

void MakeTrial(Session& s, std::int32_t samples, std::int32_t frequency) {
  DimensionDataArrays(s.trial, samples);
  s.settings.samples = samples;
  s.settings.frequency = frequency;
  s.settings.weight = 80.5f;
}

TEST(ExportFileText, HeaderLinesAndOneLinePerSample) {
  TestSession t;
  Session& s = t.session;
  MakeTrial(s, 1000, 500);
  s.trial.Displacement[1] = 0.1234567f;
  s.trial.Velocity[1] = 0.5f;
  s.trial.Acceleration[1] = -1.25f;
  s.trial.Force[1] = 100.0f;
  s.trial.Power[1] = 1.5e-5f;
  s.trial.Velocity[1000] = 7.0f;  // index `samples` is not exported
  const std::string text = ExportFileText(s.trial, s.settings, kNow);
  const std::vector<std::string_view> lines = SplitLines(text);
  ASSERT_EQ(lines.size(), 1003u);
  EXPECT_EQ(lines[0], "QLX Data Export File");
  // Long date, blanks to column 29, the time, blanks to column 43, the mass.
  EXPECT_EQ(lines[1], "Sunday, 6 December 2026     05:07:09 PM   Mass:  80.5 kg");
  EXPECT_EQ(lines[2], "time,displacement,velocity,acceleration,force,power");
  EXPECT_EQ(lines[3], "0.000,0,0,0,0,0");
  EXPECT_EQ(lines[4], "0.002,0.1234567,0.5,-1.25,100,1.5E-05");
  EXPECT_EQ(lines[5].substr(0, 6), "0.004,");
  EXPECT_EQ(lines[1002], "1.998,0,0,0,0,0");
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
  EXPECT_EQ(text.find("\n\n"), std::string::npos);
}

TEST(ExportFileText, TimesAt600HzAndATrialWithoutFrequency) {
  TestSession t;
  Session& s = t.session;
  MakeTrial(s, 4, 600);
  std::vector<std::string_view> lines;
  std::string text = ExportFileText(s.trial, s.settings, kNow);
  lines = SplitLines(text);
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[3].substr(0, 6), "0.000,");
  EXPECT_EQ(lines[4].substr(0, 6), "0.002,");  // 0.00166…
  EXPECT_EQ(lines[5].substr(0, 6), "0.003,");
  s.settings.frequency = 0;
  text = ExportFileText(s.trial, s.settings, kNow);
  EXPECT_EQ(SplitLines(text)[6].substr(0, 6), "0.000,");
}

TEST(ExportTrialFile, DialogOverwriteQuestionAndTheTrialStateLeftAlone) {
  TempDir dir;
  TestSession t;
  Session& s = t.session;
  MakeTrial(s, 10, 500);
  s.trial.DataFileName = "trial.qlx";
  s.trial.DataSaved = false;
  const std::string path = dir.File("out.csv");
  FileDialogRequest request;
  request.initialName = "7 Ann Lee 06_12_26 17_07.qlx";

  EXPECT_EQ(ExportTrialFile(TrialFileContextOf(s), request), ExportOutcome::Cancelled);
  EXPECT_FALSE(FileExists(path));
  EXPECT_EQ(t.dialogs.fileRequests.at(0).initialName, request.initialName);

  WriteText(path, "old");
  t.dialogs.paths = {path, path};
  t.dialogs.answers = {DialogAnswer::No, DialogAnswer::Cancel};
  EXPECT_EQ(ExportTrialFile(TrialFileContextOf(s), request), ExportOutcome::Cancelled);
  EXPECT_EQ(ReadText(path), "old");
  EXPECT_EQ(t.dialogs.shown.at(0).title, "Overwrite existing export file");
  EXPECT_EQ(t.dialogs.shown.at(0).text, "File already exists. Do you want to overwrite?");

  t.dialogs.paths = {path};
  t.dialogs.answers = {DialogAnswer::Yes};
  EXPECT_EQ(ExportTrialFile(TrialFileContextOf(s), request), ExportOutcome::Written);
  EXPECT_EQ(SplitLines(ReadText(path)).size(), 13u);
  EXPECT_EQ(s.trial.DataFileName, "trial.qlx");
  EXPECT_FALSE(s.trial.DataSaved);

  t.dialogs.paths = {dir.File("gone/out.csv")};
  EXPECT_EQ(ExportTrialFile(TrialFileContextOf(s), request), ExportOutcome::Failed);
  EXPECT_EQ(t.dialogs.shown.back().icon, MessageIcon::Critical);
}

}  // namespace
}  // namespace torvane
