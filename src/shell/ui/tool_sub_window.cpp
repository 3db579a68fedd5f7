#include "shell/ui/tool_sub_window.hpp"

#include <QCloseEvent>

namespace torvane {

ToolSubWindow::ToolSubWindow(QWidget* content, QWidget* parent) : QMdiSubWindow(parent) {
  setWidget(content);
  setWindowTitle(content->windowTitle());
  setAttribute(Qt::WA_DeleteOnClose, false);
}

void ToolSubWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  hide();
  emit ClosedFromFrame();
}

}  // namespace torvane
