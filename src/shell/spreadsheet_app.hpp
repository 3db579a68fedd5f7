#pragma once
// The results workbook that stands in for the spreadsheet application:
// results rows and training summaries go into one in-memory worksheet that
// is written to an .xlsx file. Its "version" is the version of the
// workbook writer, so it is never absent on this platform.

#include <string>

namespace torvane {

struct Session;

struct SpreadsheetApp {
  // The results workbook is open (the application object exists).
  bool running = false;
};

// The workbook writer's version text (empty would mean absent).
std::string DetectExcel();
// The workbook writer named with its version ("libxlsxwriter 1.1.4"); empty
// for an empty version.
std::string WorkbookWriterText(const std::string& version);
// Opens the results workbook and logs that it is ready.
void StartExcel(Session& session);
// Closes the results workbook.
void QuitExcel(Session& session);

}  // namespace torvane
