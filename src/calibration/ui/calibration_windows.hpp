#pragma once
// The two calibration windows, opened modally from the configuration
// window's Calibration tab: "Calibrate Displacement" (frmCalibrate) reads
// the bottom and top positions of the position transducer, "Calibrate
// Force" (frmCalForce) a lower and a higher load on the force platform.
// Both show the two readings and the factor, and accept (Done), cancel or
// show the calibration log; the work is in two_point_calibration.

#include <QDialog>
#include <QUrl>
#include <functional>

#include "calibration/two_point_calibration.hpp"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace torvane {

struct Session;

// Opens a document in the desktop's program for it; false when none opens it.
using CalibrationDocumentOpener = std::function<bool(const QUrl& url)>;

class CalibrationWindow : public QDialog {
  Q_OBJECT

 public:
  const CalibrationState& State() const { return state_; }
  CalibrationState& State() { return state_; }

 public slots:
  // Esc and the title bar's close: as Cancel.
  void reject() override;

 protected:
  CalibrationWindow(Session& session, CalibrationKind kind, CalibrationDocumentOpener opener,
                    QWidget* parent);
  // The buttons and labels both windows have, named by the subclass.
  void MakeCommonControls(const char* readLow, const char* readLowCaption, const char* readHigh,
                          const char* readHighCaption, const char* lowLabel, const char* highLabel);
  QWidget* CommonButtons();
  void UpdateCalFactor();
  void ReadPoint(CalibrationPoint point);

  Session& session_;
  CalibrationContext cx_;
  CalibrationState state_;
  QPushButton *readLow_ = nullptr, *readHigh_ = nullptr;
  QLabel *lowLabel_ = nullptr, *highLabel_ = nullptr, *lblCalFactor_ = nullptr;
  QPushButton *cmdCalDone_ = nullptr, *cmdCancelCalibration_ = nullptr, *cmdViewCalLog_ = nullptr;

 private:
  void cmdCalDone_Click();
  void cmdCancelCalibration_Click();
  void cmdViewCalLog_Click();
  bool ShowTextFile(const std::string& path);

  CalibrationDocumentOpener opener_;
  bool closeAfterReading_ = false;
};

class FrmCalibrate : public CalibrationWindow {
  Q_OBJECT

 public:
  FrmCalibrate(Session& session, CalibrationDocumentOpener opener, QWidget* parent = nullptr);

 private:
  QLineEdit* txtCalDistance_;
};

class FrmCalForce : public CalibrationWindow {
  Q_OBJECT

 public:
  FrmCalForce(Session& session, CalibrationDocumentOpener opener, QWidget* parent = nullptr);

 private:
  void OptionUnits_Click(bool newtons);

  QLineEdit *txtCalForceA_, *txtCalForceB_;
  QRadioButton *optionForceKg_, *optionForceNewtons_;
};

}  // namespace torvane
