// The training window offscreen: a set recorded from the simulated unit
// fills the grid, the chart and the summary; the feedback window and sound
// over and under the threshold; a save and load round trip; the printout;
// the mass box's refusal and the View entry.
#include <qcustomplot.h>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>

#include "link/link_fixture.hpp"
#include "shell/training_session.hpp"
#include "sim/unit_emulator.hpp"
#include "training/training_file.hpp"
#include "training/ui/feedback_sounds.hpp"
#include "training/ui/frm_training.hpp"
#include "training/ui/frm_visual_feedback.hpp"
#include "ui_test_support.hpp"

namespace torvane::testing {

namespace {

template <typename T>
T* Find(QWidget* form, const char* name) {
  T* w = form->findChild<T*>(name);
  if (w == nullptr) qFatal("no control %s", name);
  return w;
}

QString LabelText(QWidget* form, const char* name) {
  return Find<QLabel>(form, name)->text();
}

QStringList GridRow(QWidget* form, int row) {
  auto* grid = Find<QTableWidget>(form, "Grid");
  QStringList texts;
  for (int c = 0; c < grid->columnCount(); ++c)
    texts << (grid->item(row, c) ? grid->item(row, c)->text() : QString());
  return texts;
}

QStringList Expected(const std::array<std::string, kRepetitionGridColumns>& row) {
  QStringList texts;
  for (const std::string& t : row) texts << QString::fromStdString(t);
  return texts;
}

// A set whose repetitions reach `tops` (m), each 0.4 m deep.
RepetitionSet MakeSet(const std::vector<float>& tops) {
  RepetitionSet set;
  for (std::size_t i = 0; i < tops.size(); ++i) {
    set.EnsureIndex(static_cast<std::int32_t>(i));
    set.RepMaxHeight[i] = tops[i];
    set.RepMinHeight[i] = tops[i] - 0.4f;
    set.RepContactTime[i] = 700.0f + static_cast<float>(i);
    set.RepPeakVelocity[i] = 1.1f;
    set.RepPower[i] = 450.0f;
    set.RepWork[i] = 314.0f;
  }
  set.RepCount = static_cast<std::int32_t>(tops.size());
  return set;
}

// A training window on simulated time with scripted dialogs.
struct Window {
  LinkFixture f;
  Session& session = f.session;
  std::unique_ptr<FrmTraining> form;
  TempDir dir;
  Window() {
    session.settings.weight = 80;
    session.settings.DataDirectory = dir.path();
    form = std::make_unique<FrmTraining>(session);
  }
  std::string WriteSet(const std::vector<float>& tops, const std::string& name = "set.dat") {
    SquadMember athlete{"7", "Ann", "Lee", 80};
    const std::string path = dir.path() + "/" + name;
    WriteText(path, TrainingFileText(MakeSet(tops), athlete, 82.5f, false, LocalDateTime{}));
    return path;
  }
  void Click(const char* name) { Find<QPushButton>(form.get(), name)->click(); }
  void Type(const char* box, const QString& text) {
    auto* edit = Find<QLineEdit>(form.get(), box);
    edit->setText(text);
    emit edit->editingFinished();
  }
};

}  // namespace

class FrmTrainingTest : public QObject {
  Q_OBJECT

