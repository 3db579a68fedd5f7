#include "link/ui/form_accelerometer.hpp"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include "shell/link_session.hpp"
#include "shell/session.hpp"
#include "shell/window_placement.hpp"

namespace torvane {

FormAccelerometer::FormAccelerometer(Session& session, QWidget* parent)
    : QWidget(parent), session_(session) {
  setObjectName("FormAccelerometer");
  setWindowTitle("Accelerometer management");
  auto* grid = new QGridLayout(this);
  labelState_ = new QLabel(this);
  labelState_->setObjectName("LabelAccelerometerState");
  labelState_->setWordWrap(true);
  grid->addWidget(labelState_, 0, 0, 1, 3);
  auto* initialise = new QPushButton("Initialise", this);
  initialise->setObjectName("CommandInitialiseAccelerometer");
  grid->addWidget(initialise, 1, 0);
  startStop_ = new QPushButton(this);
  startStop_->setObjectName("CommandStartStopStream");
  grid->addWidget(startStop_, 1, 1);
  auto* clear = new QPushButton("Clear", this);
  clear->setObjectName("CommandClearAccelData");
  grid->addWidget(clear, 1, 2);
  grid->addWidget(new QLabel("Command", this), 2, 0);
  textAccelCommands_ = new QLineEdit(this);
  textAccelCommands_->setObjectName("TextAccelCommands");
  textAccelCommands_->setToolTip("Every key typed is sent to the accelerometer at once");
  textAccelCommands_->installEventFilter(this);
  grid->addWidget(textAccelCommands_, 2, 1, 1, 2);
  labelOutput_ = new QPlainTextEdit(this);
  labelOutput_->setObjectName("LabelAccelerometerOutput");
  labelOutput_->setReadOnly(true);
  grid->addWidget(labelOutput_, 3, 0, 1, 3);

  connect(initialise, &QPushButton::clicked, this,
          &FormAccelerometer::CommandInitialiseAccelerometer_Click);
  connect(startStop_, &QPushButton::clicked, this,
          &FormAccelerometer::CommandStartStopStream_Click);
  connect(clear, &QPushButton::clicked, this, &FormAccelerometer::CommandClearAccelData_Click);
  timer_ = session_.timers().CreateTimer([this] { TimerUpdateAccelerometerInput_Timer(); });
  ShowState();
}

FormAccelerometer::~FormAccelerometer() {
  timer_->Stop();
}

QSize FormAccelerometer::LoadSize() {
  return {TwipsToPixels(5325), TwipsToPixels(4680)};
}

void FormAccelerometer::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  state_.timerOn = true;
  timer_->Start(kAccelerometerWindowTickMs);
  ShowState();
}

void FormAccelerometer::hideEvent(QHideEvent* event) {
  state_.timerOn = false;
  timer_->Stop();
  QWidget::hideEvent(event);
}

bool FormAccelerometer::eventFilter(QObject* watched, QEvent* event) {
  if (watched == textAccelCommands_ && event->type() == QEvent::KeyPress) {
    const QString text = static_cast<QKeyEvent*>(event)->text();
    if (!text.isEmpty() && text.at(0).isPrint()) {
      SendAccelerometerKeys(LinkContextOf(session_), text.toStdString(), TrialInUse(session_));
      ShowState();
    }
  }
  return QWidget::eventFilter(watched, event);
}

void FormAccelerometer::CommandInitialiseAccelerometer_Click() {
  InitialiseAccelerometer(LinkContextOf(session_), state_);
  if (!timer_->IsActive()) timer_->Start(kAccelerometerWindowTickMs);
  ShowState();
}

void FormAccelerometer::CommandClearAccelData_Click() {
  ClearAccelerometerOutput(state_);
  labelOutput_->clear();
}

void FormAccelerometer::CommandStartStopStream_Click() {
  ToggleAccelerometerStream(LinkContextOf(session_), TrialInUse(session_));
  ShowState();
}

void FormAccelerometer::TimerUpdateAccelerometerInput_Timer() {
  if (AccelerometerWindowTick(LinkContextOf(session_), state_, TrialInUse(session_)) > 0) {
    labelOutput_->setPlainText(
        QString::fromLatin1(state_.output.data(), static_cast<qsizetype>(state_.output.size())));
    labelOutput_->verticalScrollBar()->setValue(labelOutput_->verticalScrollBar()->maximum());
  }
  ShowState();
}

void FormAccelerometer::ShowState() {
  const LinkContext ctx = LinkContextOf(session_);
  labelState_->setText(QString::fromStdString(AccelerometerStateText(ctx, state_)));
  const std::string_view caption = StreamButtonCaption(ctx);
  startStop_->setText(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
  const bool inUse = TrialInUse(session_);
  startStop_->setEnabled(!inUse);
  textAccelCommands_->setEnabled(!inUse);
}

}  // namespace torvane
