#include "files/fixed_decimals.hpp"

#include <cmath>
#include <cstdint>

#include "common/number_text.hpp"

namespace torvane {

namespace {

constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};

// FormatNumber rounds half away from zero on the value's 15-digit decimal
// form. Away from a half the scaled binary value rounds the same way: its
// error (a few parts in 10^15 of at most 10^9) is far below the margin kept
// here. Values near a half, large values and non-finite values take the
// general path.
constexpr double kHalfMargin = 1e-4;
constexpr double kLargestFastScaled = 1e9;

NumberPattern PatternFor(int decimals) {
  NumberPattern p;
  p.minIntegerDigits = 1;
  p.minDecimals = decimals;
  p.maxDecimals = decimals;
  return p;
}

}  // namespace

void AppendFixedDecimals(std::string& out, double value, int decimals) {
  if (decimals < 1 || decimals > 8) {
    AppendFormatted(out, value, PatternFor(decimals));
    return;
  }
  const double magnitude = std::fabs(value);
  const double scaled = magnitude * kPowersOfTen[decimals];
  const double whole = std::floor(scaled);
  const double fraction = scaled - whole;
  if (!(scaled < kLargestFastScaled) || std::fabs(fraction - 0.5) <= kHalfMargin) {
    AppendFormatted(out, value, PatternFor(decimals));
    return;
  }
  std::uint64_t units = static_cast<std::uint64_t>(whole) + (fraction > 0.5 ? 1 : 0);
  // Written backwards into a small buffer, appended in one piece.
  char buffer[32];
  char* const last = buffer + sizeof buffer;
  char* p = last;
  const bool shownAsZero = units == 0;
  for (int i = 0; i < decimals; ++i) {
    *--p = static_cast<char>('0' + units % 10);
    units /= 10;
  }
  *--p = '.';
  do {
    *--p = static_cast<char>('0' + units % 10);
    units /= 10;
  } while (units != 0);
  // A value that shows as zero is written without a sign.
  if (value < 0 && !shownAsZero) *--p = '-';
  out.append(p, static_cast<std::size_t>(last - p));
}

}  // namespace torvane
