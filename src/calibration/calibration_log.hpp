#pragma once
// The calibration log: a text file to which every accepted calibration
// appends one line, "<date and time><label><slope>", ended by CR LF. The
// program never reads it; the calibration windows open it for viewing.

#include <string>

#include "calibration/calibration_context.hpp"
#include "common/clock.hpp"
#include "config/settings_record.hpp"

namespace torvane {

enum class CalibrationKind { Position, Force };

// Where the log is: CalibrationLogFile with "\" read as "/". A name that is
// only a file name, with or without one leading separator (the stored
// default "/QLXCalibration.log", or "\QLXCalibration.log" from an older
// file), or a relative path lies inside the program data folder; a full path
// is taken as it is; a path with a drive letter, which cannot exist here,
// keeps only its file name, inside the data folder. An empty setting means
// "QLXCalibration.log" in the data folder.
std::string CalibrationLogPath(const SettingsRecord& settings);

// "2026-12-06 17:07:09Displacement Cal. Slope: 0.009" (no CR LF).
std::string CalibrationLogLine(const LocalDateTime& now, CalibrationKind kind, double slope);

// Appends one line (with CR LF) to the log at `path`, creating it when
// missing. Empty on success, else the reason.
std::string AppendCalibrationLog(const std::string& path, const std::string& line);

// The "View Calibration Log" button: shows the log, or says why not (no
// calibration has been logged yet, or nothing could show it).
void ViewCalibrationLog(const CalibrationContext& cx);

inline constexpr const char* kCalibrationLogTitle = "Calibration Log";

}  // namespace torvane
