// The configuration and first-run windows on the offscreen platform: their
// controls, the rules they apply as the user types, and what they save.

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include "config/config_window_rules.hpp"
#include "config/ini_file.hpp"
#include "config/settings_keys.hpp"
#include "config/ui/frm_config.hpp"
#include "config/ui/frm_first_time.hpp"
#include "shell/config_window_rules.hpp"
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

// Types into a box as a user does: the old text selected and replaced, and
// Return pressed (the editing finished).
void Type(QWidget* window, const char* name, const QString& text) {
  auto* box = Control<QLineEdit>(window, name);
  box->selectAll();
  box->del();
  QTest::keyClicks(box, text);
  QTest::keyClick(box, Qt::Key_Return);
}

QString Text(QWidget* window, const char* name) {
  return Control<QLineEdit>(window, name)->text();
}

// A session with a configuration file in a temporary folder, a ZRA6+ selected.
struct ConfigFixture {
  Machine machine;
  Program program;
  SettingsRecord& s = program.session.settings;
  FrmConfig* window;

  ConfigFixture() {
    machine.WriteConfig("", "ZRA6PlusInput=true\r\n");
    program.Start();
    s.samples = 1000;
    s.frequency = 500;
    window = program.form.ConfigWindow();
    window->show();
  }
  const ScriptedDialogs::Shown& LastMessage() const { return program.dialogs.shown.back(); }
};

}  // namespace

class ConfigWindowsTest : public QObject {
  Q_OBJECT

 private slots:
  void theTabsPortListsAndLoadedValues() {
    ConfigFixture f;
    QCOMPARE(f.window->windowTitle(), QString("Configuration"));
    auto* tabs = Control<QTabWidget>(f.window, "ConfigTabStrip");
    QStringList captions;
    for (int i = 0; i < tabs->count(); ++i) captions << tabs->tabText(i);
    QCOMPARE(captions, (QStringList{"General", "File Locations", "Data Collection", "Calibration",
                                    "Filter Settings", "Brake Control"}));
    QCOMPARE(Control<QComboBox>(f.window, "cboCommPort")->count(), 20);
    QCOMPARE(Control<QComboBox>(f.window, "ComboAccelerometerCommsPort")->itemText(23),
             QString("COM24"));
    QCOMPARE(Control<QRadioButton>(f.window, "OptionBrakeAboveZero")->text(),
             QString("Brake is switched OFF when  below zero"));
    // Loaded from the settings.
    QCOMPARE(Control<QLineEdit>(f.window, "txtSampleFrequency")->text(), QString("500"));
    QCOMPARE(Control<QLineEdit>(f.window, "txtDuration")->text(), QString("2"));
    QCOMPARE(Control<QLineEdit>(f.window, "txtDSlope")->text(), QString("0.009000"));
    QCOMPARE(Control<QLineEdit>(f.window, "txtFSlope")->text(), QString("3.00000000"));
    QVERIFY(Control<QRadioButton>(f.window, "OptionZRA6PlusInput")->isChecked());
    QVERIFY(Control(f.window, "FrameZRA6Interface")->isHidden());
  }

  // The table of keys names the tab and the controls that edit each setting.
  void everyShownSettingIsOnItsTab() {
    ConfigFixture f;
    auto* tabs = Control<QTabWidget>(f.window, "ConfigTabStrip");
    int shown = 0;
    for (const SettingKey& k : SettingKeys()) {
      if (k.windowTab == nullptr) continue;
      QWidget* tab = nullptr;
      for (int i = 0; i < tabs->count(); ++i) {
        if (tabs->tabText(i) == k.windowTab) tab = tabs->widget(i);
      }
      QVERIFY2(tab != nullptr, k.key);
      for (const QString& name : QString(k.windowControls).split(' ')) {
        QVERIFY2(tab->findChild<QWidget*>(name) != nullptr, qPrintable(name));
        ++shown;
      }
    }
    QCOMPARE(shown, 39);
  }

