#pragma once
// "Analog Inputs": the raw value of each analog channel of the interface
// unit with its running minimum and maximum, read every 100 ms while the
// window is shown and no collection or zeroing reading holds the unit.

#include <QWidget>
#include <array>
#include <memory>

#include "acquisition/analog_inputs.hpp"

class QLabel;

namespace torvane {

struct Session;
class Timer;

class FrmADValues : public QWidget {
  Q_OBJECT

 public:
  explicit FrmADValues(Session& session, QWidget* parent = nullptr);
  ~FrmADValues() override;

  const AnalogInputs& Inputs() const { return inputs_; }

 public slots:
  void Timer1_Timer();
  void cmdReset_Click();

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void ShowRows();

  Session& session_;
  AnalogInputs inputs_;
  std::unique_ptr<Timer> timer1_;
  std::array<QLabel*, kAnalogRowCount> captions_{};
  std::array<QLabel*, kAnalogRowCount> values_{};
  std::array<QLabel*, kAnalogRowCount> minimums_{};
  std::array<QLabel*, kAnalogRowCount> maximums_{};
  QLabel* status_ = nullptr;
};

}  // namespace torvane
