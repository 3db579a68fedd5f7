#include "shell/ui/window_centring.hpp"

#include <algorithm>

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QWidget>

namespace torvane {

namespace {

constexpr const char* kCentredProperty = "torvaneCentred";

}  // namespace

void CentreOver(QWidget* window, const QWidget* anchor) {
  const QRect over = anchor->frameGeometry();
  const QSize size = window->frameGeometry().size();
  QPoint topLeft = over.center() - QPoint(size.width() / 2, size.height() / 2);
  if (const QScreen* screen = anchor->screen()) {
    const QRect area = screen->availableGeometry();
    topLeft.setX(
        std::clamp(topLeft.x(), area.left(), std::max(area.left(), area.right() - size.width())));
    topLeft.setY(
        std::clamp(topLeft.y(), area.top(), std::max(area.top(), area.bottom() - size.height())));
  }
  window->move(topLeft);
}

WindowCentring::WindowCentring(QWidget* anchor) : QObject(anchor), anchor_(anchor) {
  qApp->installEventFilter(this);
}

bool WindowCentring::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::Show || !watched->isWidgetType()) return false;
  auto* window = static_cast<QWidget*>(watched);
  if (!window->isWindow() || window == anchor_ || !anchor_->isVisible()) return false;
  const Qt::WindowType type = window->windowType();
  if (type != Qt::Window && type != Qt::Dialog && type != Qt::Tool && type != Qt::Sheet) {
    return false;
  }
  if (window->property(kCentredProperty).toBool()) return false;
  window->setProperty(kCentredProperty, true);
  // A window its own code placed stays there.
  if (window->testAttribute(Qt::WA_Moved)) return false;
  CentreOver(window, anchor_);
  return false;
}

}  // namespace torvane
