#include "cli/trial_analysis.hpp"

namespace torvane::cli {

TrialAnalysis AnalyseTrialFile(Session& session, const SettingsRecord& base,
                               const std::string& file, const AnalyseOptions& options,
                               TrialFileReader* reader) {
  TrialAnalysis analysis;
  const ResultsOptions plain{.frameJump = false, .meanConcentricOnly = options.meanConcentricOnly};
  const auto after = [&](Session& s) {
    analysis.results = ProcessData(s, plain);
    if (options.frameJump) {
      SetJumpFrameFromPhases(s.view, s.settings.frequency);
      ResultsOptions framed = plain;
      framed.frameJump = true;
      analysis.results = ProcessData(s, framed);
    }
  };
  analysis.run = RunTrialPipeline(session, base, file, options, after, reader);
  return analysis;
}

}  // namespace torvane::cli
