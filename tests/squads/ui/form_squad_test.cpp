// The squad window on the offscreen platform, opened from the View menu with
// spreadsheet output off: search, next and previous, the selection in the
// status bar, and "Edit Squad File" / "Refresh Squad List".

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>

#include "squads/ui/form_squad.hpp"
#include "ui_test_support.hpp"

namespace torvane {

using testing::Machine;
using testing::Program;

class FormSquadTest : public QObject {
  Q_OBJECT

 private slots:
  void searchNextPreviousAndSelectionReachTheStatusBarAndTheNextTrial() {
    Machine machine;
    const std::string squadFile = machine.DataFolder() + "/team.csv";
    machine.WriteConfig("exceloutput=false\r\n", "", "SquadFileName=" + squadFile + "\r\n");
    WriteFileReplacing(squadFile,
                       "Id,First,Last,Mass\n7,Ann,Lee,72.5\n8,Bo,Day,80\n9,Cy,Leeds,0.5\n");
    Program program;
    QCOMPARE(program.Start(), StartupResult::Running);
    auto* entry = program.form.findChild<QAction*>("mnuSquad");
    QVERIFY(entry->isEnabled());  // the squad needs no spreadsheet program
    entry->trigger();
    FormSquad* window = program.form.SquadWindow();
    QVERIFY(window->isVisible());
    QCOMPARE(program.form.ChildWindowOf(ChildWindow::Squad)->windowTitle(), QString("team.csv"));
    auto* list = window->findChild<QListWidget*>("ListAthletes");
    auto* search = window->findChild<QLineEdit*>("TextSearchSquad");
    auto* label = window->findChild<QLabel*>("LabelNumberOfAthleteSelected");
    auto* panel = program.form.findChild<QLabel*>("StatusPanel8");
    QCOMPARE(list->count(), 3);
    QCOMPARE(list->item(0)->text(), QString("7 - Ann Lee -  72.5"));
    QCOMPARE(label->text(), QString(" 1 of  3 in squad file"));
    QCOMPARE(panel->text(), QString("7 - Ann Lee -  72.5"));
    // The prompt is a placeholder: the box is empty and searches nothing.
    QCOMPARE(search->placeholderText(), QString("Enter search text"));
    QVERIFY(search->text().isEmpty());

    QTest::keyClicks(search, "DAY");
    QCOMPARE(list->currentRow(), 1);
    QCOMPARE(panel->text(), QString("8 - Bo Day -  80"));
    QTest::keyClicks(search, "x");  // no match: Bo Day stays
    QCOMPARE(program.session.squad.CurrentAthlete, 1 + 1);
    window->findChild<QPushButton*>("CommandNextAthlete")->click();
    window->findChild<QPushButton*>("CommandNextAthlete")->click();  // already the last
    QCOMPARE(list->currentRow(), 2);
    QCOMPARE(label->text(), QString(" 3 of  3 in squad file"));
    window->findChild<QPushButton*>("CommandPreviousAthlete")->click();
    QCOMPARE(program.session.squad.Current().LastName, std::string("Day"));
    list->setCurrentRow(0);
    QCOMPARE(program.session.squad.Current().LastName, std::string("Lee"));
    window->grab().save(QDir::tempPath() + "/form_squad.png");
    // A trial file opened names its athlete: the list shows it when it is in
    // the squad, and keeps the selection when it is not.
    program.session.trial.DataFileName = "a.qlx";
    program.session.trial.Athlete = SquadMember{"9", "Cy", "Leeds", 0.5f};
    QMetaObject::invokeMethod(window, "TimerUpdateSquadWindow_Timer");
    QCOMPARE(list->currentRow(), 2);
    QCOMPARE(search->text(), QString("9 - Cy Leeds"));
    program.session.trial.DataFileName = "b.qlx";
    program.session.trial.Athlete = SquadMember{"40", "Not", "Here", 0};
    QMetaObject::invokeMethod(window, "TimerUpdateSquadWindow_Timer");
    QCOMPARE(list->currentRow(), 2);
    list->setCurrentRow(0);

    // Edit opens the workbook on the desktop; Refresh reads it again.
    auto* edit = window->findChild<QPushButton*>("CommandEditSquadFile");
    edit->click();
    QCOMPARE(program.opened.back(), QUrl::fromLocalFile(QString::fromStdString(squadFile)));
    QCOMPARE(edit->text(), QString("Refresh Squad List"));
    WriteFileReplacing(squadFile, "Id\n1,Di,Ash,60\n7,Ann,Lee,72.5\n");
    edit->click();
    QCOMPARE(edit->text(), QString("Edit Squad File"));
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->currentRow(), 1);  // Ann Lee stays selected
    entry->trigger();
    QVERIFY(!window->isVisible());
  }
};

}  // namespace torvane

QTEST_MAIN(torvane::FormSquadTest)
#include "form_squad_test.moc"
