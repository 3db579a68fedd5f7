#include "common/number_text.hpp"

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace torvane {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A finite value as its significant digits and decimal exponent:
// value = 0.d1 d2 ... dn × 10^(exponent + 1), d1 != 0 (unless the value is 0).
struct DecimalForm {
  std::array<char, 20> digits{};
  int count = 0;
  int exponent = 0;
  bool negative = false;
  bool zero = true;
};

DecimalForm ToDecimalForm(double value, int significantDigits) {
  DecimalForm form;
  form.negative = std::signbit(value);
  if (value == 0.0 || !std::isfinite(value)) return form;
  char buf[64];
  const auto result =
      std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific,
                    significantDigits - 1);
  const char* p = buf;
  const char* end = result.ptr;
  for (; p < end && *p != 'e'; ++p) {
    if (IsDigit(*p)) form.digits[form.count++] = *p;
  }
  int exponent = 0;
  if (p < end) std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), end, exponent);
  form.exponent = exponent;
  form.zero = false;
  return form;
}

void AppendExponentForm(std::string& out, const DecimalForm& form, int used) {
  out.push_back(form.digits[0]);
  if (used > 1) {
    out.push_back('.');
    out.append(form.digits.data() + 1, static_cast<std::size_t>(used - 1));
  }
  out.push_back('E');
  out.push_back(form.exponent < 0 ? '-' : '+');
  const int e = std::abs(form.exponent);
  if (e < 10) out.push_back('0');
  char buf[8];
  const auto r = std::to_chars(buf, buf + sizeof buf, e);
  out.append(buf, r.ptr);
}

// The general form shared by the short numeric text and the single text:
// fixed notation for decimal exponents -4 … significantDigits - 1, else exponent form.
void AppendGeneral(std::string& out, double value, int significantDigits, bool zeroBeforePoint) {
  if (!std::isfinite(value)) {
    out += std::isnan(value) ? "NaN" : (value < 0 ? "-Inf" : "Inf");
    return;
  }
  DecimalForm form = ToDecimalForm(value, significantDigits);
  if (form.zero) {
    out.push_back('0');
    return;
  }
  int used = form.count;
  while (used > 1 && form.digits[used - 1] == '0') --used;
  if (form.negative) out.push_back('-');
  if (form.exponent < -4 || form.exponent >= significantDigits) {
    AppendExponentForm(out, form, used);
    return;
  }
  if (form.exponent >= 0) {
    const int integerDigits = form.exponent + 1;
    for (int i = 0; i < integerDigits; ++i) out.push_back(i < used ? form.digits[i] : '0');
    if (used > integerDigits) {
      out.push_back('.');
      out.append(form.digits.data() + integerDigits, static_cast<std::size_t>(used - integerDigits));
    }
  } else {
    if (zeroBeforePoint) out.push_back('0');
    out.push_back('.');
    out.append(static_cast<std::size_t>(-form.exponent - 1), '0');
    out.append(form.digits.data(), static_cast<std::size_t>(used));
  }
}

}  // namespace

double LeadingNumber(std::string_view text) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  char buf[128];
  std::size_t len = 0;
  bool anyDigit = false;
  auto put = [&](char c) {
    if (len < sizeof buf - 8) buf[len++] = c;
  };
  int dropped = 0;  // integer digits beyond the buffer, kept as a power of ten
  for (; i < n && IsDigit(text[i]); ++i) {
    anyDigit = true;
    if (len < sizeof buf - 40) {
      buf[len++] = text[i];
    } else {
      ++dropped;
    }
  }
  if (i < n && text[i] == '.') {
    put('.');
    ++i;
    for (; i < n && IsDigit(text[i]); ++i) {
      anyDigit = true;
      put(text[i]);
    }
  }
  if (!anyDigit) return 0.0;
  int exponent = dropped;
  if (i + 1 < n && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
    std::size_t j = i + 1;
    bool expNegative = false;
    if (j < n && (text[j] == '+' || text[j] == '-')) {
      expNegative = text[j] == '-';
      ++j;
    }
    if (j < n && IsDigit(text[j])) {
      long e = 0;
      for (; j < n && IsDigit(text[j]); ++j) {
        if (e < 100000) e = e * 10 + (text[j] - '0');
      }
      exponent += static_cast<int>(expNegative ? -e : e);
    }
  }
  if (exponent != 0) {
    buf[len++] = 'e';
    const auto r = std::to_chars(buf + len, buf + sizeof buf, exponent);
    len = static_cast<std::size_t>(r.ptr - buf);
  }
  double value = 0.0;
  const auto result = std::from_chars(buf, buf + len, value);
  if (result.ec != std::errc{}) return 0.0;  // beyond any usable magnitude
  return negative ? -value : value;
}

double RoundHalfEven(double value) { return std::nearbyint(value); }

std::int16_t ToInt16(double value) {
  if (std::isnan(value)) return 0;
  const double r = RoundHalfEven(value);
  if (r <= std::numeric_limits<std::int16_t>::min()) return std::numeric_limits<std::int16_t>::min();
  if (r >= std::numeric_limits<std::int16_t>::max()) return std::numeric_limits<std::int16_t>::max();
  return static_cast<std::int16_t>(r);
}

