// The desktop program: creates the session on Qt's clock, timers and
// dialogs, the main window, and runs start-up; Cancel in the first-run
// window ends the program before anything is saved.

#include <QApplication>
#include <QStringList>

#include "analysis/ui/frm_analysis.hpp"
#include "shell/hotplug_session.hpp"
#include "shell/session.hpp"
#include "shell/startup.hpp"
#include "shell/subsystem_hooks.hpp"
#include "shell/trial_recovery.hpp"
#include "shell/ui/main_form.hpp"
#include "shell/ui/qt_platform.hpp"
#include "torvane_version.hpp"
#include "training/ui/frm_training.hpp"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(torvane::kProductTitle);
  QApplication::setApplicationVersion(QString("%1.%2.%3")
                                          .arg(torvane::kVersionMajor)
                                          .arg(torvane::kVersionMinor)
                                          .arg(torvane::kVersionRevision));

  torvane::QtClock clock;
  torvane::QtEventPump pump;
  torvane::QtTimerHost timers;
  torvane::QtUserDialogs dialogs;
  torvane::Session session(torvane::PlatformServices{clock, pump, timers, dialogs});
  torvane::InstallSubsystemHooks(session);
  torvane::MainForm mainForm(session);
  torvane::FrmAnalysis* analysis = torvane::InstallAnalysisWindow(session, mainForm);
  torvane::InstallTrainingWindow(session, mainForm);

  // The command line names one trial file (a name with blanks may come in pieces).
  QStringList arguments = QApplication::arguments();
  arguments.removeFirst();
  const std::string commandLine = arguments.join(' ').toStdString();
  if (torvane::RunStartup(session, mainForm.MakeStartupWindows(), commandLine) ==
      torvane::StartupResult::Cancelled) {
    return 0;
  }
  analysis->ProgramStarted();
  // From here on a unit plugged in or pulled out is noticed.
  const auto hotplug = torvane::StartHotplugWatch(session);
  mainForm.ShowChildWindow(torvane::ChildWindow::Analysis);
  // With the windows up: the trial of a collection the program did not live to end.
  torvane::StartTrialRecovery(session);
  return QApplication::exec();
}
