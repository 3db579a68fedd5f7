// "Accelerometer management" on the offscreen platform, its timer on
// simulated time, against the simulated accelerometer on a loopback line;
// and the View entry that shows it.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "link/link_fixture.hpp"
#include "link/simulated_unit.hpp"
#include "link/ui/form_accelerometer.hpp"
#include "shell/ui/tool_sub_window.hpp"
#include "ui_test_support.hpp"

namespace torvane {

class FormAccelerometerTest : public QObject {
  Q_OBJECT

 private slots:
  void initialiseStreamToggleTypedOneAndThePauseDuringACollection() {
    testing::LinkFixture f;
    auto unit = testing::AttachSimulatedUnit(f.loop, f.accel, sim::UnitModel::Accelerometer);
    FormAccelerometer window(f.session);
    window.show();
    auto* state = window.findChild<QLabel*>("LabelAccelerometerState");
    auto* toggle = window.findChild<QPushButton*>("CommandStartStopStream");
    auto* output = window.findChild<QPlainTextEdit*>("LabelAccelerometerOutput");
    window.findChild<QPushButton*>("CommandInitialiseAccelerometer")->click();
    QCOMPARE(state->text(), QString("Port /dev/test-com2: open. Stream off."));
    QCOMPARE(toggle->text(), QString("Start stream"));
    toggle->click();
    QCOMPARE(toggle->text(), QString("Stop stream"));
    f.loop.Advance(200);
    QVERIFY(output->toPlainText().startsWith("X="));
    QTest::keyClicks(window.findChild<QLineEdit*>("TextAccelCommands"), "1");
    QVERIFY(!unit->status().streaming);
    QCOMPARE(toggle->text(), QString("Start stream"));

    toggle->click();
    f.session.collection.phase = CollectionPhase::Collecting;
    window.findChild<QPushButton*>("CommandClearAccelData")->click();
    f.loop.Advance(300);
    QVERIFY(output->toPlainText().isEmpty());  // the collection's readings stay in the port
    QVERIFY(state->text().contains("Paused"));
    QVERIFY(!toggle->isEnabled());
  }

  void theViewEntryShowsAndHidesTheWindow() {
    testing::Machine machine;
    testing::Program program;
    program.form.show();
    QAction* entry = program.form.findChild<QAction*>("mnuAccelerometer");
    QVERIFY(entry->isEnabled());
    entry->trigger();
    QVERIFY(program.form.ChildWindowOf(ChildWindow::Accelerometer)->isVisible());
    QCOMPARE(program.form.ChildWindowOf(ChildWindow::Accelerometer)->windowTitle(),
             QString("Accelerometer management"));
    entry->trigger();
    QVERIFY(!program.form.ChildWindowOf(ChildWindow::Accelerometer)->isVisible());
  }
};

}  // namespace torvane

QTEST_MAIN(torvane::FormAccelerometerTest)
#include "form_accelerometer_test.moc"
