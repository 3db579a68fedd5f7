// The main window on the offscreen platform: start-up as the program runs
// it, the menu tree, toolbar and keys, the window toggles and placements,
// the report and the help window, and closing.

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>

#include "config/ini_file.hpp"
#include "shell/help_pages.hpp"
#include "shell/main_menu_state.hpp"
#include "shell/ui/form_system_status.hpp"
#include "shell/ui/frm_help.hpp"
#include "shell/ui/tool_sub_window.hpp"
#include "ui_test_support.hpp"

namespace torvane {

using testing::Machine;
using testing::Program;
using testing::WhenModalOpens;

namespace {

QAction* Entry(const MainForm& form, const char* name) {
  auto* entry = form.findChild<QAction*>(name);
  if (entry == nullptr) qWarning("no menu entry %s", name);
  return entry;
}

QString Panel(const MainForm& form, int number) {
  return form.findChild<QLabel*>(QString("StatusPanel%1").arg(number))->text();
}

}  // namespace

class MainFormTest : public QObject {
  Q_OBJECT

 private slots:
  void aStartOnAnEmptyHomeLaysOutTheDataFolderAndTheConfiguration() {
    Machine machine;
    Program program;
    WhenModalOpens("frmFirstTime",
                   [](QWidget* window) { window->findChild<QPushButton*>("OKButton")->click(); });
    QCOMPARE(program.Start(), StartupResult::Running);
    QVERIFY(FolderExists(machine.DataFolder()));
    QVERIFY(FileExists(machine.DataFolder() + "/QLXHelp/QLXGettingStarted.htm"));
    QCOMPARE(ReadIniValue("Data Collection", "frequency", "", machine.ConfigPath()),
             std::string("200"));
    // The first run is 1000 samples at 200 Hz, shown in the status bar.
    QVERIFY(program.form.isVisible());
    QCOMPARE(program.form.windowTitle(), QString("Torvane Measurement System"));
    QCOMPARE(Panel(program.form, 2), QString("Rate 200Hz"));
    QCOMPARE(Panel(program.form, 4), QString("Duration 5.0 secs"));
    // The status window tells what start-up did.
    QVERIFY(program.form.ChildWindowOf(ChildWindow::Status)->isVisible());
    QVERIFY(Entry(program.form, "mnuLiveSystemStatus")->isChecked());
    const QString log =
        program.form.StatusForm()->findChild<QPlainTextEdit*>("TextStatus")->toPlainText();
    QVERIFY(log.contains("Program Data Folder is " + QString::fromStdString(machine.DataFolder())));
    QVERIFY(log.contains("Loading Squad list\n"));
    // The sample squad of the data folder is read at once.
    QVERIFY(log.endsWith("Squad file loaded and number =  10\n"));
    QCOMPARE(Panel(program.form, 8), QString("1 - Ann Lee -  61.5"));
  }

