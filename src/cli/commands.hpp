#pragma once
// The subcommands of torvane-cli, the headless twin of the desktop program.
// Each takes the arguments after its name and returns the exit status:
// 0 done, 1 some file refused or unit not found, 2 usage error.

#include <iosfwd>
#include <span>
#include <string>

namespace torvane::cli {

struct Io {
  std::ostream& out;
  std::ostream& err;
  bool errIsTerminal = false;
};

using Args = std::span<const std::string>;

int RunAnalyse(Args args, Io& io);
int RunExport(Args args, Io& io);
int RunBatch(Args args, Io& io);
int RunIdentify(Args args, Io& io);
int RunRecord(Args args, Io& io);
int RunRecover(Args args, Io& io);
int RunReps(Args args, Io& io);
int RunReading(Args args, Io& io);
int RunSquad(Args args, Io& io);
int RunReport(Args args, Io& io);

// "--help" or "-h" among a command's options (before "--"): the command
// prints its usage on stdout and ends with 0.
bool AsksForHelp(Args args);

// Dispatches on the first argument.
int Main(Args args, Io& io);

}  // namespace torvane::cli
