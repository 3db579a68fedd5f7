#include "analysis/ui/form_graph_options.hpp"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUndoStack>
#include <QVBoxLayout>
#include <memory>

#include "analysis/data_set_editing.hpp"
#include "analysis/recalculate.hpp"
#include "analysis/trial_snapshot.hpp"
#include "analysis/ui/edit_commands.hpp"
#include "shell/session.hpp"

namespace torvane {

namespace {

constexpr const char* kCopyAllTip =
    "Copies all of the data sets including time to the Clipboard for pasting into Excel, Word etc.";
constexpr const char* kCopyCurrentTip =
    "Copies the currently displayed data set to the Clipboard for pasting into Excel, Word etc.";

QPushButton* Button(QWidget* parent, const char* name, const char* caption, const char* tip) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setToolTip(tip);
  // Enter in the offset box must not crop the trial (the first button).
  button->setAutoDefault(false);
  return button;
}

}  // namespace

FormGraphOptions::FormGraphOptions(Session& session, QUndoStack& undoStack, QWidget* parent)
    : QDialog(parent), session_(session), undoStack_(undoStack) {
  setObjectName("FormGraphOptions");
  setWindowTitle("Graph Options");

  auto* crop = Button(this, "CommandCrop", "Crop", "Crops the datasets to the current setpoints.");

  auto* offsets = new QGroupBox("Adjust data for force offsets", this);
  auto* search = Button(offsets, "CommandVelocityZeroAverageByForceOffset",
                        "Adjust force offset to get zero average velocity",
                        "Determines the amount the force data set must be adjusted so that the "
                        "average velocity is zero.");
  TextForceOffset_ = new QLineEdit(offsets);
  TextForceOffset_->setObjectName("TextForceOffset");
  TextForceOffset_->setAlignment(Qt::AlignRight);
  CommandApplyOffsetToForce_ =
      Button(offsets, "CommandApplyOffsetToForce", "Apply offset to force and recalculate",
             "Apply the offset displayed above to the force data and then recalculate all "
             "other data sets.");
  CommandApplyOffsetToForce_->setEnabled(false);
  TextForceOffset_->setMaximumWidth(110);
  auto* offsetRow = new QHBoxLayout;
  offsetRow->addWidget(new QLabel("offset (N)", offsets));
  offsetRow->addWidget(TextForceOffset_);
  offsetRow->addWidget(CommandApplyOffsetToForce_, 1);
  auto* offsetsLayout = new QVBoxLayout(offsets);
  offsetsLayout->addWidget(search);
  offsetsLayout->addLayout(offsetRow);

  // The same captions copy two ranges: the columns say which.
  auto* copy = new QGroupBox("Copy data", this);
  auto* allPoints = Button(copy, "CommandCopyAllDataToClipboard",
                           "Copy all data sets between points to Clipboard", kCopyAllTip);
  auto* allPhase = Button(copy, "CommandCopyAllDatasetsPhase",
                          "Copy all data sets between points to Clipboard", kCopyAllTip);
  auto* currentPoints =
      Button(copy, "CommandCopyCurrentToClipboard",
             "Copy currently displayed dataset between points to Clipboard", kCopyCurrentTip);
  auto* currentPhase =
      Button(copy, "CommandCurrentDatasetPhase",
             "Copy currently displayed dataset between points to Clipboard", kCopyCurrentTip);
  CheckIncludeTimeData_ = new QCheckBox("include time data set", copy);
  CheckIncludeTimeData_->setObjectName("CheckIncludeTimeData");
  CheckIncludeTimeData_->setToolTip(
      "Check this option to include the time data set when copying the displayed data to the "
      "Clipboard");
  auto* copyLayout = new QGridLayout(copy);
  auto* markersHeading = new QLabel("<b>Between the markers</b>", copy);
  auto* phaseHeading = new QLabel("<b>Movement onset to landing</b>", copy);
  copyLayout->addWidget(markersHeading, 0, 0, Qt::AlignHCenter);
  copyLayout->addWidget(phaseHeading, 0, 1, Qt::AlignHCenter);
  copyLayout->addWidget(allPoints, 1, 0);
  copyLayout->addWidget(allPhase, 1, 1);
  copyLayout->addWidget(currentPoints, 2, 0);
  copyLayout->addWidget(currentPhase, 2, 1);
  copyLayout->addWidget(CheckIncludeTimeData_, 3, 0, 1, 2);

  auto* close = Button(this, "CommandCloseWindow", "Close", "Close this window.");

  auto* layout = new QVBoxLayout(this);
  auto* cropRow = new QHBoxLayout;
  cropRow->addWidget(crop);
  cropRow->addStretch();
  layout->addLayout(cropRow);
  layout->addWidget(offsets);
  layout->addWidget(copy);
  auto* closeRow = new QHBoxLayout;
  closeRow->addStretch();
  closeRow->addWidget(close);
  layout->addLayout(closeRow);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(crop, &QPushButton::clicked, this, &FormGraphOptions::CommandCrop_Click);
  connect(search, &QPushButton::clicked, this,
          &FormGraphOptions::CommandVelocityZeroAverageByForceOffset_Click);
  connect(CommandApplyOffsetToForce_, &QPushButton::clicked, this,
          &FormGraphOptions::CommandApplyOffsetToForce_Click);
  connect(allPoints, &QPushButton::clicked, this,
          [this] { CopyAllDataSets(ClipboardRange::BetweenPoints); });
  connect(allPhase, &QPushButton::clicked, this,
          [this] { CopyAllDataSets(ClipboardRange::Phase); });
  connect(currentPoints, &QPushButton::clicked, this,
          [this] { CopyCurrentDataSet(ClipboardRange::BetweenPoints); });
  connect(currentPhase, &QPushButton::clicked, this,
          [this] { CopyCurrentDataSet(ClipboardRange::Phase); });
  connect(close, &QPushButton::clicked, this, &QDialog::close);
}