std::int32_t ToInt32(double value) {
  if (std::isnan(value)) return 0;
  const double r = RoundHalfEven(value);
  if (r <= std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  if (r >= std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(r);
}

NumberPattern ParseNumberPattern(std::string_view pattern) {
  NumberPattern p;
  p.minIntegerDigits = 0;
  const std::size_t point = pattern.find('.');
  const std::string_view integerPart = pattern.substr(0, point);
  for (char c : integerPart) {
    if (c == '0') ++p.minIntegerDigits;
  }
  if (point != std::string_view::npos) {
    for (char c : pattern.substr(point + 1)) {
      if (c == '0') {
        ++p.minDecimals;
        ++p.maxDecimals;
      } else if (c == '#') {
        ++p.maxDecimals;
      }
    }
  }
  return p;
}

void AppendFormatted(std::string& out, double value, const NumberPattern& pattern) {
  if (!std::isfinite(value)) {
    out += std::isnan(value) ? "NaN" : (value < 0 ? "-Inf" : "Inf");
    return;
  }
  const DecimalForm form = ToDecimalForm(value, 15);
  // Digits of the rounded magnitude, most significant first, with the count
  // of those that stand before the point.
  char digits[48];
  int count = 0;
  int integerDigits = 0;
  if (!form.zero && form.exponent < 24) {
    integerDigits = form.exponent + 1;  // may be <= 0
    const int keep = integerDigits + pattern.maxDecimals;  // digits to keep
    if (keep >= 0) {
      const int available = form.count;
      for (int i = 0; i < keep; ++i) digits[count++] = i < available ? form.digits[i] : '0';
      const bool roundUp = keep < available && form.digits[keep] >= '5';
      if (roundUp) {
        int i = count - 1;
        while (i >= 0 && digits[i] == '9') digits[i--] = '0';
        if (i >= 0) {
          ++digits[i];
        } else {
          std::memmove(digits + 1, digits, static_cast<std::size_t>(count));
          digits[0] = '1';
          ++count;
          ++integerDigits;
        }
      }
    }
  } else if (!form.zero) {
    // Beyond 24 integer digits the decimals are all zero: write the digits.
    integerDigits = form.exponent + 1;
    for (int i = 0; i < integerDigits && count < 40; ++i)
      digits[count++] = i < form.count ? form.digits[i] : '0';
    integerDigits = count;
  }
  // Leading positions that fall before the first digit are zeros.
  int fractionCount = pattern.maxDecimals;
  char fraction[48];
  for (int i = 0; i < fractionCount; ++i) {
    const int index = count - fractionCount + i;
    fraction[i] = index >= 0 ? digits[index] : '0';
  }
  const int integerCount = std::max(0, count - pattern.maxDecimals);
  while (fractionCount > pattern.minDecimals && fraction[fractionCount - 1] == '0') --fractionCount;
  int firstSignificant = 0;
  while (firstSignificant < integerCount && digits[firstSignificant] == '0') ++firstSignificant;
  bool allZero = firstSignificant == integerCount;
  for (int i = 0; i < fractionCount && allZero; ++i) allZero = fraction[i] == '0';
  // A value that shows as zero is written without a sign.
  if (form.negative && !allZero) out.push_back('-');
  const int shownInteger = integerCount - firstSignificant;
  for (int i = shownInteger; i < pattern.minIntegerDigits; ++i) out.push_back('0');
  out.append(digits + firstSignificant, static_cast<std::size_t>(shownInteger));
  if (fractionCount > 0) {
    out.push_back('.');
    out.append(fraction, static_cast<std::size_t>(fractionCount));
  }
}

std::string FormatNumber(double value, std::string_view pattern) {
  std::string out;
  AppendFormatted(out, value, ParseNumberPattern(pattern));
  return out;
}

std::string ShortNumericText(double value, int significantDigits) {
  std::string out;
  if (!std::signbit(value) || value == 0.0) out.push_back(' ');
  AppendGeneral(out, value == 0.0 ? 0.0 : value, significantDigits, false);
  return out;
}

std::string ShortNumericText(std::int64_t value) {
  std::string out;
  if (value >= 0) out.push_back(' ');
  char buf[24];
  const auto r = std::to_chars(buf, buf + sizeof buf, value);
  out.append(buf, r.ptr);
  return out;
}

std::string ShortNumericTextUnsigned(double value, int significantDigits) {
  std::string out;
  AppendGeneral(out, value == 0.0 ? 0.0 : value, significantDigits, false);
  return out;
}

void AppendGeneralSingleText(std::string& out, float value) {
  AppendGeneral(out, value == 0.0f ? 0.0 : static_cast<double>(value), 7, true);
}

std::string GeneralSingleText(float value) {
  std::string out;
  AppendGeneralSingleText(out, value);
  return out;
}

void PadToNextPrintZone(std::string& line) {
  const std::size_t target = (line.size() / kPrintZoneWidth + 1) * kPrintZoneWidth;
  line.append(target - line.size(), ' ');
}

}  // namespace torvane
