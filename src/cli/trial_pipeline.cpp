#include "cli/trial_pipeline.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string_view>

#include "analysis/derivation.hpp"
#include "analysis/low_pass_filter.hpp"
#include "common/number_text.hpp"
#include "common/paths.hpp"
#include "common/text_file.hpp"
#include "config/data_folders.hpp"
#include "config/settings_io.hpp"
#include "config/settings_keys.hpp"
#include "files/text_fields.hpp"
#include "files/trial_file.hpp"
#include "results/process_data.hpp"
#include "shell/analysis_session.hpp"

namespace torvane::cli {

namespace {

std::optional<double> NumberArgument(std::string_view text) {
  std::size_t used = 0;
  const std::optional<double> value = ParseDouble(text, used);
  if (!value || used != text.size()) return std::nullopt;
  return value;
}

std::optional<ModeChoice> ModeNamed(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (upper == "AUTO") return ModeChoice::Auto;
  if (upper == "D") return ModeChoice::D;
  if (upper == "F") return ModeChoice::F;
  if (upper == "DF" || upper == "FD") return ModeChoice::DF;
  if (upper == "A") return ModeChoice::A;
  return std::nullopt;
}

OptionsParse Usage(std::string error) {
  OptionsParse r;
  r.error = std::move(error);
  return r;
}

}  // namespace

OptionsParse ParseAnalyseOptions(Args args, bool acceptOutput) {
  OptionsParse r;
  AnalyseOptions& o = r.options;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    // After "--" every argument is a file, even one that begins with "-".
    if (optionsEnded) {
      o.files.push_back(name);
      continue;
    }
    if (name == "--") {
      optionsEnded = true;
      continue;
    }
    std::optional<std::string> inlineValue;
    // "--option=value" is the same as "--option value".
    if (name.size() > 2 && name.compare(0, 2, "--") == 0) {
      const std::size_t eq = name.find('=');
      if (eq != std::string::npos) {
        inlineValue = name.substr(eq + 1);
        name = name.substr(0, eq);
      }
    }
    const auto value = [&]() -> std::optional<std::string> {
      if (inlineValue) return inlineValue;
      if (i + 1 >= args.size()) return std::nullopt;
      return args[++i];
    };
    const auto number = [&](const char* option) -> std::optional<double> {
      const std::optional<std::string> text = value();
      if (!text) {
        r.error = std::string(option) + " needs a value";
        return std::nullopt;
      }
      const std::optional<double> v = NumberArgument(*text);
      if (!v) r.error = std::string(option) + ": not a number: " + *text;
      return v;
    };
    const auto flag = [&](bool& target) {
      if (inlineValue) {
        r.error = name + " takes no value";
        return false;
      }
      target = true;
      return true;
    };

    if (name == "-o" || name == "--output") {
      if (!acceptOutput) return Usage("unknown option " + name);
      const std::optional<std::string> text = value();
      if (!text || text->empty()) return Usage(name + " needs a path");
      o.output = *text;
    } else if (name == "--config") {
      const std::optional<std::string> text = value();
      if (!text || text->empty()) return Usage("--config needs a path");
      o.configPath = *text;
    } else if (name == "--set") {
      const std::optional<std::string> text = value();
      if (!text) return Usage("--set needs KEY=VALUE");
      const std::size_t eq = text->find('=');
      if (eq == std::string::npos || eq == 0) return Usage("--set needs KEY=VALUE: " + *text);
      const std::string key = text->substr(0, eq);
      const std::string setting = text->substr(eq + 1);
      SettingsRecord probe;
      if (!SetSettingFromText(probe, key, setting)) {
        return Usage("--set: unknown setting " + key);
      }
      if (const std::string problem = SettingValueProblem(*FindSettingKey(key), setting);
          !problem.empty()) {
        return Usage("--set " + key + "=" + setting + ": " + problem);
      }
      o.settingOverrides.emplace_back(key, setting);
    } else if (name == "--mode") {
      const std::optional<std::string> text = value();
      if (!text) return Usage("--mode needs auto, D, F, DF or A");
      const std::optional<ModeChoice> mode = ModeNamed(*text);
      if (!mode) return Usage("--mode: unknown mode " + *text + " (auto, D, F, DF or A)");
      o.mode = *mode;
    } else if (name == "--from" || name == "--to") {
      const std::optional<double> t = number(name.c_str());
      if (!t) return Usage(r.error);
      if (*t < 0) return Usage(name + ": a time cannot be negative");
      (name == "--from" ? o.fromSeconds : o.toSeconds) = *t;
    } else if (name == "--mass") {
      const std::optional<double> m = number("--mass");
      if (!m) return Usage(r.error);
      if (!(*m > 0)) return Usage("--mass must be greater than zero kilograms");
      o.mass = *m;
    } else if (name == "--reverse") {
      if (!flag(o.reverse)) return Usage(r.error);
    } else if (name == "--mass-from-force") {
      if (!flag(o.massFromForce)) return Usage(r.error);
    } else if (name == "--mean-concentric-only") {
      if (!flag(o.meanConcentricOnly)) return Usage(r.error);
    } else if (name == "--frame-jump") {
      if (!flag(o.frameJump)) return Usage(r.error);
    } else if (name == "--json") {
      if (!flag(o.json)) return Usage(r.error);
    } else if (name == "--csv") {
      if (!flag(o.csv)) return Usage(r.error);
    } else if (name == "-") {
      o.files.push_back(name);
    } else if (!name.empty() && name[0] == '-') {
      return Usage("unknown option " + args[i]);
    } else {
      o.files.push_back(args[i]);
    }
  }
  if (o.fromSeconds && o.toSeconds && *o.fromSeconds > *o.toSeconds) {
    return Usage("--from is later than --to");
  }
  if (o.json && o.csv) return Usage("--json and --csv cannot be given together");
  r.ok = true;
  return r;
}

