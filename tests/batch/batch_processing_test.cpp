#include "batch/batch_processing.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "config/settings_io.hpp"
#include "results/trial_file_texts.hpp"
#include "shell/analysis_session.hpp"
#include "test_support.hpp"

namespace torvane {
namespace {

using testing::JumpFile;
using testing::JumpShape;
using testing::TempDir;
using testing::TestSession;
using testing::Version2Text;
using testing::WriteText;

const CalculationMode kFromDisplacement{.fromDisplacement = true, .fromForce = false};
const CalculationMode kFromForce{.fromDisplacement = false, .fromForce = true};

struct BatchFixture {
  BatchFixture() {
    LoadSettingsReadOnly(ts.session.settings, "", dir.path());
    ts.session.settings.velocFc = 0;  // plain differences: no filter ringing
  }
  void Write(const std::string& name, const std::string& text) { WriteText(dir.File(name), text); }
  void List() { ListDataFolder(list, dir.path()); }
  TempDir dir;
  TestSession ts;
  BatchFileList list;
};

TEST(BatchFileList, ListsTrialFilesInNameOrderAndStepsThroughThem) {
  BatchFixture f;
  f.Write("b.QLX", Version2Text(JumpFile(JumpShape{}, true, true)));
  f.Write("a.qlx", Version2Text(JumpFile(JumpShape{}, true, true)));
  f.Write("notes.txt", "not a trial");
  std::filesystem::create_directory(f.dir.File("folder.qlx"));
  f.List();
  ASSERT_EQ(f.list.FileCount, 2);
  EXPECT_EQ(f.list.FilesToAnalyse[0], "a.qlx");
  EXPECT_EQ(f.list.FilesToAnalyse[1], "b.QLX");
  Session& s = f.ts.session;
  NextFileResult r = CommandNextFile(BatchContextOf(s), f.list, kFromDisplacement, {});
  EXPECT_TRUE(r.processed);
  EXPECT_EQ(f.list.LabelFileCount, " 1 of  2");
  EXPECT_EQ(f.list.CurrentFileIndex, 1);
  EXPECT_EQ(s.trial.DataFileName, f.dir.File("a.qlx"));
  r = CommandNextFile(BatchContextOf(s), f.list, kFromDisplacement, {});
  EXPECT_EQ(f.list.LabelFileCount, " 2 of  2");
  EXPECT_EQ(f.list.CurrentFileIndex, 1);
  // "Next" on the last file loads it again.
  r = CommandNextFile(BatchContextOf(s), f.list, kFromDisplacement, {});
  EXPECT_TRUE(r.processed);
  EXPECT_EQ(s.trial.DataFileName, f.dir.File("b.QLX"));
  EXPECT_EQ(FileCountLabel(3, 25), " 3 of  25");
}

TEST(BatchFileList, NoSelectionOrNoFileIsNotProcessed) {
  BatchFixture f;
  f.List();
  Session& s = f.ts.session;
  NextFileResult r = CommandNextFile(BatchContextOf(s), f.list, kFromDisplacement, {});
  EXPECT_FALSE(r.processed);
  EXPECT_EQ(r.message, "There is no trial file to process.");
  f.Write("a.qlx", Version2Text(JumpFile(JumpShape{}, true, true)));
  f.List();
  SelectFileToAnalyse(f.list, -1);
  EXPECT_EQ(f.list.LabelFileCount, " 0 of  1");
  r = CommandNextFile(BatchContextOf(s), f.list, kFromDisplacement, {});
  EXPECT_FALSE(r.processed);
  EXPECT_EQ(s.trial.DataFileName, "");
  // A file the reader refuses is reported by it and leaves the trial alone.
  f.Write("a.qlx", "\"QLX Training File\",\"x\"\r\n");
  SelectFileToAnalyse(f.list, 0);
  r = CommandNextFile(BatchContextOf(s), f.list, kFromDisplacement, {});
  EXPECT_FALSE(r.processed);
  ASSERT_EQ(f.ts.dialogs.shown.size(), 1u);
  EXPECT_EQ(f.ts.dialogs.shown[0].text,
            "Selected File is a QLX Training File. Open from the Training Window.");
}

TEST(BatchFileList, KeepsTheFirst501NamesAndSaysSo) {
  BatchFixture f;
  for (int i = 0; i < 503; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "t%03d.qlx", i);
    f.Write(name, "500,0\r\n");
  }
  const std::string note = ListDataFolder(f.list, f.dir.path());
  EXPECT_EQ(f.list.FileCount, 501);
  EXPECT_EQ(f.list.filesInFolder, 503u);
  EXPECT_EQ(f.list.FilesToAnalyse.back(), "t500.qlx");
  EXPECT_NE(note.find("503"), std::string::npos);
  EXPECT_NE(note.find("501"), std::string::npos);
}

TEST(CommandNextFile, DisplacementOnlyTrialKeepsTheMassOfItsFile) {
  // Without recorded force there is no force to weigh: the mass would come
  // out as 10 kg and every force and power with it.
  BatchFixture f;
  f.Write("d.qlx", Version2Text(JumpFile(JumpShape{}, true, false)));
  f.List();
  Session& s = f.ts.session;
  const NextFileResult r = CommandNextFile(BatchContextOf(s), f.list, kFromDisplacement, {});
  ASSERT_TRUE(r.processed);
  EXPECT_FALSE(s.settings.RecordForce);
  EXPECT_EQ(s.settings.weight, 80.0f);
  EXPECT_EQ(ResultsRowIdentityOf(s.squad.Current(), s.settings, s.trial).weight, 80.0f);
  EXPECT_GT(*r.results.values[kPeakForce], 1500.0);  // 80 kg landing, not 10 kg
  EXPECT_NEAR(*r.results.values[kFlightTime], 0.51, 0.02);
}

TEST(CommandNextFile, ForceTrialTakesItsMassFromTheForce) {
  BatchFixture f;
  testing::TrialFileSpec trial = JumpFile(JumpShape{}, false, true);
  trial.weight = 70;  // the force says 80 kg
  f.Write("f.qlx", Version2Text(trial));
  f.List();
  Session& s = f.ts.session;
  const NextFileResult r = CommandNextFile(BatchContextOf(s), f.list, kFromForce, {});
  ASSERT_TRUE(r.processed);
  EXPECT_NEAR(s.settings.weight, 80.0, 0.05);
  EXPECT_EQ(s.view.AnalysisEnd, 999);
  EXPECT_EQ(s.view.JumpFrameEndSample, 999);
  EXPECT_EQ(r.results.texts[kJumpHeightFromFlight], "0.316");  // 0.508 s of flight
}

TEST(CommandNextFile, NoPhaseOfTheLastTrialReachesTheNext) {
  // A countermovement jump, then a jump from a still squat: no onset is found
  // in the second, so the first one's onset would stand in its phase times.
  BatchFixture f;
  f.Write("1.qlx", Version2Text(JumpFile(JumpShape{}, true, false)));
  JumpShape squat;
  squat.dipVelocity = 0;
  squat.takeOffVelocity = 2.2;
  f.Write("2.qlx", Version2Text(JumpFile(squat, true, false)));
  f.List();
  Session& s = f.ts.session;
  CommandNextFile(BatchContextOf(s), f.list, kFromDisplacement, {});
  ASSERT_GT(s.view.MovementOnsetTime, 0.3);
  const NextFileResult after = CommandNextFile(BatchContextOf(s), f.list, kFromDisplacement, {});
  EXPECT_EQ(s.view.MovementOnsetTime, 0.0);

  BatchFixture alone;
  alone.Write("2.qlx", Version2Text(JumpFile(squat, true, false)));
  alone.List();
  const NextFileResult fresh =
      CommandNextFile(BatchContextOf(alone.ts.session), alone.list, kFromDisplacement, {});
  ASSERT_TRUE(after.processed && fresh.processed);
  EXPECT_EQ(after.results.texts, fresh.results.texts);
  EXPECT_FALSE(after.results.texts[kEccConTime].empty());
}

TEST(SaveResultsRow, WritesTheWorkbookOrSaysWhyNot) {
  BatchFixture f;
  Session& s = f.ts.session;
  ResultsTicks ticks{};
  ticks[kPeakForce] = true;
  ResultsTexts texts;
  texts[kPeakForce] = "812.5";
  s.squad.Current() = SquadMember{"A17", "Ann", "Lee", 61.25f};
  s.settings.exceloutput = false;
  EXPECT_FALSE(SaveResultsRow(BatchContextOf(s), ticks, texts, f.dir.File("r.xlsx")));
  ASSERT_EQ(f.ts.dialogs.shown.size(), 1u);
  EXPECT_EQ(f.ts.dialogs.shown[0].title, "Cannot Save to Excel");
  EXPECT_EQ(f.ts.dialogs.shown[0].text,
            "Output to Excel option not selected or Excel not available on this computer system");
  EXPECT_EQ(s.results.ResultsRow, 0);

  s.settings.exceloutput = true;
  ASSERT_TRUE(SaveResultsRow(BatchContextOf(s), ticks, texts, f.dir.File("r.csv")));
  EXPECT_EQ(s.results.ResultsRow, 4);
  EXPECT_EQ(s.results.sheet.Text(3, 1), "AnnLee");
  EXPECT_EQ(s.results.sheet.Text(3, 5), "812.5");
  EXPECT_TRUE(FileExists(f.dir.File("r.csv")));
  // A workbook that cannot be written takes the row back.
  EXPECT_FALSE(SaveResultsRow(BatchContextOf(s), ticks, texts, f.dir.File("missing/r.csv")));
  EXPECT_EQ(s.results.ResultsRow, 4);
  EXPECT_EQ(s.results.sheet.Text(4, 0), "");
  EXPECT_EQ(ResultsWorkbookPath(s.settings), f.dir.path() + "/QLXResults.xlsx");
}

TEST(CommandNextFile, ARefusedFileWritesNoRowAndNextGoesOnToTheFollowingFile) {
  BatchFixture f;
  f.Write("1.qlx", Version2Text(JumpFile(JumpShape{}, true, false)));
  f.Write("2.qlx", "\"QLX Training File\",\"x\"\r\n");
  f.Write("3.qlx", Version2Text(JumpFile(JumpShape{}, true, false)));
  f.List();
  Session& s = f.ts.session;
  s.settings.exceloutput = true;
  const ResultsTicks ticks{true};
  ASSERT_TRUE(CommandNextFile(BatchContextOf(s), f.list, std::nullopt, {}).processed);
  const NextFileResult refused = CommandNextFile(BatchContextOf(s), f.list, std::nullopt, {});
  EXPECT_FALSE(refused.processed);
  EXPECT_EQ(f.list.LabelFileCount, " 2 of  3");
  EXPECT_EQ(s.trial.DataFileName, f.dir.File("1.qlx"));  // the first trial stays in memory
  EXPECT_FALSE(SaveBatchResultsRow(BatchContextOf(s), f.list, ticks, {}, f.dir.File("r.csv")));
  EXPECT_EQ(s.results.ResultsRow, 0);
  EXPECT_EQ(f.ts.dialogs.shown.back().text,
            "No results row was written: " + f.dir.File("2.qlx") + " could not be read.");
  EXPECT_TRUE(CommandNextFile(BatchContextOf(s), f.list, std::nullopt, {}).processed);
  EXPECT_EQ(s.trial.DataFileName, f.dir.File("3.qlx"));
  EXPECT_TRUE(SaveBatchResultsRow(BatchContextOf(s), f.list, ticks, {}, f.dir.File("r.csv")));
}

TEST(CommandNextFile, ARowCarriesTheAthleteOfItsFileElseTheSelectedOne) {
  BatchFixture f;
  testing::TrialFileSpec named = JumpFile(JumpShape{}, true, false);
  named.id = "B2";
  named.firstName = "Bo";
  named.lastName = "Day";
  f.Write("1.qlx", Version2Text(named));
  testing::TrialFileSpec nobody = JumpFile(JumpShape{}, true, false);
  nobody.id = nobody.firstName = nobody.lastName = "";
  f.Write("2.qlx", Version2Text(nobody));
  f.List();
  Session& s = f.ts.session;
  s.settings.exceloutput = true;
  s.squad.SquadMembers[1] = SquadMember{"A17", "Ann", "Lee", 61.25f};
  s.squad.SquadCount = 1;
  s.squad.CurrentAthlete = 1;
  const ResultsTicks ticks{};
  for (int file = 0; file < 2; ++file) {
    ASSERT_TRUE(CommandNextFile(BatchContextOf(s), f.list, std::nullopt, {}).processed);
    ASSERT_TRUE(SaveBatchResultsRow(BatchContextOf(s), f.list, ticks, {}, f.dir.File("r.csv")));
  }
  EXPECT_EQ(s.results.sheet.Text(3, 1), "BoDay");
  EXPECT_EQ(s.results.sheet.Text(4, 1), "AnnLee");  // not the first file's athlete
  EXPECT_EQ(s.squad.SquadMembers[1].Id, "A17");     // the squad keeps its athlete
  // "Process all" finds nothing left once the last file was read.
  EXPECT_TRUE(RemainingTrialFiles(f.list).empty());
  SelectFileToAnalyse(f.list, 0);
  EXPECT_EQ(RemainingTrialFiles(f.list).size(), 2u);
}

TEST(ResultsSelection, SelectAllTogglesAndEveryChangeStartsANewHeaderBlock) {
  ResultsOutput out;
  ResultsSelection selection;
  const auto all = [&](bool ticked) {
    return std::all_of(selection.ticked.begin(), selection.ticked.end(),
                       [ticked](bool t) { return t == ticked; });
  };
  for (const bool ticked : {true, false}) {
    out.ResultsLayoutChanged = false;
    ToggleAllResultsVariables(out, selection);
    EXPECT_EQ(selection.CommandDeSelectAllCaption, ticked ? "De-Select All" : "Select All");
    EXPECT_TRUE(all(ticked));
    EXPECT_TRUE(out.ResultsLayoutChanged);
  }
  out.ResultsLayoutChanged = false;
  TickResultsVariable(out, selection, kFlightTime, true);
  EXPECT_TRUE(selection.ticked[kFlightTime]);
  EXPECT_TRUE(out.ResultsLayoutChanged);
}

}  // namespace
}  // namespace torvane
