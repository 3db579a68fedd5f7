#pragma once
// The system's one smoothing routine: a second-order recursive low-pass
// filter run forwards, backwards, forwards and backwards over the signal, so
// that it has no phase lag, on a copy extended at both ends by point
// reflection. Stored results of earlier trials were computed with exactly this
// filter, coefficients and rounding points included, so it must stay as it is.

#include <cstddef>
#include <cstdint>
#include <span>

namespace torvane {

// The gains of one filter pass. `valid` is false when the cut-off cannot be
// realised at this sample frequency (sample frequency <= 0, cut-off <= 0, or a
// cut-off at or above half the sample frequency): the recursion would give
// NaN or nonsense, so the signal is then left as it is.
struct LowPassCoefficients {
  double a0 = 0, a1 = 0, a2 = 0, b1 = 0, b2 = 0;
  bool valid = false;
};
LowPassCoefficients ComputeLowPassCoefficients(float sampleFrequency, float cutoff);

// Filters values[0 .. count-1] in place (count is clamped to the span). Callers
// test the cut-off for >= 1.0 first. Nothing is allocated once the work array
// of this thread has grown to the largest trial seen.
void LowPassFilter(std::int32_t count, std::span<float> values, float sampleFrequency,
                   float cutoff);

// Two signals of the same length filtered side by side with their own
// cut-offs: bit for bit the same as two LowPassFilter calls, in about half
// the time, because the two recursions overlap.
void LowPassFilterPair(std::int32_t count, std::span<float> first, float firstCutoff,
                       std::span<float> second, float secondCutoff, float sampleFrequency);

// A LowPassFilterPair call, described to be made ahead of time.
struct PairFilterJob {
  std::int32_t count = 0;
  std::span<const float> first;
  float firstCutoff = 0;
  std::span<const float> second;
  float secondCutoff = 0;
  float sampleFrequency = 0;
};

// Runs the LowPassFilterPair calls of `jobs` now and keeps their results for
// this thread (replacing any kept before). Jobs of the same length run two
// at a time side by side: four recursions overlap, in about the time of one
// pair. A later LowPassFilterPair call on this thread whose count, cut-offs,
// sample frequency and signal values are exactly those of a kept job takes
// that job's results instead of filtering: the same values, bit for bit.
// Jobs without anything to filter (no samples, a cut-off that cannot be
// realised) are not kept.
void FilterPairsAhead(std::span<const PairFilterJob> jobs);

// How many kept results no LowPassFilterPair call has taken yet.
std::size_t PairsFilteredAhead();

}  // namespace torvane
