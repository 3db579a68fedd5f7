#pragma once
// The three forms in which `analyse` prints a trial's results: one JSON
// object per line, CSV rows, or a readable table.

#include <string>

#include "shell/trial_analysis.hpp"

namespace torvane::cli {

// A number as JSON: the shortest text that reads back as the same double;
// null when it is not finite.
void AppendJsonNumber(std::string& out, double value);
void AppendJsonString(std::string& out, std::string_view text);

// {"file": …, "kind": …, …, "phases": {…}, "results": {…}} and a line end.
std::string AnalyseJsonLine(const std::string& file, const Session& session,
                            const TrialAnalysis& analysis);

// "file" and the 33 headers; then per file its path and the 33 texts.
std::string AnalyseCsvHeader();
std::string AnalyseCsvRow(const std::string& file, const TrialAnalysis& analysis);

std::string AnalyseTable(const std::string& file, const Session& session,
                         const TrialAnalysis& analysis);

}  // namespace torvane::cli
