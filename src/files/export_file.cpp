#include "files/export_file.hpp"

#include <algorithm>
#include <optional>

#include "common/date_text.hpp"
#include "common/number_text.hpp"
#include "common/text_file.hpp"
#include "files/save_path_choice.hpp"

namespace torvane {

ExportOutcome ExportTrialFile(const TrialFileContext& files, const FileDialogRequest& saveDialog) {
  const std::optional<std::string> chosen =
      ChooseSavePath(files.dialogs, saveDialog, "Overwrite existing export file");
  if (!chosen) return ExportOutcome::Cancelled;
  const std::string& path = *chosen;
  const std::string failure =
      WriteFileReplacing(path, ExportFileText(files.trial, files.settings, files.clock.Now()));
  if (!failure.empty()) {
    const std::string message =
        "The export could not be written to \"" + path + "\": " + failure + ".";
    files.status.AddStatusMessage(message);
    files.dialogs.ShowMessage(MessageIcon::Critical, "Export file not written", message);
    return ExportOutcome::Failed;
  }
  return ExportOutcome::Written;
}

std::string ExportFileText(const TrialDataSet& trial, const SettingsRecord& settings,
                           const LocalDateTime& now) {
  std::string out = kExportFileTitle;
  out += "\r\n";
  std::string line = LongDateText(now);
  PadToNextPrintZone(line);
  line += TimeAmPmText(now);
  PadToNextPrintZone(line);
  line += "Mass: " + ShortNumericText(static_cast<double>(settings.weight)) + " kg";
  out += Utf8ToCp1252(line);
  out += "\r\n";
  out += kExportColumnHeader;
  out += "\r\n";

  std::size_t lines = settings.samples > 0 ? static_cast<std::size_t>(settings.samples) : 0;
  for (const auto* channel :
       {&trial.Displacement, &trial.Velocity, &trial.Acceleration, &trial.Force, &trial.Power}) {
    lines = std::min(lines, channel->size());
  }
  const NumberPattern timePattern = ParseNumberPattern("0.000");
  // Without a sample frequency there is no time: the column then reads 0.000.
  const double frequency = settings.frequency > 0 ? settings.frequency : 0.0;
  out.reserve(out.size() + lines * 64);
  for (std::size_t i = 0; i < lines; ++i) {
    AppendFormatted(out, frequency > 0 ? static_cast<double>(i) / frequency : 0.0, timePattern);
    for (const auto* channel :
         {&trial.Displacement, &trial.Velocity, &trial.Acceleration, &trial.Force, &trial.Power}) {
      out.push_back(',');
      AppendGeneralSingleText(out, (*channel)[i]);
    }
    out += "\r\n";
  }
  return out;
}

}  // namespace torvane
