#include "config/ui/frm_config.hpp"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "config/config_window_rules.hpp"
#include "config/settings_keys.hpp"
#include "training/ui/sound_player.hpp"

namespace torvane {

namespace {

template <typename W>
W* Named(W* widget, const char* name) {
  widget->setObjectName(name);
  return widget;
}

QCheckBox* Check(QWidget* parent, const char* name, const char* caption) {
  return Named(new QCheckBox(caption, parent), name);
}

QLineEdit* Box(QWidget* parent, const char* name) {
  QLineEdit* box = Named(new QLineEdit(parent), name);
  box->setMaximumWidth(120);
  return box;
}

QLineEdit* PathBox(QWidget* parent, const char* name) {
  QLineEdit* box = Named(new QLineEdit(parent), name);
  box->setMinimumWidth(320);
  return box;
}

QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
  return Named(new QPushButton(caption, parent), name);
}

QRadioButton* Option(QWidget* parent, const char* name, const char* caption) {
  return Named(new QRadioButton(caption, parent), name);
}

QComboBox* PortList(QWidget* parent, const char* name, int count) {
  QComboBox* list = Named(new QComboBox(parent), name);
  for (int n = 1; n <= count; ++n) list->addItem(QString("COM%1").arg(n));
  list->setToolTip(
      "COMn is the serial device /dev/ttyS(n-1), unless the [Ports] section of QLXConfig.ini "
      "names another device for it (for example COM3=/dev/ttyUSB0).");
  return list;
}

// A number box with its unit beside it ("Hz"), from the setting's row of the
// table of keys or given.
QHBoxLayout* Unit(QLineEdit* box, const char* unit) {
  auto* row = new QHBoxLayout;
  row->addWidget(box);
  auto* label = new QLabel(unit, box->parentWidget());
  label->setObjectName(box->objectName() + "Unit");
  row->addWidget(label);
  row->addStretch();
  return row;
}

QHBoxLayout* Unit(QLineEdit* box) {
  const char* key = nullptr;
  for (const SettingKey& k : SettingKeys()) {
    if (k.windowControls != nullptr && box->objectName() == k.windowControls) key = k.unit;
  }
  return Unit(box, key != nullptr && *key != '\0' ? key : "in the plotted unit");
}

QHBoxLayout* Row(std::initializer_list<QWidget*> widgets) {
  auto* row = new QHBoxLayout;
  for (QWidget* w : widgets) row->addWidget(w);
  row->addStretch();
  return row;
}

}  // namespace

FrmConfig::FrmConfig(Session& session, QWidget* parent)
    : QWidget(parent, Qt::Window), session_(session), player_(new SoundPlayer(this)) {
  setObjectName("frmConfig");
  setWindowTitle("Configuration");
  tabs_ = Named(new QTabWidget(this), "ConfigTabStrip");
  tabs_->addTab(BuildGeneralTab(), "General");
  tabs_->addTab(BuildFileLocationsTab(), "File Locations");
  tabs_->addTab(BuildDataCollectionTab(), "Data Collection");
  tabs_->addTab(BuildCalibrationTab(), "Calibration");
  tabs_->addTab(BuildFilterTab(), "Filter Settings");
  tabs_->addTab(BuildBrakeTab(), "Brake Control");

  QPushButton* restore = Button(this, "CommandRestoreDefaults", "Restore Defaults");
  QPushButton* close = Button(this, "butExitConfig", "&Close");
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(restore);
  buttons->addStretch();
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  layout->addLayout(buttons);
  connect(restore, &QPushButton::clicked, this, &FrmConfig::CommandRestoreDefaults_Click);
  connect(close, &QPushButton::clicked, this, &FrmConfig::butExitConfig_Click);

  LoadControls();
  ConnectControls();
  resize(sizeHint().expandedTo(QSize(620, 440)));
}

FrmConfig::~FrmConfig() = default;

