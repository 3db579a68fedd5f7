#include "shell/ui/main_form.hpp"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QStatusBar>
#include <QUndoStack>

#include "acquisition/ui/frm_ad_values.hpp"
#include "analysis/ui/edit_commands.hpp"
#include "analysis/ui/form_digital_display.hpp"
#include "link/ui/form_accelerometer.hpp"
#include "link/ui/frm_serial_interface.hpp"
#include "results/ui/frm_process.hpp"
#include "shell/help_pages.hpp"
#include "shell/main_menu_state.hpp"
#include "shell/session.hpp"
#include "shell/ui/form_system_status.hpp"
#include "shell/ui/product_icon.hpp"
#include "shell/ui/tool_sub_window.hpp"
#include "squads/ui/form_squad.hpp"
#include "torvane_version.hpp"

namespace torvane {

namespace {

// The View entries and the windows they show and hide.
const std::pair<const char*, ChildWindow> kViewEntries[] = {
    {"mnuAnalyse", ChildWindow::Analysis},
    {"mnuSquad", ChildWindow::Squad},
    {"mnuDigitalDisplay", ChildWindow::DigitalDisplay},
    {"mnuTraining", ChildWindow::Training},
    {"mnuProcess", ChildWindow::Batch},
    {"mnuAccelerometer", ChildWindow::Accelerometer},
    {"mnuLiveSystemStatus", ChildWindow::Status},
};

// Entries this window serves itself; the others wait for their subsystems.
const char* const kOwnEntries[] = {
    "mnuFileExit",       "mnuLiveSystemStatus", "mnuConfigure",    "mnuToolsPerformance",
    "mnuScaleAndOffset", "mnuArrange",          "mnuCascade",      "mnuGettingStarted",
    "mnuHelpContents",   "mnuWebSupport",       "mnuSystemReport", "mnuVersionInfo",
    "mnuHelpAbout",      "mnuToolsViewAnalog",  "mnuToolsSerial",
};

}  // namespace

MainForm::MainForm(Session& session, QWidget* parent)
    : QMainWindow(parent),
      session_(session),
      opener_([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {
  setObjectName("MainForm");
  setWindowTitle(kProductTitle);
  setWindowIcon(ProductIcon());
  QApplication::setWindowIcon(windowIcon());
  mdiArea_ = new QMdiArea(this);
  mdiArea_->setObjectName("MDIClient");
  setCentralWidget(mdiArea_);
  undoStack_ = new QUndoStack(this);

  BuildMenus();
  BuildStatusBar();

  // The status window exists from the start (it collects the start-up
  // messages) and is only shown and hidden afterwards.
  statusForm_ = new FormSystemStatus(session_);
  statusWindow_ = new ToolSubWindow(statusForm_);
  statusWindow_->setObjectName("FormSystemStatusWindow");
  mdiArea_->addSubWindow(statusWindow_);
  statusWindow_->resize(FormSystemStatus::LoadSize());
  statusWindow_->hide();
  connect(statusWindow_, &ToolSubWindow::ClosedFromFrame, this,
          [this] { Entry("mnuLiveSystemStatus")->setChecked(false); });
  childWindows_[ChildWindow::Status] = statusWindow_;

  // The results window and the digital display, shown and hidden by their
  // View entries.
  process_ = new FrmProcess(session_);
  auto* processWindow = new ToolSubWindow(process_);
  processWindow->setObjectName("frmProcessWindow");
  processWindow->resize(FrmProcess::LoadSize());
  RegisterChildWindow(ChildWindow::Batch, processWindow);
  auto* digitalDisplay = digitalDisplay_ = new FormDigitalDisplay(session_);
  auto* digitalWindow = new ToolSubWindow(digitalDisplay);
  digitalWindow->setObjectName("FormDigitalDisplayWindow");
  digitalWindow->resize(FormDigitalDisplay::LoadSize());
  RegisterChildWindow(ChildWindow::DigitalDisplay, digitalWindow);
  connect(Entry("mnuDigitalDisplay"), &QAction::toggled, digitalDisplay,
          &FormDigitalDisplay::SetDisplayOn);
  auto* accelerometerWindow = new ToolSubWindow(new FormAccelerometer(session_));
  accelerometerWindow->setObjectName("FormAccelerometerWindow");
  accelerometerWindow->resize(FormAccelerometer::LoadSize());
  RegisterChildWindow(ChildWindow::Accelerometer, accelerometerWindow);
  // The squad window reads its workbook when it is first shown.
  squad_ = new FormSquad(session_);
  squad_->SetDocumentOpener(opener_);
  auto* squadWindow = new ToolSubWindow(squad_);
  squadWindow->setObjectName("FormSquadWindow");
  squadWindow->resize(FormSquad::LoadSize());
  RegisterChildWindow(ChildWindow::Squad, squadWindow);

  // A desktop session that ends the program without closing its window
  // still releases the workbook and the unit.
  connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
    if (shutDown_) return;
    RunShutdown(session_);
    shutDown_ = true;
  });

  QPointer<MainForm> self(this);
  session_.statusBar.listeners.push_back([self] {
    if (self) self->UpdateStatusPanels();
  });
  session_.mainMenu.listeners.push_back([self](const std::string& name) {
    if (self) self->ApplyMenuState(QString::fromStdString(name));
  });

  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    resize(std::min(area.width() * 9 / 10, 1400), std::min(area.height() * 9 / 10, 940));
    move(area.center() - rect().center());
  } else {
    resize(1200, 800);
  }
}