  void theMenuTreeCarriesTheSystemsNamesAndCaptions() {
    Machine machine;
    Program program;
    const MainForm& form = program.form;
    const std::pair<const char*, const char*> menus[] = {{"mnuFile", "&File"},
                                                         {"mnuRun", "&View"},
                                                         {"mnuTools", "T&ools"},
                                                         {"mnuWindow", "&Window"},
                                                         {"mnuHelp", "&Help"}};
    for (const auto& [name, caption] : menus) {
      QMenu* menu = form.findChild<QMenu*>(name);
      QVERIFY2(menu != nullptr, name);
      QCOMPARE(menu->title(), QString(caption));
    }
    QStringList help;
    for (QAction* a : form.findChild<QMenu*>("mnuHelp")->actions()) help << a->objectName();
    QCOMPARE(help,
             (QStringList{"mnuGettingStarted", "mnuHelpContents", "mnuWebSupport",
                          "mnuSystemReport", "mnuHelpSep", "mnuVersionInfo", "mnuHelpAbout"}));
    QCOMPARE(Entry(form, "mnuSaveAs")->text(), QString("Save &As"));
    QCOMPARE(Entry(form, "mnuAccelerometer")->text(), QString("Accelerometer &management"));
    QCOMPARE(Entry(form, "mnuToolsPerformance")->text(), QString("Performance &Enhancement"));
    // Entries whose windows this program does not have yet wait, disabled.
    QVERIFY(!Entry(form, "mnuFileOpen")->isEnabled());
    QVERIFY(!Entry(form, "mnuAnalyse")->isEnabled());
    QVERIFY(Entry(form, "mnuConfigure")->isEnabled());
    QVERIFY(Entry(form, "mnuLiveSystemStatus")->isEnabled());
    // A window registered later brings its entry to life.
    auto* training = new ToolSubWindow(new QWidget);
    program.form.RegisterChildWindow(ChildWindow::Training, training);
    QVERIFY(Entry(form, "mnuTraining")->isEnabled());
    // The core hides, shows and disables entries by name.
    SetMenuEntryVisible(program.session, "mnuToolsSerial", false);
    QVERIFY(!Entry(form, "mnuToolsSerial")->isVisible());
    SetMenuEntryEnabled(program.session, "mnuTraining", false);
    QVERIFY(!Entry(form, "mnuTraining")->isEnabled());
    // The eight panels with their first texts and tooltips.
    QCOMPARE(form.statusBar()->findChildren<QLabel*>(QRegularExpression("^StatusPanel")).size(), 8);
    QCOMPARE(Panel(form, 1), QString("Interface NOT found"));
    QCOMPARE(Panel(form, 6), QString("no data collected"));
    QCOMPARE(form.findChild<QLabel*>("StatusPanel7")->toolTip(),
             QString("Status of force collection or not"));
  }

  void theSystemStatusEntryShowsAndHidesTheStatusWindow() {
    Machine machine;
    Program program;
    program.session.settings.ShowSystemStatus = true;
    program.form.show();
    QAction* entry = Entry(program.form, "mnuLiveSystemStatus");
    QMdiSubWindow* status = program.form.ChildWindowOf(ChildWindow::Status);
    entry->trigger();
    QVERIFY(status->isVisible());
    QVERIFY(entry->isChecked());
    entry->trigger();
    QVERIFY(!status->isVisible());
    QVERIFY(!entry->isChecked());
    entry->trigger();
    AddStatusMessage(program.session, "kept while hidden");
    // Closed from its own frame: hidden, the mark gone, the text kept.
    status->close();
    QVERIFY(!status->isVisible());
    QVERIFY(!entry->isChecked());
    auto* text = program.form.StatusForm()->findChild<QPlainTextEdit*>("TextStatus");
    QVERIFY(text->toPlainText().contains("kept while hidden"));
    program.form.StatusForm()->findChild<QPushButton*>("CommandCopy")->click();
    QCOMPARE(QApplication::clipboard()->text(), text->toPlainText());
  }

  void arrangeAndCascadePlaceTheChildWindowsInTwips() {
    Machine machine;
    Program program;
    program.session.settings.ShowSystemStatus = true;
    auto* content = new QWidget;
    auto* training = new ToolSubWindow(content);
    program.form.RegisterChildWindow(ChildWindow::Training, training);
    training->resize(400, 200);  // 6000 × 3000 twips
    program.form.show();
    // A main window area of 12000 × 9000 twips.
    QWidget* area = program.form.MdiArea()->viewport();
    program.form.resize(program.form.size() + QSize(800, 600) - area->size());
    QCOMPARE(area->size(), QSize(800, 600));
    QMdiSubWindow* status = program.form.ChildWindowOf(ChildWindow::Status);
    QCOMPARE(status->size(), QSize(353, 237));  // 5300 × 3555 twips
    Entry(program.form, "mnuArrange")->trigger();
    QCOMPARE(training->pos(), QPoint(200, 340));  // 3000, 5100
    QCOMPARE(status->pos(), QPoint(423, 345));    // 6340 (6345 for 353 pixels), 5175
    QVERIFY(!status->isVisible());                // placed, not shown
    Entry(program.form, "mnuCascade")->trigger();
    QCOMPARE(training->pos(), QPoint(27, 27));  // 400 twips
    QCOMPARE(status->pos(), QPoint(423, 345));
    // Showing a placed window leaves it where it was placed.
    Entry(program.form, "mnuLiveSystemStatus")->trigger();
    QCOMPARE(status->pos(), QPoint(423, 345));
  }

