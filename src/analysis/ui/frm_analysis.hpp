#pragma once
// The analysis window "Collect and Analyze" (frmAnalysis): a trial collected,
// shown as a graph of one channel, measured with two markers and
// recalculated. The window keeps the controls; the rules are the core's
// (graph view, read-outs, derivation, collection session, trial files).

#include <QWidget>
#include <optional>

#include "analysis/graph_view.hpp"
#include "analysis/recalculate.hpp"
#include "files/trial_file.hpp"
#include "results/process_data.hpp"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace torvane {

struct Session;
struct CollectionContext;
class MainForm;
class GraphWidget;
class FormSeekOptions;

class FrmAnalysis : public QWidget {
  Q_OBJECT

 public:
  explicit FrmAnalysis(Session& session, QWidget* parent = nullptr);
  ~FrmAnalysis() override;

  // The menu and shell commands.
  bool OpenFile(const std::string& path);  // reads, derives and shows a trial
  void OpenFileCommand();                  // File > Open, cmdLoadFile
  void SaveCommand(std::int16_t mode);     // File > Save (0), Save As (1)
  void CloseFileCommand();                 // File > Close
  void ExportCommand();                    // File > Export Data
  // File > Report…: the one-page report of the trial shown, as a PDF;
  // false when it was not written (cancelled, refused or failed).
  bool ReportCommand();
  // Once start-up has loaded the settings: the boxes follow them, and in
  // demonstration mode the demonstration trial (test.dat) is shown when no
  // trial was opened from the command line.
  void ProgramStarted();
  // The question before the window (or the program) closes; true = close.
  bool QueryClose();

  // LoadAndPlot, RefreshGraph, UpdateValues and ReCalculate of the window.
  void LoadAndPlot();
  void RefreshGraph();
  void UpdateValues();
  void Recalculate();

  // A collection or zeroing runs: nothing may write the trial.
  bool Busy() const;
  ShownChannel Channel() const;
  SelectedMarker Marker() const;
  CalculationMode Mode() const;
  GraphWidget* Graph() const { return graph_; }
  // The results of the last update, for the results window.
  const std::optional<TrialResults>& LastResults() const { return results_; }
  // What every seek stops at (opened by a right-button press on CheckSeek).
  FormSeekOptions* SeekOptionsWindow() const { return seekOptions_; }
  // The results window's "mean concentric only": the results run again.
  void SetMeanConcentricOnly(bool only);
  // The results window's "Next" loaded and processed a trial: it is shown.
  void ShowProcessedTrial();

 signals:
  void GraphOptionsRequested();
  void ResultsChanged();
  // Another trial is in memory (opened, closed, collected or processed):
  // edits of the previous one can no longer be undone.
  void TrialReplaced();
  void ChannelChanged(ShownChannel channel);
  // The sample under the mouse on the graph, while no collection runs.
  void MouseSample(std::int32_t sample);

 protected:
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void ConnectControls();
  void ApplySettings();
  void ApplyCollectionState();
  void SetBusyMenus(bool busy);
  void StepMarker(int samples);
  void AfterMarkerMove();
  void ShowNewTrial();
  void ShowCaption();
  TrialNameParts NameParts() const;
  CollectionContext Collection() const;
  void InstallCollectionHooks();

  void optChannel_Click();
  void cmdCollect_Click();
  void cmdZeroDisp_Click();
  void cmdZeroForce_Click();
  void CommandZeroAcceleration_Click();
  void RunZeroReading(bool (*reading)(const CollectionContext&));
  void TextEndPoint_Apply();
  void txtMass_Apply();
  void CommandSetMass_Click();
  void chkRealTimePlot_Click(bool checked);
  void CalculationBox_Click();
  void CheckSeek_Click(bool checked);
  void Graph_Click(double sample);
  void Graph_MouseAt(double sample);
  void CheckSeek_RightPress();
  void ReportCollectionOutcome();

  Session& session_;
  GraphWidget* graph_ = nullptr;
  YRange yRange_;
  std::optional<TrialResults> results_;
  bool busyShown_ = false;
  bool updatingBoxes_ = false;
  bool meanConcentricOnly_ = false;
  // A collected trial is shown; how its collection ended is told once the
  // collection is idle (the outcome is known only then).
  bool outcomePending_ = false;
  FormSeekOptions* seekOptions_ = nullptr;

  QRadioButton *optDist_, *optVel_, *optForce_, *optAccel_, *optPower_;
  QRadioButton *optMarker1_, *optMarker2_;
  QCheckBox *CheckSeek_, *CheckShowPhases_, *checkFrameJump_, *chkRealTimePlot_;
  QCheckBox *CheckCalculateFromDisplacement_, *CheckCalculateFromForce_,
      *CheckCalculateFromAcceleration_, *CheckReverseIntegrate_, *CheckCountInStart_;
  QLineEdit *txtMass_, *TextEndPoint_, *TextTrialNumber_, *TextMovementCode_;
  QLineEdit *txtXValue1_, *txtXValue2_, *txtYValue1_, *txtYValue2_;
  QLabel *lblPoint1_, *lblPoint2_, *lblTimeDiff_, *lblMax_, *lblMin_, *lblMean_;
  QPushButton *cmdCollect_, *cmdZeroDisp_, *cmdZeroForce_, *CommandZeroAcceleration_,
      *CommandSetMass_, *cmdSaveData_, *cmdLoadFile_;
  QPushButton *butZoomIn_, *butZoomOut_, *butZoomToMarkers_, *butExpand_, *butScrollLeft_,
      *butScrollRight_, *butMarkLeft_, *butMarkRight_, *butMarkLeft10_, *butMarkRight10_;
};

// Creates the analysis window in the main window: its View entry, the File
// commands, the command-line open and the closing question of the program;
// and connects it to the windows that work on the same trial (Graph Options,
// Scale and Offset, the undo stack, the results window, the digital display).
FrmAnalysis* InstallAnalysisWindow(Session& session, MainForm& mainForm);

}  // namespace torvane
