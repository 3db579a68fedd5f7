#pragma once
// The help pages shipped with the program (HTML in the sample data folder's
// "QLXHelp" folder), opened in the desktop's page viewer.

#include <string>
#include <string_view>

namespace torvane {

struct Session;

inline constexpr const char* kGettingStartedPage = "QLXHelp/QLXGettingStarted.htm";
inline constexpr const char* kUserGuidePage = "QLXHelp/QLXHelp.htm";
inline constexpr const char* kUpdatesPage = "QLXHelp/updates.htm";
inline constexpr const char* kFindComPortPage = "QLXHelp/FindComPort.htm";
// Web support: the user guide's support section.
inline constexpr const char* kSupportPage = "QLXHelp/QLXHelp.htm";
inline constexpr const char* kSupportAnchor = "support";

// The full path of a help page: the one installed with the program, else
// the copy in the program data folder; empty when neither exists.
std::string HelpPagePath(const Session& session, std::string_view relativePath);

}  // namespace torvane
