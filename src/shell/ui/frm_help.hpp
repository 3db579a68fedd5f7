#pragma once
// The help window: the program's own pages (and any local page or text the
// desktop has no viewer for) in a page browser with back and forward, and a
// search that finds the text in the page shown and lists the other pages
// that hold it.

#include <QUrl>
#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QTextBrowser;
class QToolButton;

namespace torvane {

class FrmHelp : public QWidget {
  Q_OBJECT

 public:
  explicit FrmHelp(QWidget* parent = nullptr);

  // Shows a local page (an anchor in the fragment scrolls to it).
  void ShowPage(const QUrl& url);
  QUrl CurrentPage() const;

 private:
  void cmdBack_Click();
  void cmdForward_Click();
  void cmdFindNext_Click();
  void cmdFindPrevious_Click();
  void txtSearch_Return();
  void lstPages_Click(QListWidgetItem* item);
  void PageChanged();
  void Find(bool backwards);
  void ListPagesHolding(const QString& text);

  QToolButton* cmdBack_ = nullptr;
  QToolButton* cmdForward_ = nullptr;
  QLineEdit* txtSearch_ = nullptr;
  QToolButton* cmdFindNext_ = nullptr;
  QToolButton* cmdFindPrevious_ = nullptr;
  QLabel* lblSearch_ = nullptr;
  QListWidget* lstPages_ = nullptr;
  QTextBrowser* txtPage_ = nullptr;
};

}  // namespace torvane
