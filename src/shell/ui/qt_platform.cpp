#include "shell/ui/qt_platform.hpp"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

#include "torvane_version.hpp"

namespace torvane {

namespace {

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A message box without a title carries the program's.
QString Title(std::string_view title) {
  return title.empty() ? QString(kProductTitle) : Q(title);
}

QMessageBox::Icon BoxIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information:
      return QMessageBox::Information;
    case MessageIcon::Exclamation:
      return QMessageBox::Warning;
    case MessageIcon::Critical:
      return QMessageBox::Critical;
    case MessageIcon::Question:
      return QMessageBox::Question;
    case MessageIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

class QtTimer final : public Timer {
 public:
  explicit QtTimer(std::function<void()> onTick) {
    QObject::connect(&timer_, &QTimer::timeout, &timer_, std::move(onTick));
  }
  void Start(std::uint32_t intervalMilliseconds) override {
    timer_.start(static_cast<int>(intervalMilliseconds));
  }
  void Stop() override { timer_.stop(); }
  bool IsActive() const override { return timer_.isActive(); }
  std::uint32_t Interval() const override { return static_cast<std::uint32_t>(timer_.interval()); }

 private:
  QTimer timer_;
};

}  // namespace

QtClock::QtClock() {
  elapsed_.start();
}

std::uint64_t QtClock::Milliseconds() const {
  return static_cast<std::uint64_t>(elapsed_.elapsed());
}

LocalDateTime QtClock::Now() const {
  return SystemClock().Now();
}

void QtEventPump::ProcessPendingEvents() {
  QTimer wake;
  wake.setSingleShot(true);
  wake.start(1);
  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

std::unique_ptr<Timer> QtTimerHost::CreateTimer(std::function<void()> onTick) {
  return std::make_unique<QtTimer>(std::move(onTick));
}

void QtUserDialogs::ShowMessage(MessageIcon icon, std::string_view title, std::string_view text) {
  QMessageBox box(BoxIcon(icon), Title(title), Q(text), QMessageBox::Ok,
                  QApplication::activeWindow());
  box.exec();
}

DialogAnswer QtUserDialogs::Ask(MessageIcon icon, MessageButtons buttons, std::string_view title,
                                std::string_view text) {
  QMessageBox::StandardButtons choice = QMessageBox::Ok;
  switch (buttons) {
    case MessageButtons::Ok:
      break;
    case MessageButtons::OkCancel:
      choice = QMessageBox::Ok | QMessageBox::Cancel;
      break;
    case MessageButtons::YesNo:
      choice = QMessageBox::Yes | QMessageBox::No;
      break;
    case MessageButtons::YesNoCancel:
      choice = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
      break;
    case MessageButtons::RetryCancel:
      choice = QMessageBox::Retry | QMessageBox::Cancel;
      break;
  }
  QMessageBox box(BoxIcon(icon), Title(title), Q(text), choice, QApplication::activeWindow());
  switch (box.exec()) {
    case QMessageBox::Ok:
      return DialogAnswer::Ok;
    case QMessageBox::Yes:
      return DialogAnswer::Yes;
    case QMessageBox::No:
      return DialogAnswer::No;
    case QMessageBox::Retry:
      return DialogAnswer::Retry;
    default:
      return DialogAnswer::Cancel;
  }
}

QString QtFileFilter(std::string_view filter) {
  const QStringList parts = Q(filter).split('|');
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ').replace("*.*", "*");
    QString description = parts[i];
    if (!description.contains('(')) description += " (" + patterns + ")";
    description.replace("(*.*)", "(*)");
    out << description;
  }
  return out.join(";;");
}

std::optional<std::string> QtUserDialogs::ChooseFileToOpen(const FileDialogRequest& request) {
  const QString folder = Q(request.initialFolder);
  const QString start =
      request.initialName.empty() ? folder : folder + "/" + Q(request.initialName);
  const QString path = QFileDialog::getOpenFileName(QApplication::activeWindow(), Q(request.title),
                                                    start, QtFileFilter(request.filter));
  if (path.isEmpty()) return std::nullopt;
  return path.toStdString();
}

std::optional<std::string> QtUserDialogs::ChooseFileToSave(const FileDialogRequest& request) {
  const QString folder = Q(request.initialFolder);
  const QString start =
      request.initialName.empty() ? folder : folder + "/" + Q(request.initialName);
  const QString path = QFileDialog::getSaveFileName(QApplication::activeWindow(), Q(request.title),
                                                    start, QtFileFilter(request.filter));
  if (path.isEmpty()) return std::nullopt;
  return path.toStdString();
}

std::optional<std::string> QtUserDialogs::ChooseFolder(std::string_view title,
                                                       std::string_view initialFolder) {
  const QString path =
      QFileDialog::getExistingDirectory(QApplication::activeWindow(), Q(title), Q(initialFolder));
  if (path.isEmpty()) return std::nullopt;
  return path.toStdString();
}

}  // namespace torvane
