#include "shell/ui/tool_sub_window.hpp"

#include <QCloseEvent>

namespace torvane {

ToolSubWindow::ToolSubWindow(QWidget* content, QWidget* parent) : QMdiSubWindow(parent) {
  setWidget(content);
  setWindowTitle(content->windowTitle());
  // A placement from stored sizes never squeezes the window below what its
  // controls need.
  setMinimumSize(minimumSizeHint());
  setAttribute(Qt::WA_DeleteOnClose, false);
}

void ToolSubWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  hide();
  emit ClosedFromFrame();
}

}  // namespace torvane
