#include "sim/simulator.hpp"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ostream>

#include "common/clock.hpp"
#include "config/settings_io.hpp"
#include "config/settings_record.hpp"
#include "sim/pseudo_terminal.hpp"

namespace torvane::sim {

namespace {

constexpr const char* kUsage =
    "usage: torvane-sim --model zra6|zra6plus|zra7|accel --link PATH [options]\n"
    "Movement:\n"
    "  --profile still|cmj|squat-reps|drop-jump   (default cmj)\n"
    "  --mass KG (80)  --jump-height M (0.30)  --reps N (5)  --squat-depth M (0.45)\n"
    "  --drop-height M (0.30)  --seed N (1)  --noise X (1; 0 for none)\n"
    "Counts:\n"
    "  --config QLXConfig.ini   take the calibration from that file\n"
    "  --disp-cal SLOPE,INTERCEPT (0.009,0)  --force-cal SLOPE,INTERCEPT (3,0)\n"
    "  --base-height M (1.0)    transducer reading when standing\n"
    "Unit:\n"
    "  --version MAJOR.MINOR (2.1)  --serial DIGITS (123456)   ZRA6 and ZRA6+\n"
    "  --firmware TEXT (V3.10)  --serial TEXT (700123)           ZRA7\n"
    "  --rate HZ (200)                                           accelerometer\n"
    "Faults:\n"
    "  --silent  --reply-delay MS  --corrupt-every N  --drop-every N\n"
    "  --disconnect-after SECONDS\n";

// Output waiting for the program beyond this is lost, as in a unit whose
// buffer overflows while nobody reads.
constexpr std::size_t kMaxPendingOutput = 64 * 1024;

volatile std::sig_atomic_t stopRequested = 0;
void OnStopSignal(int) {
  stopRequested = 1;
}

bool ReadDouble(const std::string& text, double& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  value = std::strtod(text.c_str(), &end);
  return errno == 0 && end == text.c_str() + text.size();
}

bool ReadCount(const std::string& text, std::uint64_t& value) {
  double d = 0;
  if (!ReadDouble(text, d) || d < 0 || d > 4e9 ||
      d != static_cast<double>(static_cast<std::uint64_t>(d))) {
    return false;
  }
  value = static_cast<std::uint64_t>(d);
  return true;
}

bool ReadPair(const std::string& text, double& a, double& b) {
  const std::size_t comma = text.find(',');
  return comma != std::string::npos && ReadDouble(text.substr(0, comma), a) &&
         ReadDouble(text.substr(comma + 1), b);
}

// The options that take one number: the range each accepts and where it goes.
struct NumberOption {
  const char* name;
  bool count;  // a whole number of 0 or more, else any number
  double low;  // the smallest value accepted (itself refused when lowOpen)
  bool lowOpen;
  double high;
  void (*set)(SimulatorCommand& cmd, double value);
};

constexpr double kNoLimit = 1e300;

constexpr NumberOption kNumberOptions[] = {
    {"--mass", false, 0, true, 1000,
     [](SimulatorCommand& c, double v) { c.unit.body.bodyMass = v; }},
    {"--jump-height", false, 0, true, 1.5,
     [](SimulatorCommand& c, double v) { c.unit.body.jumpHeight = v; }},
    {"--reps", true, 1, false, 100,
     [](SimulatorCommand& c, double v) { c.unit.body.reps = static_cast<int>(v); }},
    {"--squat-depth", false, 0, true, 1.5,
     [](SimulatorCommand& c, double v) { c.unit.body.squatDepth = v; }},
    {"--drop-height", false, 0, true, 1.5,
     [](SimulatorCommand& c, double v) { c.unit.body.dropHeight = v; }},
    {"--seed", true, 0, false, kNoLimit,
     [](SimulatorCommand& c, double v) { c.unit.sensor.seed = static_cast<std::uint64_t>(v); }},
    {"--noise", false, 0, false, 100,
     [](SimulatorCommand& c, double v) { c.unit.sensor.noise = v; }},
    {"--base-height", false, 0, false, 10,
     [](SimulatorCommand& c, double v) { c.unit.sensor.baseHeight = v; }},
    {"--rate", false, 0, true, 5000,
     [](SimulatorCommand& c, double v) { c.unit.accelerometerRateHz = v; }},
    {"--reply-delay", true, 0, false, 600000,
     [](SimulatorCommand& c, double v) {
       c.unit.faults.replyDelayMs = static_cast<std::uint32_t>(v);
     }},
    {"--corrupt-every", true, 0, false, 1000000,
     [](SimulatorCommand& c, double v) {
       c.unit.faults.corruptEvery = static_cast<std::uint32_t>(v);
     }},
    {"--drop-every", true, 0, false, 1000000,
     [](SimulatorCommand& c, double v) {
       c.unit.faults.dropEvery = static_cast<std::uint32_t>(v);
     }},
    {"--disconnect-after", false, 0, true, kNoLimit,
     [](SimulatorCommand& c, double v) { c.unit.faults.disconnectAfterSeconds = v; }},
};

const NumberOption* FindNumberOption(std::string_view name) {
  for (const NumberOption& option : kNumberOptions) {
    if (name == option.name) return &option;
  }
  return nullptr;
}

}  // namespace

std::variant<SimulatorCommand, std::string> ParseSimulatorArgs(std::span<const std::string> args) {
  SimulatorCommand cmd;
  bool modelGiven = false;
  std::string serial, version, configPath;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      cmd.help = true;
      return cmd;
    }
    if (a == "--silent") {
      cmd.unit.faults.silent = true;
      continue;
    }
    if (i + 1 >= args.size()) return "option " + a + " needs a value";
    const std::string& v = args[++i];
    const auto bad = [&] { return "bad value for " + a + ": '" + v + "'"; };
    if (const NumberOption* option = FindNumberOption(a)) {
      double d = 0;
      std::uint64_t n = 0;
      const bool read = option->count ? ReadCount(v, n) : ReadDouble(v, d);
      if (option->count) d = static_cast<double>(n);
      if (!read || d < option->low || (option->lowOpen && d == option->low) || d > option->high) {
        return bad();
      }
      option->set(cmd, d);
    } else if (a == "--model") {
      const auto model = ParseUnitModel(v);
      if (!model) return bad();
      cmd.unit.model = *model;
      modelGiven = true;
    } else if (a == "--link") {
      cmd.linkPath = v;
    } else if (a == "--profile") {
      const auto kind = ParseProfileKind(v);
      if (!kind) return bad();
      cmd.unit.profile = *kind;
    } else if (a == "--config") {
      configPath = v;
    } else if (a == "--disp-cal") {
      if (!ReadPair(v, cmd.unit.sensor.calibration.dispSlope,
                    cmd.unit.sensor.calibration.dispIntercept)) {
        return bad();
      }
    } else if (a == "--force-cal") {
      if (!ReadPair(v, cmd.unit.sensor.calibration.forceSlope,
                    cmd.unit.sensor.calibration.forceIntercept)) {
        return bad();
      }
    } else if (a == "--version") {
      version = v;
    } else if (a == "--serial") {
      serial = v;
    } else if (a == "--firmware") {
      cmd.unit.zra7Firmware = v;
    } else {
      return "unknown option " + a;
    }
  }
  if (!modelGiven) return std::string("--model is required");
  if (cmd.linkPath.empty()) return std::string("--link is required");
  const bool byteUnit = cmd.unit.model == UnitModel::Zra6 || cmd.unit.model == UnitModel::Zra6Plus;
  if (!version.empty()) {
    const std::size_t dot = version.find('.');
    double major = 0, minor = 0;
    if (dot == std::string::npos || !ReadDouble(version.substr(0, dot), major) ||
        !ReadDouble(version.substr(dot + 1), minor) || major < 0 || major > 15 || minor < 0 ||
        minor > 15 || major != static_cast<int>(major) || minor != static_cast<int>(minor)) {
      return "bad value for --version: '" + version + "' (MAJOR.MINOR, each 0 to 15)";
    }
    cmd.unit.versionMajor = static_cast<int>(major);
    cmd.unit.versionMinor = static_cast<int>(minor);
  }
  if (!serial.empty()) {
    if (byteUnit) {
      if (serial.size() != 6 || serial.find_first_not_of("0123456789") != std::string::npos) {
        return "bad value for --serial: '" + serial + "' (six digits)";
      }
      cmd.unit.serialDigits = serial;
    } else {
      cmd.unit.zra7Serial = serial;
    }
  }
  if (!configPath.empty()) {
    if (::access(configPath.c_str(), R_OK) != 0) return "cannot read " + configPath;
    SettingsRecord settings;
    LoadSettingsReadOnly(settings, configPath, "");
    cmd.unit.sensor.calibration = {settings.DispCalSlope, settings.DispInt, settings.ForceCalSlope,
                                   settings.ForceInt};
  }
  return cmd;
}

