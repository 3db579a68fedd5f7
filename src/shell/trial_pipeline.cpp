#include "shell/trial_pipeline.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string_view>

#include "analysis/derivation.hpp"
#include "analysis/low_pass_filter.hpp"
#include "batch/batch_processing.hpp"
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

namespace torvane {

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
  return ModeChoiceOf(AutoCalculationMode(session.trial, session.settings));
}

ModeChoice ModeChoiceOf(const CalculationMode& boxes) {
  if (boxes.fromAcceleration) return ModeChoice::A;
  if (boxes.fromDisplacement) return boxes.fromForce ? ModeChoice::DF : ModeChoice::D;
  return boxes.fromForce ? ModeChoice::F : ModeChoice::D;
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

TrialRun ReadPipelineTrial(Session& session, const SettingsRecord& base, const std::string& file,
                           const AnalyseOptions& options, TrialFileReader* reader) {
  TrialRun run;
  session.settings = base;
  // Nothing of the previous file may reach this one: not its phases (a run
  // keeps the phase times it does not find) and not its athlete.
  ResetPhaseTimes(session.view);
  session.squad.Current() = options.athlete;
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
  run.ok = true;
  return run;
}

TrialRun StartTrialPipeline(Session& session, const SettingsRecord& base, const std::string& file,
                            const AnalyseOptions& options, TrialFileReader* reader) {
  TrialRun run = ReadPipelineTrial(session, base, file, options, reader);
  if (!run.ok) return run;
  SettingsRecord& s = session.settings;
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

}  // namespace torvane
