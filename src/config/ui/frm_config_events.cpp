// The configuration window's loading and event handlers: each moves texts
// between the controls and the settings through the rules of the core.

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "common/number_text.hpp"
#include "common/paths.hpp"
#include "config/config_window_rules.hpp"
#include "config/number_boxes.hpp"
#include "config/settings_io.hpp"
#include "config/ui/frm_config.hpp"
#include "shell/config_session.hpp"
#include "shell/config_window_rules.hpp"
#include "shell/session.hpp"

namespace torvane {

namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

QString Number(float value) {
  return Q(GeneralSingleText(value));
}

// Ticks or clears one option of a group, also clearing the last ticked one.
void SetOption(QRadioButton* option, bool on) {
  option->setAutoExclusive(false);
  option->setChecked(on);
  option->setAutoExclusive(true);
}

void SetListPosition(QComboBox* list, int number) {
  list->setCurrentIndex(number >= 1 && number <= list->count() ? number - 1 : -1);
}

void SetLabelColour(QLabel* label, const char* colour) {
  label->setStyleSheet(QString("color: %1;").arg(colour));
}

}  // namespace

void FrmConfig::LoadControls() {
  const SettingsRecord& s = session_.settings;
  const QList<QWidget*> controls = findChildren<QWidget*>();
  std::vector<bool> blocked;
  blocked.reserve(static_cast<std::size_t>(controls.size()));
  for (QWidget* control : controls) blocked.push_back(control->blockSignals(true));

  checkSoundOnStart_->setChecked(s.soundstart);
  chkMmpc_->setChecked(s.mmavailable);
  chkShowEstLimits_->setChecked(s.eccentricstrengthtest);
  checkShowStartupScreen_->setChecked(s.firsttime);
  checkExcelOutput_->setChecked(s.exceloutput);
  txtRepThreshold_->setText(Number(s.repthreshold));
  txtFlightThreshold_->setText(Number(s.flightthres));
  txtWeight_->setText(Number(s.weight));
  txtFeedbackThreshold_->setText(Number(s.FeedbackThreshold));
  textMrfdEpoch_->setText(Number(s.RFDepoch));
  textSoundFileOver_->setText(Q(s.oversoundfile));
  textSoundFileUnder_->setText(Q(s.undersoundfile));

  textProgramDataDirectory_->setText(Q(s.ProgramDataDirectory));
  txtDataDirectory_->setText(Q(s.DataDirectory));
  txtCalibrationLogFile_->setText(Q(s.CalibrationLogFile));

  SetOption(optionZra6Input_, s.ZRA6Input);
  SetOption(optionZra6PlusInput_, s.ZRA6PlusInput);
  SetOption(optionZra7Input_, s.ZRA7Input);
  SetListPosition(cboCommPort_, s.comportnum);
  checkAccelerometerAttached_->setChecked(s.AccelInput);
  SetListPosition(comboAccelerometerCommsPort_, s.accelcomportnum);
  SetOption(optFourForceChannels_, s.forcechannels == 4);
  SetOption(optOneForceChannel_, s.forcechannels == 1);
  chkRecordForce_->setChecked(s.RecordForce);
  txtSampleFrequency_->setText(QString::number(s.frequency));
  txtDuration_->setText(Q(DurationText(s)));
  labelNumberOfSamples_->setText(Q(NumberOfSamplesText(s.samples)));

  txtDSlope_->setText(Q(NumberBoxText(s, *FindSettingKey("DispCalSlope"))));
  txtDInt_->setText(Number(s.DispInt));
  txtFSlope_->setText(Q(NumberBoxText(s, *FindSettingKey("ForceCalSlope"))));
  txtFInt_->setText(Number(s.ForceInt));

  txtDispFc_->setText(Number(s.dispFc));
  txtVelocFc_->setText(Number(s.velocFc));
  txtAccelFc_->setText(Number(s.accelFc));
  textForceFc_->setText(Number(s.forceFc));

  txtBrakeLevel_->setText(Number(s.BrakeLevel));
  checkRampBrake_->setChecked(s.rampbrake);
  SetOption(optionBrakeAboveZero_, s.brakeabovezero);
  SetOption(optionBrakeContinuous_, s.brakecontinuous && !s.brakeabovezero);
  labelSetBrake_->setText(kBrakeIntroText);
  SetLabelColour(labelSetBrake_, "black");
  // The link as it is now, as the status bar shows it.
  labelConnected_->setText(Q(ConnectionText(session_)));

  for (qsizetype i = 0; i < controls.size(); ++i) {
    controls[i]->blockSignals(blocked[static_cast<std::size_t>(i)]);
  }
  ApplyInterfaceControls();
}

