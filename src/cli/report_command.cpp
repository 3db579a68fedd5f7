// torvane-cli report TRIAL -o REPORT.pdf [options]: the one-page trial
// report (athlete, settings, the graph of a channel with its phases and
// markers, the 33 results, the quality flags) as an A4 PDF, as File →
// Report… makes it. The trial is analysed as `analyse` does; the page is
// painted by the report module, which alone needs Qt and is loaded only
// here.

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>

#include "cli/analyse_options.hpp"
#include "cli/commands.hpp"
#include "cli/output_checks.hpp"
#include "common/text_file.hpp"
#include "shell/report_session.hpp"
#include "shell/trial_analysis.hpp"
#include "torvane_version.hpp"

namespace torvane::cli {

namespace {

constexpr const char* kReportUsage =
    "usage: torvane-cli report TRIAL -o REPORT.pdf ('-o -' for stdout) "
    "[--channel displacement|velocity|acceleration|force|power] [--config PATH] "
    "[--set KEY=VALUE]... [--mode auto|D|F|DF|A] [--reverse] [--from T1] [--to T2] "
    "[--mass KG] [--mass-from-force] [--mean-concentric-only] [--frame-jump]\n";

constexpr const char* kModuleName = "torvane-report.so";
constexpr const char* kModuleEntry = "torvane_report_write_pdf_v1";
using WritePdf = int (*)(const TrialReport*, const char*, std::string*);

// The module beside the program (the build tree), else where it is
// installed relative to the programs' folder; TORVANE_REPORT_MODULE names
// another.
std::vector<std::filesystem::path> ModuleCandidates() {
  if (const char* chosen = std::getenv("TORVANE_REPORT_MODULE"); chosen && *chosen) {
    return {chosen};
  }
  std::error_code ignored;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ignored);
  if (self.empty()) return {};
  const std::filesystem::path bin = self.parent_path();
  return {bin / kModuleName, (bin / kReportModuleFromBin).lexically_normal()};
}

// The module's entry, or nothing with the reason in `error`.
WritePdf LoadReportModule(std::string& error) {
  const std::vector<std::filesystem::path> candidates = ModuleCandidates();
  std::string tried;
  for (const std::filesystem::path& candidate : candidates) {
    std::error_code ignored;
    if (!std::filesystem::exists(candidate, ignored)) {
      tried += (tried.empty() ? "" : ", ") + candidate.string();
      continue;
    }
    // Kept loaded for the rest of the run: Qt's libraries stay with it.
    void* module = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
      const char* reason = dlerror();
      error = "the report module " + candidate.string() +
              " cannot be loaded: " + (reason ? reason : "unknown reason");
      return nullptr;
    }
    void* entry = dlsym(module, kModuleEntry);
    if (entry == nullptr) {
      dlclose(module);
      error = "the report module " + candidate.string() + " is of another version";
      return nullptr;
    }
    return reinterpret_cast<WritePdf>(entry);
  }
  error = "the report module " + std::string(kModuleName) + " is missing (looked for " +
          (tried.empty() ? "it beside the program" : tried) +
          "); it is built with the desktop program";
  return nullptr;
}

// Takes "--channel WORD" (or "--channel=WORD") out of the arguments; false
// with the reason for a missing or unknown word.
bool TakeChannelOption(std::vector<std::string>& args, std::optional<ShownChannel>& channel,
                       std::string& error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--") break;
    std::string name = args[i];
    std::optional<std::string> value = SplitInlineValue(name);
    if (name != "--channel") continue;
    std::size_t taken = 1;
    if (!value) {
      if (i + 1 >= args.size()) {
        error = "--channel needs a value";
        return false;
      }
      value = args[i + 1];
      taken = 2;
    }
    ShownChannel parsed{};
    if (!ReportChannelFromWord(*value, parsed)) {
      error = "--channel: unknown channel '" + *value +
              "' (displacement, velocity, acceleration, force or power)";
      return false;
    }
    channel = parsed;
    args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
               args.begin() + static_cast<std::ptrdiff_t>(i + taken));
    --i;
  }
  return true;
}

