#include "training/ui/frm_training.hpp"

#include <qcustomplot.h>

#include <QCheckBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "common/number_text.hpp"
#include "config/settings_io.hpp"
#include "shell/session.hpp"
#include "shell/training_session.hpp"
#include "shell/ui/main_form.hpp"
#include "shell/ui/tool_sub_window.hpp"
#include "training/training_file.hpp"
#include "training/ui/feedback_sounds.hpp"
#include "training/ui/frm_visual_feedback.hpp"

namespace torvane {

namespace {

// The grid's rows before a set needs more, when maxreps is not set.
constexpr int kDefaultGridRows = 20;

struct PlotOption {
  const char* name;
  const char* caption;
};
// In PlotVariable order; the contact-time caption follows the mode.
constexpr PlotOption kPlotOptions[] = {
    {"optMaxHeight", "Max Distance"},
    {"optMinHeight", "Min Distance"},
    {"optContactTime", "Concentric Time"},
    {"optMaxVelocity", "Max Velocity"},
    {"optPower", "Power"},
    {"OptionAcceleration", "Acceleration"},
};
constexpr const char* kPeakLabelNames[kSummaryRows] = {"LabelPeakMaxDist", "LabelPeakMinDist",
                                                       "LabelPeakConTime", "LabelPeakVelocity",
                                                       "LabelPeakPower",   "LabelPeakWork"};
constexpr const char* kAverageLabelNames[kSummaryRows] = {"LabelAvgMaxDist", "LabelAvgMinDist",
                                                          "LabelAvgConTime", "LabelAvgVelocity",
                                                          "LabelAvgPower",   "LabelAvgWork"};

template <typename T>
T* Named(T* widget, const char* name) {
  widget->setObjectName(name);
  return widget;
}

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

// A number as typed in a box ("0.55", "80").
QString BoxNumber(float value) {
  return QString::number(static_cast<double>(value), 'g', 7);
}

QLabel* Readout(const char* name, const QString& text) {
  auto* label = Named(new QLabel(text), name);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  label->setMinimumWidth(60);
  return label;
}

const char* DirectionText(MovementDirection direction) {
  switch (direction) {
    case MovementDirection::Up:
      return "UP";
    case MovementDirection::Down:
      return "DOWN";
    case MovementDirection::Still:
      break;
  }
  return "STILL";
}

const char* PhaseText(TrainingPhase phase) {
  switch (phase) {
    case TrainingPhase::Recording:
      return "Recording";
    case TrainingPhase::Demonstrating:
      return "Demonstration";
    case TrainingPhase::Stopped:
      break;
  }
  return "Stopped";
}

}  // namespace

FrmTraining::FrmTraining(Session& session, FrmVisualFeedback* feedbackWindow, QWidget* parent)
    : QWidget(parent), session_(session), feedbackWindow_(feedbackWindow) {
  setObjectName("frmTraining");
  setWindowTitle(kTrainingTitle);
  if (feedbackWindow_ == nullptr) {
    feedbackWindow_ = new FrmVisualFeedback(nullptr);
    ownsFeedbackWindow_ = true;
  }
  sounds_ = new FeedbackSounds(session_, this);
  BuildControls();
  ConnectControls();
  InstallHooks();
  ApplyFlightPhase();
  ApplySettings();
  ClearSet();
  ApplyState();
}

FrmTraining::~FrmTraining() {
  // The training state and the collection outlive the window.
  session_.training.hooks = TrainingHooks{};
  CollectionHooks& c = session_.collection.hooks;
  c.showTrainingWindow = nullptr;
  c.showCountIn = nullptr;
  if (ownsFeedbackWindow_) delete feedbackWindow_.data();
}

FrmVisualFeedback* FrmTraining::FeedbackWindow() const {
  return feedbackWindow_.data();
}

QSize FrmTraining::LoadSize() {
  return {1080, 700};
}

void FrmTraining::BuildControls() {
  // The repetition grid: the headings in the header, one row a repetition.
  Grid_ = Named(new QTableWidget(0, kRepetitionGridColumns, this), "Grid");
  Grid_->verticalHeader()->hide();
  Grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  Grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  Grid_->setAlternatingRowColors(true);
  Grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  Grid_->verticalHeader()->setDefaultSectionSize(Grid_->fontMetrics().height() + 6);
  Grid_->setMinimumHeight(180);

  // The chart of the chosen value, one bar a repetition.
  Graph1_ = Named(new QCustomPlot(this), "Graph1");
  Graph1_->setMinimumSize(420, 240);
  Graph1_->plotLayout()->insertRow(0);
  QFont titleFont = font();
  titleFont.setBold(true);
  titleFont.setPointSizeF(titleFont.pointSizeF() * 1.2);
  chartTitle_ = new QCPTextElement(Graph1_, kInitialChartTitle, titleFont);
  Graph1_->plotLayout()->addElement(0, 0, chartTitle_);
  bars_ = new QCPBars(Graph1_->xAxis, Graph1_->yAxis);
  bars_->setWidth(0.6);
  bars_->setPen(QPen(QColor(30, 80, 160)));
  bars_->setBrush(QColor(70, 130, 200));
  QSharedPointer<QCPAxisTickerFixed> ticker(new QCPAxisTickerFixed);
  ticker->setTickStep(1.0);
  ticker->setScaleStrategy(QCPAxisTickerFixed::ssMultiples);
  ticker->setTickCount(12);
  Graph1_->xAxis->setTicker(ticker);
  Graph1_->xAxis->setLabel("Repetition");

  // Data to Plot.
  auto* plotFrame = Named(new QGroupBox("Data to Plot"), "fraDataToPlot");
  auto* plotLayout = new QGridLayout(plotFrame);
  for (std::size_t i = 0; i < options_.size(); ++i) {
    options_[i] = Named(new QRadioButton(kPlotOptions[i].caption), kPlotOptions[i].name);
    plotLayout->addWidget(options_[i], static_cast<int>(i % 3), static_cast<int>(i / 3));
  }
  options_[static_cast<std::size_t>(PlotVariable::Acceleration)]->setToolTip(
      "Select to display acceleration");
  options_[0]->setChecked(true);

  // The commands.
  cmdStartStopRecord_ = Named(new QPushButton("S&tart"), "cmdStartStopRecord");
  QFont startFont = cmdStartStopRecord_->font();
  startFont.setBold(true);
  cmdStartStopRecord_->setFont(startFont);
  cmdStartStopRecord_->setMinimumHeight(36);
  cmdNewSet_ = Named(new QPushButton("&New Set"), "cmdNewSet");
  cmdZeroBar_ = Named(new QPushButton("&Zero Position"), "cmdZeroBar");
  cmdSaveTrainingData_ = Named(new QPushButton("&Save Set"), "cmdSaveTrainingData");
  cmdLoadSet_ = Named(new QPushButton("&Load Set"), "cmdLoadSet");
  cmdPrint_ = Named(new QPushButton("&Print"), "cmdPrint");
  auto* commands = new QGridLayout;
  commands->addWidget(cmdStartStopRecord_, 0, 0, 1, 2);
  commands->addWidget(cmdNewSet_, 1, 0);
  commands->addWidget(cmdZeroBar_, 1, 1);
  commands->addWidget(cmdSaveTrainingData_, 2, 0);
  commands->addWidget(cmdLoadSet_, 2, 1);
  commands->addWidget(cmdPrint_, 3, 0);

  chkFlightPhase_ = Named(new QCheckBox("Flight Phase"), "chkFlightPhase");
  chkBrakeOn_ = Named(new QCheckBox("Brake ON"), "chkBrakeOn");
  chkBrakeOn_->setToolTip("Brake on the way up, released after the bottom of each repetition");
  chkShowFeedback_ = Named(new QCheckBox("Visual Feedback"), "chkShowFeedback");
  txtThreshold_ = Named(new QLineEdit, "txtThreshold");
  txtWeight_ = Named(new QLineEdit, "txtWeight");
  for (QLineEdit* box : {txtThreshold_, txtWeight_}) box->setMaximumWidth(90);
  auto* options = new QFormLayout;
  options->addRow(chkFlightPhase_);
  options->addRow(chkBrakeOn_);
  options->addRow(chkShowFeedback_);
  options->addRow("threshold", txtThreshold_);
  options->addRow("mass (kg)", txtWeight_);

  // Status.
  auto* statusFrame = Named(new QGroupBox("Status"), "fraStatus");
  chkStatusDisplay_ = Named(new QCheckBox("Display ON"), "chkStatusDisplay");
  chkStatusDisplay_->setChecked(session_.training.statusDisplay);
  lblShowStat_ = Named(new QLabel("Stopped"), "lblShowStat");
  QFont statFont = lblShowStat_->font();
  statFont.setBold(true);
  lblShowStat_->setFont(statFont);
  lblHeight_ = Readout("lblHeight", "000.000");
  lblDirection_ = Readout("lblDirection", "STILL");
  lblTrainSampleFreq_ = Readout("lblTrainSampleFreq", "0.0");
  auto* status = new QFormLayout(statusFrame);
  status->addRow(chkStatusDisplay_, lblShowStat_);
  status->addRow("Current Position", lblHeight_);
  status->addRow("Current Direction", lblDirection_);
  status->addRow("Sample Freq.", lblTrainSampleFreq_);

  // Summary of Set: peak and average of each value, then the totals.
  auto* summaryFrame = Named(new QGroupBox("Summary of Set"), "fraSummary");
  auto* summary = new QGridLayout(summaryFrame);
  summary->setHorizontalSpacing(14);
  auto* peakHeading = new QLabel("peak");
  auto* averageHeading = new QLabel("average");
  for (QLabel* heading : {peakHeading, averageHeading}) {
    QFont f = heading->font();
    f.setItalic(true);
    heading->setFont(f);
    heading->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  }
  summary->addWidget(peakHeading, 0, 1);
  summary->addWidget(averageHeading, 0, 2);
  for (int r = 0; r < kSummaryRows; ++r) {
    const auto i = static_cast<std::size_t>(r);
    summary->addWidget(new QLabel(kSummaryRowLabels[i]), r + 1, 0);
    peakLabels_[i] = Readout(kPeakLabelNames[i], "");
    averageLabels_[i] = Readout(kAverageLabelNames[i], "");
    summary->addWidget(peakLabels_[i], r + 1, 1);
    summary->addWidget(averageLabels_[i], r + 1, 2);
  }
  LabelTotalReps_ = Readout("LabelTotalReps", "0");
  LabelTotalWork_ = Readout("LabelTotalWork", "0");
  summary->addWidget(new QLabel("Total Reps"), kSummaryRows + 1, 0);
  summary->addWidget(LabelTotalReps_, kSummaryRows + 1, 1);
  summary->addWidget(new QLabel("Total Work Done"), kSummaryRows + 2, 0);
  summary->addWidget(LabelTotalWork_, kSummaryRows + 2, 1);
  CommandSaveSummary_ = Named(new QPushButton("Save su&mmary"), "CommandSaveSummary");
  summary->addWidget(CommandSaveSummary_, kSummaryRows + 3, 0, 1, 3);

  // Grid over chart on the left; the controls in two columns on the right.
  auto* left = new QVBoxLayout;
  left->addWidget(Grid_, 2);
  left->addWidget(Graph1_, 3);
  auto* controls = new QVBoxLayout;
  controls->addLayout(commands);
  controls->addSpacing(6);
  controls->addLayout(options);
  controls->addWidget(plotFrame);
  controls->addStretch(1);
  auto* frames = new QVBoxLayout;
  frames->addWidget(statusFrame);
  frames->addWidget(summaryFrame);
  frames->addStretch(1);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left, 1);
  layout->addLayout(controls);
  layout->addLayout(frames);
}

