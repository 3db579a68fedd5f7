#pragma once
// The status log: a running text of one-line messages, shown in the status
// window and mirrored in "QLXSystemStatus.txt" in the program data folder so
// that a user can send it to support; and the eight panels of the main
// window's status bar.

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace torvane {

struct Session;

inline constexpr const char* kStatusLogFileName = "QLXSystemStatus.txt";

struct StatusLog {
  // The status window's text; the log file is a copy of it.
  std::string text;
  // The status window (and with it the date line at the top of the text)
  // exists from the first message on.
  bool windowLoaded = false;
  // Called with each message added, and with the whole text after each change.
  std::vector<std::function<void(std::string_view message)>> messageListeners;
  std::vector<std::function<void(const std::string& text)>> textListeners;
};

// Appends a line to the status log (when ShowSystemStatus is set) and
// rewrites the log file in full; a failure to write the file is ignored.
void AddStatusMessage(Session& session, std::string_view message);

// Creates the status window's text: today's date, CR LF, the old text.
void LoadStatusWindow(Session& session);

// The full path of the log file, empty when there is no data folder.
std::string StatusLogFilePath(const Session& session);

struct StatusPanel {
  std::string text;
  std::string toolTip;
};

struct StatusBar {
  StatusBar();
  std::array<StatusPanel, 8> panels;  // panels 1 … 8 at indices 0 … 7
  std::vector<std::function<void()>> listeners;
  StatusPanel& Panel(int number) { return panels[static_cast<std::size_t>(number - 1)]; }
  const StatusPanel& Panel(int number) const { return panels[static_cast<std::size_t>(number - 1)]; }
};

// Rewrites panels 2 … 7 from the session: 2 always, 3 and 4 only when the
// frequency is not 0, then 5, 6 and 7.
void UpdateStatusBar(Session& session);
// Sets one panel's text and tells the listeners.
void SetStatusPanel(Session& session, int number, std::string text);

}  // namespace torvane