  void theFrequencyFollowsTheUnit() {
    ConfigFixture f;
    Type(f.window, "txtSampleFrequency", "750");
    QCOMPARE(Control<QLineEdit>(f.window, "txtSampleFrequency")->text(), QString("500"));
    QCOMPARE(f.s.frequency, 500);
    Type(f.window, "txtSampleFrequency", "250");
    QCOMPARE(f.s.frequency, 250);
    QCOMPARE(f.s.samples, 500);  // two seconds
    QCOMPARE(Control<QLabel>(f.window, "LabelNumberOfSamples")->text(),
             QString("Number of Samples = 500.0"));
    QCOMPARE(f.program.session.statusBar.Panel(2).text, std::string("Rate 250Hz"));
  }

  void durationAndSampleCountStayWithinTheSizeLimit() {
    ConfigFixture f;
    Type(f.window, "txtDuration", "2000");
    QCOMPARE(f.LastMessage().title, std::string("Maximum sample number exceeded"));
    QCOMPARE(f.s.samples, 1000);
    QCOMPARE(Control<QLineEdit>(f.window, "txtDuration")->text(), QString("2"));
    Type(f.window, "txtDuration", "3.5");
    QCOMPARE(f.s.samples, 1750);
    QCOMPARE(f.program.session.statusBar.Panel(4).text, std::string("Duration 3.5 secs"));
  }

  void theMassIsTestedWhenItsEditingIsFinished() {
    ConfigFixture f;
    const std::size_t before = f.program.dialogs.shown.size();
    QTest::keyClicks(Control<QLineEdit>(f.window, "txtWeight"), "0");  // not yet finished
    QCOMPARE(f.program.dialogs.shown.size(), before);
    Type(f.window, "txtWeight", "0");
    QCOMPARE(f.LastMessage().title, std::string("Error entering weight"));
    QCOMPARE(f.LastMessage().text,
             std::string("Weight entered must be greater than zero kilograms"));
    QCOMPARE(f.s.weight, 80.0f);
    QCOMPARE(Text(f.window, "txtWeight"), QString("80"));
    const std::size_t shown = f.program.dialogs.shown.size();
    Type(f.window, "txtWeight", "72.5");
    QCOMPARE(f.s.weight, 72.5f);
    QCOMPARE(f.program.dialogs.shown.size(), shown);
  }

  // The values of the issue that once reached the file: each is refused
  // with its range, the box shows the previous value, "&Close" saves that.
  void numberBoxesRefuseTextAndOutOfRangeValuesAndTheFileKeepsThePrevious() {
    ConfigFixture f;
    f.s.velocFc = 16;
    Control<QPushButton>(f.window, "butExitConfig")->click();
    const std::string before = f.machine.Read("QLXConfig.ini");
    f.window->show();
    const std::pair<const char*, const char*> refused[] = {
        {"txtRepThreshold", "xyz"}, {"txtSampleFrequency", "fast"}, {"txtDuration", "-3"},
        {"txtDispFc", "5000"},      {"txtFlightThreshold", "-999"}, {"txtSampleFrequency", "20"},
        {"txtBrakeLevel", "150"},   {"TextmRFDEpoch", "0"},         {"txtFSlope", "3 N"}};
    for (const auto& [box, text] : refused) {
      const QString previous = Text(f.window, box);
      const std::size_t shown = f.program.dialogs.shown.size();
      Type(f.window, box, text);
      QCOMPARE(f.program.dialogs.shown.size(), shown + 1);
      QCOMPARE(f.LastMessage().title, std::string("Setting not accepted"));
      QCOMPARE(Text(f.window, box), previous);
    }
    QVERIFY(f.LastMessage().text.find("must be a number") != std::string::npos);
    QCOMPARE(f.program.session.statusBar.Panel(2).text, std::string("Rate 500Hz"));
    Control<QPushButton>(f.window, "butExitConfig")->click();
    QCOMPARE(f.machine.Read("QLXConfig.ini"), before);
  }

