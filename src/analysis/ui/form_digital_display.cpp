#include "analysis/ui/form_digital_display.hpp"

#include <QFont>
#include <QGridLayout>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPointer>

#include "analysis/digital_display.hpp"
#include "shell/session.hpp"
#include "shell/window_placement.hpp"

namespace torvane {

namespace {

const char* const kNames[] = {"lblDisplacement", "lblForce", "lblVelocity", "lblAcceleration",
                              "lblPower"};
const char* const kCaptions[] = {"Displacement (m)", "Force (N)", "Velocity (m/s)",
                                 "Acceleration (m/s²)", "Power (W)"};

}  // namespace

FormDigitalDisplay::FormDigitalDisplay(Session& session, QWidget* parent)
    : QWidget(parent), session_(session) {
  setObjectName("FormDigitalDisplay");
  setWindowTitle(kTimepointDisplayCaption);
  auto* grid = new QGridLayout(this);
  QFont big = font();
  big.setPointSize(big.pointSize() * 2);
  big.setBold(true);
  for (std::size_t i = 0; i < values_.size(); ++i) {
    const int row = static_cast<int>(i);
    grid->addWidget(new QLabel(kCaptions[i], this), row, 0);
    values_[i] = new QLabel("-", this);
    values_[i]->setObjectName(kNames[i]);
    values_[i]->setFont(big);
    values_[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    values_[i]->setMinimumWidth(140);
    grid->addWidget(values_[i], row, 1);
  }
}

FormDigitalDisplay::~FormDigitalDisplay() {
  session_.collection.digitalDisplayOn = false;
  session_.collection.hooks.digitalDisplayMode = nullptr;
  session_.collection.hooks.digitalDisplaySample = nullptr;
}

QSize FormDigitalDisplay::LoadSize() {
  return {TwipsToPixels(5000), TwipsToPixels(3300)};
}

void FormDigitalDisplay::SetDisplayOn(bool on) {
  CollectionState& c = session_.collection;
  c.digitalDisplayOn = on;
  if (!on) return;
  QPointer<FormDigitalDisplay> self(this);
  c.hooks.digitalDisplayMode = [self](DigitalDisplayMode mode) {
    if (self) self->SetDisplayMode(mode);
  };
  c.hooks.digitalDisplaySample = [self](std::int32_t sample) {
    if (self) self->UpdateDigitalDisplay(sample);
  };
  SetDisplayMode(c.digitalDisplayMode);
}

void FormDigitalDisplay::SetDisplayMode(DigitalDisplayMode mode) {
  const char* caption =
      mode == DigitalDisplayMode::Timepoint ? kTimepointDisplayCaption : kRealtimeDisplayCaption;
  setWindowTitle(caption);
  if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget())) frame->setWindowTitle(caption);
}

void FormDigitalDisplay::UpdateDigitalDisplay(std::int32_t sample) {
  if (!session_.collection.digitalDisplayOn) return;
  const DigitalDisplayTexts t =
      DigitalDisplayTextsAt(session_.trial, sample, windowTitle() == kTimepointDisplayCaption);
  const std::string* texts[] = {&t.displacement, &t.force, &t.velocity, &t.acceleration, &t.power};
  for (std::size_t i = 0; i < values_.size(); ++i) {
    values_[i]->setText(QString::fromStdString(*texts[i]));
  }
}

}  // namespace torvane
