#pragma once
// "Test Serial Interface": the ZRA6's identity, the bytes waiting on its
// serial port, one command byte sent by hand and the unit's response.

#include <QWidget>
#include <memory>

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace torvane {

struct Session;
class Timer;

class FrmSerialInterface : public QWidget {
  Q_OBJECT

 public:
  explicit FrmSerialInterface(Session& session, QWidget* parent = nullptr);
  ~FrmSerialInterface() override;

 public slots:
  // Asks the unit who it is (about a second, events running).
  void QuerySystemInformation();
  void TimerSerial_Timer();
  void cmdSendText_Click();
  void cmdReadSerialBuffer_Click();

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  Session& session_;
  std::unique_ptr<Timer> timerSerial_;
  bool queried_ = false;
  QLabel* lblSysInfo_ = nullptr;
  QLabel* lblCommsBuffer_ = nullptr;
  QLineEdit* txtSendString_ = nullptr;
  QPlainTextEdit* txtBuffer_ = nullptr;
};

}  // namespace torvane
