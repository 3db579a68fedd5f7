// torvane-cli batch DIR -o OUT.xlsx|OUT.csv [options]: one results row per
// trial file of a folder, as the results window's "Next" and "&Save" make
// them, in name order.

#include <algorithm>
#include <charconv>
#include <chrono>
#include <ostream>
#include <span>
#include <thread>
#include <vector>

#include "batch/batch_processing.hpp"
#include "cli/analyse_options.hpp"
#include "cli/commands.hpp"
#include "cli/output_checks.hpp"
#include "common/paths.hpp"
#include "common/text_file.hpp"
#include "shell/batch_run.hpp"

namespace torvane::cli {

namespace {

constexpr const char* kBatchUsage =
    "usage: torvane-cli batch DIR -o OUT.xlsx|OUT.csv [--select HEADER,HEADER,...] "
    "[--jobs N] [--config PATH] [--set KEY=VALUE]... [--mode auto|D|F|DF|A] [--reverse] "
    "[--mean-concentric-only] [--frame-jump] [--quality]\n";

struct BatchArguments {
  ResultsTicks ticked{};
  unsigned jobs = 0;     // 0: one per core
  bool quality = false;  // a last column with the codes of the quality flags
  AnalyseOptions options;
};

bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix) {
  if (text.size() < suffix.size()) return false;
  for (std::size_t i = 0; i < suffix.size(); ++i) {
    char c = text[text.size() - suffix.size() + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != suffix[i]) return false;
  }
  return true;
}

// The batch options; the rest go to the options shared with analyse.
bool ParseBatchArguments(Args args, BatchArguments& parsed, std::string& error) {
  std::vector<std::string> rest;
  bool selected = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    if (name == "--quality") {
      parsed.quality = true;
      continue;
    }
    if (name == "--") {
      // The options end here: the rest (the folder) goes on as it is.
      rest.insert(rest.end(), args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
      break;
    }
    std::optional<std::string> value;
    const std::size_t eq = name.find('=');
    if (name.rfind("--select", 0) == 0 || name.rfind("--jobs", 0) == 0) {
      if (eq != std::string::npos) {
        value = name.substr(eq + 1);
        name = name.substr(0, eq);
      }
    }
    if (name != "--select" && name != "--jobs") {
      rest.push_back(args[i]);
      continue;
    }
    if (!value) {
      if (i + 1 >= args.size()) {
        error = name + " needs a value";
        return false;
      }
      value = args[++i];
    }
    if (name == "--jobs") {
      unsigned jobs = 0;
      const auto r = std::from_chars(value->data(), value->data() + value->size(), jobs);
      if (r.ec != std::errc{} || r.ptr != value->data() + value->size() || jobs < 1 || jobs > 256) {
        error = "--jobs needs a number of workers from 1 to 256: " + *value;
        return false;
      }
      parsed.jobs = jobs;
      continue;
    }
    selected = true;
    parsed.ticked.fill(false);
    std::size_t start = 0;
    while (start <= value->size()) {
      const std::size_t comma = std::min(value->find(',', start), value->size());
      const std::string header = value->substr(start, comma - start);
      const int index = ResultsVariableIndex(header);
      if (index < 0) {
        error = "--select: unknown results variable \"" + header + "\"";
        return false;
      }
      parsed.ticked[static_cast<std::size_t>(index)] = true;
      start = comma + 1;
    }
  }
  if (!selected) parsed.ticked.fill(true);

  const OptionsParse parse = ParseAnalyseOptions(rest, true);
  if (!parse.ok) {
    error = parse.error;
    return false;
  }
  parsed.options = parse.options;
  AnalyseOptions& o = parsed.options;
  if (o.fromSeconds || o.toSeconds || o.mass || o.massFromForce || o.json || o.csv) {
    error =
        "--from, --to, --mass, --mass-from-force, --json and --csv do not apply to batch: "
        "every file is analysed whole, with the mass from its force when force was recorded";
    return false;
  }
  if (o.files.size() != 1) {
    error = o.files.empty() ? "no folder given" : "one folder at a time";
    return false;
  }
  if (!o.output) {
    error = "-o OUT.xlsx or -o OUT.csv is required";
    return false;
  }
  if (!EndsWithIgnoringCase(*o.output, ".xlsx") && !EndsWithIgnoringCase(*o.output, ".csv")) {
    error = "the results file must end in .xlsx or .csv: " + *o.output;
    return false;
  }
  // What "Next" does: the whole trial, the mass from the force.
  o.massFromForce = true;
  return true;
}

void ShowProgress(Io& io, std::size_t done, std::size_t total) {
  io.err << "\rtorvane-cli batch: " << done << " of " << total << " files" << std::flush;
}

}  // namespace