int RunSimulator(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  const auto parsed = ParseSimulatorArgs(args);
  if (const auto* problem = std::get_if<std::string>(&parsed)) {
    err << "torvane-sim: " << *problem << "\n" << kUsage;
    return 2;
  }
  const SimulatorCommand& cmd = std::get<SimulatorCommand>(parsed);
  if (cmd.help) {
    out << kUsage;
    return 0;
  }
  PseudoTerminal pty;
  if (const std::string problem = pty.Open(cmd.linkPath); !problem.empty()) {
    err << "torvane-sim: " << problem << "\n";
    return 1;
  }
  stopRequested = 0;
  std::signal(SIGINT, OnStopSignal);
  std::signal(SIGTERM, OnStopSignal);
  std::signal(SIGHUP, OnStopSignal);

  const std::unique_ptr<UnitEmulator> unit = MakeUnitEmulator(cmd.unit);
  out << "torvane-sim: " << UnitModelName(cmd.unit.model) << " on " << pty.linkPath() << " ("
      << pty.slavePath() << "), profile " << ProfileName(cmd.unit.profile) << std::endl;

  SystemClock clock;
  const std::uint64_t start = clock.Milliseconds();
  const double disconnectAfterMs = cmd.unit.faults.disconnectAfterSeconds * 1000.0;
  std::string pending;
  std::uint64_t bytesDropped = 0;
  while (stopRequested == 0) {
    if (disconnectAfterMs > 0 &&
        static_cast<double>(clock.Milliseconds() - start) >= disconnectAfterMs) {
      out << "torvane-sim: disconnected" << std::endl;
      break;
    }
    pollfd p{pty.master(), static_cast<short>(POLLIN | (pending.empty() ? 0 : POLLOUT)), 0};
    ::poll(&p, 1, 2);
    const std::uint64_t now = clock.Milliseconds();
    if (p.revents & POLLIN) {
      char buffer[4096];
      const ssize_t n = ::read(pty.master(), buffer, sizeof buffer);
      if (n > 0) unit->Receive(std::string_view(buffer, static_cast<std::size_t>(n)), now);
    }
    pending += unit->Produce(now);
    if (pending.size() > kMaxPendingOutput) {
      bytesDropped += pending.size() - kMaxPendingOutput;
      pending.erase(0, pending.size() - kMaxPendingOutput);
    }
    while (!pending.empty()) {
      const ssize_t n = ::write(pty.master(), pending.data(), pending.size());
      if (n <= 0) break;  // the line is full: the rest waits
      pending.erase(0, static_cast<std::size_t>(n));
    }
  }
  pty.Close();
  // What was sent, for a run that checks that nothing went missing.
  out << "torvane-sim: " << unit->status().samplesSentInAll << " samples sent, " << bytesDropped
      << " bytes dropped from a full line, " << pending.size() << " bytes never sent" << std::endl;
  return 0;
}

}  // namespace torvane::sim
