// The analysis window offscreen: a trial opened and shown with the core's
// read-outs, the markers, zoom, the duration box, the closing question, a
// save and open round trip, a collection against a simulated unit (whole
// and damaged), and the windows wired to it: seek and graph options, scale
// and offset, the undo stack, the results window and the digital display.
#include <qcustomplot.h>
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QUndoStack>

#include "acquisition/collection_session.hpp"
#include "analysis/analysis_window_rules.hpp"
#include "analysis/clipboard_texts.hpp"
#include "analysis/ui/form_digital_display.hpp"
#include "analysis/ui/form_graph_options.hpp"
#include "analysis/ui/form_seek_options.hpp"
#include "analysis/ui/frm_analysis.hpp"
#include "analysis/ui/frm_scale_offset_data.hpp"
#include "analysis/ui/graph_widget.hpp"
#include "common/number_text.hpp"
#include "link/link_fixture.hpp"
#include "results/results_variables.hpp"
#include "results/ui/frm_process.hpp"
#include "shell/acquisition_session.hpp"
#include "shell/startup.hpp"
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

// A 2 s collection from the window against the simulated ZRA6+; the unit
// drops one byte in `dropEvery` (0: none).
struct Collected {
  LinkFixture f;
  std::unique_ptr<sim::UnitEmulator> unit;
  std::unique_ptr<FrmAnalysis> form;
  explicit Collected(std::uint32_t dropEvery) {
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
    options.faults.dropEvery = dropEvery;
    unit = sim::MakeUnitEmulator(options);
    LoopbackLine* line = f.usb.get();
    line->onWrite = [this, line](const std::string& bytes) {
      unit->Receive(bytes, f.loop.Milliseconds());
      line->Deliver(unit->Produce(f.loop.Milliseconds()));
    };
    f.loop.SetPumpHook([this, line] { line->Deliver(unit->Produce(f.loop.Milliseconds())); });
    form = std::make_unique<FrmAnalysis>(session);
    form->ProgramStarted();
    auto* box = Find<QLineEdit>(form.get(), "TextEndPoint");
    box->setText("2");
    emit box->editingFinished();
  }
  bool Finish() {
    return WaitUntil(f.loop, f.loop, 5000, [&] { return !f.session.collection.collecting; });
  }
};

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
    // A copy of the test trial to edit and close (a close may save it).
    std::string CopyOfTestTrial(const std::string& folder, const std::string& name) {
      MakeFolders(folder);
      const std::string path = folder + "/" + name;
      QFile::copy(QString::fromStdString(kTestTrial), QString::fromStdString(path));
      return path;
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
    // "Save graph as": a picture, a drawing and a document.
    TempDir dir;
    for (const char* name : {"g.png", "g.svg", "g.pdf"}) {
      QVERIFY(w.form->Graph()->SaveGraph(QString::fromStdString(dir.File(name))));
      QVERIFY(!ReadText(dir.File(name)).empty());
    }
    QVERIFY(ReadText(dir.File("g.svg")).find("<svg") != std::string::npos);
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

  void SaveThenOpenGivesTheSameTrialAndExportWritesIt() {
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
    // File → Export Data writes the export file of the trial in memory.
    const std::string exported = w.machine.DataFolder() + "/round.csv";
    w.program.dialogs.paths = {exported};
    w.program.form.findChild<QAction*>("mnuFileExport")->trigger();
    QCOMPARE(ReadText(exported).rfind("QLX Data Export File\r\n", 0), 0u);
  }

  void FileReportWritesThePageOfTheTrialShown() {
    Window w;
    QAction* report = w.program.form.findChild<QAction*>("mnuFileReport");
    QVERIFY(report != nullptr);
    QVERIFY(!report->isEnabled());  // no trial yet
    // A copy: closing may save the trial.
    QVERIFY(w.form->OpenFile(w.CopyOfTestTrial(w.machine.DataFolder(), "test.dat")));
    QVERIFY(report->isEnabled());
    auto& d = w.program.dialogs;
    std::string said;
    w.session.statusLog.messageListeners.push_back(
        [&said](std::string_view message) { said += std::string(message) + "\n"; });
    // The dialog offers "<trial>.pdf" in the data folder; ".pdf" is added.
    const std::string chosen = w.machine.DataFolder() + "/anna";
    d.paths = {chosen};
    report->trigger();
    QCOMPARE(d.fileRequests.back().initialName, std::string("test.pdf"));
    QFile pdf(QString::fromStdString(chosen + ".pdf"));
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QVERIFY(pdf.readAll().startsWith("%PDF-"));
    QVERIFY(said.find("Report written to " + chosen + ".pdf\n") != std::string::npos);
    // Cancelled: nothing written, nothing said.
    const std::size_t shown = d.shown.size();
    d.paths = {std::nullopt};
    QVERIFY(!w.form->ReportCommand());
    QCOMPARE(d.shown.size(), shown);
    // A folder that does not exist: a message, and no file.
    d.paths = {w.machine.DataFolder() + "/none/r.pdf"};
    QVERIFY(!w.form->ReportCommand());
    QCOMPARE(d.shown.back().title, std::string("Report"));
    QVERIFY(d.shown.back().text.rfind("The report could not be written: ", 0) == 0);
    // Closing the trial disables the entry again.
    w.form->CloseFileCommand();
    QVERIFY(!report->isEnabled());
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

  void SeeksStopWhereTheSeekOptionsSay() {
    Window w;
    QVERIFY(w.form->OpenFile(kTestTrial));
    auto* seek = Find<QCheckBox>(w.form, "CheckSeek");
    QTest::mousePress(seek, Qt::RightButton);
    FormSeekOptions* options = w.form->SeekOptionsWindow();
    QVERIFY(options->isVisible());
    QVERIFY(!seek->isChecked());  // the right button only opens the options
    Find<QCheckBox>(options, "CheckSeekMaximum")->setChecked(true);
    seek->click();
    AnalysisView expected = w.session.view;
    SeekMarker(expected, w.session.trial, w.session.settings, SelectedMarker::Marker1, true,
               ShownChannel::Displacement, options->Options());
    AnalysisView allClear = w.session.view;
    SeekMarker(allClear, w.session.trial, w.session.settings, SelectedMarker::Marker1, true,
               ShownChannel::Displacement, SeekOptions{});
    QVERIFY(expected.Marker1Sample != allClear.Marker1Sample);
    Find<QPushButton>(w.form, "butMarkRight")->click();
    QCOMPARE(w.session.view.Marker1Sample, expected.Marker1Sample);
  }

  // Graph Options and Scale and Offset edit the trial shown, on the main
  // window's undo stack, which another trial empties.
  void TheEditWindowsRedrawTheTrialAndAnotherTrialEmptiesTheUndoStack() {
    Window w;
    const std::string trial = w.CopyOfTestTrial(w.machine.DataFolder(), "edited.dat");
    QVERIFY(w.form->OpenFile(trial));
    QUndoStack& undo = w.program.form.UndoStack();
    QCPGraph* shown = w.form->Graph()->Plot()->graph(0);
    emit w.form->Graph()->GraphOptionsRequested();
    auto* options = w.form->findChild<FormGraphOptions*>("FormGraphOptions");
    QVERIFY(options != nullptr && options->isVisible());
    // The "currently displayed" copy follows the channel chosen.
    Find<QRadioButton>(w.form, "optForce")->click();
    Find<QPushButton>(options, "CommandCopyCurrentToClipboard")->click();
    QCOMPARE(QApplication::clipboard()->text().toStdString(),
             ShownDataSetClipboardText(w.session.trial, w.session.settings, w.session.view,
                                       ClipboardRange::BetweenPoints, ShownChannel::Force, false));
    // An offset to the force is drawn at once.
    FrmScaleOffsetData* scale = w.program.form.ScaleOffsetWindow();
    Find<QLineEdit>(scale, "txtForceOffset")->setText("100");
    Find<QPushButton>(scale, "cmdApplyForceOffset")->click();
    QCOMPARE(undo.count(), 1);
    QCOMPARE(shown->data()->at(300)->value, double(w.session.trial.Force[300]));
    // The offset search then its application recalculate with the window's boxes.
    Find<QRadioButton>(w.form, "optVel")->click();
    Find<QPushButton>(options, "CommandVelocityZeroAverageByForceOffset")->click();
    auto* apply = Find<QPushButton>(options, "CommandApplyOffsetToForce");
    QVERIFY(apply->isEnabled());
    apply->click();
    QCOMPARE(shown->data()->at(300)->value, double(w.session.trial.Velocity[300]));
    QVERIFY(w.form->LastResults().has_value());
    // A crop shortens the graph too.
    w.session.view.AnalysisStart = w.session.view.Marker1Sample = 200;
    w.session.view.AnalysisEnd = w.session.view.Marker2Sample = 1199;
    Find<QPushButton>(options, "CommandCrop")->click();
    QCOMPARE(w.session.settings.samples, 1000);
    QCOMPARE(shown->data()->size(), 1000);
    QVERIFY(undo.count() >= 3);
    QVERIFY(undo.canUndo());
    // Opening, closing or collecting another trial leaves nothing to undo.
    QVERIFY(w.form->OpenFile(trial));
    QCOMPARE(undo.count(), 0);
    Find<QPushButton>(scale, "cmdApplyForceOffset")->click();
    QCOMPARE(undo.count(), 1);
    w.program.dialogs.answers = {DialogAnswer::No};  // not saved
    w.form->CloseFileCommand();
    QCOMPARE(undo.count(), 0);
    Find<QPushButton>(scale, "cmdApplyForceOffset")->click();
    w.session.collection.hooks.showTrial();
    QCOMPARE(undo.count(), 0);
  }

  void TheResultsWindowFollowsTheTrialInMemory() {
    Window w;
    FrmProcess* process = w.program.form.ResultsWindow();
    auto box = [&](std::size_t i) {
      return Find<QLineEdit>(process, std::string(kResultsVariables[i].textBox).c_str())->text();
    };
    auto shownAreLast = [&] {
      for (std::size_t i = 0; i < kResultsVariableCount; ++i) {
        if (box(i).toStdString() != w.form->LastResults()->texts[i]) return false;
      }
      return true;
    };
    QVERIFY(w.form->OpenFile(kTestTrial));
    QVERIFY(w.form->LastResults().has_value());
    QVERIFY(shownAreLast());
    // A marker moved: the results of the new range.
    Find<QRadioButton>(w.form, "optMarker2")->click();
    Find<QPushButton>(w.form, "butMarkLeft10")->click();
    QVERIFY(shownAreLast());
    // "mean concentric only" runs the window's results again.
    const ResultsTexts before = w.form->LastResults()->texts;
    Find<QCheckBox>(process, "CheckMeanConcentricOnly")->click();
    AnalysisView view = w.session.view;
    const TrialResults only =
        ProcessData(ResultsInputOf(w.session.trial, w.session.settings), view,
                    ResultsOptions{.frameJump = false, .meanConcentricOnly = true});
    QVERIFY(only.texts != before);
    QVERIFY(w.form->LastResults()->texts == only.texts);
    QVERIFY(shownAreLast());
    // "Next" loads a trial of the folder; the analysis window shows it,
    // derived with the window's boxes.
    const std::string folder = w.machine.DataFolder() + "/trials";
    w.CopyOfTestTrial(folder, "next.qlx");
    w.program.dialogs.answers = {DialogAnswer::No};
    w.form->CloseFileCommand();
    QCOMPARE(w.form->Graph()->Plot()->graph(0)->data()->size(), w.session.settings.samples);
    w.program.dialogs.paths = {folder};
    Find<QPushButton>(process, "CommandOpenDataFolder")->click();
    Find<QPushButton>(process, "CommandNextFile")->click();
    QCOMPARE(w.session.settings.samples, 2000);
    QCOMPARE(w.form->Graph()->Plot()->graph(0)->data()->size(), 2000);
    QVERIFY(w.form->windowTitle().endsWith("next.qlx"));
    QVERIFY(shownAreLast());
  }

  void TheDigitalDisplayFollowsTheMouseOverTheGraph() {
    Window w;
    QVERIFY(w.form->OpenFile(kTestTrial));
    auto* force = Find<QLabel>(w.program.form.DigitalDisplay(), "lblForce");
    emit w.form->Graph()->MouseAt(700.2);
    QCOMPARE(force->text(), QString("-"));  // the display is not open
    w.program.form.findChild<QAction*>("mnuDigitalDisplay")->trigger();
    emit w.form->Graph()->MouseAt(700.2);
    QCOMPARE(force->text(),
             QString::fromStdString(FormatNumber(w.session.trial.Force[700], "0.0")));
  }

  // The program's close asks the analysis window whenever it is there: a
  // running collection is not ended without the user's word.
  void ClosingTheProgramDuringACollectionAsksToStopItFirst() {
    Window w;
    w.session.collection.phase = CollectionPhase::Collecting;
    w.program.dialogs.answers = {DialogAnswer::No};
    QVERIFY(!QueryCloseProgram(w.session));
    QCOMPARE(w.program.dialogs.shown.back().text, std::string(kStopCollectionQuestion));
    w.session.collection.phase = CollectionPhase::Idle;
  }

  void ACollectionFromTheWindowRecordsDerivesAndShowsTheTrial() {
    Collected k(0);
    Session& session = k.f.session;
    FrmAnalysis& form = *k.form;
    auto* box = Find<QLineEdit>(&form, "TextEndPoint");
    auto* collect = Find<QPushButton>(&form, "cmdCollect");
    collect->click();
    QCOMPARE(collect->text(), QString("&Stop"));
    QVERIFY(form.Busy());
    QVERIFY(!Find<QPushButton>(&form, "cmdLoadFile")->isEnabled());
    QVERIFY(!box->isEnabled());
    QVERIFY(k.Finish());
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
    // A whole collection warns of nothing.
    for (const auto& m : k.f.t.dialogs.shown) QVERIFY(m.icon != MessageIcon::Exclamation);
  }

  void ADamagedCollectionIsToldBeforeTheTrialCanBeSaved() {
    Collected k(97);
    Session& session = k.f.session;
    // Told once the collection is idle, before anything else may happen.
    bool warnedWhenIdle = false;
    session.collection.hooks.stateChanged = [&, before = session.collection.hooks.stateChanged] {
      before();
      if (session.collection.phase != CollectionPhase::Idle) return;
      for (const auto& m : k.f.t.dialogs.shown) warnedWhenIdle |= m.title == "Collection damaged";
    };
    Find<QPushButton>(k.form.get(), "cmdCollect")->click();
    QVERIFY(k.Finish());
    QCOMPARE(session.collection.outcome, CollectionOutcome::Damaged);
    std::vector<ScriptedDialogs::Shown> warnings;
    for (const auto& m : k.f.t.dialogs.shown) {
      if (m.icon == MessageIcon::Exclamation) warnings.push_back(m);
    }
    QCOMPARE(warnings.size(), std::size_t{1});
    QCOMPARE(warnings[0].title, std::string("Collection damaged"));
    QCOMPARE(warnings[0].text, CollectionOutcomeText(session.collection, session.settings.samples));
    QVERIFY(warnedWhenIdle);
  }
};

}  // namespace torvane::testing

QTEST_MAIN(torvane::testing::FrmAnalysisTest)
#include "frm_analysis_test.moc"
