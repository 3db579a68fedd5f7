#include "acquisition/collection_session.hpp"

#include <algorithm>

#include "acquisition/collection_recovery.hpp"
#include "acquisition/sample_sources.hpp"
#include "common/date_text.hpp"
#include "common/number_text.hpp"
#include "files/trial_file.hpp"

namespace torvane {

namespace {

void NotifyState(const CollectionContext& cx) {
  if (cx.collection.hooks.stateChanged) cx.collection.hooks.stateChanged();
}

void SetPhase(const CollectionContext& cx, CollectionPhase phase) {
  cx.collection.phase = phase;
  NotifyState(cx);
}

void EnableControls(const CollectionContext& cx, bool startStop, bool zeroing) {
  CollectionState& c = cx.collection;
  c.startStopEnabled = startStop;
  c.zeroDisplacementEnabled = zeroing;
  c.zeroForceEnabled = zeroing;
  NotifyState(cx);
}

void ShowDigitalMode(const CollectionContext& cx, DigitalDisplayMode mode) {
  CollectionState& c = cx.collection;
  if (!c.digitalDisplayOn) return;
  c.digitalDisplayMode = mode;
  if (c.hooks.digitalDisplayMode) c.hooks.digitalDisplayMode(mode);
}

void ShowDigitalSample(const CollectionContext& cx) {
  CollectionState& c = cx.collection;
  if (c.digitalDisplayOn && c.hooks.digitalDisplaySample) {
    c.hooks.digitalDisplaySample(cx.trial.SampleCount);
  }
}

void RunTrainingHook(const CollectionContext& cx) {
  CollectionState& c = cx.collection;
  if (c.TrainingRecording && c.hooks.trainingHook) c.hooks.trainingHook();
}

const SampleSource& RunningSource(const CollectionContext& cx) {
  return SampleSourceOf(cx.collection.source);
}

// The finishing branch of the monitor tick.
void FinishCollection(const CollectionContext& cx) {
  CollectionState& c = cx.collection;
  const SampleSource& source = RunningSource(cx);
  c.collecting = false;  // a tick fired from a wait inside these steps finds nothing to do
  if (c.phase != CollectionPhase::Processing) SetPhase(cx, CollectionPhase::Processing);
  if (c.unitLost) {
    source.closeLost(cx);
    cx.status.AddStatusMessage(std::string(source.unitNoun) +
                               " stopped responding during the collection; the collection "
                               "ended with " +
                               std::to_string(cx.trial.SampleCount) + " samples");
    // The status bar no longer says the unit is there.
    cx.status.SetStatusPanel(1, "Interface NOT found");
  } else {
    source.stop(cx);
  }
  if (c.tmrCheckStatus) c.tmrCheckStatus->Stop();
  cx.trial.CollectionDateTime = DateTimeText(cx.clock.Now());
  cx.trial.Athlete.reset();  // a new trial goes with the selected athlete
  RunTrainingHook(cx);
  c.TrainingRecording = false;
  if (!c.unitLost && source.gatherAfterStop) source.gather(cx);  // kept, not decoded
  ShowDigitalMode(cx, DigitalDisplayMode::Timepoint);
  EnableControls(cx, true, true);
  c.samplesWanted = cx.settings.samples;
  ProcessCollectedTrial(cx);
  EndRecoveryFile(cx);
  c.outcome = (c.unitLost || c.stoppedByFault) ? CollectionOutcome::CutShort
              : c.frames.held > 0              ? CollectionOutcome::Damaged
                                               : CollectionOutcome::Whole;
  if (source.live && !cx.view.ZeroingInProgress) {
    cx.status.AddStatusMessage(CollectionOutcomeText(c, cx.settings.samples));
  }
  if (!c.unitLost) source.clearInput(cx);
  if (cx.updateStatusBar) cx.updateStatusBar();
  ShowDigitalSample(cx);
  cx.view.ZeroingInProgress = false;
  SetPhase(cx, CollectionPhase::Idle);
}

// Sizes the arrays for a collection of `rawFrames` raw values per channel
// when they are too small; a collection itself never resizes them.
void EnsureArrays(TrialDataSet& trial, std::int64_t rawFrames) {
  if (trial.UpperBound() < rawFrames + 2) DimensionDataArrays(trial, rawFrames);
}

void CountIn(const CollectionContext& cx) {
  CollectionState& c = cx.collection;
  SetPhase(cx, CollectionPhase::CountIn);
  for (int number = 3; number >= 0 && c.collecting; --number) {
    if (c.hooks.showCountIn) c.hooks.showCountIn(number);
    if (c.hooks.beep) c.hooks.beep();
    WaitMilliseconds(cx.clock, cx.pump, kCountInStepMs);
  }
  if (c.hooks.showCountIn) c.hooks.showCountIn(-1);
  if (c.collecting) SetPhase(cx, CollectionPhase::Collecting);
}

// The frequency the source can stream at; a source that thins its frames
// runs at its own rate and keeps every d-th frame, so the trial's frequency
// is the rate that gives. Returns d.
std::int32_t FitFrequencyToSource(const CollectionContext& cx, const SampleSource& source) {
  SettingsRecord& s = cx.settings;
  const std::int32_t limit =
      source.maximumFrequency == 0 ? cx.maxInterfaceFrequency : source.maximumFrequency;
  if (limit > 0 && s.frequency > limit) s.frequency = limit;
  if (!source.thinsFrames) return 1;
  const std::int32_t divider = FrameDivider(cx.maxInterfaceFrequency, s.frequency);
  s.frequency = ToInt32(RoundHalfEven(static_cast<double>(cx.maxInterfaceFrequency) / divider));
  return divider;
}

void StartCollection(const CollectionContext& cx) {
  CollectionState& c = cx.collection;
  SettingsRecord& s = cx.settings;
  TrialDataSet& trial = cx.trial;
  const bool zeroing = cx.view.ZeroingInProgress;
  if (!zeroing) c.trialNumber += 1.0;
  trial.DataFileName.clear();
  c.CollectionStopRequested = false;
  SetPhase(cx, CollectionPhase::Collecting);
  ShowDigitalMode(cx, DigitalDisplayMode::Realtime);

  const SampleSource& source = SelectedSampleSource(s, cx.demoMode);
  const std::int32_t divider = FitFrequencyToSource(cx, source);
  const double wanted = (c.ZeroRequestedByTraining || zeroing)
                            ? RoundHalfEven(c.readingSeconds * s.frequency)
                            : RoundHalfEven(c.durationSeconds * s.frequency);
  if (!(wanted < static_cast<double>(kMaximumSamples))) {
    cx.dialogs.ShowMessage(MessageIcon::Critical, kMaximumSamplesTitle, kMaximumSamplesMessage);
    SetPhase(cx, CollectionPhase::Idle);
    ShowDigitalMode(cx, DigitalDisplayMode::Timepoint);
    return;
  }
  s.samples = wanted > 0 ? ToInt32(wanted) : 0;
  EnsureArrays(trial, static_cast<std::int64_t>(s.samples) * divider);
  ClearTrialData(trial, s.samples);

  c.source = source.id;
  c.frameDivider = divider;
  c.rawFrameBound = s.samples * divider;
  c.streamWithForce = source.forceChannels == ForceChannels::Always ||
                      (source.forceChannels == ForceChannels::Selectable && s.RecordForce);
  c.unitLost = false;
  c.stoppedByFault = false;
  c.outcome = CollectionOutcome::Whole;
  c.portOpenAtStart = false;
  c.frames = {};
  c.bytesReceived = 0;

  if (!source.live) {
    source.start(cx);
    SetPhase(cx, CollectionPhase::Processing);
    ShowDigitalMode(cx, DigitalDisplayMode::Timepoint);
    c.collecting = true;
    MonitorCollection(cx);
    return;
  }

  c.LastTickRawIndex = 0;
  trial.RawSampleIndex = 0;
  trial.SampleCount = 0;
  cx.link.LastTickSampleCount = 0;
  EnableControls(cx, true, false);
  c.collecting = true;

  if (!zeroing && c.countInBeforeStart) CountIn(cx);
  if (!c.collecting) return;  // stopped during the count-in
  if (s.soundstart && c.hooks.playStartSound) c.hooks.playStartSound();
  BeginRecoveryFile(cx);
  source.start(cx);
  c.portOpenAtStart = source.alive(cx);
  c.tmrCheckStatus->Start(kCollectionMonitorMs);
}

void StopCollection(const CollectionContext& cx) {
  CollectionState& c = cx.collection;
  SetPhase(cx, CollectionPhase::Processing);
  ShowDigitalMode(cx, DigitalDisplayMode::Timepoint);
  c.CollectionStopRequested = true;
  RunningSource(cx).stopAtOnce(cx);
  MonitorCollection(cx);
}

}  // namespace

std::string CollectionOutcomeText(const CollectionState& c, std::int32_t samples) {
  const std::string held = std::to_string(c.frames.held);
  switch (c.outcome) {
    case CollectionOutcome::Whole:
      return "Collection complete: " + std::to_string(samples) +
             " samples, every one from a whole frame";
    case CollectionOutcome::Damaged:
      return "Collection damaged: " + std::to_string(samples) + " samples, " + held +
             " of them held in place of frames that were not whole";
    case CollectionOutcome::CutShort:
      return "Collection cut short: " + std::to_string(samples) + " of " +
             std::to_string(c.samplesWanted) + " samples (" +
             (c.unitLost ? "the unit stopped answering" : "stopped after a fault") + ")" +
             (c.frames.held > 0 ? ", " + held + " held in place of frames that were not whole"
                                : "");
  }
  return {};
}

CalculationMode CollectionCalculationMode(const CollectionState& collection,
                                          const SettingsRecord& settings) {
  if (collection.hooks.calculationMode) return collection.hooks.calculationMode();
  CalculationMode mode;
  // The unit selected, whether or not demonstration mode stands in for it.
  if (SelectedSampleSource(settings, false).measuresAcceleration) {
    mode.fromDisplacement = false;
    mode.fromAcceleration = true;
  } else {
    mode.fromForce = settings.RecordForce;
  }
  return mode;
}

void InstallCollectionHandlers(const CollectionContext& cx) {
  CollectionState& c = cx.collection;
  if (!c.tmrCheckStatus) {
    c.tmrCheckStatus = cx.timers.CreateTimer([cx] {
      CollectionState& state = cx.collection;
      if (state.inMonitorTick) return;
      state.inMonitorTick = true;
      MonitorCollection(cx);
      state.inMonitorTick = false;
    });
  }
  for (const SampleSource& source : SampleSources()) source.connect(cx);
}

void StartOrStopCollection(const CollectionContext& cx) {
  InstallCollectionHandlers(cx);
  switch (cx.collection.phase) {
    case CollectionPhase::Idle:
      StartCollection(cx);
      break;
    case CollectionPhase::CountIn:
    case CollectionPhase::Collecting:
      StopCollection(cx);
      break;
    case CollectionPhase::Processing:
      break;
  }
}

void MonitorCollection(const CollectionContext& cx) {
  CollectionState& c = cx.collection;
  if (!c.collecting) return;
  TrialDataSet& trial = cx.trial;
  if (trial.SampleCount < cx.settings.samples && !c.CollectionStopRequested) {
    RunningSource(cx).collectTick(cx);
    KeepRecoveryFileUpToDate(cx);
    if (!c.unitLost) {
      RunTrainingHook(cx);
      c.LastTickRawIndex = trial.RawSampleIndex;
      cx.link.LastTickSampleCount = trial.SampleCount;
      if (cx.updateStatusBar) cx.updateStatusBar();
      ShowDigitalSample(cx);
      cx.view.ViewStart = 0;
      cx.view.ViewEnd = cx.settings.samples - 1;
      if (cx.settings.realtimeplot && c.hooks.realtimePlot) c.hooks.realtimePlot();
      return;
    }
  }
  FinishCollection(cx);
}

void ProcessCollectedTrial(const CollectionContext& cx) {
  CollectionState& c = cx.collection;
  ++c.processedCount;
  TrialDataSet& trial = cx.trial;
  SettingsRecord& s = cx.settings;
  // The count collected first: the derivation then works on the samples
  // that arrived, not on the zeros after a collection stopped early.
  s.samples = std::max<std::int32_t>(trial.SampleCount, 0);
  const CalculationMode mode = CollectionCalculationMode(c, s);
  DeriveCollectedTrial(trial, s, mode, cx.view.ZeroingInProgress);
  AnalysisView& view = cx.view;
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
  if (cx.updateStatusBar) cx.updateStatusBar();
  // A zeroing reading is no trial: the file commands stay as they were.
  if (cx.trialCollected && !cx.view.ZeroingInProgress) cx.trialCollected();
}

}  // namespace torvane
