#pragma once
// One trial file analysed as `analyse` and `batch` do it: the shared
// per-file pipeline, then the results run (twice with --frame-jump: the
// first finds the jump frame, the second analyses it).

#include <span>
#include <string>
#include <vector>

#include "results/process_data.hpp"
#include "results/quality_flags.hpp"
#include "shell/trial_pipeline.hpp"

namespace torvane {

struct TrialAnalysis {
  TrialRun run;
  TrialResults results;
  // What the results cannot be trusted for (a trial read from a file has no
  // collection outcome, so only its data can show held samples).
  std::vector<QualityFlag> quality;
};

// The quality flags of the trial in memory and its results, derived in
// `mode`: with the samples its collection held, when it was collected
// rather than read.
std::vector<QualityFlag> SessionTrialQuality(const Session& session, const TrialResults& results,
                                             const CalculationMode& mode);

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
