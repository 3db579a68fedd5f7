#include "analysis/typed_values.hpp"

#include <cctype>
#include <cmath>

#include "common/number_text.hpp"

namespace torvane {

namespace {

bool IsDigit(char c) {
  return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

}  // namespace

bool StartsWithNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  if (i < text.size() && IsDigit(text[i])) return true;
  return i + 1 < text.size() && text[i] == '.' && IsDigit(text[i + 1]);
}

std::optional<double> SeekEpochFromText(std::string_view text) {
  if (!StartsWithNumber(text)) return std::nullopt;
  const double epoch = LeadingNumber(text);
  if (!std::isfinite(epoch) || !(epoch > 0)) return std::nullopt;
  return epoch;
}

}  // namespace torvane