void FrmTraining::ConnectControls() {
  connect(cmdStartStopRecord_, &QPushButton::clicked, this, &FrmTraining::cmdStartStopRecord_Click);
  connect(cmdNewSet_, &QPushButton::clicked, this, &FrmTraining::cmdNewSet_Click);
  connect(cmdZeroBar_, &QPushButton::clicked, this, &FrmTraining::cmdZeroBar_Click);
  connect(cmdSaveTrainingData_, &QPushButton::clicked, this,
          &FrmTraining::cmdSaveTrainingData_Click);
  connect(cmdLoadSet_, &QPushButton::clicked, this, &FrmTraining::cmdLoadSet_Click);
  connect(cmdPrint_, &QPushButton::clicked, this, &FrmTraining::cmdPrint_Click);
  connect(CommandSaveSummary_, &QPushButton::clicked, this, &FrmTraining::CommandSaveSummary_Click);
  connect(chkFlightPhase_, &QCheckBox::clicked, this, &FrmTraining::chkFlightPhase_Click);
  connect(chkBrakeOn_, &QCheckBox::clicked, this, &FrmTraining::chkBrakeOn_Click);
  connect(chkShowFeedback_, &QCheckBox::clicked, this, &FrmTraining::chkShowFeedback_Click);
  connect(chkStatusDisplay_, &QCheckBox::clicked, this, &FrmTraining::chkStatusDisplay_Click);
  connect(txtThreshold_, &QLineEdit::editingFinished, this, &FrmTraining::txtThreshold_Apply);
  connect(txtWeight_, &QLineEdit::editingFinished, this, &FrmTraining::txtWeight_Apply);
  for (std::size_t i = 0; i < options_.size(); ++i) {
    connect(options_[i], &QRadioButton::clicked, this,
            [this, i] { optPlot_Click(static_cast<PlotVariable>(i)); });
  }
}

