// torvane-cli export FILE -o OUT [options]: the export file of one trial,
// after the same steps as analyse.

#include <ostream>

#include "cli/commands.hpp"
#include "cli/trial_pipeline.hpp"
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
  const OptionsParse parse = ParseAnalyseOptions(args, true);
  if (!parse.ok) {
    io.err << "torvane-cli export: " << parse.error << "\n" << kExportUsage;
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
  if (!LoadPipelineSettings(base, options, error)) {
    io.err << "torvane-cli export: " << error << "\n";
    return 2;
  }

  HeadlessSession headless;
  Session& session = headless.session();
  const std::string& file = options.files[0];
  const TrialRun run = RunTrialPipeline(session, base, file, options);
  if (!run.ok) {
    io.err << "torvane-cli export: " << run.error << "\n";
    return 1;
  }
  const std::string text = ExportFileText(session.trial, session.settings, session.clock().Now());
  if (*options.output == "-") {
    io.out.write(text.data(), static_cast<std::streamsize>(text.size()));
    io.out.flush();
    if (!io.out) {
      io.err << "torvane-cli export: " << file << ": cannot write to stdout\n";
      return 1;
    }
    return 0;
  }
  const std::string failure = WriteFileReplacing(*options.output, text);
  if (!failure.empty()) {
    io.err << "torvane-cli export: " << file << ": cannot write \"" << *options.output
           << "\": " << failure << "\n";
    return 1;
  }
  return 0;
}

}  // namespace torvane::cli
