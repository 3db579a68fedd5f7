#include "files/text_fields.hpp"

#include <gtest/gtest.h>

#include <charconv>
#include <cstring>
#include <random>
#include <string>

namespace torvane {
namespace {

// What the general conversion gives: std::from_chars, correctly rounded.
bool Reference(const std::string& text, float& value, std::size_t& used) {
  const char* begin = text.data();
  const char* p = begin;
  if (*p == '+') ++p;
  const auto r = std::from_chars(p, begin + text.size(), value);
  used = static_cast<std::size_t>(r.ptr - begin);
  return r.ec == std::errc{};
}

void ExpectSameAsReference(const std::string& text) {
  float expected = 0, got = 0;
  std::size_t used = 0;
  ASSERT_TRUE(Reference(text, expected, used)) << text;
  const char* end = ParseSingleAt(text.data(), text.data() + text.size(), got);
  ASSERT_NE(end, nullptr) << text;
  EXPECT_EQ(static_cast<std::size_t>(end - text.data()), used) << text;
  EXPECT_EQ(std::memcmp(&got, &expected, sizeof got), 0) << text << " " << got << " " << expected;
}

TEST(ParseSingleAt, ShortDecimalsRoundExactlyAsTheGeneralConversion) {
  std::mt19937_64 rng(99);
  for (int i = 0; i < 300000; ++i) {
    const int intDigits = static_cast<int>(rng() % 9);
    const int decimals = static_cast<int>(rng() % 9);
    std::string text = (rng() % 2) ? "-" : "";
    for (int d = 0; d < intDigits; ++d) text.push_back(static_cast<char>('0' + rng() % 10));
    if (decimals > 0 || intDigits == 0) {
      text.push_back('.');
      for (int d = 0; d < std::max(decimals, 1); ++d)
        text.push_back(static_cast<char>('0' + rng() % 10));
    }
    ExpectSameAsReference(text + "  1.0");
  }
  // Singles' midpoints and their neighbours, ties and huge digit counts.
  for (const char* text : {"16777217",
                           "16777219",
                           "33554434",
                           "16777217.0",
                           "0.000000059604644775390625",
                           "1.00000005960464477539",
                           "3.4028235e38",
                           "1e-40",
                           "123456789012345",
                           "1234567890123456",
                           "0.1",
                           "-0.0000",
                           "0",
                           "+5",
                           ".5",
                           "5.",
                           "-.25",
                           "1E+03",
                           "7e",
                           "0.30000001192092896"}) {
    ExpectSameAsReference(text);
  }
  float v = 0;
  for (const char* text : {"", "-", ".", "+-1", "--1", "abc", "nan", "inf", "e5", "1e39"}) {
    EXPECT_EQ(ParseSingleAt(text, text + std::strlen(text), v), nullptr) << text;
  }
}

}  // namespace
}  // namespace torvane
