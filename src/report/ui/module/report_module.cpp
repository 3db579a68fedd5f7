// The report module: the one part of `torvane-cli` that needs Qt, loaded
// only by its `report` command, so that every other command starts without
// Qt's libraries. It paints on Qt's offscreen platform: no display needed.

#include <QGuiApplication>
#include <QString>
#include <QtGlobal>
#include <string>

#include "report/trial_report.hpp"
#include "report/ui/report_page.hpp"

extern "C" __attribute__((visibility("default"))) int torvane_report_write_pdf_v1(
    const torvane::TrialReport* report, const char* path, std::string* error) {
  if (report == nullptr || path == nullptr) return 0;
  // Nothing is shown: the offscreen platform paints without a display,
  // whatever DISPLAY or WAYLAND_DISPLAY say.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // Qt's own notes (no XDG_RUNTIME_DIR, font fallbacks) are not the
  // command's business: its outcome is the return value and `error`.
  const QtMessageHandler previous =
      qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  static int argc = 1;
  static char name[] = "torvane-cli";
  static char* argv[] = {name, nullptr};
  const bool own = QCoreApplication::instance() == nullptr;
  QGuiApplication* app = own ? new QGuiApplication(argc, argv) : nullptr;
  QString reason;
  const bool written = torvane::WriteTrialReportPdf(*report, QString::fromLocal8Bit(path), reason);
  if (!written && error != nullptr) *error = reason.toStdString();
  delete app;
  qInstallMessageHandler(previous);
  return written ? 1 : 0;
}
