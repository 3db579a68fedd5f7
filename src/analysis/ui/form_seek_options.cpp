#include "analysis/ui/form_seek_options.hpp"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

#include "analysis/typed_values.hpp"
#include "common/number_text.hpp"
#include "shell/session.hpp"

namespace torvane {

namespace {

QCheckBox* Box(QWidget* parent, const char* name, const char* caption) {
  auto* box = new QCheckBox(caption, parent);
  box->setObjectName(name);
  return box;
}

QLineEdit* NumberBox(QWidget* parent, const char* name, const char* text, const char* tip) {
  auto* box = new QLineEdit(text, parent);
  box->setObjectName(name);
  box->setToolTip(tip);
  box->setAlignment(Qt::AlignRight);
  box->setMaximumWidth(80);
  return box;
}

}  // namespace

FormSeekOptions::FormSeekOptions(Session& session, QWidget* parent)
    : QDialog(parent), session_(session) {
  setObjectName("FormSeekOptions");
  setWindowTitle(kSeekOptionsTitle);

  auto* overall = new QGroupBox("Seek the overall", this);
  CheckSeekMaximum_ = Box(overall, "CheckSeekMaximum", "maximum");
  CheckSeekMinimum_ = Box(overall, "CheckSeekMinimum", "minimum");
  auto* overallLayout = new QVBoxLayout(overall);
  overallLayout->addWidget(CheckSeekMaximum_);
  overallLayout->addWidget(CheckSeekMinimum_);

  auto* stops = new QGroupBox("Or stop at the next", this);
  CheckSeekZeroCross_ = Box(stops, "CheckSeekZeroCross", "zero crossing");
  CheckSeekMaxima_ = Box(stops, "CheckSeekMaxima", "local maxima");
  CheckSeekMinima_ = Box(stops, "CheckSeekMinima", "local minima");
  CheckRateOfRise_ = Box(stops, "CheckRateOfRise", "rate of rise");
  TextRateOfRiseThreshold_ =
      NumberBox(stops, "TextRateOfRiseThreshold", "400", "Threshold for rate of rise.");
  TextEpoch_ =
      NumberBox(stops, "TextEpoch", "30", "epoch over which to determine rate of rise (ms)");
  auto* rate = new QFormLayout;
  rate->setContentsMargins(24, 0, 0, 0);
  rate->addRow("threshold (per s)", TextRateOfRiseThreshold_);
  rate->addRow("epoch (ms)", TextEpoch_);
  auto* stopsLayout = new QVBoxLayout(stops);
  for (QCheckBox* box : {CheckSeekZeroCross_, CheckSeekMaxima_, CheckSeekMinima_, CheckRateOfRise_})
    stopsLayout->addWidget(box);
  stopsLayout->addLayout(rate);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(overall);
  layout->addWidget(stops);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  // The threshold and the epoch belong to the rate of rise alone.
  const auto rateBoxes = [this](bool ticked) {
    TextRateOfRiseThreshold_->setEnabled(ticked);
    TextEpoch_->setEnabled(ticked);
  };
  rateBoxes(false);
  connect(CheckRateOfRise_, &QCheckBox::toggled, this, rateBoxes);
  for (QCheckBox* box : findChildren<QCheckBox*>())
    connect(box, &QCheckBox::toggled, this, &FormSeekOptions::optionsChanged);
  connect(TextRateOfRiseThreshold_, &QLineEdit::editingFinished, this,
          &FormSeekOptions::optionsChanged);
  connect(TextEpoch_, &QLineEdit::editingFinished, this, &FormSeekOptions::TextEpoch_Validate);
}

void FormSeekOptions::TextEpoch_Validate() {
  if (TextEpoch_->text() == epochText_) return;
  const std::optional<double> epoch = SeekEpochFromText(TextEpoch_->text().toStdString());
  if (!epoch) {
    // The box shows the epoch in force again before the message takes the focus.
    TextEpoch_->setText(epochText_);
    session_.dialogs().ShowMessage(MessageIcon::Exclamation, kSeekOptionsTitle, kSeekEpochRefused);
    return;
  }
  epoch_ = *epoch;
  epochText_ = TextEpoch_->text();
  emit optionsChanged();
}

SeekOptions FormSeekOptions::Options() const {
  SeekOptions o;
  o.CheckSeekMaximum = CheckSeekMaximum_->isChecked();
  o.CheckSeekMinimum = CheckSeekMinimum_->isChecked();
  o.CheckSeekZeroCross = CheckSeekZeroCross_->isChecked();
  o.CheckSeekMaxima = CheckSeekMaxima_->isChecked();
  o.CheckSeekMinima = CheckSeekMinima_->isChecked();
  o.CheckRateOfRise = CheckRateOfRise_->isChecked();
  o.TextRateOfRiseThreshold = LeadingNumber(TextRateOfRiseThreshold_->text().toStdString());
  o.TextEpoch = epoch_;
  return o;
}

}  // namespace torvane
