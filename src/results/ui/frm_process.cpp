#include "results/ui/frm_process.hpp"

#include <QCheckBox>
#include <QDesktopServices>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMetaMethod>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>
#include <atomic>
#include <thread>

#include "common/paths.hpp"
#include "common/text_file.hpp"
#include "shell/analysis_session.hpp"
#include "shell/batch_run.hpp"
#include "shell/session.hpp"
#include "shell/trial_analysis.hpp"
#include "shell/window_placement.hpp"

namespace torvane {

namespace {

struct Frame {
  const char* title;
  std::size_t first;  // the variables first … last, in table order
  std::size_t last;
  const char* labels[14];
  const char* toolTips[14];
};

const Frame kFrames[] = {
    {"Peak - Mean - Minimum",
     kMaxHeight,
     kMeanPower,
     {"Peak Displ.", "Min. Displ.", "Peak Vel.", "Min. Vel.", "Peak Force", "Mean Force",
      "Peak Power", "Mean Power"},
     {}},
    {"Rate and Time",
     kMaxRFD,
     kFlightContractionRatio,
     {"Max. RFD", "0-30ms", "0-90ms", "0-150ms", "0-200ms", "0-250ms", "Tm to Pk Fc", "Max. RPD",
      "Tm to Pk Pw", "EccentricTime", "ConcentricTime", "Ecc+Con Time", "Flight Time",
      "Flight:Contract"},
     {"Maximum RFD for a given epoch.", "RFD between 0 and 30ms.", "RFD between 0 and 90ms.",
      "RFD between 0 and 150ms.", "RFD between 0 and 200ms.", "RFD between 0 and 250ms.", nullptr,
      "Rate of power development"}},
    {"Impulse (force x time)",
     kImpulse100,
     kTotalImpulse,
     {"0-100ms", "0-200ms", "0-250ms", "0-300ms", "Total"},
     {}},
    {"ForceVelocityPower Relationships",
     kForceAtPeakPower,
     kVelocityAtPeakForce,
     {"Force@peak power", "Velocity@peak power", "Power@peak force", "Velocity@peak force"},
     {}},
    {"Jump Height",
     kJumpHeightFromFlight,
     kJumpHeightFromPeakVelocity,
     {"Flight time", "Peak Velocity"},
     {}},
};

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

}  // namespace

struct FrmProcess::Run {
  std::vector<std::string> paths;
  ResultsTicks ticked{};
  BatchProgress progress;
  std::atomic<bool> finished{false};
  std::vector<BatchFileOutcome> outcomes;
  std::thread worker;
  QPointer<QProgressDialog> dialog;
  QTimer* poll = nullptr;
};

FrmProcess::FrmProcess(Session& session, QWidget* parent)
    : QWidget(parent),
      session_(session),
      opener_([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {
  setObjectName("frmProcess");
  setWindowTitle(kResultsWindowTitle);

  auto* layout = new QVBoxLayout(this);
  QVBoxLayout* right = BuildResultsFrames();

  checkMeanConcentricOnly_ = new QCheckBox("mean concentric only", this);
  checkMeanConcentricOnly_->setObjectName("CheckMeanConcentricOnly");

  commandOpenDataFolder_ = new QPushButton("Select Data Folder", this);
  commandOpenDataFolder_->setObjectName("CommandOpenDataFolder");
  commandOpenDataFolder_->setToolTip(
      "Select the folder with the files to be analysed in sequential order.");
  listFilesToAnalyse_ = new QListWidget(this);
  listFilesToAnalyse_->setObjectName("ListFilesToAnalyse");
  commandNextFile_ = new QPushButton("Next", this);
  commandNextFile_->setObjectName("CommandNextFile");
  commandNextFile_->setToolTip("Open and load the next file in the data folder.");
  labelFileCount_ = new QLabel(Q(list_.LabelFileCount), this);
  labelFileCount_->setObjectName("LabelFileCount");
  labelFolderNote_ = new QLabel(this);
  labelFolderNote_->setObjectName("LabelFolderNote");
  labelFolderNote_->setWordWrap(true);
  labelFolderNote_->hide();
  commandDeSelectAll_ = new QPushButton(Q(selection_.CommandDeSelectAllCaption), this);
  commandDeSelectAll_->setObjectName("CommandDeSelectAll");
  cmdSaveResults_ = new QPushButton("&Save", this);
  cmdSaveResults_->setObjectName("cmdSaveResults");
  commandProcessAll_ = new QPushButton("Process all", this);
  commandProcessAll_->setObjectName("CommandProcessAll");
  commandProcessAll_->setToolTip(
      "Process the rest of the folder on every core and save a results row for each file.");
  commandOpenResults_ = new QPushButton("Open results", this);
  commandOpenResults_->setObjectName("CommandOpenResults");
  commandOpenResults_->setToolTip("Open the results workbook in the spreadsheet program.");

  auto* files = new QGroupBox("Data files", this);
  auto* filesLayout = new QGridLayout(files);
  filesLayout->addWidget(commandOpenDataFolder_, 0, 0, 1, 2);
  filesLayout->addWidget(labelFileCount_, 1, 0, Qt::AlignCenter);
  filesLayout->addWidget(commandNextFile_, 1, 1);
  filesLayout->addWidget(listFilesToAnalyse_, 2, 0, 1, 2);
  filesLayout->addWidget(labelFolderNote_, 3, 0, 1, 2);
  listFilesToAnalyse_->setMinimumHeight(60);
  // Beneath "Rate and Time", beside the shorter frames on the left.
  right->addWidget(files, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(checkMeanConcentricOnly_);
  buttons->addStretch();
  for (QPushButton* b :
       {commandDeSelectAll_, commandProcessAll_, commandOpenResults_, cmdSaveResults_}) {
    buttons->addWidget(b);
  }
  layout->addLayout(buttons);

  connect(commandOpenDataFolder_, &QPushButton::clicked, this,
          &FrmProcess::CommandOpenDataFolder_Click);
  connect(listFilesToAnalyse_, &QListWidget::currentRowChanged, this,
          &FrmProcess::ListFilesToAnalyse_Click);
  connect(listFilesToAnalyse_, &QListWidget::itemDoubleClicked, this, [this] {
    ListFilesToAnalyse_Click(listFilesToAnalyse_->currentRow());
    CommandNextFile_Click();
  });
  connect(commandNextFile_, &QPushButton::clicked, this, &FrmProcess::CommandNextFile_Click);
  connect(commandDeSelectAll_, &QPushButton::clicked, this, &FrmProcess::CommandDeSelectAll_Click);
  connect(cmdSaveResults_, &QPushButton::clicked, this, &FrmProcess::cmdSaveResults_Click);
  connect(commandProcessAll_, &QPushButton::clicked, this, &FrmProcess::CommandProcessAll_Click);
  connect(commandOpenResults_, &QPushButton::clicked, this, &FrmProcess::CommandOpenResults_Click);
  connect(checkMeanConcentricOnly_, &QCheckBox::clicked, this, [this] {
    emit ResultsOptionsChanged();
    // Alone (no analysis window listening), the window runs the results itself.
    if (!isSignalConnected(QMetaMethod::fromSignal(&FrmProcess::ResultsOptionsChanged)) &&
        session_.settings.samples > 0 && !session_.trial.Force.empty()) {
      ShowResults(ProcessData(
          ResultsInputOf(session_.trial, session_.settings), session_.view,
          ResultsOptions{.frameJump = false, .meanConcentricOnly = MeanConcentricOnly()}));
    }
  });
}

FrmProcess::~FrmProcess() {
  if (run_ && run_->worker.joinable()) {
    run_->progress.cancel = true;
    run_->worker.join();
  }
}

QSize FrmProcess::LoadSize() {
  // 10545 twips high; wide enough (9300 twips, not 8025) that every label
  // and figure shows whole in this desktop's fonts.
  return {TwipsToPixels(9300), TwipsToPixels(10545)};
}

QVBoxLayout* FrmProcess::BuildResultsFrames() {
  // Two columns of about the same height: "Rate and Time", "Jump Height"
  // and the data files on the right.
  // They scroll when the window is made smaller than they need.
  auto* scroll = new QScrollArea(this);
  scroll->setObjectName("ResultsScroll");
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  auto* content = new QWidget(scroll);
  auto* columns = new QHBoxLayout(content);
  columns->setContentsMargins(0, 0, 0, 0);
  auto* left = new QVBoxLayout;
  auto* right = new QVBoxLayout;
  columns->addLayout(left);
  columns->addLayout(right);
  scroll->setWidget(content);
  static_cast<QVBoxLayout*>(layout())->addWidget(scroll, 1);
  int frameIndex = 0;
  for (const Frame& frame : kFrames) {
    auto* box = new QGroupBox(frame.title, content);
    auto* g = new QGridLayout(box);
    g->setVerticalSpacing(1);
    g->setContentsMargins(6, 2, 6, 2);
    int row = 0;
    if (frame.first == kJumpHeightFromFlight) {
      g->addWidget(new QLabel("Derived from:", box), row++, 0);
    }
    // The column label over the check boxes, where the frame has room for it.
    if (frame.first == kMaxHeight || frame.first == kImpulse100 || frame.first == kMaxRFD) {
      g->addWidget(new QLabel("save", box), row++, 2, Qt::AlignCenter);
    }
    for (std::size_t i = frame.first; i <= frame.last; ++i, ++row) {
      const std::size_t k = i - frame.first;
      const ResultsVariable& v = kResultsVariables[i];
      auto* label = new QLabel(frame.labels[k], box);
      auto* text = new QLineEdit(box);
      text->setObjectName(Q(std::string(v.textBox)));
      text->setReadOnly(true);
      text->setAlignment(Qt::AlignRight);
      text->setFixedSize(80, 20);
      auto* unit = new QLabel(Q(std::string(v.unit)), box);
      auto* check = new QCheckBox(box);
      check->setObjectName(Q(std::string(v.checkBox)));
      check->setToolTip("Save \"" + Q(std::string(v.header)) + "\" in the results row");
      if (frame.toolTips[k] != nullptr) {
        label->setToolTip(frame.toolTips[k]);
        text->setToolTip(frame.toolTips[k]);
      }
      g->addWidget(label, row, 0);
      g->addWidget(text, row, 1);
      g->addWidget(check, row, 2, Qt::AlignCenter);
      g->addWidget(unit, row, 3);
      boxes_[i] = text;
      checks_[i] = check;
      connect(check, &QCheckBox::clicked, this, [this, i](bool ticked) {
        TickResultsVariable(session_.results, selection_, i, ticked);
      });
    }
    g->setRowStretch(row, 1);
    (frameIndex == 1 || frameIndex == 4 ? right : left)->addWidget(box);
    ++frameIndex;
  }
  // Under the results: what they cannot be trusted for.
  auto* quality = new QGroupBox("Quality", content);
  auto* q = new QVBoxLayout(quality);
  q->setContentsMargins(6, 2, 6, 2);
  listQuality_ = new QListWidget(quality);
  listQuality_->setObjectName("ListQuality");
  listQuality_->setWordWrap(true);
  listQuality_->setSelectionMode(QAbstractItemView::NoSelection);
  listQuality_->setFocusPolicy(Qt::NoFocus);
  listQuality_->setMinimumHeight(60);
  listQuality_->setToolTip("What the results of this trial cannot be trusted for");
  q->addWidget(listQuality_);
  left->addWidget(quality, 1);

  return right;
}

void FrmProcess::SetCalculationMode(std::function<CalculationMode()> mode) {
  mode_ = std::move(mode);
}

void FrmProcess::SetDocumentOpener(DocumentOpener opener) {
  opener_ = std::move(opener);
}

bool FrmProcess::MeanConcentricOnly() const {
  return checkMeanConcentricOnly_->isChecked();
}

std::optional<CalculationMode> FrmProcess::Mode() const {
  if (mode_) return mode_();
  return std::nullopt;
}

void FrmProcess::ShowResults(const TrialResults& results) {
  texts_ = results.texts;
  list_.refusedFile.clear();
  for (std::size_t i = 0; i < kResultsVariableCount; ++i) boxes_[i]->setText(Q(texts_[i]));
  listQuality_->clear();
  for (const QualityFlag& flag : SessionTrialQuality(
           session_, results,
           Mode().value_or(AutoCalculationMode(session_.trial, session_.settings)))) {
    auto* item = new QListWidgetItem("\u2022 " + Q(flag.code) + ": " + Q(flag.message));
    item->setToolTip(Q(QualityFlagText(flag)));  // with the numbers behind it
    listQuality_->addItem(item);
  }
  if (listQuality_->count() == 0) listQuality_->addItem("No flags");
}

void FrmProcess::ClearResults() {
  texts_ = {};
  for (QLineEdit* box : boxes_) box->clear();
  listQuality_->clear();
}

void FrmProcess::ShowFileList() {
  listFilesToAnalyse_->blockSignals(true);
  listFilesToAnalyse_->clear();
  for (const std::string& name : list_.FilesToAnalyse) listFilesToAnalyse_->addItem(Q(name));
  listFilesToAnalyse_->blockSignals(false);
  labelFileCount_->setText(Q(list_.LabelFileCount));
}

void FrmProcess::CommandOpenDataFolder_Click() {
  const std::optional<std::string> folder =
      session_.dialogs().ChooseFolder("Select Data Folder", session_.settings.DataDirectory);
  if (folder && !folder->empty()) session_.settings.DataDirectory = *folder;
  const std::string note = ListDataFolder(list_, session_.settings.DataDirectory);
  list_.LabelFileCount = FileCountLabel(list_.CurrentFileIndex + 1, list_.FileCount);
  labelFolderNote_->setText(Q(note));
  labelFolderNote_->setVisible(!note.empty());
  ShowFileList();
}

void FrmProcess::ListFilesToAnalyse_Click(int row) {
  SelectFileToAnalyse(list_, row);
  labelFileCount_->setText(Q(list_.LabelFileCount));
}

void FrmProcess::CommandNextFile_Click() {
  if (TrialInUse(session_)) {
    session_.dialogs().ShowMessage(MessageIcon::Exclamation, kTrialInUseTitle, kTrialInUseMessage);
    return;
  }
  const int index = list_.CurrentFileIndex;
  const NextFileResult r = CommandNextFile(
      BatchContextOf(session_), list_, Mode(),
      ResultsOptions{.frameJump = false, .meanConcentricOnly = MeanConcentricOnly()});
  labelFileCount_->setText(Q(list_.LabelFileCount));
  if (index >= 0 && index < listFilesToAnalyse_->count()) {
    listFilesToAnalyse_->blockSignals(true);
    listFilesToAnalyse_->setCurrentRow(index);
    listFilesToAnalyse_->blockSignals(false);
  }
  if (!r.message.empty()) {
    session_.dialogs().ShowMessage(MessageIcon::Information, kResultsWindowTitle, r.message);
  }
  if (r.processed) {
    ShowResults(r.results);
    emit TrialProcessed();
  } else if (!list_.refusedFile.empty()) {
    ClearResults();  // the results shown would be those of the previous file
  }
}

void FrmProcess::CommandDeSelectAll_Click() {
  ToggleAllResultsVariables(session_.results, selection_);
  for (std::size_t i = 0; i < kResultsVariableCount; ++i) {
    checks_[i]->setChecked(selection_.ticked[i]);
  }
  commandDeSelectAll_->setText(Q(selection_.CommandDeSelectAllCaption));
}

void FrmProcess::cmdSaveResults_Click() {
  SaveBatchResultsRow(BatchContextOf(session_), list_, selection_.ticked, texts_,
                      ResultsWorkbookPath(session_.settings));
}

void FrmProcess::CommandOpenResults_Click() {
  const std::string path = ResultsWorkbookPath(session_.settings);
  if (!FileExists(path)) {
    session_.dialogs().ShowMessage(
        MessageIcon::Information, kResultsWindowTitle,
        "No results have been saved yet: " + path + " is written at the first \"Save\".");
    return;
  }
  if (!opener_ || !opener_(QUrl::fromLocalFile(Q(path)))) {
    session_.dialogs().ShowMessage(MessageIcon::Exclamation, kResultsWindowTitle,
                                   "The results workbook " + path +
                                       " could not be shown: no program on this desktop opens it.");
  }
}

void FrmProcess::CommandProcessAll_Click() {
  if (run_) return;
  if (!session_.settings.exceloutput) {
    session_.dialogs().ShowMessage(MessageIcon::Information, kCannotSaveTitle, kCannotSaveMessage);
    return;
  }
  std::vector<std::string> paths = RemainingTrialFiles(list_);
  if (paths.empty()) {
    session_.dialogs().ShowMessage(MessageIcon::Information, kResultsWindowTitle,
                                   kNoFileToProcessMessage);
    return;
  }
  run_ = std::make_unique<Run>();
  Run& run = *run_;
  run.paths = std::move(paths);
  run.ticked = selection_.ticked;
  BatchRunOptions options;
  if (const std::optional<CalculationMode> mode = Mode()) {
    options.options.mode = ModeChoiceOf(*mode);
    options.options.reverse = mode->reverseIntegrate;
  }
  options.options.meanConcentricOnly = MeanConcentricOnly();
  options.options.athlete = session_.squad.Current();
  const SettingsRecord base = session_.settings;
  run.worker = std::thread([&run, options, base] {
    run.outcomes = AnalyseBatchFiles(run.paths, base, options, run.progress);
    run.finished = true;
  });

  const int total = static_cast<int>(run.paths.size());
  run.dialog = new QProgressDialog("Processing trial files…", "Cancel", 0, total, this);
  run.dialog->setObjectName("ProcessAllProgress");
  run.dialog->setWindowTitle(kResultsWindowTitle);
  run.dialog->setMinimumDuration(300);
  run.dialog->setAutoClose(false);
  run.dialog->setAutoReset(false);
  connect(run.dialog, &QProgressDialog::canceled, this, [this] { run_->progress.cancel = true; });
  run.poll = new QTimer(this);
  connect(run.poll, &QTimer::timeout, this, [this] {
    Run& r = *run_;
    if (r.dialog) {
      r.dialog->setValue(static_cast<int>(r.progress.filesDone.load()));
      r.dialog->setLabelText(QString("Processing trial files: %1 of %2")
                                 .arg(r.progress.filesDone.load())
                                 .arg(r.paths.size()));
    }
    if (r.finished) FinishProcessAll();
  });
  run.poll->start(50);
  commandProcessAll_->setEnabled(false);
  commandNextFile_->setEnabled(false);
}

void FrmProcess::FinishProcessAll() {
  std::unique_ptr<Run> run = std::move(run_);
  run->poll->stop();
  run->poll->deleteLater();
  run->worker.join();
  if (run->dialog) run->dialog->deleteLater();
  commandProcessAll_->setEnabled(true);
  commandNextFile_->setEnabled(true);

  ResultsOutput before = session_.results;
  const LocalDateTime today = session_.clock().Now();
  std::size_t written = 0;
  std::string skipped;
  for (const BatchFileOutcome& outcome : run->outcomes) {
    if (!outcome.analysed) continue;
    if (WriteBatchRow(session_.results, outcome, run->ticked, today, true) ==
        BatchRowWritten::Skipped) {
      skipped += "\n" + outcome.error;
    } else {
      ++written;
    }
  }
  const std::string path = ResultsWorkbookPath(session_.settings);
  std::string failure;
  if (written > 0) failure = SaveResultsWorksheet(session_.results.sheet, path);
  if (!failure.empty()) {
    session_.results = std::move(before);
    session_.dialogs().ShowMessage(MessageIcon::Critical, kCannotSaveTitle,
                                   "The results could not be written to " + path + ": " + failure);
  } else {
    const bool cancelled = run->progress.cancel.load();
    session_.status.AddStatusMessage("Process all: " + std::to_string(written) +
                                     " results rows written to " + path +
                                     (cancelled ? " (cancelled)" : ""));
    if (!skipped.empty()) {
      session_.dialogs().ShowMessage(MessageIcon::Exclamation, kResultsWindowTitle,
                                     std::to_string(written) + " results rows were written to " +
                                         path + ". These files could not be read:" + skipped);
    }
    // The list stands at its end: "Next" has nothing left.
    if (!cancelled && list_.FileCount > 0) {
      SelectFileToAnalyse(list_, list_.FileCount - 1);
      list_.loadedFile = JoinPath(list_.folder, list_.FilesToAnalyse.back());
      labelFileCount_->setText(Q(list_.LabelFileCount));
    }
  }
  emit ProcessAllFinished();
}

}  // namespace torvane
