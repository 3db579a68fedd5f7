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

}  // namespace torvane
