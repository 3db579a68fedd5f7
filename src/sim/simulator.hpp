#pragma once
// torvane-sim: a simulated interface unit (or accelerometer) on a
// pseudo-terminal linked at a given path, answering the program's commands
// and streaming a synthetic movement until it is stopped.

#include <iosfwd>
#include <span>
#include <string>
#include <variant>

#include "sim/unit_emulator.hpp"

namespace torvane::sim {

struct SimulatorCommand {
  UnitOptions unit;
  std::string linkPath;
  bool help = false;
};

// The command line after the program name; a text saying what is wrong
// when it cannot be used.
std::variant<SimulatorCommand, std::string> ParseSimulatorArgs(std::span<const std::string> args);

// Runs until SIGINT or SIGTERM (or the disconnect fault); 0 on a clean end,
// 1 when the terminal could not be set up, 2 for a usage error.
int RunSimulator(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace torvane::sim
