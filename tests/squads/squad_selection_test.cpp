#include "squads/squad_selection.hpp"

#include <gtest/gtest.h>

#include <algorithm>

#include "test_support.hpp"

namespace torvane {
namespace {

using testing::TempDir;
using testing::WriteText;

struct LogSink : StatusSink {
  void AddStatusMessage(std::string_view message) override { lines.emplace_back(message); }
  void SetStatusPanel(int, std::string) override {}
  bool Logged(const std::string& line) const {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
  std::vector<std::string> lines;
};

struct SquadFixture {
  SquadFixture() : dataFolder(dir.File("data")) { MakeFolders(dataFolder); }
  SquadContext Context() {
    return {squad, squadFileName, dataFolder, dialogs, log, [this] { ++saves; }};
  }
  TempDir dir;
  SquadTable squad;
  std::string squadFileName;
  std::string dataFolder;
  ScriptedDialogs dialogs;
  LogSink log;
  int saves = 0;
};

const std::vector<SquadMember> kSquad = {
    {"7", "Ann", "Lee", 72.5f}, {"8", "Bo", "Day", 80}, {"9", "Cy", "Leeds", 0.5f}};

TEST(SquadSelection, ListLinesLabelAndAthletePanel) {
  SquadTable squad;
  EXPECT_EQ(AthletePanelText(squad), "Subject Info");
  EXPECT_EQ(AthleteCountLabel(squad), " 0 of  0 in squad file");
  LoadSquad(squad, kSquad);
  EXPECT_EQ(
      AthleteListLines(squad),
      (std::vector<std::string>{"7 - Ann Lee -  72.5", "8 - Bo Day -  80", "9 - Cy Leeds -  .5"}));
  EXPECT_EQ(squad.CurrentAthlete, 1);  // the first athlete is selected
  EXPECT_EQ(AthletePanelText(squad), "7 - Ann Lee -  72.5");
  EXPECT_EQ(AthleteListLine({"", "", "", 0}), " -   -  0");
}

TEST(SquadSelection, SearchNextAndPreviousKeepTheAthleteWhenNothingMatches) {
  SquadTable squad;
  LoadSquad(squad, kSquad);
  EXPECT_EQ(SearchAndSelectAthlete(squad, "LEEDS"), 3);  // case-insensitive, anywhere
  EXPECT_EQ(SearchAndSelectAthlete(squad, "lee"), 1);    // the first match
  EXPECT_EQ(SearchAndSelectAthlete(squad, "80"), 2);     // the mass is in the line
  // Names beyond ASCII fold too.
  SquadTable nordic;
  LoadSquad(nordic, {{"1", "Bo", "Day", 80}, {"2", "Åsa", "Østergård", 60}});
  EXPECT_EQ(SearchAndSelectAthlete(nordic, "ØSTERGÅRD"), 2);
  // No match and an empty text keep the athlete every new trial names.
  EXPECT_EQ(SearchAndSelectAthlete(squad, "nobody"), 0);
  EXPECT_EQ(SearchAndSelectAthlete(squad, ""), 0);
  EXPECT_EQ(squad.CurrentAthlete, 2);
  EXPECT_TRUE(SelectNextAthlete(squad));
  EXPECT_FALSE(SelectNextAthlete(squad));  // already the last
  EXPECT_EQ(squad.CurrentAthlete, 3);
  EXPECT_TRUE(SelectPreviousAthlete(squad));
  EXPECT_TRUE(SelectPreviousAthlete(squad));
  EXPECT_FALSE(SelectPreviousAthlete(squad));  // already the first
  EXPECT_FALSE(SelectAthlete(squad, 4));
  EXPECT_EQ(squad.CurrentAthlete, 1);
}

TEST(SquadSelection, ReloadKeepsTheSelectedAthleteAndEmptiesDroppedEntries) {
  SquadTable squad;
  LoadSquad(squad, kSquad);
  SelectAthlete(squad, 2);
  LoadSquad(squad, {kSquad[2], kSquad[1]});
  EXPECT_EQ(squad.SquadCount, 2);
  EXPECT_EQ(squad.Current().FirstName, "Bo");  // followed to its new place
  EXPECT_TRUE(squad.SquadMembers[3].Id.empty());
  LoadSquad(squad, {kSquad[0]});
  EXPECT_EQ(squad.CurrentAthlete, 1);  // gone: the first athlete instead
  LoadSquad(squad, {});
  EXPECT_EQ(squad.CurrentAthlete, 0);
  EXPECT_EQ(AthletePanelText(squad), "Subject Info");
}

TEST(SquadSelection, FindingTheWorkbookReportsFailureWhenItFails) {
  SquadFixture f;
  f.squadFileName = f.dir.File("elsewhere/Squad.xls");
  EXPECT_EQ(FindSquadWorkbook(f.Context()), "");
  EXPECT_TRUE(f.log.Logged("Looking for squad file: " + f.squadFileName));
  EXPECT_TRUE(
      f.log.Logged("Unable to find squad file: " + f.squadFileName + "Trying another location"));
  EXPECT_TRUE(f.log.Logged("Unable to find squad file: " + f.dataFolder + "/Squad.xls"));
  // Nowhere, and the browse cancelled: not loaded, the squad as it was.
  LoadSquad(f.squad, kSquad);
  EXPECT_EQ(LoadSquadWorkbook(f.Context()), SquadLoad::NotFound);
  EXPECT_TRUE(f.log.Logged("Error loading squad file"));
  EXPECT_EQ(f.dialogs.shown.at(0).title, "Select squad file");
  EXPECT_EQ(f.dialogs.fileRequests.at(0).initialFolder, f.dataFolder);
  EXPECT_EQ(f.squad.SquadCount, 3);
  EXPECT_EQ(f.saves, 0);
  // The same name saved in another form in the data folder is found and kept.
  WriteText(f.dataFolder + "/Squad.csv", "Id\n1,A,B,60\n");
  EXPECT_EQ(LoadSquadWorkbook(f.Context()), SquadLoad::Loaded);
  EXPECT_EQ(f.squadFileName, f.dataFolder + "/Squad.csv");
  EXPECT_EQ(f.saves, 1);
  EXPECT_EQ(f.squad.SquadCount, 1);
  EXPECT_TRUE(f.log.Logged("Squad file loaded and number =  1"));
}

TEST(SquadSelection, AnUnreadableWorkbookIsShownAndTheSquadStays) {
  SquadFixture f;
  LoadSquad(f.squad, kSquad);
  f.squadFileName = f.dataFolder + "/Squad.xlsx";
  WriteText(f.squadFileName, std::string("PK\x03\x04 not really", 16));
  EXPECT_EQ(LoadSquadWorkbook(f.Context()), SquadLoad::Unreadable);
  ASSERT_EQ(f.dialogs.shown.size(), 1u);
  EXPECT_NE(f.dialogs.shown[0].text.find(f.squadFileName), std::string::npos);
  EXPECT_EQ(f.squad.SquadCount, 3);
  // "Open Squad File": a chosen workbook becomes the setting and is read.
  const std::string other = f.dir.File("team.csv");
  WriteText(other, "Id\n5,E,F,50\n");
  f.dialogs.paths.push_back(other);
  EXPECT_EQ(ChooseSquadWorkbook(f.Context()), SquadLoad::Loaded);
  EXPECT_EQ(f.squadFileName, other);
  EXPECT_EQ(f.squad.Current().Id, "5");
  EXPECT_EQ(ChooseSquadWorkbook(f.Context()), SquadLoad::Cancelled);
  EXPECT_EQ(f.squadFileName, other);
}

TEST(SquadSelection, EditLooksInTheDataFolderAndTheStampSeesAChange) {
  SquadFixture f;
  f.squadFileName = "Team.ods";
  EXPECT_EQ(SquadFileToEdit(f.Context()), f.dataFolder + "/Team.ods");
  f.squadFileName = "/srv/squads/Team.ods";
  EXPECT_EQ(SquadFileToEdit(f.Context()), "/srv/squads/Team.ods");
  const std::string path = f.dir.File("s.csv");
  EXPECT_FALSE(StampOfSquadFile(path).exists);
  WriteText(path, "Id\n");
  const SquadFileStamp first = StampOfSquadFile(path);
  EXPECT_TRUE(first.exists);
  EXPECT_EQ(StampOfSquadFile(path), first);
  WriteText(path, "Id\n1\n");
  EXPECT_NE(StampOfSquadFile(path), first);
  // The periodic check reads the workbook only after it changed.
  f.squadFileName = path;
  SquadFileStamp loaded = first;
  EXPECT_TRUE(ReloadSquadIfChanged(f.Context(), loaded));
  EXPECT_EQ(f.squad.SquadCount, 1);
  EXPECT_FALSE(ReloadSquadIfChanged(f.Context(), loaded));
  WriteText(path, "Id\n1\n2\n");
  EXPECT_TRUE(ReloadSquadIfChanged(f.Context(), loaded));
  EXPECT_EQ(f.squad.SquadCount, 2);
}

}  // namespace
}  // namespace torvane