void FrmTraining::InstallHooks() {
  TrainingHooks& h = session_.training.hooks;
  h.setCleared = [this] { ClearSet(); };
  h.repetitionShown = [this](std::int32_t repetition) { ShowRepetitionRow(repetition); };
  h.feedback = [this](const Feedback& feedback) {
    if (feedbackWindow_) feedbackWindow_->ShowFeedback(feedback);
    sounds_->Play(feedback.sound);
  };
  h.showFeedbackWindow = [this](bool show) {
    if (feedbackWindow_) feedbackWindow_->ShowWindow(show);
  };
  h.stateChanged = [this] { ApplyState(); };
  h.chartReplot = [this] { Replot(); };
  CollectionHooks& c = session_.collection.hooks;
  c.showTrainingWindow = [this] { BringBack(); };
  c.showCountIn = [this](int number) {
    if (feedbackWindow_) feedbackWindow_->ShowCountIn(number);
  };
}

TrainingContext FrmTraining::Context() const {
  return TrainingContextOf(session_);
}

void FrmTraining::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) ApplySettings();
  QWidget::changeEvent(event);
}

void FrmTraining::showEvent(QShowEvent* event) {
  ApplySettings();
  QWidget::showEvent(event);
}

// The boxes follow the settings (they may have changed in other windows).
void FrmTraining::ApplySettings() {
  const SettingsRecord& s = session_.settings;
  updatingBoxes_ = true;
  if (!txtWeight_->hasFocus()) {
    txtWeight_->setText(BoxNumber(s.weight));
    txtWeight_->setStyleSheet({});
    txtWeight_->setToolTip({});
  }
  if (!txtThreshold_->hasFocus()) txtThreshold_->setText(BoxNumber(s.FeedbackThreshold));
  chkShowFeedback_->setChecked(s.showfeedback);
  chkBrakeOn_->setChecked(s.BrakeOnUp);
  const int rows = s.maxreps > 0 ? s.maxreps : kDefaultGridRows;
  if (Grid_->rowCount() < rows) Grid_->setRowCount(rows);
  updatingBoxes_ = false;
}

