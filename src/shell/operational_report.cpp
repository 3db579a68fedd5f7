#include "shell/operational_report.hpp"

#include <unistd.h>

#include "common/date_text.hpp"
#include "common/number_text.hpp"
#include "common/paths.hpp"
#include "common/text_file.hpp"
#include "config/settings_keys.hpp"
#include "shell/session.hpp"
#include "shell/spreadsheet_app.hpp"
#include "torvane_version.hpp"

extern char** environ;

namespace torvane {

namespace {

class ReportWriter {
 public:
  void Line(std::string_view text) {
    text_.append(text);
    text_.append("\r\n");
  }
  // A labelled line: tab, the label with its blanks, tab, the value.
  void Item(std::string_view label, std::string_view value) {
    text_.push_back('\t');
    text_.append(label);
    text_.push_back('\t');
    Line(value);
  }
  void Number(std::string_view label, std::int64_t value) { Item(label, ShortNumericText(value)); }
  // A setting's line: its label and value as the table of keys gives them.
  void Setting(const SettingsRecord& settings, std::string_view key) {
    const SettingKey& k = *FindSettingKey(key);
    Item(k.reportLabel, SettingReportText(settings, k));
  }
  std::string Take() { return std::move(text_); }

 private:
  std::string text_;
};

std::string VersionText() {
  return std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + "." +
         std::to_string(kVersionRevision);
}

}  // namespace

bool IsReportedEnvironmentEntry(std::string_view entry) {
  const std::string_view name = entry.substr(0, entry.find('='));
  for (std::string_view prefix : {"TORVANE_", "XDG_", "LC_", "QT_"}) {
    if (name.size() > prefix.size() && name.substr(0, prefix.size()) == prefix) return true;
  }
  return name == "LANG" || name == "DISPLAY" || name == "WAYLAND_DISPLAY";
}

std::string OperationalReportText(const Session& session,
                                  const std::vector<std::string>& environment) {
  const SettingsRecord& s = session.settings;
  const LocalDateTime now = session.clock().Now();
  ReportWriter r;
  r.Line("Torvane Measurement System - Operational Report");
  r.Line(LongDateText(now) + " " + TimeAmPmText(now));

  r.Line("DATA COLLECTION");
  r.Setting(s, "frequency");
  r.Setting(s, "samples");
  r.Setting(s, "ZRA6Input");
  r.Setting(s, "ZRA6PlusInput");
  r.Setting(s, "ZRA7Input");
  r.Number("ZRA7 Maximum sample rate              ", session.MaxInterfaceFrequency);
  r.Setting(s, "comportnum");
  r.Setting(s, "baudrate");
  r.Setting(s, "forcechannels");
  r.Setting(s, "RecordForce");
  r.Setting(s, "measurementdelay");

  r.Line("INTERFACE HARDWARE");
  r.Setting(s, "repthreshold");
  r.Item("QLX Software Version              ", VersionText());
  r.Item("QLX Software Build Date               ", kBuildDate);
  if (s.ZRA6Input) {
    r.Item("Firmware version                  ", session.link.serial.UnitVersion);
    r.Item("Interface serial number          ", session.link.serial.UnitSerialNumber);
  }
  if (s.ZRA6PlusInput) {
    r.Item("Firmware version                 ", session.link.serial.UnitVersion);
    r.Item("Interface serial number         ", session.link.serial.UnitSerialNumber);
  }
  if (s.ZRA7Input) {
    r.Item("Firmware version                 ", session.link.zra7.Zra7FirmwareVersion);
    r.Item("Interface serial number         ", session.link.zra7.Zra7SerialNumber);
  }

  r.Line("TRAINING MODE SETTINGS");
  r.Setting(s, "repthreshold");
  r.Setting(s, "FeedbackThreshold");
  r.Setting(s, "setdelay");
  r.Setting(s, "maxreps");
  r.Setting(s, "flightthres");
  r.Setting(s, "showfeedback");
  r.Setting(s, "oversoundfile");
  r.Setting(s, "undersoundfile");

  r.Line("CALIBRATION");
  r.Setting(s, "DispCalSlope");
  r.Setting(s, "DispInt");
  r.Setting(s, "ForceCalSlope");
  r.Setting(s, "ForceInt");

  r.Line("FILES AND FOLDERS");
  r.Setting(s, "DataDirectory");
  r.Setting(s, "ProgramDataDirectory");
  r.Setting(s, "SquadFileName");
  r.Setting(s, "exceloutput");
  r.Item("Results workbook writer              ", WorkbookWriterText(session.ExcelVersion));

  r.Line("BRAKE SETTINGS");
  r.Setting(s, "BrakeLevel");
  r.Setting(s, "rampbrake");
  r.Setting(s, "brakecontinuous");
  r.Setting(s, "brakeabovezero");
  r.Setting(s, "TimeToRelease");
  r.Setting(s, "BrakeOnUp");

  r.Line("GENERAL SETTINGS");
  r.Setting(s, "weight");
  r.Setting(s, "dispFc");
  r.Setting(s, "velocFc");
  r.Setting(s, "accelFc");
  r.Setting(s, "mmavailable");
  r.Setting(s, "realtimeplot");
  r.Setting(s, "firsttime");

  r.Line("ENVIRONMENT");
  for (const std::string& entry : environment) {
    if (IsReportedEnvironmentEntry(entry)) r.Line("\t" + entry);
  }
  r.Line("\t");  // the empty entry that ends the list
  return r.Take();
}

std::vector<std::string> ProcessEnvironment() {
  std::vector<std::string> entries;
  for (char** e = environ; e != nullptr && *e != nullptr; ++e) entries.emplace_back(*e);
  return entries;
}

std::string OperationalReportPath(const Session& session) {
  return JoinPath(session.settings.ProgramDataDirectory, kOperationalReportFileName);
}

std::string WriteOperationalReport(const Session& session) {
  const std::string path = OperationalReportPath(session);
  if (path.empty()) return "there is no program data folder";
  return WriteFileReplacing(path,
                            Utf8ToCp1252(OperationalReportText(session, ProcessEnvironment())));
}

}  // namespace torvane
