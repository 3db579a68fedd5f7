#pragma once
// "Accelerometer management": opens the accelerometer's port, sends typed
// commands to it ("1" switches its stream), switches the stream by button,
// and shows what the accelerometer sends, every 100 ms while the window is
// shown and no collection or zeroing reading uses the port.

#include <QWidget>
#include <memory>

#include "link/accelerometer_management.hpp"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace torvane {

struct Session;
class Timer;

class FormAccelerometer : public QWidget {
  Q_OBJECT

 public:
  explicit FormAccelerometer(Session& session, QWidget* parent = nullptr);
  ~FormAccelerometer() override;

  static QSize LoadSize();
  const AccelerometerWindow& State() const { return state_; }

 public slots:
  void CommandInitialiseAccelerometer_Click();
  void CommandClearAccelData_Click();
  void CommandStartStopStream_Click();
  void TimerUpdateAccelerometerInput_Timer();

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowState();

  Session& session_;
  AccelerometerWindow state_;
  std::unique_ptr<Timer> timer_;
  QLineEdit* textAccelCommands_ = nullptr;
  QPlainTextEdit* labelOutput_ = nullptr;
  QLabel* labelState_ = nullptr;
  QPushButton* startStop_ = nullptr;
};

}  // namespace torvane
