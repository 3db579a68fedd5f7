#pragma once
// Finding the interface unit of the selected model: at start-up and from
// the configuration window's find-interface button.

namespace torvane {

struct Session;

// Looks for the unit of each selected model (ZRA6, ZRA6+, ZRA7, in that
// order), logs and reports what it found, and returns whether the last one
// looked for was found; false with no model selected.
bool DiscoverInterface(Session& session);

}  // namespace torvane
