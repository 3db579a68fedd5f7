// "Analog Inputs" on the offscreen platform, its timer on simulated time,
// against the simulated ZRA6 on a loopback line; and the Tools entry that
// opens it.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>

#include "acquisition/ui/frm_ad_values.hpp"
#include "link/link_fixture.hpp"
#include "link/simulated_unit.hpp"
#include "ui_test_support.hpp"

namespace torvane {

class FrmADValuesTest : public QObject {
  Q_OBJECT

 private slots:
  void valuesMinimaAndMaximaFollowTheUnitResetAndPauseDuringACollection() {
    testing::LinkFixture f;
    f.SelectZra6();
    auto unit = testing::AttachSimulatedUnit(f.loop, f.serial, sim::UnitModel::Zra6);
    FrmADValues window(f.session);
    window.show();
    const auto text = [&](const QString& name) { return window.findChild<QLabel*>(name)->text(); };
    f.loop.Advance(250);
    QCOMPARE(text("lblValue_2"), QString("2048"));
    QCOMPARE(text("lblMax_2"), QString("2048"));
    QVERIFY(window.findChild<QLabel*>("lblValue_3")->isVisible());
    QVERIFY(!window.findChild<QLabel*>("lblValue_4")->isVisible());
    window.findChild<QPushButton*>("cmdReset")->click();
    QCOMPARE(text("lblMin_2"), QString("4096"));
    QCOMPARE(text("lblMax_2"), QString("0"));
    f.loop.Advance(100);
    QCOMPARE(text("lblMin_2"), QString("2048"));

    f.session.collection.phase = CollectionPhase::Collecting;
    f.serial->TakeWritten();
    f.loop.Advance(300);
    QVERIFY(f.serial->TakeWritten().empty());
    QVERIFY(text("lblStatus").contains("pause"));
    f.session.collection.phase = CollectionPhase::Idle;
    window.hide();
    f.loop.Advance(300);
    QVERIFY(f.serial->TakeWritten().empty());  // the timer stopped with the window
  }

  void theToolsEntryOpensTheWindow() {
    testing::Machine machine;
    testing::Program program;
    program.form.show();
    QAction* entry = program.form.findChild<QAction*>("mnuToolsViewAnalog");
    QVERIFY(entry->isEnabled());
    entry->trigger();
    auto* window = program.form.findChild<FrmADValues*>("frmADValues");
    QVERIFY(window != nullptr && window->isVisible());
    QCOMPARE(window->windowTitle(), QString("Analog Inputs"));
  }
};

}  // namespace torvane

QTEST_MAIN(torvane::FrmADValuesTest)
#include "frm_ad_values_test.moc"
