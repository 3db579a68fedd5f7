#include "acquisition/collection_session.hpp"

#include <algorithm>

#include "common/date_text.hpp"
#include "common/number_text.hpp"
#include "files/trial_file.hpp"
#include "link/accelerometer_port.hpp"
#include "link/brake.hpp"
#include "link/usb_port.hpp"
#include "link/zra6_protocol.hpp"
#include "link/zra7_protocol.hpp"
#include "shell/analysis_session.hpp"
#include "shell/main_menu_state.hpp"
#include "shell/session.hpp"

namespace torvane {

namespace {

// The ZRA6 and ZRA6+ stream at most this rate.
constexpr std::int32_t kZra6MaximumFrequency = 500;
// One look at the serial input, and how long one gathering may go on when
// the unit keeps sending (it never should for longer than a tick).
constexpr std::size_t kInputChunk = 4096;
constexpr std::uint32_t kGatherLimitMs = 1000;
constexpr std::size_t kGatherLimitBytes = 1 << 20;

CollectionState& State(Session& session) {
  return session.collection;
}

CollectionSource SelectedSource(const SettingsRecord& s) {
  if (s.AccelInput) return CollectionSource::Accelerometer;
  if (s.ZRA6Input) return CollectionSource::Zra6;
  if (s.ZRA6PlusInput) return CollectionSource::Zra6Plus;
  if (s.ZRA7Input) return CollectionSource::Zra7;
  return CollectionSource::None;
}

void ShowDigitalCaption(Session& session, const char* caption) {
  CollectionState& c = State(session);
  if (!c.digitalDisplayChecked) return;
  c.digitalDisplayCaption = caption;
  if (c.hooks.digitalDisplayCaption) c.hooks.digitalDisplayCaption(caption);
}

void ShowDigitalSample(Session& session) {
  CollectionState& c = State(session);
  if (c.digitalDisplayChecked && c.hooks.digitalDisplaySample) {
    c.hooks.digitalDisplaySample(session.trial.SampleCount);
  }
}

void RunTrainingHook(Session& session) {
  CollectionState& c = State(session);
  if (c.TrainingRecording && c.hooks.trainingHook) c.hooks.trainingHook();
}

bool UsbPortAlive(Session& session) {
  UsbLinkState& usb = session.link.usb;
  std::uint32_t waiting = 0;
  return usb.device.GetQueueStatus(usb.UsbHandle, waiting) == kFtOk;
}

bool BytePortAlive(BytePort& port) {
  return port.IsOpen() && port.BytesWaiting().status.ok();
}

// Whether the port of the running source is open and answering.
bool SourcePortAlive(Session& session) {
  switch (State(session).source) {
    case CollectionSource::Zra6:
      return BytePortAlive(*session.link.serial.port);
    case CollectionSource::Zra6Plus:
    case CollectionSource::Zra7:
      return UsbPortAlive(session);
    case CollectionSource::Accelerometer:
      return BytePortAlive(*session.link.accel.port);
    case CollectionSource::None:
      break;
  }
  return false;
}

// A port that was open at the start and fails now: the unit went away.
// The collection stops with what it has.
bool CheckUnitPresent(Session& session) {
  CollectionState& c = State(session);
  if (c.unitLost) return false;
  if (!c.portOpenAtStart || SourcePortAlive(session)) return true;
  c.unitLost = true;
  c.CollectionStopRequested = true;
  return false;
}

// Closes the port of a unit that went away; no stop command can reach it.
void CloseLostSource(Session& session) {
  CollectionState& c = State(session);
  switch (c.source) {
    case CollectionSource::Zra6:
      session.link.serial.port->Close();
      break;
    case CollectionSource::Zra6Plus:
      session.link.serial.Zra6PlusStreaming = false;
      session.link.usb.LastUsbMessage = CloseUsbPort(session);
      break;
    case CollectionSource::Zra7:
      // Stops the stream timer and closes the port; the "U0" itself fails.
      session.link.usb.LastUsbMessage = StopZra7Stream(session);
      break;
    case CollectionSource::Accelerometer:
      session.link.accel.port->Close();
      break;
    case CollectionSource::None:
      break;
  }
  const std::string unit =
      c.source == CollectionSource::Accelerometer ? "The accelerometer" : "The interface unit";
  AddStatusMessage(session, unit +
                                " stopped responding during the collection; the collection "
                                "ended with " +
                                std::to_string(session.trial.SampleCount) + " samples");
}

bool GatherSerialBytes(Session& session) {
  BytePort& port = *session.link.serial.port;
  std::string& text = session.link.serial.StreamText;
  CollectionState& c = State(session);
  const Clock& clock = session.clock();
  const std::uint64_t start = clock.Milliseconds();
  const std::size_t before = text.size();
  bool ok = true;
  while (port.IsOpen()) {
    session.pump().ProcessPendingEvents();
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
        clock.Milliseconds() - start > kGatherLimitMs) {
      break;
    }
  }
  c.bytesReceived += text.size() - before;
  return ok && port.IsOpen();
}

// ZRA6 and ZRA6+ during a monitor tick: gather, decode, scale, and switch
// the brake. The brake looks at each new sample once it is scaled in full,
// with the one before it: the sample at SampleCount is still provisional,
// and a crossing inside a tick is not to be missed.
void CollectZra6Tick(Session& session) {
  CollectionState& c = State(session);
  TrialDataSet& trial = session.trial;
  SerialLinkState& serial = session.link.serial;
  const std::int32_t before = trial.SampleCount;
  if (!GatherStreamBytes(session)) CheckUnitPresent(session);
  DecodeZra6Frames(serial.StreamText, serial.StreamSearchStart, trial, c.streamWithForce,
                   session.settings.samples, &c.frames);
  CompactStreamText(serial.StreamText, serial.StreamSearchStart);
  ScaleZra6Samples(trial, CalibrationOf(session.settings), c.LastTickRawIndex, c.streamWithForce);
  if (session.settings.BrakeLevel != 0) {
    for (std::int32_t n = std::max(before, 1); n < trial.SampleCount; ++n)
      BrakeControlAt(session, n);
  }
}

void CollectAccelerometerTick(Session& session) {
  CollectionState& c = State(session);
  AccelLinkState& a = session.link.accel;
  const std::string input = ReadAccelerometerAll(session);
  c.bytesReceived += input.size();
  a.AccelStreamText += input;
  DecodeAccelerometerText(a.AccelStreamText, a.AccelSearchStart, session.trial,
                          session.settings.samples, session.view.AccelerometerOffset, &c.frames);
  CompactStreamText(a.AccelStreamText, a.AccelSearchStart);
  CheckUnitPresent(session);
}

void StopSource(Session& session) {
  CollectionState& c = State(session);
  switch (c.source) {
    case CollectionSource::Zra6:
      StopZra6Stream(session);
      break;
    case CollectionSource::Zra6Plus:
      StopZra6PlusStream(session);
      break;
    case CollectionSource::Accelerometer:
      session.link.accel.AccelStreamText += ReadAccelerometerAll(session);
      StartStopAccelerometer(session, false);
      break;
    case CollectionSource::Zra7:
      // Stop has stopped the stream already, and so has the stream tick at
      // the last sample; only a collection ended otherwise gets here with
      // the stream still on.
      if (session.link.zra7.Zra7Streaming) {
        session.link.usb.LastUsbMessage = StopZra7Stream(session);
      }
      break;
    case CollectionSource::None:
      break;
  }
}

// The finishing branch of the monitor tick.
void FinishCollection(Session& session) {
  CollectionState& c = State(session);
  c.collecting = false;  // a tick fired from a wait inside these steps finds nothing to do
  if (c.unitLost) {
    CloseLostSource(session);
  } else {
    StopSource(session);
  }
  if (c.tmrCheckStatus) c.tmrCheckStatus->Stop();
  session.trial.CollectionDateTime = DateTimeText(session.clock().Now());
  RunTrainingHook(session);
  c.TrainingRecording = false;
  if (!c.unitLost &&
      (c.source == CollectionSource::Zra6 || c.source == CollectionSource::Zra6Plus)) {
    GatherStreamBytes(session);  // kept, not decoded
  }
  c.cmdCollectCaption = kCaptionStart;
  ShowDigitalCaption(session, kTimepointDisplayCaption);
  c.cmdCollectEnabled = true;
  c.cmdZeroForceEnabled = true;
  c.cmdZeroDispEnabled = true;
  ProcessCollectedTrial(session);
  if (!c.unitLost) {
    if (c.source == CollectionSource::Zra6 && session.link.serial.port->IsOpen()) {
      session.link.serial.port->Purge(true, false);
    }
    if (c.source == CollectionSource::Accelerometer) FlushAccelerometerInput(session);
  }
  UpdateStatusBar(session);
  ShowDigitalSample(session);
  session.view.ZeroingInProgress = false;
}

// Sizes the arrays for a collection of `rawFrames` raw values per channel
// when they are too small; a collection itself never resizes them.
void EnsureArrays(TrialDataSet& trial, std::int64_t rawFrames) {
  if (trial.UpperBound() < rawFrames + 2) DimensionDataArrays(trial, rawFrames);
}

void StartCountIn(Session& session) {
  CollectionState& c = State(session);
  for (int number = 3; number >= 0 && c.collecting; --number) {
    if (c.hooks.showCountIn) c.hooks.showCountIn(number);
    if (c.hooks.beep) c.hooks.beep();
    WaitMilliseconds(session.clock(), session.pump(), kCountInStepMs);
  }
  if (c.hooks.showCountIn) c.hooks.showCountIn(-1);
}

void StartSource(Session& session) {
  CollectionState& c = State(session);
  switch (c.source) {
    case CollectionSource::Accelerometer:
      FlushAccelerometerInput(session);
      session.link.accel.AccelSearchStart = 1;
      StartStopAccelerometer(session, true);
      break;
    case CollectionSource::Zra7:
      ToggleZra7Collection(session);
      break;
    case CollectionSource::Zra6:
      StartZra6Stream(session);
      break;
    case CollectionSource::Zra6Plus:
      StartZra6PlusStream(session);
      break;
    case CollectionSource::None:
      break;
  }
  c.portOpenAtStart = c.source != CollectionSource::None && SourcePortAlive(session);
  c.tmrCheckStatus->Start(kCollectionMonitorMs);
}

void StartCollection(Session& session) {
  CollectionState& c = State(session);
  SettingsRecord& s = session.settings;
  TrialDataSet& trial = session.trial;
  const bool zeroing = session.view.ZeroingInProgress;
  if (!zeroing) c.TextTrialNumber = ShortNumericText(LeadingNumber(c.TextTrialNumber) + 1.0);
  trial.DataFileName.clear();
  c.CollectionStopRequested = false;
  c.cmdCollectCaption = kCaptionStop;
  ShowDigitalCaption(session, kRealtimeDisplayCaption);

  const CollectionSource source = SelectedSource(s);
  if (s.ZRA7Input && s.frequency > session.MaxInterfaceFrequency) {
    s.frequency = session.MaxInterfaceFrequency;
  }
  if ((s.ZRA6Input || s.ZRA6PlusInput) && s.frequency > kZra6MaximumFrequency) {
    s.frequency = kZra6MaximumFrequency;
  }
  std::int32_t divider = 1;
  if (source == CollectionSource::Zra7) {
    // The unit streams at its own rate and every d-th frame is kept: the
    // trial's frequency is the rate that gives.
    divider = Zra7Divider(session.MaxInterfaceFrequency, s.frequency);
    s.frequency =
        ToInt32(RoundHalfEven(static_cast<double>(session.MaxInterfaceFrequency) / divider));
  }
  const double wanted = (c.ZeroRequestedByTraining || zeroing)
                            ? 2.0 * s.frequency
                            : RoundHalfEven(LeadingNumber(c.TextEndPoint) * s.frequency);
  if (!(wanted < static_cast<double>(kMaximumSamples))) {
    session.dialogs().ShowMessage(MessageIcon::Critical, kMaximumSamplesTitle,
                                  kMaximumSamplesMessage);
    c.cmdCollectCaption = kCaptionStart;
    ShowDigitalCaption(session, kTimepointDisplayCaption);
    return;
  }
  s.samples = wanted > 0 ? ToInt32(wanted) : 0;
  EnsureArrays(trial, static_cast<std::int64_t>(s.samples) * divider);
  ClearTrialData(trial, s.samples);

  c.source = source;
  c.zra7Divider = divider;
  c.zra7RawBound = s.samples * divider;
  c.streamWithForce = s.RecordForce;
  c.unitLost = false;
  c.portOpenAtStart = false;
  c.frames = {};
  c.bytesReceived = 0;

  if (session.DemoMode) {
    OpenTrialFileCommand(TrialFileContextOf(session), session.view, true);
    session.pump().ProcessPendingEvents();
    c.cmdCollectCaption = kCaptionStart;
    ShowDigitalCaption(session, kTimepointDisplayCaption);
    c.CollectionStopRequested = true;
    // The demonstration trial stands for a collection that delivered all
    // its samples: processing keeps every one of them.
    c.source = CollectionSource::None;
    trial.SampleCount = s.samples;
    c.collecting = true;
    tmrCheckStatus_Timer(session);
    return;
  }

  c.LastTickRawIndex = 0;
  trial.RawSampleIndex = 0;
  trial.SampleCount = 0;
  session.link.LastTickSampleCount = 0;
  c.cmdZeroForceEnabled = false;
  c.cmdZeroDispEnabled = false;
  c.cmdCollectEnabled = true;
  c.collecting = true;

  if (!zeroing && c.CheckCountInStart) StartCountIn(session);
  if (!c.collecting) return;  // stopped during the count-in
  if (s.soundstart && c.hooks.playStartSound) c.hooks.playStartSound();
  StartSource(session);
}

void StopCollection(Session& session) {
  CollectionState& c = State(session);
  c.cmdCollectCaption = kCaptionStart;
  ShowDigitalCaption(session, kTimepointDisplayCaption);
  c.CollectionStopRequested = true;
  // The ZRA7 stream stops at once, so that nothing more arrives and the
  // next Start starts a stream rather than switching this one off.
  if (c.source == CollectionSource::Zra7 && session.link.zra7.Zra7Streaming) {
    session.link.usb.LastUsbMessage = StopZra7Stream(session);
  }
  tmrCheckStatus_Timer(session);
}

}  // namespace

