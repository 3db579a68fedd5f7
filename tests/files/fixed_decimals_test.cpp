#include "files/fixed_decimals.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "common/number_text.hpp"

namespace torvane {
namespace {

std::string Fixed(double value, int decimals) {
  std::string out;
  AppendFixedDecimals(out, value, decimals);
  return out;
}

const char* Pattern(int decimals) {
  return decimals == 4 ? "0.0000" : "0.00000";
}

TEST(AppendFixedDecimals, WritesExactlyWhatTheFormatPatternWrites) {
  std::mt19937 rng(12345);
  std::uniform_real_distribution<double> exponent(-9.0, 7.0);
  std::uniform_int_distribution<int> sign(0, 1);
  for (int i = 0; i < 200000; ++i) {
    const float v = static_cast<float>((sign(rng) ? -1 : 1) * std::pow(10.0, exponent(rng)));
    for (int d : {4, 5}) {
      ASSERT_EQ(Fixed(v, d), FormatNumber(v, Pattern(d))) << v;
    }
  }
  // Values on or next to a half of the last digit, as singles and doubles.
  for (int k = -20000; k <= 20000; ++k) {
    for (int d : {4, 5}) {
      const double half = (k + 0.5) / std::pow(10.0, d);
      for (double v : {half, static_cast<double>(static_cast<float>(half)),
                       std::nextafter(half, 0.0), std::nextafter(half, 1.0)}) {
        ASSERT_EQ(Fixed(v, d), FormatNumber(v, Pattern(d))) << v;
      }
    }
  }
}

TEST(AppendFixedDecimals, TrialFileValues) {
  EXPECT_EQ(Fixed(12.5, 5), "12.50000");
  EXPECT_EQ(Fixed(0.1234f, 4), "0.1234");
  EXPECT_EQ(Fixed(-0.1234f, 4), "-0.1234");
  EXPECT_EQ(Fixed(-0.00004, 4), "0.0000");  // shows as zero: no sign
  EXPECT_EQ(Fixed(-0.0, 4), "0.0000");
  EXPECT_EQ(Fixed(0.00005, 4), "0.0001");
  EXPECT_EQ(Fixed(9.99996, 4), "10.0000");
  EXPECT_EQ(Fixed(784.56f, 5), "784.56000");
  EXPECT_EQ(Fixed(3e12, 4), FormatNumber(3e12, "0.0000"));
  EXPECT_EQ(Fixed(std::numeric_limits<float>::max(), 5),
            FormatNumber(std::numeric_limits<float>::max(), "0.00000"));
  EXPECT_EQ(Fixed(std::nan(""), 4), FormatNumber(std::nan(""), "0.0000"));
}

}  // namespace
}  // namespace torvane
