#include "acquisition/ui/frm_ad_values.hpp"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "shell/link_session.hpp"
#include "shell/session.hpp"

namespace torvane {

namespace {

QLabel* Cell(QWidget* parent, const QString& name, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  label->setMinimumWidth(60);
  label->setFrameShape(QFrame::StyledPanel);
  return label;
}

}  // namespace

FrmADValues::FrmADValues(Session& session, QWidget* parent) : QWidget(parent), session_(session) {
  setObjectName("frmADValues");
  setWindowTitle("Analog Inputs");
  auto* grid = new QGridLayout(this);
  const char* const headings[] = {"", "value", "min", "max"};
  for (int c = 0; c < 4; ++c) {
    auto* heading = new QLabel(headings[c], this);
    heading->setAlignment(Qt::AlignCenter);
    grid->addWidget(heading, 0, c);
  }
  for (int r = 0; r < kAnalogRowCount; ++r) {
    captions_[r] = new QLabel(this);
    captions_[r]->setObjectName(QString("Label2_%1").arg(r));
    values_[r] = Cell(this, QString("lblValue_%1").arg(r), "-");
    minimums_[r] = Cell(this, QString("lblMin_%1").arg(r), "-");
    maximums_[r] = Cell(this, QString("lblMax_%1").arg(r), "-");
    grid->addWidget(captions_[r], r + 1, 0);
    grid->addWidget(values_[r], r + 1, 1);
    grid->addWidget(minimums_[r], r + 1, 2);
    grid->addWidget(maximums_[r], r + 1, 3);
  }
  status_ = new QLabel(this);
  status_->setObjectName("lblStatus");
  status_->setWordWrap(true);
  grid->addWidget(status_, kAnalogRowCount + 1, 0, 1, 3);
  auto* reset = new QPushButton("reset", this);
  reset->setObjectName("cmdReset");
  grid->addWidget(reset, kAnalogRowCount + 1, 3);
  connect(reset, &QPushButton::clicked, this, &FrmADValues::cmdReset_Click);
  timer1_ = session_.timers().CreateTimer([this] { Timer1_Timer(); });
  LoadAnalogInputs(inputs_, SelectedInterfaceModel(session_.settings));
  ShowRows();
}

FrmADValues::~FrmADValues() {
  timer1_->Stop();
  CloseAnalogInputs(LinkContextOf(session_), inputs_, TrialInUse(session_));
}

void FrmADValues::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // The unit may have been changed in the configuration since the last time.
  const InterfaceModel model = SelectedInterfaceModel(session_.settings);
  if (model != inputs_.model) {
    CloseAnalogInputs(LinkContextOf(session_), inputs_, TrialInUse(session_));
    LoadAnalogInputs(inputs_, model);
    ShowRows();
  }
  timer1_->Start(kAnalogTickMs);
}

void FrmADValues::hideEvent(QHideEvent* event) {
  timer1_->Stop();
  CloseAnalogInputs(LinkContextOf(session_), inputs_, TrialInUse(session_));
  QWidget::hideEvent(event);
}

void FrmADValues::Timer1_Timer() {
  AnalogInputsTick(LinkContextOf(session_), inputs_, TrialInUse(session_));
  ShowRows();
}

void FrmADValues::cmdReset_Click() {
  ResetAnalogInputs(inputs_);
  ShowRows();
}

void FrmADValues::ShowRows() {
  for (int r = 0; r < kAnalogRowCount; ++r) {
    const AnalogRow& row = inputs_.rows[r];
    for (QLabel* label : {captions_[r], values_[r], minimums_[r], maximums_[r]}) {
      label->setVisible(row.shown);
    }
    captions_[r]->setText(QString::fromStdString(AnalogRowCaption(inputs_.model, r)));
    values_[r]->setText(QString::fromStdString(AnalogValueText(row.value)));
    minimums_[r]->setText(QString::number(row.minimum));
    maximums_[r]->setText(QString::number(row.maximum));
  }
  status_->setText(QString::fromStdString(AnalogStatusText(inputs_)));
}

}  // namespace torvane
