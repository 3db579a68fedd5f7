#pragma once
// The session's part in the trial file commands, the analysis and the batch
// results: the contexts those rooms' operations take, made from the session.

#include "files/trial_file_context.hpp"
#include "batch/batch_processing.hpp"

namespace torvane {

struct Session;

// The session's trial, settings, squad, dialogs, status sink, clock and
// pump; a save rewrites the session's status bar.
TrialFileContext TrialFileContextOf(Session& session);

// The same with the session's analysis view and results worksheet.
BatchContext BatchContextOf(Session& session);

}  // namespace torvane
