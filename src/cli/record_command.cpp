// torvane-cli record: one collection from a unit on a port, as the analysis
// window's Start runs it (discovery first, as at start-up), with progress on
// stderr, the processing at the end, and the trial saved as a version 2
// trial file. Ctrl-C, SIGTERM and SIGHUP are Stop: the collection ends with
// what it has, and that is saved. The exit status says whether the trial is
// whole (0), damaged or cut short (3), or not saved at all (1).
#include <sys/resource.h>

#include <csignal>
#include <ostream>
#include <string_view>

#include "acquisition/collection_session.hpp"
#include "cli/analyse_options.hpp"
#include "cli/commands.hpp"
#include "cli/output_checks.hpp"
#include "cli/unit_link.hpp"
#include "common/number_text.hpp"
#include "common/poll_event_loop.hpp"
#include "config/settings_io.hpp"
#include "files/trial_file.hpp"
#include "link/interface_discovery.hpp"
#include "link/port_claim.hpp"
#include "link/usb_port.hpp"
#include "link/zra7_protocol.hpp"
#include "shell/acquisition_session.hpp"
#include "shell/analysis_session.hpp"
#include "shell/link_session.hpp"
#include "shell/session.hpp"

namespace torvane::cli {

namespace {

constexpr std::string_view kRecordUsage =
    "usage: torvane-cli record --model zra6|zra6plus|zra7|accel --port PATH --duration SECONDS\n"
    "                          -o TRIAL.qlx [--frequency HZ] [--record-force] [--count-in]\n"
    "                          [--mass KG] [--idle-timeout SECONDS] [--stats]\n"
    "                          [--config PATH] [--set KEY=VALUE]...\n";

// The event loop's step: the stream tick is 30 ms, the monitor 100 ms.
constexpr std::uint32_t kPumpStepMs = 5;
constexpr std::uint64_t kProgressEveryMs = 1000;
// A trial saved, but damaged or cut short.
constexpr int kExitDamagedTrial = 3;

volatile std::sig_atomic_t stopRequested = 0;
void OnInterrupt(int) {
  stopRequested = 1;
}

struct RecordOptions : UnitLinkOptions {
  std::string output;
  double duration = 0;
  bool recordForce = false;
  bool countIn = false;
  std::optional<double> mass;
  double idleTimeout = 5;
  bool stats = false;
};

int Usage(Io& io, const std::string& problem) {
  io.err << "torvane-cli record: " << problem << "\n" << kRecordUsage;
  return 2;
}

// Parses the arguments; an empty text when they can be used.
std::string ParseRecordOptions(Args args, RecordOptions& o, bool& help) {
  bool durationGiven = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--") {  // no file arguments follow: anything after it is a mistake
      if (i + 1 < args.size()) {
        return "unexpected argument " + args[i + 1];
      }
      break;
    }
    if (a == "--help" || a == "-h") {
      help = true;
      return {};
    }
    if (a == "--record-force") {
      o.recordForce = true;
      continue;
    }
    if (a == "--count-in") {
      o.countIn = true;
      continue;
    }
    if (a == "--stats") {
      o.stats = true;
      continue;
    }
    if (i + 1 >= args.size()) return "option " + a + " needs a value";
    const std::string& v = args[++i];
    double d = 0;
    const auto bad = [&] { return "bad value for " + a + ": '" + v + "'"; };
    if (const auto taken = TakeUnitLinkOption(a, v, true, o)) {
      if (!taken->empty()) return *taken;
    } else if (a == "-o" || a == "--output") {
      o.output = v;
    } else if (a == "--duration") {
      if (!ReadNumberArgument(v, d) || !(d > 0) || d > 3600) return bad();
      o.duration = d;
      durationGiven = true;
    } else if (a == "--mass") {
      if (!ReadNumberArgument(v, d) || !(d > 0) || d > 1000) return bad();
      o.mass = d;
    } else if (a == "--idle-timeout") {
      if (!ReadNumberArgument(v, d) || !(d > 0) || d > 3600) return bad();
      o.idleTimeout = d;
    } else {
      return "unknown option " + a;
    }
  }
  if (std::string missing = MissingUnitLinkOption(o); !missing.empty()) return missing;
  if (!durationGiven) return "--duration is required";
  if (o.output.empty()) return "-o is required";
  return {};
}

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void ShowProgress(Io& io, const Session& session) {
  const std::int32_t samples = session.settings.samples;
  const std::int32_t count = session.trial.SampleCount;
  const double left = session.settings.frequency > 0
                          ? static_cast<double>(samples - count) / session.settings.frequency
                          : 0.0;
  io.err << (io.errIsTerminal ? "\r" : "") << "recording: " << count << " of " << samples
         << " samples, " << FormatNumber(left < 0 ? 0 : left, "0.0") << " s left"
         << (io.errIsTerminal ? "   " : "\n") << std::flush;
}

