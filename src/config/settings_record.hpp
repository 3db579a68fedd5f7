#pragma once
// Every user setting of the system, one field per key of "QLXConfig.ini",
// named after its key. Several of them are also the scalars of the trial in
// memory (samples, frequency, weight, RecordForce): the last trial's values
// become the defaults of the next.

#include <array>
#include <cstdint>
#include <map>
#include <string>

namespace torvane {

struct SettingsRecord {
  // [Miscellaneous]
  bool soundstart = false;
  bool mmavailable = false;
  bool exceloutput = false;
  bool eccentricstrengthtest = false;
  bool realtimeplot = false;
  bool firsttime = false;
  bool FirstTimeVistaCompatibleRun = false;
  bool ShowSystemStatus = false;

  // [Data Collection]
  std::int32_t samples = 0;
  std::int32_t frequency = 0;
  std::int16_t measurementdelay = 0;
  std::int16_t forcechannels = 0;
  std::int16_t comportnum = 0;
  std::int32_t baudrate = 0;
  bool ZRA6Input = false;
  bool ZRA6PlusInput = false;
  bool ZRA7Input = false;
  bool RecordForce = false;
  bool AccelInput = false;
  std::int16_t accelcomportnum = 0;
  std::int16_t accelflowcontrol = 0;  // 0 none, 1 XON/XOFF, 2 RTS/CTS

  // [Data Processing]
  float dispFc = 0;
  float velocFc = 0;
  float accelFc = 0;
  float forceFc = 0;
  float RFDepoch = 0;
  float repthreshold = 0;
  float weight = 0;
  float flightthres = 0;
  float DispCalSlope = 0;
  float DispInt = 0;
  float ForceCalSlope = 0;
  float ForceInt = 0;

  // [Folders and Files]
  std::string ProgramDataDirectory;
  std::string DataDirectory;
  std::string CalibrationLogFile;
  std::string SquadFileName;  // the squad workbook's full path (SquadFilePath)

  // [Training Mode]
  std::string oversoundfile;
  std::string undersoundfile;
  float FeedbackThreshold = 0;
  float setdelay = 0;
  std::int16_t maxreps = 0;
  bool showfeedback = false;

  // [Brake Settings]
  float BrakeLevel = 0;
  float TimeToRelease = 0;
  bool BrakeOnUp = false;
  bool rampbrake = false;
  bool brakecontinuous = false;
  bool brakeabovezero = false;

  // [Ports]: device paths that stand for the port names of the units
  // ("USB" for the USB units, "COM1" … "COM24" for serial ports). Kept as
  // read; written back only with the keys the file held.
  std::map<std::string, std::string> ports;

  // Not a key: the full path of the configuration file (empty when no data
  // folder was found; every read then gives its default, every write is dropped).
  std::string ConfigFilePath;
};

// The configuration file's sections, in file order.
inline constexpr const char* kSectionMiscellaneous = "Miscellaneous";
inline constexpr const char* kSectionDataCollection = "Data Collection";
inline constexpr const char* kSectionDataProcessing = "Data Processing";
inline constexpr const char* kSectionFoldersAndFiles = "Folders and Files";
inline constexpr const char* kSectionTrainingMode = "Training Mode";
inline constexpr const char* kSectionBrakeSettings = "Brake Settings";
inline constexpr const char* kSectionPorts = "Ports";

inline constexpr const char* kConfigFileName = "QLXConfig.ini";
inline constexpr const char* kLegacySettingsFileName = "QLXLegacySettings.ini";

}  // namespace torvane
