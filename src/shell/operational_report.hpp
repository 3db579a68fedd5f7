#pragma once
// The operational report "QLXSystemReport.txt": a plain-text snapshot of
// every setting, the interface unit and the part of the machine's
// environment that concerns the program, which a user can send to support.

#include <string>
#include <string_view>
#include <vector>

namespace torvane {

struct Session;

inline constexpr const char* kOperationalReportFileName = "QLXSystemReport.txt";

// Whether an environment entry ("NAME=value") concerns the program and so
// goes into the report: TORVANE_*, XDG_*, LANG, LC_*, DISPLAY,
// WAYLAND_DISPLAY and QT_*. Nothing else (tokens, paths of other programs)
// leaves the machine in a file meant for support.
bool IsReportedEnvironmentEntry(std::string_view entry);

// The report's text (UTF-8, CR LF line ends). `environment` holds the
// process's environment entries ("NAME=value") in the platform's order; the
// section "ENVIRONMENT" lists those that concern the program.
std::string OperationalReportText(const Session& session,
                                  const std::vector<std::string>& environment);

// The entries of this process's environment, in the platform's order.
std::vector<std::string> ProcessEnvironment();

// The report's full path in the program data folder; empty without one.
std::string OperationalReportPath(const Session& session);

// Writes the report (Windows-1252) in full; an empty text on success, else
// what failed.
std::string WriteOperationalReport(const Session& session);

}  // namespace torvane
