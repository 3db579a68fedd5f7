#pragma once
// What the decoder fuzzers share: arrays of a size the input chooses (small,
// so that the address checker sees any write past them), and the input cut
// into the pieces that successive ticks would receive.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "trial/trial_data_set.hpp"

namespace torvane::fuzz {

inline void SizeArrays(TrialDataSet& trial, std::size_t points) {
  for (auto* channel :
       {&trial.Displacement, &trial.Velocity, &trial.Acceleration, &trial.Force, &trial.Power}) {
    channel->assign(points, 0.0f);
  }
  for (auto* raw : {&trial.RawForce1, &trial.RawForce2, &trial.RawForce3, &trial.RawForce4,
                    &trial.RawDisplacement, &trial.RawChannel6}) {
    raw->assign(points, 0);
  }
  trial.RawSampleBuffer.assign(2 * points + 1, 0);
}

// Calls `tick` with consecutive pieces of `stream`, each at most `piece` long.
template <typename Tick>
void InPieces(std::string_view stream, std::size_t piece, Tick tick) {
  piece = std::max<std::size_t>(piece, 1);
  for (std::size_t at = 0; at < stream.size(); at += piece) tick(stream.substr(at, piece));
}

inline void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace torvane::fuzz
