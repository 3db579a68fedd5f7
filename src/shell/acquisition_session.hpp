#pragma once
// The collection session as the program runs it: its context made from the
// session, with the status bar, the demonstration trial and the file
// commands of the main menu wired in.

#include "acquisition/collection_context.hpp"

namespace torvane {

struct Session;

CollectionContext CollectionContextOf(Session& session);

}  // namespace torvane
