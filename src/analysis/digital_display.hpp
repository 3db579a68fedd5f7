#pragma once
// The digital display's read-outs of one sample of the trial: at a point of
// the graph every channel, during a collection only the two that are
// measured (the others are derived once it ends and show "-").

#include <cstdint>
#include <string>

#include "trial/trial_data_set.hpp"

namespace torvane {

struct DigitalDisplayTexts {
  std::string displacement;  // "0.000" m
  std::string force;         // "0.0" N
  std::string velocity;      // "0.000" m/s
  std::string acceleration;  // "0.000" m/s²
  std::string power;         // "0.0" W
};

// `timepoint`: the mouse position on the graph (every channel); otherwise
// the newest sample of a running collection. A sample outside the arrays
// shows "-" everywhere.
DigitalDisplayTexts DigitalDisplayTextsAt(const TrialDataSet& trial, std::int32_t sample,
                                          bool timepoint);

}  // namespace torvane
