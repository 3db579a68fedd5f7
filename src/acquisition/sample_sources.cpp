#include "acquisition/sample_sources.hpp"

#include <algorithm>
#include <array>
#include <span>

#include "acquisition/collection_session.hpp"
#include "acquisition/stream_decoders.hpp"
#include "common/number_text.hpp"
#include "link/accelerometer_port.hpp"
#include "link/brake.hpp"
#include "link/link_result.hpp"
#include "link/unit_models.hpp"
#include "link/usb_port.hpp"
#include "link/zra6_protocol.hpp"
#include "link/zra7_protocol.hpp"

namespace torvane {

namespace {

// One look at the serial input, and how long one gathering may go on when
// the unit keeps sending (it never should for longer than a tick).
constexpr std::size_t kInputChunk = 4096;
constexpr std::uint32_t kGatherLimitMs = 1000;
constexpr std::size_t kGatherLimitBytes = 1 << 20;

bool UsbPortAlive(const CollectionContext& cx) {
  UsbLinkState& usb = cx.link.usb;
  std::uint32_t waiting = 0;
  return usb.device.GetQueueStatus(usb.UsbHandle, waiting) == kFtOk;
}

bool BytePortAlive(BytePort& port) {
  return port.IsOpen() && port.BytesWaiting().status.ok();
}

// A port that was open at the start and fails now: the unit went away.
// The collection stops with what it has. False once the unit is gone.
bool NoteUnitPresence(const CollectionContext& cx, const SampleSource& source) {
  CollectionState& c = cx.collection;
  if (c.unitLost) return false;
  if (!c.portOpenAtStart || source.alive(cx)) return true;
  c.unitLost = true;
  c.CollectionStopRequested = true;
  return false;
}

// --- ZRA6 (serial port) and ZRA6+ (USB) -----------------------------------

bool GatherSerialBytes(const CollectionContext& cx) {
  BytePort& port = *cx.link.serial.port;
  std::string& text = cx.link.serial.StreamText;
  const std::uint64_t start = cx.clock.Milliseconds();
  const std::size_t before = text.size();
  bool ok = true;
  while (port.IsOpen()) {
    cx.pump.ProcessPendingEvents();
    if (!port.IsOpen()) break;
    if (!port.ReadAvailable(text, kInputChunk).ok()) {
      ok = false;
      break;
    }
    const PortCount waiting = port.BytesWaiting();
    if (!waiting.status.ok()) {
      ok = false;
      break;
    }
    if (waiting.count == 0 || text.size() - before >= kGatherLimitBytes ||
        cx.clock.Milliseconds() - start > kGatherLimitMs) {
      break;
    }
  }
  cx.collection.bytesReceived += text.size() - before;
  return ok && port.IsOpen();
}

bool GatherUsbBytes(const CollectionContext& cx) {
  const std::string bytes = UsbRead(cx.Link());
  cx.collection.bytesReceived += bytes.size();
  cx.link.serial.StreamText += bytes;
  return UsbPortAlive(cx);
}

// Gather, decode, scale, and switch the brake. The brake looks at each new
// sample once it is scaled in full, with the one before it: the sample at
// SampleCount is still provisional, and a crossing inside a tick is not to
// be missed.
void CollectZra6Frames(const CollectionContext& cx, const SampleSource& source) {
  CollectionState& c = cx.collection;
  TrialDataSet& trial = cx.trial;
  SerialLinkState& serial = cx.link.serial;
  const std::int32_t before = trial.SampleCount;
  if (!source.gather(cx)) NoteUnitPresence(cx, source);
  DecodeZra6Frames(serial.StreamText, serial.StreamSearchStart, trial, c.streamWithForce,
                   cx.settings.samples, &c.frames);
  CompactStreamText(serial.StreamText, serial.StreamSearchStart);
  ScaleZra6Samples(trial, CalibrationOf(cx.settings), c.LastTickRawIndex, c.streamWithForce);
  if (source.drivesBrake && cx.settings.BrakeLevel != 0) {
    for (std::int32_t n = std::max(before, 1); n < trial.SampleCount; ++n)
      BrakeControlAt(cx.Link(), n);
  }
}

void StartZra6(const CollectionContext& cx) {
  StartZra6Stream(cx.Link());
}
void StopZra6(const CollectionContext& cx) {
  StopZra6Stream(cx.Link());
}
void CollectZra6(const CollectionContext& cx) {
  CollectZra6Frames(cx, SampleSourceOf(CollectionSource::Zra6));
}
bool Zra6Alive(const CollectionContext& cx) {
  return BytePortAlive(*cx.link.serial.port);
}
void CloseZra6(const CollectionContext& cx) {
  cx.link.serial.port->Close();
}
void ClearZra6Input(const CollectionContext& cx) {
  if (cx.link.serial.port->IsOpen()) cx.link.serial.port->Purge(true, false);
}

void StartZra6Plus(const CollectionContext& cx) {
  StartZra6PlusStream(cx.Link());
}
// The ZRA6+ stream's start and stop switch the collection monitor themselves.
void ConnectZra6Plus(const CollectionContext& cx) {
  cx.link.switchCollectionMonitor = [cx](bool enable) {
    Timer& timer = *cx.collection.tmrCheckStatus;
    if (!enable) {
      timer.Stop();
    } else if (!timer.IsActive()) {
      timer.Start(kCollectionMonitorMs);
    }
  };
}
void StopZra6Plus(const CollectionContext& cx) {
  StopZra6PlusStream(cx.Link());
}
void CollectZra6Plus(const CollectionContext& cx) {
  CollectZra6Frames(cx, SampleSourceOf(CollectionSource::Zra6Plus));
}
void CloseZra6Plus(const CollectionContext& cx) {
  cx.link.serial.Zra6PlusStreaming = false;
  cx.link.usb.LastUsbMessage = Text(CloseUsbPort(cx.Link()));
}

// --- ZRA7 (USB): its own 30 ms stream reader decodes ----------------------

// Starts the stream, or stops it when it runs. The unit streams at its own
// rate; the frequency is the rate after thinning.
void ToggleZra7Stream(const CollectionContext& cx) {
  if (cx.link.zra7.Zra7Streaming) {
    cx.link.usb.LastUsbMessage = Text(StopZra7Stream(cx.Link()));
    return;
  }
  SettingsRecord& s = cx.settings;
  if (s.frequency > cx.maxInterfaceFrequency) s.frequency = cx.maxInterfaceFrequency;
  if (StartZra7Stream(cx.Link()) == PortResult::Open) {
    cx.trial.RawSampleIndex = 1;
    cx.trial.SampleCount = 1;
    cx.link.LastTickSampleCount = 1;
    cx.link.CollectStartTicks = static_cast<std::uint32_t>(cx.clock.Milliseconds());
  }
}

// The 30 ms stream reader: what arrived is decoded at once (and the brake
// switched); the last sample, or a unit gone, finishes the collection.
void ReadZra7Stream(const CollectionContext& cx) {
  CollectionState& c = cx.collection;
  if (!c.collecting || c.source != CollectionSource::Zra7) return;
  std::string& buffer = cx.link.zra7.Zra7ReplyBuffer;
  const std::size_t first = buffer.find_first_not_of(' ');
  if (first == std::string::npos) {
    buffer.clear();
  } else {
    buffer.erase(buffer.find_last_not_of(' ') + 1);
    buffer.erase(0, first);
  }
  // The read area is blank-padded: only the bytes read are stream. Nothing
  // received is cut off, however late the tick.
  const std::string area = UsbRead(cx.Link());
  if (!area.empty()) {
    const std::size_t n = std::min<std::size_t>(area.size(), cx.link.usb.UsbBytesRead);
    buffer.append(area, 0, n);
    c.bytesReceived += n;
  }
  const SettingsRecord& s = cx.settings;
  DecodeZra7Frames(
      buffer, cx.trial, CalibrationOf(s), s.samples, c.rawFrameBound, c.frameDivider,
      [&cx, brake = SampleSourceOf(CollectionSource::Zra7).drivesBrake] {
        if (brake && cx.settings.BrakeLevel != 0) BrakeControl(cx.Link());
      },
      &c.frames);
  if (!NoteUnitPresence(cx, SampleSourceOf(CollectionSource::Zra7))) {
    MonitorCollection(cx);
    return;
  }
  if (cx.trial.SampleCount >= s.samples) {
    ToggleZra7Stream(cx);
    MonitorCollection(cx);  // finishes, and processes the trial, once
  }
}

void ConnectZra7(const CollectionContext& cx) {
  cx.link.zra7.onStreamTick = [cx] {
    CollectionState& state = cx.collection;
    if (state.inStreamTick) return;
    state.inStreamTick = true;
    ReadZra7Stream(cx);
    state.inStreamTick = false;
  };
}

void StartZra7(const CollectionContext& cx) {
  ToggleZra7Stream(cx);
}
void CollectZra7(const CollectionContext& cx) {
  NoteUnitPresence(cx, SampleSourceOf(CollectionSource::Zra7));
}
// The ZRA7 stream stops at once, so that nothing more arrives and the next
// Start starts a stream rather than switching this one off.
void StopZra7AtOnce(const CollectionContext& cx) {
  if (cx.link.zra7.Zra7Streaming) cx.link.usb.LastUsbMessage = Text(StopZra7Stream(cx.Link()));
}
// Also stops the stream timer and closes the port when the unit went away;
// the "U0" itself then fails.
void CloseZra7(const CollectionContext& cx) {
  cx.link.usb.LastUsbMessage = Text(StopZra7Stream(cx.Link()));
}

// --- Accelerometer --------------------------------------------------------

void StartAccelerometer(const CollectionContext& cx) {
  FlushAccelerometerInput(cx.Link());
  cx.link.accel.AccelSearchStart = 1;
  StartStopAccelerometer(cx.Link(), true);
}
void CollectAccelerometer(const CollectionContext& cx) {
  AccelLinkState& a = cx.link.accel;
  const std::string input = ReadAccelerometerAll(cx.Link());
  cx.collection.bytesReceived += input.size();
  a.AccelStreamText += input;
  DecodeAccelerometerText(a.AccelStreamText, a.AccelSearchStart, cx.trial, cx.settings.samples,
                          cx.view.AccelerometerOffset, &cx.collection.frames);
  CompactStreamText(a.AccelStreamText, a.AccelSearchStart);
  NoteUnitPresence(cx, SampleSourceOf(CollectionSource::Accelerometer));
}
bool AccelerometerAlive(const CollectionContext& cx) {
  return BytePortAlive(*cx.link.accel.port);
}
void StopAccelerometer(const CollectionContext& cx) {
  cx.link.accel.AccelStreamText += ReadAccelerometerAll(cx.Link());
  StartStopAccelerometer(cx.Link(), false);
}
void CloseAccelerometer(const CollectionContext& cx) {
  cx.link.accel.port->Close();
}
void ClearAccelerometerInput(const CollectionContext& cx) {
  FlushAccelerometerInput(cx.Link());
}

// --- Demonstration trial, and no unit -------------------------------------

// The demonstration trial stands for a collection that delivered all its
// samples: processing keeps every one of them.
void StartDemonstration(const CollectionContext& cx) {
  if (cx.openDemonstrationTrial) cx.openDemonstrationTrial();
  cx.pump.ProcessPendingEvents();
  cx.collection.CollectionStopRequested = true;
  cx.trial.SampleCount = cx.settings.samples;
}

void Nothing(const CollectionContext&) {}
bool NothingGathered(const CollectionContext&) {
  return true;
}
bool NoPort(const CollectionContext&) {
  return false;
}
void NotConnected(const CollectionContext&) {}

constexpr std::array<SampleSource, 6> kSources{{
    {.id = CollectionSource::None,
     .unit = InterfaceModel::None,
     .name = "no unit",
     .live = true,
     .maximumFrequency = -1,
     .thinsFrames = false,
     .forceChannels = ForceChannels::Never,
     .measuresAcceleration = false,
     .drivesBrake = false,
     .unitNoun = "The interface unit",
     .start = Nothing,
     .collectTick = Nothing,
     .gather = NothingGathered,
     .alive = NoPort,
     .stopAtOnce = Nothing,
     .stop = Nothing,
     .closeLost = Nothing,
     .gatherAfterStop = false,
     .clearInput = Nothing,
     .connect = NotConnected},
    {.id = CollectionSource::Demonstration,
     .unit = InterfaceModel::None,
     .name = "demonstration",
     .live = false,
     .maximumFrequency = -1,
     .thinsFrames = false,
     .forceChannels = ForceChannels::Selectable,
     .measuresAcceleration = false,
     .drivesBrake = false,
     .unitNoun = "The interface unit",
     .start = StartDemonstration,
     .collectTick = Nothing,
     .gather = NothingGathered,
     .alive = NoPort,
     .stopAtOnce = Nothing,
     .stop = Nothing,
     .closeLost = Nothing,
     .gatherAfterStop = false,
     .clearInput = Nothing,
     .connect = NotConnected},
    {.id = CollectionSource::Zra6,
     .unit = InterfaceModel::Zra6,
     .name = "ZRA6",
     .live = true,
     .maximumFrequency = kZra6MaximumFrequency,
     .thinsFrames = false,
     .forceChannels = ForceChannels::Selectable,
     .measuresAcceleration = false,
     .drivesBrake = true,
     .unitNoun = "The interface unit",
     .start = StartZra6,
     .collectTick = CollectZra6,
     .gather = GatherSerialBytes,
     .alive = Zra6Alive,
     .stopAtOnce = Nothing,
     .stop = StopZra6,
     .closeLost = CloseZra6,
     .gatherAfterStop = true,
     .clearInput = ClearZra6Input,
     .connect = NotConnected},
    {.id = CollectionSource::Zra6Plus,
     .unit = InterfaceModel::Zra6Plus,
     .name = "ZRA6+",
     .live = true,
     .maximumFrequency = kZra6MaximumFrequency,
     .thinsFrames = false,
     .forceChannels = ForceChannels::Selectable,
     .measuresAcceleration = false,
     .drivesBrake = true,
     .unitNoun = "The interface unit",
     .start = StartZra6Plus,
     .collectTick = CollectZra6Plus,
     .gather = GatherUsbBytes,
     .alive = UsbPortAlive,
     .stopAtOnce = Nothing,
     .stop = StopZra6Plus,
     .closeLost = CloseZra6Plus,
     .gatherAfterStop = true,
     .clearInput = Nothing,
     .connect = ConnectZra6Plus},
    {.id = CollectionSource::Zra7,
     .unit = InterfaceModel::Zra7,
     .name = "ZRA7",
     .live = true,
     .maximumFrequency = 0,
     .thinsFrames = true,
     .forceChannels = ForceChannels::Always,
     .measuresAcceleration = false,
     .drivesBrake = true,
     .unitNoun = "The interface unit",
     .start = StartZra7,
     .collectTick = CollectZra7,
     .gather = NothingGathered,
     .alive = UsbPortAlive,
     .stopAtOnce = StopZra7AtOnce,
     .stop = StopZra7AtOnce,
     .closeLost = CloseZra7,
     .gatherAfterStop = false,
     .clearInput = Nothing,
     .connect = ConnectZra7},
    {.id = CollectionSource::Accelerometer,
     .unit = InterfaceModel::None,
     .name = "accelerometer",
     .live = true,
     .maximumFrequency = -1,
     .thinsFrames = false,
     .forceChannels = ForceChannels::Never,
     .measuresAcceleration = true,
     .drivesBrake = false,
     .unitNoun = "The accelerometer",
     .start = StartAccelerometer,
     .collectTick = CollectAccelerometer,
     .gather = NothingGathered,
     .alive = AccelerometerAlive,
     .stopAtOnce = Nothing,
     .stop = StopAccelerometer,
     .closeLost = CloseAccelerometer,
     .gatherAfterStop = false,
     .clearInput = ClearAccelerometerInput,
     .connect = NotConnected},
}};

}  // namespace

std::span<const SampleSource> SampleSources() {
  return kSources;
}

const SampleSource& SampleSourceOf(CollectionSource id) {
  for (const SampleSource& source : kSources) {
    if (source.id == id) return source;
  }
  return kSources[0];
}

const SampleSource& SelectedSampleSource(const SettingsRecord& s, bool demoMode) {
  if (demoMode) return SampleSourceOf(CollectionSource::Demonstration);
  if (s.AccelInput) return SampleSourceOf(CollectionSource::Accelerometer);
  const InterfaceModel unit = SelectedInterfaceModel(s);
  for (const SampleSource& source : kSources) {
    if (unit != InterfaceModel::None && source.unit == unit) return source;
  }
  return SampleSourceOf(CollectionSource::None);
}

}  // namespace torvane