  void theSystemReportIsWrittenAndShown() {
    Machine machine;
    machine.WriteConfig("", "");
    Program program;
    program.Start();
    Entry(program.form, "mnuSystemReport")->trigger();
    const std::string report = machine.Read("QLXSystemReport.txt");
    QVERIFY(report.rfind("Torvane Measurement System - Operational Report\r\n", 0) == 0);
    QVERIFY(report.find("\r\nDATA COLLECTION\r\n\tFrequency ") != std::string::npos);
    QVERIFY(report.size() > 3 && report.substr(report.size() - 4) == "\n\t\r\n");
    QCOMPARE(program.opened.size(), std::size_t{1});
    QCOMPARE(program.opened.back().toLocalFile().toStdString(),
             machine.DataFolder() + "/QLXSystemReport.txt");
  }

  void theHelpPagesOpenInTheHelpWindowFromTheDataFolderOnly() {
    Machine machine;
    Program program;
    WhenModalOpens("frmFirstTime",
                   [](QWidget* window) { window->findChild<QPushButton*>("OKButton")->click(); });
    program.Start();
    const QString help = QString::fromStdString(machine.DataFolder()) + "/QLXHelp/";
    FrmHelp* window = program.form.HelpWindow();
    const std::pair<const char*, const char*> pages[] = {
        {"mnuGettingStarted", "QLXGettingStarted.htm"},
        {"mnuHelpContents", "QLXHelp.htm"},
        {"mnuVersionInfo", "updates.htm"},
        {"mnuWebSupport", "QLXHelp.htm"}};
    for (const auto& [entry, page] : pages) {
      Entry(program.form, entry)->trigger();
      QVERIFY(window->isVisible());
      QCOMPARE(window->CurrentPage().toLocalFile(), help + page);
    }
    // Back and forward go through the pages shown.
    window->findChild<QToolButton*>("cmdBack")->click();
    QCOMPARE(window->CurrentPage().toLocalFile(), help + "updates.htm");
    window->findChild<QToolButton*>("cmdForward")->click();
    QCOMPARE(window->CurrentPage().toLocalFile(), help + "QLXHelp.htm");
    // A search lists the pages that hold the text; a click shows one.
    auto* search = window->findChild<QLineEdit*>("txtSearch");
    search->setText("calibration");
    emit search->returnPressed();
    auto* found = window->findChild<QListWidget*>("lstPages");
    QVERIFY(found->isVisibleTo(window) && found->count() >= 1);
    emit found->itemClicked(found->item(0));
    QVERIFY(window->findChild<QTextBrowser*>("txtPage")->textCursor().hasSelection());
    // The desktop's viewer is not asked, and a page missing from the data
    // folder is not taken from the sample files the program was built with.
    QVERIFY(program.opened.empty());
    QVERIFY(QFile::remove(help + "updates.htm"));
    QVERIFY(!program.form.OpenHelpPage(kUpdatesPage));
    QCOMPARE(program.dialogs.shown.size(), std::size_t{1});
  }

  void aReportTheDesktopCannotShowOpensInTheHelpWindow() {
    Machine machine;
    machine.WriteConfig("", "");
    Program program;
    program.Start();
    program.form.SetDocumentOpener([](const QUrl&) { return false; });
    const std::size_t messages = program.dialogs.shown.size();
    Entry(program.form, "mnuSystemReport")->trigger();
    QCOMPARE(program.form.HelpWindow()->CurrentPage().toLocalFile().toStdString(),
             machine.DataFolder() + "/QLXSystemReport.txt");
    QCOMPARE(program.dialogs.shown.size(), messages);
  }

