#pragma once
// The session's part in the squad: the squad room's context made from the
// session (its squad table, the SquadFileName setting, the data folder, the
// dialogs and the status sink), and the status bar's athlete panel.

#include "squads/squad_selection.hpp"

namespace torvane {

struct Session;

// A newly chosen or found workbook is kept in the settings file.
SquadContext SquadContextOf(Session& session);

// Panel 8 shows the selected athlete.
void ShowSelectedAthlete(Session& session);

}  // namespace torvane
