#pragma once
// "Scale and Offset": adds an offset to, or multiplies by a factor, the
// whole displacement or force channel, as undoable edits. The derived
// channels wait for the next recalculation. Opened from the main window's
// Tools menu.

#include <QDialog>

#include "analysis/data_set_editing.hpp"

class QLineEdit;
class QUndoStack;

namespace torvane {

struct Session;

class FrmScaleOffsetData : public QDialog {
  Q_OBJECT

 public:
  FrmScaleOffsetData(Session& session, QUndoStack& undoStack, QWidget* parent = nullptr);

 signals:
  // A channel changed (an edit, its undo or redo): the analysis window
  // redraws the shown channel and its statistics.
  void dataChanged();

 private:
  void Apply(ScaleOffsetCommand command, QLineEdit* box);

  Session& session_;
  QUndoStack& undoStack_;
};

}  // namespace torvane