QWidget* FrmConfig::BuildGeneralTab() {
  auto* tab = new QWidget;
  checkSoundOnStart_ = Check(tab, "CheckSoundOnStart", "Play sound at start of trial");
  chkMmpc_ = Check(tab, "chkMMPC", "MultiMedia PC");
  chkShowEstLimits_ = Check(tab, "chkShowESTLimits", "Enable Eccentric Strength Test (EST)");
  checkShowStartupScreen_ =
      Check(tab, "CheckShowStartupScreen", "Show startup configuration screen");
  checkExcelOutput_ = Check(tab, "CheckExcelOutput", "Output to Excel");
  checkExcelOutput_->setToolTip("Results rows go to a workbook (.xlsx) in the data folder.");
  txtRepThreshold_ = Box(tab, "txtRepThreshold");
  txtFlightThreshold_ = Box(tab, "txtFlightThreshold");
  txtWeight_ = Box(tab, "txtWeight");
  txtFeedbackThreshold_ = Box(tab, "txtFeedbackThreshold");
  textMrfdEpoch_ = Box(tab, "TextmRFDEpoch");
  textSoundFileOver_ = PathBox(tab, "TextSoundFileOver");
  textSoundFileUnder_ = PathBox(tab, "TextSoundFileUnder");
  for (QLineEdit* sound : {textSoundFileOver_, textSoundFileUnder_}) {
    sound->setToolTip("Double-click to choose a sound file.");
  }
  QPushButton* playOver = Button(tab, "CommandPlayOver", "play over");
  QPushButton* playUnder = Button(tab, "CommandPlayUnder", "play under");
  QPushButton* browseOver = Button(tab, "CommandBrowseSoundFileOver", "Browse");
  QPushButton* browseUnder = Button(tab, "CommandBrowseSoundFileUnder", "Browse");
  connect(browseOver, &QPushButton::clicked, this, [this] { BrowseSoundFile(textSoundFileOver_); });
  connect(browseUnder, &QPushButton::clicked, this,
          [this] { BrowseSoundFile(textSoundFileUnder_); });
  connect(playOver, &QPushButton::clicked, this,
          [this] { player_->Play(textSoundFileOver_->text()); });
  connect(playUnder, &QPushButton::clicked, this,
          [this] { player_->Play(textSoundFileUnder_->text()); });

  auto* checks = new QVBoxLayout;
  for (QCheckBox* c : {checkSoundOnStart_, chkMmpc_, chkShowEstLimits_, checkShowStartupScreen_,
                       checkExcelOutput_}) {
    checks->addWidget(c);
  }
  checks->addStretch();
  auto* numbers = new QFormLayout;
  numbers->addRow("Repetition Threshold", Unit(txtRepThreshold_));
  numbers->addRow("Flight threshold", Unit(txtFlightThreshold_));
  numbers->addRow("Mass (kg)", Unit(txtWeight_));
  numbers->addRow("Feedback Threshold", Unit(txtFeedbackThreshold_));
  numbers->addRow("mRFD epoch (ms)", Unit(textMrfdEpoch_));
  auto* top = new QHBoxLayout;
  top->addLayout(checks);
  top->addSpacing(24);
  top->addLayout(numbers);
  auto* sounds = new QGroupBox("Feedback sounds", tab);
  auto* soundLayout = new QGridLayout(sounds);
  soundLayout->addWidget(new QLabel("Over threshold", sounds), 0, 0);
  soundLayout->addWidget(textSoundFileOver_, 0, 1);
  soundLayout->addWidget(browseOver, 0, 2);
  soundLayout->addWidget(playOver, 0, 3);
  soundLayout->addWidget(new QLabel("Under threshold", sounds), 1, 0);
  soundLayout->addWidget(textSoundFileUnder_, 1, 1);
  soundLayout->addWidget(browseUnder, 1, 2);
  soundLayout->addWidget(playUnder, 1, 3);
  auto* layout = new QVBoxLayout(tab);
  layout->addLayout(top);
  layout->addWidget(sounds);
  layout->addStretch();
  return tab;
}