// The PDF written to a temporary file ($TMPDIR, else /tmp) and copied to
// stdout.
bool WriteToStdout(WritePdf write, const TrialReport& report, std::ostream& out,
                   std::string& error) {
  std::error_code ignored;
  std::filesystem::path folder = std::filesystem::temp_directory_path(ignored);
  if (folder.empty()) folder = "/tmp";
  std::string name = (folder / "torvane-report-XXXXXX").string();
  const int fd = mkstemp(name.data());
  if (fd < 0) {
    error = "cannot make a temporary file in " + folder.string();
    return false;
  }
  close(fd);
  const bool written = write(&report, name.c_str(), &error) != 0;
  if (written) {
    std::ifstream in(name, std::ios::binary);
    out << in.rdbuf();
    out.flush();
    if (!out) error = "cannot write to stdout";
  }
  std::remove(name.c_str());
  return written && out;
}

}  // namespace

int RunReport(Args args, Io& io) {
  if (AsksForHelp(args)) {
    io.out << kReportUsage;
    return 0;
  }
  std::vector<std::string> rest(args.begin(), args.end());
  std::optional<ShownChannel> channel;
  std::string error;
  if (!TakeChannelOption(rest, channel, error)) {
    io.err << "torvane-cli report: " << OneLineText(error) << "\n" << kReportUsage;
    return 2;
  }
  const OptionsParse parse = ParseAnalyseOptions(rest, true);
  if (!parse.ok) {
    io.err << "torvane-cli report: " << OneLineText(parse.error) << "\n" << kReportUsage;
    return 2;
  }
  const AnalyseOptions& options = parse.options;
  if (options.json || options.csv) {
    io.err << "torvane-cli report: the report is a PDF page: --json and --csv do not apply\n"
           << kReportUsage;
    return 2;
  }
  if (options.files.size() != 1) {
    io.err << "torvane-cli report: "
           << (options.files.empty() ? "no trial file given" : "one trial file at a time") << "\n"
           << kReportUsage;
    return 2;
  }
  if (!options.output) {
    io.err << "torvane-cli report: -o REPORT.pdf is required ('-o -' for stdout)\n" << kReportUsage;
    return 2;
  }
  SettingsRecord base;
  std::string warning;
  if (!LoadPipelineSettings(base, options, error, &warning)) {
    io.err << "torvane-cli report: " << OneLineText(error) << "\n";
    return 2;
  }
  if (!warning.empty()) io.err << "torvane-cli report: warning: " << OneLineText(warning) << "\n";

  const std::string& file = options.files[0];
  std::vector<std::string> inputs = {file};
  if (options.configPath) inputs.push_back(*options.configPath);
  if (const std::optional<std::string> refusal = CheckOutputPath(*options.output, inputs)) {
    io.err << "torvane-cli report: " << OneLineText(*refusal) << "\n";
    return 1;
  }

  HeadlessSession headless;
  Session& session = headless.session();
  const TrialAnalysis analysis = AnalyseTrialFile(session, base, file, options, &headless.reader());
  if (!analysis.run.ok) {
    io.err << "torvane-cli report: " << OneLineText(analysis.run.error) << "\n";
    return 1;
  }
  ReportChoices choices;
  choices.channel = channel.value_or(DefaultReportChannel(session.settings));
  choices.mode = analysis.run.boxes;
  choices.meanConcentricOnly = options.meanConcentricOnly;
  choices.frameJump = options.frameJump;
  const TrialReport report =
      SessionTrialReport(session, analysis.results, analysis.quality, choices);

  const WritePdf write = LoadReportModule(error);
  if (write == nullptr) {
    io.err << "torvane-cli report: " << OneLineText(error) << "\n";
    return 1;
  }
  const bool written = *options.output == "-"
                           ? WriteToStdout(write, report, io.out, error)
                           : write(&report, options.output->c_str(), &error) != 0;
  if (!written) {
    io.err << "torvane-cli report: "
           << OneLineText(file + ": cannot write \"" + *options.output + "\": " + error) << "\n";
    return 1;
  }
  return 0;
}

}  // namespace torvane::cli
