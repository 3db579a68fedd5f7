#pragma once
// The status log: a running text of one-line messages, shown in the status
// window and mirrored in "QLXSystemStatus.txt" in the program data folder so
// that a user can send it to support; and the eight panels of the main
// window's status bar. Subsystems report through a StatusSink; the shell
// owns the log and the bar and decides where the text goes.

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace torvane {

inline constexpr const char* kStatusLogFileName = "QLXSystemStatus.txt";

// What a subsystem may say about itself: a line of the status log and the
// text of a status-bar panel (1 … 8).
class StatusSink {
 public:
  virtual void AddStatusMessage(std::string_view message) = 0;
  virtual void SetStatusPanel(int number, std::string text) = 0;

 protected:
  ~StatusSink() = default;
};

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

// Creates the status window's text: the date line, CR LF, the old text.
void LoadStatusWindow(StatusLog& log, std::string_view dateLine);

// Appends a line to the log text when `show` is set (the ShowSystemStatus
// setting), tells the listeners, and rewrites `filePath` in full when it is
// not empty; a failure to write the file is ignored (the window keeps the
// text, the next message tries again).
void AppendStatusMessage(StatusLog& log, std::string_view message, bool show,
                         const std::string& filePath);

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
  // Sets one panel's text (numbers outside 1 … 8 are ignored) and tells the listeners.
  void Set(int number, std::string text);
  void Notify() {
    for (auto& listener : listeners) listener();
  }
};

}  // namespace torvane