 private slots:
  void aSetRecordedFromTheSimulatedUnitFillsTheGridChartAndSummary() {
    Window w;
    SettingsRecord& s = w.session.settings;
    s.ZRA6PlusInput = true;
    s.frequency = 200;
    s.RecordForce = false;
    // The transducer reads the bar from above: a squat's descent rises.
    s.DispCalSlope = -0.001f;
    s.repthreshold = 0.05f;
    w.session.collection.durationSeconds = 16;
    sim::UnitOptions options;
    options.model = sim::UnitModel::Zra6Plus;
    options.profile = sim::ProfileKind::SquatReps;
    options.sensor.calibration.dispSlope = 0.001;
    auto unit = sim::MakeUnitEmulator(options);
    LoopbackLine* line = w.f.usb.get();
    line->onWrite = [&](const std::string& bytes) {
      unit->Receive(bytes, w.f.loop.Milliseconds());
      line->Deliver(unit->Produce(w.f.loop.Milliseconds()));
    };
    w.f.loop.SetPumpHook([&] { line->Deliver(unit->Produce(w.f.loop.Milliseconds())); });

    w.Click("cmdStartStopRecord");
    QCOMPARE(Find<QPushButton>(w.form.get(), "cmdStartStopRecord")->text(), QString("S&top"));
    QVERIFY(!Find<QPushButton>(w.form.get(), "cmdLoadSet")->isEnabled());
    QCOMPARE(LabelText(w.form.get(), "lblShowStat"), QString("Recording"));
    QVERIFY(WaitUntil(w.f.loop, w.f.loop, 30000, [&] { return !w.session.collection.collecting; }));
    QVERIFY(WaitUntil(w.f.loop, w.f.loop, 1000,
                      [&] { return w.session.training.phase == TrainingPhase::Stopped; }));

    const RepetitionSet& set = w.session.training.set();
    QCOMPARE(set.RepCount, 5);
    for (int r = 1; r <= set.RepCount; ++r)
      QCOMPARE(GridRow(w.form.get(), r - 1), Expected(RepetitionGridRow(set, r)));
    QCOMPARE(GridRow(w.form.get(), 5), QStringList(7, QString()));
    QVERIFY(std::abs(set.RepMaxHeight[0] - set.RepMinHeight[0] - 0.45f) < 0.01f);
    QCOMPARE(w.form->Chart()->plottable(0)->interface1D()->dataCount(), 5);
    const SetSummaryTexts summary = SetSummaryLabels(SummariseSet(set));
    QCOMPARE(LabelText(w.form.get(), "LabelTotalReps"), QString("5"));
    QCOMPARE(LabelText(w.form.get(), "LabelTotalWork"), QString::fromStdString(summary.totalWork));
    QCOMPARE(LabelText(w.form.get(), "LabelAvgVelocity"),
             QString::fromStdString(summary.average[3]));
    // Stopped by itself: Start again, the commands back, the rate shown.
    QCOMPARE(Find<QPushButton>(w.form.get(), "cmdStartStopRecord")->text(), QString("S&tart"));
    QVERIFY(Find<QPushButton>(w.form.get(), "cmdLoadSet")->isEnabled());
    QVERIFY(LabelText(w.form.get(), "lblTrainSampleFreq") != QString("0.0"));
    // New Set empties the grid, the chart and the summary.
    w.Click("cmdNewSet");
    QCOMPARE(GridRow(w.form.get(), 0), QStringList(7, QString()));
    QCOMPARE(w.form->Chart()->plottable(0)->interface1D()->dataCount(), 0);
    QCOMPARE(LabelText(w.form.get(), "LabelAvgMaxDist"), QString());
  }