void FrmConfig::SetCalibrationCommands(std::function<void()> position,
                                       std::function<void()> force) {
  connect(cmdCalibratePosition_, &QPushButton::clicked, this, std::move(position));
  connect(cmdCalibrateForce_, &QPushButton::clicked, this, std::move(force));
  cmdCalibratePosition_->setEnabled(true);
  cmdCalibrateForce_->setEnabled(true);
}

void FrmConfig::ConnectNumberBox(QLineEdit* box, const char* key) {
  connect(box, &QLineEdit::editingFinished, this,
          [this, box, key] { NumberBox_Finished(box, key); });
}

// A number box's editing finished: the setting takes a value it can mean;
// anything else is refused (with its range and unit) and the previous value
// is shown again.
void FrmConfig::NumberBox_Finished(QLineEdit* box, const char* key) {
  if (refusing_) return;  // the refusal's message took the focus
  refusing_ = true;
  const std::optional<std::string> previous = EnterNumberSetting(
      session_.settings, session_.dialogs(), *FindSettingKey(key), box->text().toStdString());
  if (previous) SetBoxText(box, *previous);
  refusing_ = false;
}

void FrmConfig::ConnectControls() {
  SettingsRecord& s = session_.settings;
  const auto bindCheck = [this](QCheckBox* box, bool* setting) {
    connect(box, &QCheckBox::toggled, this, [setting](bool on) { *setting = on; });
  };
  const auto bindText = [this](QLineEdit* box, std::string* setting) {
    connect(box, &QLineEdit::textChanged, this,
            [setting](const QString& text) { *setting = text.toStdString(); });
  };
  bindCheck(checkSoundOnStart_, &s.soundstart);
  bindCheck(chkMmpc_, &s.mmavailable);
  bindCheck(chkShowEstLimits_, &s.eccentricstrengthtest);
  bindCheck(checkShowStartupScreen_, &s.firsttime);
  bindCheck(checkAccelerometerAttached_, &s.AccelInput);
  bindCheck(checkRampBrake_, &s.rampbrake);
  connect(checkExcelOutput_, &QCheckBox::toggled, this, &FrmConfig::CheckExcelOutput_Click);
  connect(chkRecordForce_, &QCheckBox::toggled, this, [this](bool on) {
    session_.settings.RecordForce = on;
    UpdateStatusBar(session_);
  });

  ConnectNumberBox(txtRepThreshold_, "repthreshold");
  ConnectNumberBox(txtFlightThreshold_, "flightthres");
  ConnectNumberBox(txtWeight_, "weight");
  ConnectNumberBox(txtFeedbackThreshold_, "FeedbackThreshold");
  ConnectNumberBox(textMrfdEpoch_, "RFDepoch");
  ConnectNumberBox(txtDSlope_, "DispCalSlope");
  ConnectNumberBox(txtDInt_, "DispInt");
  ConnectNumberBox(txtFSlope_, "ForceCalSlope");
  ConnectNumberBox(txtFInt_, "ForceInt");
  ConnectNumberBox(txtDispFc_, "dispFc");
  ConnectNumberBox(txtVelocFc_, "velocFc");
  ConnectNumberBox(txtAccelFc_, "accelFc");
  ConnectNumberBox(textForceFc_, "forceFc");

  bindText(textSoundFileOver_, &s.oversoundfile);
  bindText(textSoundFileUnder_, &s.undersoundfile);
  bindText(textProgramDataDirectory_, &s.ProgramDataDirectory);
  bindText(txtDataDirectory_, &s.DataDirectory);
  bindText(txtCalibrationLogFile_, &s.CalibrationLogFile);
  textSoundFileOver_->installEventFilter(this);
  textSoundFileUnder_->installEventFilter(this);

  const std::pair<QRadioButton*, InterfaceModel> units[] = {
      {optionZra6Input_, InterfaceModel::Zra6},
      {optionZra6PlusInput_, InterfaceModel::Zra6Plus},
      {optionZra7Input_, InterfaceModel::Zra7}};
  for (const auto& [option, model] : units) {
    connect(option, &QRadioButton::toggled, this, [this, model = model](bool on) {
      if (!on) return;
      ChooseInterface(session_.settings, model);
      labelConnected_->setText(kNoConnectionText);
      RefreshDataCollection();
    });
  }
  connect(commandFindInterface_, &QPushButton::clicked, this,
          &FrmConfig::CommandFindInterface_Click);
  connect(cboCommPort_, &QComboBox::currentIndexChanged, this, [this](int position) {
    if (position >= 0) session_.settings.comportnum = static_cast<std::int16_t>(position + 1);
    labelConnected_->setText(kNoConnectionText);
  });
  connect(comboAccelerometerCommsPort_, &QComboBox::currentIndexChanged, this,
          [this](int position) {
            if (position >= 0)
              session_.settings.accelcomportnum = static_cast<std::int16_t>(position + 1);
          });
  connect(optFourForceChannels_, &QRadioButton::toggled, this, [this](bool on) {
    if (on) session_.settings.forcechannels = 4;
  });
  connect(optOneForceChannel_, &QRadioButton::toggled, this, [this](bool on) {
    if (on) session_.settings.forcechannels = 1;
  });
  connect(txtSampleFrequency_, &QLineEdit::editingFinished, this,
          &FrmConfig::txtSampleFrequency_Change);
  connect(txtDuration_, &QLineEdit::editingFinished, this, &FrmConfig::txtDuration_Change);

  connect(txtBrakeLevel_, &QLineEdit::textEdited, this, [this] {
    labelSetBrake_->setText(kBrakeWarningText);
    SetLabelColour(labelSetBrake_, "#ff0000");
  });
  connect(txtBrakeLevel_, &QLineEdit::editingFinished, this, &FrmConfig::txtBrakeLevel_Change);
  connect(cmdApplyBrakeSetting_, &QPushButton::clicked, this,
          &FrmConfig::cmdApplyBrakeSetting_Click);
  connect(optionBrakeAboveZero_, &QRadioButton::toggled, this, [this](bool on) {
    session_.settings.brakeabovezero = on;
    session_.settings.brakecontinuous = !on;
  });
  connect(optionBrakeContinuous_, &QRadioButton::toggled, this, [this](bool on) {
    session_.settings.brakecontinuous = on;
    session_.settings.brakeabovezero = !on;
  });
}