CalculationMode CollectionCalculationMode(const Session& session) {
  const CollectionHooks& hooks = session.collection.hooks;
  if (hooks.calculationMode) return hooks.calculationMode();
  CalculationMode mode;
  if (session.settings.AccelInput) {
    mode.fromDisplacement = false;
    mode.fromAcceleration = true;
  } else {
    mode.fromForce = session.settings.RecordForce;
  }
  return mode;
}

void InstallCollectionHandlers(Session& session) {
  CollectionState& c = State(session);
  if (!c.tmrCheckStatus) {
    c.tmrCheckStatus = session.timers().CreateTimer([&session] {
      CollectionState& state = State(session);
      if (state.inMonitorTick) return;
      state.inMonitorTick = true;
      tmrCheckStatus_Timer(session);
      state.inMonitorTick = false;
    });
  }
  session.link.zra7.onStreamTick = [&session] {
    CollectionState& state = State(session);
    if (state.inStreamTick) return;
    state.inStreamTick = true;
    USB_Read_Period_Timer(session);
    state.inStreamTick = false;
  };
  session.link.switchCollectionMonitor = [&session](bool enable) {
    Timer& timer = *State(session).tmrCheckStatus;
    if (!enable) {
      timer.Stop();
    } else if (!timer.IsActive()) {
      timer.Start(kCollectionMonitorMs);
    }
  };
}

