#pragma once
// The interface link's view of the session: its state, the settings and
// trial, the platform services, the status log and bar, and the brake and
// frequency fields the link writes.

#include "link/link_context.hpp"

namespace torvane {

struct Session;

LinkContext LinkContextOf(Session& session);

}  // namespace torvane