void FrmConfig::SetBoxText(QLineEdit* box, const std::string& text) {
  if (box->text() == Q(text)) return;
  const bool was = box->blockSignals(true);
  box->setText(Q(text));
  box->blockSignals(was);
}

void FrmConfig::ApplyInterfaceControls() {
  const DataCollectionControls c = ControlsForInterface(session_.settings);
  txtDuration_->setEnabled(c.duration);
  txtSampleFrequency_->setEnabled(c.frequency);
  cboCommPort_->setEnabled(c.serialPort);
  chkRecordForce_->setEnabled(c.recordForce);
  optFourForceChannels_->setEnabled(c.forceChannels);
  optOneForceChannel_->setEnabled(c.forceChannels);
  frameZra6Interface_->setVisible(c.serialFrameVisible);
}

// The unit's frequency limit (or the one discovery found) shown again.
void FrmConfig::RefreshDataCollection() {
  const SettingsRecord& s = session_.settings;
  SetBoxText(txtSampleFrequency_, std::to_string(s.frequency));
  SetBoxText(txtDuration_, DurationText(s));
  labelNumberOfSamples_->setText(Q(NumberOfSamplesText(s.samples)));
  ApplyInterfaceControls();
  UpdateStatusBar(session_);
}

void FrmConfig::txtSampleFrequency_Change() {
  if (refusing_) return;
  refusing_ = true;
  const BoxCorrection c =
      SetSampleFrequency(SamplingContextOf(session_), txtSampleFrequency_->text().toStdString(),
                         LeadingNumber(txtDuration_->text().toStdString()));
  if (c.box) SetBoxText(txtSampleFrequency_, *c.box);
  if (c.samplesLabel) labelNumberOfSamples_->setText(Q(*c.samplesLabel));
  UpdateStatusBar(session_);
  refusing_ = false;
}

