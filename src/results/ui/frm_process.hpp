#pragma once
// The results window "Results of Data Processing": the 33 results of the
// trial in memory with the check boxes that choose the columns of a results
// row; a folder of trial files worked through one by one ("Next") or all at
// once on every core ("Process all"); "&Save" appends the row of the trial
// shown to the results workbook, "Open results" shows the workbook.

#include <QPointer>
#include <QUrl>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "batch/batch_processing.hpp"

class QCheckBox;
class QVBoxLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QProgressDialog;
class QTimer;

namespace torvane {

struct Session;
struct BatchProgress;
struct BatchFileOutcome;

class FrmProcess : public QWidget {
  Q_OBJECT

 public:
  // Opens a document in the desktop's viewer; false when it could not.
  using DocumentOpener = std::function<bool(const QUrl& url)>;

  explicit FrmProcess(Session& session, QWidget* parent = nullptr);
  ~FrmProcess() override;

  // The window's size when it is loaded: 9300 × 10545 twips.
  static QSize LoadSize();

  // The analysis window lends its calculation boxes; without them every
  // file is derived as its data suggest (AutoCalculationMode).
  void SetCalculationMode(std::function<CalculationMode()> mode);
  void SetDocumentOpener(DocumentOpener opener);

  const BatchFileList& FileList() const { return list_; }
  const ResultsSelection& Selection() const { return selection_; }
  bool MeanConcentricOnly() const;

 public slots:
  // The results of the trial in memory, whenever it was recalculated.
  void ShowResults(const TrialResults& results);

 signals:
  // "Next" loaded and recalculated a trial: the analysis window redraws it.
  void TrialProcessed();
  // CheckMeanConcentricOnly changed: the analysis window runs the results again.
  void ResultsOptionsChanged();
  // "Process all" finished (or was cancelled) and its rows were written.
  void ProcessAllFinished();

 private:
  QVBoxLayout* BuildResultsFrames();
  void ShowFileList();
  void ClearResults();
  std::optional<CalculationMode> Mode() const;

  void CommandOpenDataFolder_Click();
  void ListFilesToAnalyse_Click(int row);
  void CommandNextFile_Click();
  void CommandDeSelectAll_Click();
  void cmdSaveResults_Click();
  void CommandProcessAll_Click();
  void CommandOpenResults_Click();
  void FinishProcessAll();

  Session& session_;
  BatchFileList list_;
  ResultsSelection selection_;
  ResultsTexts texts_{};
  std::function<CalculationMode()> mode_;
  DocumentOpener opener_;

  std::array<QCheckBox*, kResultsVariableCount> checks_{};
  std::array<QLineEdit*, kResultsVariableCount> boxes_{};
  QCheckBox* checkMeanConcentricOnly_ = nullptr;
  QPushButton* commandOpenDataFolder_ = nullptr;
  QListWidget* listFilesToAnalyse_ = nullptr;
  QPushButton* commandNextFile_ = nullptr;
  QLabel* labelFileCount_ = nullptr;
  QLabel* labelFolderNote_ = nullptr;
  QPushButton* commandDeSelectAll_ = nullptr;
  QPushButton* cmdSaveResults_ = nullptr;
  QPushButton* commandProcessAll_ = nullptr;
  QPushButton* commandOpenResults_ = nullptr;
  QListWidget* listQuality_ = nullptr;  // the quality flags of the results shown

  // A "Process all" run in progress: its files, its worker, its progress.
  struct Run;
  std::unique_ptr<Run> run_;
};

}  // namespace torvane
