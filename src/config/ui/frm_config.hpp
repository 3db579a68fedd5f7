#pragma once
// The configuration window "Configuration": every setting on six tabs. Each
// control writes its setting the moment it changes (through the rules of
// config_window_rules); "&Close" saves the whole record and hides the window.

#include <QWidget>
#include <functional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace torvane {

struct Session;
class SoundPlayer;

class FrmConfig : public QWidget {
  Q_OBJECT

 public:
  explicit FrmConfig(Session& session, QWidget* parent = nullptr);
  ~FrmConfig() override;

  // Fills every control from the settings (on every showing).
  void LoadControls();
  // The calibration windows; their buttons stay disabled until set.
  void SetCalibrationCommands(std::function<void()> position, std::function<void()> force);

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* BuildGeneralTab();
  QWidget* BuildFileLocationsTab();
  QWidget* BuildDataCollectionTab();
  QWidget* BuildCalibrationTab();
  QWidget* BuildFilterTab();
  QWidget* BuildBrakeTab();
  void ConnectControls();
  void ConnectNumberBox(QLineEdit* box, const char* key);
  void NumberBox_Finished(QLineEdit* box, const char* key);
  void ApplyInterfaceControls();
  void SetBoxText(QLineEdit* box, const std::string& text);
  void RefreshDataCollection();

  void txtSampleFrequency_Change();
  void txtDuration_Change();
  void txtBrakeLevel_Change();
  void cmdApplyBrakeSetting_Click();
  void CheckExcelOutput_Click(bool ticked);
  void CommandFindInterface_Click();
  void BrowseSoundFile(QLineEdit* box);
  void BrowseFolder(QLineEdit* box, const char* title);
  void BrowseCalibrationLog();
  void CommandRestoreDefaults_Click();
  void butExitConfig_Click();

  Session& session_;
  // A refusal's message box is open: the focus it takes ends no editing.
  bool refusing_ = false;
  SoundPlayer* player_;
  QTabWidget* tabs_;
  // General
  QCheckBox *checkSoundOnStart_, *chkMmpc_, *chkShowEstLimits_, *checkShowStartupScreen_,
      *checkExcelOutput_;
  QLineEdit *txtRepThreshold_, *txtFlightThreshold_, *txtWeight_, *txtFeedbackThreshold_,
      *textMrfdEpoch_, *textSoundFileOver_, *textSoundFileUnder_;
  // File locations
  QLineEdit *textProgramDataDirectory_, *txtDataDirectory_, *txtCalibrationLogFile_;
  // Data collection
  QRadioButton *optionZra6Input_, *optionZra6PlusInput_, *optionZra7Input_;
  QPushButton* commandFindInterface_;
  QLabel* labelConnected_;
  QGroupBox* frameZra6Interface_;
  QComboBox* cboCommPort_;
  QCheckBox* checkAccelerometerAttached_;
  QComboBox* comboAccelerometerCommsPort_;
  QRadioButton *optFourForceChannels_, *optOneForceChannel_;
  QCheckBox* chkRecordForce_;
  QLineEdit *txtSampleFrequency_, *txtDuration_;
  QLabel* labelNumberOfSamples_;
  // Calibration
  QLineEdit *txtDSlope_, *txtDInt_, *txtFSlope_, *txtFInt_;
  QPushButton *cmdCalibratePosition_, *cmdCalibrateForce_;
  // Filters
  QLineEdit *txtDispFc_, *txtVelocFc_, *txtAccelFc_, *textForceFc_;
  // Brake
  QLabel* labelSetBrake_;
  QLineEdit* txtBrakeLevel_;
  QPushButton* cmdApplyBrakeSetting_;
  QCheckBox* checkRampBrake_;
  QRadioButton *optionBrakeAboveZero_, *optionBrakeContinuous_;
  QButtonGroup* brakeMode_;
};

}  // namespace torvane
