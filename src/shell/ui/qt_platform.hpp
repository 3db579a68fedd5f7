#pragma once
// The platform services of the core on Qt: the millisecond clock, the event
// pump that lets window events run during a wait, window timers, and
// message boxes and file dialogs.

#include <QElapsedTimer>

#include "common/clock.hpp"
#include "common/user_dialogs.hpp"

namespace torvane {

class QtClock final : public Clock {
 public:
  QtClock();
  std::uint64_t Milliseconds() const override;
  LocalDateTime Now() const override;

 private:
  QElapsedTimer elapsed_;
};

class QtEventPump final : public EventPump {
 public:
  // Runs the pending events; when there are none, waits for the next one
  // for at most a millisecond, so a wait does not spin the processor.
  void ProcessPendingEvents() override;
};

class QtTimerHost final : public TimerHost {
 public:
  std::unique_ptr<Timer> CreateTimer(std::function<void()> onTick) override;
};

class QtUserDialogs final : public UserDialogs {
 public:
  void ShowMessage(MessageIcon icon, std::string_view title, std::string_view text) override;
  DialogAnswer Ask(MessageIcon icon, MessageButtons buttons, std::string_view title,
                   std::string_view text) override;
  std::optional<std::string> ChooseFileToOpen(const FileDialogRequest& request) override;
  std::optional<std::string> ChooseFileToSave(const FileDialogRequest& request) override;
  std::optional<std::string> ChooseFolder(std::string_view title,
                                          std::string_view initialFolder) override;
};

// A file dialog filter of the form "Text files (*.txt)|*.txt|All files (*.*)|*.*"
// as Qt writes it ("Text files (*.txt);;All files (*)").
QString QtFileFilter(std::string_view filter);

}  // namespace torvane
