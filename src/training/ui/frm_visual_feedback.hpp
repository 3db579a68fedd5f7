#pragma once
// The visual feedback window (frmVisualFeedback): the plotted value of the
// repetition just completed in huge figures, green with red text when it
// reached the threshold, red with green text when not; also the count-in
// numbers before a collection. It stands over the main window's top edge,
// as wide as the main window and a third of its height, so an athlete sees
// it from across the room.

#include <QWidget>

#include "training/training_texts.hpp"

class QLabel;

namespace torvane {

// A colour of the feedback rule (24 bits, red in the low byte) as Qt's.
QColor FeedbackColour(std::int32_t value);

class FrmVisualFeedback : public QWidget {
  Q_OBJECT

 public:
  // `mainWindow`: the window it stands over (and stays above).
  explicit FrmVisualFeedback(QWidget* mainWindow = nullptr);

  // The value and colours of one repetition's feedback; shows the window.
  void ShowFeedback(const Feedback& feedback);
  // A count-in number (0 … 3) in neutral colours; -1 puts the window away.
  void ShowCountIn(int number);
  // Shows the window where it belongs, or hides it.
  void ShowWindow(bool visible);

  QLabel* Value() const { return lblValue_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void SetColours(const QColor& back, const QColor& text);
  void Place();
  void FitText();

  QWidget* mainWindow_;
  QLabel* lblValue_;
};

}  // namespace torvane
