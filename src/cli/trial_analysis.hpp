#pragma once
// One trial file analysed as `analyse` and `batch` do it: the shared
// per-file pipeline, then the results run (twice with --frame-jump: the
// first finds the jump frame, the second analyses it).

#include <string>

#include "cli/trial_pipeline.hpp"
#include "results/process_data.hpp"

namespace torvane::cli {

struct TrialAnalysis {
  TrialRun run;
  TrialResults results;
};

// `reader`: as for RunTrialPipeline.
TrialAnalysis AnalyseTrialFile(Session& session, const SettingsRecord& base,
                               const std::string& file, const AnalyseOptions& options,
                               TrialFileReader* reader = nullptr);

}  // namespace torvane::cli
