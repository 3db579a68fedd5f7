#pragma once
// The main window "Torvane Measurement System": a multiple-document frame
// with the menus that open and close the tool windows, run the file
// commands, open the help pages and write the operational report, a
// toolbar of the main commands, and a status bar of eight panels. Its load and unload are the
// program's start-up and shutdown, which live in the core.

#include <QMainWindow>
#include <QPointer>
#include <QUrl>
#include <array>
#include <functional>
#include <map>
#include <set>

#include "shell/startup.hpp"
#include "shell/window_placement.hpp"

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;
class QUndoStack;

namespace torvane {

struct Session;
class FormSystemStatus;
class FrmConfig;
class FrmHelp;
class FrmScaleOffsetData;
class FrmProcess;
class FormDigitalDisplay;
class FormSquad;
class ToolSubWindow;

// Opens a document or page in the desktop's viewer; false when it could not.
using DocumentOpener = std::function<bool(const QUrl& url)>;

class MainForm : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainForm(Session& session, QWidget* parent = nullptr);
  ~MainForm() override;

  // What start-up asks of the windows (the first-run window, showing the
  // main window, arranging the child windows).
  StartupWindows MakeStartupWindows();

  // A child window of another subsystem: its View entry and the window
  // arrangement reach it from now on.
  void RegisterChildWindow(ChildWindow role, QMdiSubWindow* window);
  // A menu command of another subsystem (the File commands, the tool
  // windows); the entry is enabled from now on.
  void SetMenuCommand(const QString& entryName, std::function<void()> command);
  void SetDocumentOpener(DocumentOpener opener);

  QMdiArea* MdiArea() const { return mdiArea_; }
  QMdiSubWindow* ChildWindowOf(ChildWindow role) const;
  // Shows a registered child window where it was placed, its View entry ticked.
  void ShowChildWindow(ChildWindow role);
  FormSystemStatus* StatusForm() const { return statusForm_; }
  FrmProcess* ResultsWindow() const { return process_; }
  FormDigitalDisplay* DigitalDisplay() const { return digitalDisplay_; }
  FormSquad* SquadWindow() const { return squad_; }
  // The configuration window, created on first use.
  FrmConfig* ConfigWindow();
  // The one undo stack of the program: every edit of the trial goes on it,
  // and the Edit menu undoes and redoes from it.
  QUndoStack& UndoStack() const { return *undoStack_; }
  // The "Scale and Offset" window, created on first use.
  FrmScaleOffsetData* ScaleOffsetWindow();

  void ArrangeChildWindows();
  void CascadeChildWindows();
  // Opens a help page of the "QLXHelp" folder in the help window; false when
  // the page is not there.
  bool OpenHelpPage(const char* relativePath, const QString& anchor = {});
  // The help window, created on first use.
  FrmHelp* HelpWindow();

  // Where the main window's size and place are kept between runs: the
  // user's own configuration folder, not the shared data folder.
  static QString WindowPlaceFile();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildMenus();
  void BuildShortcuts();
  void BuildToolBar();
  void BuildEmptyWorkspace();
  void UpdateEmptyWorkspace();
  // Collect presses the analysis window's Start (or Stop) button and is
  // enabled with it.
  void ConnectCollect(QMdiSubWindow* analysisWindow);
  void RestoreWindowPlace();
  void SaveWindowPlace() const;
  void BuildStatusBar();
  QMenu* AddMenu(const char* name, const char* caption);
  QAction* AddEntry(QMenu* menu, const char* name, const char* caption);
  void MakeAvailable(const QString& entryName);
  void ApplyMenuState(const QString& entryName);
  void UpdateStatusPanels();
  QAction* Entry(const QString& name) const;

  void ToggleChildWindow(ChildWindow role, bool show);
  std::map<ChildWindow, TwipSize> ChildWindowSizes() const;
  void PlaceChildWindows(const std::vector<Placement>& placements);
  bool OpenDocument(const QUrl& url, const QString& what);
  void ShowInHelpWindow(const QUrl& url);
  bool ShowFirstRunWindow();

  void mnuFileExit_Click();
  void mnuConfigure_Click();
  void mnuScaleAndOffset_Click();
  void mnuToolsViewAnalog_Click();
  void mnuToolsDebug_Click();
  void mnuToolsSerial_Click();
  // Shows a tool window of the Tools menu, creating it on first use.
  void ShowToolWindow(QMdiSubWindow*& frame, const std::function<QWidget*()>& make);
  void mnuWebSupport_Click();
  void mnuSystemReport_Click();
  void mnuHelpAbout_Click();

  Session& session_;
  QMdiArea* mdiArea_ = nullptr;
  FormSystemStatus* statusForm_ = nullptr;
  ToolSubWindow* statusWindow_ = nullptr;
  FrmConfig* config_ = nullptr;
  QPointer<FrmHelp> help_;
  QToolBar* toolBar_ = nullptr;
  QAction* collect_ = nullptr;
  QPointer<QWidget> collectButton_;
  QLabel* emptyWorkspace_ = nullptr;
  QUndoStack* undoStack_ = nullptr;
  FrmScaleOffsetData* scaleOffset_ = nullptr;
  FrmProcess* process_ = nullptr;
  FormDigitalDisplay* digitalDisplay_ = nullptr;
  QMdiSubWindow* analogInputs_ = nullptr;
  QMdiSubWindow* debug_ = nullptr;
  QMdiSubWindow* serialInterface_ = nullptr;
  FormSquad* squad_ = nullptr;
  std::map<ChildWindow, QMdiSubWindow*> childWindows_;
  std::map<ChildWindow, QString> viewEntries_;
  std::map<QString, QAction*> entries_;
  std::set<QString> available_;
  std::array<QLabel*, 8> panels_{};
  DocumentOpener opener_;
  bool shutDown_ = false;
};

}  // namespace torvane
