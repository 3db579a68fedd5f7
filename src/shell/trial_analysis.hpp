#pragma once
// One trial file analysed as `analyse` and `batch` do it: the shared
// per-file pipeline, then the results run (twice with --frame-jump: the
// first finds the jump frame, the second analyses it).

#include <span>
#include <string>

#include "results/process_data.hpp"
#include "shell/trial_pipeline.hpp"

namespace torvane {

struct TrialAnalysis {
  TrialRun run;
  TrialResults results;
};

// `reader`: as for RunTrialPipeline.
TrialAnalysis AnalyseTrialFile(Session& session, const SettingsRecord& base,
                               const std::string& file, const AnalyseOptions& options,
                               TrialFileReader* reader = nullptr);

// Several files, each in its own session and read through its reader:
// analyses[k] is what AnalyseTrialFile gives for files[k]. The trials are
// read first, and the filters of their derivations run side by side
// (FilterPairsAhead), two trials in about the time of one.
void AnalyseTrialFiles(std::span<HeadlessSession* const> sessions, const SettingsRecord& base,
                       std::span<const std::string> files, const AnalyseOptions& options,
                       std::span<TrialAnalysis> analyses);

}  // namespace torvane
