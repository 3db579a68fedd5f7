#include "shell/spreadsheet_app.hpp"

#include <xlsxwriter.h>

#include "shell/session.hpp"

namespace torvane {

std::string DetectExcel() {
  return LXW_VERSION;
}

std::string WorkbookWriterText(const std::string& version) {
  return version.empty() ? std::string() : "libxlsxwriter " + version;
}

void StartExcel(Session& session) {
  // The workbook lives in memory and is written out after every row, so
  // there is no application to wait for.
  session.ExcelApp.running = true;
  AddStatusMessage(session, "Results workbook ready for data entry");
}

void QuitExcel(Session& session) {
  session.ExcelApp.running = false;
}

}  // namespace torvane
