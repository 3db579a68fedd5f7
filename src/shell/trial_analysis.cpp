#include "shell/trial_analysis.hpp"

#include <optional>
#include <vector>

#include "analysis/low_pass_filter.hpp"

namespace torvane {

namespace {

// The results run after the derivation of the session's trial: twice with
// --frame-jump (the first finds the jump frame, the second analyses it).
AfterDerivation ResultsInto(Session& s, TrialAnalysis& analysis, const AnalyseOptions& options) {
  return [&s, &analysis, &options] {
    const ResultsOptions plain{.frameJump = false,
                               .meanConcentricOnly = options.meanConcentricOnly};
    analysis.results = ProcessData(ResultsInputOf(s.trial, s.settings), s.view, plain);
    if (options.frameJump) {
      SetJumpFrameFromPhases(s.view, s.settings.frequency);
      ResultsOptions framed = plain;
      framed.frameJump = true;
      analysis.results = ProcessData(ResultsInputOf(s.trial, s.settings), s.view, framed);
    }
  };
}

}  // namespace

std::vector<QualityFlag> SessionTrialQuality(const Session& session, const TrialResults& results,
                                             const CalculationMode& mode) {
  const std::uint64_t held = session.trial.DataCollected ? session.collection.frames.held : 0;
  const bool reverse =
      ReCalculateRoute(mode, session.trial.FileKind) == DerivationRoute::IntegrateForceReverse;
  return AssessTrialQuality(
      QualityInputOf(session.trial, session.settings, session.view, results, held, reverse));
}

TrialAnalysis AnalyseTrialFile(Session& session, const SettingsRecord& base,
                               const std::string& file, const AnalyseOptions& options,
                               TrialFileReader* reader) {
  TrialAnalysis analysis;
  analysis.run = RunTrialPipeline(session, base, file, options,
                                  ResultsInto(session, analysis, options), reader);
  if (analysis.run.ok) {
    analysis.quality = SessionTrialQuality(session, analysis.results, analysis.run.boxes);
  }
  return analysis;
}

void AnalyseTrialFiles(std::span<HeadlessSession* const> sessions, const SettingsRecord& base,
                       std::span<const std::string> files, const AnalyseOptions& options,
                       std::span<TrialAnalysis> analyses) {
  const std::size_t count = std::min({sessions.size(), files.size(), analyses.size()});
  thread_local std::vector<PairFilterJob> jobs;
  jobs.clear();
  for (std::size_t k = 0; k < count; ++k) {
    HeadlessSession& headless = *sessions[k];
    analyses[k] = TrialAnalysis{};
    analyses[k].run =
        StartTrialPipeline(headless.session(), base, files[k], options, &headless.reader());
    if (const std::optional<PairFilterJob> job =
            PipelineFilterJob(headless.session(), analyses[k].run)) {
      jobs.push_back(*job);
    }
  }
  // Only worth it for at least two: they then run side by side.
  if (jobs.size() >= 2) FilterPairsAhead(jobs);
  for (std::size_t k = 0; k < count; ++k) {
    if (!analyses[k].run.ok) continue;
    Session& session = sessions[k]->session();
    FinishTrialPipeline(session, analyses[k].run, options,
                        ResultsInto(session, analyses[k], options));
    analyses[k].quality = SessionTrialQuality(session, analyses[k].results, analyses[k].run.boxes);
  }
}

}  // namespace torvane