void FormGraphOptions::CommandCrop_Click() {
  PushTrialEdit(
      undoStack_, session_, "Crop", kSnapAllChannels | kSnapShape,
      [this] { return CommandCrop(session_.trial, session_.settings, session_.view); },
      [this] { emit dataChanged(); });
}

void FormGraphOptions::CommandVelocityZeroAverageByForceOffset_Click() {
  auto result = std::make_shared<ForceOffsetSearch>();
  // The search integrates the velocity in place (and sample 0 of three
  // other channels); the next recalculation would restore them.
  PushTrialEdit(
      undoStack_, session_, "Force offset search",
      kSnapDisplacement | kSnapVelocity | kSnapAcceleration | kSnapPower,
      [this, result] {
        *result =
            ForceOffsetForZeroMeanVelocity(session_.trial, session_.settings.samples,
                                           session_.settings.frequency, session_.settings.weight);
        return result->steps > 0;
      },
      [this] { emit dataChanged(); });
  TextForceOffset_->setText(QString::fromStdString(result->text));
  CommandApplyOffsetToForce_->setEnabled(result->found);
}

void FormGraphOptions::CommandApplyOffsetToForce_Click() {
  const std::string offset = TextForceOffset_->text().toStdString();
  PushTrialEdit(
      undoStack_, session_, "Apply force offset", kSnapAllChannels,
      [this, offset] {
        ApplyOffsetToForce(session_.trial, session_.settings, offset);
        Recalculate();
        return true;
      },
      [this] { emit dataChanged(); });
  CommandApplyOffsetToForce_->setEnabled(false);
}

void FormGraphOptions::Recalculate() {
  if (recalculate_) {
    recalculate_();
    return;
  }
  CalculationMode mode;
  mode.fromForce = session_.settings.RecordForce;
  ReCalculate(session_.trial, session_.settings, mode);
}

void FormGraphOptions::CopyAllDataSets(ClipboardRange range) {
  QApplication::clipboard()->setText(QString::fromStdString(AllDataSetsClipboardText(
      session_.trial, session_.settings, session_.view, range, session_.clock().Now())));
}

void FormGraphOptions::CopyCurrentDataSet(ClipboardRange range) {
  QApplication::clipboard()->setText(QString::fromStdString(
      ShownDataSetClipboardText(session_.trial, session_.settings, session_.view, range, shown_,
                                CheckIncludeTimeData_->isChecked())));
}

}  // namespace torvane
