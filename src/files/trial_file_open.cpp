// The open command: reading a trial file with the messages the user sees.

#include <string>

#include "common/number_text.hpp"
#include "files/trial_file.hpp"
#include "common/paths.hpp"
#include "shell/session.hpp"
#include "torvane_version.hpp"

namespace torvane {

namespace {

constexpr const char* kCannotOpenTitle = "Cannot open data file";

void ShowRefusal(Session& session, const TrialReadResult& result) {
  UserDialogs& dialogs = session.dialogs();
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

OpenTrialResult OpenTrialFile(Session& session, const std::string& path) {
  OpenTrialResult opened;
  if (path.empty()) return opened;
  session.pump().ProcessPendingEvents();
  const TrialReadResult result = ReadTrialFile(session, path);
  if (!result.ok()) {
    ShowRefusal(session, result);
    return opened;
  }
  opened.opened = true;
  opened.kind = result.trial.kind;
  const SettingsRecord& s = session.settings;
  switch (opened.kind) {
    case kFileKindVersion1:
      session.dialogs().ShowMessage(
          MessageIcon::None, kProductTitle,
          "Data file saved: " + session.trial.CollectionDateTime + "\r\nSamples = " +
              ShortNumericText(s.samples) + "\r\nFrequency = " + ShortNumericText(s.frequency) +
              "\r\nMass = " + ShortNumericText(static_cast<double>(s.weight)) + "\r\n" +
              (s.RecordForce ? "Force recorded" : "Force calculated"));
      break;
    case kFileKindVersion2: {
      const SquadMember& athlete = session.squad.Current();
      opened.squadSearchText = athlete.Id + " - " + athlete.FirstName + " " + athlete.LastName;
      break;
    }
    default:
      session.dialogs().ShowMessage(MessageIcon::None, kProductTitle,
                                    "Samples = " + ShortNumericText(s.samples) +
                                        " Frequency = " + ShortNumericText(s.frequency));
      break;
  }
  return opened;
}

OpenTrialResult OpenTrialFileCommand(Session& session, bool openTestFile) {
  OpenTrialResult opened;
  if (openTestFile) {
    opened = OpenTrialFile(session, JoinPath(session.settings.DataDirectory, "test.dat"));
  } else {
    FileDialogRequest request;
    request.title = "Open";
    request.filter = kOpenDialogFilter;
    request.initialFolder = session.settings.DataDirectory;
    const std::optional<std::string> chosen = session.dialogs().ChooseFileToOpen(request);
    if (chosen && !chosen->empty()) opened = OpenTrialFile(session, *chosen);
  }
  // Whether or not a file was opened, the window shows the whole trial.
  AnalysisView& view = session.view;
  view.ViewStart = 0;
  view.ViewEnd = session.settings.samples - 1;
  view.Marker1Sample = 0;
  view.Marker2Sample = session.settings.samples - 1;
  return opened;
}

}  // namespace torvane