  void theConnectionLabelShowsTheLinkAsItIsWhenTheWindowOpens() {
    ConfigFixture f;
    f.window->hide();
    f.program.session.hooks.DiscoverInterface = [] { return true; };
    RunInterfaceDiscovery(f.program.session);
    f.window->show();
    QCOMPARE(Control<QLabel>(f.window, "LabelConnected")->text(),
             QString("Connection Established"));
    Control<QRadioButton>(f.window, "OptionZRA7Input")->click();
    QCOMPARE(Control<QLabel>(f.window, "LabelConnected")->text(), QString("No Connection"));
  }

  void theSoundFilesAndTheCalibrationLogAreBrowsedFor() {
    ConfigFixture f;
    f.program.dialogs.paths = {"/sounds/ding.wav", "/logs/cal.log"};
    const std::size_t before = f.program.dialogs.fileRequests.size();
    Control<QPushButton>(f.window, "CommandBrowseSoundFileUnder")->click();
    Control<QPushButton>(f.window, "cmdBrowseCalibrationLogFile")->click();
    QCOMPARE(f.s.undersoundfile, std::string("/sounds/ding.wav"));
    QCOMPARE(f.s.CalibrationLogFile, std::string("/logs/cal.log"));
    QCOMPARE(f.program.dialogs.fileRequests.size(), before + 2);
    QCOMPARE(f.program.dialogs.fileRequests.back().initialFolder, f.machine.DataFolder());
  }

  void theBrakeLevelIsLimitedAndApplied() {
    ConfigFixture f;
    auto* label = Control<QLabel>(f.window, "labelSetBrake");
    QCOMPARE(label->text(), QString(kBrakeIntroText));
    Type(f.window, "txtBrakeLevel", "150");
    QCOMPARE(Control<QLineEdit>(f.window, "txtBrakeLevel")->text(), QString("0"));
    QCOMPARE(f.s.BrakeLevel, 0.0f);
    QCOMPARE(label->text(), QString("WARNING Bar May Fall. Check before Applying"));
    Type(f.window, "txtBrakeLevel", "40");
    std::vector<float> sent;
    f.program.session.hooks.SetBrakeLevel = [&](float level) {
      sent.push_back(level);
      return std::string();
    };
    Control<QPushButton>(f.window, "cmdApplyBrakeSetting")->click();
    QCOMPARE(sent, (std::vector<float>{40.0f}));
    QCOMPARE(label->text(), QString(kBrakeIntroText));
    QCOMPARE(f.program.session.statusBar.Panel(5).text, std::string("Brake 40.0 %"));
  }

  void aUnitIsChosenAndConnected() {
    ConfigFixture f;
    Control<QRadioButton>(f.window, "OptionZRA6Input")->click();
    QVERIFY(f.s.ZRA6Input && !f.s.ZRA6PlusInput);
    QVERIFY(!Control(f.window, "FrameZRA6Interface")->isHidden());
    Control<QComboBox>(f.window, "cboCommPort")->setCurrentIndex(2);
    QCOMPARE(f.s.comportnum, std::int16_t{3});
    QCOMPARE(Control<QLabel>(f.window, "LabelConnected")->text(), QString("No Connection"));
    QString shownWhileConnecting;
    f.program.session.hooks.DiscoverInterface = [&] {
      shownWhileConnecting = Control<QLabel>(f.window, "LabelConnected")->text();
      return true;
    };
    Control<QPushButton>(f.window, "CommandFindInterface")->click();
    QCOMPARE(shownWhileConnecting, QString("Trying to Connect"));
    QCOMPARE(Control<QLabel>(f.window, "LabelConnected")->text(),
             QString("Connection Established"));
  }

