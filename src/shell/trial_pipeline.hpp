#pragma once
// One trial file analysed without a window, as torvane-cli's `analyse`,
// `export` and `batch` and the results window's "Process all" do it: their
// options, the settings they read (never write), a session without a
// window, and the steps that turn one trial file into a derived trial, as
// the analysis window does after loading a file.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "analysis/low_pass_filter.hpp"
#include "analysis/recalculate.hpp"
#include "common/clock.hpp"
#include "common/fake_event_loop.hpp"
#include "common/user_dialogs.hpp"
#include "config/settings_record.hpp"
#include "files/trial_file.hpp"
#include "shell/session.hpp"

namespace torvane {

enum class ModeChoice { Auto, D, F, DF, A };

struct AnalyseOptions {
  std::vector<std::string> files;
  std::optional<std::string> output;  // -o: export and batch only
  std::optional<std::string> configPath;
  std::vector<std::pair<std::string, std::string>> settingOverrides;  // --set, in order
  ModeChoice mode = ModeChoice::Auto;
  bool reverse = false;
  std::optional<double> fromSeconds;
  std::optional<double> toSeconds;
  std::optional<double> mass;
  bool massFromForce = false;
  bool meanConcentricOnly = false;
  bool frameJump = false;
  bool json = false;
  bool csv = false;
  // The athlete a results row names when its file names none (the results
  // window's selected squad athlete; nobody for torvane-cli).
  SquadMember athlete;
};

// The settings: the file of --config, else the program's configuration file
// in its data folder, else the built-in defaults; then the --set overrides.
// Nothing is ever written. False (with the reason) when --config names a
// file that cannot be read or is not a regular file; `warning`, when given,
// is set when the file holds text but none of the settings keys.
bool LoadPipelineSettings(SettingsRecord& settings, const AnalyseOptions& options,
                          std::string& error, std::string* warning = nullptr);

// A session for a program without windows: the real clock, simulated
// timers, and dialogs that nobody answers; and a reader for the trial files
// it works through one after another.
class HeadlessSession {
 public:
  HeadlessSession() = default;
  HeadlessSession(const HeadlessSession&) = delete;
  HeadlessSession& operator=(const HeadlessSession&) = delete;
  Session& session() { return session_; }
  ScriptedDialogs& dialogs() { return dialogs_; }
  TrialFileReader& reader() { return reader_; }

 private:
  SystemClock clock_;
  FakeEventLoop loop_;
  ScriptedDialogs dialogs_;
  Session session_{PlatformServices{clock_, loop_, loop_, dialogs_}};
  TrialFileReader reader_;
};

// The calculation mode `auto` stands for, given the trial read: DF with
// force and a displacement that moves, F with force and a constant
// displacement (a force platform alone), D without force.
ModeChoice ResolveMode(ModeChoice choice, const Session& session);
CalculationMode ModeBoxes(ModeChoice mode, bool reverse);
// The mode the analysis window's boxes stand for (their reverse box aside).
ModeChoice ModeChoiceOf(const CalculationMode& boxes);
const char* ModeName(ModeChoice mode);

struct TrialRun {
  bool ok = false;
  std::string error;  // one line naming the file, when !ok
  ModeChoice mode = ModeChoice::D;
  CalculationMode boxes;
};

// One file: the settings start again from `base`, the phase times from 0
// and the athlete from options.athlete (a file that names one replaces it); the file is read (a
// training file, an unreadable file, fewer than two data lines or a
// frequency <= 0 are refused); a mass <= 0 becomes 10 kg and --mass replaces
// it; the force is filtered at forceFc when that is >= 1.0; the markers and
// the analysis range are set (--from/--to, else the whole trial); then the
// mass is taken from the force (--mass-from-force, and only when force was
// recorded) or not, and ReCalculate runs, followed by `after`. The file is
// read through `reader` when one is given (a session that works through
// many files; `after` must then leave the trial arrays alone), else by
// ReadTrialFile: the outcome is the same.
TrialRun RunTrialPipeline(Session& session, const SettingsRecord& base, const std::string& file,
                          const AnalyseOptions& options, const AfterDerivation& after = {},
                          TrialFileReader* reader = nullptr);

// The first step of RunTrialPipeline alone: the settings from `base`, the
// file read and refused as RunTrialPipeline refuses it, the mass rule and
// --mass; the trial stays as the file holds it (nothing filtered, no range,
// no derivation). The training analysis reads trials this way.
TrialRun ReadPipelineTrial(Session& session, const SettingsRecord& base, const std::string& file,
                           const AnalyseOptions& options, TrialFileReader* reader = nullptr);

// RunTrialPipeline in two steps, for a caller that works on several trials
// side by side: StartTrialPipeline does everything before the mass and
// ReCalculate (and refuses what RunTrialPipeline refuses), and, when it
// succeeded, FinishTrialPipeline does the rest.
TrialRun StartTrialPipeline(Session& session, const SettingsRecord& base, const std::string& file,
                            const AnalyseOptions& options, TrialFileReader* reader = nullptr);
void FinishTrialPipeline(Session& session, const TrialRun& run, const AnalyseOptions& options,
                         const AfterDerivation& after = {});

// The filter pair that FinishTrialPipeline will run first, when its
// derivation starts from the displacement with both filters: it can be run
// ahead (FilterPairsAhead) together with that of another trial.
std::optional<PairFilterJob> PipelineFilterJob(const Session& session, const TrialRun& run);

}  // namespace torvane
