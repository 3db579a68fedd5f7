#pragma once
// The operational report "QLXSystemReport.txt": a plain-text snapshot of
// every setting, the interface unit and the machine's environment that a
// user can send to support.

#include <string>
#include <vector>

namespace torvane {

struct Session;

inline constexpr const char* kOperationalReportFileName = "QLXSystemReport.txt";

// The report's text (UTF-8, CR LF line ends). `environment` holds the
// process's environment entries ("NAME=value") in the platform's order.
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
