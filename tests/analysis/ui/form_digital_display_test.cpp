// The digital display: opened by its View entry, fed by the collection's
// hooks, every channel at a point of the graph and only the measured two
// during a collection; closed, it shows nothing new.

#include <QAction>
#include <QLabel>
#include <QTest>

#include "analysis/ui/form_digital_display.hpp"
#include "ui_test_support.hpp"

namespace torvane {

using testing::Machine;
using testing::Program;

class FormDigitalDisplayTest : public QObject {
  Q_OBJECT

 private slots:
  void showsTheChannelsAtTheSampleItIsGiven() {
    Machine machine;
    Program program;
    Session& s = program.session;
    DimensionDataArrays(s.trial, 10);
    s.trial.Displacement[3] = 0.4567f;
    s.trial.Force[3] = 812.25f;
    s.trial.Velocity[3] = -1.5f;
    s.trial.Acceleration[3] = 9.8f;
    s.trial.Power[3] = 1234.56f;
    auto* form = program.form.findChild<FormDigitalDisplay*>("FormDigitalDisplay");
    const auto text = [form](const char* name) { return form->findChild<QLabel*>(name)->text(); };
    QAction* entry = program.form.findChild<QAction*>("mnuDigitalDisplay");
    QVERIFY(entry->isEnabled());
    QVERIFY(!s.collection.digitalDisplayOn);

    entry->trigger();
    QVERIFY(entry->isChecked());
    QVERIFY(s.collection.digitalDisplayOn);
    QCOMPARE(form->windowTitle(), QString("Timepoint data display"));
    s.collection.hooks.digitalDisplaySample(3);
    QCOMPARE(text("lblDisplacement"), QString("0.457"));
    QCOMPARE(text("lblForce"), QString("812.3"));
    QCOMPARE(text("lblVelocity"), QString("-1.500"));
    QCOMPARE(text("lblAcceleration"), QString("9.800"));
    QCOMPARE(text("lblPower"), QString("1234.6"));

    s.collection.hooks.digitalDisplayMode(DigitalDisplayMode::Realtime);
    QCOMPARE(form->windowTitle(), QString("Realtime data display"));
    s.collection.hooks.digitalDisplaySample(3);
    QCOMPARE(text("lblForce"), QString("812.3"));
    QCOMPARE(text("lblVelocity"), QString("-"));
    QCOMPARE(text("lblPower"), QString("-"));
    s.collection.hooks.digitalDisplaySample(100000);  // beyond the arrays
    QCOMPARE(text("lblDisplacement"), QString("-"));

    entry->trigger();  // closed: the entry loses its tick, the display stands still
    QVERIFY(!entry->isChecked());
    QVERIFY(!s.collection.digitalDisplayOn);
    form->UpdateDigitalDisplay(3);
    QCOMPARE(text("lblDisplacement"), QString("-"));
  }
};

}  // namespace torvane

QTEST_MAIN(torvane::FormDigitalDisplayTest)
#include "form_digital_display_test.moc"
