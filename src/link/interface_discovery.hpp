#pragma once
// Finding the interface unit of the selected model: at start-up and from
// the configuration window's find-interface button.

#include "link/link_context.hpp"
#include "link/link_result.hpp"

namespace torvane {

// Looks for the unit of the selected model, logs and reports what it found;
// NoUnitSelected with no model selected.
DiscoveryResult DiscoverInterface(const LinkContext& ctx);

// Each model's discovery: closes what another model left open, opens the
// model's port, asks for its identity, and sets status panel 1.
DiscoveryResult DiscoverZra6(const LinkContext& ctx);
DiscoveryResult DiscoverZra6Plus(const LinkContext& ctx);
DiscoveryResult DiscoverZra7(const LinkContext& ctx);

}  // namespace torvane
