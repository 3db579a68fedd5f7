#pragma once
// Training mode as the program runs it: its context made from the session.

#include "training/training_mode.hpp"

namespace torvane {

struct Session;

// The collection's context, the session's training state, squad and
// results worksheet, and the folders that may hold the demonstration set
// (the data folder, the program data folder, the sample files).
TrainingContext TrainingContextOf(Session& session);

}  // namespace torvane
