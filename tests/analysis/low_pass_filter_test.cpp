#include "analysis/low_pass_filter.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

namespace torvane {
namespace {

constexpr double kTestPi = 3.14159265358979323846;

// The filter written out index by index, straight from the system's
// description: a separate work array of 3N values, coefficients as stated,
// four in-place passes that write each output back two steps later.
std::vector<float> PlainFilter(std::vector<float> x, float fs, float fc) {
  const int n = static_cast<int>(x.size());
  if (n == 0) return x;
  std::vector<float> e(static_cast<std::size_t>(3 * n));
  for (int i = 0; i < n; ++i) {
    e[i] = static_cast<float>(2.0 * x[0] - x[n - 1 - i]);
    e[n + i] = x[i];
    e[2 * n + i] = static_cast<float>(2.0 * x[n - 1] - x[n - 1 - i]);
  }
  const double wc = std::tan(3.141592654 * fc / fs) / 0.6595;
  const double k1 = std::sqrt(2.0 * wc);
  const double k2 = wc * wc;
  const double a0 = k2 / (1.0 + k1 + k2);
  const double a1 = 2.0 * a0;
  const double a2 = a0;
  const float k3 = static_cast<float>(2.0 * a0 / k2);
  const double b1 = -2.0 * a0 + k3;
  const double b2 = 1.0 - 2.0 * a0 - k3;
  const int last = 3 * n - 1;
  for (int pass = 0; pass < 2; ++pass) {
    float p = e[0], q = e[1];
    for (int i = 2; i <= last - 1; ++i) {
      const float y =
          static_cast<float>(a0 * e[i] + a1 * e[i - 1] + a2 * e[i - 2] + b1 * q + b2 * p);
      e[i - 2] = p;
      p = q;
      q = y;
    }
    p = e[last];
    q = e[last - 1];
    for (int j = last - 2; j >= 1; --j) {
      const float y =
          static_cast<float>(a0 * e[j] + a1 * e[j + 1] + a2 * e[j + 2] + b1 * q + b2 * p);
      e[j + 2] = p;
      p = q;
      q = y;
    }
  }
  for (int i = 0; i < n; ++i) x[i] = e[n + i];
  return x;
}

std::vector<float> Noise(std::size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::normal_distribution<float> d(0.0f, 1.0f);
  std::vector<float> x(n);
  float level = 0;
  for (float& v : x) {
    level += d(rng) * 0.05f;
    v = level + 0.01f * d(rng);
  }
  return x;
}

bool SameBits(const std::vector<float>& a, const std::vector<float>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

TEST(LowPassFilter, EqualsThePlainStepByStepFilterBitForBit) {
  struct Case {
    std::size_t n;
    float fs, fc;
  };
  for (const Case c :
       {Case{1, 500, 10}, Case{2, 500, 10}, Case{3, 500, 16}, Case{4, 1000, 50}, Case{7, 600, 16},
        Case{1001, 500, 10}, Case{1001, 500, 16}, Case{5000, 1000, 1}, Case{333, 600, 250}}) {
    std::vector<float> x = Noise(c.n, static_cast<unsigned>(c.n));
    const std::vector<float> expected = PlainFilter(x, c.fs, c.fc);
    LowPassFilter(static_cast<std::int32_t>(c.n), x, c.fs, c.fc);
    EXPECT_TRUE(SameBits(x, expected)) << "N=" << c.n << " fc=" << c.fc;
  }
  // A count beyond the array is cut to the array.
  std::vector<float> x = Noise(50, 9);
  const std::vector<float> expected = PlainFilter(x, 500.0f, 10.0f);
  LowPassFilter(1000000, x, 500.0f, 10.0f);
  EXPECT_TRUE(SameBits(x, expected));
}

// A pair gives exactly what two single filters give, and pairs filtered
// ahead, two of a length at a time side by side, are handed to the calls
// they were made for, with exactly that; other calls filter as always.
TEST(LowPassFilter, PairsFilteredAheadEqualPairsFilteredWhenCalled) {
  for (std::size_t n : {1u, 2u, 5u, 1001u, 1886u, 4096u}) {
    const auto count = static_cast<std::int32_t>(n);
    const std::vector<float> a = Noise(n, 3), b = Noise(n, 4), c = Noise(n, 5);
    const auto plain = [&](std::vector<float> x, float fc) {
      LowPassFilter(count, x, 500.0f, fc);
      return x;
    };
    const PairFilterJob jobs[] = {
        {count, a, 10.0f, a, 16.0f, 500.0f},
        {count, b, 10.0f, c, 16.0f, 500.0f},   // with the first, four at once
        {count, c, 8.0f, a, 20.0f, 500.0f},    // left over: on its own
        {count, a, 10.0f, a, 400.0f, 500.0f},  // cannot be realised: not kept
    };
    FilterPairsAhead(jobs);
    EXPECT_EQ(PairsFilteredAhead(), 3u);
    std::vector<float> a1 = a, a2 = a, b1 = b, c2 = c, c1 = c, a3 = a;
    std::vector<float> other = b, other2 = c;
    other.back() += 1.0f;  // not the values of any job
    const std::vector<float> otherInput = other;
    LowPassFilterPair(count, other, 10.0f, other2, 16.0f, 500.0f);
    EXPECT_EQ(PairsFilteredAhead(), 3u);
    EXPECT_TRUE(SameBits(other, plain(otherInput, 10.0f)));
    EXPECT_TRUE(SameBits(other2, plain(c, 16.0f)));
    LowPassFilterPair(count, b1, 10.0f, c2, 16.0f, 500.0f);
    LowPassFilterPair(count, a1, 10.0f, a2, 16.0f, 500.0f);
    LowPassFilterPair(count, c1, 8.0f, a3, 20.0f, 500.0f);
    EXPECT_EQ(PairsFilteredAhead(), 0u);
    EXPECT_TRUE(SameBits(a1, plain(a, 10.0f))) << n;
    EXPECT_TRUE(SameBits(a2, plain(a, 16.0f))) << n;
    EXPECT_TRUE(SameBits(b1, plain(b, 10.0f))) << n;
    EXPECT_TRUE(SameBits(c2, plain(c, 16.0f))) << n;
    EXPECT_TRUE(SameBits(c1, plain(c, 8.0f))) << n;
    EXPECT_TRUE(SameBits(a3, plain(a, 20.0f))) << n;
  }
}

TEST(LowPassFilter, ConstantPassesAndShortSignalsAreLeftAlone) {
  std::vector<float> constant(800, 3.7f);
  LowPassFilter(800, constant, 500.0f, 10.0f);
  for (float v : constant) EXPECT_NEAR(v, 3.7f, 2e-6f);

  std::vector<float> one = {42.5f, -1.0f};
  LowPassFilter(1, one, 500.0f, 10.0f);
  EXPECT_EQ(one[0], 42.5f);
  EXPECT_EQ(one[1], -1.0f);  // beyond the count

  std::vector<float> untouched = {1.0f, 9.0f, -4.0f};
  LowPassFilter(0, untouched, 500.0f, 10.0f);
  LowPassFilter(-5, untouched, 500.0f, 10.0f);
  EXPECT_EQ(untouched, (std::vector<float>{1.0f, 9.0f, -4.0f}));
}

TEST(LowPassFilter, AttenuatesFarAboveTheCutOffAndHasNoLag) {
  const float fs = 1000.0f;
  // Both sines end on a zero crossing, so the reflected ends add no offset.
  const std::size_t n = 2001;
  std::vector<float> fast(n), slow(n);
  for (std::size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / fs;
    fast[i] = static_cast<float>(std::sin(2 * kTestPi * 200.0 * t));
    slow[i] = static_cast<float>(std::sin(2 * kTestPi * 1.0 * t));
  }
  LowPassFilter(static_cast<std::int32_t>(n), fast, fs, 10.0f);
  LowPassFilter(static_cast<std::int32_t>(n), slow, fs, 10.0f);
  float fastPeak = 0;
  for (float v : fast) fastPeak = std::max(fastPeak, std::fabs(v));
  EXPECT_LT(fastPeak, 0.01f);
  // No lag: the 1 Hz peak stays at 0.25 s and the trough at 0.75 s.
  const auto peak = std::max_element(slow.begin(), slow.begin() + 500);
  const auto trough = std::min_element(slow.begin() + 500, slow.begin() + 1000);
  EXPECT_NEAR(static_cast<double>(peak - slow.begin()), 250.0, 1.0);
  EXPECT_NEAR(static_cast<double>(trough - slow.begin()), 750.0, 1.0);
  EXPECT_GT(*peak, 0.5f);
}

TEST(LowPassFilter, CutOffThatCannotBeRealisedLeavesTheSignalInsteadOfNaN) {
  const std::vector<float> original = Noise(300, 3);
  for (float fc : {250.0f, 300.0f, 499.0f}) {  // at and above half of 500 Hz
    std::vector<float> x = original;
    LowPassFilter(300, x, 500.0f, fc);
    EXPECT_TRUE(SameBits(x, original)) << fc;
  }
  std::vector<float> x = original;
  LowPassFilter(300, x, 0.0f, 10.0f);
  EXPECT_TRUE(SameBits(x, original));
  EXPECT_FALSE(ComputeLowPassCoefficients(500.0f, 250.0f).valid);
  EXPECT_TRUE(ComputeLowPassCoefficients(500.0f, 249.0f).valid);
}

}  // namespace
}  // namespace torvane
