#include <ostream>
#include <string_view>

#include "cli/commands.hpp"

namespace torvane::cli {

namespace {

constexpr std::string_view kUsage =
    "usage: torvane-cli COMMAND [options]\n"
    "  analyse FILE... [options]         phases and the 33 results of each trial\n"
    "  export FILE -o OUT [options]      the export file of a trial ('-o -' for stdout)\n"
    "  batch DIR -o OUT.xlsx|OUT.csv     one results row per trial file of a folder\n"
    "  identify --model M --port PATH    find an interface unit and print its identity\n"
    "  record --model M --port PATH --duration S -o TRIAL.qlx   record one trial\n"
    "  recover FILE -o TRIAL.qlx         the trial of a collection that was cut off (a kill,\n"
    "                                    a power cut) from its recovery file\n"
    "  reps TRIAL [options]              the training mode's repetitions of a trial\n"
    "                                    ('reps --help' for its options)\n"
    "  reading --model M --port PATH [--seconds S] [--channel displacement|force]\n"
    "                                    a calibration reading: mean raw count and value\n"
    "  squad FILE [--json]               the athletes of a squad workbook (.xlsx .ods .xls .csv)\n"
    "  report TRIAL -o REPORT.pdf        a one-page A4 report of a trial: athlete, settings, the\n"
    "                                    graph with phases and markers, the 33 results, quality\n"
    "                                    flags ('report --help' for its options)\n"
    "Settings: --config PATH, --set KEY=VALUE (repeatable).\n";

}  // namespace

bool AsksForHelp(Args args) {
  for (const std::string& arg : args) {
    if (arg == "--") return false;
    if (arg == "--help" || arg == "-h") return true;
  }
  return false;
}

int Main(Args args, Io& io) {
  if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    (args.empty() ? io.err : io.out) << kUsage;
    return args.empty() ? 2 : 0;
  }
  const std::string& command = args[0];
  const Args rest = args.subspan(1);
  if (command == "analyse" || command == "analyze") return RunAnalyse(rest, io);
  if (command == "export") return RunExport(rest, io);
  if (command == "batch") return RunBatch(rest, io);
  if (command == "identify") return RunIdentify(rest, io);
  if (command == "record") return RunRecord(rest, io);
  if (command == "recover") return RunRecover(rest, io);
  if (command == "reps") return RunReps(rest, io);
  if (command == "reading") return RunReading(rest, io);
  if (command == "squad") return RunSquad(rest, io);
  if (command == "report") return RunReport(rest, io);
  io.err << "torvane-cli: unknown command '" << command << "'\n" << kUsage;
  return 2;
}

}  // namespace torvane::cli
