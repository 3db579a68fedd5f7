#pragma once
// Finding and loading the squad workbook into the squad table, and choosing
// the athlete every new trial and training file names: the list lines and
// label of the squad window, its search, next and previous, and the text of
// the status bar's athlete panel.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/user_dialogs.hpp"
#include "squads/squad_table.hpp"
#include "trial/status_log.hpp"

namespace torvane {

// The status bar's athlete panel.
inline constexpr int kAthletePanel = 8;
inline constexpr const char* kAthletePanelInitialText = "Subject Info";

struct SquadContext {
  SquadTable& squad;
  std::string& squadFileName;     // the SquadFileName setting: the workbook's full path
  const std::string& dataFolder;  // where the workbook is looked for next
  UserDialogs& dialogs;
  StatusSink& status;
  // Keeps a newly chosen SquadFileName in the settings file; nothing when empty.
  std::function<void()> saveSettings;
};

// ---- The table and the list ----------------------------------------------

// Makes `athletes` entries 1 … n of the table (entries after them are
// emptied). The selected athlete stays selected when the new list holds an
// athlete of the same id and names; otherwise the first athlete is selected
// (none when the list is empty).
void LoadSquad(SquadTable& squad, const std::vector<SquadMember>& athletes);

// "7 - Ann Lee -  72.5": id, names and the mass in the short numeric form.
std::string AthleteListLine(const SquadMember& athlete);
// The list line of every athlete 1 … SquadCount.
std::vector<std::string> AthleteListLines(const SquadTable& squad);
// " 3 of  25 in squad file".
std::string AthleteCountLabel(const SquadTable& squad);
// The athlete panel's text: the selected athlete's list line, or "Subject
// Info" while none is selected.
std::string AthletePanelText(const SquadTable& squad);

// "Id - FirstName LastName": what the squad window searches for to show
// the athlete of a trial file just opened.
std::string AthleteSearchText(const SquadMember& athlete);

// The 1-based index of the first athlete whose list line holds `text`,
// ignoring case (FoldCase: accented, Greek and Cyrillic letters too); 0
// when none does or the text is empty.
int FindAthlete(const SquadTable& squad, std::string_view text);

// Selects athlete `index` (1 … SquadCount); other values change nothing.
// Returns whether the selection changed.
bool SelectAthlete(SquadTable& squad, int index);
// A search: the first match is selected; no match keeps the current athlete.
// Returns the match (0 for none).
int SearchAndSelectAthlete(SquadTable& squad, std::string_view text);
// One down unless the last is selected; one up unless the first is.
bool SelectNextAthlete(SquadTable& squad);
bool SelectPreviousAthlete(SquadTable& squad);

// ---- The workbook --------------------------------------------------------

inline constexpr const char* kSelectSquadFileTitle = "Select squad file";
inline constexpr const char* kSquadFileFilter =
    "Spreadsheets (*.xlsx *.ods *.xls *.csv)|*.xlsx;*.ods;*.xls;*.csv|All Files (*.*)|*.*";

// Where the workbook is: SquadFileName when a file is there, else a file of
// the same name in the data folder, else one of the same name with another
// spreadsheet extension there (the one found becomes SquadFileName); each
// attempt is logged. Empty when none exists.
std::string FindSquadWorkbook(const SquadContext& cx);

// What became of a load.
enum class SquadLoad { Loaded, NotFound, Unreadable, Cancelled };

// Finds the workbook (asking the user to browse for it when it is nowhere)
// and reads it into the table. A workbook that cannot be read is reported
// in a message naming the file and the reason; the table keeps the squad it
// held.
SquadLoad LoadSquadWorkbook(const SquadContext& cx);

// "Open Squad File": asks for a workbook starting in the data folder; a
// chosen file becomes SquadFileName and is read.
SquadLoad ChooseSquadWorkbook(const SquadContext& cx);

// The file "Edit Squad File" opens: SquadFileName, inside the data folder
// when it names no folder.
std::string SquadFileToEdit(const SquadContext& cx);

// When and how large the workbook was when it was last read, so that a
// periodic check re-reads it only after it changed.
struct SquadFileStamp {
  std::string path;
  std::filesystem::file_time_type time{};
  std::uintmax_t size = 0;
  bool exists = false;
  bool operator==(const SquadFileStamp&) const = default;
};
SquadFileStamp StampOfSquadFile(const std::string& path);

// The squad window's periodic check: when the workbook at SquadFileName is
// no longer the one `loaded` describes (saved again from the spreadsheet
// program), it is read again quietly (a workbook caught half-written is
// tried again at its next change) and `loaded` follows. True when the table
// was reloaded. An unchanged workbook is not read.
bool ReloadSquadIfChanged(const SquadContext& cx, SquadFileStamp& loaded);

}  // namespace torvane