MainForm::~MainForm() = default;

QMenu* MainForm::AddMenu(const char* name, const char* caption) {
  QMenu* menu = menuBar()->addMenu(caption);
  menu->setObjectName(name);
  menu->menuAction()->setObjectName(name);
  return menu;
}

QAction* MainForm::AddEntry(QMenu* menu, const char* name, const char* caption) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(name);
  action->setEnabled(false);
  entries_[name] = action;
  return action;
}

void MainForm::BuildMenus() {
  menuBar()->setObjectName("MainMenu");
  QMenu* file = AddMenu("mnuFile", "&File");
  AddEntry(file, "mnuFileOpen", "&Open");
  AddEntry(file, "mnuFileClose", "C&lose");
  AddEntry(file, "mnuSave", "&Save");
  AddEntry(file, "mnuSaveAs", "Save &As");
  AddEntry(file, "mnuFileExport", "&Export Data");
  file->addSeparator()->setObjectName("mnuFileSep");
  AddEntry(file, "mnuFileExit", "E&xit");

  menuBar()->addMenu(BuildEditMenu(*undoStack_, this));

  QMenu* view = AddMenu("mnuRun", "&View");
  AddEntry(view, "mnuAnalyse", "Collect and &Analyse");
  AddEntry(view, "mnuSquad", "S&quad");
  AddEntry(view, "mnuDigitalDisplay", "Digital Display");
  AddEntry(view, "mnuTraining", "&Training");
  AddEntry(view, "mnuProcess", "&Process");
  AddEntry(view, "mnuAccelerometer", "Accelerometer &management");
  AddEntry(view, "mnuLiveSystemStatus", "S&ystem Status");

  QMenu* tools = AddMenu("mnuTools", "T&ools");
  AddEntry(tools, "mnuConfigure", "&Configure");
  AddEntry(tools, "mnuToolsViewAnalog", "&View Analog Inputs");
  AddEntry(tools, "mnuScaleAndOffset", "&Scale and Offset");
  AddEntry(tools, "mnuToolsSerial", "&Test Serial Interface");
  AddEntry(tools, "mnuToolsDebug", "Show Debug Window");
  AddEntry(tools, "mnuToolsPerformance", "Performance &Enhancement")
      ->setToolTip(MenuEntryUnavailableReason("mnuToolsPerformance"));
  tools->setToolTipsVisible(true);

  QMenu* window = AddMenu("mnuWindow", "&Window");
  AddEntry(window, "mnuArrange", "&Arrange");
  AddEntry(window, "mnuCascade", "&Cascade");

  QMenu* help = AddMenu("mnuHelp", "&Help");
  AddEntry(help, "mnuGettingStarted", "&Getting Started");
  AddEntry(help, "mnuHelpContents", "&User Guide");
  AddEntry(help, "mnuWebSupport", "&Web Support");
  AddEntry(help, "mnuSystemReport", "&System Report");
  help->addSeparator()->setObjectName("mnuHelpSep");
  AddEntry(help, "mnuVersionInfo", "&Version Info");
  AddEntry(help, "mnuHelpAbout", "A&bout");

  for (const auto& [name, role] : kViewEntries) {
    viewEntries_[role] = name;
    QAction* entry = Entry(name);
    entry->setCheckable(true);
    connect(entry, &QAction::triggered, this,
            [this, role = role](bool checked) { ToggleChildWindow(role, checked); });
  }
  connect(Entry("mnuFileExit"), &QAction::triggered, this, &MainForm::mnuFileExit_Click);
  connect(Entry("mnuConfigure"), &QAction::triggered, this, &MainForm::mnuConfigure_Click);
  connect(Entry("mnuScaleAndOffset"), &QAction::triggered, this,
          &MainForm::mnuScaleAndOffset_Click);
  connect(Entry("mnuToolsViewAnalog"), &QAction::triggered, this,
          &MainForm::mnuToolsViewAnalog_Click);
  connect(Entry("mnuToolsSerial"), &QAction::triggered, this, &MainForm::mnuToolsSerial_Click);
  connect(Entry("mnuArrange"), &QAction::triggered, this, &MainForm::ArrangeChildWindows);
  connect(Entry("mnuCascade"), &QAction::triggered, this, &MainForm::CascadeChildWindows);
  connect(Entry("mnuGettingStarted"), &QAction::triggered, this,
          [this] { OpenHelpPage(kGettingStartedPage); });
  connect(Entry("mnuHelpContents"), &QAction::triggered, this,
          [this] { OpenHelpPage(kUserGuidePage); });
  connect(Entry("mnuVersionInfo"), &QAction::triggered, this,
          [this] { OpenHelpPage(kUpdatesPage); });
  connect(Entry("mnuWebSupport"), &QAction::triggered, this, &MainForm::mnuWebSupport_Click);
  connect(Entry("mnuSystemReport"), &QAction::triggered, this, &MainForm::mnuSystemReport_Click);
  connect(Entry("mnuHelpAbout"), &QAction::triggered, this, &MainForm::mnuHelpAbout_Click);
  // "Performance Enhancement" has nothing to do on this platform.

  for (const char* name : kOwnEntries) MakeAvailable(name);
}

