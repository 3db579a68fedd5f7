// torvane-sim: a simulated interface unit on a pseudo-terminal.
#include <iostream>
#include <string>
#include <vector>

#include "sim/simulator.hpp"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return torvane::sim::RunSimulator(args, std::cout, std::cerr);
}
