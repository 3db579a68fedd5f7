#include "shell/squad_session.hpp"

#include "config/settings_io.hpp"
#include "shell/session.hpp"
#include "shell/status_reporting.hpp"

namespace torvane {

SquadContext SquadContextOf(Session& session) {
  SettingsRecord& s = session.settings;
  return {session.squad,     s.SquadFileName, s.ProgramDataDirectory,
          session.dialogs(), session.status,  [&s] { SaveSettings(s); }};
}

void ShowSelectedAthlete(Session& session) {
  SetStatusPanel(session, kAthletePanel, AthletePanelText(session.squad));
}

}  // namespace torvane
