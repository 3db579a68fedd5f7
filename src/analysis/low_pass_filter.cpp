#include "analysis/low_pass_filter.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Extend into every `stride`-th element of `e` (signals interleaved).
void ExtendInterleaved(const float* x, std::size_t n, float* e, std::size_t stride) {
  const double first = x[0];
  const double last = x[n - 1];
  for (std::size_t i = 0; i < n; ++i) {
    e[i * stride] = static_cast<float>(2.0 * first - static_cast<double>(x[n - 1 - i]));
    e[(n + i) * stride] = x[i];
    e[(2 * n + i) * stride] = static_cast<float>(2.0 * last - static_cast<double>(x[n - 1 - i]));
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

// Two recursions in the two lanes of one register, over two signals stored
// interleaved (element i of both at 2i and 2i + 1). Lane by lane the
// operations are those of Recursion, in the same order: IEEE products and
// sums, and the same rounding to single precision.
#if defined(__SSE2__)
class LanePair {
 public:
  LanePair(const LowPassCoefficients& c0, const LowPassCoefficients& c1)
      : a0_(_mm_set_pd(c1.a0, c0.a0)),
        a1_(_mm_set_pd(c1.a1, c0.a1)),
        a2_(_mm_set_pd(c1.a2, c0.a2)),
        b1_(_mm_set_pd(c1.b1, c0.b1)),
        b2_(_mm_set_pd(c1.b2, c0.b2)) {}
  void Start(const float* first, const float* second) {
    p_ = x2_ = Load(first);
    q_ = x1_ = Load(second);
  }
  // Returns the outputs of two positions back, to be written there.
  __m128d Step(const float* input) {
    const __m128d x0 = Load(input);
    const __m128d sum = _mm_add_pd(
        _mm_add_pd(
            _mm_add_pd(_mm_add_pd(_mm_mul_pd(a0_, x0), _mm_mul_pd(a1_, x1_)), _mm_mul_pd(a2_, x2_)),
            _mm_mul_pd(b1_, q_)),
        _mm_mul_pd(b2_, p_));
    const __m128d y = _mm_cvtps_pd(_mm_cvtpd_ps(sum));
    const __m128d back = p_;
    p_ = q_;
    q_ = y;
    x2_ = x1_;
    x1_ = x0;
    return back;
  }
  static void Store(float* at, __m128d values) {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(at), _mm_castps_si128(_mm_cvtpd_ps(values)));
  }

 private:
  static __m128d Load(const float* at) {
    return _mm_cvtps_pd(_mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(at))));
  }
  __m128d a0_, a1_, a2_, b1_, b2_;
  __m128d p_{}, q_{}, x1_{}, x2_{};
};
#else
class LanePair {
 public:
  struct Values {
    float v[2];
  };
  LanePair(const LowPassCoefficients& c0, const LowPassCoefficients& c1) : r_{{c0}, {c1}} {}
  void Start(const float* first, const float* second) {
    for (int k = 0; k < 2; ++k) r_[k].Start(first[k], second[k]);
  }
  Values Step(const float* input) { return {r_[0].Step(input[0]), r_[1].Step(input[1])}; }
  static void Store(float* at, Values values) {
    at[0] = values.v[0];
    at[1] = values.v[1];
  }

 private:
  Recursion r_[2];
};
#endif

