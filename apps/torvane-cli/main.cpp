// torvane-cli: the headless twin of the desktop program.
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.hpp"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + 1, argv + argc);
  torvane::cli::Io io{std::cout, std::cerr, ::isatty(STDERR_FILENO) == 1};
  const int status = torvane::cli::Main(args, io);
  std::cout.flush();
  return status;
}
