#pragma once
// The rules of the analysis window that are not the graph: the trial
// duration box and the question asked before the window closes.

#include <functional>
#include <string_view>

#include "files/trial_file.hpp"

namespace torvane {

inline constexpr const char* kCloseAnalysisQuestion =
    "About to shutdown data collection window. Do you want to save existing data first?";
inline constexpr const char* kDataSavedMessage = "Data saved.";
inline constexpr const char* kStopCollectionQuestion =
    "A trial is being collected. Stop the collection before the window closes?";
inline constexpr const char* kDurationClearsTrialQuestion =
    "Changing the duration clears the trial, which has not been saved. Change it?";
inline constexpr const char* kDurationDuringCollection =
    "The duration cannot be changed while a collection or a zeroing runs.";

enum class DurationOutcome {
  Applied,    // samples follows the new duration, the arrays are cleared
  Unchanged,  // the duration gives the samples there are: nothing is cleared
  Busy,       // refused: a collection or zeroing runs
  TooLarge,   // refused with the maximum-size message: the box is emptied
  Declined,   // the user kept the unsaved trial
};

// The duration box (TextEndPoint), applied when the user ends the entry:
// samples = duration × frequency to the nearest integer, 0 becoming 32000;
// at 1 000 000 samples or more the maximum-size message is shown. A new
// sample count re-dimensions (and so clears) the arrays; a collected trial
// that has not been saved is not cleared without asking.
DurationOutcome ApplyTrialDuration(TrialDataSet& trial, SettingsRecord& settings,
                                   UserDialogs& dialogs, std::string_view text, bool busy);

// The duration box's text for the trial: samples / frequency, "0.0".
std::string TrialDurationText(const SettingsRecord& settings);

// The question before the window closes. During a collection it asks to
// stop it first (No keeps the window; Yes runs `stopCollection`). Then, for
// a collected trial that is not saved, "save existing data first?": Yes
// saves (mode 0) and says "Data saved." only when the save happened — a
// cancelled or failed save keeps the trial and the window; No drops the
// trial (DataCollected cleared, DataFileName emptied); Cancel keeps all.
// True when the window may close.
bool QueryCloseAnalysisWindow(const TrialFileContext& files, bool collecting,
                              const std::function<void()>& stopCollection,
                              const TrialNameParts& parts = {});

}  // namespace torvane
