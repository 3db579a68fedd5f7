#include "analysis/ui/frm_scale_offset_data.hpp"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

#include "analysis/trial_snapshot.hpp"
#include "analysis/typed_values.hpp"
#include "analysis/ui/edit_commands.hpp"
#include "shell/session.hpp"

namespace torvane {

namespace {

struct Row {
  const char* box;
  const char* boxTip;
  const char* text;
  const char* button;
  const char* caption;
  const char* buttonTip;
  ScaleOffsetCommand command;
  const char* undoText;
};

const Row kDisplacementRows[] = {
    {"txtDispOffset", "Enter the factor to add to all the displacement data", "0",
     "cmdApplyDispOffset", "apply offset", "Click to add the value to the displacement data",
     ScaleOffsetCommand::DisplacementOffset, "Offset displacement"},
    {"txtDispScaleFactor", "Enter the factor to scale the displacement data", "1",
     "cmdApplyDispScale", "apply scaling",
     "Click to apply the scaling factor to the displacement data",
     ScaleOffsetCommand::DisplacementScale, "Scale displacement"},
};
const Row kForceRows[] = {
    {"txtForceOffset", "Enter the value to add to all force data", "0", "cmdApplyForceOffset",
     "apply offset", "Click to add the value to the force data", ScaleOffsetCommand::ForceOffset,
     "Offset force"},
    {"txtForceScaleFactor", "Enter the factor to scale the force data", "1", "cmdApplyForceScale",
     "apply scaling", "Click to apply the scaling factor to the force data",
     ScaleOffsetCommand::ForceScale, "Scale force"},
};

unsigned PartsOf(ScaleOffsetCommand command) {
  return command == ScaleOffsetCommand::DisplacementOffset ||
                 command == ScaleOffsetCommand::DisplacementScale
             ? kSnapDisplacement
             : kSnapForce;
}

const char* UndoTextOf(ScaleOffsetCommand command) {
  for (const auto* rows : {kDisplacementRows, kForceRows})
    for (int i = 0; i < 2; ++i)
      if (rows[i].command == command) return rows[i].undoText;
  return "";
}

}  // namespace

FrmScaleOffsetData::FrmScaleOffsetData(Session& session, QUndoStack& undoStack, QWidget* parent)
    : QDialog(parent), session_(session), undoStack_(undoStack) {
  setObjectName("frmScaleOffsetData");
  setWindowTitle(kScaleOffsetTitle);
  auto* layout = new QHBoxLayout(this);
  for (const auto& [title, rows] :
       {std::pair{"Displacement", kDisplacementRows}, std::pair{"Force", kForceRows}}) {
    auto* frame = new QGroupBox(title, this);
    auto* grid = new QGridLayout(frame);
    for (int i = 0; i < 2; ++i) {
      const Row& row = rows[i];
      auto* box = new QLineEdit(row.text, frame);
      box->setObjectName(row.box);
      box->setToolTip(row.boxTip);
      box->setAlignment(Qt::AlignRight);
      box->setMaximumWidth(90);
      auto* button = new QPushButton(row.caption, frame);
      button->setObjectName(row.button);
      button->setToolTip(row.buttonTip);
      grid->addWidget(box, i, 0);
      grid->addWidget(button, i, 1);
      // Enter in a box applies that box, never the dialog's first button.
      button->setAutoDefault(false);
      connect(button, &QPushButton::clicked, this,
              [this, command = row.command, box] { Apply(command, box); });
      connect(box, &QLineEdit::returnPressed, button, &QPushButton::click);
    }
    layout->addWidget(frame);
  }
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void FrmScaleOffsetData::Apply(ScaleOffsetCommand command, QLineEdit* box) {
  const std::string text = box->text().toStdString();
  if (!ScaleOffsetValueAccepted(command, text)) {
    session_.dialogs().ShowMessage(MessageIcon::Exclamation, kScaleOffsetTitle,
                                   kScaleFactorRefused);
    box->setFocus();
    box->selectAll();
    return;
  }
  PushTrialEdit(
      undoStack_, session_, UndoTextOf(command), PartsOf(command),
      [this, command, text] {
        return ApplyScaleOffset(session_.trial, session_.settings, command, text);
      },
      [this] { emit dataChanged(); });
}

}  // namespace torvane
