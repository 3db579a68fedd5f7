#include "analysis/ui/edit_commands.hpp"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QUndoStack>
#include <memory>

#include "shell/session.hpp"
#include "shell/status_reporting.hpp"

namespace torvane {

void MarkTrialEdited(Session& session) {
  session.trial.DataSaved = false;
  UpdateStatusBar(session);
}

TrialEditCommand::TrialEditCommand(Session& session, const QString& text, unsigned parts, Edit edit,
                                   Changed changed)
    : QUndoCommand(text),
      session_(session),
      parts_(parts),
      edit_(std::move(edit)),
      changed_(std::move(changed)) {}

// The channels an edit left must still be there to be undone, and those it
// started from to be redone: another trial opened or collected meanwhile is
// never written over. The stale command leaves the stack.
bool TrialEditCommand::StillAsLeft(std::uint64_t expected) {
  if (TrialFingerprint(session_.trial, session_.settings, parts_) == expected) return true;
  session_.dialogs().ShowMessage(MessageIcon::Exclamation, "", kEditNoLongerUndoable);
  setObsolete(true);
  return false;
}

void TrialEditCommand::redo() {
  if (before_ && !StillAsLeft(beforePrint_)) return;
  before_ = TakeTrialSnapshot(session_.trial, session_.settings, session_.view, parts_);
  beforePrint_ = TrialFingerprint(session_.trial, session_.settings, parts_);
  if (!edit_()) {
    setObsolete(true);
    return;
  }
  afterPrint_ = TrialFingerprint(session_.trial, session_.settings, parts_);
  MarkTrialEdited(session_);
  if (changed_) changed_();
}

void TrialEditCommand::undo() {
  if (!before_ || !StillAsLeft(afterPrint_)) return;
  if (!RestoreTrialSnapshot(*before_, session_.trial, session_.settings, session_.view)) {
    session_.dialogs().ShowMessage(MessageIcon::Exclamation, "", kEditNoLongerUndoable);
    setObsolete(true);
    return;
  }
  MarkTrialEdited(session_);
  if (changed_) changed_();
}

bool PushTrialEdit(QUndoStack& stack, Session& session, const QString& text, unsigned parts,
                   TrialEditCommand::Edit edit, TrialEditCommand::Changed changed) {
  if (TrialInUse(session)) {
    session.dialogs().ShowMessage(MessageIcon::Exclamation, kTrialInUseTitle, kTrialInUseMessage);
    return false;
  }
  auto done = std::make_shared<bool>(false);
  auto* command = new TrialEditCommand(
      session, text, parts, [done, edit = std::move(edit)] { return *done = edit(); },
      std::move(changed));
  stack.push(command);  // runs redo(); an edit that changed nothing is not kept
  return *done;
}

QMenu* BuildEditMenu(QUndoStack& stack, QWidget* parent) {
  auto* menu = new QMenu("&Edit", parent);
  menu->setObjectName("mnuEdit");
  menu->menuAction()->setObjectName("mnuEdit");
  QAction* undo = stack.createUndoAction(menu, "&Undo");
  undo->setObjectName("mnuEditUndo");
  undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  QAction* redo = stack.createRedoAction(menu, "&Redo");
  redo->setObjectName("mnuEditRedo");
  redo->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
  menu->addAction(undo);
  menu->addAction(redo);
  return menu;
}

}  // namespace torvane
