#include "link/ui/frm_serial_interface.hpp"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QValidator>

#include "link/serial_test.hpp"
#include "shell/link_session.hpp"
#include "shell/session.hpp"

namespace torvane {

namespace {

constexpr std::uint32_t kTimerSerialMs = 500;
constexpr const char* kSysInfoPrompt =
    "If communications can be established with the interface unit this label displays the "
    "reported system information";

// The send box holds only what can be sent: a byte value, 0 … 255.
class CommandByteValidator final : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    return CommandByteTypable(input.toStdString()) ? Acceptable : Invalid;
  }
};

}  // namespace

FrmSerialInterface::FrmSerialInterface(Session& session, QWidget* parent)
    : QWidget(parent), session_(session) {
  setObjectName("frmSerialInterface");
  setWindowTitle(QString::fromUtf8(kSerialTestTitle.data(), kSerialTestTitle.size()));
  auto* grid = new QGridLayout(this);
  lblSysInfo_ = new QLabel(kSysInfoPrompt, this);
  lblSysInfo_->setObjectName("lblSysInfo");
  lblSysInfo_->setWordWrap(true);
  lblSysInfo_->setMinimumHeight(90);
  lblSysInfo_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  lblSysInfo_->setFrameShape(QFrame::StyledPanel);
  grid->addWidget(lblSysInfo_, 0, 0, 1, 3);

  grid->addWidget(new QLabel("COMMS buffer", this), 1, 0);
  lblCommsBuffer_ = new QLabel("-", this);
  lblCommsBuffer_->setObjectName("lblCommsBuffer");
  grid->addWidget(lblCommsBuffer_, 1, 1);

  grid->addWidget(new QLabel("Command to send to Serial Unit", this), 2, 0);
  txtSendString_ = new QLineEdit(this);
  txtSendString_->setObjectName("txtSendString");
  txtSendString_->setValidator(new CommandByteValidator(txtSendString_));
  txtSendString_->setPlaceholderText("0 - 255");
  grid->addWidget(txtSendString_, 2, 1);
  auto* send = new QPushButton("&Send Command", this);
  send->setObjectName("cmdSendText");
  grid->addWidget(send, 2, 2);

  grid->addWidget(new QLabel("Data returned from the serial transducer", this), 3, 0, 1, 2);
  auto* read = new QPushButton("&Read Response", this);
  read->setObjectName("cmdReadSerialBuffer");
  grid->addWidget(read, 3, 2);
  txtBuffer_ = new QPlainTextEdit(this);
  txtBuffer_->setObjectName("txtBuffer");
  txtBuffer_->setReadOnly(true);
  grid->addWidget(txtBuffer_, 4, 0, 1, 3);

  connect(send, &QPushButton::clicked, this, &FrmSerialInterface::cmdSendText_Click);
  connect(txtSendString_, &QLineEdit::returnPressed, this, &FrmSerialInterface::cmdSendText_Click);
  connect(read, &QPushButton::clicked, this, &FrmSerialInterface::cmdReadSerialBuffer_Click);
  timerSerial_ = session_.timers().CreateTimer([this] { TimerSerial_Timer(); });
}

FrmSerialInterface::~FrmSerialInterface() {
  timerSerial_->Stop();
}

void FrmSerialInterface::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  ++session_.link.serial.serialTestWindows;
  timerSerial_->Start(kTimerSerialMs);
  // The identity is asked once the window is on the screen: it takes a second.
  if (!queried_) QTimer::singleShot(0, this, &FrmSerialInterface::QuerySystemInformation);
  queried_ = true;
}

void FrmSerialInterface::hideEvent(QHideEvent* event) {
  timerSerial_->Stop();
  --session_.link.serial.serialTestWindows;
  QWidget::hideEvent(event);
}

void FrmSerialInterface::QuerySystemInformation() {
  const auto info = SerialSystemInformation(LinkContextOf(session_), TrialInUse(session_));
  lblSysInfo_->setText(QString::fromStdString(info ? *info : std::string(kUnitInUse)));
}

void FrmSerialInterface::TimerSerial_Timer() {
  const auto waiting = SerialBytesWaiting(LinkContextOf(session_));
  lblCommsBuffer_->setText(waiting ? QString::number(*waiting) : QString("port closed"));
}

void FrmSerialInterface::cmdSendText_Click() {
  SendCommandByte(LinkContextOf(session_), txtSendString_->text().toStdString(),
                  TrialInUse(session_));
}

void FrmSerialInterface::cmdReadSerialBuffer_Click() {
  const auto response = ReadResponse(LinkContextOf(session_), TrialInUse(session_));
  txtBuffer_->setPlainText(QString::fromStdString(response ? *response : std::string(kUnitInUse)));
}

}  // namespace torvane
