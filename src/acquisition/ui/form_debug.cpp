#include "acquisition/ui/form_debug.hpp"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "acquisition/link_debug_report.hpp"
#include "shell/acquisition_session.hpp"
#include "shell/session.hpp"

namespace torvane {

namespace {
constexpr int kRefreshMs = 500;
}

FormDebug::FormDebug(Session& session, QWidget* parent) : QWidget(parent), session_(session) {
  setObjectName("FormDebug");
  setWindowTitle("Debug");
  txtDebug_ = new QPlainTextEdit(this);
  txtDebug_->setObjectName("txtDebug");
  txtDebug_->setReadOnly(true);
  txtDebug_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  txtDebug_->setLineWrapMode(QPlainTextEdit::NoWrap);
  auto* copy = new QPushButton("&Copy", this);
  copy->setObjectName("cmdCopy");
  connect(copy, &QPushButton::clicked, this, &FormDebug::cmdCopy_Click);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(copy);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(txtDebug_);
  layout->addLayout(buttons);
  tmrRefresh_ = new QTimer(this);
  tmrRefresh_->setObjectName("tmrRefresh");
  tmrRefresh_->setInterval(kRefreshMs);
  connect(tmrRefresh_, &QTimer::timeout, this, &FormDebug::Refresh);
  resize(460, 420);
  Refresh();
}

QString FormDebug::Text() const {
  return txtDebug_->toPlainText();
}

void FormDebug::Refresh() {
  const QString text =
      QString::fromStdString(DebugRowsText(LinkDebugRows(CollectionContextOf(session_))));
  // Rewritten only when it changed, so a selection made to copy stays.
  if (text != txtDebug_->toPlainText()) txtDebug_->setPlainText(text);
}

void FormDebug::cmdCopy_Click() {
  QApplication::clipboard()->setText(Text());
}

void FormDebug::showEvent(QShowEvent* event) {
  Refresh();
  tmrRefresh_->start();
  QWidget::showEvent(event);
}

void FormDebug::hideEvent(QHideEvent* event) {
  tmrRefresh_->stop();
  QWidget::hideEvent(event);
}

}  // namespace torvane
