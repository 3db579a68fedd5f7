#pragma once
// Main-menu entries whose state the core decides: start-up disables the
// squad entry without spreadsheet output; discovery of a USB unit hides the
// serial test entry and shows the analog inputs entry. The main window
// listens and applies the state to the entries of the same name.

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace torvane {

struct Session;

struct MenuEntryState {
  bool enabled = true;
  bool visible = true;
};

struct MainMenuState {
  std::map<std::string, MenuEntryState, std::less<>> entries;
  // Called with the entry's name after each change.
  std::vector<std::function<void(const std::string& name)>> listeners;
};

void SetMenuEntryEnabled(Session& session, std::string_view name, bool enabled);
void SetMenuEntryVisible(Session& session, std::string_view name, bool visible);
// After a discovery: a USB unit hides "&Test Serial Interface" and shows
// "&View Analog Inputs".
void ApplyInterfaceMenus(Session& session);
// The state of an entry; entries never changed are enabled and visible,
// except those with nothing to do on this platform, which are disabled.
MenuEntryState MenuEntry(const Session& session, std::string_view name);
// Why an entry has nothing to do on this platform (its tool tip); nullptr
// for an entry that has work here.
const char* MenuEntryUnavailableReason(std::string_view name);

}  // namespace torvane
