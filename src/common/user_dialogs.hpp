#pragma once
// What the core asks of the user. The core never shows anything itself: the
// program answers with message boxes and file dialogs, tests with a script.

#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace torvane {

enum class MessageIcon { None, Information, Exclamation, Critical, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class DialogAnswer { Ok, Cancel, Yes, No, Retry };

struct FileDialogRequest {
  std::string title;
  std::string filter;        // e.g. "QLX data files (*.qlx)|*.qlx|All files (*.*)|*.*"
  std::string initialFolder;
  std::string initialName;
};

class UserDialogs {
 public:
  virtual ~UserDialogs() = default;
  // A message box with one OK button.
  virtual void ShowMessage(MessageIcon icon, std::string_view title, std::string_view text) = 0;
  // A message box with a choice of buttons; returns the one pressed.
  virtual DialogAnswer Ask(MessageIcon icon, MessageButtons buttons, std::string_view title,
                           std::string_view text) = 0;
  // The chosen path, or nothing when the user cancelled.
  virtual std::optional<std::string> ChooseFileToOpen(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> ChooseFileToSave(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> ChooseFolder(std::string_view title,
                                                  std::string_view initialFolder) = 0;
};

// Answers from a script and records everything shown: for tests, and for
// headless runs in which nobody can answer (every question gets its default).
class ScriptedDialogs final : public UserDialogs {
 public:
  struct Shown {
    MessageIcon icon;
    MessageButtons buttons;
    std::string title;
    std::string text;
  };

  void ShowMessage(MessageIcon icon, std::string_view title, std::string_view text) override;
  DialogAnswer Ask(MessageIcon icon, MessageButtons buttons, std::string_view title,
                   std::string_view text) override;
  std::optional<std::string> ChooseFileToOpen(const FileDialogRequest& request) override;
  std::optional<std::string> ChooseFileToSave(const FileDialogRequest& request) override;
  std::optional<std::string> ChooseFolder(std::string_view title,
                                          std::string_view initialFolder) override;

  // Answers given in order; when none is left, OK/Yes questions get the
  // first button (OK or Yes) and file choices are cancelled.
  std::deque<DialogAnswer> answers;
  std::deque<std::optional<std::string>> paths;
  std::vector<Shown> shown;
  std::vector<FileDialogRequest> fileRequests;
};

}  // namespace torvane
