#pragma once
// The status window "Realtime System Status": the status log as it grows,
// newest line in view, and "Copy" to put it on the clipboard for an email.

#include <QWidget>
#include <string>

class QPlainTextEdit;
class QPushButton;

namespace torvane {

struct Session;

class FormSystemStatus : public QWidget {
  Q_OBJECT

 public:
  explicit FormSystemStatus(Session& session, QWidget* parent = nullptr);

  // The window's size when it is loaded: 5300 × 3555 twips.
  static QSize LoadSize();

 private:
  void ShowText(const std::string& text);
  void CommandCopy_Click();

  Session& session_;
  QPlainTextEdit* textStatus_;
  QPushButton* commandCopy_;
  std::string shown_;  // the log text the box holds
};

}  // namespace torvane
