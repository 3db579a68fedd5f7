#include "analysis/analysis_window_rules.hpp"

#include "common/number_text.hpp"

namespace torvane {

DurationOutcome ApplyTrialDuration(TrialDataSet& trial, SettingsRecord& settings,
                                   UserDialogs& dialogs, std::string_view text, bool busy) {
  if (busy) {
    dialogs.ShowMessage(MessageIcon::Exclamation, "", kDurationDuringCollection);
    return DurationOutcome::Busy;
  }
  double wanted = RoundHalfEven(LeadingNumber(text) * settings.frequency);
  if (wanted == 0) wanted = static_cast<double>(kMinimumArrayPoints);
  if (!(wanted < static_cast<double>(kMaximumSamples)) || wanted < 0) {
    dialogs.ShowMessage(MessageIcon::Critical, kMaximumSamplesTitle, kMaximumSamplesMessage);
    return DurationOutcome::TooLarge;
  }
  const auto samples = static_cast<std::int32_t>(wanted);
  if (samples == settings.samples) return DurationOutcome::Unchanged;
  if (trial.DataCollected && !trial.DataSaved &&
      dialogs.Ask(MessageIcon::Question, MessageButtons::YesNo, "", kDurationClearsTrialQuestion) !=
          DialogAnswer::Yes) {
    return DurationOutcome::Declined;
  }
  settings.samples = samples;
  DimensionDataArrays(trial, samples);
  trial.DataCollected = false;
  return DurationOutcome::Applied;
}

std::string TrialDurationText(const SettingsRecord& settings) {
  if (settings.frequency == 0) return "0.0";
  return FormatNumber(static_cast<double>(settings.samples) / settings.frequency, "0.0");
}

bool QueryCloseAnalysisWindow(const TrialFileContext& files, bool collecting,
                              const std::function<void()>& stopCollection,
                              const TrialNameParts& parts) {
  if (collecting) {
    if (files.dialogs.Ask(MessageIcon::Question, MessageButtons::YesNo, "",
                          kStopCollectionQuestion) != DialogAnswer::Yes) {
      return false;
    }
    if (stopCollection) stopCollection();
  }
  TrialDataSet& trial = files.trial;
  if (trial.DataCollected && !trial.DataSaved) {
    switch (files.dialogs.Ask(MessageIcon::Question, MessageButtons::YesNoCancel, "",
                              kCloseAnalysisQuestion)) {
      case DialogAnswer::Yes:
        if (SaveTrialFile(files, 0, parts) != SaveOutcome::Saved) return false;
        files.dialogs.ShowMessage(MessageIcon::None, "", kDataSavedMessage);
        return true;
      case DialogAnswer::No:
        break;
      default:
        return false;
    }
  }
  trial.DataCollected = false;
  trial.DataFileName.clear();
  return true;
}

}  // namespace torvane
