#pragma once
// A child window of the main window that lives for the whole run: closing it
// from its frame only hides it (its contents stay) and says so, so that the
// main menu can take the entry's check mark away.

#include <QMdiSubWindow>

namespace torvane {

class ToolSubWindow : public QMdiSubWindow {
  Q_OBJECT

 public:
  explicit ToolSubWindow(QWidget* content, QWidget* parent = nullptr);

 signals:
  void ClosedFromFrame();

 protected:
  void closeEvent(QCloseEvent* event) override;
};

}  // namespace torvane
