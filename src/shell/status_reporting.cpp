#include "shell/status_reporting.hpp"

#include "common/date_text.hpp"
#include "common/number_text.hpp"
#include "common/paths.hpp"
#include "shell/session.hpp"

namespace torvane {

std::string StatusLogFilePath(const Session& session) {
  return JoinPath(session.settings.ProgramDataDirectory, kStatusLogFileName);
}

void LoadStatusWindow(Session& session) {
  LoadStatusWindow(session.statusLog, ShortDateText(session.clock().Now()));
}

void AddStatusMessage(Session& session, std::string_view message) {
  LoadStatusWindow(session);
  AppendStatusMessage(session.statusLog, message, session.settings.ShowSystemStatus,
                      StatusLogFilePath(session));
}

void SetStatusPanel(Session& session, int number, std::string text) {
  session.statusBar.Set(number, std::move(text));
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
  bar.Notify();
}

}  // namespace torvane

namespace torvane {

void SessionStatusSink::AddStatusMessage(std::string_view message) {
  torvane::AddStatusMessage(session_, message);
}

void SessionStatusSink::SetStatusPanel(int number, std::string text) {
  torvane::SetStatusPanel(session_, number, std::move(text));
}

}  // namespace torvane
