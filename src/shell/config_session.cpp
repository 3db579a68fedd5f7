#include "shell/config_session.hpp"

#include "shell/session.hpp"

namespace torvane {

ConfigContext ConfigContextOf(Session& session) {
  return {session.settings, session.status, session.dialogs(), session.DataFolderCreated};
}

SamplingContext SamplingContextOf(Session& session) {
  return {session.settings, session.trial, session.dialogs(), session.MaxInterfaceFrequency};
}

FirstRunContext FirstRunContextOf(Session& session) {
  return {session.settings, session.DemoMode};
}

}  // namespace torvane
