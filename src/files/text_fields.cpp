#include "files/text_fields.hpp"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace torvane {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Where the number proper begins: after a "+" (from_chars takes only "-"),
// and only when a digit or a point follows the sign.
const char* NumberStart(const char* p, const char* end) {
  if (p < end && *p == '+') {
    ++p;
    if (p < end && *p == '-') return nullptr;
  }
  const char* q = (p < end && *p == '-') ? p + 1 : p;
  if (q >= end || !(IsDigit(*q) || *q == '.')) return nullptr;
  return p;
}

}  // namespace

const char* ParseSingleAt(const char* p, const char* end, float& value) {
  // Short exact path: an optional "-", at most 15 digits with a point among
  // or after them, no exponent. The digits form an exact double, divided
  // once by an exact power of ten: the correctly rounded double of the
  // decimal, between 1e-15 and 1e15 unless 0, so well inside the range of a
  // single. Rounding that to single precision gives the correctly rounded
  // single unless the double sits on (or next to) the midpoint between two
  // singles; those take the general path, as do all other forms (a "+", an
  // exponent, more digits).
  const char* q = p;
  const bool negative = q < end && *q == '-';
  if (negative) ++q;
  const char* const wholeStart = q;
  std::uint64_t digits = 0;
  for (; q < end && IsDigit(*q); ++q) digits = digits * 10 + static_cast<unsigned>(*q - '0');
  std::ptrdiff_t count = q - wholeStart;
  std::ptrdiff_t decimals = 0;
  if (q < end && *q == '.') {
    const char* const fractionStart = ++q;
    for (; q < end && IsDigit(*q); ++q) digits = digits * 10 + static_cast<unsigned>(*q - '0');
    decimals = q - fractionStart;
    count += decimals;
  }
  // 'e', 'E', 'd' and 'D' are the only characters that give 'e' or 'd' here.
  const bool exponent = q < end && ((*q | 0x20) == 'e' || (*q | 0x20) == 'd');
  if (count > 0 && count <= 15 && !exponent) {
    if (digits == 0) {
      value = negative ? -0.0f : 0.0f;
      return q;
    }
    static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const double wide = static_cast<double>(digits) / kPowers[decimals];
    std::uint64_t bits = 0;
    std::memcpy(&bits, &wide, sizeof bits);
    // The 29 bits of the double below the last bit of a single.
    const std::uint64_t below = bits & ((std::uint64_t{1} << 29) - 1);
    const std::uint64_t half = std::uint64_t{1} << 28;
    if (below + 1 < half || below > half + 1) {
      const float single = static_cast<float>(wide);
      value = negative ? -single : single;
      return q;
    }
  }
  std::size_t used = 0;
  const std::optional<float> general =
      ParseSingle(std::string_view(p, static_cast<std::size_t>(end - p)), used);
  if (!general) return nullptr;
  value = *general;
  return p + used;
}

std::optional<double> ParseDouble(std::string_view text, std::size_t& used) {
  const char* begin = text.data();
  const char* end = begin + text.size();
  const char* p = NumberStart(begin, end);
  if (!p) return std::nullopt;
  double value = 0;
  const auto r = std::from_chars(p, end, value);
  if (r.ec != std::errc{} || !std::isfinite(value)) return std::nullopt;
  used = static_cast<std::size_t>(r.ptr - begin);
  return value;
}

std::optional<float> ParseSingle(std::string_view text, std::size_t& used) {
  const char* begin = text.data();
  const char* end = begin + text.size();
  const char* p = NumberStart(begin, end);
  if (!p) return std::nullopt;
  float value = 0;
  const auto r = std::from_chars(p, end, value);
  if (r.ec == std::errc{}) {
    used = static_cast<std::size_t>(r.ptr - begin);
    return value;
  }
  if (r.ec != std::errc::result_out_of_range) return std::nullopt;
  // Beyond single precision one way or the other: very small magnitudes are
  // kept as the nearest single, very large ones are not a trial value.
  double wide = 0;
  const auto w = std::from_chars(p, end, wide);
  if (w.ec != std::errc{} || !(std::fabs(wide) <= std::numeric_limits<float>::max())) {
    return std::nullopt;
  }
  used = static_cast<std::size_t>(w.ptr - begin);
  return static_cast<float>(wide);
}

void FieldReader::SkipBlanks() {
  while (pos_ < line_.size() && IsBlank(line_[pos_])) ++pos_;
}

void FieldReader::SkipSeparator() {
  SkipBlanks();
  if (pos_ < line_.size() && line_[pos_] == ',') ++pos_;
}

bool FieldReader::AtEnd() {
  SkipBlanks();
  return pos_ >= line_.size();
}

std::optional<std::string_view> FieldReader::Text() {
  if (AtEnd()) return std::nullopt;
  std::string_view field;
  if (line_[pos_] == '"') {
    const std::size_t close = line_.find('"', pos_ + 1);
    const std::size_t stop = close == std::string_view::npos ? line_.size() : close;
    field = line_.substr(pos_ + 1, stop - pos_ - 1);
    pos_ = close == std::string_view::npos ? line_.size() : close + 1;
    // Anything between the closing quote and the next comma is not part of it.
    const std::size_t comma = line_.find(',', pos_);
    pos_ = comma == std::string_view::npos ? line_.size() : comma + 1;
    return field;
  }
  const std::size_t comma = line_.find(',', pos_);
  const std::size_t stop = comma == std::string_view::npos ? line_.size() : comma;
  field = line_.substr(pos_, stop - pos_);
  while (!field.empty() && IsBlank(field.back())) field.remove_suffix(1);
  pos_ = comma == std::string_view::npos ? line_.size() : comma + 1;
  return field;
}

std::optional<double> FieldReader::Number() {
  if (AtEnd()) return std::nullopt;
  std::size_t stop = pos_;
  while (stop < line_.size() && line_[stop] != ',' && !IsBlank(line_[stop])) ++stop;
  const std::string_view token = line_.substr(pos_, stop - pos_);
  pos_ = stop;
  SkipSeparator();
  std::size_t used = 0;
  const std::optional<double> value = ParseDouble(token, used);
  if (!value || used != token.size()) return std::nullopt;
  return value;
}

}  // namespace torvane
