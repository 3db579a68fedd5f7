// The calibration windows: thin over the two-point calibration of the core.

#include "calibration/ui/calibration_windows.hpp"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "common/text_file.hpp"
#include "shell/calibration_session.hpp"
#include "shell/session.hpp"

namespace torvane {

namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  return button;
}

QLabel* ReadingLabel(QWidget* parent, const char* name) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setFrameShape(QFrame::Panel);
  label->setFrameShadow(QFrame::Sunken);
  label->setMinimumWidth(110);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return label;
}

QLineEdit* Box(QWidget* parent, const char* name) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(name);
  return box;
}

}  // namespace

CalibrationWindow::CalibrationWindow(Session& session, CalibrationKind kind,
                                     CalibrationDocumentOpener opener, QWidget* parent)
    : QDialog(parent),
      session_(session),
      cx_(CalibrationContextOf(session)),
      state_(BeginCalibration(session.settings, kind)),
      opener_(std::move(opener)) {
  setModal(true);
  cx_.showTextFile = [this](const std::string& path) { return ShowTextFile(path); };
}

void CalibrationWindow::MakeCommonControls(const char* readLow, const char* readLowCaption,
                                           const char* readHigh, const char* readHighCaption,
                                           const char* lowLabel, const char* highLabel) {
  readLow_ = Button(this, readLow, readLowCaption);
  readHigh_ = Button(this, readHigh, readHighCaption);
  lowLabel_ = ReadingLabel(this, lowLabel);
  highLabel_ = ReadingLabel(this, highLabel);
  lblCalFactor_ = ReadingLabel(this, "lblCalFactor");
  cmdCalDone_ = Button(this, "cmdCalDone", "&Done");
  cmdCancelCalibration_ = Button(this, "cmdCancelCalibration", "&Cancel");
  cmdViewCalLog_ = Button(this, "cmdViewCalLog", "&View Calibration Log");
  connect(readLow_, &QPushButton::clicked, this, [this] { ReadPoint(CalibrationPoint::Low); });
  connect(readHigh_, &QPushButton::clicked, this, [this] { ReadPoint(CalibrationPoint::High); });
  connect(cmdCalDone_, &QPushButton::clicked, this, &CalibrationWindow::cmdCalDone_Click);
  connect(cmdCancelCalibration_, &QPushButton::clicked, this,
          &CalibrationWindow::cmdCancelCalibration_Click);
  connect(cmdViewCalLog_, &QPushButton::clicked, this, &CalibrationWindow::cmdViewCalLog_Click);
}

QWidget* CalibrationWindow::CommonButtons() {
  auto* row = new QWidget(this);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(cmdViewCalLog_);
  layout->addStretch();
  layout->addWidget(cmdCalDone_);
  layout->addWidget(cmdCancelCalibration_);
  return row;
}

void CalibrationWindow::UpdateCalFactor() {
  lowLabel_->setText(Q(CalibrationReadingText(state_.lowReading)));
  highLabel_->setText(Q(CalibrationReadingText(state_.highReading)));
  // Equal or missing readings leave the factor as it was.
  const std::string factor = CalibrationFactorText(state_);
  if (!factor.empty()) lblCalFactor_->setText(Q(factor));
}

void CalibrationWindow::ReadPoint(CalibrationPoint point) {
  // While the reading runs only Cancel can be pressed; it ends the reading.
  for (QPushButton* button : {readLow_, readHigh_, cmdCalDone_, cmdViewCalLog_}) {
    button->setEnabled(false);
  }
  ReadCalibrationPoint(cx_, state_, point);
  for (QPushButton* button : {readLow_, readHigh_, cmdCalDone_, cmdViewCalLog_}) {
    button->setEnabled(true);
  }
  UpdateCalFactor();
  if (closeAfterReading_) QDialog::reject();
}

void CalibrationWindow::cmdCalDone_Click() {
  if (AcceptCalibration(cx_, state_)) accept();
}

void CalibrationWindow::cmdCancelCalibration_Click() {
  CancelCalibration(cx_, state_);
  // A reading that runs ends first; the window closes when it has.
  if (state_.readingRuns) {
    closeAfterReading_ = true;
    return;
  }
  QDialog::reject();
}

void CalibrationWindow::reject() {
  cmdCancelCalibration_Click();
}

void CalibrationWindow::cmdViewCalLog_Click() {
  ViewCalibrationLog(cx_);
}

