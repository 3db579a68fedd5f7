#include "analysis/ui/frm_analysis.hpp"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QUndoStack>
#include <QVBoxLayout>

#include "acquisition/collection_session.hpp"
#include "analysis/analysis_window_rules.hpp"
#include "analysis/ui/form_digital_display.hpp"
#include "analysis/ui/form_graph_options.hpp"
#include "analysis/ui/form_seek_options.hpp"
#include "analysis/ui/frm_scale_offset_data.hpp"
#include "analysis/ui/graph_widget.hpp"
#include "common/number_text.hpp"
#include "config/settings_io.hpp"
#include "files/export_file.hpp"
#include "report/ui/report_page.hpp"
#include "results/ui/frm_process.hpp"
#include "shell/acquisition_session.hpp"
#include "shell/analysis_session.hpp"
#include "shell/main_menu_state.hpp"
#include "shell/report_session.hpp"
#include "shell/session.hpp"
#include "shell/status_reporting.hpp"
#include "shell/trial_analysis.hpp"
#include "shell/ui/main_form.hpp"
#include "shell/ui/tool_sub_window.hpp"

namespace torvane {

namespace {

constexpr const char* kCaption = "Collect and Analyze";
constexpr const char* kClosedCaption = "Collect and Analyse";
constexpr const char* kDamagedTitle = "Collection damaged";
constexpr const char* kCutShortTitle = "Collection cut short";
const char* const kFileEntries[] = {"mnuFileOpen", "mnuFileClose",  "mnuSave",
                                    "mnuSaveAs",   "mnuFileExport", "mnuFileReport"};

template <typename T>
T* Named(T* widget, const char* name) {
  widget->setObjectName(name);
  return widget;
}

// Buttons may be as narrow as their captions: at the style's 80-pixel
// minimum the window would be wider than a laptop's workspace (1366 × 768,
// or 1920 × 1080 at 125 %).
QPushButton* Button(const char* name, const char* caption, const char* tip = nullptr) {
  auto* b = Named(new QPushButton(caption), name);
  if (tip != nullptr) b->setToolTip(tip);
  b->setAutoDefault(false);
  const int text = b->fontMetrics().horizontalAdvance(QString(caption).remove('&'));
  b->setMinimumWidth(text + 2 * b->style()->pixelMetric(QStyle::PM_ButtonMargin) + 8);
  return b;
}

QLineEdit* ReadOut(const char* name) {
  auto* e = Named(new QLineEdit, name);
  e->setReadOnly(true);
  e->setMinimumWidth(70);
  e->setMaximumWidth(90);
  return e;
}

QLabel* Label(const char* name) {
  auto* l = Named(new QLabel, name);
  l->setMinimumWidth(60);
  return l;
}

// Closing the window from its frame asks first; a window that may close
// only hides (it lives for the whole run).
class AnalysisSubWindow final : public ToolSubWindow {
 public:
  AnalysisSubWindow(FrmAnalysis* form) : ToolSubWindow(form), form_(form) {}

 protected:
  void closeEvent(QCloseEvent* event) override {
    if (!form_->QueryClose()) {
      event->ignore();
      return;
    }
    ToolSubWindow::closeEvent(event);
  }

