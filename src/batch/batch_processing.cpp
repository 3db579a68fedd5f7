#include "batch/batch_processing.hpp"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "analysis/low_pass_filter.hpp"
#include "common/number_text.hpp"
#include "common/paths.hpp"
#include "files/trial_file.hpp"

namespace torvane {

namespace {

bool HasTrialExtension(const std::string& name) {
  if (name.size() < 4) return false;
  const std::string_view ext(name.data() + name.size() - 4, 4);
  const auto lower = [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  };
  return ext[0] == '.' && lower(ext[1]) == 'q' && lower(ext[2]) == 'l' && lower(ext[3]) == 'x';
}

}  // namespace

std::vector<std::string> TrialFilesInFolder(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  std::filesystem::directory_iterator it(folder, ec);
  if (ec) return names;
  for (const std::filesystem::directory_iterator end; it != end; it.increment(ec)) {
    if (ec) break;
    std::error_code typeError;
    if (!it->is_regular_file(typeError)) continue;
    std::string name = it->path().filename().string();
    if (HasTrialExtension(name)) names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string ListDataFolder(BatchFileList& list, const std::string& folder) {
  std::vector<std::string> names = TrialFilesInFolder(folder);
  list.folder = folder;
  list.filesInFolder = names.size();
  if (names.size() > kFilesToAnalyseSize) names.resize(kFilesToAnalyseSize);
  list.FilesToAnalyse = std::move(names);
  list.FileCount = static_cast<std::int16_t>(list.FilesToAnalyse.size());
  if (list.filesInFolder <= kFilesToAnalyseSize) return {};
  return "The folder holds " + std::to_string(list.filesInFolder) +
         " trial files; only the first " + std::to_string(kFilesToAnalyseSize) +
         " are listed. torvane-cli batch processes them all.";
}

std::string FileCountLabel(int position, int count) {
  return ShortNumericText(position) + " of " + ShortNumericText(count);
}

void SelectFileToAnalyse(BatchFileList& list, int position) {
  list.CurrentFileIndex = static_cast<std::int16_t>(std::clamp(position, -32768, 32767));
  list.LabelFileCount = FileCountLabel(list.CurrentFileIndex + 1, list.FileCount);
}

TrialResults ProcessLoadedTrial(TrialDataSet& trial, SettingsRecord& settings, AnalysisView& view,
                                const CalculationMode& mode, const ResultsOptions& options) {
  ResetPhaseTimes(view);
  if (settings.forceFc >= 1.0f) {
    LowPassFilter(settings.samples, trial.Force, static_cast<float>(settings.frequency),
                  settings.forceFc);
  }
  const std::int32_t last = settings.samples - 1;
  view.ViewStart = 0;
  view.ViewEnd = last;
  view.Marker1Sample = 0;
  view.Marker2Sample = last;
  view.AnalysisStart = 0;
  view.AnalysisEnd = last;
  view.JumpFrameStartSample = 0;
  view.JumpFrameEndSample = last;
  TrialResults results;
  const auto after = [&] { results = ProcessData(ResultsInputOf(trial, settings), view, options); };
  SetMassFromRecordedForce(trial, settings, view, mode, after);
  return results;
}

CalculationMode AutoCalculationMode(const TrialDataSet& trial, const SettingsRecord& settings) {
  CalculationMode mode;
  if (!settings.RecordForce) return mode;
  const std::vector<float>& d = trial.Displacement;
  const std::size_t n = std::min(d.size(), static_cast<std::size_t>(std::max(0, settings.samples)));
  const bool moves = n > 0 && std::any_of(d.begin(), d.begin() + static_cast<std::ptrdiff_t>(n),
                                          [&](float v) { return v != d[0]; });
  mode.fromDisplacement = moves;
  mode.fromForce = true;
  return mode;
}

NextFileResult CommandNextFile(const BatchContext& batch, BatchFileList& list,
                               const std::optional<CalculationMode>& mode,
                               const ResultsOptions& options) {
  NextFileResult r;
  if (list.FileCount <= 0) {
    r.message = kNoFileToProcessMessage;
    return r;
  }
  const int index = list.CurrentFileIndex;
  if (index < 0 || index >= list.FileCount ||
      static_cast<std::size_t>(index) >= kFilesToAnalyseSize) {
    return r;  // nothing selected: the command is ignored
  }
  const std::string path =
      JoinPath(list.folder, list.FilesToAnalyse[static_cast<std::size_t>(index)]);
  // The file's athlete goes with the file's rows; the selection belongs to
  // the squad window.
  const OpenTrialResult opened = OpenTrialFile(batch.files, path);
  list.LabelFileCount = FileCountLabel(index + 1, list.FileCount);
  if (index < list.FileCount - 1) ++list.CurrentFileIndex;
  if (!opened.opened) {
    list.refusedFile = path;  // the reader has shown why
    return r;
  }
  list.refusedFile.clear();
  list.loadedFile = batch.files.trial.DataFileName;
  list.fileAthlete.reset();
  const std::optional<SquadMember>& fileAthlete = batch.files.trial.Athlete;
  if (fileAthlete && NamesAnAthlete(*fileAthlete)) list.fileAthlete = *fileAthlete;
  r.results = ProcessLoadedTrial(
      batch.files.trial, batch.files.settings, batch.view,
      mode.value_or(AutoCalculationMode(batch.files.trial, batch.files.settings)), options);
  r.processed = true;
  return r;
}

ResultsRowIdentity ResultsRowIdentityOf(const SquadMember& athlete, const SettingsRecord& settings,
                                        const TrialDataSet& trial) {
  ResultsRowIdentity identity;
  identity.id = athlete.Id;
  identity.firstName = athlete.FirstName;
  identity.lastName = athlete.LastName;
  identity.bodyMass = athlete.BodyMass;
  identity.weight = settings.weight;
  identity.collectionDateTime = trial.CollectionDateTime;
  return identity;
}

void TickResultsVariable(ResultsOutput& output, ResultsSelection& selection, std::size_t index,
                         bool ticked) {
  if (index >= kResultsVariableCount) return;
  selection.ticked[index] = ticked;
  output.ResultsLayoutChanged = true;
}

void ToggleAllResultsVariables(ResultsOutput& output, ResultsSelection& selection) {
  const bool tick = selection.CommandDeSelectAllCaption != "De-Select All";
  for (std::size_t i = 0; i < kResultsVariableCount; ++i) {
    TickResultsVariable(output, selection, i, tick);
  }
  selection.CommandDeSelectAllCaption = tick ? "De-Select All" : "Select All";
}

namespace {

bool SaveRowOf(const BatchContext& batch, const SquadMember& athlete, const ResultsTicks& ticked,
               const ResultsTexts& texts, const std::string& workbookPath) {
  const TrialFileContext& files = batch.files;
  if (!files.settings.exceloutput) {
    files.dialogs.ShowMessage(MessageIcon::Information, kCannotSaveTitle, kCannotSaveMessage);
    return false;
  }
  ResultsOutput before = batch.results;
  WriteResultsRow(batch.results, ResultsRowIdentityOf(athlete, files.settings, files.trial), ticked,
                  texts, files.clock.Now());
  const std::string failure = SaveResultsWorksheet(batch.results.sheet, workbookPath);
  if (!failure.empty()) {
    batch.results = std::move(before);
    files.dialogs.ShowMessage(
        MessageIcon::Critical, kCannotSaveTitle,
        "The results could not be written to " + workbookPath + ": " + failure);
    return false;
  }
  return true;
}

}  // namespace

bool SaveResultsRow(const BatchContext& batch, const ResultsTicks& ticked,
                    const ResultsTexts& texts, const std::string& workbookPath) {
  return SaveRowOf(batch, AthleteOfTrial(batch.files.trial, batch.files.squad), ticked, texts,
                   workbookPath);
}

bool SaveBatchResultsRow(const BatchContext& batch, const BatchFileList& list,
                         const ResultsTicks& ticked, const ResultsTexts& texts,
                         const std::string& workbookPath) {
  if (!list.refusedFile.empty()) {
    batch.files.dialogs.ShowMessage(
        MessageIcon::Exclamation, kResultsWindowTitle,
        "No results row was written: " + list.refusedFile + " could not be read.");
    return false;
  }
  const bool ownFile = list.fileAthlete && batch.files.trial.DataFileName == list.loadedFile;
  return SaveRowOf(batch, ownFile ? *list.fileAthlete : batch.files.squad.Current(), ticked, texts,
                   workbookPath);
}

std::vector<std::string> RemainingTrialFiles(const BatchFileList& list) {
  if (list.FileCount <= 0 || list.CurrentFileIndex < 0) return {};
  std::vector<std::string> names = TrialFilesInFolder(list.folder);
  auto first = static_cast<std::size_t>(list.CurrentFileIndex);
  // "Next" stays on the last file once it has read it: nothing is left.
  if (first + 1 == static_cast<std::size_t>(list.FileCount) &&
      list.loadedFile == JoinPath(list.folder, list.FilesToAnalyse[first])) {
    first = list.filesInFolder > kFilesToAnalyseSize ? first + 1 : names.size();
  }
  if (first >= names.size()) return {};
  std::vector<std::string> paths;
  for (std::size_t i = first; i < names.size(); ++i)
    paths.push_back(JoinPath(list.folder, names[i]));
  return paths;
}

}  // namespace torvane
