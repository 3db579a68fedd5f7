#include "analysis/low_pass_filter.hpp"

#include <algorithm>
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

// One second-order recursion running over an extended signal. The inputs of
// the two previous positions are carried along; they are the values the
// array still holds at that point (a position is overwritten only two steps
// after it is computed), so the arithmetic is the same as reading them back.
struct Recursion {
  LowPassCoefficients c;
  double p = 0, q = 0;    // the two previous outputs
  double x1 = 0, x2 = 0;  // the two previous inputs

  void Start(float first, float second) {
    p = x2 = first;
    q = x1 = second;
  }
  // The output of this position, rounded to single precision, is kept; the
  // output of two positions back is returned for writing back.
  float Step(float input) {
    const double x0 = input;
    const float y = static_cast<float>(c.a0 * x0 + c.a1 * x1 + c.a2 * x2 + c.b1 * q + c.b2 * p);
    const float back = static_cast<float>(p);
    p = q;
    q = y;
    x2 = x1;
    x1 = x0;
    return back;
  }
};

// Forward, backward, forward, backward, in place. A forward pass computes
// positions 2 … len-2, a backward pass len-3 … 1; the last two outputs of a
// pass are never written back and its last position is never filtered:
// those end effects fall on the reflected extension.
void FourPasses(float* e, const LowPassCoefficients& c, std::ptrdiff_t len) {
  Recursion r{c};
  for (int pass = 0; pass < 2; ++pass) {
    r.Start(e[0], e[1]);
    for (std::ptrdiff_t i = 2; i <= len - 2; ++i) e[i - 2] = r.Step(e[i]);
    r.Start(e[len - 1], e[len - 2]);
    for (std::ptrdiff_t j = len - 3; j >= 1; --j) e[j + 2] = r.Step(e[j]);
  }
}

// Two independent signals in one loop: their recursions overlap in time
// while each keeps exactly its own order of operations.
void FourPassesPair(float* e1, const LowPassCoefficients& c1, float* e2,
                    const LowPassCoefficients& c2, std::ptrdiff_t len) {
  Recursion r1{c1};
  Recursion r2{c2};
  for (int pass = 0; pass < 2; ++pass) {
    r1.Start(e1[0], e1[1]);
    r2.Start(e2[0], e2[1]);
    for (std::ptrdiff_t i = 2; i <= len - 2; ++i) {
      const float back1 = r1.Step(e1[i]);
      const float back2 = r2.Step(e2[i]);
      e1[i - 2] = back1;
      e2[i - 2] = back2;
    }
    r1.Start(e1[len - 1], e1[len - 2]);
    r2.Start(e2[len - 1], e2[len - 2]);
    for (std::ptrdiff_t j = len - 3; j >= 1; --j) {
      const float back1 = r1.Step(e1[j]);
      const float back2 = r2.Step(e2[j]);
      e1[j + 2] = back1;
      e2[j + 2] = back2;
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
  FourPasses(e, c, static_cast<std::ptrdiff_t>(3 * n));
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
  FourPassesPair(e1, c1, e2, c2, static_cast<std::ptrdiff_t>(3 * n));
  std::copy(e1 + n, e1 + 2 * n, first.data());
  std::copy(e2 + n, e2 + 2 * n, second.data());
}

}  // namespace torvane
