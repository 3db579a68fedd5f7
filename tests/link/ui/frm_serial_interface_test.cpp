// "Test Serial Interface" on the offscreen platform against the simulated
// ZRA6 on a loopback line; and the Tools entry that opens it.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "link/link_fixture.hpp"
#include "link/simulated_unit.hpp"
#include "link/ui/frm_serial_interface.hpp"
#include "ui_test_support.hpp"

namespace torvane {

class FrmSerialInterfaceTest : public QObject {
  Q_OBJECT

 private slots:
  void identitySendBoxBrakeQuestionAndResponse() {
    testing::LinkFixture f;
    f.SelectZra6();
    auto unit = testing::AttachSimulatedUnit(f.loop, f.serial, sim::UnitModel::Zra6);
    FrmSerialInterface window(f.session);
    window.show();
    window.QuerySystemInformation();
    QVERIFY(window.findChild<QLabel*>("lblSysInfo")->text().contains("Serial No. 123456"));

    auto* box = window.findChild<QLineEdit*>("txtSendString");
    QTest::keyClicks(box, "2x073");
    QCOMPARE(box->text(), QString("207"));  // what cannot be sent is not taken
    f.serial->TakeWritten();
    window.findChild<QPushButton*>("cmdSendText")->click();
    f.loop.Advance(500);
    QCOMPARE(window.findChild<QLabel*>("lblCommsBuffer")->text(), QString("5"));
    window.findChild<QPushButton*>("cmdReadSerialBuffer")->click();
    QCOMPARE(window.findChild<QPlainTextEdit*>("txtBuffer")->toPlainText(),
             QString("<207>!<18>4V"));

    box->setText("203");
    f.t.dialogs.answers = {DialogAnswer::No};
    f.serial->TakeWritten();
    window.findChild<QPushButton*>("cmdSendText")->click();
    QCOMPARE(f.t.dialogs.shown.back().title, std::string("Brake command"));
    QVERIFY(f.serial->TakeWritten().empty());
  }

  void theToolsEntryOpensTheWindow() {
    testing::Machine machine;
    testing::Program program;
    program.form.show();
    QAction* entry = program.form.findChild<QAction*>("mnuToolsSerial");
    QVERIFY(entry->isEnabled());
    entry->trigger();
    auto* window = program.form.findChild<FrmSerialInterface*>("frmSerialInterface");
    QVERIFY(window != nullptr && window->isVisible());
  }
};

}  // namespace torvane

QTEST_MAIN(torvane::FrmSerialInterfaceTest)
#include "frm_serial_interface_test.moc"
