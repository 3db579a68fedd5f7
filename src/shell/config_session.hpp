#pragma once
// The session's parts that the configuration room works on, gathered into
// its contexts.

#include "config/config_context.hpp"
#include "config/config_window_rules.hpp"
#include "config/first_run.hpp"

namespace torvane {

struct Session;

// The settings, the status log and the dialogs of the session (for finding
// the data folders, loading the settings and restoring the defaults).
ConfigContext ConfigContextOf(Session& session);
// The settings, the trial and the dialogs for the sample frequency and duration.
SamplingContext SamplingContextOf(Session& session);
// The settings and the demonstration mode for the first-run window.
FirstRunContext FirstRunContextOf(Session& session);

}  // namespace torvane