void cmdCollect_Click(Session& session) {
  InstallCollectionHandlers(session);
  if (State(session).cmdCollectCaption == kCaptionStart) {
    StartCollection(session);
  } else {
    StopCollection(session);
  }
}

bool GatherStreamBytes(Session& session) {
  switch (State(session).source) {
    case CollectionSource::Zra6:
      return GatherSerialBytes(session);
    case CollectionSource::Zra6Plus: {
      const std::string bytes = UsbRead(session);
      State(session).bytesReceived += bytes.size();
      session.link.serial.StreamText += bytes;
      return UsbPortAlive(session);
    }
    default:
      return true;
  }
}

void tmrCheckStatus_Timer(Session& session) {
  CollectionState& c = State(session);
  if (!c.collecting) return;
  TrialDataSet& trial = session.trial;
  if (trial.SampleCount < session.settings.samples && !c.CollectionStopRequested) {
    switch (c.source) {
      case CollectionSource::Zra6:
      case CollectionSource::Zra6Plus:
        CollectZra6Tick(session);
        break;
      case CollectionSource::Accelerometer:
        CollectAccelerometerTick(session);
        break;
      case CollectionSource::Zra7:
        CheckUnitPresent(session);  // the stream tick reads
        break;
      case CollectionSource::None:
        break;
    }
    if (!c.unitLost) {
      RunTrainingHook(session);
      c.LastTickRawIndex = trial.RawSampleIndex;
      session.link.LastTickSampleCount = trial.SampleCount;
      UpdateStatusBar(session);
      ShowDigitalSample(session);
      session.view.ViewStart = 0;
      session.view.ViewEnd = session.settings.samples - 1;
      if (session.settings.realtimeplot && c.hooks.realtimePlot) c.hooks.realtimePlot();
      return;
    }
  }
  FinishCollection(session);
}

