// torvane-cli analyse FILE... [options]: the phase times and the 33 results
// of each trial file, as the results window shows them.

#include <ostream>

#include "cli/analyse_options.hpp"
#include "cli/analyse_output.hpp"
#include "cli/commands.hpp"
#include "common/text_file.hpp"
#include "shell/trial_analysis.hpp"

namespace torvane::cli {

namespace {

constexpr const char* kAnalyseUsage =
    "usage: torvane-cli analyse FILE... [--config PATH] [--set KEY=VALUE]... "
    "[--mode auto|D|F|DF|A] [--reverse] [--from T1] [--to T2] [--mass KG] "
    "[--mass-from-force] [--mean-concentric-only] [--frame-jump] [--json|--csv]\n";

}  // namespace

int RunAnalyse(Args args, Io& io) {
  if (AsksForHelp(args)) {
    io.out << kAnalyseUsage;
    return 0;
  }
  const OptionsParse parse = ParseAnalyseOptions(args, false);
  if (!parse.ok) {
    io.err << "torvane-cli analyse: " << OneLineText(parse.error) << "\n" << kAnalyseUsage;
    return 2;
  }
  const AnalyseOptions& options = parse.options;
  if (options.files.empty()) {
    io.err << "torvane-cli analyse: no trial file given\n" << kAnalyseUsage;
    return 2;
  }
  SettingsRecord base;
  std::string error;
  std::string warning;
  if (!LoadPipelineSettings(base, options, error, &warning)) {
    io.err << "torvane-cli analyse: " << OneLineText(error) << "\n";
    return 2;
  }
  if (!warning.empty()) io.err << "torvane-cli analyse: warning: " << OneLineText(warning) << "\n";

  HeadlessSession headless;
  Session& session = headless.session();
  int status = 0;
  if (options.csv) io.out << AnalyseCsvHeader();
  for (const std::string& file : options.files) {
    const TrialAnalysis analysis =
        AnalyseTrialFile(session, base, file, options, &headless.reader());
    if (!analysis.run.ok) {
      io.err << "torvane-cli analyse: " << OneLineText(analysis.run.error) << "\n";
      status = 1;
      continue;
    }
    if (options.json) {
      io.out << AnalyseJsonLine(file, session, analysis);
    } else if (options.csv) {
      io.out << AnalyseCsvRow(file, analysis);
    } else {
      io.out << AnalyseTable(file, session, analysis);
    }
  }
  io.out.flush();
  if (!io.out) {
    io.err << "torvane-cli analyse: cannot write the results to stdout\n";
    return 1;
  }
  return status;
}

}  // namespace torvane::cli
