// The analysis window offscreen: a trial opened and shown with the core's
// read-outs, the markers, zoom, the duration box, the closing question, a
// save and open round trip, and a collection against a simulated unit.
#include <qcustomplot.h>
#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "acquisition/collection_session.hpp"
#include "analysis/analysis_window_rules.hpp"
#include "analysis/ui/frm_analysis.hpp"
#include "analysis/ui/graph_widget.hpp"
#include "common/number_text.hpp"
#include "link/link_fixture.hpp"
#include "shell/acquisition_session.hpp"
#include "sim/unit_emulator.hpp"
#include "ui_test_support.hpp"

namespace torvane::testing {

namespace {

const std::string kTestTrial = std::string(TORVANE_SOURCE_DATA_DIR) + "/test.dat";

template <typename T>
T* Find(QWidget* form, const char* name) {
  T* w = form->findChild<T*>(name);
  if (w == nullptr) qFatal("no control %s", name);
  return w;
}

QString Text(QWidget* form, const char* name) {
  if (auto* e = form->findChild<QLineEdit*>(name)) return e->text();
  return Find<QLabel>(form, name)->text();
}

}  // namespace

class FrmAnalysisTest : public QObject {
  Q_OBJECT

 private:
  struct Window {
    Machine machine;
    Program program;
    FrmAnalysis* form = nullptr;
    Session& session = program.session;
    Window() {
      machine.WriteConfig("", "");
      form = InstallAnalysisWindow(program.session, program.form);
      program.Start();
      form->ProgramStarted();
      program.form.ShowChildWindow(ChildWindow::Analysis);
    }
  };

 private slots:
  void OpeningTestDatShowsItsSamplesAndTheCoresReadouts() {
    Window w;
    QVERIFY(w.form->OpenFile(kTestTrial));
    const std::int32_t n = w.session.settings.samples;
    QCOMPARE(n, 2000);
    QCOMPARE(w.form->Graph()->Plot()->graph(0)->data()->size(), n);
    QCOMPARE(w.session.view.Marker2Sample, n - 1);
    AnalysisView view = w.session.view;
    const auto channel = ShownChannelArray(w.session.trial, ShownChannel::Displacement);
    const MarkerReadouts r = MarkerReadoutTexts(view, channel, n, w.session.settings.frequency,
                                                ShownChannel::Displacement);
    const auto stats = CalcSummaryData(view, channel, n);
    QVERIFY(stats.has_value());
    QCOMPARE(Text(w.form, "txtXValue2"), QString::fromStdString(r.txtXValue2));
    QCOMPARE(Text(w.form, "txtYValue1"), QString::fromStdString(r.txtYValue1));
    QCOMPARE(Text(w.form, "lblMax"), QString::fromStdString(stats->lblMax));
    QCOMPARE(Text(w.form, "lblMean"), QString::fromStdString(stats->lblMean));
    QCOMPARE(Text(w.form, "lblPoint1"), QString("disp"));
    // Another channel: its own word and values.
    Find<QRadioButton>(w.form, "optForce")->click();
    QCOMPARE(Text(w.form, "lblPoint1"), QString("force"));
    QCOMPARE(w.form->Graph()->Plot()->yAxis->label(), QString("N"));
    w.form->grab().save(QDir::tempPath() + "/frm_analysis.png");
  }

