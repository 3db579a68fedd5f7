#pragma once
// New windows (dialogs, the tool windows made on first use, message boxes)
// open centred over the main window rather than at the screen's corner,
// which is where a desktop without a window manager, or one that leaves
// placement to the program, would put them. A window is centred the first
// time it is shown; after that it stays where the user put it.

#include <QObject>

class QWidget;

namespace torvane {

// Moves `window` so that its centre is the centre of `anchor`, kept on
// `anchor`'s screen.
void CentreOver(QWidget* window, const QWidget* anchor);

class WindowCentring : public QObject {
 public:
  // Watches every window of the application; `anchor` is the main window.
  explicit WindowCentring(QWidget* anchor);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* anchor_;
};

}  // namespace torvane
