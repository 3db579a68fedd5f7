#include "shell/ui/main_form.hpp"

#include <algorithm>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QToolBar>
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
#include "shell/ui/window_centring.hpp"
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

// The keys of the commands a desktop user tries first (Undo, Ctrl+Z, is the
// Edit menu's own).
const std::pair<const char*, QKeyCombination> kShortcuts[] = {
    {"mnuFileOpen", Qt::CTRL | Qt::Key_O},
    {"mnuSave", Qt::CTRL | Qt::Key_S},
    {"mnuSaveAs", Qt::CTRL | Qt::SHIFT | Qt::Key_S},
    {"mnuFileExport", Qt::CTRL | Qt::Key_E},
    {"mnuFileExit", Qt::CTRL | Qt::Key_Q},
    {"mnuHelpContents", QKeyCombination(Qt::Key_F1)},
};

// The toolbar: the menu's own entries (so they are enabled and ticked
// together), with a short caption, an icon of the desktop's theme or our
// own, and a tip. A null entry is a separator; "actCollect" is the
// analysis window's Start.
struct ToolbarEntry {
  const char* entry;
  const char* caption;
  const char* themeIcon;
  const char* bundledIcon;
  const char* tip;
};
const ToolbarEntry kToolbar[] = {
    {"mnuFileOpen", "Open", "document-open", "open", "Open a trial file (Ctrl+O)"},
    {"mnuSave", "Save", "document-save", "save", "Save the trial (Ctrl+S)"},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
    {"actCollect", "Collect", "media-record", "collect",
     "Start (or stop) a collection in the analysis window"},
    {"mnuAnalyse", "Analyse", "", "analyse", "Show or hide the collect and analyse window"},
    {"mnuProcess", "Results", "x-office-spreadsheet", "results",
     "Show or hide the results (batch processing) window"},
    {"mnuTraining", "Training", "", "training", "Show or hide the training window"},
    {"mnuSquad", "Squad", "system-users", "squad", "Show or hide the squad window"},
};

constexpr const char* kEmptyWorkspaceText = "Open a trial (Ctrl+O) or record one (Collect)";

// Entries this window serves itself; the others wait for their subsystems.
const char* const kOwnEntries[] = {
    "mnuFileExit",       "mnuLiveSystemStatus", "mnuConfigure",    "mnuToolsPerformance",
    "mnuScaleAndOffset", "mnuArrange",          "mnuCascade",      "mnuGettingStarted",
    "mnuHelpContents",   "mnuWebSupport",       "mnuSystemReport", "mnuVersionInfo",
    "mnuHelpAbout",      "mnuToolsViewAnalog",  "mnuToolsSerial",  "mnuToolsDebug",
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
  // A child window larger than the area (the analysis window at a large
  // scale factor) is scrolled to, rather than making the main window wider
  // and taller than the screen.
  mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(mdiArea_);
  undoStack_ = new QUndoStack(this);

  BuildMenus();
  BuildShortcuts();
  BuildToolBar();
  BuildEmptyWorkspace();
  BuildStatusBar();
  new WindowCentring(this);

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
    SaveWindowPlace();
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
    // Up to 1400 × 940, else nearly the whole screen: on a laptop's screen
    // (1366 × 768, or 1920 × 1080 at 125 %) the analysis window then fits
    // the workspace without scrolling.
    resize(std::min(area.width() - 32, 1400), std::min(area.height() - 32, 940));
    move(area.center() - rect().center());
  } else {
    resize(1200, 800);
  }
  RestoreWindowPlace();
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
  AddEntry(file, "mnuFileReport", "&Report…");
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
  connect(Entry("mnuToolsDebug"), &QAction::triggered, this, &MainForm::mnuToolsDebug_Click);
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

void MainForm::BuildShortcuts() {
  for (const auto& [name, keys] : kShortcuts) Entry(name)->setShortcut(QKeySequence(keys));
}

void MainForm::BuildToolBar() {
  toolBar_ = addToolBar("Main toolbar");
  toolBar_->setObjectName("tbrMain");
  toolBar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  toolBar_->setIconSize(QSize(24, 24));
  toolBar_->setMovable(false);
  collect_ = new QAction("&Collect", this);
  collect_->setObjectName("actCollect");
  collect_->setEnabled(false);
  entries_["actCollect"] = collect_;
  connect(collect_, &QAction::triggered, this, [this] {
    ShowChildWindow(ChildWindow::Analysis);
    if (auto* button = qobject_cast<QAbstractButton*>(collectButton_.data())) {
      if (button->isEnabled()) button->click();
    }
  });
  for (const ToolbarEntry& item : kToolbar) {
    if (item.entry == nullptr) {
      toolBar_->addSeparator();
      continue;
    }
    QAction* action = Entry(item.entry);
    action->setIconText(item.caption);
    action->setIcon(ActionIcon(item.themeIcon, item.bundledIcon));
    action->setToolTip(item.tip);
    toolBar_->addAction(action);
    toolBar_->widgetForAction(action)->setObjectName(QString("tbr") + item.caption);
  }
}