  void MarkersZoomAndScrollKeepToTheTrial() {
    Window w;
    QVERIFY(w.form->OpenFile(kTestTrial));
    AnalysisView& v = w.session.view;
    const std::int32_t last = w.session.settings.samples - 1;
    Find<QRadioButton>(w.form, "optMarker2")->click();
    Find<QPushButton>(w.form, "butMarkRight")->click();
    Find<QPushButton>(w.form, "butMarkRight10")->click();
    QCOMPARE(v.Marker2Sample, last);
    // A click on the graph moves the selected marker to the sample there.
    GraphWidget* graph = w.form->Graph();
    QCustomPlot* plot = graph->Plot();
    const int x = static_cast<int>(graph->XOfSample(1000));
    QTest::mouseClick(plot, Qt::LeftButton, {}, QPoint(x, plot->height() / 2));
    QVERIFY(std::abs(v.Marker2Sample - 1000) <= 3);
    QCOMPARE(Text(w.form, "txtXValue2"),
             QString::fromStdString(FormatNumber(v.Marker2Sample / 500.0, "0.0##")));
    // Marker 1 cannot be clicked past marker 2.
    Find<QRadioButton>(w.form, "optMarker1")->click();
    QTest::mouseClick(plot, Qt::LeftButton, {},
                      QPoint(static_cast<int>(graph->XOfSample(1500)), plot->height() / 2));
    QCOMPARE(v.Marker1Sample, 0);
    // Zoom in, to the markers, scroll to the end, expand.
    Find<QPushButton>(w.form, "butZoomIn")->click();
    QCOMPARE(v.ViewStart, 200);
    QCOMPARE(plot->xAxis->range().lower, 200.0 / 500);
    Find<QPushButton>(w.form, "butZoomToMarkers")->click();
    QCOMPARE(v.ViewEnd, v.Marker2Sample);
    for (int i = 0; i < 200; ++i) Find<QPushButton>(w.form, "butScrollRight")->click();
    QCOMPARE(v.ViewEnd, last);
    QTest::keyClick(graph, Qt::Key_Home);
    QCOMPARE(v.ViewStart, 0);
    QCOMPARE(v.ViewEnd, last);
    // Arrow keys move the selected marker; Shift moves it ten samples.
    QTest::keyClick(graph, Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(v.Marker1Sample, 10);
    QTest::keyClick(graph, Qt::Key_Left);
    QCOMPARE(v.Marker1Sample, 9);
    // Ticking "show phases" redraws without deriving the trial again.
    const float before = w.session.trial.Velocity[700];
    w.session.trial.Velocity[700] = 123.0f;
    Find<QCheckBox>(w.form, "CheckShowPhases")->click();
    QCOMPARE(w.session.trial.Velocity[700], 123.0f);
    w.session.trial.Velocity[700] = before;
  }

  void TheDurationBoxAppliesOnEnterAndIsRefusedWhileBusy() {
    Window w;
    SettingsRecord& s = w.session.settings;
    s.frequency = 200;
    auto* box = Find<QLineEdit>(w.form, "TextEndPoint");
    const std::int32_t before = s.samples;
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, "2.5");
    QCOMPARE(s.samples, before);  // not on every keystroke
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(s.samples, 500);
    w.session.collection.phase = CollectionPhase::Collecting;
    box->setText("4");
    emit box->editingFinished();
    QCOMPARE(s.samples, 500);
    QCOMPARE(box->text(), QString("2.5"));
    w.session.collection.phase = CollectionPhase::Idle;
    // An unsaved collected trial is not cleared without asking.
    w.session.trial.DataCollected = true;
    w.program.dialogs.answers = {DialogAnswer::No};
    box->setText("4");
    emit box->editingFinished();
    QCOMPARE(s.samples, 500);
  }

  void EachPathOfTheClosingQuestion() {
    Window w;
    TrialDataSet& trial = w.session.trial;
    auto& d = w.program.dialogs;
    auto savedShown = [&] {
      for (const auto& m : d.shown) {
        if (m.text == kDataSavedMessage) return true;
      }
      return false;
    };
    trial.DataCollected = true;
    d.answers = {DialogAnswer::Cancel};
    QVERIFY(!w.form->QueryClose());
    QVERIFY(trial.DataCollected);
    // Yes, then the save dialog cancelled: nothing saved, nothing dropped.
    d.answers = {DialogAnswer::Yes};
    d.paths = {std::nullopt};
    QVERIFY(!w.form->QueryClose());
    QVERIFY(!savedShown());
    QVERIFY(trial.DataCollected);
    const std::string path = w.machine.DataFolder() + "/closing.qlx";
    d.answers = {DialogAnswer::Yes};
    d.paths = {path};
    QVERIFY(w.form->QueryClose());
    QVERIFY(savedShown());
    QVERIFY(QFile::exists(QString::fromStdString(path)));
    trial.DataSaved = false;
    d.answers = {DialogAnswer::No};
    QVERIFY(w.form->QueryClose());
    QVERIFY(!trial.DataCollected);
    QVERIFY(trial.DataFileName.empty());
    // During a collection: No keeps the window and the collection.
    w.session.collection.phase = CollectionPhase::Collecting;
    d.answers = {DialogAnswer::No};
    QVERIFY(!w.form->QueryClose());
    w.session.collection.phase = CollectionPhase::Idle;
  }