 private:
  FrmAnalysis* form_;
};

}  // namespace

FrmAnalysis::FrmAnalysis(Session& session, QWidget* parent) : QWidget(parent), session_(session) {
  setObjectName("frmAnalysis");
  setWindowTitle(kCaption);
  BuildControls();
  // The window is never made smaller than its controls need: squeezed, the
  // read-out boxes and their labels would be cut off.
  setMinimumSize(minimumSizeHint());
  ConnectControls();
  InstallCollectionHooks();

  // Opening the window.
  TrialDataSet& trial = session_.trial;
  trial.DataSaved = false;
  trial.DataCollected = false;
  if (session_.settings.weight < 0) session_.settings.weight = 10;
  TextEndPoint_->setText(QString::fromStdString(TrialDurationText(session_.settings)));
  session_.collection.durationSeconds = TextEndPoint_->text().toDouble();
  ApplySettings();
  UpdateStatusBar(session_);
  LoadAndPlot();
}

FrmAnalysis::~FrmAnalysis() {
  CollectionHooks& hooks = session_.collection.hooks;
  hooks = CollectionHooks{};
}

void FrmAnalysis::BuildControls() {
  graph_ = new GraphWidget(this);
  graph_->setMinimumSize(480, 300);

  auto* channels = Named(new QGroupBox("Channel"), "fraChannel");
  auto* channelLayout = new QVBoxLayout(channels);
  optDist_ = Named(new QRadioButton("&Displacement"), "optDist");
  optVel_ = Named(new QRadioButton("&Velocity"), "optVel");
  optAccel_ = Named(new QRadioButton("A&cceleration"), "optAccel");
  optForce_ = Named(new QRadioButton("&Force"), "optForce");
  optPower_ = Named(new QRadioButton("&Power"), "optPower");
  for (QRadioButton* b : {optDist_, optVel_, optAccel_, optForce_, optPower_}) {
    channelLayout->addWidget(b);
  }
  optDist_->setChecked(true);

  auto* markers = Named(new QGroupBox("Marker"), "fraMarker");
  auto* markerLayout = new QGridLayout(markers);
  optMarker1_ = Named(new QRadioButton("Marker &1"), "optMarker1");
  optMarker2_ = Named(new QRadioButton("Marker &2"), "optMarker2");
  optMarker1_->setChecked(true);
  butMarkLeft10_ = Button("butMarkLeft10", "<<", "move selected point to the left by 10 samples");
  butMarkLeft_ = Button("butMarkLeft", "<", "move selected point to the left by 1 sample");
  butMarkRight_ = Button("butMarkRight", ">", "move selected point to the right by 1 sample");
  butMarkRight10_ =
      Button("butMarkRight10", ">>", "move selected point to the right by 10 samples");
  CheckSeek_ = Named(new QCheckBox("Seek"), "CheckSeek");
  CheckSeek_->installEventFilter(this);
  seekOptions_ = new FormSeekOptions(session_, this);
  markerLayout->addWidget(optMarker1_, 0, 0, 1, 2);
  markerLayout->addWidget(optMarker2_, 0, 2, 1, 2);
  markerLayout->addWidget(butMarkLeft10_, 1, 0);
  markerLayout->addWidget(butMarkLeft_, 1, 1);
  markerLayout->addWidget(butMarkRight_, 1, 2);
  markerLayout->addWidget(butMarkRight10_, 1, 3);
  markerLayout->addWidget(CheckSeek_, 2, 0, 1, 4);

  auto* zoom = Named(new QGroupBox("View"), "fraZoom");
  auto* zoomLayout = new QGridLayout(zoom);
  butZoomIn_ = Button("butZoomIn", "Zoom &in");
  butZoomOut_ = Button("butZoomOut", "Zoom &out");
  butZoomToMarkers_ = Button("butZoomToMarkers", "&Markers");
  butExpand_ = Button("butExpand", "&Expand");
  butScrollLeft_ = Button("butScrollLeft", "<");
  butScrollRight_ = Button("butScrollRight", ">");
  zoomLayout->addWidget(butZoomIn_, 0, 0);
  zoomLayout->addWidget(butZoomOut_, 0, 1);
  zoomLayout->addWidget(butZoomToMarkers_, 1, 0);
  zoomLayout->addWidget(butExpand_, 1, 1);
  zoomLayout->addWidget(butScrollLeft_, 2, 0);
  zoomLayout->addWidget(butScrollRight_, 2, 1);

  auto* readouts = Named(new QGroupBox("Read-outs"), "fraReadouts");
  auto* r = new QGridLayout(readouts);
  lblPoint1_ = Label("lblPoint1");
  lblPoint2_ = Label("lblPoint2");
  txtXValue1_ = ReadOut("txtXValue1");
  txtXValue2_ = ReadOut("txtXValue2");
  txtYValue1_ = ReadOut("txtYValue1");
  txtYValue2_ = ReadOut("txtYValue2");
  lblTimeDiff_ = Label("lblTimeDiff");
  lblMax_ = Label("lblMax");
  lblMin_ = Label("lblMin");
  lblMean_ = Label("lblMean");
  r->addWidget(new QLabel("time (s)"), 0, 1);
  r->addWidget(new QLabel("1"), 1, 0);
  r->addWidget(txtXValue1_, 1, 1);
  r->addWidget(txtYValue1_, 1, 2);
  r->addWidget(lblPoint1_, 1, 3);
  r->addWidget(new QLabel("2"), 2, 0);
  r->addWidget(txtXValue2_, 2, 1);
  r->addWidget(txtYValue2_, 2, 2);
  r->addWidget(lblPoint2_, 2, 3);
  r->addWidget(new QLabel("difference"), 3, 0);
  r->addWidget(lblTimeDiff_, 3, 1);
  r->addWidget(new QLabel("max"), 4, 0);
  r->addWidget(lblMax_, 4, 1);
  r->addWidget(new QLabel("min"), 5, 0);
  r->addWidget(lblMin_, 5, 1);
  r->addWidget(new QLabel("mean"), 6, 0);
  r->addWidget(lblMean_, 6, 1);

  auto* calc = Named(new QGroupBox("Calculate from"), "fraCalculate");
  auto* c = new QGridLayout(calc);
  CheckCalculateFromDisplacement_ =
      Named(new QCheckBox("displacement"), "CheckCalculateFromDisplacement");
  CheckCalculateFromForce_ = Named(new QCheckBox("force"), "CheckCalculateFromForce");
  CheckCalculateFromAcceleration_ =
      Named(new QCheckBox("acceleration"), "CheckCalculateFromAcceleration");
  CheckReverseIntegrate_ = Named(new QCheckBox("reverse integrate"), "CheckReverseIntegrate");
  CheckCalculateFromDisplacement_->setChecked(true);
  CheckReverseIntegrate_->setEnabled(false);
  txtMass_ = Named(new QLineEdit, "txtMass");
  txtMass_->setMaximumWidth(80);
  CommandSetMass_ = Button("CommandSetMass", "Set &mass");
  CheckShowPhases_ = Named(new QCheckBox("show phases"), "CheckShowPhases");
  checkFrameJump_ = Named(new QCheckBox("frame jump"), "checkFrameJump");
  c->addWidget(CheckCalculateFromDisplacement_, 0, 0);
  c->addWidget(CheckCalculateFromForce_, 1, 0);
  c->addWidget(CheckCalculateFromAcceleration_, 2, 0);
  c->addWidget(CheckReverseIntegrate_, 3, 0);
  c->addWidget(new QLabel("mass (kg)"), 0, 1);
  c->addWidget(txtMass_, 1, 1);
  c->addWidget(CommandSetMass_, 2, 1);
  c->addWidget(CheckShowPhases_, 4, 0);
  c->addWidget(checkFrameJump_, 4, 1);

  auto* collect = Named(new QGroupBox("Collect"), "fraCollect");
  auto* k = new QGridLayout(collect);
  cmdCollect_ = Button("cmdCollect", "&Start");
  TextEndPoint_ = Named(new QLineEdit, "TextEndPoint");
  TextEndPoint_->setMaximumWidth(70);
  TextTrialNumber_ = Named(new QLineEdit(" 0"), "TextTrialNumber");
  TextTrialNumber_->setMaximumWidth(70);
  TextMovementCode_ = Named(new QLineEdit, "TextMovementCode");
  TextMovementCode_->setMaximumWidth(70);
  CheckCountInStart_ = Named(new QCheckBox("count in"), "CheckCountInStart");
  chkRealTimePlot_ = Named(new QCheckBox("real-time plot"), "chkRealTimePlot");
  cmdZeroDisp_ = Button("cmdZeroDisp", "Zero &disp");
  cmdZeroForce_ = Button("cmdZeroForce", "Zero f&orce");
  CommandZeroAcceleration_ = Button("CommandZeroAcceleration", "Zero acc&el");
  cmdLoadFile_ = Button("cmdLoadFile", "&Load");
  cmdSaveData_ = Button("cmdSaveData", "Sa&ve");
  k->addWidget(cmdCollect_, 0, 0, 1, 2);
  k->addWidget(new QLabel("duration (s)"), 1, 0);
  k->addWidget(TextEndPoint_, 1, 1);
  k->addWidget(new QLabel("trial"), 2, 0);
  k->addWidget(TextTrialNumber_, 2, 1);
  k->addWidget(new QLabel("movement"), 3, 0);
  k->addWidget(TextMovementCode_, 3, 1);
  k->addWidget(CheckCountInStart_, 4, 0);
  k->addWidget(chkRealTimePlot_, 4, 1);
  k->addWidget(cmdZeroDisp_, 5, 0);
  k->addWidget(cmdZeroForce_, 5, 1);
  k->addWidget(CommandZeroAcceleration_, 6, 0);
  k->addWidget(cmdLoadFile_, 7, 0);
  k->addWidget(cmdSaveData_, 7, 1);

  auto* side = new QVBoxLayout;
  side->addWidget(collect);
  side->addWidget(channels);
  side->addStretch();
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(markers);
  bottom->addWidget(zoom);
  bottom->addWidget(readouts);
  bottom->addWidget(calc);
  bottom->addStretch();
  auto* left = new QVBoxLayout;
  left->addWidget(graph_, 1);
  left->addLayout(bottom);
  auto* top = new QHBoxLayout(this);
  top->addLayout(left, 1);
  top->addLayout(side);
}

void FrmAnalysis::ConnectControls() {
  for (QRadioButton* b : {optDist_, optVel_, optAccel_, optForce_, optPower_}) {
    connect(b, &QRadioButton::toggled, this, [this](bool on) {
      if (on) optChannel_Click();
    });
  }
  for (QRadioButton* b : {optMarker1_, optMarker2_}) {
    connect(b, &QRadioButton::toggled, this, [this](bool on) {
      if (on) UpdateValues();
    });
  }
  const std::int32_t& n = session_.settings.samples;
  AnalysisView& v = session_.view;
  auto viewButton = [this](QPushButton* b, auto rule) {
    connect(b, &QPushButton::clicked, this, [this, rule] {
      rule();
      RefreshGraph();
    });
  };
  viewButton(butZoomIn_, [&v, &n] { ZoomIn(v, n); });
  viewButton(butZoomOut_, [&v, &n] { ZoomOut(v, n); });
  viewButton(butZoomToMarkers_, [&v, &n] { ZoomToMarkers(v, n); });
  viewButton(butScrollLeft_, [&v, &n] { ScrollLeft(v, n); });
  viewButton(butScrollRight_, [&v, &n] { ScrollRight(v, n); });
  connect(butExpand_, &QPushButton::clicked, this, [this, &v, &n] {
    Expand(v, n);
    RefreshGraph();
    UpdateValues();
  });
  connect(butMarkLeft_, &QPushButton::clicked, this, [this] { StepMarker(-1); });
  connect(butMarkRight_, &QPushButton::clicked, this, [this] { StepMarker(1); });
  connect(butMarkLeft10_, &QPushButton::clicked, this, [this] { StepMarker(-10); });
  connect(butMarkRight10_, &QPushButton::clicked, this, [this] { StepMarker(10); });
  connect(CheckSeek_, &QCheckBox::toggled, this, &FrmAnalysis::CheckSeek_Click);
  connect(CheckShowPhases_, &QCheckBox::toggled, this, [this] { RefreshGraph(); });
  connect(checkFrameJump_, &QCheckBox::toggled, this, [this] {
    UpdateValues();
    RefreshGraph();
  });
  connect(chkRealTimePlot_, &QCheckBox::toggled, this, &FrmAnalysis::chkRealTimePlot_Click);
  for (QCheckBox* b : {CheckCalculateFromDisplacement_, CheckCalculateFromForce_,
                       CheckCalculateFromAcceleration_, CheckReverseIntegrate_}) {
    connect(b, &QCheckBox::toggled, this, &FrmAnalysis::CalculationBox_Click);
  }
  connect(txtMass_, &QLineEdit::editingFinished, this, &FrmAnalysis::txtMass_Apply);
  connect(CommandSetMass_, &QPushButton::clicked, this, &FrmAnalysis::CommandSetMass_Click);
  connect(TextEndPoint_, &QLineEdit::editingFinished, this, &FrmAnalysis::TextEndPoint_Apply);
  connect(cmdCollect_, &QPushButton::clicked, this, &FrmAnalysis::cmdCollect_Click);
  connect(cmdZeroDisp_, &QPushButton::clicked, this, &FrmAnalysis::cmdZeroDisp_Click);
  connect(cmdZeroForce_, &QPushButton::clicked, this, &FrmAnalysis::cmdZeroForce_Click);
  connect(CommandZeroAcceleration_, &QPushButton::clicked, this,
          &FrmAnalysis::CommandZeroAcceleration_Click);
  connect(cmdLoadFile_, &QPushButton::clicked, this, &FrmAnalysis::OpenFileCommand);
  connect(cmdSaveData_, &QPushButton::clicked, this, [this] { SaveCommand(1); });

  connect(graph_, &GraphWidget::Clicked, this, &FrmAnalysis::Graph_Click);
  connect(graph_, &GraphWidget::MarkerDragged, this,
          [this, &v, &n](SelectedMarker marker, double sample) {
            DragMarker(v, n, marker, sample);
            AfterMarkerMove();
          });
  connect(graph_, &GraphWidget::MouseAt, this, &FrmAnalysis::Graph_MouseAt);
  connect(graph_, &GraphWidget::WheelZoom, this, [this, &v, &n](double centre, double factor) {
    ZoomAbout(v, n, centre, factor);
    RefreshGraph();
  });
  connect(graph_, &GraphWidget::StepMarker, this, &FrmAnalysis::StepMarker);
  connect(graph_, &GraphWidget::ZoomInKey, butZoomIn_, &QPushButton::click);
  connect(graph_, &GraphWidget::ZoomOutKey, butZoomOut_, &QPushButton::click);
  connect(graph_, &GraphWidget::ExpandKey, butExpand_, &QPushButton::click);
  connect(graph_, &GraphWidget::GraphOptionsRequested, this, &FrmAnalysis::GraphOptionsRequested);
}

// The settings the window follows: force recorded, the accelerometer input,
// the mass, the eccentric strength test. Applied when the window opens and
// whenever it becomes active (the configuration window may have changed them).
void FrmAnalysis::ApplySettings() {
  SettingsRecord& s = session_.settings;
  updatingBoxes_ = true;
  if (s.weight <= 0) s.weight = 10;
  txtMass_->setText(QString::fromStdString(ShortNumericText(static_cast<double>(s.weight))));
  const bool accel = s.AccelInput;
  const bool wasAccel =
      CheckCalculateFromAcceleration_->isVisible() || CheckCalculateFromAcceleration_->isChecked();
  CheckCalculateFromAcceleration_->setVisible(accel);
  CommandZeroAcceleration_->setVisible(accel);
  if (accel && !CheckCalculateFromAcceleration_->isChecked()) {
    CheckCalculateFromAcceleration_->setChecked(true);
    CheckCalculateFromDisplacement_->setChecked(false);
    CheckCalculateFromForce_->setChecked(false);
    optAccel_->setChecked(true);
  } else if (!accel && wasAccel && CheckCalculateFromAcceleration_->isChecked()) {
    CheckCalculateFromAcceleration_->setChecked(false);
    CheckCalculateFromDisplacement_->setChecked(true);
  }
  if (!accel) {
    CheckCalculateFromForce_->setChecked(s.RecordForce);
    if (!s.RecordForce) CheckCalculateFromDisplacement_->setChecked(true);
  }
  CheckReverseIntegrate_->setEnabled(!CheckCalculateFromDisplacement_->isChecked());
  chkRealTimePlot_->setChecked(s.realtimeplot);
  updatingBoxes_ = false;
  ApplyCollectionState();
}

void FrmAnalysis::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && !Busy()) ApplySettings();
  QWidget::changeEvent(event);
}