void USB_Read_Period_Timer(Session& session) {
  CollectionState& c = State(session);
  if (!c.collecting || c.source != CollectionSource::Zra7) return;
  std::string& buffer = session.link.zra7.Zra7ReplyBuffer;
  const std::size_t first = buffer.find_first_not_of(' ');
  if (first == std::string::npos) {
    buffer.clear();
  } else {
    buffer.erase(buffer.find_last_not_of(' ') + 1);
    buffer.erase(0, first);
  }
  // The read area is blank-padded: only the bytes read are stream. Nothing
  // received is cut off, however late the tick.
  const std::string area = UsbRead(session);
  if (!area.empty()) {
    const std::size_t n = std::min<std::size_t>(area.size(), session.link.usb.UsbBytesRead);
    buffer.append(area, 0, n);
    c.bytesReceived += n;
  }
  const SettingsRecord& s = session.settings;
  DecodeZra7Frames(
      buffer, session.trial, CalibrationOf(s), s.samples, c.zra7RawBound, c.zra7Divider,
      [&session] {
        if (session.settings.BrakeLevel != 0) BrakeControl(session);
      },
      &c.frames);
  if (!CheckUnitPresent(session)) {
    tmrCheckStatus_Timer(session);
    return;
  }
  if (session.trial.SampleCount >= s.samples) {
    ToggleZra7Collection(session);
    tmrCheckStatus_Timer(session);  // finishes, and processes the trial, once
  }
}

