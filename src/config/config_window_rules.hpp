#pragma once
// The rules of the configuration window: every control writes its setting
// the moment it changes; the frequency, the duration (sample count), the
// mass and the brake level are tested as they are entered. The window only
// moves texts between its controls and these functions.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace torvane {

struct Session;
struct SettingsRecord;

inline constexpr const char* kBrakeWarningText = "WARNING Bar May Fall. Check before Applying";
inline constexpr const char* kBrakeIntroText =
    "Torvane Braking System controls eccentric and impact loading";
inline constexpr const char* kNoConnectionText = "No Connection";
inline constexpr const char* kTryingToConnectText = "Trying to Connect";
inline constexpr const char* kConnectionEstablishedText = "Connection Established";

// "Number of Samples = " and the count in format "0.0".
std::string NumberOfSamplesText(std::int32_t samples);
// The duration box's text: samples / frequency (empty while the frequency is 0).
std::string DurationText(const SettingsRecord& settings);

// What a window shows after an edit: a corrected text for the edited box,
// and a new text for the sample-count label.
struct BoxCorrection {
  std::optional<std::string> box;
  std::optional<std::string> samplesLabel;
};

// A change of the sample frequency box. `durationSeconds` is the trial
// duration the sample count follows (the duration box's value).
BoxCorrection SampleFrequencyChanged(Session& session, std::string_view text,
                                     double durationSeconds);
// A change of the duration box: the sample count follows; the status bar is refreshed.
BoxCorrection DurationChanged(Session& session, std::string_view text);
// The mass box lost the focus: false when the value was refused (the
// message is shown; the box should take the focus back).
bool WeightEntered(Session& session, std::string_view text);
// A change of the brake level box: the level limited to 0 … 100; the
// corrected text when it was limited.
std::optional<std::string> BrakeLevelChanged(Session& session, std::string_view text);
// "&Apply": sends the level to the unit; false when it could not be sent
// (the message is shown).
bool ApplyBrakeSetting(Session& session);
// The spreadsheet output box was ticked or cleared; returns the resulting
// `exceloutput` (ticking it fails when no workbook writer is present).
bool ExcelOutputChanged(Session& session, bool ticked);

enum class InterfaceModel { Zra6, Zra6Plus, Zra7 };
// Selects one unit (its flag set, the other two cleared) and limits the
// frequency to what a ZRA6 or ZRA6+ can do.
void ChooseInterface(Session& session, InterfaceModel model);

// Which data collection controls suit the selected unit.
struct DataCollectionControls {
  bool duration = true;
  bool frequency = true;
  bool serialPort = false;
  bool recordForce = true;
  bool forceChannels = true;
  bool serialFrameVisible = false;
};
DataCollectionControls ControlsForInterface(const SettingsRecord& settings);

// "&Connect": runs the interface discovery; the connection label's text afterwards.
std::string ConnectInterface(Session& session);

// "Restore Defaults": the default of every setting, the data folders found
// again, and the message. Nothing is saved.
void RestoreDefaults(Session& session);

}  // namespace torvane
