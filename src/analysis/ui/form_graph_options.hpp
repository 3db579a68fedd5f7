#pragma once
// "Graph Options": crops the trial to the analysis range, finds and applies
// the force offset that makes the mean velocity zero, and copies the trial
// as tab-separated text to the clipboard. Opened by a right-button click on
// the analysis graph. Every change of the trial is an undoable edit on the
// application's undo stack.

#include <QDialog>
#include <functional>

#include "analysis/clipboard_texts.hpp"
#include "analysis/seek_statistics.hpp"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QUndoStack;

namespace torvane {

struct Session;

class FormGraphOptions : public QDialog {
  Q_OBJECT

 public:
  FormGraphOptions(Session& session, QUndoStack& undoStack, QWidget* parent = nullptr);

  // The channel the analysis window shows (for the "currently displayed" copies).
  void SetShownChannel(ShownChannel channel) { shown_ = channel; }
  // What "Apply offset to force and recalculate" recalculates with: the
  // analysis window's ReCalculate (derivation, results and redraw). Until
  // set, the derivation alone, in the calculation mode the analysis window
  // opens with.
  void SetRecalculate(std::function<void()> recalculate) { recalculate_ = std::move(recalculate); }

 signals:
  // The trial, its length or the markers changed (an edit, its undo or redo):
  // the analysis window redraws and updates its read-outs.
  void dataChanged();

 private:
  void CommandCrop_Click();
  void CommandVelocityZeroAverageByForceOffset_Click();
  void CommandApplyOffsetToForce_Click();
  void CopyAllDataSets(ClipboardRange range);
  void CopyCurrentDataSet(ClipboardRange range);
  void Recalculate();

  Session& session_;
  QUndoStack& undoStack_;
  ShownChannel shown_ = ShownChannel::Displacement;
  std::function<void()> recalculate_;
  QLineEdit* TextForceOffset_;
  QPushButton* CommandApplyOffsetToForce_;
  QCheckBox* CheckIncludeTimeData_;
};

}  // namespace torvane
