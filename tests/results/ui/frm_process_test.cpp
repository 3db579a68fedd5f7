// The results window on the offscreen platform: a folder worked through
// with "Next" (a refused file in it), rows saved, "Process all" against
// torvane-cli batch, and the results workbook opened.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTest>

#include "cli/commands.hpp"
#include "config/settings_io.hpp"
#include "results/trial_file_texts.hpp"
#include "results/ui/frm_process.hpp"
#include "ui_test_support.hpp"

namespace torvane {

using testing::Machine;
using testing::Program;

namespace {

struct Folder {
  Machine machine;
  Program program;
  FrmProcess& window = *program.form.ResultsWindow();
  std::string folder = machine.DataFolder() + "/trials";

  Folder() {
    MakeFolders(folder);
    SettingsRecord& s = program.session.settings;
    LoadSettingsReadOnly(s, "", machine.DataFolder());
    s.exceloutput = true;
    s.ProgramDataDirectory = machine.DataFolder();
  }
  void Write(const std::string& name, const std::string& text) {
    WriteFileReplacing(folder + "/" + name, text);
  }
  template <typename T>
  T* Find(const char* name) {
    T* child = window.findChild<T*>(name);
    if (child == nullptr) qWarning("no control %s", name);
    return child;
  }
  void Click(const char* name) { Find<QPushButton>(name)->click(); }
  void ChooseFolder() {
    program.dialogs.paths.push_back(folder);
    Click("CommandOpenDataFolder");
  }
};

std::string JumpText(double takeOff) {
  testing::JumpShape shape;
  shape.takeOffVelocity = takeOff;
  return testing::Version2Text(testing::JumpFile(shape, true, true));
}

}  // namespace

class FrmProcessTest : public QObject {
  Q_OBJECT

 private slots:
  void nextStepsOverARefusedFileAndSavesOnlyRowsOfFilesRead() {
    Folder f;
    f.Write("1.qlx", JumpText(2.5));
    f.Write("2.qlx", "\"QLX Training File\",\"x\"\r\n");
    f.Write("3.qlx", JumpText(2.2));
    f.ChooseFolder();
    QCOMPARE(f.Find<QLabel>("LabelFileCount")->text(), QString(" 1 of  3"));
    f.Click("CommandDeSelectAll");
    QVERIFY(f.Find<QCheckBox>("CheckJumpHeightFromFT")->isChecked());
    QCOMPARE(f.Find<QPushButton>("CommandDeSelectAll")->text(), QString("De-Select All"));

    f.Click("CommandNextFile");
    const QString first = f.Find<QLineEdit>("TextJumpHeightFromPkVel")->text();
    QVERIFY(!first.isEmpty());
    // Beside the results, the trial's flags: 0.4 s of standing is too short to weigh by.
    QListWidget* quality = f.Find<QListWidget>("ListQuality");
    QVERIFY(quality->item(0)->text().contains("short-weighing: There is no second"));
    f.Click("cmdSaveResults");
    Session& s = f.program.session;
    QCOMPARE(s.results.ResultsRow, 4);

    f.Click("CommandNextFile");  // the training file: refused, nothing shown
    QCOMPARE(f.Find<QLabel>("LabelFileCount")->text(), QString(" 2 of  3"));
    QVERIFY(f.Find<QLineEdit>("TextJumpHeightFromPkVel")->text().isEmpty());
    QCOMPARE(quality->count(), 0);
    f.Click("cmdSaveResults");
    QCOMPARE(s.results.ResultsRow, 4);
    QCOMPARE(QString::fromStdString(f.program.dialogs.shown.back().text),
             QString::fromStdString("No results row was written: " + f.folder +
                                    "/2.qlx could not be read."));

    f.Click("CommandNextFile");
    QCOMPARE(f.Find<QLabel>("LabelFileCount")->text(), QString(" 3 of  3"));
    QVERIFY(f.Find<QLineEdit>("TextJumpHeightFromPkVel")->text() != first);
    f.Click("cmdSaveResults");
    QCOMPARE(s.results.ResultsRow, 5);
    QVERIFY(FileExists(f.machine.DataFolder() + "/QLXResults.xlsx"));

    // The workbook opens in the desktop's spreadsheet program.
    f.Click("CommandOpenResults");
    QCOMPARE(f.program.opened.size(), std::size_t{1});
    QCOMPARE(f.program.opened[0].toLocalFile(),
             QString::fromStdString(f.machine.DataFolder() + "/QLXResults.xlsx"));
  }

  void processAllWritesTheRowsOfTorvaneCliBatch() {
    Folder f;
    f.Write("a.qlx", JumpText(2.5));
    f.Write("b.qlx", JumpText(2.1));
    f.Write("c.qlx", "not a trial at all");
    f.Write("d.qlx", JumpText(2.8));
    f.Write("e.qlx", testing::Version2Text(testing::JumpFile({}, true, false)));
    f.ChooseFolder();
    f.Click("CommandDeSelectAll");
    QSignalSpy finished(&f.window, &FrmProcess::ProcessAllFinished);
    f.Click("CommandProcessAll");
    QVERIFY(finished.wait(20000));
    Session& s = f.program.session;
    QCOMPARE(s.results.ResultsRow, 7);  // title, header, four rows

    const std::string out = f.machine.DataFolder() + "/cli.csv";
    std::ostringstream cliOut, cliErr;
    cli::Io io{cliOut, cliErr, false};
    const std::vector<std::string> args = {"batch", f.folder, "-o", out};
    QCOMPARE(cli::Main(args, io), 1);  // c.qlx is skipped
    QCOMPARE(QString::fromStdString(ResultsWorksheetCsvText(s.results.sheet)),
             QString::fromStdString(ReadWholeFile(out).bytes));
    QVERIFY(f.program.dialogs.shown.back().text.find("c.qlx") != std::string::npos);
    // Nothing is left for a second run.
    f.Click("CommandProcessAll");
    QCOMPARE(f.program.dialogs.shown.back().text,
             std::string("There is no trial file to process."));
  }

  void lookAtTheWindow() {
    Folder f;
    f.Write("a.qlx", JumpText(2.5));
    f.ChooseFolder();
    f.Click("CommandNextFile");
    f.window.resize(FrmProcess::LoadSize());
    f.window.show();
    const QPixmap picture = f.window.grab();  // lays the window out as shown
    if (const QByteArray png = qgetenv("TORVANE_UI_PNG"); !png.isEmpty()) {
      picture.save(QString::fromUtf8(png));
    }
    // At its load size every result shows without scrolling.
    QWidget* content = f.Find<QScrollArea>("ResultsScroll")->widget();
    QVERIFY(content->minimumSizeHint().width() <=
            f.Find<QScrollArea>("ResultsScroll")->viewport()->width());
    QVERIFY(content->minimumSizeHint().height() <=
            f.Find<QScrollArea>("ResultsScroll")->viewport()->height());
  }
};

}  // namespace torvane

QTEST_MAIN(torvane::FrmProcessTest)
#include "frm_process_test.moc"
