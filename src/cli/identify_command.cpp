#include <ostream>

#include "cli/commands.hpp"

namespace torvane::cli {

// Not built yet: this subcommand arrives with its subsystem.
int RunIdentify(Args, Io& io) {
  io.err << "torvane-cli identify: not available in this build yet\n";
  return 2;
}

}  // namespace torvane::cli
