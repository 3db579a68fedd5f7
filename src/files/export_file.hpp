#pragma once
// The export file: the trial with every derived channel as comma-separated
// text for other programs. It is never read back.

#include <string>

#include "common/clock.hpp"
#include "common/user_dialogs.hpp"
#include "config/settings_record.hpp"
#include "files/trial_file_context.hpp"
#include "trial/trial_data_set.hpp"

namespace torvane {

inline constexpr const char* kExportFileTitle = "QLX Data Export File";
inline constexpr const char* kExportColumnHeader =
    "time,displacement,velocity,acceleration,force,power";

// The bytes of the export file (CR LF, Windows-1252): the title, the date,
// time and mass of `now`, the column header and one line per sample
// 0 … samples-1.
std::string ExportFileText(const TrialDataSet& trial, const SettingsRecord& settings,
                           const LocalDateTime& now);

enum class ExportOutcome { Written, Cancelled, Failed };

// The "Export Data" command: the save dialog as the last save set it up,
// the overwrite question ("Overwrite existing export file": Yes writes, No
// asks again, Cancel ends), then the file, written beside its name and
// renamed into place. DataSaved, DataFileName and the status bar stay.
ExportOutcome ExportTrialFile(const TrialFileContext& files, const FileDialogRequest& saveDialog);

}  // namespace torvane
