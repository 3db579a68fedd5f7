#include "shell/link_session.hpp"

#include "shell/session.hpp"

namespace torvane {

LinkContext LinkContextOf(Session& session) {
  return LinkContext{
      .link = session.link,
      .settings = session.settings,
      .trial = session.trial,
      .clock = session.clock(),
      .pump = session.pump(),
      .timers = session.timers(),
      .dialogs = session.dialogs(),
      .status = session.status,
      .BrakePercent = session.BrakePercent,
      .MaxInterfaceFrequency = session.MaxInterfaceFrequency,
      .updateStatusBar = [&session] { UpdateStatusBar(session); },
  };
}

}  // namespace torvane
