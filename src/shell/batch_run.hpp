#pragma once
// A folder's trial files analysed on several cores into results rows, as
// torvane-cli batch and the results window's "Process all" do it: each file
// as "Next" would load it (the whole trial, the mass from its force when
// force was recorded), every file from the same settings, the rows in name
// order whatever worker analysed which file.

#include <atomic>
#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "results/results_worksheet.hpp"
#include "shell/trial_pipeline.hpp"

namespace torvane {

struct BatchFileOutcome {
  bool analysed = false;  // false for a file left when the run was cancelled
  bool ok = false;
  std::string error;  // one line naming the file, when analysed and refused
  ResultsRowIdentity identity;
  ResultsTexts texts;
  std::string qualityCodes;  // the codes of its quality flags, "; " between them
};

// Shared between the run and whoever watches it from another thread.
struct BatchProgress {
  std::atomic<std::size_t> filesDone{0};
  // Set to stop: files not yet taken by a worker are left unanalysed.
  std::atomic<bool> cancel{false};
};

// The options of a batch run: `options` as for AnalyseTrialFile (massFromForce
// is forced on, since "Next" takes the mass from the force); `jobs` workers,
// 0 for one per core; `poll`, when given, runs on the calling thread every
// so often while the workers run (it is the caller's to wait a little in
// it). With one worker and no `poll` the files are analysed on the calling
// thread.
struct BatchRunOptions {
  AnalyseOptions options;
  unsigned jobs = 0;
  std::function<void()> poll;
};

// The outcome of every file of `paths`, in the same order.
std::vector<BatchFileOutcome> AnalyseBatchFiles(std::span<const std::string> paths,
                                                const SettingsRecord& base,
                                                const BatchRunOptions& run,
                                                BatchProgress& progress);

enum class BatchRowWritten { Skipped, Written, WrittenCut };

// Appends the row of one outcome (a refused or unanalysed file writes none).
// With `fitToCells` (a workbook) a text no cell can hold is cut so that one
// damaged file never costs the whole workbook: WrittenCut says so. With
// `quality` the row ends in one more column, headed "Quality", holding the
// codes of the file's quality flags ("" when clean).
inline constexpr const char* kQualityColumnHeader = "Quality";
BatchRowWritten WriteBatchRow(ResultsOutput& output, const BatchFileOutcome& outcome,
                              const ResultsTicks& ticked, const LocalDateTime& today,
                              bool fitToCells, bool quality = false);

}  // namespace torvane