  void SaveThenOpenGivesTheSameTrial() {
    Window w;
    QVERIFY(w.form->OpenFile(kTestTrial));
    const std::vector<float> force(w.session.trial.Force.begin(),
                                   w.session.trial.Force.begin() + 2000);
    const std::string path = w.machine.DataFolder() + "/round.qlx";
    w.program.dialogs.paths = {path};
    w.form->SaveCommand(1);
    QVERIFY(w.session.trial.DataSaved);
    QCOMPARE(w.form->windowTitle(), QString::fromStdString(path));
    QVERIFY(w.form->OpenFile(path));
    QCOMPARE(w.session.settings.samples, 2000);
    for (std::size_t i = 0; i < force.size(); i += 97) {
      QVERIFY(std::abs(w.session.trial.Force[i] - force[i]) < 1e-3f);
    }
  }

  void OpeningKeepsTheStoredRealTimePlotChoice() {
    Machine machine;
    machine.WriteConfig("realtimeplot=false\r\n", "");
    Program program;
    FrmAnalysis* form = InstallAnalysisWindow(program.session, program.form);
    program.Start();
    form->ProgramStarted();
    QVERIFY(!program.session.settings.realtimeplot);
    QVERIFY(!Find<QCheckBox>(form, "chkRealTimePlot")->isChecked());
    QVERIFY(machine.Read("QLXConfig.ini").find("realtimeplot=false") != std::string::npos);
  }

  void DemonstrationModeShowsTheDemonstrationTrial() {
    Window w;
    QVERIFY(QFile::copy(QString::fromStdString(kTestTrial),
                        QString::fromStdString(w.machine.DataFolder() + "/test.dat")));
    w.session.DemoMode = true;
    w.session.trial.DataFileName.clear();
    w.form->ProgramStarted();
    QCOMPARE(w.session.settings.samples, 2000);
    QCOMPARE(w.form->Graph()->Plot()->graph(0)->data()->size(), 2000);
  }

  void ACollectionFromTheWindowRecordsDerivesAndShowsTheTrial() {
    LinkFixture f;
    Session& session = f.session;
    session.settings.ZRA6PlusInput = true;
    session.settings.frequency = 500;
    session.settings.RecordForce = true;
    session.settings.ForceCalSlope = 3.0f;
    session.settings.DispCalSlope = 0.009f;
    session.settings.samples = 1000;
    DimensionDataArrays(session.trial, 1000);
    sim::UnitOptions options;
    options.model = sim::UnitModel::Zra6Plus;
    options.profile = sim::ProfileKind::Cmj;
    auto unit = sim::MakeUnitEmulator(options);
    LoopbackLine* line = f.usb.get();
    line->onWrite = [&](const std::string& bytes) {
      unit->Receive(bytes, f.loop.Milliseconds());
      line->Deliver(unit->Produce(f.loop.Milliseconds()));
    };
    f.loop.SetPumpHook([&] { line->Deliver(unit->Produce(f.loop.Milliseconds())); });

    FrmAnalysis form(session);
    form.ProgramStarted();
    auto* box = Find<QLineEdit>(&form, "TextEndPoint");
    box->setText("2");
    emit box->editingFinished();
    auto* collect = Find<QPushButton>(&form, "cmdCollect");
    collect->click();
    QCOMPARE(collect->text(), QString("&Stop"));
    QVERIFY(form.Busy());
    QVERIFY(!Find<QPushButton>(&form, "cmdLoadFile")->isEnabled());
    QVERIFY(!box->isEnabled());
    QVERIFY(WaitUntil(f.loop, f.loop, 5000, [&] { return !session.collection.collecting; }));
    QCOMPARE(collect->text(), QString("&Start"));
    QVERIFY(box->isEnabled());
    QCOMPARE(session.settings.samples, 1000);
    QVERIFY(session.trial.DataCollected);
    QCOMPARE(Text(&form, "TextTrialNumber"), QString(" 1"));
    QCOMPARE(form.Graph()->Plot()->graph(0)->data()->size(), 1000);
    QCOMPARE(session.view.Marker2Sample, 999);
    // Derived: the velocity of a jump is not zero throughout.
    bool moved = false;
    for (int i = 0; i < 1000; ++i) moved = moved || session.trial.Velocity[i] != 0.0f;
    QVERIFY(moved);
    QVERIFY(!Text(&form, "lblMax").isEmpty());
  }
};

}  // namespace torvane::testing

QTEST_MAIN(torvane::testing::FrmAnalysisTest)
#include "frm_analysis_test.moc"