void MainForm::ConnectCollect(QMdiSubWindow* analysisWindow) {
  auto* button = analysisWindow->findChild<QAbstractButton*>("cmdCollect");
  if (button == nullptr) return;
  collectButton_ = button;
  button->installEventFilter(this);
  collect_->setEnabled(button->isEnabled());
}

void MainForm::BuildEmptyWorkspace() {
  emptyWorkspace_ = new QLabel(kEmptyWorkspaceText, mdiArea_->viewport());
  emptyWorkspace_->setObjectName("lblEmptyWorkspace");
  emptyWorkspace_->setAlignment(Qt::AlignCenter);
  emptyWorkspace_->setWordWrap(true);
  emptyWorkspace_->setAttribute(Qt::WA_TransparentForMouseEvents);
  QFont font = emptyWorkspace_->font();
  font.setPointSizeF(font.pointSizeF() * 1.4);
  emptyWorkspace_->setFont(font);
  QPalette palette = emptyWorkspace_->palette();
  palette.setColor(QPalette::WindowText, palette.color(QPalette::Disabled, QPalette::WindowText));
  emptyWorkspace_->setPalette(palette);
  // The child windows come and go inside the area's viewport.
  mdiArea_->viewport()->installEventFilter(this);
}

void MainForm::UpdateEmptyWorkspace() {
  const QList<QMdiSubWindow*> windows = mdiArea_->subWindowList();
  const bool empty = std::none_of(windows.begin(), windows.end(),
                                  [](const QMdiSubWindow* w) { return !w->isHidden(); });
  emptyWorkspace_->setGeometry(mdiArea_->viewport()->rect());
  emptyWorkspace_->setVisible(empty);
  emptyWorkspace_->lower();
}

bool MainForm::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (watched == collectButton_ && type == QEvent::EnabledChange) {
    collect_->setEnabled(collectButton_->isEnabled());
  } else if (emptyWorkspace_ != nullptr && watched == mdiArea_->viewport()) {
    if (type == QEvent::ChildAdded || type == QEvent::ChildPolished) {
      QObject* child = static_cast<QChildEvent*>(event)->child();
      if (qobject_cast<QMdiSubWindow*>(child) != nullptr) child->installEventFilter(this);
      UpdateEmptyWorkspace();
    } else if (type == QEvent::Resize || type == QEvent::ChildRemoved) {
      UpdateEmptyWorkspace();
    }
  } else if ((type == QEvent::Show || type == QEvent::Hide) &&
             qobject_cast<QMdiSubWindow*>(watched) != nullptr && emptyWorkspace_ != nullptr) {
    UpdateEmptyWorkspace();
  }
  return QMainWindow::eventFilter(watched, event);
}

QString MainForm::WindowPlaceFile() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         "/torvane/desktop.conf";
}

void MainForm::RestoreWindowPlace() {
  const QSettings place(WindowPlaceFile(), QSettings::IniFormat);
  restoreGeometry(place.value("MainForm/geometry").toByteArray());
}

void MainForm::SaveWindowPlace() const {
  QSettings place(WindowPlaceFile(), QSettings::IniFormat);
  place.setValue("MainForm/geometry", saveGeometry());
}

namespace {

// A status-bar panel: as wide as its text when there is room; when the
// window is narrower than all the texts (a large scale factor on a small
// screen), the panels give way and a cut text ends in an ellipsis rather
// than running under its neighbour.
class StatusPanelLabel : public QLabel {
 public:
  using QLabel::QLabel;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    drawFrame(&painter);
    const QRect room = contentsRect();
    painter.drawText(room, static_cast<int>(alignment()),
                     fontMetrics().elidedText(text(), Qt::ElideRight, room.width()));
  }
};

}  // namespace

void MainForm::BuildStatusBar() {
  statusBar()->setObjectName("StatusBar1");
  statusBar()->setSizeGripEnabled(true);
  for (int number = 1; number <= 8; ++number) {
    auto* panel = new StatusPanelLabel(this);
    panel->setObjectName(QString("StatusPanel%1").arg(number));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setContentsMargins(4, 0, 4, 0);
    panel->setMinimumWidth(panel->fontMetrics().averageCharWidth() * 6);
    // Each panel asks for the width of its text; the athlete's takes what is left.
    statusBar()->addWidget(panel, number == 8 ? 1 : 0);
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
  if (role == ChildWindow::Analysis) ConnectCollect(window);
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
