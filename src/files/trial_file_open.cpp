// The open command: reading a trial file with the messages the user sees.

#include <string>

#include "common/number_text.hpp"
#include "common/paths.hpp"
#include "files/trial_file.hpp"
#include "squads/squad_selection.hpp"
#include "torvane_version.hpp"

namespace torvane {

namespace {

constexpr const char* kCannotOpenTitle = "Cannot open data file";

void ShowRefusal(UserDialogs& dialogs, const TrialReadResult& result) {
  switch (result.status) {
    case TrialReadStatus::TrainingFile:
      dialogs.ShowMessage(MessageIcon::Exclamation, kProductTitle, kTrainingFileRefusal);
      return;
    case TrialReadStatus::TooManySamples:
      dialogs.ShowMessage(MessageIcon::Critical, kMaximumSamplesTitle, kMaximumSamplesMessage);
      return;
    case TrialReadStatus::Unreadable:
    case TrialReadStatus::Ok:
      dialogs.ShowMessage(MessageIcon::Critical, kCannotOpenTitle, result.message);
      return;
  }
}

}  // namespace

OpenTrialResult OpenTrialFile(const TrialFileContext& files, const std::string& path) {
  OpenTrialResult opened;
  if (path.empty()) return opened;
  files.pump.ProcessPendingEvents();
  const TrialReadResult result = ReadTrialFile(files, path);
  if (!result.ok()) {
    ShowRefusal(files.dialogs, result);
    return opened;
  }
  opened.opened = true;
  opened.kind = result.trial.kind;
  const SettingsRecord& s = files.settings;
  switch (opened.kind) {
    case kFileKindVersion1:
      files.dialogs.ShowMessage(
          MessageIcon::None, kProductTitle,
          "Data file saved: " + files.trial.CollectionDateTime + "\r\nSamples = " +
              ShortNumericText(s.samples) + "\r\nFrequency = " + ShortNumericText(s.frequency) +
              "\r\nMass = " + ShortNumericText(static_cast<double>(s.weight)) + "\r\n" +
              (s.RecordForce ? "Force recorded" : "Force calculated"));
      break;
    case kFileKindVersion2: {
      opened.squadSearchText = AthleteSearchText(files.trial.Athlete.value_or(SquadMember{}));
      break;
    }
    default:
      files.dialogs.ShowMessage(MessageIcon::None, kProductTitle,
                                "Samples = " + ShortNumericText(s.samples) +
                                    " Frequency = " + ShortNumericText(s.frequency));
      break;
  }
  return opened;
}

OpenTrialResult OpenTrialFileCommand(const TrialFileContext& files, AnalysisView& view,
                                     bool openTestFile) {
  OpenTrialResult opened;
  if (openTestFile) {
    opened = OpenTrialFile(files, JoinPath(files.settings.DataDirectory, "test.dat"));
  } else {
    FileDialogRequest request;
    request.title = "Open";
    request.filter = kOpenDialogFilter;
    request.initialFolder = files.settings.DataDirectory;
    const std::optional<std::string> chosen = files.dialogs.ChooseFileToOpen(request);
    if (chosen && !chosen->empty()) opened = OpenTrialFile(files, *chosen);
  }
  // Whether or not a file was opened, the window shows the whole trial.
  view.ViewStart = 0;
  view.ViewEnd = files.settings.samples - 1;
  view.Marker1Sample = 0;
  view.Marker2Sample = files.settings.samples - 1;
  return opened;
}

}  // namespace torvane
