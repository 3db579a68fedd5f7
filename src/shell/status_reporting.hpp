#pragma once
// The session's status log and status bar as the program uses them: lines
// go to the log (and its file in the data folder) only while ShowSystemStatus
// is set; panels 2 … 7 are rewritten from the settings and the trial.

#include <string>
#include <string_view>

#include "trial/status_log.hpp"

namespace torvane {

struct Session;

// Appends a line to the status log (when ShowSystemStatus is set) and
// rewrites the log file in full; a failure to write the file is ignored.
void AddStatusMessage(Session& session, std::string_view message);

// Creates the status window's text: today's date, CR LF, the old text.
void LoadStatusWindow(Session& session);

// The full path of the log file, empty when there is no data folder.
std::string StatusLogFilePath(const Session& session);

// Rewrites panels 2 … 7 from the session: 2 always, 3 and 4 only when the
// frequency is not 0, then 5, 6 and 7.
void UpdateStatusBar(Session& session);
// Sets one panel's text and tells the listeners.
void SetStatusPanel(Session& session, int number, std::string text);

}  // namespace torvane
