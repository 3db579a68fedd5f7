#include "shell/spreadsheet_app.hpp"

#include <xlsxwriter.h>

#include "shell/session.hpp"

namespace torvane {

std::string DetectExcel() {
  return LXW_VERSION;
}

void StartExcel(Session& session) {
  // The workbook lives in memory and is written out after every row, so
  // there is no application to wait for.
  session.ExcelApp.running = true;
  AddStatusMessage(session, "Excel loaded and ready for data entry");
}

void QuitExcel(Session& session) {
  session.ExcelApp.running = false;
}

}  // namespace torvane
