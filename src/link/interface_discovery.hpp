#pragma once
// Finding the interface unit of the selected model: at start-up and from
// the configuration window's find-interface button.

#include "link/link_context.hpp"
#include "link/link_result.hpp"

namespace torvane {

// Looks for the unit of each selected model (ZRA6, ZRA6+, ZRA7, in that
// order), logs and reports what it found, and returns what the last one
// looked for came to; NoUnitSelected with no model selected.
DiscoveryResult DiscoverInterface(const LinkContext& ctx);

}  // namespace torvane