bool LoadPipelineSettings(SettingsRecord& settings, const AnalyseOptions& options,
                          std::string& error, std::string* warning) {
  const std::vector<std::string> folders = DataFolderCandidates();
  if (options.configPath) {
    const std::string& path = *options.configPath;
    const FileReadResult probe = ReadWholeFile(path, std::size_t{16} << 20);
    if (!probe.ok) {
      error = "cannot read the configuration file \"" + path + "\": " + probe.error;
      return false;
    }
    // An empty file stands for the defaults; one with text but no key is
    // likely not a configuration file at all.
    const bool blank = probe.bytes.find_first_not_of(" \t\r\n") == std::string::npos;
    if (warning && !blank && !HoldsSettingKeys(path)) {
      *warning = "the configuration file \"" + path +
                 "\" holds none of the settings keys: the defaults are used";
    }
    LoadSettingsReadOnly(settings, path, FolderOf(path));
  } else {
    std::string path;
    std::string folder = folders.empty() ? std::string() : folders[0];
    for (const std::string& candidate : folders) {
      const std::string config = JoinPath(candidate, kConfigFileName);
      if (FileExists(config)) {
        path = config;
        folder = candidate;
        break;
      }
    }
    // Without a configuration file every key reads as its default.
    LoadSettingsReadOnly(settings, path, folder);
  }
  for (const auto& [key, value] : options.settingOverrides) {
    if (!SetSettingFromText(settings, key, value)) {
      error = "--set: unknown setting " + key;
      return false;
    }
  }
  return true;
}

ModeChoice ResolveMode(ModeChoice choice, const Session& session) {
  if (choice != ModeChoice::Auto) return choice;
  if (!session.settings.RecordForce) return ModeChoice::D;
  const std::vector<float>& d = session.trial.Displacement;
  const std::size_t n =
      std::min(d.size(), static_cast<std::size_t>(std::max(0, session.settings.samples)));
  const bool moves = n > 0 && std::any_of(d.begin(), d.begin() + static_cast<std::ptrdiff_t>(n),
                                          [&](float v) { return v != d[0]; });
  return moves ? ModeChoice::DF : ModeChoice::F;
}

CalculationMode ModeBoxes(ModeChoice mode, bool reverse) {
  CalculationMode boxes;
  boxes.fromDisplacement = mode == ModeChoice::D || mode == ModeChoice::DF;
  boxes.fromForce = mode == ModeChoice::F || mode == ModeChoice::DF;
  boxes.fromAcceleration = mode == ModeChoice::A;
  // The window disables "reverse integrate" while D is ticked.
  boxes.reverseIntegrate = reverse && !boxes.fromDisplacement;
  return boxes;
}