void FrmConfig::txtDuration_Change() {
  if (refusing_) return;
  refusing_ = true;
  const BoxCorrection c =
      SetTrialDuration(SamplingContextOf(session_), txtDuration_->text().toStdString());
  if (c.box) SetBoxText(txtDuration_, *c.box);
  if (c.samplesLabel) labelNumberOfSamples_->setText(Q(*c.samplesLabel));
  if (!c.box) UpdateStatusBar(session_);  // the new sample count
  refusing_ = false;
}

void FrmConfig::txtBrakeLevel_Change() {
  if (refusing_) return;
  refusing_ = true;
  const std::optional<std::string> previous = SetBrakeLevelSetting(
      session_.settings, session_.dialogs(), txtBrakeLevel_->text().toStdString());
  if (previous) SetBoxText(txtBrakeLevel_, *previous);
  refusing_ = false;
}

void FrmConfig::cmdApplyBrakeSetting_Click() {
  ApplyBrakeSetting(session_);
  labelSetBrake_->setText(kBrakeIntroText);
  SetLabelColour(labelSetBrake_, "black");
}

void FrmConfig::CheckExcelOutput_Click(bool ticked) {
  const bool output = SetExcelOutput(session_, ticked);
  if (output != ticked) {
    const bool was = checkExcelOutput_->blockSignals(true);
    checkExcelOutput_->setChecked(output);
    checkExcelOutput_->blockSignals(was);
  }
}

void FrmConfig::CommandFindInterface_Click() {
  labelConnected_->setText(kTryingToConnectText);
  labelConnected_->repaint();
  labelConnected_->setText(Q(ConnectInterface(session_)));
  RefreshDataCollection();
}

void FrmConfig::BrowseSoundFile(QLineEdit* box) {
  FileDialogRequest request;
  request.title = "Choose a sound file";
  request.filter = "Sounds (*.wav;*.mp3;*.wma)|*.wav;*.mp3;*.wma|All files (*.*)|*.*";
  request.initialFolder = FolderOf(box->text().toStdString());
  if (request.initialFolder.empty()) request.initialFolder = session_.settings.ProgramDataDirectory;
  if (const auto path = session_.dialogs().ChooseFileToOpen(request)) box->setText(Q(*path));
}

void FrmConfig::BrowseCalibrationLog() {
  FileDialogRequest request;
  request.title = "Choose the calibration log";
  request.filter = "Calibration logs (*.log;*.txt)|*.log;*.txt|All files (*.*)|*.*";
  request.initialFolder = FolderOf(txtCalibrationLogFile_->text().toStdString());
  if (request.initialFolder.empty()) request.initialFolder = session_.settings.ProgramDataDirectory;
  request.initialName = FileNameOf(txtCalibrationLogFile_->text().toStdString());
  if (const auto path = session_.dialogs().ChooseFileToSave(request))
    txtCalibrationLogFile_->setText(Q(*path));
}

void FrmConfig::BrowseFolder(QLineEdit* box, const char* title) {
  if (const auto folder = session_.dialogs().ChooseFolder(title, box->text().toStdString())) {
    box->setText(Q(*folder));
  }
}

void FrmConfig::CommandRestoreDefaults_Click() {
  RestoreDefaults(ConfigContextOf(session_));
  LoadControls();
  labelConnected_->setText(kNoConnectionText);
  UpdateStatusBar(session_);
}

void FrmConfig::butExitConfig_Click() {
  SaveSettings(session_.settings);
  hide();
}

void FrmConfig::showEvent(QShowEvent* event) {
  LoadControls();
  QWidget::showEvent(event);
}

// Closing from the frame keeps the changes, as "&Close" does.
void FrmConfig::closeEvent(QCloseEvent* event) {
  SaveSettings(session_.settings);
  QWidget::closeEvent(event);
}

bool FrmConfig::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == textSoundFileOver_ || watched == textSoundFileUnder_) &&
      event->type() == QEvent::MouseButtonDblClick) {
    BrowseSoundFile(static_cast<QLineEdit*>(watched));
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace torvane
