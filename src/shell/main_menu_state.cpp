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
  return it == session.mainMenu.entries.end() ? MenuEntryState{} : it->second;
}

void ApplyInterfaceMenus(Session& session) {
  if (!session.link.UsbUnitMenus) return;
  SetMenuEntryVisible(session, "mnuToolsSerial", false);
  SetMenuEntryVisible(session, "mnuToolsViewAnalog", true);
}

}  // namespace torvane
