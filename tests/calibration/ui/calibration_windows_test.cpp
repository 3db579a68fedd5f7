// The calibration windows on the offscreen platform: opened from the
// configuration window's Calibration tab, a reading refused without a
// stream, the factor recomputed as the boxes change, Done refused and
// accepted, Cancel putting the values back, and the log shown.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "acquisition/collection_session.hpp"
#include "calibration/ui/calibration_windows.hpp"
#include "common/number_text.hpp"
#include "config/ini_file.hpp"
#include "config/ui/frm_config.hpp"
#include "ui_test_support.hpp"

namespace torvane {

using testing::Machine;
using testing::Program;
using testing::WhenModalOpens;

namespace {

template <typename W = QWidget>
W* Control(const QWidget* window, const char* name) {
  W* control = window->findChild<W*>(name);
  if (control == nullptr) qWarning("no control %s", name);
  return control;
}

void Type(QWidget* window, const char* name, const QString& text) {
  auto* box = Control<QLineEdit>(window, name);
  box->selectAll();
  box->del();
  QTest::keyClicks(box, text);
}

QString Text(QWidget* window, const char* name) {
  return Control<QLabel>(window, name)->text();
}

struct CalibrationFixture {
  Machine machine;
  Program program;
  SettingsRecord& s = program.session.settings;

  CalibrationFixture() {
    machine.WriteConfig("", "ZRA6PlusInput=true\r\n");
    program.Start();
    program.session.DemoMode = true;
    s.DispCalSlope = 0.009f;
    s.DispInt = 12;
    s.ForceCalSlope = 3.0f;
    s.ForceInt = 7;
  }
};

}  // namespace

class CalibrationWindowsTest : public QObject {
  Q_OBJECT

 private slots:
  void thePositionWindowFromTheConfigurationWindowRefusesThenAccepts() {
    CalibrationFixture f;
    FrmConfig* config = f.program.form.ConfigWindow();
    config->show();
    bool opened = false;
    WhenModalOpens("frmCalibrate", [&](QWidget* window) {
      opened = true;
      QCOMPARE(window->windowTitle(), QString("Calibrate Displacement"));
      // Demonstration mode has no stream: the reading is refused at once.
      Control<QPushButton>(window, "cmdCalBottom")->click();
      QCOMPARE(f.program.dialogs.shown.back().text, std::string(kReadingRefusedInDemonstration));
      QCOMPARE(Text(window, "lblBottomPosition"), QString());
      Control<QPushButton>(window, "cmdCalDone")->click();
      QCOMPARE(f.program.dialogs.shown.back().text, std::string(kPositionReadingsMissing));
      // Readings as the unit would give them; the factor follows the distance.
      auto* calibration = static_cast<FrmCalibrate*>(window);
      calibration->State().lowReading = 1000;
      calibration->State().highReading = 1800;
      Type(window, "txtCalDistance", "0.8");
      QCOMPARE(Text(window, "lblCalFactor"), QString("0.001"));
      QCOMPARE(Text(window, "lblTopPosition"), QString(" 1800"));
      Control<QPushButton>(window, "cmdCalDone")->click();
    });
    Control<QPushButton>(config, "cmdCalibratePosition")->click();
    QVERIFY(opened);
    QCOMPARE(f.s.DispCalSlope, 0.001f);
    QCOMPARE(f.s.DispInt, 1000.0f);
    QCOMPARE(Control<QLineEdit>(config, "txtDSlope")->text(), QString("0.001000"));
    QVERIFY(f.machine.Read("QLXCalibration.log").find("Displacement Cal. Slope: 0.001\r\n") !=
            std::string::npos);
    QCOMPARE(
        LeadingNumber(ReadIniValue("Data Processing", "DispCalSlope", "", f.machine.ConfigPath())),
        0.001);
  }

  void theForceWindowConvertsUnitsRecomputesCancelsAndShowsTheLog() {
    CalibrationFixture f;
    std::vector<QUrl> opened;
    FrmCalForce window(f.program.session, [&](const QUrl& url) {
      opened.push_back(url);
      return true;
    });
    window.show();
    QVERIFY(Control<QRadioButton>(&window, "OptionForceKG")->isChecked());
    window.State().lowReading = 400;
    window.State().highReading = 1380;
    Type(&window, "txtCalForceA", "0");
    Type(&window, "txtCalForceB", "50");
    QCOMPARE(Text(&window, "lblCalFactor"), QString("0.5003572"));
    // A load edited recomputes the factor at once.
    Type(&window, "txtCalForceB", "100");
    QCOMPARE(Text(&window, "lblCalFactor"), QString("1.000714"));
    Control<QRadioButton>(&window, "OptionForceNewtons")->click();
    QCOMPARE(Control<QLineEdit>(&window, "txtCalForceB")->text(), QString("980.7"));
    QCOMPARE(Text(&window, "lblCalFactor"), QString("1.000714"));
    Type(&window, "txtCalForceB", "0");
    Control<QPushButton>(&window, "cmdCalDone")->click();
    QCOMPARE(f.program.dialogs.shown.back().text, std::string(kForceLoadsOutOfOrder));
    QVERIFY(window.isVisible());

    // The log is shown by the desktop's viewer once there is one.
    Control<QPushButton>(&window, "cmdViewCalLog")->click();
    QVERIFY(opened.empty());
    const std::string log = CalibrationLogPath(f.s);
    QCOMPARE(AppendCalibrationLog(log, "x"), std::string());
    Control<QPushButton>(&window, "cmdViewCalLog")->click();
    QCOMPARE(opened.size(), std::size_t{1});
    QCOMPARE(opened[0].toLocalFile().toStdString(), log);

    f.s.ForceInt = 99;  // changed meanwhile: Cancel puts it back
    Control<QPushButton>(&window, "cmdCancelCalibration")->click();
    QVERIFY(!window.isVisible());
    QCOMPARE(f.s.ForceInt, 7.0f);
    QCOMPARE(f.s.ForceCalSlope, 3.0f);
  }
};

}  // namespace torvane

QTEST_MAIN(torvane::CalibrationWindowsTest)
#include "calibration_windows_test.moc"
