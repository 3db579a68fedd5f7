#include "shell/operational_report.hpp"

#include <unistd.h>

#include <type_traits>

#include "common/date_text.hpp"
#include "common/number_text.hpp"
#include "common/text_file.hpp"
#include "common/paths.hpp"
#include "shell/session.hpp"
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
  template <typename T>
  void Number(std::string_view label, T value) {
    if constexpr (std::is_floating_point_v<T>) {
      Item(label, ShortNumericText(static_cast<double>(value)));
    } else {
      Item(label, ShortNumericText(static_cast<std::int64_t>(value)));
    }
  }
  void Flag(std::string_view label, bool value) { Item(label, value ? "yes" : "no"); }
  std::string Take() { return std::move(text_); }

 private:
  std::string text_;
};

std::string VersionText() {
  return std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + "." +
         std::to_string(kVersionRevision);
}

}  // namespace

std::string OperationalReportText(const Session& session,
                                  const std::vector<std::string>& environment) {
  const SettingsRecord& s = session.settings;
  const LocalDateTime now = session.clock().Now();
  ReportWriter r;
  r.Line("Torvane Measurement System - Operational Report");
  r.Line(LongDateText(now) + " " + TimeAmPmText(now));

  r.Line("DATA COLLECTION");
  r.Number("Frequency                         ", s.frequency);
  r.Number("Samples                            ", s.samples);
  r.Flag("ZRA6 Interface selected            ", s.ZRA6Input);
  r.Flag("ZRA6+ Interface selected          ", s.ZRA6PlusInput);
  r.Flag("ZRA7 Interface selected            ", s.ZRA7Input);
  r.Number("ZRA7 Maximum sample rate              ", session.MaxInterfaceFrequency);
  r.Number("COM port number                       ", s.comportnum);
  r.Number("Baud rate                          ", s.baudrate);
  r.Number("Number of force channels            ", s.forcechannels);
  r.Flag("Record Force                           ", s.RecordForce);
  r.Number("Measurement delay                     ", s.measurementdelay);

  r.Line("INTERFACE HARDWARE");
  r.Number("Repetition threshold                 ", s.repthreshold);
  r.Item("QLX Software Version              ", VersionText());
  r.Item("QLX Software Build Date               ", kFileDescription);
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
  r.Number("Repetition threshold                 ", s.repthreshold);
  r.Number("Feedback Threshold                    ", s.FeedbackThreshold);
  r.Number("Set delay                             ", s.setdelay);
  r.Number("Maximum repetitions                   ", s.maxreps);
  r.Number("Flight threshold                     ", s.flightthres);
  r.Flag("Show feedback                        ", s.showfeedback);
  r.Item("Over sound file                      ", s.oversoundfile);
  r.Item("Under sound file                      ", s.undersoundfile);

  r.Line("CALIBRATION");
  r.Number("Distance calibration slope          ", s.DispCalSlope);
  r.Number("Distance zero offset (intercept)   ", s.DispInt);
  r.Number("Force calibration slope               ", s.ForceCalSlope);
  r.Number("Force zero offset (intercept)       ", s.ForceInt);

  r.Line("FILES AND FOLDERS");
  r.Item("Data Directory                       ", s.DataDirectory);
  r.Item("Program Data Directory               ", s.ProgramDataDirectory);
  r.Item("Squad file name                      ", s.SquadFileName);
  r.Flag("Send results to Excel spreadsheet    ", s.exceloutput);
  r.Item("Version of Excel installed           ", session.ExcelVersion);

  r.Line("BRAKE SETTINGS");
  r.Number("Brake Level                           ", s.BrakeLevel);
  r.Flag("Ramp up the braking level           ", s.rampbrake);
  r.Flag("Apply braking continuously         ", s.brakecontinuous);
  r.Flag("Release brake below zero           ", s.brakeabovezero);
  r.Number("Time to release                        ", s.TimeToRelease);
  r.Flag("Brake on up                          ", s.BrakeOnUp);

  r.Line("GENERAL SETTINGS");
  r.Number("Mass                                   ", s.weight);
  r.Number("Distance filter cutoff                 ", s.dispFc);
  r.Number("Velocity filter cutoff                 ", s.velocFc);
  r.Number("Acceleration filter cutoff            ", s.accelFc);
  r.Flag("Multimedia available                  ", s.mmavailable);
  r.Flag("Display real time plot               ", s.realtimeplot);
  r.Flag("Display the opening window         ", s.firsttime);

  r.Line("WINDOWS ENVIRONMENT");
  for (const std::string& entry : environment) r.Line("\t" + entry);
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