  void closeSavesAndRestoreDefaultsOnlyReloads() {
    ConfigFixture f;
    Type(f.window, "txtRepThreshold", "0.08");
    QCOMPARE(f.s.repthreshold, 0.08f);
    Control<QPushButton>(f.window, "CommandRestoreDefaults")->click();
    QCOMPARE(f.LastMessage().title, std::string("Complete reset to default settings"));
    QCOMPARE(Control<QLineEdit>(f.window, "txtRepThreshold")->text(), QString("0.05"));
    QVERIFY(Control<QRadioButton>(f.window, "OptionZRA7Input")->isChecked());
    QCOMPARE(ReadIniValue("Data Collection", "ZRA7Input", "", f.machine.ConfigPath()),
             std::string("false"));
    Control<QPushButton>(f.window, "butExitConfig")->click();
    QVERIFY(!f.window->isVisible());
    QCOMPARE(ReadIniValue("Data Collection", "ZRA7Input", "", f.machine.ConfigPath()),
             std::string("true"));
    QCOMPARE(ReadIniValue("Folders and Files", "SquadFileName", "", f.machine.ConfigPath()),
             f.machine.DataFolder() + "/Squad.xlsx");
  }

  void firstRunOkStoresTheCom3Choice() {
    Machine machine;
    Program program;
    program.session.settings.ConfigFilePath = machine.ConfigPath();
    MakeFolders(machine.DataFolder());
    program.session.settings.ZRA6PlusInput = true;
    program.session.settings.comportnum = 1;
    program.session.settings.firsttime = true;
    FrmFirstTime window(program.session, [](const char*) {});
    QCOMPARE(window.windowTitle(), QString("Initial setup of the QLX"));
    window.show();
    QVERIFY(Control(&window, "FrameCommPort")->isHidden());
    Control<QRadioButton>(&window, "OptionZRA6")->click();
    QVERIFY(!Control(&window, "FrameCommPort")->isHidden());
    auto* ports = Control<QListWidget>(&window, "ListZRA6CommPort");
    QCOMPARE(ports->count(), 16);
    ports->setCurrentRow(2);
    QCOMPARE(ports->currentItem()->text(), QString("COM3"));
    Control<QPushButton>(&window, "OKButton")->click();
    QCOMPARE(window.result(), int(QDialog::Accepted));
    QCOMPARE(ReadIniValue("Data Collection", "comportnum", "", machine.ConfigPath()),
             std::string("3"));
    QCOMPARE(ReadIniValue("Data Collection", "ZRA6Input", "", machine.ConfigPath()),
             std::string("true"));
    QCOMPARE(ReadIniValue("Miscellaneous", "firsttime", "", machine.ConfigPath()),
             std::string("true"));
  }

  void firstRunCancelLeavesTheConfigurationAsStartUpWroteIt() {
    Machine machine;
    Program program;
    std::string whenShown;
    WhenModalOpens("frmFirstTime", [&](QWidget* window) {
      whenShown = machine.Read("QLXConfig.ini");
      Control<QRadioButton>(window, "OptionZRA6")->click();
      Control<QListWidget>(window, "ListZRA6CommPort")->setCurrentRow(4);
      Control<QCheckBox>(window, "CheckDontShow")->setChecked(true);
      Control<QPushButton>(window, "CancelButton")->click();
    });
    QCOMPARE(program.Start(), StartupResult::Cancelled);
    QVERIFY(!whenShown.empty());
    QCOMPARE(machine.Read("QLXConfig.ini"), whenShown);
    QVERIFY(!program.form.isVisible());
  }

  void theFirstRunHelpButtonsOpenTheirPages() {
    Machine machine;
    Program program;
    std::vector<std::string> pages;
    FrmFirstTime window(program.session, [&](const char* page) { pages.emplace_back(page); });
    Control<QPushButton>(&window, "CommandHelpWithDriverInstall")->click();
    Control<QPushButton>(&window, "CommandFindCommPort")->click();
    QCOMPARE(pages, (std::vector<std::string>{"QLXHelp/QLXGettingStarted.htm",
                                              "QLXHelp/FindComPort.htm"}));
  }
};

}  // namespace torvane

QTEST_MAIN(torvane::ConfigWindowsTest)
#include "config_windows_test.moc"
