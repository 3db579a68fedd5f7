#include <ostream>

#include "cli/commands.hpp"

namespace torvane::cli {

// Not built yet: this subcommand arrives with its subsystem.
int RunBatch(Args, Io& io) {
  io.err << "torvane-cli batch: not available in this build yet\n";
  return 2;
}

}  // namespace torvane::cli
