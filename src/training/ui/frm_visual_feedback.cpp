#include "training/ui/frm_visual_feedback.hpp"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

namespace torvane {

QColor FeedbackColour(std::int32_t value) {
  return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

FrmVisualFeedback::FrmVisualFeedback(QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Tool), mainWindow_(mainWindow) {
  setObjectName("frmVisualFeedback");
  setWindowTitle("Visual Feedback");
  setAutoFillBackground(true);
  lblValue_ = new QLabel(this);
  lblValue_->setObjectName("lblValue");
  lblValue_->setAlignment(Qt::AlignCenter);
  lblValue_->setAutoFillBackground(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblValue_);
  SetColours(Qt::black, Qt::white);
  hide();
}

void FrmVisualFeedback::SetColours(const QColor& back, const QColor& text) {
  for (QWidget* w : {static_cast<QWidget*>(this), static_cast<QWidget*>(lblValue_)}) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, back);
    p.setColor(QPalette::WindowText, text);
    w->setPalette(p);
  }
}

void FrmVisualFeedback::ShowFeedback(const Feedback& feedback) {
  SetColours(FeedbackColour(feedback.backColour), FeedbackColour(feedback.textColour));
  lblValue_->setText(QString::fromStdString(feedback.label));
  ShowWindow(true);
  FitText();
}

void FrmVisualFeedback::ShowCountIn(int number) {
  if (number < 0) {
    ShowWindow(false);
    return;
  }
  SetColours(Qt::black, Qt::white);
  lblValue_->setText(QString::number(number));
  ShowWindow(true);
  FitText();
}

void FrmVisualFeedback::ShowWindow(bool visible) {
  if (!visible) {
    hide();
    return;
  }
  if (isVisible()) return;
  Place();
  show();
  raise();
}

// Over the main window's top left corner, its width, a third of its height.
void FrmVisualFeedback::Place() {
  QRect area;
  if (mainWindow_ != nullptr && mainWindow_->isVisible()) {
    area = mainWindow_->geometry();
  } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    area = screen->availableGeometry();
  } else {
    area = QRect(0, 0, 1200, 800);
  }
  setGeometry(area.x(), area.y(), area.width(), std::max(area.height() / 3, 120));
}

void FrmVisualFeedback::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FitText();
}

// The label takes nine tenths of the width; the figures as large as fit.
void FrmVisualFeedback::FitText() {
  const int margin = width() / 20;
  layout()->setContentsMargins(margin, 0, margin, 0);
  const int characters = std::max<int>(3, static_cast<int>(lblValue_->text().size()));
  const int byHeight = height() * 7 / 10;
  const int byWidth = (width() - 2 * margin) * 10 / (characters * 6);
  QFont font = lblValue_->font();
  font.setBold(true);
  font.setPixelSize(std::max(12, std::min(byHeight, byWidth)));
  lblValue_->setFont(font);
}

}  // namespace torvane