// FourPasses over four signals at once: e1 and e2 each hold two signals
// interleaved. The four recursions overlap in time; each keeps its own
// order of operations.
void FourPassesTwoPairs(float* e1, const LowPassCoefficients (&c1)[2], float* e2,
                        const LowPassCoefficients (&c2)[2], std::ptrdiff_t len) {
  LanePair r1(c1[0], c1[1]);
  LanePair r2(c2[0], c2[1]);
  for (int pass = 0; pass < 2; ++pass) {
    r1.Start(e1, e1 + 2);
    r2.Start(e2, e2 + 2);
    for (std::ptrdiff_t i = 2; i <= len - 2; ++i) {
      const auto back1 = r1.Step(e1 + 2 * i);
      const auto back2 = r2.Step(e2 + 2 * i);
      LanePair::Store(e1 + 2 * (i - 2), back1);
      LanePair::Store(e2 + 2 * (i - 2), back2);
    }
    r1.Start(e1 + 2 * (len - 1), e1 + 2 * (len - 2));
    r2.Start(e2 + 2 * (len - 1), e2 + 2 * (len - 2));
    for (std::ptrdiff_t j = len - 3; j >= 1; --j) {
      const auto back1 = r1.Step(e1 + 2 * j);
      const auto back2 = r2.Step(e2 + 2 * j);
      LanePair::Store(e1 + 2 * (j + 2), back1);
      LanePair::Store(e2 + 2 * (j + 2), back2);
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

namespace {

// The results of a pair filtered ahead, with what identifies its call.
struct FilteredAhead {
  std::int32_t count = 0;
  float firstCutoff = 0, secondCutoff = 0, sampleFrequency = 0;
  std::vector<float> firstIn, secondIn, firstOut, secondOut;
  bool waiting = false;
};

// Per thread, reused from one batch of jobs to the next.
std::vector<FilteredAhead>& Ahead() {
  thread_local std::vector<FilteredAhead> ahead;
  return ahead;
}

bool SameValues(std::span<const float> a, const std::vector<float>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

// Hands out the kept results of exactly this call, if there are any.
bool TakeFilteredAhead(std::int32_t count, std::span<float> first, float firstCutoff,
                       std::span<float> second, float secondCutoff, float sampleFrequency) {
  for (FilteredAhead& kept : Ahead()) {
    if (!kept.waiting || kept.count != count || kept.firstCutoff != firstCutoff ||
        kept.secondCutoff != secondCutoff || kept.sampleFrequency != sampleFrequency ||
        !SameValues(first, kept.firstIn) || !SameValues(second, kept.secondIn)) {
      continue;
    }
    std::copy(kept.firstOut.begin(), kept.firstOut.end(), first.begin());
    std::copy(kept.secondOut.begin(), kept.secondOut.end(), second.begin());
    kept.waiting = false;
    return true;
  }
  return false;
}

}  // namespace

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
  if (TakeFilteredAhead(count, first.first(n), firstCutoff, second.first(n), secondCutoff,
                        sampleFrequency)) {
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

void FilterPairsAhead(std::span<const PairFilterJob> jobs) {
  std::vector<FilteredAhead>& ahead = Ahead();
  for (FilteredAhead& kept : ahead) kept.waiting = false;
  // The jobs with something to filter, each with the room for its results.
  struct Filtering {
    std::size_t kept;  // index in `ahead`, which may still grow
    LowPassCoefficients c[2];
    std::size_t n;
    bool done;
  };
  thread_local std::vector<Filtering> todo;
  todo.clear();
  std::size_t used = 0;
  for (const PairFilterJob& job : jobs) {
    const std::size_t n = UsableCount(job.count, std::min(job.first.size(), job.second.size()));
    const LowPassCoefficients c1 = ComputeLowPassCoefficients(job.sampleFrequency, job.firstCutoff);
    const LowPassCoefficients c2 =
        ComputeLowPassCoefficients(job.sampleFrequency, job.secondCutoff);
    if (n == 0 || !c1.valid || !c2.valid) continue;
    if (used == ahead.size()) ahead.emplace_back();
    FilteredAhead& kept = ahead[used++];
    kept.count = job.count;
    kept.firstCutoff = job.firstCutoff;
    kept.secondCutoff = job.secondCutoff;
    kept.sampleFrequency = job.sampleFrequency;
    kept.firstIn.assign(job.first.begin(), job.first.begin() + static_cast<std::ptrdiff_t>(n));
    kept.secondIn.assign(job.second.begin(), job.second.begin() + static_cast<std::ptrdiff_t>(n));
    kept.firstOut = kept.firstIn;
    kept.secondOut = kept.secondIn;
    todo.push_back({used - 1, {c1, c2}, n, false});
  }
  // Two jobs of the same length at a time; one left over on its own. The
  // results are handed out only once all are filtered.
  for (std::size_t a = 0; a < todo.size(); ++a) {
    Filtering& one = todo[a];
    if (one.done) continue;
    one.done = true;
    const std::size_t n = one.n;
    std::size_t b = a + 1;
    while (b < todo.size() && (todo[b].done || todo[b].n != n)) ++b;
    FilteredAhead& first = ahead[one.kept];
    if (b == todo.size()) {
      FilteredAhead& k = first;
      LowPassFilterPair(k.count, k.firstOut, k.firstCutoff, k.secondOut, k.secondCutoff,
                        k.sampleFrequency);
      continue;
    }
    Filtering& other = todo[b];
    other.done = true;
    FilteredAhead& second = ahead[other.kept];
    std::vector<float>& work = WorkArray(12 * n);
    float* e1 = work.data();
    float* e2 = work.data() + 6 * n;
    ExtendInterleaved(first.firstIn.data(), n, e1, 2);
    ExtendInterleaved(first.secondIn.data(), n, e1 + 1, 2);
    ExtendInterleaved(second.firstIn.data(), n, e2, 2);
    ExtendInterleaved(second.secondIn.data(), n, e2 + 1, 2);
    FourPassesTwoPairs(e1, one.c, e2, other.c, static_cast<std::ptrdiff_t>(3 * n));
    for (std::size_t i = 0; i < n; ++i) {
      first.firstOut[i] = e1[2 * (n + i)];
      first.secondOut[i] = e1[2 * (n + i) + 1];
      second.firstOut[i] = e2[2 * (n + i)];
      second.secondOut[i] = e2[2 * (n + i) + 1];
    }
  }
  for (const Filtering& f : todo) ahead[f.kept].waiting = true;
}

std::size_t PairsFilteredAhead() {
  std::size_t waiting = 0;
  for (const FilteredAhead& kept : Ahead()) waiting += kept.waiting ? 1 : 0;
  return waiting;
}

}  // namespace torvane
