#include "analysis/low_pass_filter.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <vector>

namespace torvane {

namespace {

// π as the system has always written it.
constexpr double kPi = 3.141592654;

// One work array per thread, grown to the largest trial seen and reused, so
// that a batch run allocates nothing per file.
std::vector<float>& WorkArray(std::size_t size) {
  thread_local std::vector<float> work;
  if (work.size() < size) work.resize(size);
  return work;
}

// E[0 .. N-1]: the signal reversed and reflected through its first value;
// E[N .. 2N-1]: the signal; E[2N .. 3N-1]: reversed and reflected through its
// last value. The first and last samples appear twice in a row at the joints.
void Extend(const float* x, std::size_t n, float* e) {
  const double first = x[0];
  const double last = x[n - 1];
  for (std::size_t i = 0; i < n; ++i) {
    e[i] = static_cast<float>(2.0 * first - static_cast<double>(x[n - 1 - i]));
  }
  std::copy(x, x + n, e + n);
  for (std::size_t i = 0; i < n; ++i) {
    e[2 * n + i] = static_cast<float>(2.0 * last - static_cast<double>(x[n - 1 - i]));
  }
}

// The four passes over K extended signals at once. The K recursions are
// independent; running them in one loop lets their latencies overlap while
// each keeps exactly its own order of operations.
//
// Each pass works in place and writes an output back two steps after it is
// computed, once its input is no longer needed. The inputs of the two
// previous positions are carried in registers; they are the values the array
// still holds at that point, so the arithmetic is the same as reading them.
// The last two outputs of a pass are never written back and its last position
// is never filtered: those end effects fall on the reflected extension.
template <std::size_t K>
void FourPasses(const std::array<float*, K>& e, const std::array<LowPassCoefficients, K>& c,
                std::ptrdiff_t len) {
  for (int pass = 0; pass < 2; ++pass) {
    // Forward: positions 2 … len-2.
    {
      std::array<double, K> p, q, x1, x2;
      for (std::size_t k = 0; k < K; ++k) {
        p[k] = x2[k] = e[k][0];
        q[k] = x1[k] = e[k][1];
      }
      for (std::ptrdiff_t i = 2; i <= len - 2; ++i) {
        for (std::size_t k = 0; k < K; ++k) {
          const double x0 = e[k][i];
          const float y = static_cast<float>(c[k].a0 * x0 + c[k].a1 * x1[k] + c[k].a2 * x2[k] +
                                             c[k].b1 * q[k] + c[k].b2 * p[k]);
          e[k][i - 2] = static_cast<float>(p[k]);
          p[k] = q[k];
          q[k] = y;
          x2[k] = x1[k];
          x1[k] = x0;
        }
      }
    }
    // Backward: positions len-3 … 1.
    {
      std::array<double, K> p, q, x1, x2;
      for (std::size_t k = 0; k < K; ++k) {
        p[k] = x2[k] = e[k][len - 1];
        q[k] = x1[k] = e[k][len - 2];
      }
      for (std::ptrdiff_t j = len - 3; j >= 1; --j) {
        for (std::size_t k = 0; k < K; ++k) {
          const double x0 = e[k][j];
          const float y = static_cast<float>(c[k].a0 * x0 + c[k].a1 * x1[k] + c[k].a2 * x2[k] +
                                             c[k].b1 * q[k] + c[k].b2 * p[k]);
          e[k][j + 2] = static_cast<float>(p[k]);
          p[k] = q[k];
          q[k] = y;
          x2[k] = x1[k];
          x1[k] = x0;
        }
      }
    }
  }
}

std::size_t UsableCount(std::int32_t count, std::size_t available) {
  if (count <= 0) return 0;
  return std::min(static_cast<std::size_t>(count), available);
}

}  // namespace

LowPassCoefficients ComputeLowPassCoefficients(float sampleFrequency, float cutoff) {
  LowPassCoefficients c;
  const double fs = sampleFrequency;
  const double fc = cutoff;
  if (!(fs > 0.0) || !(fc > 0.0)) return c;
  const double omega = std::tan(kPi * fc / fs) / 0.6595;
  // K1 is the square root of twice ωc (not √2·ωc): the filter has always
  // been built this way, and stored results depend on it.
  const double k1 = std::sqrt(2.0 * omega);
  const double k2 = omega * omega;
  c.a0 = k2 / (1.0 + k1 + k2);
  c.a1 = 2.0 * c.a0;
  c.a2 = c.a0;
  const double k3 = static_cast<float>(2.0 * c.a0 / k2);
  c.b1 = -2.0 * c.a0 + k3;
  c.b2 = 1.0 - 2.0 * c.a0 - k3;
  // At or above half the sample frequency tan() turns negative or infinite.
  c.valid = omega > 0.0 && std::isfinite(omega) && std::isfinite(c.a0) && std::isfinite(c.b1) &&
            std::isfinite(c.b2);
  return c;
}

void LowPassFilter(std::int32_t count, std::span<float> values, float sampleFrequency,
                   float cutoff) {
  const std::size_t n = UsableCount(count, values.size());
  if (n == 0) return;
  const LowPassCoefficients c = ComputeLowPassCoefficients(sampleFrequency, cutoff);
  if (!c.valid) return;
  std::vector<float>& work = WorkArray(3 * n);
  float* e = work.data();
  Extend(values.data(), n, e);
  FourPasses<1>({e}, {c}, static_cast<std::ptrdiff_t>(3 * n));
  std::copy(e + n, e + 2 * n, values.data());
}

void LowPassFilterPair(std::int32_t count, std::span<float> first, float firstCutoff,
                       std::span<float> second, float secondCutoff, float sampleFrequency) {
  const std::size_t n = UsableCount(count, std::min(first.size(), second.size()));
  const LowPassCoefficients c1 = ComputeLowPassCoefficients(sampleFrequency, firstCutoff);
  const LowPassCoefficients c2 = ComputeLowPassCoefficients(sampleFrequency, secondCutoff);
  if (n == 0 || !c1.valid || !c2.valid) {
    // Nothing to overlap: each signal on its own (a refused cut-off leaves its signal alone).
    LowPassFilter(count, first, sampleFrequency, firstCutoff);
    LowPassFilter(count, second, sampleFrequency, secondCutoff);
    return;
  }
  std::vector<float>& work = WorkArray(6 * n);
  float* e1 = work.data();
  float* e2 = work.data() + 3 * n;
  Extend(first.data(), n, e1);
  Extend(second.data(), n, e2);
  FourPasses<2>({e1, e2}, {c1, c2}, static_cast<std::ptrdiff_t>(3 * n));
  std::copy(e1 + n, e1 + 2 * n, first.data());
  std::copy(e2 + n, e2 + 2 * n, second.data());
}

}  // namespace torvane
