#pragma once
// Numbers as the system reads and writes them: the leading-number rule of
// every text box and setting, integer rounding with halves to even, the
// "0"/"#" format patterns, the short numeric text form, the general text of
// a single-precision value, and print zones.

#include <cstdint>
#include <string>
#include <string_view>

namespace torvane {

// The leading number of a text: blanks skipped, then an optional sign,
// digits, a point, more digits and an exponent. A text that does not start
// with a number gives 0 ("abc" -> 0, " .5kg" -> 0.5, "72.5 kg" -> 72.5).
double LeadingNumber(std::string_view text);

// Nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
double RoundHalfEven(double value);

// Rounded with halves to even and kept within the type's range.
std::int16_t ToInt16(double value);
std::int32_t ToInt32(double value);

// A value shown with a format pattern in which "0" is a digit always shown
// and "#" a digit shown only when significant ("0.000", "###0.0", "0.0##",
// "##000"). The value is rounded half away from zero on its decimal form
// (15 significant digits), so 2.675 shows as 2.68 with "0.00".
std::string FormatNumber(double value, std::string_view pattern);

// A compiled pattern, for callers that format many values with one pattern.
struct NumberPattern {
  int minIntegerDigits = 1;
  int minDecimals = 0;
  int maxDecimals = 0;
};
NumberPattern ParseNumberPattern(std::string_view pattern);
void AppendFormatted(std::string& out, double value, const NumberPattern& pattern);

// The short numeric text form: a leading blank for zero and positive values,
// a minus sign for negative ones, no zero before the point of a value below
// 1, at most `significantDigits` significant digits, exponent form for very
// large and very small magnitudes (" .5", "-.25", " 100", " 1.5E-05").
std::string ShortNumericText(double value, int significantDigits = 7);
std::string ShortNumericText(std::int64_t value);
inline std::string ShortNumericText(int value) { return ShortNumericText(std::int64_t{value}); }
inline std::string ShortNumericText(std::int16_t value) {
  return ShortNumericText(std::int64_t{value});
}
// The same form without its leading blank (".5", "-.25", "100").
std::string ShortNumericTextUnsigned(double value, int significantDigits = 7);

// The general text of a single-precision value: at most 7 significant
// digits, no trailing zeros, a zero before the point of a value below 1, no
// blanks ("0.5", "-1.25", "100", "1.234568E+07").
std::string GeneralSingleText(float value);
void AppendGeneralSingleText(std::string& out, float value);

// Pads a line with blanks to the start of the next 14-character print zone;
// at least one blank is written.
inline constexpr std::size_t kPrintZoneWidth = 14;
void PadToNextPrintZone(std::string& line);

}  // namespace torvane
