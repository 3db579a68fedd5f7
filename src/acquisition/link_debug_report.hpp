#pragma once
// What the debug window shows of the interface link and the collection, for
// someone finding out why a unit does not answer or a trial came out short:
// the unit selected and its device, the state of each port, the identity the
// unit gave, and the counts of the running or last collection.

#include <string>
#include <utility>
#include <vector>

#include "acquisition/collection_context.hpp"

namespace torvane {

// Rows of (label, value), in the order the window lists them.
using DebugRows = std::vector<std::pair<std::string, std::string>>;
DebugRows LinkDebugRows(const CollectionContext& cx);

// The rows as text, one "label: value" per line (the window's Copy).
std::string DebugRowsText(const DebugRows& rows);

}  // namespace torvane
