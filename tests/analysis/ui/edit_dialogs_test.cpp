// The editing windows of the analysis on the offscreen platform: what they
// refuse, every edit undone and redone to the exact arrays, the unsaved
// mark, the clipboard, and their place in the main window.

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QUndoStack>
#include <cmath>

#include "analysis/trial_snapshot.hpp"
#include "analysis/typed_values.hpp"
#include "analysis/ui/form_graph_options.hpp"
#include "analysis/ui/form_seek_options.hpp"
#include "analysis/ui/frm_scale_offset_data.hpp"
#include "ui_test_support.hpp"

namespace torvane {

using testing::Machine;
using testing::Program;

namespace {

// The five channels and what an edit may change besides them.
struct TrialState {
  std::vector<float> d, v, a, f, p;
  std::int32_t samples;
  std::int32_t marker2;
  explicit TrialState(const Session& s)
      : d(s.trial.Displacement),
        v(s.trial.Velocity),
        a(s.trial.Acceleration),
        f(s.trial.Force),
        p(s.trial.Power),
        samples(s.settings.samples),
        marker2(s.view.Marker2Sample) {}
  bool operator==(const TrialState&) const = default;
};

// A saved force trial of 1000 samples at 500 Hz whose force reads 5 N low.
void LoadTrial(Session& s) {
  DimensionDataArrays(s.trial, 1000);
  s.settings.samples = 1000;
  s.settings.frequency = 500;
  s.settings.weight = 80;
  s.settings.RecordForce = true;
  for (std::size_t i = 0; i < 1000; ++i) {
    const float x = static_cast<float>(i);
    s.trial.Force[i] = static_cast<float>(80 * 9.807 - 5.0 + std::sin(x / 50));
    s.trial.Displacement[i] = 0.001f * x;
    s.trial.Velocity[i] = 0.5f;
    s.trial.Acceleration[i] = -x;
    s.trial.Power[i] = 2 * x;
  }
  s.view.Marker1Sample = s.view.AnalysisStart = 100;
  s.view.Marker2Sample = s.view.AnalysisEnd = 199;
  s.view.ViewEnd = 999;
  s.trial.DataSaved = true;
}

void Click(QWidget* window, const char* name) {
  auto* button = window->findChild<QPushButton*>(name);
  QVERIFY2(button != nullptr, name);
  QVERIFY2(button->isEnabled(), name);
  button->click();
}

void Type(QWidget* window, const char* name, const QString& text) {
  auto* box = window->findChild<QLineEdit*>(name);
  box->setText(text);
  emit box->editingFinished();
}

}  // namespace

class EditDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void seekOptionsRefuseAnEpochThatIsZeroEmptyOrNotANumber() {
    Machine machine;
    Program program;
    FormSeekOptions window(program.session);
    QCOMPARE(window.windowTitle(), QString("Seek Options"));
    QSignalSpy changed(&window, &FormSeekOptions::optionsChanged);
    window.findChild<QCheckBox*>("CheckRateOfRise")->setChecked(true);
    Type(&window, "TextRateOfRiseThreshold", "250");
    Type(&window, "TextEpoch", "15");
    QCOMPARE(changed.count(), 3);
    for (const char* text : {"0", "", "ms", "-5"}) {
      Type(&window, "TextEpoch", text);
      QCOMPARE(window.findChild<QLineEdit*>("TextEpoch")->text(), QString("15"));
    }
    QCOMPARE(program.dialogs.shown.size(), std::size_t{4});
    QCOMPARE(program.dialogs.shown[0].text, std::string(kSeekEpochRefused));
    QCOMPARE(program.dialogs.shown[0].title, std::string("Seek Options"));
    const SeekOptions o = window.Options();
    QVERIFY(o.CheckRateOfRise && !o.CheckSeekMaximum);
    QCOMPARE(o.TextEpoch, 15.0);
    QCOMPARE(o.TextRateOfRiseThreshold, 250.0);
  }