QWidget* FrmConfig::BuildFileLocationsTab() {
  auto* tab = new QWidget;
  textProgramDataDirectory_ = PathBox(tab, "TextProgramDataDirectory");
  txtDataDirectory_ = PathBox(tab, "txtDataDirectory");
  txtCalibrationLogFile_ = PathBox(tab, "txtCalibrationLogFile");
  QPushButton* browseProgram = Button(tab, "CommandSetProgramDataDirectory", "Browse");
  QPushButton* browseData = Button(tab, "cmdSetDataDirectory", "Browse");
  QPushButton* browseLog = Button(tab, "cmdBrowseCalibrationLogFile", "Browse");
  connect(browseLog, &QPushButton::clicked, this, &FrmConfig::BrowseCalibrationLog);
  connect(browseProgram, &QPushButton::clicked, this,
          [this] { BrowseFolder(textProgramDataDirectory_, "Program Information Folder"); });
  connect(browseData, &QPushButton::clicked, this,
          [this] { BrowseFolder(txtDataDirectory_, "Data Folder"); });
  auto* layout = new QGridLayout(tab);
  layout->addWidget(new QLabel("Program Information Folder", tab), 0, 0);
  layout->addWidget(textProgramDataDirectory_, 0, 1);
  layout->addWidget(browseProgram, 0, 2);
  layout->addWidget(new QLabel("Data Folder", tab), 1, 0);
  layout->addWidget(txtDataDirectory_, 1, 1);
  layout->addWidget(browseData, 1, 2);
  layout->addWidget(new QLabel("Cal Log File", tab), 2, 0);
  layout->addWidget(txtCalibrationLogFile_, 2, 1);
  layout->addWidget(browseLog, 2, 2);
  layout->setRowStretch(3, 1);
  return tab;
}

QWidget* FrmConfig::BuildDataCollectionTab() {
  auto* tab = new QWidget;
  auto* unit = new QGroupBox("Interface", tab);
  optionZra6Input_ = Option(unit, "OptionZRA6Input", "ZRA6");
  optionZra6PlusInput_ = Option(unit, "OptionZRA6PlusInput", "ZRA6+");
  optionZra7Input_ = Option(unit, "OptionZRA7Input", "ZRA7");
  commandFindInterface_ = Button(unit, "CommandFindInterface", "&Connect");
  labelConnected_ = Named(new QLabel(kNoConnectionText, unit), "LabelConnected");
  auto* unitLayout = new QVBoxLayout(unit);
  unitLayout->addLayout(Row({optionZra6Input_, optionZra6PlusInput_, optionZra7Input_}));
  unitLayout->addLayout(Row({commandFindInterface_, labelConnected_}));

  frameZra6Interface_ = Named(new QGroupBox("ZRA6 serial port", tab), "FrameZRA6Interface");
  cboCommPort_ = PortList(frameZra6Interface_, "cboCommPort", 20);
  auto* serialLayout = new QVBoxLayout(frameZra6Interface_);
  serialLayout->addWidget(cboCommPort_);

  auto* accelerometer = new QGroupBox("Accelerometer", tab);
  checkAccelerometerAttached_ = Check(accelerometer, "CheckAccelerometerAttached", "attached");
  comboAccelerometerCommsPort_ = PortList(accelerometer, "ComboAccelerometerCommsPort", 24);
  auto* accelLayout = new QVBoxLayout(accelerometer);
  accelLayout->addWidget(checkAccelerometerAttached_);
  accelLayout->addWidget(comboAccelerometerCommsPort_);

  auto* force = new QGroupBox("Force", tab);
  optFourForceChannels_ = Option(force, "optFourForceChannels", "4 Channels");
  optOneForceChannel_ = Option(force, "optOneForceChannel", "1 Channel");
  chkRecordForce_ = Check(force, "chkRecordForce", "Record force");
  auto* forceLayout = new QVBoxLayout(force);
  forceLayout->addWidget(optFourForceChannels_);
  forceLayout->addWidget(optOneForceChannel_);
  forceLayout->addWidget(chkRecordForce_);

  txtSampleFrequency_ = Box(tab, "txtSampleFrequency");
  txtDuration_ = Box(tab, "txtDuration");
  labelNumberOfSamples_ = Named(new QLabel(tab), "LabelNumberOfSamples");
  auto* sampling = new QFormLayout;
  sampling->addRow("Sampling Frequency (Hz)", Unit(txtSampleFrequency_, "Hz"));
  sampling->addRow("Sample Period (secs)", Unit(txtDuration_, "s"));
  sampling->addRow(labelNumberOfSamples_);

  auto* layout = new QGridLayout(tab);
  layout->addWidget(unit, 0, 0);
  layout->addWidget(frameZra6Interface_, 0, 1);
  layout->addLayout(sampling, 1, 0);
  layout->addWidget(force, 1, 1);
  layout->addWidget(accelerometer, 2, 1);
  layout->setRowStretch(3, 1);
  return tab;
}

