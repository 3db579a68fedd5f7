#include "shell/acquisition_session.hpp"

#include "files/trial_file.hpp"
#include "shell/analysis_session.hpp"
#include "shell/main_menu_state.hpp"
#include "shell/session.hpp"

namespace torvane {

CollectionContext CollectionContextOf(Session& session) {
  return CollectionContext{
      .trial = session.trial,
      .settings = session.settings,
      .view = session.view,
      .collection = session.collection,
      .link = session.link,
      .clock = session.clock(),
      .pump = session.pump(),
      .timers = session.timers(),
      .dialogs = session.dialogs(),
      .status = session.status,
      .demoMode = session.DemoMode,
      .maxInterfaceFrequency = session.MaxInterfaceFrequency,
      .brakePercent = session.BrakePercent,
      .updateStatusBar = [&session] { UpdateStatusBar(session); },
      .trialCollected =
          [&session] {
            SetMenuEntryEnabled(session, "mnuFileOpen", false);
            SetMenuEntryEnabled(session, "mnuFileClose", true);
            SetMenuEntryEnabled(session, "mnuSave", true);
            SetMenuEntryEnabled(session, "mnuSaveAs", true);
            SetMenuEntryEnabled(session, "mnuFileReport", true);
          },
      .openDemonstrationTrial =
          [&session] { OpenTrialFileCommand(TrialFileContextOf(session), session.view, true); },
  };
}

}  // namespace torvane