  void everyGraphOptionsEditIsUndoneAndRedoneExactlyAndMarksTheTrialUnsaved() {
    Machine machine;
    Program program;
    Session& s = program.session;
    LoadTrial(s);
    QUndoStack& stack = program.form.UndoStack();
    FormGraphOptions window(s, stack);
    QSignalSpy changed(&window, &FormGraphOptions::dataChanged);
    const TrialState original(s);

    // While a collection fills the trial, no edit touches it.
    s.collection.phase = CollectionPhase::Collecting;
    Click(&window, "CommandCrop");
    QVERIFY(TrialState(s) == original);
    QCOMPARE(program.dialogs.shown.back().title, std::string(kTrialInUseTitle));
    QCOMPARE(stack.count(), 0);
    s.collection.phase = CollectionPhase::Idle;

    Click(&window, "CommandCrop");
    QCOMPARE(s.settings.samples, 100);
    QCOMPARE(s.trial.Force[0], original.f[100]);
    QVERIFY(!s.trial.DataSaved);
    QCOMPARE(s.statusBar.Panel(6).text, std::string("Data NOT saved"));
    const TrialState cropped(s);
    stack.undo();
    QVERIFY(TrialState(s) == original);
    QCOMPARE(s.view.ViewEnd, 999);
    stack.redo();
    QVERIFY(TrialState(s) == cropped);
    stack.undo();

    QVERIFY(!window.findChild<QPushButton*>("CommandApplyOffsetToForce")->isEnabled());
    Click(&window, "CommandVelocityZeroAverageByForceOffset");
    const QString offset = window.findChild<QLineEdit*>("TextForceOffset")->text();
    QVERIFY2(std::fabs(offset.toDouble() - 5.0) < 0.2, qPrintable(offset));
    Click(&window, "CommandApplyOffsetToForce");
    QVERIFY(!window.findChild<QPushButton*>("CommandApplyOffsetToForce")->isEnabled());
    QCOMPARE(s.trial.Force[10], original.f[10] + offset.toFloat());
    QVERIFY(s.trial.Velocity != original.v);  // recalculated from the new force
    const TrialState applied(s);
    QCOMPARE(stack.count(), 2);  // the undone crop gave way to the new edits
    s.trial.DataSaved = true;
    stack.undo();
    stack.undo();
    QVERIFY(TrialState(s) == original);
    QVERIFY(!s.trial.DataSaved);
    stack.redo();
    stack.redo();
    QVERIFY(TrialState(s) == applied);
    QCOMPARE(changed.count(), 10);  // three edits, four undos, three redos

    // An edit whose trial was replaced since (another file opened) is not undone over it.
    LoadTrial(s);
    s.trial.Force[3] = 1;
    const TrialState other(s);
    stack.undo();
    QVERIFY(TrialState(s) == other);
    QCOMPARE(program.dialogs.shown.back().text, std::string(kEditNoLongerUndoable));
  }

  void theCopyCommandsPutTheirTextsOnTheClipboard() {
    Machine machine;
    Program program;
    LoadTrial(program.session);
    FormGraphOptions window(program.session, program.form.UndoStack());
    window.SetShownChannel(ShownChannel::Force);
    Click(&window, "CommandCopyCurrentToClipboard");
    QVERIFY(QApplication::clipboard()->text().startsWith("force\r\n"));
    window.findChild<QCheckBox*>("CheckIncludeTimeData")->setChecked(true);
    Click(&window, "CommandCopyCurrentToClipboard");
    QVERIFY(QApplication::clipboard()->text().startsWith("time\tforce\r\n0.000\t"));
    QCOMPARE(QApplication::clipboard()->text().count("\r\n"), 101);
    Click(&window, "CommandCopyAllDataToClipboard");
    QVERIFY(QApplication::clipboard()->text().startsWith(
        "Torvane Measurement System Data Analysis\r\n"));
    QCOMPARE(program.form.UndoStack().count(), 0);  // copying is no edit
  }

  void scaleAndOffsetRefusesAnEmptyFactorAndUndoesFromTheEditMenu() {
    Machine machine;
    Program program;
    Session& s = program.session;
    LoadTrial(s);
    const TrialState original(s);
    // Tools -> "Scale and Offset" opens the window.
    QAction* entry = program.form.findChild<QAction*>("mnuScaleAndOffset");
    QVERIFY(entry->isEnabled());
    entry->trigger();
    FrmScaleOffsetData* window = program.form.ScaleOffsetWindow();
    QVERIFY(window->isVisible());
    QCOMPARE(window->windowTitle(), QString("Scale and Offset"));
    QSignalSpy changed(window, &FrmScaleOffsetData::dataChanged);

    window->findChild<QLineEdit*>("txtForceScaleFactor")->clear();
    Click(window, "cmdApplyForceScale");
    QCOMPARE(program.dialogs.shown.back().text, std::string(kScaleFactorRefused));
    QVERIFY(TrialState(s) == original);
    QVERIFY(s.trial.DataSaved);
    QCOMPARE(program.form.UndoStack().count(), 0);

    // Enter in a box applies that box alone.
    auto* factor = window->findChild<QLineEdit*>("txtForceScaleFactor");
    factor->setText("2");
    QTest::keyClick(factor, Qt::Key_Return);
    window->findChild<QLineEdit*>("txtDispOffset")->setText("-0.25");
    Click(window, "cmdApplyDispOffset");
    QCOMPARE(s.trial.Force[7], 2 * original.f[7]);
    QCOMPARE(s.trial.Displacement[7], original.d[7] - 0.25f);
    QCOMPARE(s.trial.Velocity, original.v);  // derived channels wait for a recalculation
    QVERIFY(!s.trial.DataSaved);
    const TrialState edited(s);

    // The Edit menu, after File, undoes and redoes them.
    const QList<QAction*> menus = program.form.menuBar()->actions();
    QCOMPARE(menus.at(1)->objectName(), QString("mnuEdit"));
    QAction* undo = program.form.findChild<QAction*>("mnuEditUndo");
    QAction* redo = program.form.findChild<QAction*>("mnuEditRedo");
    QCOMPARE(undo->shortcut(), QKeySequence("Ctrl+Z"));
    QCOMPARE(redo->shortcut(), QKeySequence("Ctrl+Shift+Z"));
    QCOMPARE(undo->text(), QString("&Undo Offset displacement"));
    undo->trigger();
    undo->trigger();
    QVERIFY(TrialState(s) == original);
    QVERIFY(!undo->isEnabled());
    redo->trigger();
    redo->trigger();
    QVERIFY(TrialState(s) == edited);
    QCOMPARE(changed.count(), 6);
  }
};

}  // namespace torvane

QTEST_MAIN(torvane::EditDialogsTest)
#include "edit_dialogs_test.moc"
