#include "shell/status_log.hpp"

#include "common/date_text.hpp"
#include "common/number_text.hpp"
#include "common/text_file.hpp"
#include "shell/paths.hpp"
#include "shell/session.hpp"

namespace torvane {

std::string StatusLogFilePath(const Session& session) {
  return JoinPath(session.settings.ProgramDataDirectory, kStatusLogFileName);
}

void LoadStatusWindow(Session& session) {
  StatusLog& log = session.statusLog;
  if (log.windowLoaded) return;
  log.windowLoaded = true;
  log.text = ShortDateText(session.clock().Now()) + "\r\n" + log.text;
  for (auto& listener : log.textListeners) listener(log.text);
}

void AddStatusMessage(Session& session, std::string_view message) {
  StatusLog& log = session.statusLog;
  LoadStatusWindow(session);
  if (session.settings.ShowSystemStatus) {
    log.text.append(message);
    log.text.append("\r\n");
    for (auto& listener : log.textListeners) listener(log.text);
  }
  for (auto& listener : log.messageListeners) listener(message);
  const std::string path = StatusLogFilePath(session);
  if (!path.empty()) {
    // Failures are ignored: the window keeps the text, the next message tries again.
    WriteFileReplacing(path, Utf8ToCp1252(log.text + "\r\n"));
  }
}

StatusBar::StatusBar() {
  panels = {{{"Interface NOT found", "Status of the data interface"},
             {"sample rate", "Current sample rate setting"},
             {"time left", "Number of samples to collect"},
             {"sample duration", "Time over which to sample the data"},
             {"Brake setting", "Brake setting"},
             {"no data collected", "indicates if collected data has or has not been saved"},
             {"Collect Force", "Status of force collection or not"},
             {"Subject Info", "Subject ID Name and body weight"}}};
}

void SetStatusPanel(Session& session, int number, std::string text) {
  if (number < 1 || number > 8) return;
  session.statusBar.Panel(number).text = std::move(text);
  for (auto& listener : session.statusBar.listeners) listener();
}

void UpdateStatusBar(Session& session) {
  StatusBar& bar = session.statusBar;
  const SettingsRecord& s = session.settings;
  bar.Panel(2).text = "Rate " + FormatNumber(s.frequency, "0") + "Hz";
  if (s.frequency != 0) {
    const double f = s.frequency;
    bar.Panel(3).text =
        "Time remaining " + FormatNumber((s.samples - session.trial.SampleCount) / f, "0.0") + " secs";
    bar.Panel(4).text = "Duration " + FormatNumber(s.samples / f, "0.0") + " secs";
  }
  bar.Panel(5).text = "Brake " + FormatNumber(session.BrakePercent, "0.0") + " %";
  bar.Panel(6).text = session.trial.DataSaved ? "Data SAVED" : "Data NOT saved";
  bar.Panel(7).text = s.RecordForce ? "Collect force TRUE" : "Collect force FALSE";
  for (auto& listener : bar.listeners) listener();
}

}  // namespace torvane
