#pragma once
// Start-up and shutdown of the program: the main window's load and unload.
// Start-up finds the data folder, loads (or creates) the configuration,
// imports old settings once, repairs missing values, sizes the trial arrays,
// checks the platform and the results workbook, finds the interface unit,
// limits the sample frequency to what the unit can do, shows the windows
// and offers to open a trial file named on the command line. Every step
// reports itself in the status log, so the log is a trace of start-up.

#include <functional>
#include <string>
#include <string_view>

namespace torvane {

struct Session;
struct SettingsRecord;

// What the windows do for start-up. Unset entries are windows this program
// does not have; their steps are skipped.
struct StartupWindows {
  std::function<void()> ShowStatusWindow;  // step 1, when the status log is already collected
  // Shows the first-run window modally; false when the user cancelled it,
  // which ends the program at once without saving anything.
  std::function<bool()> ShowFirstRunWindow;
  std::function<void()> ShowMainWindow;
  std::function<void()> ShowSquadWindow;
  // Places the child windows inside the main window ("&Arrange").
  std::function<void()> ArrangeWindows;
  // Loads the visual-feedback window hidden (it carries the feedback sound player).
  std::function<void()> LoadVisualFeedbackWindow;
};

enum class StartupResult { Running, Cancelled };

// Runs the whole start-up. `commandLine` is the program's argument text (a
// trial file to offer for opening), empty for none.
StartupResult RunStartup(Session& session, const StartupWindows& windows,
                         std::string_view commandLine);

// The main window's unload: releases the results workbook and the interface
// unit. Settings are not written here.
void RunShutdown(Session& session);

// Whether the program may close now: while the analysis window is there,
// its closing question decides (a running collection is stopped first, a
// collected trial that has not been saved is put to the user).
bool QueryCloseProgram(Session& session);

// Steps of start-up, exposed for their tests.
// "Squad.xls" (exactly) is rooted in the program data folder.
void RootSquadFile(Session& session);
// A sound file that does not exist is looked for in the program data folder.
void RelocateSoundFiles(Session& session);
// The sound file a missing `oldPath` is looked for as: the text after the
// first folder separator and, when that holds a blank, after its first blank,
// in `folder` when that file exists, else the file of the same name in `folder`.
std::string RelocatedSoundFile(const std::string& folder, const std::string& oldPath);
// Repairs of values a damaged or fresh configuration holds (step 12).
void RepairLoadedSettings(SettingsRecord& settings);
// The unit's frequency limits (steps 21 and 22).
void LimitFrequencyToInterface(Session& session);

inline constexpr const char* kCriticalFilesTitle = "Cannot find required system files";
inline constexpr const char* kCriticalFilesText =
    "QLX cannot find critical systems files and cannot resolve the problem. Please contact Orvath";

}  // namespace torvane
