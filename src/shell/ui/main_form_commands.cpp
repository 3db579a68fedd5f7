// The main window's commands: the window toggles and placements, the help
// pages, the operational report, the about box, and closing the program.

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "acquisition/ui/form_debug.hpp"
#include "acquisition/ui/frm_ad_values.hpp"
#include "analysis/ui/frm_scale_offset_data.hpp"
#include "calibration/ui/calibration_windows.hpp"
#include "config/ui/frm_config.hpp"
#include "config/ui/frm_first_time.hpp"
#include "link/ui/frm_serial_interface.hpp"
#include "shell/help_pages.hpp"
#include "shell/operational_report.hpp"
#include "shell/session.hpp"
#include "shell/ui/about_box.hpp"
#include "shell/ui/form_system_status.hpp"
#include "shell/ui/frm_help.hpp"
#include "shell/ui/main_form.hpp"
#include "shell/ui/tool_sub_window.hpp"

namespace torvane {

StartupWindows MainForm::MakeStartupWindows() {
  StartupWindows windows;
  windows.ShowStatusWindow = [this] { ShowChildWindow(ChildWindow::Status); };
  windows.ShowFirstRunWindow = [this] { return ShowFirstRunWindow(); };
  windows.ShowMainWindow = [this] { show(); };
  windows.ShowSquadWindow = [this] {
    if (ChildWindowOf(ChildWindow::Squad) != nullptr) ShowChildWindow(ChildWindow::Squad);
  };
  windows.ArrangeWindows = [this] {
    ArrangeChildWindows();
    // The status log is where start-up told what it did: it is shown, where
    // the arrangement put it, whenever the log is collected.
    if (session_.settings.ShowSystemStatus) ShowChildWindow(ChildWindow::Status);
  };
  return windows;
}

bool MainForm::ShowFirstRunWindow() {
  FrmFirstTime window(session_, [this](const char* page) { OpenHelpPage(page); });
  return window.exec() == QDialog::Accepted;
}

void MainForm::ShowChildWindow(ChildWindow role) {
  QMdiSubWindow* window = ChildWindowOf(role);
  if (window == nullptr) return;
  // Showing a window places it only where the arrangement (or the user) put it.
  const QPoint where = window->pos();
  // The first time, a window larger than the workspace is made to fit it
  // (down to what its controls need), so nothing opens cut off.
  if (!window->property("fitted").toBool()) {
    window->setProperty("fitted", true);
    const QSize room = mdiArea_->viewport()->size();
    const QSize least = window->minimumSizeHint();
    if (room.isValid() && (window->width() > room.width() || window->height() > room.height())) {
      window->resize(std::max(std::min(window->width(), room.width()), least.width()),
                     std::max(std::min(window->height(), room.height()), least.height()));
    }
  }
  window->show();
  window->move(where);
  window->raise();
  if (QAction* entry = Entry(viewEntries_[role])) entry->setChecked(true);
}

void MainForm::ToggleChildWindow(ChildWindow role, bool show) {
  QMdiSubWindow* window = ChildWindowOf(role);
  if (window == nullptr) return;
  if (show) {
    ShowChildWindow(role);
  } else {
    window->hide();
    if (QAction* entry = Entry(viewEntries_[role])) entry->setChecked(false);
  }
}

std::map<ChildWindow, TwipSize> MainForm::ChildWindowSizes() const {
  std::map<ChildWindow, TwipSize> sizes;
  for (const auto& [role, window] : childWindows_) {
    sizes[role] = {PixelsToTwips(window->width()), PixelsToTwips(window->height())};
  }
  return sizes;
}

void MainForm::PlaceChildWindows(const std::vector<Placement>& placements) {
  for (const Placement& p : placements) {
    QMdiSubWindow* window = ChildWindowOf(p.window);
    if (window == nullptr) continue;
    window->move(TwipsToPixels(p.left), TwipsToPixels(p.top));
    if (p.bringToFront && window->isVisible()) window->raise();
  }
}

// The child windows live in the multiple-document area, so its size is the
// main window's size they are placed by.
void MainForm::ArrangeChildWindows() {
  const QSize area = mdiArea_->viewport()->size();
  PlaceChildWindows(ArrangePlacements(PixelsToTwips(area.width()), PixelsToTwips(area.height()),
                                      ChildWindowSizes(), session_.settings.ShowSystemStatus));
}

void MainForm::CascadeChildWindows() {
  const QSize area = mdiArea_->viewport()->size();
  PlaceChildWindows(CascadePlacements(PixelsToTwips(area.width()), PixelsToTwips(area.height()),
                                      ChildWindowSizes(), session_.settings.ShowSystemStatus));
}

FrmHelp* MainForm::HelpWindow() {
  if (help_ == nullptr) help_ = new FrmHelp(this);
  // Help asked for from a modal window (the first-run window) must not be
  // blocked by it: it opens over that window, and goes with it.
  QWidget* owner = QApplication::activeModalWidget();
  if (owner == nullptr) owner = this;
  if (help_->parentWidget() != owner) help_->setParent(owner, Qt::Window);
  return help_;
}

void MainForm::ShowInHelpWindow(const QUrl& url) {
  FrmHelp* help = HelpWindow();
  help->ShowPage(url);
  help->show();
  help->raise();
  help->activateWindow();
}

// A local page or text the desktop has no viewer for is shown in the help
// window.
bool MainForm::OpenDocument(const QUrl& url, const QString& what) {
  if (opener_ && opener_(url)) return true;
  if (url.isLocalFile()) {
    ShowInHelpWindow(url);
    return true;
  }
  session_.dialogs().ShowMessage(
      MessageIcon::Exclamation, "",
      (what + " could not be shown: no program on this desktop opens " + url.toString())
          .toStdString());
  return false;
}

// The program's own pages open in its help window, which searches them and
// needs no browser.
bool MainForm::OpenHelpPage(const char* relativePath, const QString& anchor) {
  const std::string path = HelpPagePath(session_, relativePath);
  if (path.empty()) {
    session_.dialogs().ShowMessage(
        MessageIcon::Exclamation, "",
        std::string("The help page ") + relativePath + " is not installed with this program.");
    return false;
  }
  QUrl url = QUrl::fromLocalFile(QString::fromStdString(path));
  if (!anchor.isEmpty()) url.setFragment(anchor);
  ShowInHelpWindow(url);
  return true;
}

void MainForm::mnuWebSupport_Click() {
  OpenHelpPage(kSupportPage, kSupportAnchor);
}

void MainForm::mnuSystemReport_Click() {
  const std::string failure = WriteOperationalReport(session_);
  if (!failure.empty()) {
    session_.dialogs().ShowMessage(MessageIcon::Exclamation, "",
                                   "The operational report could not be written: " + failure);
    return;
  }
  OpenDocument(
      QUrl::fromLocalFile(QString::fromStdString(OperationalReportPath(session_))),
      "The operational report (" + QString::fromStdString(OperationalReportPath(session_)) + ")");
}

void MainForm::mnuHelpAbout_Click() {
  FrmAbout about(session_, this);
  about.exec();
}

FrmConfig* MainForm::ConfigWindow() {
  if (config_ == nullptr) {
    config_ = new FrmConfig(session_, this);
    // The calibration windows open modally over the configuration window,
    // whose calibration boxes show what was accepted.
    const CalibrationDocumentOpener opener = [this](const QUrl& url) {
      return opener_ && opener_(url);
    };
    const auto calibrate = [this](auto* window) {
      window->setAttribute(Qt::WA_DeleteOnClose);
      window->exec();
      config_->LoadControls();
    };
    config_->SetCalibrationCommands(
        [this, calibrate, opener] { calibrate(new FrmCalibrate(session_, opener, config_)); },
        [this, calibrate, opener] { calibrate(new FrmCalForce(session_, opener, config_)); });
  }
  return config_;
}

void MainForm::mnuConfigure_Click() {
  FrmConfig* window = ConfigWindow();
  window->show();
  window->raise();
  window->activateWindow();
}

FrmScaleOffsetData* MainForm::ScaleOffsetWindow() {
  if (scaleOffset_ == nullptr) scaleOffset_ = new FrmScaleOffsetData(session_, *undoStack_, this);
  return scaleOffset_;
}

void MainForm::mnuScaleAndOffset_Click() {
  FrmScaleOffsetData* window = ScaleOffsetWindow();
  window->show();
  window->raise();
  window->activateWindow();
}

void MainForm::ShowToolWindow(QMdiSubWindow*& frame, const std::function<QWidget*()>& make) {
  if (frame == nullptr) {
    QWidget* content = make();
    frame = new ToolSubWindow(content);
    frame->setObjectName(content->objectName() + "Window");
    mdiArea_->addSubWindow(frame);
    frame->resize(frame->sizeHint());
  }
  frame->show();
  frame->raise();
  mdiArea_->setActiveSubWindow(frame);
}

void MainForm::mnuToolsViewAnalog_Click() {
  ShowToolWindow(analogInputs_, [this] { return new FrmADValues(session_); });
}

void MainForm::mnuToolsSerial_Click() {
  ShowToolWindow(serialInterface_, [this] { return new FrmSerialInterface(session_); });
}

void MainForm::mnuToolsDebug_Click() {
  ShowToolWindow(debug_, [this] { return new FormDebug(session_); });
}

void MainForm::mnuFileExit_Click() {
  close();
}

void MainForm::closeEvent(QCloseEvent* event) {
  if (!shutDown_) {
    // A collected trial that has not been saved is not lost by quitting.
    if (!QueryCloseProgram(session_)) {
      event->ignore();
      return;
    }
    SaveWindowPlace();
    RunShutdown(session_);
    shutDown_ = true;
  }
  event->accept();
}

}  // namespace torvane
