#include "shell/main_menu_state.hpp"

#include "shell/session.hpp"

namespace torvane {

namespace {

template <typename Change>
void ChangeEntry(Session& session, std::string_view name, Change change) {
  MainMenuState& menu = session.mainMenu;
  auto it = menu.entries.find(name);
  if (it == menu.entries.end())
    it = menu.entries.emplace(std::string(name), MenuEntryState{}).first;
  change(it->second);
  for (auto& listener : menu.listeners) listener(it->first);
}

}  // namespace

void SetMenuEntryEnabled(Session& session, std::string_view name, bool enabled) {
  ChangeEntry(session, name, [&](MenuEntryState& e) { e.enabled = enabled; });
}

void SetMenuEntryVisible(Session& session, std::string_view name, bool visible) {
  ChangeEntry(session, name, [&](MenuEntryState& e) { e.visible = visible; });
}

MenuEntryState MenuEntry(const Session& session, std::string_view name) {
  const auto it = session.mainMenu.entries.find(name);
  if (it != session.mainMenu.entries.end()) return it->second;
  MenuEntryState state;
  state.enabled = MenuEntryUnavailableReason(name) == nullptr;
  return state;
}

const char* MenuEntryUnavailableReason(std::string_view name) {
  // The timer resolution and the USB latency it tuned on the old platform
  // are set by the program itself here (the latency timer through sysfs).
  if (name == "mnuToolsPerformance")
    return "Nothing to tune on Linux: the program sets the USB latency timer itself, and the "
           "system's timers need no setting.";
  return nullptr;
}

void ApplyInterfaceMenus(Session& session) {
  if (!session.link.UsbUnitMenus) return;
  SetMenuEntryVisible(session, "mnuToolsSerial", false);
  SetMenuEntryVisible(session, "mnuToolsViewAnalog", true);
}

}  // namespace torvane
