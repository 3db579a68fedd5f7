#include "config/first_run.hpp"

#include "config/settings_io.hpp"
#include "shell/session.hpp"

namespace torvane {

namespace {

void SelectOnly(SettingsRecord& s, FirstRunInterface option) {
  s.ZRA6Input = option == FirstRunInterface::Zra6;
  s.ZRA6PlusInput = option == FirstRunInterface::Zra6Plus;
  s.ZRA7Input = option == FirstRunInterface::Zra7;
}

}  // namespace

void ChooseDemonstration(Session& session, bool demonstration) {
  session.DemoMode = demonstration;
}

FirstRunVisibility FirstRunVisibilityFor(const Session& session) {
  FirstRunVisibility v;
  const bool unit = !session.DemoMode;
  v.driversQuestion = unit;
  v.interfaceQuestion = unit;
  v.helpButtons = unit;
  v.portFrame = unit && session.settings.ZRA6Input;
  return v;
}

void ChooseFirstRunInterface(Session& session, FirstRunInterface option) {
  if (option != FirstRunInterface::None) SelectOnly(session.settings, option);
}

void ChooseFirstRunPort(Session& session, int position) {
  if (position >= 0 && position < kFirstRunPortCount) {
    session.settings.comportnum = static_cast<std::int16_t>(position + 1);
  }
}

int PreselectedPortIndex(const SettingsRecord& s) {
  return (s.comportnum >= 1 && s.comportnum <= 15) ? s.comportnum - 1 : -1;
}

FirstRunInterface PreselectedInterface(const SettingsRecord& s) {
  if (s.ZRA6PlusInput) return FirstRunInterface::Zra6Plus;
  if (s.ZRA7Input) return FirstRunInterface::Zra7;
  if (s.ZRA6Input) return FirstRunInterface::Zra6;
  return FirstRunInterface::None;
}

void AcceptFirstRun(Session& session, const FirstRunChoices& choices) {
  SettingsRecord& s = session.settings;
  if (choices.interfaceOption == FirstRunInterface::Zra7) SelectOnly(s, FirstRunInterface::Zra7);
  if (choices.interfaceOption == FirstRunInterface::Zra6) SelectOnly(s, FirstRunInterface::Zra6);
  if (choices.interfaceOption == FirstRunInterface::Zra6Plus) {
    SelectOnly(s, FirstRunInterface::Zra6Plus);
  }
  ChooseFirstRunPort(session, choices.selectedPort);
  if (choices.demonstration) {
    SelectOnly(s, FirstRunInterface::None);
    session.DemoMode = true;
  }
  if (choices.dontShowAgain) s.firsttime = false;
  SaveSettings(s);
}

}  // namespace torvane