// Frames that came after the last sample and were kept, not decoded.
std::uint64_t Zra6FramesLeft(const Session& session, bool withForce) {
  const std::string& text = session.link.serial.StreamText;
  const std::size_t length = withForce ? 5 : 3;
  std::uint64_t frames = 0;
  std::size_t p = session.link.serial.StreamSearchStart > 0
                      ? static_cast<std::size_t>(session.link.serial.StreamSearchStart) - 1
                      : 0;
  while (p < text.size()) {
    const auto b = static_cast<std::uint8_t>(text[p]);
    if (b != kZra6SyncByte && b != kZra6SyncByteLower) {
      ++p;
      continue;
    }
    if (p + length > text.size()) break;
    ++frames;
    p += length;
  }
  return frames;
}

void PrintStats(Io& io, const Session& session, double cpuSeconds, double wallSeconds) {
  const CollectionState& c = session.collection;
  io.out << "frames whole: " << c.frames.accepted << "\n"
         << "frames rejected: " << c.frames.rejected << "\n"
         << "samples held: " << c.frames.held << "\n";
  if (c.source == CollectionSource::Zra6 || c.source == CollectionSource::Zra6Plus) {
    io.out << "frames after the last sample: " << Zra6FramesLeft(session, c.streamWithForce)
           << "\n";
  }
  io.out << "bytes received: " << c.bytesReceived << "\n"
         << "unit lost: " << (c.unitLost ? "yes" : "no") << "\n"
         << "wall seconds: " << FormatNumber(wallSeconds, "0.000") << "\n"
         << "cpu seconds: " << FormatNumber(cpuSeconds, "0.000") << "\n"
         << "recovery appends: " << c.recoveryAppends << ", longest "
         << FormatNumber(static_cast<double>(c.longestRecoveryAppendUs) / 1000.0, "0.000")
         << " ms\n";
}

// A recording under way: the session, its event loop and what it prints.
struct Recording {
  Recording(Io& io)
      : io(io), loop(kPumpStepMs), session{PlatformServices{loop, loop, loop, dialogs}} {}
  Io& io;
  PollEventLoop loop;
  ScriptedDialogs dialogs;
  Session session;
  double cpuSeconds = 0;
  double wallSeconds = 0;

  void ReportDialogs() {
    for (const ScriptedDialogs::Shown& shown : dialogs.shown) {
      io.err << "torvane-cli record: " << shown.title << ": " << shown.text << "\n";
    }
    dialogs.shown.clear();
  }

  // As the program does when it ends: the ZRA7's DTR goes low, ports close.
  void CloseLink() {
    const SettingsRecord& s = session.settings;
    if (s.ZRA7Input) ShutdownZra7Link(LinkContextOf(session));
    session.link.serial.port->Close();
    session.link.accel.port->Close();
    if (s.ZRA6PlusInput) CloseUsbPortAtExit(LinkContextOf(session));
  }
};

// Runs the collection until it ends by itself, by a signal (Stop) or by a
// unit that sends nothing for the idle time (a fault: the trial is cut short).
void Collect(Recording& r, const RecordOptions& o) {
  Session& session = r.session;
  Io& io = r.io;
  CollectionState& c = session.collection;
  const CollectionContext collection = CollectionContextOf(session);
  // As typed into the duration box.
  c.durationSeconds = LeadingNumber(ShortNumericText(o.duration));
  c.countInBeforeStart = o.countIn;
  c.hooks.showCountIn = [&io](int number) {
    if (number >= 0) io.err << "count-in: " << number << "\n" << std::flush;
  };

  stopRequested = 0;
  const auto previousInt = std::signal(SIGINT, OnInterrupt);
  const auto previousTerm = std::signal(SIGTERM, OnInterrupt);
  const auto previousHup = std::signal(SIGHUP, OnInterrupt);
  const double cpuAtStart = CpuSeconds();
  const std::uint64_t startMs = r.loop.Milliseconds();
  StartOrStopCollection(collection);
  std::uint64_t lastProgress = r.loop.Milliseconds();
  std::uint64_t lastSampleMs = r.loop.Milliseconds();
  std::int32_t lastCount = session.trial.SampleCount;
  while (c.collecting) {
    r.loop.ProcessPendingEvents();
    if (!c.collecting) break;
    const std::uint64_t now = r.loop.Milliseconds();
    if (session.trial.SampleCount != lastCount) {
      lastCount = session.trial.SampleCount;
      lastSampleMs = now;
    }
    if (stopRequested != 0) {
      io.err << (io.errIsTerminal ? "\n" : "") << "stopped: the collection ends with "
             << session.trial.SampleCount << " samples\n";
      StartOrStopCollection(collection);
    } else if (static_cast<double>(now - lastSampleMs) > o.idleTimeout * 1000.0) {
      io.err << (io.errIsTerminal ? "\n" : "") << "no samples for "
             << ShortNumericTextUnsigned(o.idleTimeout) << " s: the collection ends with "
             << session.trial.SampleCount << " samples\n";
      c.stoppedByFault = true;
      StartOrStopCollection(collection);
    } else if (now - lastProgress >= kProgressEveryMs) {
      lastProgress = now;
      ShowProgress(io, session);
    }
  }
  std::signal(SIGINT, previousInt);
  std::signal(SIGTERM, previousTerm);
  std::signal(SIGHUP, previousHup);
  r.cpuSeconds = CpuSeconds() - cpuAtStart;
  r.wallSeconds = static_cast<double>(r.loop.Milliseconds() - startMs) / 1000.0;
  if (io.errIsTerminal) io.err << "\n";
  r.ReportDialogs();
}

