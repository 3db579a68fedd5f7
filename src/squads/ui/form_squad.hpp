#pragma once
// The squad window: the athletes of the squad workbook, a search box, next
// and previous, and the athlete every new trial and training file names
// (shown in the status bar's athlete panel). "Edit Squad File" opens the
// workbook in the desktop's spreadsheet program and becomes "Refresh Squad
// List", which reads it again; a workbook saved again is also noticed by
// the window's once-a-second check, which also looks for the athlete of a
// trial file just opened in the list.

#include <QWidget>
#include <functional>

#include "squads/squad_selection.hpp"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimer;
class QUrl;

namespace torvane {

struct Session;

inline constexpr const char* kEditSquadFileCaption = "Edit Squad File";
inline constexpr const char* kRefreshSquadListCaption = "Refresh Squad List";

class FormSquad : public QWidget {
  Q_OBJECT

 public:
  using DocumentOpener = std::function<bool(const QUrl& url)>;

  explicit FormSquad(Session& session, QWidget* parent = nullptr);
  ~FormSquad() override;

  static QSize LoadSize();
  // How "Edit Squad File" opens the workbook (the desktop's viewer by default).
  void SetDocumentOpener(DocumentOpener opener);
  // Reads the workbook (asking for it when it is nowhere) and lists it.
  void LoadSquadList();

 protected:
  void showEvent(QShowEvent* event) override;

 private slots:
  void CommandSelectSquadFile_Click();
  void CommandEditSquadFile_Click();
  void CommandNextAthlete_Click();
  void CommandPreviousAthlete_Click();
  void TextSearchSquad_Change(const QString& text);
  void ListAthletes_Click(int row);
  void TimerUpdateSquadWindow_Timer();

 private:
  void RefreshAthleteList();
  void ShowSelection();

  Session& session_;
  DocumentOpener opener_;
  SquadFileStamp loaded_;
  // The trial file and athlete last shown: a trial file opened since then
  // has its athlete searched for, as though typed in the search box.
  std::string trialSeen_;
  bool listed_ = false;
  QPushButton* select_ = nullptr;
  QPushButton* edit_ = nullptr;
  QLineEdit* search_ = nullptr;
  QListWidget* list_ = nullptr;
  QLabel* count_ = nullptr;
  QTimer* timer_ = nullptr;
};

}  // namespace torvane