bool FrmAnalysis::eventFilter(QObject* watched, QEvent* event) {
  if (watched == CheckSeek_ && event->type() == QEvent::MouseButtonPress &&
      static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
    CheckSeek_RightPress();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

bool FrmAnalysis::Busy() const {
  return TrialInUse(session_);
}

ShownChannel FrmAnalysis::Channel() const {
  if (optVel_->isChecked()) return ShownChannel::Velocity;
  if (optForce_->isChecked()) return ShownChannel::Force;
  if (optAccel_->isChecked()) return ShownChannel::Acceleration;
  if (optPower_->isChecked()) return ShownChannel::Power;
  return ShownChannel::Displacement;
}

SelectedMarker FrmAnalysis::Marker() const {
  return optMarker2_->isChecked() ? SelectedMarker::Marker2 : SelectedMarker::Marker1;
}

CalculationMode FrmAnalysis::Mode() const {
  return CalculationMode{.fromDisplacement = CheckCalculateFromDisplacement_->isChecked(),
                         .fromForce = CheckCalculateFromForce_->isChecked(),
                         .fromAcceleration = CheckCalculateFromAcceleration_->isChecked(),
                         .reverseIntegrate = CheckReverseIntegrate_->isChecked()};
}

TrialNameParts FrmAnalysis::NameParts() const {
  return TrialNameParts{TextMovementCode_->text().toStdString(),
                        TextTrialNumber_->text().toStdString()};
}

CollectionContext FrmAnalysis::Collection() const {
  return CollectionContextOf(session_);
}

void FrmAnalysis::LoadAndPlot() {
  const QString word = ChannelWord(Channel());
  lblPoint1_->setText(word);
  lblPoint2_->setText(word);
  const SettingsRecord& s = session_.settings;
  // While a collection runs, only the samples that have arrived are drawn:
  // the trace grows from the left instead of dropping to the zeros ahead.
  const std::int32_t drawn =
      session_.collection.collecting ? std::min(s.samples, session_.trial.SampleCount) : s.samples;
  graph_->SetChannel(ShownChannelArray(session_.trial, Channel()), drawn, s.frequency,
                     ChannelUnit(Channel()));
  RefreshGraph();
}

void FrmAnalysis::RefreshGraph() {
  const SettingsRecord& s = session_.settings;
  AnalysisView& v = session_.view;
  yRange_ = SetDataParameters(v, ShownChannelArray(session_.trial, Channel()), s.samples, false);
  graph_->SetView(v.ViewStart, v.ViewEnd, yRange_);
  graph_->SetMarkers(v.Marker1Sample, v.Marker2Sample);
  graph_->SetPhaseLines(PhaseLineSamples(v, s.frequency, CheckShowPhases_->isChecked(),
                                         checkFrameJump_->isChecked()));
  if (session_.collection.phase == CollectionPhase::Collecting) {
    graph_->RequestRedraw();
  } else {
    graph_->Redraw();
  }
}

void FrmAnalysis::UpdateValues() {
  const SettingsRecord& s = session_.settings;
  AnalysisView& v = session_.view;
  ClampMarkers(v, s.samples);
  const bool frameJump = checkFrameJump_->isChecked();
  const ResultsOptions options{.frameJump = false, .meanConcentricOnly = meanConcentricOnly_};
  UpdateValuesResult r = torvane::UpdateValues(session_.trial, s, v, Channel(), options);
  if (frameJump && r.results) {
    // The jump frame of this trial's phases, just found over the range.
    SetJumpFrameFromPhases(v, s.frequency);
    r.results =
        ProcessData(ResultsInputOf(session_.trial, s), v,
                    ResultsOptions{.frameJump = true, .meanConcentricOnly = meanConcentricOnly_});
  }
  const MarkerReadouts& m = r.readouts;
  if (m.timesShown) {
    txtXValue1_->setText(QString::fromStdString(m.txtXValue1));
    txtXValue2_->setText(QString::fromStdString(m.txtXValue2));
    lblTimeDiff_->setText(QString::fromStdString(m.lblTimeDiff));
  }
  txtYValue1_->setText(QString::fromStdString(m.txtYValue1));
  txtYValue2_->setText(QString::fromStdString(m.txtYValue2));
  if (r.summary) {
    lblMax_->setText(QString::fromStdString(r.summary->lblMax));
    lblMin_->setText(QString::fromStdString(r.summary->lblMin));
    lblMean_->setText(QString::fromStdString(r.summary->lblMean));
  }
  results_ = r.results;
  emit ResultsChanged();
}

void FrmAnalysis::Recalculate() {
  if (Busy()) return;
  ReCalculate(session_.trial, session_.settings, Mode());
  UpdateValues();
  LoadAndPlot();
}

void FrmAnalysis::SetMeanConcentricOnly(bool only) {
  meanConcentricOnly_ = only;
  if (!Busy()) UpdateValues();
}

void FrmAnalysis::optChannel_Click() {
  LoadAndPlot();
  UpdateValues();
  emit ChannelChanged(Channel());
}

void FrmAnalysis::AfterMarkerMove() {
  RefreshGraph();
  UpdateValues();
}

void FrmAnalysis::StepMarker(int samples) {
  AnalysisView& v = session_.view;
  const std::int32_t n = session_.settings.samples;
  if (CheckSeek_->isChecked() && (samples == 1 || samples == -1)) {
    SeekMarker(v, session_.trial, session_.settings, Marker(), samples > 0, Channel(),
               seekOptions_->Options());
  } else if (samples == 1) {
    MarkRight(v, n, Marker());
  } else if (samples == -1) {
    MarkLeft(v, n, Marker());
  } else if (samples > 0) {
    MarkRight10(v, n, Marker());
  } else {
    MarkLeft10(v, n, Marker());
  }
  AfterMarkerMove();
}

void FrmAnalysis::CheckSeek_Click(bool checked) {
  butMarkLeft_->setToolTip(
      checked ? "move selected point to the left to seek the next zero crossing, maximum or minimum"
              : "move selected point to the left by 1 sample");
  butMarkRight_->setToolTip(
      checked
          ? "move selected point to the right to seek the next zero crossing, maximum or minimum"
          : "move selected point to the right by 1 sample");
}

void FrmAnalysis::CheckSeek_RightPress() {
  seekOptions_->show();
  seekOptions_->raise();
  seekOptions_->activateWindow();
}

void FrmAnalysis::Graph_Click(double sample) {
  if (ClickMarker(session_.view, session_.settings.samples, Marker(), sample)) AfterMarkerMove();
}

void FrmAnalysis::Graph_MouseAt(double sample) {
  const SettingsRecord& s = session_.settings;
  graph_->SetReadout(QString::fromStdString(
      MouseReadout(sample, ShownChannelArray(session_.trial, Channel()), s.samples, s.frequency)));
  // A running collection feeds the digital display itself.
  if (Busy()) return;
  const std::int32_t nearest = NearestSample(sample, s.samples);
  if (nearest >= 0) emit MouseSample(nearest);
}

void FrmAnalysis::chkRealTimePlot_Click(bool checked) {
  if (updatingBoxes_ || session_.settings.realtimeplot == checked) return;
  session_.settings.realtimeplot = checked;
  SaveSettings(session_.settings);
}

void FrmAnalysis::CalculationBox_Click() {
  if (updatingBoxes_) return;
  CheckReverseIntegrate_->setEnabled(!CheckCalculateFromDisplacement_->isChecked());
  Recalculate();
}

void FrmAnalysis::txtMass_Apply() {
  if (Busy()) return;
  SettingsRecord& s = session_.settings;
  if (EnterMassText(session_.trial, s, session_.dialogs(), txtMass_->text().toStdString(),
                    Mode())) {
    UpdateValues();
    LoadAndPlot();
  } else {
    txtMass_->setText(QString::fromStdString(ShortNumericText(static_cast<double>(s.weight))));
  }
}

void FrmAnalysis::CommandSetMass_Click() {
  if (Busy()) return;
  const SetMassResult r =
      SetMassFromForce(session_.trial, session_.settings, session_.view, Mode());
  if (r.massComputed) txtMass_->setText(QString::fromStdString(r.massText));
  UpdateValues();
  LoadAndPlot();
}

void FrmAnalysis::TextEndPoint_Apply() {
  const DurationOutcome outcome =
      ApplyTrialDuration(session_.trial, session_.settings, session_.dialogs(),
                         TextEndPoint_->text().toStdString(), Busy());
  switch (outcome) {
    case DurationOutcome::TooLarge:
      TextEndPoint_->clear();
      TextEndPoint_->setFocus();
      return;
    case DurationOutcome::Busy:
    case DurationOutcome::Declined:
      TextEndPoint_->setText(QString::fromStdString(TrialDurationText(session_.settings)));
      return;
    case DurationOutcome::Applied:
      session_.collection.durationSeconds = LeadingNumber(TextEndPoint_->text().toStdString());
      SetDataParameters(session_.view, {}, session_.settings.samples, true);
      LoadAndPlot();
      UpdateValues();
      UpdateStatusBar(session_);
      return;
    case DurationOutcome::Unchanged:
      session_.collection.durationSeconds = LeadingNumber(TextEndPoint_->text().toStdString());
      return;
  }
}

// ---- Collection -----------------------------------------------------------

void FrmAnalysis::InstallCollectionHooks() {
  CollectionHooks& h = session_.collection.hooks;
  h.stateChanged = [this] { ApplyCollectionState(); };
  h.calculationMode = [this] { return Mode(); };
  h.showTrial = [this] { ShowNewTrial(); };
  h.realtimePlot = [this] { LoadAndPlot(); };
  h.selectChannel = [this](ZeroChannel channel) {
    (channel == ZeroChannel::Force          ? optForce_
     : channel == ZeroChannel::Acceleration ? optAccel_
                                            : optDist_)
        ->setChecked(true);
  };
}

void FrmAnalysis::ShowNewTrial() {
  if (!session_.view.ZeroingInProgress) {
    outcomePending_ = true;
    emit TrialReplaced();
  }
  ResetPhaseTimes(session_.view);
  txtMass_->setText(
      QString::fromStdString(ShortNumericText(static_cast<double>(session_.settings.weight))));
  UpdateValues();
  LoadAndPlot();
  ShowCaption();
}

void FrmAnalysis::ApplyCollectionState() {
  const CollectionState& c = session_.collection;
  const bool busy = Busy();
  cmdCollect_->setText(c.StopsCollection() || session_.view.ZeroingInProgress ? "&Stop" : "&Start");
  cmdCollect_->setEnabled(c.startStopEnabled);
  cmdZeroDisp_->setEnabled(c.zeroDisplacementEnabled && !busy);
  cmdZeroForce_->setEnabled(c.zeroForceEnabled && !busy && session_.settings.RecordForce);
  CommandZeroAcceleration_->setEnabled(c.zeroDisplacementEnabled && !busy);
  CommandSetMass_->setEnabled(session_.settings.RecordForce && !busy);
  TextTrialNumber_->setText(QString::fromStdString(ShortNumericText(c.trialNumber)));
  for (QWidget* w : std::initializer_list<QWidget*>{
           TextEndPoint_, txtMass_, cmdLoadFile_, cmdSaveData_, CheckCalculateFromDisplacement_,
           CheckCalculateFromForce_, CheckCalculateFromAcceleration_, TextTrialNumber_,
           CheckCountInStart_}) {
    w->setEnabled(!busy);
  }
  CheckReverseIntegrate_->setEnabled(!busy && !CheckCalculateFromDisplacement_->isChecked());
  SetBusyMenus(busy);
  if (!busy && outcomePending_) ReportCollectionOutcome();
}

// A trial with held or missing samples is not saved as if it were whole:
// the user is told how the collection ended before anything else.
void FrmAnalysis::ReportCollectionOutcome() {
  outcomePending_ = false;
  const CollectionState& c = session_.collection;
  if (c.outcome == CollectionOutcome::Whole) return;
  const char* title = c.outcome == CollectionOutcome::Damaged ? kDamagedTitle : kCutShortTitle;
  session_.dialogs().ShowMessage(MessageIcon::Exclamation, title,
                                 CollectionOutcomeText(c, session_.settings.samples));
}

// While a collection or zeroing runs, the File commands that write the
// trial are disabled; afterwards they take the state the core gave them.
void FrmAnalysis::SetBusyMenus(bool busy) {
  if (busy == busyShown_) return;
  busyShown_ = busy;
  QWidget* top = window();
  for (const char* name : kFileEntries) {
    if (busy) {
      if (auto* action = top->findChild<QAction*>(name)) action->setEnabled(false);
    } else {
      SetMenuEntryEnabled(session_, name, MenuEntry(session_, name).enabled);
    }
  }
}

void FrmAnalysis::cmdCollect_Click() {
  CollectionState& c = session_.collection;
  if (session_.view.ZeroingInProgress) {
    CancelZeroReading(Collection());
    return;
  }
  if (c.phase == CollectionPhase::Idle) {
    c.trialNumber = LeadingNumber(TextTrialNumber_->text().toStdString());
    c.countInBeforeStart = CheckCountInStart_->isChecked();
    c.durationSeconds = LeadingNumber(TextEndPoint_->text().toStdString());
  }
  StartOrStopCollection(Collection());
}

// The three zero buttons: a reading, then the trial on screen shown again.
void FrmAnalysis::RunZeroReading(bool (*reading)(const CollectionContext&)) {
  if (Busy()) return;
  reading(Collection());
  LoadAndPlot();
  UpdateValues();
}

void FrmAnalysis::cmdZeroDisp_Click() {
  RunZeroReading(ZeroDisplacement);
}
void FrmAnalysis::cmdZeroForce_Click() {
  RunZeroReading(ZeroForce);
}
void FrmAnalysis::CommandZeroAcceleration_Click() {
  RunZeroReading(ZeroAcceleration);
}

// ---- Files ----------------------------------------------------------------

void FrmAnalysis::ShowCaption() {
  const std::string& name = session_.trial.DataFileName;
  const QString caption = name.empty() ? QString(kCaption) : QString::fromStdString(name);
  setWindowTitle(caption);
  if (parentWidget() != nullptr) parentWidget()->setWindowTitle(caption);
}

bool FrmAnalysis::OpenFile(const std::string& path) {
  if (Busy() || path.empty()) return false;
  const bool forceBefore = session_.settings.RecordForce;
  if (!LoadTrialFileAndRecalculate(TrialFileContextOf(session_), session_.view, path, Mode())) {
    return false;
  }
  if (session_.settings.RecordForce != forceBefore) {
    // The boxes follow the file: force recorded or not.
    ApplySettings();
    ReCalculate(session_.trial, session_.settings, Mode());
  }
  ApplySettings();
  updatingBoxes_ = true;
  optDist_->setChecked(true);
  updatingBoxes_ = false;
  SetDataParameters(session_.view, {}, session_.settings.samples, true);
  emit TrialReplaced();
  UpdateValues();
  LoadAndPlot();
  ShowCaption();
  for (const char* name :
       {"mnuFileClose", "mnuSave", "mnuSaveAs", "mnuFileExport", "mnuFileReport"}) {
    SetMenuEntryEnabled(session_, name, true);
  }
  UpdateStatusBar(session_);
  return true;
}

void FrmAnalysis::ShowProcessedTrial() {
  if (Busy()) return;
  emit TrialReplaced();
  ApplySettings();
  UpdateValues();
  LoadAndPlot();
  ShowCaption();
  for (const char* name :
       {"mnuFileClose", "mnuSave", "mnuSaveAs", "mnuFileExport", "mnuFileReport"}) {
    SetMenuEntryEnabled(session_, name, true);
  }
  UpdateStatusBar(session_);
}

void FrmAnalysis::OpenFileCommand() {
  if (Busy()) return;
  FileDialogRequest request;
  request.title = "Open";
  request.filter = kOpenDialogFilter;
  request.initialFolder = session_.settings.DataDirectory;
  const std::optional<std::string> path = session_.dialogs().ChooseFileToOpen(request);
  if (path && !path->empty()) OpenFile(*path);
}

void FrmAnalysis::SaveCommand(std::int16_t mode) {
  if (Busy()) return;
  if (SaveTrialFile(TrialFileContextOf(session_), mode, NameParts()) != SaveOutcome::Saved) return;
  ShowCaption();
  for (const char* name : {"mnuFileOpen", "mnuFileClose", "mnuSave", "mnuSaveAs"}) {
    SetMenuEntryEnabled(session_, name, true);
  }
}

void FrmAnalysis::CloseFileCommand() {
  if (Busy()) return;
  CloseTrialFile(TrialFileContextOf(session_), NameParts());
  emit TrialReplaced();
  SetMenuEntryEnabled(session_, "mnuFileOpen", true);
  for (const char* name : {"mnuFileClose", "mnuSave", "mnuSaveAs", "mnuFileReport"}) {
    SetMenuEntryEnabled(session_, name, false);
  }
  setWindowTitle(kClosedCaption);
  if (parentWidget() != nullptr) parentWidget()->setWindowTitle(kClosedCaption);
  LoadAndPlot();
  UpdateValues();
}

void FrmAnalysis::ExportCommand() {
  FileDialogRequest request;
  request.title = "Export Data";
  request.filter = kSaveDialogFilter;
  request.initialFolder = session_.settings.DataDirectory;
  ExportTrialFile(TrialFileContextOf(session_), request);
}

bool FrmAnalysis::ReportCommand() {
  if (Busy()) {
    session_.dialogs().ShowMessage(MessageIcon::Exclamation, kTrialInUseTitle, kTrialInUseMessage);
    return false;
  }
  FileDialogRequest request;
  request.title = "Report";
  request.filter = kReportDialogFilter;
  request.initialFolder = session_.settings.DataDirectory;
  request.initialName = ReportFileName(session_.trial);
  const std::optional<std::string> chosen = session_.dialogs().ChooseFileToSave(request);
  if (!chosen || chosen->empty()) return false;
  const std::string path = WithReportExtension(*chosen);
  const TrialResults results = results_.value_or(TrialResults{});
  const std::vector<QualityFlag> quality = SessionTrialQuality(session_, results, Mode());
  ReportChoices choices;
  choices.channel = Channel();
  choices.mode = Mode();
  choices.meanConcentricOnly = meanConcentricOnly_;
  choices.frameJump = checkFrameJump_->isChecked();
  const TrialReport report = SessionTrialReport(session_, results, quality, choices);
  QString error;
  if (!WriteTrialReportPdf(report, QString::fromStdString(path), error)) {
    session_.dialogs().ShowMessage(MessageIcon::Exclamation, "Report",
                                   "The report could not be written: " + error.toStdString());
    return false;
  }
  session_.status.AddStatusMessage("Report written to " + path);
  return true;
}

void FrmAnalysis::ProgramStarted() {
  if (session_.settings.weight < 0) session_.settings.weight = 10;
  TextEndPoint_->setText(QString::fromStdString(TrialDurationText(session_.settings)));
  session_.collection.durationSeconds = LeadingNumber(TextEndPoint_->text().toStdString());
  ApplySettings();
  if (session_.DemoMode && session_.trial.DataFileName.empty() &&
      OpenFile(session_.settings.DataDirectory + "/test.dat")) {
    return;
  }
  LoadAndPlot();
  UpdateValues();
}

bool FrmAnalysis::QueryClose() {
  const CollectionContext cx = Collection();
  const bool collecting = session_.collection.phase != CollectionPhase::Idle;
  return QueryCloseAnalysisWindow(
      TrialFileContextOf(session_), collecting,
      [cx] {
        if (cx.view.ZeroingInProgress) {
          CancelZeroReading(cx);
        } else if (cx.collection.StopsCollection()) {
          StartOrStopCollection(cx);
        }
      },
      NameParts());
}

FrmAnalysis* InstallAnalysisWindow(Session& session, MainForm& mainForm) {
  auto* form = new FrmAnalysis(session);
  auto* window = new AnalysisSubWindow(form);
  window->setObjectName("frmAnalysisWindow");
  mainForm.MdiArea()->addSubWindow(window);
  window->resize(1100, 720);
  mainForm.RegisterChildWindow(ChildWindow::Analysis, window);
  mainForm.SetMenuCommand("mnuFileOpen", [form, &mainForm] {
    mainForm.ChildWindowOf(ChildWindow::Analysis)->show();
    form->OpenFileCommand();
  });
  mainForm.SetMenuCommand("mnuFileClose", [form] { form->CloseFileCommand(); });
  mainForm.SetMenuCommand("mnuSave", [form] { form->SaveCommand(0); });
  mainForm.SetMenuCommand("mnuSaveAs", [form] { form->SaveCommand(1); });
  mainForm.SetMenuCommand("mnuFileExport", [form] { form->ExportCommand(); });
  mainForm.SetMenuCommand("mnuFileReport", [form] { form->ReportCommand(); });
  // A report needs a trial: opened, collected or processed.
  SetMenuEntryEnabled(session, "mnuFileReport", false);
  session.hooks.OpenTrialFile = [form](const std::string& path) { return form->OpenFile(path); };
  session.hooks.QueryCloseAnalysisWindow = [form] { return form->QueryClose(); };

  // The edits of another trial never stay on the Edit menu.
  QUndoStack& undo = mainForm.UndoStack();
  QObject::connect(form, &FrmAnalysis::TrialReplaced, &undo, &QUndoStack::clear);

  // Graph Options (the graph's right-click menu) and Scale and Offset edit
  // the trial shown: the window redraws it, and recalculates with its boxes.
  auto* graphOptions = new FormGraphOptions(session, undo, form);
  graphOptions->SetShownChannel(form->Channel());
  graphOptions->SetRecalculate([form] { form->Recalculate(); });
  QObject::connect(form, &FrmAnalysis::ChannelChanged, graphOptions,
                   &FormGraphOptions::SetShownChannel);
  QObject::connect(form, &FrmAnalysis::GraphOptionsRequested, graphOptions, [graphOptions] {
    graphOptions->show();
    graphOptions->raise();
    graphOptions->activateWindow();
  });
  // The channels' values changed (and after a crop their length): the
  // graph takes them again, not only the view.
  const auto redraw = [form] {
    form->LoadAndPlot();
    form->UpdateValues();
  };
  QObject::connect(graphOptions, &FormGraphOptions::dataChanged, form, redraw);
  QObject::connect(mainForm.ScaleOffsetWindow(), &FrmScaleOffsetData::dataChanged, form, redraw);

  // The results window shows the results of every recalculation, derives
  // with the window's boxes, and hands back the trials "Next" loads.
  if (FrmProcess* process = mainForm.ResultsWindow()) {
    QObject::connect(form, &FrmAnalysis::ResultsChanged, process, [form, process] {
      process->ShowResults(form->LastResults().value_or(TrialResults{}));
    });
    process->SetCalculationMode([form] { return form->Mode(); });
    QObject::connect(process, &FrmProcess::TrialProcessed, form, &FrmAnalysis::ShowProcessedTrial);
    QObject::connect(process, &FrmProcess::TrialProcessed, &undo, &QUndoStack::clear);
    QObject::connect(process, &FrmProcess::ResultsOptionsChanged, form, [form, process] {
      form->SetMeanConcentricOnly(process->MeanConcentricOnly());
    });
  }

  // The digital display follows the mouse over the graph.
  if (FormDigitalDisplay* display = mainForm.DigitalDisplay()) {
    QObject::connect(form, &FrmAnalysis::MouseSample, display,
                     &FormDigitalDisplay::UpdateDigitalDisplay);
  }
  return form;
}

}  // namespace torvane