// Saves what was gathered; 0 for a whole trial, 3 for a damaged or cut-short
// one (saved; the status log's line on stderr says which, with the counts),
// 1 when nothing was saved.
int SaveRecording(Recording& r, const RecordOptions& o) {
  Session& session = r.session;
  SettingsRecord& s = session.settings;
  const CollectionState& c = session.collection;
  if (c.frames.accepted == 0 || s.samples <= 0) {
    // Not one whole frame came: there is nothing measured to save.
    r.io.err << "torvane-cli record: no samples were received; nothing was saved\n";
    return 1;
  }
  if (o.mass) {
    EnterMassText(session.trial, s, session.dialogs(), ShortNumericText(*o.mass),
                  CollectionCalculationMode(c, s), c.hooks.afterRecalculate);
  }
  session.trial.DataFileName = o.output;
  const SaveOutcome saved = SaveTrialFile(TrialFileContextOf(session), 0);
  r.ReportDialogs();
  if (saved != SaveOutcome::Saved) return 1;
  r.io.out << "Recorded " << s.samples << " samples at " << s.frequency << " Hz ("
           << FormatNumber(s.frequency > 0 ? static_cast<double>(s.samples) / s.frequency : 0.0,
                           "0.00")
           << " s), mass " << FormatNumber(s.weight, "0.000") << " kg, to " << o.output << "\n";
  // The status log's line on stderr has said how the collection ended.
  if (c.outcome == CollectionOutcome::Whole) return 0;
  return kExitDamagedTrial;
}

// The samples are kept on disk as they come, beside the output, until the
// trial file is written: a kill or a power cut loses at most a second.
void KeepRecoveryBesideOutput(Session& session, const std::string& output) {
  CollectionState& c = session.collection;
  c.recoveryPath = output + std::string(kRecordingRecoverySuffix);
  c.keepRecoveryFile = true;
  c.hooks.athlete = [&session] { return session.squad.Current(); };
}

// Removed once the trial is saved (or when nothing came); kept, and named,
// when the samples gathered could not be saved.
void SettleRecoveryFile(Recording& r, bool saved) {
  RecoveryJournal& recovery = r.session.collection.recovery;
  if (recovery.Path().empty()) return;
  if (saved || recovery.PointsWritten() == 0) {
    recovery.Remove();
    return;
  }
  recovery.Close();
  r.io.err << "torvane-cli record: the samples gathered are kept in " << recovery.Path()
           << " ('torvane-cli recover' makes a trial file of them)\n";
}

}  // namespace

int RunRecord(Args args, Io& io) {
  RecordOptions o;
  bool help = false;
  if (const std::string problem = ParseRecordOptions(args, o, help); !problem.empty()) {
    return Usage(io, problem);
  }
  if (help) {
    io.out << kRecordUsage;
    return 0;
  }

  Recording r(io);
  Session& session = r.session;
  SettingsRecord& s = session.settings;
  if (const std::string problem =
          LoadUnitCommandSettings(s, o.config, o.overrides, "record", io.err);
      !problem.empty()) {
    return Usage(io, problem);
  }
  // The output is checked before anything is recorded, so that a recording
  // is never made only to be lost.
  if (o.output == "-") return Usage(io, "the trial cannot be written to standard output");
  const std::vector<std::string> inputs{o.config};
  if (const std::optional<std::string> refused = CheckOutputPath(o.output, inputs)) {
    io.err << "torvane-cli record: " << *refused << "\n";
    return 1;
  }
  // One program at a time on a unit: a second recording is refused at once
  // and the first goes on undisturbed.
  std::string problem;
  const std::optional<PortClaim> claim = PortClaim::Claim(o.port, problem);
  if (!claim) {
    io.err << "torvane-cli record: " << problem << "\n";
    return 1;
  }
  SelectUnit(s, o.unit, o.port);
  s.RecordForce = o.recordForce && o.unit != UnitChoice::Accelerometer;
  session.statusLog.messageListeners.push_back([&io](std::string_view message) {
    io.err << message << "\n" << std::flush;
  });
  DimensionDataArrays(session.trial, s.samples);

  if (o.unit != UnitChoice::Accelerometer &&
      DiscoverInterface(LinkContextOf(session)) != DiscoveryResult::Found) {
    r.ReportDialogs();
    session.link.serial.port->Close();
    CloseUsbPortAtExit(LinkContextOf(session));
    return 1;
  }
  if (o.frequency) s.frequency = static_cast<std::int32_t>(*o.frequency);

  KeepRecoveryBesideOutput(session, o.output);
  Collect(r, o);
  const int status = SaveRecording(r, o);
  SettleRecoveryFile(r, status != 1);
  if (o.stats) PrintStats(io, session, r.cpuSeconds, r.wallSeconds);
  r.CloseLink();
  return status;
}

}  // namespace torvane::cli