void MainForm::BuildStatusBar() {
  statusBar()->setObjectName("StatusBar1");
  statusBar()->setSizeGripEnabled(true);
  for (int number = 1; number <= 8; ++number) {
    auto* panel = new QLabel(this);
    panel->setObjectName(QString("StatusPanel%1").arg(number));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setContentsMargins(4, 0, 4, 0);
    statusBar()->addWidget(panel, number == 1 || number == 8 ? 2 : 1);
    panels_[static_cast<std::size_t>(number - 1)] = panel;
  }
  UpdateStatusPanels();
}

void MainForm::UpdateStatusPanels() {
  for (int number = 1; number <= 8; ++number) {
    const StatusPanel& panel = session_.statusBar.Panel(number);
    QLabel* label = panels_[static_cast<std::size_t>(number - 1)];
    label->setText(QString::fromStdString(panel.text));
    label->setToolTip(QString::fromStdString(panel.toolTip));
    // Every panel shows its whole text.
    label->setMinimumWidth(std::max(60, label->sizeHint().width()));
  }
}

QAction* MainForm::Entry(const QString& name) const {
  const auto it = entries_.find(name);
  return it == entries_.end() ? nullptr : it->second;
}

void MainForm::MakeAvailable(const QString& entryName) {
  available_.insert(entryName);
  ApplyMenuState(entryName);
}

void MainForm::ApplyMenuState(const QString& entryName) {
  QAction* entry = Entry(entryName);
  if (entry == nullptr) return;
  const MenuEntryState state = MenuEntry(session_, entryName.toStdString());
  entry->setEnabled(state.enabled && available_.count(entryName) != 0);
  entry->setVisible(state.visible);
}

void MainForm::RegisterChildWindow(ChildWindow role, QMdiSubWindow* window) {
  if (window->mdiArea() != mdiArea_) mdiArea_->addSubWindow(window);
  window->hide();
  childWindows_[role] = window;
  if (auto* tool = qobject_cast<ToolSubWindow*>(window)) {
    connect(tool, &ToolSubWindow::ClosedFromFrame, this, [this, role] {
      if (QAction* entry = Entry(viewEntries_[role])) entry->setChecked(false);
    });
  }
  MakeAvailable(viewEntries_[role]);
}

void MainForm::SetMenuCommand(const QString& entryName, std::function<void()> command) {
  QAction* entry = Entry(entryName);
  if (entry == nullptr) return;
  connect(entry, &QAction::triggered, this, [command = std::move(command)] { command(); });
  MakeAvailable(entryName);
}

void MainForm::SetDocumentOpener(DocumentOpener opener) {
  process_->SetDocumentOpener(opener);
  squad_->SetDocumentOpener(opener);
  opener_ = std::move(opener);
}

QMdiSubWindow* MainForm::ChildWindowOf(ChildWindow role) const {
  const auto it = childWindows_.find(role);
  return it == childWindows_.end() ? nullptr : it->second;
}

}  // namespace torvane
