#include "shell/report_session.hpp"

#include <string>

#include "common/paths.hpp"
#include "common/text_compare.hpp"
#include "squads/squad_table.hpp"
#include "torvane_version.hpp"

namespace torvane {

TrialReport SessionTrialReport(const Session& session, const TrialResults& results,
                               std::span<const QualityFlag> quality, const ReportChoices& choices) {
  const ReportInput input{
      .trial = session.trial,
      .settings = session.settings,
      .view = session.view,
      .results = results,
      .quality = quality,
      .athlete = AthleteOfTrial(session.trial, session.squad),
      .mode = choices.mode,
      .channel = choices.channel,
      .meanConcentricOnly = choices.meanConcentricOnly,
      .frameJump = choices.frameJump,
      .version = std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + "." +
                 std::to_string(kVersionRevision),
  };
  return BuildTrialReport(input);
}

std::string ReportFileName(const TrialDataSet& trial) {
  if (trial.DataFileName.empty()) return "Trial report.pdf";
  std::string name = FileNameOf(trial.DataFileName);
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name + ".pdf";
}

std::string WithReportExtension(std::string path) {
  const std::string_view name = path;
  if (name.size() < 4 || !EqualsIgnoreCase(name.substr(name.size() - 4), ".pdf")) path += ".pdf";
  return path;
}

}  // namespace torvane