  void theStandardKeysRunTheirEntries() {
    Machine machine;
    machine.WriteConfig("", "");
    QDir(QString::fromStdString(machine.DataFolder())).mkdir("QLXHelp");
    QVERIFY(QFile::copy(TORVANE_SOURCE_DATA_DIR "/QLXHelp/QLXHelp.htm",
                        QString::fromStdString(machine.DataFolder()) + "/QLXHelp/QLXHelp.htm"));
    Program program;
    program.Start();
    QStringList ran;
    for (const char* name : {"mnuFileOpen", "mnuSave", "mnuSaveAs", "mnuFileExport"}) {
      program.form.SetMenuCommand(name, [&ran, name] { ran << name; });
    }
    program.form.show();
    program.form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&program.form));
    QTest::keyClick(&program.form, Qt::Key_O, Qt::ControlModifier);
    QTest::keyClick(&program.form, Qt::Key_S, Qt::ControlModifier);
    QTest::keyClick(&program.form, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(&program.form, Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(ran, (QStringList{"mnuFileOpen", "mnuSave", "mnuSaveAs", "mnuFileExport"}));
    QCOMPARE(Entry(program.form, "mnuEditUndo")->shortcut(), QKeySequence("Ctrl+Z"));
    QTest::keyClick(&program.form, Qt::Key_F1);
    QVERIFY(program.form.HelpWindow()->CurrentPage().toLocalFile().endsWith("/QLXHelp.htm"));
    program.form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&program.form));
    QTest::keyClick(&program.form, Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(!program.form.isVisible());
  }

  void theToolbarCarriesTheMenusOwnEntries() {
    Machine machine;
    Program program;
    auto* toolbar = program.form.findChild<QToolBar*>("tbrMain");
    QStringList names;
    for (QAction* a : toolbar->actions()) {
      if (!a->isSeparator()) names << a->objectName();
    }
    QCOMPARE(names, (QStringList{"mnuFileOpen", "mnuSave", "actCollect", "mnuAnalyse", "mnuProcess",
                                 "mnuTraining", "mnuSquad"}));
    QCOMPARE(Entry(program.form, "mnuProcess")->iconText(), QString("Results"));
    for (QAction* a : toolbar->actions()) QVERIFY(a->isSeparator() || !a->icon().isNull());
    // Enabled and ticked with the menu entry.
    auto* training = toolbar->widgetForAction(Entry(program.form, "mnuTraining"));
    QVERIFY(!training->isEnabled());
    auto* window = new ToolSubWindow(new QWidget);
    program.form.RegisterChildWindow(ChildWindow::Training, window);
    QVERIFY(training->isEnabled());
    qobject_cast<QToolButton*>(training)->click();
    QVERIFY(!window->isHidden());
    QVERIFY(Entry(program.form, "mnuTraining")->isChecked());
    // Collect is the analysis window's Start button, enabled with it.
    auto* analysis = new QWidget;
    auto* start = new QPushButton("&Start", analysis);
    start->setObjectName("cmdCollect");
    start->setEnabled(false);
    int presses = 0;
    connect(start, &QPushButton::clicked, [&presses] { ++presses; });
    program.form.RegisterChildWindow(ChildWindow::Analysis, new ToolSubWindow(analysis));
    QAction* collect = Entry(program.form, "actCollect");
    QVERIFY(!collect->isEnabled());
    start->setEnabled(true);
    QVERIFY(collect->isEnabled());
    collect->trigger();
    QCOMPARE(presses, 1);
    QVERIFY(!program.form.ChildWindowOf(ChildWindow::Analysis)->isHidden());
  }

