// torvane-cli reading: the reading a calibration takes, from a unit on a
// port (discovery first, as at start-up): a collection of a few seconds
// with the channel's calibration at slope 1 and offset 0. Prints the mean
// raw count and what the configuration's slope and offset make of it, so
// that a calibration can be worked out by a script. Exit status: 0 for a
// complete reading, 1 when the unit was not found or the reading did not
// complete, 2 for a usage error.
#include <ostream>
#include <string_view>

#include "acquisition/collection_session.hpp"
#include "cli/analyse_options.hpp"
#include "cli/commands.hpp"
#include "cli/unit_link.hpp"
#include "common/number_text.hpp"
#include "common/poll_event_loop.hpp"
#include "link/interface_discovery.hpp"
#include "link/port_claim.hpp"
#include "link/usb_port.hpp"
#include "link/zra7_protocol.hpp"
#include "shell/acquisition_session.hpp"
#include "shell/link_session.hpp"
#include "shell/session.hpp"

namespace torvane::cli {

namespace {

constexpr std::string_view kReadingUsage =
    "usage: torvane-cli reading --model zra6|zra6plus|zra7 --port PATH [--seconds S]\n"
    "                           [--channel displacement|force] [--frequency HZ]\n"
    "                           [--config PATH] [--set KEY=VALUE]...\n";

constexpr std::uint32_t kPumpStepMs = 5;

struct ReadingOptions : UnitLinkOptions {
  double seconds = 2;
  bool force = false;
};

int Usage(Io& io, const std::string& problem) {
  io.err << "torvane-cli reading: " << problem << "\n" << kReadingUsage;
  return 2;
}

std::string ParseReadingOptions(Args args, ReadingOptions& o, bool& help) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--") {
      if (i + 1 < args.size()) return "unexpected argument " + args[i + 1];
      break;
    }
    if (a == "--help" || a == "-h") {
      help = true;
      return {};
    }
    if (i + 1 >= args.size()) return "option " + a + " needs a value";
    const std::string& v = args[++i];
    double d = 0;
    const auto bad = [&] { return "bad value for " + a + ": '" + v + "'"; };
    if (const auto taken = TakeUnitLinkOption(a, v, false, o)) {
      if (!taken->empty()) return *taken;
    } else if (a == "--seconds") {
      if (!ReadNumberArgument(v, d) || !(d > 0) || d > 60) return bad();
      o.seconds = d;
    } else if (a == "--channel") {
      if (v != "displacement" && v != "force") return bad();
      o.force = v == "force";
    } else {
      return "unknown option " + a;
    }
  }
  return MissingUnitLinkOption(o);
}

}  // namespace

int RunReading(Args args, Io& io) {
  ReadingOptions o;
  bool help = false;
  if (const std::string problem = ParseReadingOptions(args, o, help); !problem.empty()) {
    return Usage(io, problem);
  }
  if (help) {
    io.out << kReadingUsage;
    return 0;
  }
  PollEventLoop loop(kPumpStepMs);
  ScriptedDialogs dialogs;
  Session session{PlatformServices{loop, loop, loop, dialogs}};
  SettingsRecord& s = session.settings;
  if (const std::string problem =
          LoadUnitCommandSettings(s, o.config, o.overrides, "reading", io.err);
      !problem.empty()) {
    return Usage(io, problem);
  }
  std::string problem;
  const std::optional<PortClaim> claim = PortClaim::Claim(o.port, problem);
  if (!claim) {
    io.err << "torvane-cli reading: " << problem << "\n";
    return 1;
  }
  SelectUnit(s, o.unit, o.port);
  session.statusLog.messageListeners.push_back([&io](std::string_view message) {
    io.err << message << "\n" << std::flush;
  });
  DimensionDataArrays(session.trial, s.samples);
  const auto reportDialogs = [&] {
    for (const ScriptedDialogs::Shown& shown : dialogs.shown) {
      io.err << "torvane-cli reading: " << (shown.title.empty() ? "" : shown.title + ": ")
             << shown.text << "\n";
    }
    dialogs.shown.clear();
  };
  const auto closeLink = [&] {
    if (s.ZRA7Input) ShutdownZra7Link(LinkContextOf(session));
    session.link.serial.port->Close();
    if (s.ZRA6PlusInput) CloseUsbPortAtExit(LinkContextOf(session));
  };
  if (DiscoverInterface(LinkContextOf(session)) != DiscoveryResult::Found) {
    reportDialogs();
    closeLink();
    return 1;
  }
  if (o.frequency) s.frequency = static_cast<std::int32_t>(*o.frequency);

  const CollectionContext collection = CollectionContextOf(session);
  const ZeroChannel channel = o.force ? ZeroChannel::Force : ZeroChannel::Displacement;
  if (const std::string refusal = RawReadingRefusal(collection, channel); !refusal.empty()) {
    io.err << "torvane-cli reading: " << refusal << "\n";
    closeLink();
    return 1;
  }
  const RawReading reading = TakeRawReading(collection, channel, o.seconds);
  reportDialogs();
  closeLink();
  if (reading.outcome != ReadingOutcome::Complete) {
    io.err << "torvane-cli reading: the reading did not complete (" << reading.samples
           << " samples)\n";
    return 1;
  }
  const double slope = o.force ? s.ForceCalSlope : s.DispCalSlope;
  const double offset = o.force ? s.ForceInt : s.DispInt;
  io.out << "channel: " << (o.force ? "force" : "displacement") << "\n"
         << "samples: " << reading.samples << " at " << s.frequency << " Hz\n"
         << "mean raw count: " << FormatNumber(reading.meanCount, "0.0##") << "\n"
         << "slope: " << FormatNumber(slope, "0.0#########") << "\n"
         << "offset: " << FormatNumber(offset, "0.0##") << "\n"
         << "value: " << FormatNumber((reading.meanCount - offset) * slope, "0.0####")
         << (o.force ? " N" : " m") << "\n";
  return 0;
}

}  // namespace torvane::cli