// Run on every state change, up to ten times a second while a set records:
// only texts and enabled states.
void FrmTraining::ApplyState() {
  const TrainingState& t = session_.training;
  const bool running = t.phase != TrainingPhase::Stopped || !t.startEnabled;
  cmdStartStopRecord_->setText(t.phase == TrainingPhase::Stopped ? "S&tart" : "S&top");
  cmdStartStopRecord_->setEnabled(t.startEnabled);
  for (QWidget* w : std::initializer_list<QWidget*>{cmdNewSet_, cmdZeroBar_, cmdSaveTrainingData_,
                                                    cmdLoadSet_, cmdPrint_, CommandSaveSummary_,
                                                    chkFlightPhase_, txtWeight_}) {
    w->setEnabled(!running);
  }
  lblShowStat_->setText(PhaseText(t.phase));
  if (t.statusDisplay) {
    lblHeight_->setText(Q(FormatNumber(t.analysis.CurrentDisplacement, "000.000")));
    lblDirection_->setText(DirectionText(t.analysis.direction));
  }
  lblTrainSampleFreq_->setText(Q(FormatNumber(t.effectiveRate.value_or(0.0), "0.0")));
  if (t.FlightPhaseMode != flightPhaseShown_) ApplyFlightPhase();
}

// Grid column 3 and the contact-time option follow the flight mode.
void FrmTraining::ApplyFlightPhase() {
  const bool flight = session_.training.FlightPhaseMode;
  flightPhaseShown_ = flight;
  QStringList headings;
  for (const std::string& h : RepetitionGridHeadings(flight)) headings << Q(h);
  Grid_->setHorizontalHeaderLabels(headings);
  options_[static_cast<std::size_t>(PlotVariable::ContactTime)]->setText(
      Q(ContactTimeCaption(flight)));
  chkFlightPhase_->setChecked(flight);
}

