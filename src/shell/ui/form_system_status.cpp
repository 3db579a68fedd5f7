#include "shell/ui/form_system_status.hpp"

#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "shell/session.hpp"
#include "shell/window_placement.hpp"

namespace torvane {

namespace {

// The log keeps CR LF line ends; the box shows plain lines.
QString Displayed(std::string_view text) {
  QString out = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  out.replace("\r\n", "\n");
  return out;
}

}  // namespace

FormSystemStatus::FormSystemStatus(Session& session, QWidget* parent)
    : QWidget(parent), session_(session) {
  setObjectName("FormSystemStatus");
  setWindowTitle("Realtime System Status");
  textStatus_ = new QPlainTextEdit(this);
  textStatus_->setObjectName("TextStatus");
  textStatus_->setToolTip("Running report on the system status.");
  textStatus_->setReadOnly(true);
  textStatus_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  commandCopy_ = new QPushButton("Copy", this);
  commandCopy_->setObjectName("CommandCopy");
  commandCopy_->setToolTip(
      "Copies the text above to the clipboard for pasting into an email or document.");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(textStatus_, 1);
  layout->addWidget(commandCopy_, 0, Qt::AlignRight);
  connect(commandCopy_, &QPushButton::clicked, this, &FormSystemStatus::CommandCopy_Click);

  // The window exists from the first message of start-up on; loading it
  // puts the date at the top of the text.
  LoadStatusWindow(session_);
  ShowText(session_.statusLog.text);
  QPointer<FormSystemStatus> self(this);
  session_.statusLog.textListeners.push_back([self](const std::string& text) {
    if (self) self->ShowText(text);
  });
}

QSize FormSystemStatus::LoadSize() {
  return {TwipsToPixels(5300), TwipsToPixels(3555)};
}

void FormSystemStatus::ShowText(const std::string& text) {
  if (text.compare(0, shown_.size(), shown_) == 0) {
    // Usually one more line: add only what is new.
    QTextCursor end(textStatus_->document());
    end.movePosition(QTextCursor::End);
    end.insertText(Displayed(std::string_view(text).substr(shown_.size())));
  } else {
    textStatus_->setPlainText(Displayed(text));
  }
  shown_ = text;
  // The newest line stays in view.
  textStatus_->moveCursor(QTextCursor::End);
  textStatus_->verticalScrollBar()->setValue(textStatus_->verticalScrollBar()->maximum());
}

void FormSystemStatus::CommandCopy_Click() {
  QClipboard* clipboard = QApplication::clipboard();
  clipboard->clear();
  clipboard->setText(textStatus_->toPlainText());
}

}  // namespace torvane
