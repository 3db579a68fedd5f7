// torvane-cli identify: runs the interface discovery for one model on one
// port, as the program does at start-up, and prints what it found.
#include <filesystem>
#include <ostream>
#include <string_view>

#include "cli/commands.hpp"
#include "cli/unit_link.hpp"
#include "common/poll_event_loop.hpp"
#include "common/text_file.hpp"
#include "common/user_dialogs.hpp"
#include "config/data_folders.hpp"
#include "config/settings_io.hpp"
#include "config/settings_keys.hpp"
#include "link/interface_discovery.hpp"
#include "link/usb_port.hpp"
#include "link/zra7_protocol.hpp"
#include "shell/link_session.hpp"
#include "shell/session.hpp"

namespace torvane::cli {

namespace {

constexpr std::string_view kIdentifyUsage =
    "usage: torvane-cli identify --model zra6|zra6plus|zra7 --port PATH "
    "[--config PATH] [--set KEY=VALUE]...\n";

enum class Model { Zra6, Zra6Plus, Zra7 };

struct IdentifyOptions {
  Model model = Model::Zra7;
  std::string port;
  std::string config;
  std::vector<std::pair<std::string, std::string>> overrides;
};

int Usage(Io& io, const std::string& problem) {
  io.err << "torvane-cli identify: " << problem << "\n" << kIdentifyUsage;
  return 2;
}

std::string Trimmed(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

}  // namespace

int RunIdentify(Args args, Io& io) {
  IdentifyOptions options;
  bool modelGiven = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--") {  // no file arguments follow: anything after it is a mistake
      if (i + 1 < args.size()) {
        return Usage(io, "unexpected argument " + args[i + 1]);
      }
      break;
    }
    if (a == "--help" || a == "-h") {
      io.out << kIdentifyUsage;
      return 0;
    }
    if (i + 1 >= args.size()) return Usage(io, "option " + a + " needs a value");
    const std::string& v = args[++i];
    if (a == "--model") {
      if (v == "zra6") {
        options.model = Model::Zra6;
      } else if (v == "zra6plus") {
        options.model = Model::Zra6Plus;
      } else if (v == "zra7") {
        options.model = Model::Zra7;
      } else {
        return Usage(io, "unknown model '" + v + "'");
      }
      modelGiven = true;
    } else if (a == "--port") {
      options.port = v;
    } else if (a == "--config") {
      options.config = v;
    } else if (a == "--set") {
      const std::size_t eq = v.find('=');
      if (eq == std::string::npos || eq == 0) return Usage(io, "--set needs KEY=VALUE");
      options.overrides.emplace_back(v.substr(0, eq), v.substr(eq + 1));
    } else {
      return Usage(io, "unknown option " + a);
    }
  }
  if (!modelGiven) return Usage(io, "--model is required");
  if (options.port.empty()) return Usage(io, "--port is required");
  PollEventLoop loop;
  ScriptedDialogs dialogs;
  Session session{PlatformServices{loop, loop, loop, dialogs}};
  SettingsRecord& s = session.settings;
  if (const std::string problem =
          LoadUnitCommandSettings(s, options.config, options.overrides, "identify", io.err);
      !problem.empty()) {
    return Usage(io, problem);
  }
  // The command line leaves the program's status log file alone.
  SelectUnit(s,
             options.model == Model::Zra6       ? UnitChoice::Zra6
             : options.model == Model::Zra6Plus ? UnitChoice::Zra6Plus
                                                : UnitChoice::Zra7,
             options.port);
  session.statusLog.messageListeners.push_back([&io](std::string_view message) {
    io.out << message << "\n" << std::flush;
  });

  const bool found = DiscoverInterface(LinkContextOf(session)) == DiscoveryResult::Found;

  for (const ScriptedDialogs::Shown& shown : dialogs.shown) {
    io.err << "torvane-cli identify: " << shown.title << ": " << shown.text << "\n";
  }
  if (found) {
    if (options.model == Model::Zra7) {
      const Zra7LinkState& z = session.link.zra7;
      io.out << "Status: " << Trimmed(z.Zra7StatusWord) << "\n"
             << "Firmware version: " << Trimmed(z.Zra7FirmwareVersion) << "\n"
             << "Serial number: " << Trimmed(z.Zra7SerialNumber) << "\n";
    } else {
      io.out << session.link.serial.InterfaceInfoText;
      if (session.link.serial.InterfaceInfoText.back() != '\n') io.out << "\n";
      io.out << "Unit version: " << session.link.serial.UnitVersion << "\n";
    }
  }

  // As the program does when it ends: the ZRA7's DTR goes low, ports close.
  if (s.ZRA7Input) ShutdownZra7Link(LinkContextOf(session));
  session.link.serial.port->Close();
  if (s.ZRA6PlusInput) CloseUsbPortAtExit(LinkContextOf(session));
  return found ? 0 : 1;
}

}  // namespace torvane::cli
