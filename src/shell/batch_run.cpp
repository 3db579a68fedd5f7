#include "shell/batch_run.hpp"

#include <algorithm>
#include <thread>

#include "batch/batch_processing.hpp"
#include "shell/trial_analysis.hpp"

namespace torvane {

namespace {

void Keep(const Session& session, TrialAnalysis& analysis, BatchFileOutcome& outcome) {
  outcome.analysed = true;
  outcome.ok = analysis.run.ok;
  if (!outcome.ok) {
    outcome.error = std::move(analysis.run.error);
    return;
  }
  outcome.identity = ResultsRowIdentityOf(AthleteOfTrial(session.trial, session.squad),
                                          session.settings, session.trial);
  outcome.texts = std::move(analysis.results.texts);
  outcome.qualityCodes = QualityCodes(analysis.quality);
}

}  // namespace

std::vector<BatchFileOutcome> AnalyseBatchFiles(std::span<const std::string> paths,
                                                const SettingsRecord& base,
                                                const BatchRunOptions& run,
                                                BatchProgress& progress) {
  AnalyseOptions options = run.options;
  options.massFromForce = true;
  // Each worker takes two files at a time, each into a session of its own,
  // so that their filters run side by side; every file starts from the
  // same settings, so the rows do not depend on which worker read which
  // file, nor with which other file.
  constexpr std::size_t kFilesTogether = 2;
  std::vector<BatchFileOutcome> outcomes(paths.size());
  std::atomic<std::size_t> nextFile{0};
  const auto work = [&] {
    HeadlessSession headless[kFilesTogether];
    HeadlessSession* const sessions[kFilesTogether] = {&headless[0], &headless[1]};
    TrialAnalysis analyses[kFilesTogether];
    for (;;) {
      if (progress.cancel.load()) return;
      const std::size_t first = nextFile.fetch_add(kFilesTogether);
      if (first >= paths.size()) return;
      const std::size_t count = std::min(kFilesTogether, paths.size() - first);
      AnalyseTrialFiles(std::span(sessions, count), base, paths.subspan(first, count), options,
                        std::span(analyses, count));
      for (std::size_t k = 0; k < count; ++k) {
        Keep(headless[k].session(), analyses[k], outcomes[first + k]);
      }
      progress.filesDone.fetch_add(count);
    }
  };
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  const auto jobs = static_cast<std::size_t>(std::min<std::size_t>(
      run.jobs ? run.jobs : cores, (paths.size() + kFilesTogether - 1) / kFilesTogether));
  if (jobs <= 1 && !run.poll) {
    work();
    return outcomes;
  }
  std::atomic<std::size_t> working{jobs};
  std::vector<std::thread> workers;
  for (std::size_t j = 0; j < jobs; ++j) {
    workers.emplace_back([&] {
      work();
      working.fetch_sub(1);
    });
  }
  while (run.poll && working.load() > 0) run.poll();
  for (std::thread& worker : workers) worker.join();
  return outcomes;
}

BatchRowWritten WriteBatchRow(ResultsOutput& output, const BatchFileOutcome& outcome,
                              const ResultsTicks& ticked, const LocalDateTime& today,
                              bool fitToCells, bool quality) {
  if (!outcome.ok) return BatchRowWritten::Skipped;
  const std::int32_t rowBefore = output.ResultsRow;
  WriteResultsRow(output, outcome.identity, ticked, outcome.texts, today);
  if (quality) {
    // After the identity columns and the ticked variables.
    const int column = 5 + static_cast<int>(std::count(ticked.begin(), ticked.end(), true));
    const int row = output.ResultsRow - 1;
    // A header block was written before this row: its header row gets the heading.
    if (row - rowBefore > 1) output.sheet.SetText(row - 1, column, kQualityColumnHeader);
    output.sheet.SetText(row, column, outcome.qualityCodes);
  }
  if (fitToCells && output.sheet.FitRowToCells(output.ResultsRow - 1) > 0) {
    return BatchRowWritten::WrittenCut;
  }
  return BatchRowWritten::Written;
}

}  // namespace torvane
