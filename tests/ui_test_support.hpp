#pragma once
// Shared fixtures of the window tests: a machine whose data folders live in
// a temporary folder, and the program on Qt's clock with scripted dialogs
// and a desktop viewer that only records what it was asked to open.

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <string>
#include <vector>

#include "common/text_file.hpp"
#include "common/user_dialogs.hpp"
#include "shell/session.hpp"
#include "shell/startup.hpp"
#include "shell/ui/main_form.hpp"
#include "shell/ui/qt_platform.hpp"

namespace torvane::testing {

class Machine {
 public:
  Machine() {
    qputenv("TORVANE_DATA_DIR", (dir_.path() + "/data").toUtf8());
    qputenv("XDG_DATA_HOME", (dir_.path() + "/xdg").toUtf8());
    qputenv("XDG_CONFIG_HOME", (dir_.path() + "/config").toUtf8());
    qputenv("TORVANE_TEMPLATE_DIR", TORVANE_SOURCE_DATA_DIR);
  }
  std::string DataFolder() const { return (dir_.path() + "/data").toStdString(); }
  std::string ConfigPath() const { return DataFolder() + "/QLXConfig.ini"; }
  std::string Read(const std::string& name) const {
    return ReadWholeFile(DataFolder() + "/" + name).bytes;
  }
  // A configuration whose first run is done, with these extra lines per section.
  void WriteConfig(const std::string& miscellaneous, const std::string& dataCollection,
                   const std::string& rest = "") const {
    MakeFolders(DataFolder());
    WriteFileReplacing(
        ConfigPath(),
        "[Miscellaneous]\r\nfirsttime=false\r\nFirstTimeVistaCompatibleRun=false\r\n" +
            miscellaneous + "[Data Collection]\r\n" + dataCollection +
            "[Folders and Files]\r\nProgramDataDirectory=" + DataFolder() +
            "\r\nDataDirectory=" + DataFolder() + "\r\n" + rest);
  }

 private:
  QTemporaryDir dir_;
};

struct Program {
  QtClock clock;
  QtEventPump pump;
  QtTimerHost timers;
  ScriptedDialogs dialogs;
  Session session{PlatformServices{clock, pump, timers, dialogs}};
  MainForm form{session};
  std::vector<QUrl> opened;

  Program() {
    form.SetDocumentOpener([this](const QUrl& url) {
      opened.push_back(url);
      return true;
    });
  }
  StartupResult Start(std::string_view commandLine = {}) {
    return RunStartup(session, form.MakeStartupWindows(), commandLine);
  }
};

// Runs `answer` on the first modal window named `name` (any, for an empty
// name) that opens: a modal window runs its own event loop.
inline void WhenModalOpens(const char* name, std::function<void(QWidget*)> answer) {
  auto* poll = new QTimer(qApp);
  QObject::connect(poll, &QTimer::timeout, poll, [poll, name, answer = std::move(answer)] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || (*name != '\0' && modal->objectName() != name)) return;
    poll->stop();
    poll->deleteLater();
    answer(modal);
  });
  poll->start(10);
}

}  // namespace torvane::testing
