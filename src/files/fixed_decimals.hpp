#pragma once
// Values in the formats "0.0000" and "0.00000" of the trial file's data
// lines, written many thousand times per file. The text is exactly what
// FormatNumber gives for the same pattern; this only avoids the general
// decimal conversion for the ordinary case.

#include <string>

namespace torvane {

// Appends `value` with at least one digit before the point and exactly
// `decimals` (1 … 8) after it, as FormatNumber(value, "0.000…") does.
void AppendFixedDecimals(std::string& out, double value, int decimals);

}  // namespace torvane