void FrmTraining::ClearSet() {
  const int rows = session_.settings.maxreps > 0 ? session_.settings.maxreps : kDefaultGridRows;
  Grid_->clearContents();
  Grid_->setRowCount(rows);
  bars_->data()->clear();
  PlotChart();
  ShowSummary();
}

void FrmTraining::ShowRepetitionRow(std::int32_t repetition) {
  if (repetition < 1) return;
  const RepetitionSet& set = session_.training.set();
  // A set longer than the grid: the grid grows with it.
  if (Grid_->rowCount() < repetition) Grid_->setRowCount(repetition);
  const int row = repetition - 1;
  const auto texts = RepetitionGridRow(set, repetition);
  for (int c = 0; c < kRepetitionGridColumns; ++c) {
    QTableWidgetItem* item = Grid_->item(row, c);
    if (item == nullptr) {
      item = new QTableWidgetItem;
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      Grid_->setItem(row, c, item);
    }
    item->setText(Q(texts[static_cast<std::size_t>(c)]));
  }
  Grid_->setCurrentCell(row, 0);
  // The chart's point of this repetition (a repetition shown again replaces
  // it and those after it).
  bars_->data()->removeAfter(repetition - 0.5);
  if (const auto value = PlottedValue(set, session_.training.plot, repetition))
    bars_->addData(repetition, *value);
  PlotChart();
  ShowSummary();
}

void FrmTraining::ShowSummary() {
  const SetSummaryTexts texts = SetSummaryLabels(session_.training.summary);
  for (std::size_t i = 0; i < static_cast<std::size_t>(kSummaryRows); ++i) {
    peakLabels_[i]->setText(Q(texts.peak[i]));
    averageLabels_[i]->setText(Q(texts.average[i]));
  }
  LabelTotalReps_->setText(Q(texts.totalReps));
  LabelTotalWork_->setText(Q(texts.totalWork));
}

// The chart drawn again from the set: the chosen value of every repetition.
void FrmTraining::Replot() {
  const TrainingState& t = session_.training;
  {
    const QSignalBlocker block(options_[static_cast<std::size_t>(t.plot)]);
    options_[static_cast<std::size_t>(t.plot)]->setChecked(true);
  }
  chartTitle_->setText(Q(ChartTitle(t.plot, t.FlightPhaseMode)));
  QVector<double> keys;
  QVector<double> values;
  for (std::int32_t r = 1; r <= t.set().RepCount; ++r) {
    if (const auto value = PlottedValue(t.set(), t.plot, r)) {
      keys << r;
      values << *value;
    }
  }
  bars_->setData(keys, values, true);
  PlotChart();
}

// Axes that show every bar, and a redraw when the window next paints (a
// loaded set shows many repetitions in a row).
void FrmTraining::PlotChart() {
  const TrainingState& t = session_.training;
  Graph1_->yAxis->setLabel(
      t.plot == PlotVariable::Acceleration ? QString() : Q(ChartTitle(t.plot, t.FlightPhaseMode)));
  double low = 0;
  double high = 0;
  int last = 0;
  for (auto it = bars_->data()->constBegin(); it != bars_->data()->constEnd(); ++it) {
    low = std::min(low, it->value);
    high = std::max(high, it->value);
    last = std::max(last, static_cast<int>(it->key));
  }
  if (high - low <= 0) high = low + 1;
  const double pad = (high - low) * 0.08;
  Graph1_->yAxis->setRange(low < 0 ? low - pad : 0, high > 0 ? high + pad : 0);
  Graph1_->xAxis->setRange(0.4, std::max(last, 5) + 0.6);
  Graph1_->replot(QCustomPlot::rpQueuedReplot);
}

void FrmTraining::BringBack() {
  if (bringBack_) {
    bringBack_();
    return;
  }
  window()->show();
  window()->raise();
}

void FrmTraining::cmdStartStopRecord_Click() {
  if (session_.training.phase == TrainingPhase::Stopped) sounds_->Preload();
  StartOrStopTraining(Context());
  ApplyState();
}

void FrmTraining::cmdNewSet_Click() {
  NewTrainingSet(Context());
}

void FrmTraining::cmdZeroBar_Click() {
  ZeroTrainingPosition(Context());
  ApplyState();
}

void FrmTraining::cmdSaveTrainingData_Click() {
  SaveTrainingSet(Context());
}

void FrmTraining::cmdLoadSet_Click() {
  if (LoadTrainingSet(Context())) ApplySettings();
}