void ToggleZra7Collection(Session& session) {
  Zra7LinkState& z = session.link.zra7;
  if (z.Zra7Streaming) {
    session.link.usb.LastUsbMessage = StopZra7Stream(session);
    return;
  }
  SettingsRecord& s = session.settings;
  if (s.frequency > session.MaxInterfaceFrequency) s.frequency = session.MaxInterfaceFrequency;
  if (StartZra7Stream(session) == kUsbPortIsOpen) {
    session.trial.RawSampleIndex = 1;
    session.trial.SampleCount = 1;
    session.link.LastTickSampleCount = 1;
    session.link.CollectStartTicks = static_cast<std::uint32_t>(session.clock().Milliseconds());
  }
}

void ProcessCollectedTrial(Session& session) {
  CollectionState& c = State(session);
  ++c.processedCount;
  TrialDataSet& trial = session.trial;
  SettingsRecord& s = session.settings;
  // The count collected first: the derivation then works on the samples
  // that arrived, not on the zeros after a collection stopped early.
  s.samples = std::max<std::int32_t>(trial.SampleCount, 0);
  const CalculationMode mode = CollectionCalculationMode(session);
  DeriveCollectedTrial(trial, s, mode, session.view.ZeroingInProgress);
  AnalysisView& view = session.view;
  view.ViewStart = 0;
  view.ViewEnd = s.samples - 1;
  view.Marker1Sample = 0;
  view.Marker2Sample = s.samples - 1;
  SetMassFromRecordedForce(trial, s, view, mode, c.hooks.afterRecalculate);
  // The read-outs take the analysis range from the markers.
  view.AnalysisStart = view.Marker1Sample;
  view.AnalysisEnd = std::max(view.Marker2Sample, 0);
  if (c.hooks.showTrial) c.hooks.showTrial();
  trial.DataCollected = true;
  trial.DataSaved = false;
  UpdateStatusBar(session);
  SetMenuEntryEnabled(session, "mnuFileOpen", false);
  SetMenuEntryEnabled(session, "mnuFileClose", true);
  SetMenuEntryEnabled(session, "mnuSave", true);
  SetMenuEntryEnabled(session, "mnuSaveAs", true);
}

}  // namespace torvane
