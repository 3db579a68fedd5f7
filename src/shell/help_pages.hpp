#pragma once
// The help pages shipped with the program (HTML in the "QLXHelp" folder):
// where they are found, and the search across them that the help window
// offers.

#include <string>
#include <string_view>
#include <vector>

namespace torvane {

struct Session;

inline constexpr const char* kGettingStartedPage = "QLXHelp/QLXGettingStarted.htm";
inline constexpr const char* kUserGuidePage = "QLXHelp/QLXHelp.htm";
inline constexpr const char* kUpdatesPage = "QLXHelp/updates.htm";
inline constexpr const char* kFindComPortPage = "QLXHelp/FindComPort.htm";
// Web support: the user guide's support section.
inline constexpr const char* kSupportPage = "QLXHelp/QLXHelp.htm";
inline constexpr const char* kSupportAnchor = "support";

// The copy of the sample files installed with the program
// (<prefix>/share/torvane/data beside <prefix>/bin/torvane); empty when the
// program runs from where it was built.
std::string InstalledDataFolder();

// The full path of a help page: the copy in the program data folder (the
// one the user may have edited), else the installed copy; empty when
// neither exists. A build or source tree is never looked in.
std::string HelpPagePath(const Session& session, std::string_view relativePath);
std::string HelpPagePath(std::string_view programDataFolder, std::string_view installedFolder,
                         std::string_view relativePath);

// One page of a folder of help pages that holds the searched text.
struct HelpSearchHit {
  std::string fileName;  // e.g. "QLXHelp.htm"
  std::string title;     // the page's <title>, else its file name
  int count = 0;         // how often the text occurs in the page's words
};

// The readable text of an HTML page: tags and comments dropped, the common
// entities decoded, runs of blanks made one blank.
std::string HelpPageText(std::string_view html);

// The pages (*.htm, *.html) of `folder` whose text holds `text`, compared
// without regard to case; most hits first, then by file name. An empty or
// blank text finds nothing.
std::vector<HelpSearchHit> SearchHelpPages(const std::string& folder, std::string_view text);

}  // namespace torvane
