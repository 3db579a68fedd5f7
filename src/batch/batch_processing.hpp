#pragma once
// Working through a folder of trial files one by one, as the results window
// does: the list of the folder's trial files, the position label, and "Next",
// which loads the next file, filters and recalculates it and computes its
// results. Nothing reaches the results worksheet until "&Save".

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/recalculate.hpp"
#include "files/trial_file_context.hpp"
#include "results/process_data.hpp"
#include "results/results_worksheet.hpp"
#include "trial/analysis_view.hpp"

namespace torvane {

// The window's list holds at most this many names (FilesToAnalyse 0 … 500).
inline constexpr std::size_t kFilesToAnalyseSize = 501;

inline constexpr const char* kNoFileToProcessMessage = "There is no trial file to process.";

// The trial files of a folder (every "*.qlx", in any letter case), names
// only, in name order. Empty when the folder cannot be read.
std::vector<std::string> TrialFilesInFolder(const std::string& folder);

struct BatchFileList {
  std::string folder;
  std::vector<std::string> FilesToAnalyse;  // at most kFilesToAnalyseSize names
  std::int16_t FileCount = 0;
  std::int16_t CurrentFileIndex = 0;  // the file "Next" loads next
  std::size_t filesInFolder = 0;      // also those beyond the list
  std::string LabelFileCount = "0 of 0";
  // The file "Next" last read, and the athlete it names (none when it names
  // nobody): that file's rows carry its own athlete.
  std::string loadedFile;
  std::optional<SquadMember> fileAthlete;
  // The file "Next" last tried and could not read: the results shown are
  // not its, so no row is saved until another trial is processed.
  std::string refusedFile;
};

// Lists the folder's trial files (the first kFilesToAnalyseSize of them).
// CurrentFileIndex is left as it was. Returns the note the window shows when
// the folder holds more files than the list, else "".
std::string ListDataFolder(BatchFileList& list, const std::string& folder);

// " 3 of  25": both numbers with their sign position.
std::string FileCountLabel(int position, int count);

// Makes the file at `position` the one "Next" loads and shows its place in
// the label (-1 when nothing is selected); the list box ListFilesToAnalyse
// calls it on a click.
void SelectFileToAnalyse(BatchFileList& list, int position);

// What the results window works on: the trial files it reads (the trial in
// memory, its settings, the squad, the dialogs), the analysis view a trial is
// analysed in, and the results worksheet its rows go to.
struct BatchContext {
  TrialFileContext files;
  AnalysisView& view;
  ResultsOutput& results;
};

struct NextFileResult {
  bool processed = false;  // a trial was loaded and its results computed
  std::string message;     // why nothing was processed, when that was not shown already
  TrialResults results;
};

// The calculation mode of a trial when no analysis window lends its boxes:
// from displacement and force when force was recorded and the displacement
// moves, from force alone when it stands still (a force platform alone),
// from displacement without force.
CalculationMode AutoCalculationMode(const TrialDataSet& trial, const SettingsRecord& settings);

// "Next": loads the file at CurrentFileIndex (refusals are shown by the
// reader, and the index still moves on, so the next "Next" reads the
// following file), moves the label and the index on (the last file stays current),
// filters the force at forceFc, resets the view, markers, analysis range and
// jump frame to the whole trial, and runs the "set mass" button, which
// recalculates the trial and computes its results. The mass is taken from
// the force only when force was recorded; otherwise the file's mass stays and
// the trial is recalculated with it. An index outside the list is ignored.
// `mode`: the analysis window's calculation boxes; none for the mode of
// AutoCalculationMode. The athlete the file names is kept in the list, and
// the selected squad athlete stays as it was.
NextFileResult CommandNextFile(const BatchContext& batch, BatchFileList& list,
                               const std::optional<CalculationMode>& mode,
                               const ResultsOptions& options);

// The steps of "Next" after the file has been read (filter, view, mass,
// recalculation, results); a new trial starts without phase times.
TrialResults ProcessLoadedTrial(TrialDataSet& trial, SettingsRecord& settings, AnalysisView& view,
                                const CalculationMode& mode, const ResultsOptions& options);

// The identity part of a results row: the athlete, the trial's mass and
// time stamp.
ResultsRowIdentity ResultsRowIdentityOf(const SquadMember& athlete, const SettingsRecord& settings,
                                        const TrialDataSet& trial);

// The 33 results check boxes and the button that ticks or clears them all.
// Any change of a box means the next saved row starts a new header block.
struct ResultsSelection {
  ResultsTicks ticked{};
  std::string CommandDeSelectAllCaption = "Select All";
};
// Ticks or clears one variable (its check box in the results window).
void TickResultsVariable(ResultsOutput& output, ResultsSelection& selection, std::size_t index,
                         bool ticked);
// The button CommandDeSelectAll: with the caption "De-Select All" clears
// every box and offers "Select All"; with any other caption ticks every box
// and offers "De-Select All".
void ToggleAllResultsVariables(ResultsOutput& output, ResultsSelection& selection);

// "&Save" of the results window: SaveResultsRow for the trial "Next" loaded
// last, with the athlete its file names (the selected athlete when it names
// none). After a file that could not be read nothing is written: the
// results shown are not that file's.
inline constexpr const char* kResultsWindowTitle = "Results of Data Processing";
bool SaveBatchResultsRow(const BatchContext& batch, const BatchFileList& list,
                         const ResultsTicks& ticked, const ResultsTexts& texts,
                         const std::string& workbookPath);

// "&Save" (cmdSaveResults): when results output is on, adds the row of the
// trial in memory and its current athlete to the results worksheet and
// writes the workbook to `workbookPath`; otherwise shows "Cannot Save to
// Excel". A workbook that cannot be written is reported and the row taken
// back, so ResultsRow is unchanged. Returns whether the row was saved.
bool SaveResultsRow(const BatchContext& batch, const ResultsTicks& ticked,
                    const ResultsTexts& texts, const std::string& workbookPath);

// The files "Process all" analyses: the rest of the folder from
// CurrentFileIndex (beyond the list's 501 too), or none when "Next" has
// already read the last one.
std::vector<std::string> RemainingTrialFiles(const BatchFileList& list);

}  // namespace torvane
