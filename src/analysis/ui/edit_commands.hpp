#pragma once
// Edits of the trial as undoable commands: each keeps what its edit changes
// (a TrialSnapshot) and puts it back on undo; redo runs the edit again.
// Every edit, undo and redo leaves the trial marked as not saved. The Edit
// menu offers Undo and Redo for one application-wide stack.

#include <QString>
#include <QUndoCommand>
#include <functional>
#include <optional>

#include "analysis/trial_snapshot.hpp"

class QMenu;
class QUndoStack;
class QWidget;

namespace torvane {

struct Session;

// The trial in memory differs from its file: DataSaved false and the status
// bar says "Data NOT saved".
void MarkTrialEdited(Session& session);

class TrialEditCommand : public QUndoCommand {
 public:
  // Runs the edit through the core; false when it changed nothing.
  using Edit = std::function<bool()>;
  // Runs after the edit, its undo and its redo (the windows redraw).
  using Changed = std::function<void()>;

  // `parts`: what the edit may write (TrialChannelBits).
  TrialEditCommand(Session& session, const QString& text, unsigned parts, Edit edit,
                   Changed changed = {});

  void redo() override;
  void undo() override;

 private:
  bool StillAsLeft(std::uint64_t expected);

  Session& session_;
  unsigned parts_;
  Edit edit_;
  Changed changed_;
  std::optional<TrialSnapshot> before_;
  std::uint64_t beforePrint_ = 0;
  std::uint64_t afterPrint_ = 0;
};

// Pushes an edit onto `stack` (which runs it); false, with nothing pushed,
// when the edit changed nothing.
bool PushTrialEdit(QUndoStack& stack, Session& session, const QString& text, unsigned parts,
                   TrialEditCommand::Edit edit, TrialEditCommand::Changed changed = {});

// The "&Edit" menu (mnuEdit) with "&Undo" (mnuEditUndo, Ctrl+Z) and
// "&Redo" (mnuEditRedo, Ctrl+Shift+Z) for `stack`.
QMenu* BuildEditMenu(QUndoStack& stack, QWidget* parent);

}  // namespace torvane
