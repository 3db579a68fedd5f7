// torvane-cli recover FILE -o TRIAL.qlx: the trial a recovery file holds
// (a collection of the desktop program or of record that was killed, or
// lost its power, before it ended), processed as the collection would have
// processed it and saved as a version 2 trial file. The trial file has no
// field for how a collection ended: that it was cut short is said on
// stderr. Exit 0 when a trial was saved, 1 when nothing could be recovered
// or saved, 2 for a usage error.
#include <sys/stat.h>

#include <ostream>
#include <string_view>

#include "acquisition/collection_recovery.hpp"
#include "cli/commands.hpp"
#include "cli/output_checks.hpp"
#include "cli/unit_link.hpp"
#include "common/number_text.hpp"
#include "common/text_file.hpp"
#include "files/trial_file.hpp"
#include "shell/acquisition_session.hpp"
#include "shell/analysis_session.hpp"
#include "shell/trial_pipeline.hpp"

namespace torvane::cli {

namespace {

constexpr std::string_view kRecoverUsage =
    "usage: torvane-cli recover FILE -o TRIAL.qlx [--config PATH] [--set KEY=VALUE]...\n";

int Usage(Io& io, const std::string& problem) {
  io.err << "torvane-cli recover: " << OneLineText(problem) << "\n" << kRecoverUsage;
  return 2;
}

bool IsRegularFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

int RunRecover(Args args, Io& io) {
  std::string file, output, config;
  std::vector<std::pair<std::string, std::string>> overrides;
  bool filesOnly = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (!filesOnly && a == "--") {
      filesOnly = true;
    } else if (!filesOnly && (a == "--help" || a == "-h")) {
      io.out << kRecoverUsage;
      return 0;
    } else if (!filesOnly && (a == "-o" || a == "--output" || a == "--config" || a == "--set")) {
      if (i + 1 >= args.size()) return Usage(io, "option " + a + " needs a value");
      const std::string& v = args[++i];
      if (a == "--config") {
        config = v;
      } else if (a == "--set") {
        const std::size_t eq = v.find('=');
        if (eq == std::string::npos || eq == 0) return Usage(io, "--set needs KEY=VALUE");
        overrides.emplace_back(v.substr(0, eq), v.substr(eq + 1));
      } else {
        output = v;
      }
    } else if (!filesOnly && a.size() > 1 && a[0] == '-') {
      return Usage(io, "unknown option " + a);
    } else if (!file.empty()) {
      return Usage(io, "one recovery file at a time");
    } else {
      file = a;
    }
  }
  if (file.empty()) return Usage(io, "no recovery file given");
  if (output.empty()) return Usage(io, "-o is required");
  if (output == "-") return Usage(io, "the trial cannot be written to standard output");

  HeadlessSession headless;
  Session& session = headless.session();
  if (const std::string problem =
          LoadUnitCommandSettings(session.settings, config, overrides, "recover", io.err);
      !problem.empty()) {
    return Usage(io, problem);
  }
  if (!IsRegularFile(file)) {
    io.err << "torvane-cli recover: " << OneLineText("\"" + file + "\" is not a regular file")
           << "\n";
    return 1;
  }
  if (const std::optional<std::string> refused = CheckOutputPath(output, {file, config})) {
    io.err << "torvane-cli recover: " << OneLineText(*refused) << "\n";
    return 1;
  }
  const RecoveredSamples recovered = ReadRecoveryFile(file);
  if (!recovered.ok()) {
    io.err << "torvane-cli recover: " << OneLineText(recovered.message) << "\n";
    return 1;
  }
  if (!RestoreRecoveredTrial(CollectionContextOf(session), recovered)) {
    io.err << "torvane-cli recover: " << OneLineText(file) << ": too many samples to hold\n";
    return 1;
  }
  session.trial.DataFileName = output;
  if (SaveTrialFile(TrialFileContextOf(session), 0) != SaveOutcome::Saved) {
    for (const ScriptedDialogs::Shown& shown : headless.dialogs().shown) {
      io.err << "torvane-cli recover: " << OneLineText(shown.text) << "\n";
    }
    return 1;
  }
  const SettingsRecord& s = session.settings;
  io.err << "recovered " << s.samples << " samples; the collection was cut short";
  if (recovered.droppedBytes > 0) {
    io.err << " (" << recovered.droppedBytes
           << " bytes of a last block that was not written whole were dropped)";
  }
  io.err << "\n";
  io.out << "Recovered " << s.samples << " samples at " << s.frequency << " Hz ("
         << FormatNumber(s.frequency > 0 ? static_cast<double>(s.samples) / s.frequency : 0.0,
                         "0.00")
         << " s), mass " << FormatNumber(s.weight, "0.000") << " kg, to " << output << "\n";
  return 0;
}

}  // namespace torvane::cli