int RunBatch(Args args, Io& io) {
  if (AsksForHelp(args)) {
    io.out << kBatchUsage;
    return 0;
  }
  BatchArguments parsed;
  std::string error;
  if (!ParseBatchArguments(args, parsed, error)) {
    io.err << "torvane-cli batch: " << OneLineText(error) << "\n" << kBatchUsage;
    return 2;
  }
  const AnalyseOptions& options = parsed.options;
  SettingsRecord base;
  std::string warning;
  if (!LoadPipelineSettings(base, options, error, &warning)) {
    io.err << "torvane-cli batch: " << OneLineText(error) << "\n";
    return 2;
  }
  if (!warning.empty()) io.err << "torvane-cli batch: warning: " << OneLineText(warning) << "\n";
  const std::string& folder = options.files[0];
  if (!FolderExists(folder)) {
    io.err << "torvane-cli batch: " << OneLineText(folder) << ": not a folder that can be read\n";
    return 1;
  }
  const std::vector<std::string> names = TrialFilesInFolder(folder);
  if (names.empty()) {
    io.err << "torvane-cli batch: " << OneLineText(folder)
           << ": no trial files (*.qlx) to process\n";
    return 1;
  }
  // The results file is checked before any work: never one of the trials,
  // nor the configuration file, nor anything but a regular file.
  std::vector<std::string> inputs;
  inputs.reserve(names.size() + 1);
  for (const std::string& name : names) inputs.push_back(JoinPath(folder, name));
  if (options.configPath) inputs.push_back(*options.configPath);
  if (const std::optional<std::string> refusal = CheckOutputPath(*options.output, inputs)) {
    io.err << "torvane-cli batch: " << OneLineText(*refusal) << "\n";
    return 1;
  }

  BatchRunOptions run{.options = options, .jobs = parsed.jobs, .poll = {}};
  BatchProgress progress;
  if (io.errIsTerminal) {
    run.poll = [&] {
      ShowProgress(io, progress.filesDone.load(), names.size());
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
    };
  }
  const std::vector<BatchFileOutcome> outcomes =
      AnalyseBatchFiles(std::span(inputs.data(), names.size()), base, run, progress);
  if (run.poll) {
    ShowProgress(io, names.size(), names.size());
    io.err << "\n";
  }

  int status = 0;
  ResultsOutput results;
  const LocalDateTime today = SystemClock().Now();
  const bool workbook = EndsWithIgnoringCase(*options.output, ".xlsx");
  for (std::size_t i = 0; i < names.size(); ++i) {
    switch (WriteBatchRow(results, outcomes[i], parsed.ticked, today, workbook, parsed.quality)) {
      case BatchRowWritten::Skipped:
        io.err << "torvane-cli batch: " << OneLineText(outcomes[i].error) << " (skipped)\n";
        status = 1;
        break;
      case BatchRowWritten::WrittenCut:
        io.err << "torvane-cli batch: " << OneLineText(inputs[i])
               << ": warning: a text longer than a worksheet cell holds (" << kMaximumCellCharacters
               << " characters) was cut to fit\n";
        break;
      case BatchRowWritten::Written:
        break;
    }
  }
  const std::string failure = SaveResultsWorksheet(results.sheet, *options.output);
  if (!failure.empty()) {
    io.err << "torvane-cli batch: "
           << OneLineText("cannot write \"" + *options.output + "\": " + failure) << "\n";
    return 1;
  }
  return status;
}

}  // namespace torvane::cli
