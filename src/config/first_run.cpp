#include "config/first_run.hpp"

#include "config/settings_io.hpp"

namespace torvane {

namespace {

void SelectOnly(SettingsRecord& s, FirstRunInterface option) {
  s.ZRA6Input = option == FirstRunInterface::Zra6;
  s.ZRA6PlusInput = option == FirstRunInterface::Zra6Plus;
  s.ZRA7Input = option == FirstRunInterface::Zra7;
}

}  // namespace

void ChooseDemonstration(const FirstRunContext& context, bool demonstration) {
  context.demoMode = demonstration;
}

FirstRunVisibility FirstRunVisibilityFor(const FirstRunContext& context) {
  FirstRunVisibility v;
  const bool unit = !context.demoMode;
  v.driversQuestion = unit;
  v.interfaceQuestion = unit;
  v.helpButtons = unit;
  v.portFrame = unit && context.settings.ZRA6Input;
  return v;
}

void ChooseFirstRunInterface(SettingsRecord& settings, FirstRunInterface option) {
  if (option != FirstRunInterface::None) SelectOnly(settings, option);
}

void ChooseFirstRunPort(SettingsRecord& settings, int position) {
  if (position >= 0 && position < kFirstRunPortCount) {
    settings.comportnum = static_cast<std::int16_t>(position + 1);
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

void AcceptFirstRun(const FirstRunContext& context, const FirstRunChoices& choices) {
  SettingsRecord& s = context.settings;
  if (choices.interfaceOption == FirstRunInterface::Zra7) SelectOnly(s, FirstRunInterface::Zra7);
  if (choices.interfaceOption == FirstRunInterface::Zra6) SelectOnly(s, FirstRunInterface::Zra6);
  if (choices.interfaceOption == FirstRunInterface::Zra6Plus) {
    SelectOnly(s, FirstRunInterface::Zra6Plus);
  }
  ChooseFirstRunPort(s, choices.selectedPort);
  if (choices.demonstration) {
    SelectOnly(s, FirstRunInterface::None);
    context.demoMode = true;
  }
  if (choices.dontShowAgain) s.firsttime = false;
  SaveSettings(s);
}

}  // namespace torvane
