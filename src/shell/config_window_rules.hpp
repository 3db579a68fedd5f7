#pragma once
// The configuration window's commands that reach beyond the settings: the
// brake level sent to the unit, the spreadsheet output with its results
// workbook, and the connection to the unit.

#include <string>

namespace torvane {

struct Session;

// "&Apply" (cmdApplyBrakeSetting): sends the level to the unit; false when it
// could not be sent (the message is shown). The status bar shows the level
// the brake holds.
bool ApplyBrakeSetting(Session& session);
// The spreadsheet output box (CheckExcelOutput) was ticked or cleared;
// returns the resulting `exceloutput` (ticking it fails when no workbook
// writer is present). Ticking it opens the results workbook.
bool SetExcelOutput(Session& session, bool ticked);
// "&Connect" (CommandFindInterface): runs the interface discovery; the
// connection label's text afterwards.
std::string ConnectInterface(Session& session);
// Runs the interface discovery (start-up, "&Connect") and keeps which unit
// answered; true when one did.
bool RunInterfaceDiscovery(Session& session);
// The connection label's text as the link is now: "Connection Established"
// while the selected unit is the one that last answered, else "No Connection".
std::string ConnectionText(const Session& session);

}  // namespace torvane
