// torvane-cli export FILE -o OUT [options]: the export file of one trial,
// after the same steps as analyse.

#include <optional>
#include <ostream>
#include <vector>

#include "cli/analyse_options.hpp"
#include "cli/commands.hpp"
#include "cli/output_checks.hpp"
#include "common/text_file.hpp"
#include "files/export_file.hpp"

namespace torvane::cli {

namespace {

constexpr const char* kExportUsage =
    "usage: torvane-cli export FILE -o OUT [--config PATH] [--set KEY=VALUE]... "
    "[--mode auto|D|F|DF|A] [--reverse] [--from T1] [--to T2] [--mass KG] "
    "[--mass-from-force]\n";

}  // namespace

int RunExport(Args args, Io& io) {
  if (AsksForHelp(args)) {
    io.out << kExportUsage;
    return 0;
  }
  const OptionsParse parse = ParseAnalyseOptions(args, true);
  if (!parse.ok) {
    io.err << "torvane-cli export: " << OneLineText(parse.error) << "\n" << kExportUsage;
    return 2;
  }
  const AnalyseOptions& options = parse.options;
  if (options.files.size() != 1) {
    io.err << "torvane-cli export: "
           << (options.files.empty() ? "no trial file given" : "one trial file at a time") << "\n"
           << kExportUsage;
    return 2;
  }
  if (!options.output) {
    io.err << "torvane-cli export: -o OUT is required ('-o -' for stdout)\n" << kExportUsage;
    return 2;
  }
  SettingsRecord base;
  std::string error;
  std::string warning;
  if (!LoadPipelineSettings(base, options, error, &warning)) {
    io.err << "torvane-cli export: " << OneLineText(error) << "\n";
    return 2;
  }
  if (!warning.empty()) io.err << "torvane-cli export: warning: " << OneLineText(warning) << "\n";

  const std::string& file = options.files[0];
  // The output is checked before any work: never the trial itself, nor the
  // configuration file, nor anything but a regular file.
  std::vector<std::string> inputs = {file};
  if (options.configPath) inputs.push_back(*options.configPath);
  if (const std::optional<std::string> refusal = CheckOutputPath(*options.output, inputs)) {
    io.err << "torvane-cli export: " << OneLineText(*refusal) << "\n";
    return 1;
  }

  HeadlessSession headless;
  Session& session = headless.session();
  const TrialRun run = RunTrialPipeline(session, base, file, options);
  if (!run.ok) {
    io.err << "torvane-cli export: " << OneLineText(run.error) << "\n";
    return 1;
  }
  const std::string text = ExportFileText(session.trial, session.settings, session.clock().Now());
  if (*options.output == "-") {
    io.out.write(text.data(), static_cast<std::streamsize>(text.size()));
    io.out.flush();
    if (!io.out) {
      io.err << "torvane-cli export: " << OneLineText(file) << ": cannot write to stdout\n";
      return 1;
    }
    return 0;
  }
  const std::string failure = WriteFileReplacing(*options.output, text);
  if (!failure.empty()) {
    io.err << "torvane-cli export: "
           << OneLineText(file + ": cannot write \"" + *options.output + "\": " + failure) << "\n";
    return 1;
  }
  return 0;
}

}  // namespace torvane::cli
