#pragma once
// The rules of the first-run window: demonstration only or a real unit,
// which unit, and for a ZRA6 which serial port. The choices act on the
// settings as they are made; OK saves them, Cancel ends the program.

#include <string>

#include "config/settings_record.hpp"

namespace torvane {

enum class FirstRunInterface { None, Zra6Plus, Zra7, Zra6 };

// Entries "COM1" … "COM16" of the serial-port list.
inline constexpr int kFirstRunPortCount = 16;

// Which questions the window shows.
struct FirstRunVisibility {
  bool driversQuestion = true;
  bool interfaceQuestion = true;
  bool helpButtons = true;
  bool portFrame = false;
};

// The state of the window's choices when OK is pressed.
struct FirstRunChoices {
  bool demonstration = false;
  FirstRunInterface interfaceOption = FirstRunInterface::None;
  int selectedPort = -1;  // list position, -1 for none
  bool dontShowAgain = false;
};

// What the window's choices act on: the settings and the program's
// demonstration mode (which is never stored).
struct FirstRunContext {
  SettingsRecord& settings;
  bool& demoMode;
};

// "Demonstration or data analysis only?": sets the demonstration mode.
void ChooseDemonstration(const FirstRunContext& context, bool demonstration);
FirstRunVisibility FirstRunVisibilityFor(const FirstRunContext& context);
// An interface option: its flag set, the other two cleared.
void ChooseFirstRunInterface(SettingsRecord& settings, FirstRunInterface option);
// A serial-port list entry (position from 0): comportnum = position + 1.
void ChooseFirstRunPort(SettingsRecord& settings, int position);
// The list entry shown selected when the window opens (a stored port 1 … 15), else -1.
int PreselectedPortIndex(const SettingsRecord& settings);
// The interface option ticked when the window opens.
FirstRunInterface PreselectedInterface(const SettingsRecord& settings);
// OK: the choices stored and saved.
void AcceptFirstRun(const FirstRunContext& context, const FirstRunChoices& choices);

}  // namespace torvane
