#pragma once
// "Seek Options": which features a marker seek stops at, read at every seek
// (they are not saved). Opened by a right-button click on the analysis
// window's seek box. An epoch that is not a number of milliseconds above 0
// is refused and the previous one kept.

#include <QDialog>

#include "analysis/seek_statistics.hpp"

class QCheckBox;
class QLineEdit;

namespace torvane {

struct Session;

class FormSeekOptions : public QDialog {
  Q_OBJECT

 public:
  explicit FormSeekOptions(Session& session, QWidget* parent = nullptr);

  // The options as they stand now.
  SeekOptions Options() const;

 signals:
  void optionsChanged();

 private:
  void TextEpoch_Validate();

  Session& session_;
  QCheckBox* CheckSeekMaximum_;
  QCheckBox* CheckSeekMinimum_;
  QCheckBox* CheckSeekZeroCross_;
  QCheckBox* CheckSeekMaxima_;
  QCheckBox* CheckSeekMinima_;
  QCheckBox* CheckRateOfRise_;
  QLineEdit* TextRateOfRiseThreshold_;
  QLineEdit* TextEpoch_;
  double epoch_ = 30;
  QString epochText_ = "30";
};

}  // namespace torvane