// The desktop's viewer, or the program's own when the desktop has none.
bool CalibrationWindow::ShowTextFile(const std::string& path) {
  if (opener_ && opener_(QUrl::fromLocalFile(Q(path)))) return true;
  const FileReadResult read = ReadWholeFile(path, std::size_t{16} << 20);
  if (!read.ok) return false;
  QDialog viewer(this);
  viewer.setObjectName("CalibrationLogViewer");
  viewer.setWindowTitle(QString(kCalibrationLogTitle) + " - " + QFileInfo(Q(path)).fileName());
  auto* layout = new QVBoxLayout(&viewer);
  auto* text = new QPlainTextEdit(&viewer);
  text->setReadOnly(true);
  text->setLineWrapMode(QPlainTextEdit::NoWrap);
  text->setPlainText(Q(Cp1252ToUtf8(read.bytes)));
  layout->addWidget(text);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &viewer);
  connect(buttons, &QDialogButtonBox::rejected, &viewer, &QDialog::reject);
  layout->addWidget(buttons);
  viewer.resize(640, 360);
  viewer.exec();
  return true;
}

FrmCalibrate::FrmCalibrate(Session& session, CalibrationDocumentOpener opener, QWidget* parent)
    : CalibrationWindow(session, CalibrationKind::Position, std::move(opener), parent) {
  setObjectName("frmCalibrate");
  setWindowTitle("Calibrate Displacement");
  MakeCommonControls("cmdCalBottom", "Read Bottom Position", "cmdCalTop", "Read Top Position",
                     "lblBottomPosition", "lblTopPosition");
  txtCalDistance_ = Box(this, "txtCalDistance");
  connect(txtCalDistance_, &QLineEdit::textChanged, this, [this](const QString& text) {
    state_.distanceText = text.toStdString();
    UpdateCalFactor();
  });

  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  form->addRow("Distance Between Top and Bottom (m)", txtCalDistance_);
  form->addRow(readLow_, lowLabel_);
  form->addRow(readHigh_, highLabel_);
  form->addRow("Calibration Factor", lblCalFactor_);
  layout->addLayout(form);
  layout->addWidget(CommonButtons());
}

FrmCalForce::FrmCalForce(Session& session, CalibrationDocumentOpener opener, QWidget* parent)
    : CalibrationWindow(session, CalibrationKind::Force, std::move(opener), parent) {
  setObjectName("frmCalForce");
  setWindowTitle("Calibrate Force");
  MakeCommonControls("cmdReadLowerForce", "Read Lower Force", "cmdReadHigherForce",
                     "Read Higher Force", "lblLowForce", "lblHighForce");
  txtCalForceA_ = Box(this, "txtCalForceA");
  txtCalForceB_ = Box(this, "txtCalForceB");
  auto* units = new QGroupBox("Units of mass or force", this);
  optionForceKg_ = new QRadioButton("kilograms", units);
  optionForceKg_->setObjectName("OptionForceKG");
  optionForceNewtons_ = new QRadioButton("Newtons", units);
  optionForceNewtons_->setObjectName("OptionForceNewtons");
  optionForceKg_->setChecked(true);
  auto* unitsLayout = new QHBoxLayout(units);
  unitsLayout->addWidget(optionForceKg_);
  unitsLayout->addWidget(optionForceNewtons_);

  // A load edited recomputes the factor at once, as the distance does.
  connect(txtCalForceA_, &QLineEdit::textChanged, this, [this](const QString& text) {
    state_.lowLoadText = text.toStdString();
    UpdateCalFactor();
  });
  connect(txtCalForceB_, &QLineEdit::textChanged, this, [this](const QString& text) {
    state_.highLoadText = text.toStdString();
    UpdateCalFactor();
  });
  connect(optionForceNewtons_, &QRadioButton::toggled, this, &FrmCalForce::OptionUnits_Click);

  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  form->addRow("Lower load", txtCalForceA_);
  form->addRow("Higher load", txtCalForceB_);
  layout->addLayout(form);
  layout->addWidget(units);
  auto* readings = new QFormLayout;
  readings->addRow(readLow_, lowLabel_);
  readings->addRow(readHigh_, highLabel_);
  readings->addRow("Calibration Factor", lblCalFactor_);
  layout->addLayout(readings);
  layout->addWidget(CommonButtons());
}

void FrmCalForce::OptionUnits_Click(bool newtons) {
  SetForceUnits(state_, newtons);
  for (auto [box, text] : {std::pair{txtCalForceA_, &state_.lowLoadText},
                           std::pair{txtCalForceB_, &state_.highLoadText}}) {
    const QSignalBlocker blocker(box);
    box->setText(Q(*text));
  }
  UpdateCalFactor();
}

}  // namespace torvane
