#include "shell/ui/frm_help.hpp"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QShortcut>
#include <QSplitter>
#include <QStyle>
#include <QTextBrowser>
#include <QTextCursor>
#include <QToolButton>
#include <QVBoxLayout>

#include "shell/help_pages.hpp"
#include "torvane_version.hpp"

namespace torvane {

namespace {

QToolButton* Button(QWidget* parent, const char* name, const QString& text, const QIcon& icon,
                    const QString& tip) {
  auto* button = new QToolButton(parent);
  button->setObjectName(name);
  button->setText(text);
  button->setIcon(icon);
  button->setToolTip(tip);
  button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  button->setAutoRaise(true);
  return button;
}

}  // namespace

FrmHelp::FrmHelp(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("frmHelp");
  setWindowTitle(QString(kProductTitle) + " Help");
  const QStyle* look = style();
  cmdBack_ = Button(this, "cmdBack", "Back",
                    QIcon::fromTheme("go-previous", look->standardIcon(QStyle::SP_ArrowBack)),
                    "The page shown before (Alt+Left)");
  cmdForward_ = Button(this, "cmdForward", "Forward",
                       QIcon::fromTheme("go-next", look->standardIcon(QStyle::SP_ArrowForward)),
                       "The page shown after (Alt+Right)");
  txtSearch_ = new QLineEdit(this);
  txtSearch_->setObjectName("txtSearch");
  txtSearch_->setPlaceholderText("Search the help (Ctrl+F)");
  txtSearch_->setClearButtonEnabled(true);
  txtSearch_->setMinimumWidth(txtSearch_->fontMetrics().horizontalAdvance('x') * 28);
  cmdFindPrevious_ = Button(this, "cmdFindPrevious", "Previous",
                            QIcon::fromTheme("go-up", look->standardIcon(QStyle::SP_ArrowUp)),
                            "The text's previous place on this page (Shift+F3)");
  cmdFindNext_ = Button(this, "cmdFindNext", "Next",
                        QIcon::fromTheme("go-down", look->standardIcon(QStyle::SP_ArrowDown)),
                        "The text's next place on this page (F3)");
  lblSearch_ = new QLabel(this);
  lblSearch_->setObjectName("lblSearch");
  lstPages_ = new QListWidget(this);
  lstPages_->setObjectName("lstPages");
  lstPages_->setToolTip("The help pages that hold the searched text, most often first");
  lstPages_->hide();
  txtPage_ = new QTextBrowser(this);
  txtPage_->setObjectName("txtPage");
  txtPage_->setOpenExternalLinks(true);

  auto* bar = new QHBoxLayout;
  bar->addWidget(cmdBack_);
  bar->addWidget(cmdForward_);
  bar->addStretch(1);
  bar->addWidget(txtSearch_);
  bar->addWidget(cmdFindPrevious_);
  bar->addWidget(cmdFindNext_);
  auto* split = new QSplitter(this);
  split->addWidget(lstPages_);
  split->addWidget(txtPage_);
  split->setStretchFactor(1, 1);
  split->setChildrenCollapsible(false);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addLayout(bar);
  layout->addWidget(split, 1);
  layout->addWidget(lblSearch_);

  cmdBack_->setEnabled(false);
  cmdForward_->setEnabled(false);
  connect(txtPage_, &QTextBrowser::backwardAvailable, cmdBack_, &QWidget::setEnabled);
  connect(txtPage_, &QTextBrowser::forwardAvailable, cmdForward_, &QWidget::setEnabled);
  connect(txtPage_, &QTextBrowser::sourceChanged, this, &FrmHelp::PageChanged);
  connect(cmdBack_, &QToolButton::clicked, this, &FrmHelp::cmdBack_Click);
  connect(cmdForward_, &QToolButton::clicked, this, &FrmHelp::cmdForward_Click);
  connect(cmdFindNext_, &QToolButton::clicked, this, &FrmHelp::cmdFindNext_Click);
  connect(cmdFindPrevious_, &QToolButton::clicked, this, &FrmHelp::cmdFindPrevious_Click);
  connect(txtSearch_, &QLineEdit::returnPressed, this, &FrmHelp::txtSearch_Return);
  connect(lstPages_, &QListWidget::itemClicked, this, &FrmHelp::lstPages_Click);
  const auto key = [this](const QKeySequence& keys, auto slot) {
    connect(new QShortcut(keys, this), &QShortcut::activated, this, slot);
  };
  key(QKeySequence::Back, &FrmHelp::cmdBack_Click);
  key(QKeySequence::Forward, &FrmHelp::cmdForward_Click);
  key(QKeySequence::FindNext, &FrmHelp::cmdFindNext_Click);
  key(QKeySequence::FindPrevious, &FrmHelp::cmdFindPrevious_Click);
  key(QKeySequence::Find, [this] {
    txtSearch_->setFocus();
    txtSearch_->selectAll();
  });
  key(QKeySequence(Qt::Key_Escape), &QWidget::close);

  const QFontMetrics metrics = fontMetrics();
  resize(metrics.averageCharWidth() * 130, metrics.height() * 44);
}

void FrmHelp::ShowPage(const QUrl& url) {
  // The same page again with another anchor only scrolls.
  if (url.adjusted(QUrl::RemoveFragment) == txtPage_->source().adjusted(QUrl::RemoveFragment)) {
    if (url.hasFragment()) txtPage_->scrollToAnchor(url.fragment());
    return;
  }
  // The pages' own style sheet (help.css beside them), which the page
  // browser does not fetch by itself: tables with their rules, the notes.
  QFile css(QFileInfo(url.toLocalFile()).absoluteDir().filePath("help.css"));
  txtPage_->document()->setDefaultStyleSheet(
      css.open(QIODevice::ReadOnly) ? QString::fromUtf8(css.readAll()) : QString());
  txtPage_->setSource(url);
}

QUrl FrmHelp::CurrentPage() const {
  return txtPage_->source();
}

void FrmHelp::cmdBack_Click() {
  txtPage_->backward();
}

void FrmHelp::cmdForward_Click() {
  txtPage_->forward();
}

void FrmHelp::cmdFindNext_Click() {
  Find(false);
}

void FrmHelp::cmdFindPrevious_Click() {
  Find(true);
}

void FrmHelp::txtSearch_Return() {
  ListPagesHolding(txtSearch_->text());
  Find(false);
}

void FrmHelp::lstPages_Click(QListWidgetItem* item) {
  const QString folder = QFileInfo(CurrentPage().toLocalFile()).absolutePath();
  ShowPage(QUrl::fromLocalFile(QDir(folder).filePath(item->data(Qt::UserRole).toString())));
  txtPage_->moveCursor(QTextCursor::Start);
  Find(false);
}

void FrmHelp::PageChanged() {
  const QString title = txtPage_->documentTitle().trimmed();
  setWindowTitle(title.isEmpty() ? QFileInfo(CurrentPage().toLocalFile()).fileName() : title);
  const QString shown = QFileInfo(CurrentPage().toLocalFile()).fileName();
  for (int row = 0; row < lstPages_->count(); ++row) {
    QListWidgetItem* item = lstPages_->item(row);
    if (item->data(Qt::UserRole).toString() == shown) lstPages_->setCurrentItem(item);
  }
}

// The text's next (or previous) place on the page, going round at the end.
void FrmHelp::Find(bool backwards) {
  const QString text = txtSearch_->text().simplified();
  if (text.isEmpty()) return;
  const QTextDocument::FindFlags flags =
      backwards ? QTextDocument::FindBackward : QTextDocument::FindFlags();
  bool found = txtPage_->find(text, flags);
  if (!found) {
    txtPage_->moveCursor(backwards ? QTextCursor::End : QTextCursor::Start);
    found = txtPage_->find(text, flags);
  }
  if (!found) {
    lblSearch_->setText(QString("\u201C%1\u201D is not on this page.").arg(text) +
                        (lstPages_->count() > 0 ? " The pages on the left hold it." : ""));
  }
}

void FrmHelp::ListPagesHolding(const QString& text) {
  lstPages_->clear();
  const QString folder = QFileInfo(CurrentPage().toLocalFile()).absolutePath();
  const std::vector<HelpSearchHit> hits =
      SearchHelpPages(folder.toStdString(), text.simplified().toStdString());
  for (const HelpSearchHit& hit : hits) {
    auto* item = new QListWidgetItem(
        QString("%1 (%2)").arg(QString::fromStdString(hit.title)).arg(hit.count), lstPages_);
    item->setData(Qt::UserRole, QString::fromStdString(hit.fileName));
  }
  lstPages_->setVisible(!hits.empty());
  if (text.simplified().isEmpty()) {
    lblSearch_->clear();
  } else if (hits.empty()) {
    lblSearch_->setText(QString("No help page holds \u201C%1\u201D.").arg(text.simplified()));
  } else {
    const QString count = hits.size() == 1 ? QString("One help page holds")
                                           : QString("%1 help pages hold").arg(hits.size());
    lblSearch_->setText(QString("%1 \u201C%2\u201D.").arg(count, text.simplified()));
  }
  PageChanged();
}

}  // namespace torvane
