#include "squads/ui/form_squad.hpp"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include "common/paths.hpp"
#include "shell/session.hpp"
#include "shell/squad_session.hpp"
#include "shell/window_placement.hpp"

namespace torvane {

namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

}  // namespace

FormSquad::FormSquad(Session& session, QWidget* parent)
    : QWidget(parent),
      session_(session),
      opener_([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {
  setObjectName("FormSquad");
  setWindowTitle("Squad");

  select_ = new QPushButton("Open Squad File", this);
  select_->setObjectName("CommandSelectSquadFile");
  edit_ = new QPushButton(kEditSquadFileCaption, this);
  edit_->setObjectName("CommandEditSquadFile");
  auto* previous = new QPushButton("<", this);
  previous->setObjectName("CommandPreviousAthlete");
  previous->setToolTip("Select previous athlete");
  auto* next = new QPushButton(">", this);
  next->setObjectName("CommandNextAthlete");
  next->setToolTip("Select next athlete");
  for (QPushButton* arrow : {previous, next})
    arrow->setFixedWidth(arrow->sizeHint().height() * 3 / 2);
  search_ = new QLineEdit(this);
  search_->setObjectName("TextSearchSquad");
  // A prompt, not text: it never takes part in a search.
  search_->setPlaceholderText("Enter search text");
  search_->setClearButtonEnabled(true);
  list_ = new QListWidget(this);
  list_->setObjectName("ListAthletes");
  list_->setToolTip("Scroll and select athlete or subject");
  count_ = new QLabel("0 of 0 in squad file", this);
  count_->setObjectName("LabelNumberOfAthleteSelected");

  auto* top = new QHBoxLayout;
  top->addWidget(search_, 1);
  top->addWidget(previous);
  top->addWidget(next);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(count_, 1);
  bottom->addWidget(select_);
  bottom->addWidget(edit_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(list_, 1);
  layout->addLayout(bottom);

  connect(select_, &QPushButton::clicked, this, &FormSquad::CommandSelectSquadFile_Click);
  connect(edit_, &QPushButton::clicked, this, &FormSquad::CommandEditSquadFile_Click);
  connect(next, &QPushButton::clicked, this, &FormSquad::CommandNextAthlete_Click);
  connect(previous, &QPushButton::clicked, this, &FormSquad::CommandPreviousAthlete_Click);
  connect(search_, &QLineEdit::textChanged, this, &FormSquad::TextSearchSquad_Change);
  connect(list_, &QListWidget::currentRowChanged, this, &FormSquad::ListAthletes_Click);

  timer_ = new QTimer(this);
  timer_->setObjectName("TimerUpdateSquadWindow");
  timer_->setInterval(1000);
  connect(timer_, &QTimer::timeout, this, &FormSquad::TimerUpdateSquadWindow_Timer);
}

FormSquad::~FormSquad() = default;

QSize FormSquad::LoadSize() {
  return {TwipsToPixels(6720), TwipsToPixels(3780)};
}

void FormSquad::SetDocumentOpener(DocumentOpener opener) {
  opener_ = std::move(opener);
}

void FormSquad::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // The workbook is read when the window is first shown, once the settings
  // name it; afterwards only when asked or when it changed.
  if (!listed_) LoadSquadList();
  timer_->start();
}

void FormSquad::LoadSquadList() {
  listed_ = true;
  const SquadContext cx = SquadContextOf(session_);
  LoadSquadWorkbook(cx);
  loaded_ = StampOfSquadFile(cx.squadFileName);
  RefreshAthleteList();
}

void FormSquad::RefreshAthleteList() {
  const QSignalBlocker quiet(list_);
  list_->clear();
  for (const std::string& line : AthleteListLines(session_.squad)) list_->addItem(Q(line));
  setWindowTitle(Q(FileNameOf(session_.settings.SquadFileName)));
  ShowSelection();
}

void FormSquad::ShowSelection() {
  const SquadTable& squad = session_.squad;
  {
    const QSignalBlocker quiet(list_);
    list_->setCurrentRow(squad.CurrentAthlete - 1);
  }
  if (QListWidgetItem* item = list_->currentItem()) list_->scrollToItem(item);
  count_->setText(Q(AthleteCountLabel(squad)));
  ShowSelectedAthlete(session_);
}

void FormSquad::CommandSelectSquadFile_Click() {
  const SquadContext cx = SquadContextOf(session_);
  if (ChooseSquadWorkbook(cx) == SquadLoad::Cancelled) return;
  loaded_ = StampOfSquadFile(cx.squadFileName);
  RefreshAthleteList();
}

void FormSquad::CommandEditSquadFile_Click() {
  if (edit_->text() == kRefreshSquadListCaption) {
    edit_->setText(kEditSquadFileCaption);
    LoadSquadList();
    return;
  }
  const std::string path = SquadFileToEdit(SquadContextOf(session_));
  if (!opener_ || !opener_(QUrl::fromLocalFile(Q(path)))) {
    session_.dialogs().ShowMessage(MessageIcon::Exclamation, "Edit Squad File",
                                   "No program could be started to open " + path);
    return;
  }
  edit_->setText(kRefreshSquadListCaption);
}

void FormSquad::CommandNextAthlete_Click() {
  if (SelectNextAthlete(session_.squad)) ShowSelection();
}

void FormSquad::CommandPreviousAthlete_Click() {
  if (SelectPreviousAthlete(session_.squad)) ShowSelection();
}

void FormSquad::TextSearchSquad_Change(const QString& text) {
  if (SearchAndSelectAthlete(session_.squad, text.toStdString()) > 0) ShowSelection();
}

void FormSquad::ListAthletes_Click(int row) {
  if (SelectAthlete(session_.squad, row + 1)) ShowSelection();
}

void FormSquad::TimerUpdateSquadWindow_Timer() {
  if (!isVisible()) {
    timer_->stop();
    return;
  }
  if (ReloadSquadIfChanged(SquadContextOf(session_), loaded_)) RefreshAthleteList();
  const TrialDataSet& trial = session_.trial;
  const std::string text = trial.Athlete && NamesAnAthlete(*trial.Athlete)
                               ? AthleteSearchText(*trial.Athlete)
                               : std::string();
  const std::string seen = trial.DataFileName + '\n' + text;
  if (seen == trialSeen_) return;
  trialSeen_ = seen;
  // A search without a match keeps the selected athlete.
  if (!text.empty()) search_->setText(Q(text));
}

}  // namespace torvane
