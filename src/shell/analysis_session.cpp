#include "shell/analysis_session.hpp"

#include "shell/session.hpp"
#include "shell/status_reporting.hpp"

namespace torvane {

TrialFileContext TrialFileContextOf(Session& session) {
  return TrialFileContext{
      .trial = session.trial,
      .settings = session.settings,
      .squad = session.squad,
      .dialogs = session.dialogs(),
      .status = session.status,
      .clock = session.clock(),
      .pump = session.pump(),
      .refreshStatusBar = [&session] { UpdateStatusBar(session); },
  };
}

BatchContext BatchContextOf(Session& session) {
  return BatchContext{
      .files = TrialFileContextOf(session),
      .view = session.view,
      .results = session.results,
  };
}

}  // namespace torvane