const char* ModeName(ModeChoice mode) {
  switch (mode) {
    case ModeChoice::Auto:
      return "auto";
    case ModeChoice::D:
      return "D";
    case ModeChoice::F:
      return "F";
    case ModeChoice::DF:
      return "DF";
    case ModeChoice::A:
      return "A";
  }
  return "auto";
}

TrialRun RunTrialPipeline(Session& session, const SettingsRecord& base, const std::string& file,
                          const AnalyseOptions& options, const AfterDerivation& after,
                          TrialFileReader* reader) {
  const TrialRun run = StartTrialPipeline(session, base, file, options, reader);
  if (run.ok) FinishTrialPipeline(session, run, options, after);
  return run;
}

TrialRun StartTrialPipeline(Session& session, const SettingsRecord& base, const std::string& file,
                            const AnalyseOptions& options, TrialFileReader* reader) {
  TrialRun run;
  session.settings = base;
  // Nothing of the previous file may reach this one: not its phases (a run
  // keeps the phase times it does not find) and not its athlete.
  ResetPhaseTimes(session.view);
  session.squad.Current() = SquadMember{};
  TrialReadResult plainRead;
  const TrialFileContext files = TrialFileContextOf(session);
  const TrialReadResult& read =
      reader ? reader->Read(files, file) : (plainRead = ReadTrialFile(files, file));
  if (!read.ok()) {
    // Messages of the reader itself name the file; the fixed messages do not.
    run.error =
        read.status == TrialReadStatus::Unreadable ? read.message : file + ": " + read.message;
    return run;
  }
  SettingsRecord& s = session.settings;
  if (read.trial.displacement.size() < 2) {
    run.error = file + ": fewer than two data lines";
    return run;
  }
  if (s.frequency <= 0) {
    run.error = file + ": the sample frequency is not above 0 Hz";
    return run;
  }
  if (!(s.weight > 0.0f)) s.weight = 10.0f;
  if (options.mass) s.weight = static_cast<float>(*options.mass);

  if (s.forceFc >= 1.0f) {
    LowPassFilter(s.samples, session.trial.Force, static_cast<float>(s.frequency), s.forceFc);
  }

  const std::int32_t last = std::max(s.samples - 1, 0);
  const auto sampleAt = [&](double seconds) {
    return std::clamp(ToInt32(seconds * s.frequency), 0, last);
  };
  AnalysisView& view = session.view;
  view.ViewStart = 0;
  view.ViewEnd = last;
  view.Marker1Sample = options.fromSeconds ? sampleAt(*options.fromSeconds) : 0;
  view.Marker2Sample = options.toSeconds ? sampleAt(*options.toSeconds) : last;
  view.AnalysisStart = view.Marker1Sample;
  view.AnalysisEnd = view.Marker2Sample;
  view.JumpFrameStartSample = 0;
  view.JumpFrameEndSample = last;

  run.mode = ResolveMode(options.mode, session);
  run.boxes = ModeBoxes(run.mode, options.reverse);
  run.ok = true;
  return run;
}

void FinishTrialPipeline(Session& session, const TrialRun& run, const AnalyseOptions& options,
                         const AfterDerivation& after) {
  // The mass comes from the force only when force was recorded: a trial
  // without it holds no force yet, and its mass would become 10 kg.
  if (options.massFromForce && session.settings.RecordForce) {
    SetMassFromForce(session.trial, session.settings, session.view, run.boxes, after);
  } else {
    ReCalculate(session.trial, session.settings, run.boxes, after);
  }
}

std::optional<PairFilterJob> PipelineFilterJob(const Session& session, const TrialRun& run) {
  if (!run.ok) return std::nullopt;
  // Setting the mass changes nothing that the filters see.
  switch (ReCalculateRoute(run.boxes, session.trial.FileKind)) {
    case DerivationRoute::PowerFromForce:
    case DerivationRoute::ForceFromDisplacement:
      return DisplacementFilterJob(session.trial, session.settings);
    default:
      return std::nullopt;
  }
}

}  // namespace torvane::cli
