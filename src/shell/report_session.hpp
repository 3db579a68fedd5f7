#pragma once
// The trial report of the trial in memory, as File → Report… and
// `torvane-cli report` make it.

#include <span>

#include "report/trial_report.hpp"
#include "shell/session.hpp"

namespace torvane {

struct ReportChoices {
  ShownChannel channel = ShownChannel::Force;
  CalculationMode mode;
  bool meanConcentricOnly = false;
  bool frameJump = false;
};

// The report of the session's trial, settings and markers with the results
// of its last run and their quality flags. The athlete is the trial's own,
// else the squad's selected one.
TrialReport SessionTrialReport(const Session& session, const TrialResults& results,
                               std::span<const QualityFlag> quality, const ReportChoices& choices);

inline constexpr const char* kReportDialogFilter =
    "PDF documents (*.pdf)|*.pdf|All Files (*.*)|*.*";

// "<trial name>.pdf" for the save dialog ("Trial report.pdf" for a trial
// not saved).
std::string ReportFileName(const TrialDataSet& trial);
// The path chosen in the save dialog, with ".pdf" added unless it ends in
// it (in any case).
std::string WithReportExtension(std::string path);

}  // namespace torvane