  void feedbackOverAndUnderColoursTheWindowAndPicksTheSound() {
    Window w;
    w.session.settings.mmavailable = true;
    w.Type("txtThreshold", "0.5");
    QCOMPARE(w.session.settings.FeedbackThreshold, 0.5f);
    FrmVisualFeedback* feedback = w.form->FeedbackWindow();
    QVERIFY(!feedback->isVisible());
    // Loading gives each repetition its feedback: the last one is under.
    QVERIFY(LoadTrainingFile(TrainingContextOf(w.session), w.WriteSet({0.6f, 0.3f})));
    QVERIFY(feedback->isVisible());
    QCOMPARE(feedback->Value()->text(), QString("0.3"));
    QCOMPARE(feedback->palette().color(QPalette::Window), QColor(255, 0, 0));
    QCOMPARE(feedback->Value()->palette().color(QPalette::WindowText), QColor(0, 192, 0));
    QCOMPARE(w.form->Sounds().LastRequested(), FeedbackSound::Under);
    QCOMPARE(w.form->Sounds().Requests(), 2);
    // A value equal to the threshold is over; without media playback: the beep.
    w.session.settings.mmavailable = false;
    w.Type("txtThreshold", "0.3");
    QVERIFY(LoadTrainingFile(TrainingContextOf(w.session), w.WriteSet({0.6f, 0.3f})));
    QCOMPARE(feedback->palette().color(QPalette::Window), QColor(0, 192, 0));
    QCOMPARE(feedback->Value()->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QCOMPARE(w.form->Sounds().LastRequested(), FeedbackSound::Beep);
    // No audio output is told once, however many sounds were asked for.
    if (!w.form->Sounds().AudioAvailable())
      QCOMPARE(std::count(w.f.log.begin(), w.f.log.end(),
                          "No audio output found: training feedback is shown, not heard"),
               1);
    // The count-in of a collection shows there too.
    w.session.collection.hooks.showCountIn(3);
    QCOMPARE(feedback->Value()->text(), QString("3"));
    w.session.collection.hooks.showCountIn(-1);
    QVERIFY(!feedback->isVisible());
    // A configured sound file that is gone is found among the installed ones.
    QCOMPARE(FeedbackSounds::SoundFilePath("/gone/over.wav"),
             QString(TORVANE_SOURCE_DATA_DIR) + "/over.wav");
  }

  void aSavedSetLoadsBackWithItsMassAndAthlete() {
    Window w;
    SquadTable& squad = w.session.squad;
    squad.SquadCount = 1;
    squad.SquadMembers[1] = {"7", "Ann", "Lee", 80};
    squad.CurrentAthlete = 1;
    QVERIFY(LoadTrainingFile(TrainingContextOf(w.session), w.WriteSet({0.5f, 0.62f, 0.58f})));
    w.Type("txtWeight", "90");
    const QStringList second = GridRow(w.form.get(), 1);
    const std::string path = w.dir.path() + "/saved.dat";
    w.f.t.dialogs.paths.push_back(path);
    w.Click("cmdSaveTrainingData");
    QVERIFY(FileExists(path));
    // Another athlete and mass, an empty set: loading brings them back.
    w.Click("cmdNewSet");
    w.Type("txtWeight", "60");
    squad.CurrentAthlete = 0;
    w.f.t.dialogs.shown.clear();
    w.f.t.dialogs.paths.push_back(path);
    w.Click("cmdLoadSet");
    QCOMPARE(GridRow(w.form.get(), 1), second);
    QCOMPARE(w.session.training.set().RepCount, 3);
    QCOMPARE(w.session.settings.weight, 90.0f);
    QCOMPARE(Find<QLineEdit>(w.form.get(), "txtWeight")->text().trimmed(), QString("90"));
    QCOMPARE(squad.CurrentAthlete, std::int16_t{1});
    QCOMPARE(w.f.t.dialogs.shown.size(), std::size_t{1});
    QCOMPARE(w.f.t.dialogs.shown[0].title, std::string("Training Data"));
    QVERIFY(w.f.t.dialogs.shown[0].text.find("QLX Training File for Ann Lee ID: 7") == 0);
    QCOMPARE(w.form->Chart()->plottable(0)->interface1D()->dataCount(), 3);
    QVERIFY(Find<QRadioButton>(w.form.get(), "optMaxHeight")->isChecked());
  }

  void theSetPrintsToAsManyPagesAsItNeeds() {
    Window w;
    std::vector<float> tops(150, 0.5f);
    QVERIFY(LoadTrainingFile(TrainingContextOf(w.session), w.WriteSet(tops)));
    const QString pdf = QString::fromStdString(w.dir.path() + "/set.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    QVERIFY(w.form->PrintSet(printer));
    const std::string bytes = ReadText(pdf.toStdString());
    QVERIFY(bytes.rfind("%PDF", 0) == 0);
    QProcess info;
    info.start("pdfinfo", {pdf});
    int pages = 0;
    if (info.waitForFinished(10000) && info.exitCode() == 0) {
      const QString out = QString::fromUtf8(info.readAllStandardOutput());
      const auto match = QRegularExpression("Pages:\\s+(\\d+)").match(out);
      pages = match.captured(1).toInt();
    } else {
      pages =
          static_cast<int>(QString::fromLatin1(bytes.c_str(), static_cast<qsizetype>(bytes.size()))
                               .count(QRegularExpression("/Type\\s*/Page[^s]")));
    }
    // 153 lines do not fit one page.
    QVERIFY2(pages >= 2, qPrintable(QString::number(pages)));
  }

  void theMassBoxRefusesNothingAndFlightPhaseRelabels() {
    Window w;
    w.Type("txtWeight", "0");
    auto* box = Find<QLineEdit>(w.form.get(), "txtWeight");
    QCOMPARE(w.session.settings.weight, 80.0f);
    QCOMPARE(box->toolTip(), QString(kMassRefused));
    QVERIFY(box->styleSheet().contains("red"));
    w.Type("txtWeight", "75");
    QCOMPARE(w.session.settings.weight, 75.0f);
    QVERIFY(box->toolTip().isEmpty());
    auto* grid = Find<QTableWidget>(w.form.get(), "Grid");
    QCOMPARE(grid->horizontalHeaderItem(3)->text(), QString("Concent"));
    Find<QCheckBox>(w.form.get(), "chkFlightPhase")->click();
    QVERIFY(w.session.training.FlightPhaseMode);
    QCOMPARE(grid->horizontalHeaderItem(3)->text(), QString("Contact"));
    QCOMPARE(Find<QRadioButton>(w.form.get(), "optContactTime")->text(), QString("Contact Time"));
    // The brake box is the user's switch for the brake on the way up.
    Find<QCheckBox>(w.form.get(), "chkBrakeOn")->click();
    QVERIFY(w.session.settings.BrakeOnUp);
  }

  void theViewEntryShowsAndHidesTheTrainingWindow() {
    Machine machine;
    machine.WriteConfig("", "");
    Program program;
    FrmTraining* form = InstallTrainingWindow(program.session, program.form);
    program.Start();
    auto* entry = program.form.findChild<QAction*>("mnuTraining");
    QVERIFY(entry->isEnabled());
    QMdiSubWindow* window = program.form.ChildWindowOf(ChildWindow::Training);
    QCOMPARE(window->widget(), form);
    entry->trigger();
    QVERIFY(window->isVisible());
    entry->trigger();
    QVERIFY(!window->isVisible());
    // A zeroing reading asked by training brings the window back.
    program.session.collection.hooks.showTrainingWindow();
    QVERIFY(window->isVisible());
    QVERIFY(entry->isChecked());
    // The grid starts with the configured number of rows.
    QCOMPARE(Find<QTableWidget>(form, "Grid")->rowCount(), int{program.session.settings.maxreps});
  }
};

}  // namespace torvane::testing

QTEST_MAIN(torvane::testing::FrmTrainingTest)
#include "frm_training_test.moc"