  void theEmptyWorkspaceSaysWhatToDoUntilAWindowIsShown() {
    Machine machine;
    Program program;
    program.form.show();
    auto* hint = program.form.findChild<QLabel*>("lblEmptyWorkspace");
    QCOMPARE(hint->text(), QString("Open a trial (Ctrl+O) or record one (Collect)"));
    QVERIFY(hint->isVisible());
    QAction* status = Entry(program.form, "mnuLiveSystemStatus");
    status->trigger();
    QVERIFY(!hint->isVisible());
    status->trigger();
    QVERIFY(hint->isVisible());
  }

  void theMainWindowComesBackWhereItWasLeft() {
    Machine machine;
    const QRect left(30, 20, 700, 480);
    {
      Program program;
      program.form.show();
      program.form.setGeometry(left);
      QVERIFY(program.form.close());
    }
    Program program;
    QCOMPARE(program.form.geometry(), left);
  }

  void newWindowsOpenCentredOverTheMainWindow() {
    Machine machine;
    Program program;
    program.form.setGeometry(40, 30, 700, 500);
    program.form.show();
    QWidget tool(nullptr, Qt::Window);
    tool.resize(200, 100);
    tool.show();
    QVERIFY(
        (tool.frameGeometry().center() - program.form.frameGeometry().center()).manhattanLength() <=
        2);
    // Moved by the user, it is shown again where it was left.
    tool.hide();
    tool.move(5, 5);
    tool.show();
    QCOMPARE(tool.pos(), QPoint(5, 5));
  }

  void closingWithAnUnsavedTrialAsksFirst() {
    Machine machine;
    Program program;
    std::vector<std::string> calls;
    bool mayClose = false;
    program.session.hooks.QueryCloseAnalysisWindow = [&] {
      calls.push_back("asked");
      return mayClose;
    };
    program.session.hooks.CloseSerialPortIfOpen = [&] { calls.push_back("serial closed"); };
    program.session.trial.DataCollected = true;
    program.form.show();
    QVERIFY(!program.form.close());  // Cancel: nothing is lost
    QVERIFY(program.form.isVisible());
    mayClose = true;
    Entry(program.form, "mnuFileExit")->trigger();
    QVERIFY(!program.form.isVisible());
    QCOMPARE(calls, (std::vector<std::string>{"asked", "asked", "serial closed"}));
  }

  void demonstrationChosenAtTheFirstRunHidesTheUnitQuestion() {
    Machine machine;
    Program program;
    bool unitQuestionHidden = false;
    WhenModalOpens("frmFirstTime", [&](QWidget* window) {
      window->findChild<QRadioButton*>("OptionDemoYes")->click();
      unitQuestionHidden = window->findChild<QWidget*>("Frame6or7")->isHidden();
      window->findChild<QPushButton*>("OKButton")->click();
    });
    program.Start();
    QVERIFY(unitQuestionHidden);
    QCOMPARE(Panel(program.form, 1), QString("Demo/Analysis Mode"));
  }

  void messageBoxesAnswerAndCarryTheProgramsTitle() {
    QtUserDialogs dialogs;
    QString title;
    QString text;
    WhenModalOpens("", [&](QWidget* window) {
      auto* box = qobject_cast<QMessageBox*>(window);
      title = box->windowTitle();
      text = box->text();
      box->button(QMessageBox::Cancel)->click();
    });
    QCOMPARE(dialogs.Ask(MessageIcon::None, MessageButtons::OkCancel, "", "Open Data File a.qlx"),
             DialogAnswer::Cancel);
    QCOMPARE(title, QString("Torvane Measurement System"));
    QCOMPARE(text, QString("Open Data File a.qlx"));
    QCOMPARE(QtFileFilter("QLX data files (*.qlx)|*.qlx|All files (*.*)|*.*"),
             QString("QLX data files (*.qlx);;All files (*)"));
    QCOMPARE(QtFileFilter("Sounds|*.wav;*.mp3"), QString("Sounds (*.wav *.mp3)"));
  }
};

}  // namespace torvane

QTEST_MAIN(torvane::MainFormTest)
#include "main_form_test.moc"