void FrmTraining::cmdPrint_Click() {
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName("Training Set");
  QPrintDialog dialog(&printer, this);
  dialog.setWindowTitle("Print Training Set");
  if (dialog.exec() != QDialog::Accepted) return;
  if (!PrintSet(printer)) {
    session_.dialogs().ShowMessage(MessageIcon::Exclamation, kTrainingTitle,
                                   "The set could not be printed: the printer did not start.");
  }
}

bool FrmTraining::PrintSet(QPrinter& printer) {
  const TrainingState& t = session_.training;
  return PrintTrainingLines(
             printer, TrainingPrintLines(t.set(), TrainingSetAthlete(TrainingContextOf(session_)),
                                         session_.settings.weight, t.FlightPhaseMode,
                                         session_.clock().Now())) > 0;
}

void FrmTraining::CommandSaveSummary_Click() {
  SaveTrainingSummary(Context());
}

void FrmTraining::chkFlightPhase_Click(bool checked) {
  SetFlightPhase(Context(), checked);
  ApplyFlightPhase();
}

// The user's switch for the brake on the way up; what the brake applies
// shows in the status bar.
void FrmTraining::chkBrakeOn_Click(bool checked) {
  if (updatingBoxes_) return;
  session_.settings.BrakeOnUp = checked;
}

void FrmTraining::chkShowFeedback_Click(bool checked) {
  if (updatingBoxes_ || session_.settings.showfeedback == checked) return;
  session_.settings.showfeedback = checked;
  SaveSettings(session_.settings);
}

void FrmTraining::chkStatusDisplay_Click(bool checked) {
  session_.training.statusDisplay = checked;
  lblHeight_->setEnabled(checked);
  lblDirection_->setEnabled(checked);
}

void FrmTraining::txtThreshold_Apply() {
  if (updatingBoxes_) return;
  const float before = session_.settings.FeedbackThreshold;
  SetFeedbackThreshold(Context(), txtThreshold_->text().toStdString());
  const float after = session_.settings.FeedbackThreshold;
  updatingBoxes_ = true;
  txtThreshold_->setText(BoxNumber(after));
  updatingBoxes_ = false;
  if (after != before) SaveSettings(session_.settings);
}

// A mass of 0 or less is refused: the old mass stays and the box says so
// until a mass is accepted.
void FrmTraining::txtWeight_Apply() {
  if (updatingBoxes_) return;
  if (SetTrainingMass(Context(), txtWeight_->text().toStdString())) {
    txtWeight_->setStyleSheet({});
    txtWeight_->setToolTip({});
  } else {
    txtWeight_->setStyleSheet("color: red;");
    txtWeight_->setToolTip(kMassRefused);
  }
}

void FrmTraining::optPlot_Click(PlotVariable variable) {
  ChoosePlotVariable(Context(), variable);
}

int PrintTrainingLines(QPrinter& printer, const std::vector<std::string>& lines) {
  QPainter painter;
  if (!painter.begin(&printer)) return 0;
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setPointSizeF(10);
  const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
  std::size_t longest = 1;
  for (const std::string& line : lines) longest = std::max(longest, line.size());
  const double wide = QFontMetricsF(font, &printer).horizontalAdvance(QString(longest, 'M'));
  if (wide > page.width()) font.setPointSizeF(std::max(5.0, 10.0 * page.width() / wide));
  painter.setFont(font);
  const QFontMetricsF metrics(font, &printer);
  const double step = metrics.lineSpacing();
  int pages = 1;
  double y = metrics.ascent();
  for (const std::string& line : lines) {
    if (y + metrics.descent() > page.height()) {
      printer.newPage();
      ++pages;
      y = metrics.ascent();
    }
    painter.drawText(QPointF(0, y), QString::fromStdString(line));
    y += step;
  }
  painter.end();
  return pages;
}

FrmTraining* InstallTrainingWindow(Session& session, MainForm& mainForm) {
  auto* feedback = new FrmVisualFeedback(&mainForm);
  auto* form = new FrmTraining(session, feedback);
  auto* window = new ToolSubWindow(form);
  window->setObjectName("frmTrainingWindow");
  mainForm.MdiArea()->addSubWindow(window);
  window->resize(FrmTraining::LoadSize());
  mainForm.RegisterChildWindow(ChildWindow::Training, window);
  form->SetBringBack([&mainForm] { mainForm.ShowChildWindow(ChildWindow::Training); });
  return form;
}

}  // namespace torvane
