#pragma once
// The training window "Training" (frmTraining): the repetitions of a set as
// they are completed, in a grid and a bar chart of the chosen value, with
// feedback against a threshold, the set's summary, the brake on the way up,
// and the set saved, loaded, summarised into the results workbook and
// printed. The rules are training mode's core; the window shows its state
// and passes the controls' presses to it.

#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "training/training_mode.hpp"

class QCheckBox;
class QCustomPlot;
class QCPBars;
class QCPTextElement;
class QLabel;
class QLineEdit;
class QPrinter;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace torvane {

struct Session;
class MainForm;
class FeedbackSounds;
class FrmVisualFeedback;

class FrmTraining : public QWidget {
  Q_OBJECT

 public:
  // `feedbackWindow`: the visual feedback window to use; without one the
  // window makes its own.
  explicit FrmTraining(Session& session, FrmVisualFeedback* feedbackWindow = nullptr,
                       QWidget* parent = nullptr);
  ~FrmTraining() override;

  static QSize LoadSize();
  FrmVisualFeedback* FeedbackWindow() const;
  FeedbackSounds& Sounds() const { return *sounds_; }
  QCustomPlot* Chart() const { return Graph1_; }
  // What brings the window back to the front (after a zeroing reading that
  // training asked for).
  void SetBringBack(std::function<void()> bringBack) { bringBack_ = std::move(bringBack); }
  // Prints the set on `printer` (the Print button after its dialog).
  bool PrintSet(QPrinter& printer);

 protected:
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void BuildControls();
  void ConnectControls();
  void InstallHooks();
  TrainingContext Context() const;
  void ApplySettings();
  void ApplyState();
  void ApplyFlightPhase();
  void ClearSet();
  void ShowRepetitionRow(std::int32_t repetition);
  void ShowSummary();
  void Replot();
  void PlotChart();
  void BringBack();

  void cmdStartStopRecord_Click();
  void cmdNewSet_Click();
  void cmdZeroBar_Click();
  void cmdSaveTrainingData_Click();
  void cmdLoadSet_Click();
  void cmdPrint_Click();
  void CommandSaveSummary_Click();
  void chkFlightPhase_Click(bool checked);
  void chkBrakeOn_Click(bool checked);
  void chkShowFeedback_Click(bool checked);
  void chkStatusDisplay_Click(bool checked);
  void txtThreshold_Apply();
  void txtWeight_Apply();
  void optPlot_Click(PlotVariable variable);

  Session& session_;
  QPointer<FrmVisualFeedback> feedbackWindow_;
  bool ownsFeedbackWindow_ = false;
  FeedbackSounds* sounds_ = nullptr;
  std::function<void()> bringBack_;
  bool updatingBoxes_ = false;
  bool flightPhaseShown_ = false;

  QTableWidget* Grid_ = nullptr;
  QCustomPlot* Graph1_ = nullptr;
  QCPBars* bars_ = nullptr;
  QCPTextElement* chartTitle_ = nullptr;
  std::array<QRadioButton*, 6> options_{};  // in PlotVariable order
  QPushButton *cmdStartStopRecord_, *cmdNewSet_, *cmdZeroBar_, *cmdSaveTrainingData_, *cmdLoadSet_,
      *cmdPrint_, *CommandSaveSummary_;
  QCheckBox *chkFlightPhase_, *chkBrakeOn_, *chkShowFeedback_, *chkStatusDisplay_;
  QLineEdit *txtThreshold_, *txtWeight_;
  QLabel *lblShowStat_, *lblHeight_, *lblDirection_, *lblTrainSampleFreq_;
  std::array<QLabel*, kSummaryRows> peakLabels_{};
  std::array<QLabel*, kSummaryRows> averageLabels_{};
  QLabel *LabelTotalReps_, *LabelTotalWork_;
};

// Prints `lines` in a fixed-pitch font, as many pages as they take, the
// font made smaller when the longest line would not fit the page's width.
// Returns the number of pages printed, 0 when the printer could not start.
int PrintTrainingLines(QPrinter& printer, const std::vector<std::string>& lines);

// Creates the training window and the visual feedback window in the main
// window: its View entry brings the training window up and puts it away.
FrmTraining* InstallTrainingWindow(Session& session, MainForm& mainForm);

}  // namespace torvane