QWidget* FrmConfig::BuildCalibrationTab() {
  auto* tab = new QWidget;
  txtDSlope_ = Box(tab, "txtDSlope");
  txtDInt_ = Box(tab, "txtDInt");
  txtFSlope_ = Box(tab, "txtFSlope");
  txtFInt_ = Box(tab, "txtFInt");
  cmdCalibratePosition_ = Button(tab, "cmdCalibratePosition", "Calibrate Position");
  cmdCalibrateForce_ = Button(tab, "cmdCalibrateForce", "Calibrate Force");
  cmdCalibratePosition_->setEnabled(false);
  cmdCalibrateForce_->setEnabled(false);
  auto* position = new QGroupBox("Position", tab);
  auto* positionLayout = new QFormLayout(position);
  positionLayout->addRow("Slope (m per count)", Unit(txtDSlope_));
  positionLayout->addRow("Zero offset (counts)", Unit(txtDInt_));
  positionLayout->addRow(cmdCalibratePosition_);
  auto* force = new QGroupBox("Force", tab);
  auto* forceLayout = new QFormLayout(force);
  forceLayout->addRow("Slope (N per count)", Unit(txtFSlope_));
  forceLayout->addRow("Zero offset (counts)", Unit(txtFInt_));
  forceLayout->addRow(cmdCalibrateForce_);
  auto* layout = new QHBoxLayout(tab);
  layout->addWidget(position, 0, Qt::AlignTop);
  layout->addWidget(force, 0, Qt::AlignTop);
  return tab;
}

QWidget* FrmConfig::BuildFilterTab() {
  auto* tab = new QWidget;
  txtDispFc_ = Box(tab, "txtDispFc");
  txtVelocFc_ = Box(tab, "txtVelocFc");
  txtAccelFc_ = Box(tab, "txtAccelFc");
  textForceFc_ = Box(tab, "TextForceFc");
  auto* frame = new QGroupBox("Filter Frequency Cutoff (Hz)", tab);
  auto* form = new QFormLayout(frame);
  form->addRow("Displacement", Unit(txtDispFc_));
  form->addRow("Velocity", Unit(txtVelocFc_));
  form->addRow("Acceleration", Unit(txtAccelFc_));
  form->addRow("Force", Unit(textForceFc_));
  frame->setToolTip(
      "0 leaves the signal unfiltered; a cut-off must be below half the sampling "
      "frequency.");
  auto* layout = new QVBoxLayout(tab);
  layout->addWidget(frame);
  layout->addStretch();
  return tab;
}

QWidget* FrmConfig::BuildBrakeTab() {
  auto* tab = new QWidget;
  labelSetBrake_ = Named(new QLabel(kBrakeIntroText, tab), "labelSetBrake");
  labelSetBrake_->setWordWrap(true);
  txtBrakeLevel_ = Box(tab, "txtBrakeLevel");
  cmdApplyBrakeSetting_ = Button(tab, "cmdApplyBrakeSetting", "&Apply");
  checkRampBrake_ = Check(tab, "CheckRampBrake", "Ramp the brake ON");
  optionBrakeAboveZero_ =
      Option(tab, "OptionBrakeAboveZero", "Brake is switched OFF when  below zero");
  optionBrakeContinuous_ = Option(tab, "OptionBrakeContinuous", "Brake is applied continuously");
  brakeMode_ = new QButtonGroup(this);
  brakeMode_->addButton(optionBrakeAboveZero_);
  brakeMode_->addButton(optionBrakeContinuous_);
  auto* level = new QFormLayout;
  auto* levelRow = new QHBoxLayout;
  levelRow->addWidget(txtBrakeLevel_);
  levelRow->addWidget(new QLabel("%", tab));
  levelRow->addWidget(cmdApplyBrakeSetting_);
  levelRow->addStretch();
  level->addRow("% Braking Level", levelRow);
  auto* layout = new QVBoxLayout(tab);
  layout->addWidget(labelSetBrake_);
  layout->addLayout(level);
  layout->addWidget(checkRampBrake_);
  layout->addWidget(optionBrakeAboveZero_);
  layout->addWidget(optionBrakeContinuous_);
  layout->addStretch();
  return tab;
}

}  // namespace torvane
