// The zero buttons of the analysis window: a two-second collection with the
// channel's calibration set to slope 1 and offset 0, whose mean raw count
// becomes the channel's new offset; for the accelerometer, a reading with
// no offset whose mean acceleration becomes the offset.
#include <algorithm>
#include <cmath>

#include "acquisition/collection_session.hpp"
#include "acquisition/sample_sources.hpp"
#include "common/number_text.hpp"
#include "trial/status_log.hpp"

namespace torvane {

namespace {

// A reading is two seconds; a unit that sends nothing is not waited for
// longer than this beyond it.
constexpr std::uint32_t kZeroReadingSlackMs = 5000;

void EnableControls(const CollectionContext& cx, bool enabled) {
  CollectionState& c = cx.collection;
  c.zeroForceEnabled = enabled;
  c.startStopEnabled = enabled;
  c.zeroDisplacementEnabled = enabled;
  if (c.hooks.stateChanged) c.hooks.stateChanged();
}

// How one reading ran. The calibration it used is back in place.
struct ReadingRun {
  bool full = false;
  bool cancelled = false;
  std::optional<double> mean;
  std::int32_t samples = 0;
};

// A reading of `seconds` with the channel's calibration at slope 1 and
// offset 0 (the accelerometer's offset at 0): the mean is in raw counts
// (for the accelerometer, in m/s² without offset). Every setting the
// reading changes, and the trial on screen, are put back.
ReadingRun RunReading(const CollectionContext& cx, ZeroChannel channel, double seconds) {
  CollectionState& c = cx.collection;
  SettingsRecord& s = cx.settings;
  InstallCollectionHandlers(cx);

  // The reading fills the trial arrays: the trial on screen is kept aside
  // and put back afterwards.
  const TrialDataSet keptTrial = cx.trial;
  const AnalysisView keptView = cx.view;
  c.zeroCancelRequested = false;
  cx.view.ZeroingInProgress = true;
  EnableControls(cx, false);
  c.startStopEnabled = true;  // the Start/Stop button cancels the reading
  if (c.hooks.selectChannel) c.hooks.selectChannel(channel);

  const bool force = channel == ZeroChannel::Force;
  const bool accel = channel == ZeroChannel::Acceleration;
  // The accelerometer's readings are not calibrated: only its offset is.
  float unusedSlope = 1.0f;
  float& slope = accel ? unusedSlope : force ? s.ForceCalSlope : s.DispCalSlope;
  float& offset = accel ? cx.view.AccelerometerOffset : force ? s.ForceInt : s.DispInt;
  const std::int32_t keptFrequency = s.frequency;
  const float keptSlope = slope;
  const float keptOffset = offset;
  const std::int32_t keptSamples = s.samples;
  // The processing of the reading sets the mass from its (raw) force: the
  // athlete's mass is not what a zeroing measures.
  const float keptWeight = s.weight;
  // A force reading needs the force in the frames, recorded or not.
  const bool keptRecordForce = s.RecordForce;
  const double keptSeconds = c.readingSeconds;
  slope = 1.0f;
  offset = 0.0f;
  if (force) s.RecordForce = true;
  c.readingSeconds = seconds;
  s.samples = static_cast<std::int32_t>(RoundHalfEven(seconds * s.frequency));

  StartOrStopCollection(cx);
  const std::uint32_t limit = static_cast<std::uint32_t>(std::ceil(std::max(s.samples, 0) * 1000.0 /
                                                                   std::max(s.frequency, 1))) +
                              kZeroReadingSlackMs;
  const bool complete = WaitUntil(cx.clock, cx.pump, limit, [&] {
    return cx.trial.SampleCount >= s.samples || !c.collecting || c.zeroCancelRequested;
  });
  const std::int32_t wanted = s.samples;
  if (c.collecting) {
    // Nothing (or not enough) came: the reading ends with what it has.
    c.CollectionStopRequested = true;
  }
  MonitorCollection(cx);
  ReadingRun run;
  run.cancelled = c.zeroCancelRequested;
  run.full = complete && !run.cancelled && !c.unitLost && cx.trial.SampleCount >= wanted;
  run.samples = cx.trial.SampleCount;
  run.mean = ShownMean(cx.view, s.samples,
                       accel   ? cx.trial.Acceleration
                       : force ? cx.trial.Force
                               : cx.trial.Displacement);

  slope = keptSlope;
  s.samples = keptSamples;
  s.frequency = keptFrequency;
  s.weight = keptWeight;
  s.RecordForce = keptRecordForce;
  c.readingSeconds = keptSeconds;
  cx.trial = keptTrial;
  cx.view = keptView;
  offset = keptOffset;  // after the view: the accelerometer's offset is kept with it
  c.zeroCancelRequested = false;

  EnableControls(cx, true);
  cx.view.ZeroingInProgress = false;
  return run;
}

const char* ChannelNoun(ZeroChannel channel) {
  switch (channel) {
    case ZeroChannel::Force:
      return "Force";
    case ZeroChannel::Acceleration:
      return "Acceleration";
    case ZeroChannel::Displacement:
      break;
  }
  return "Displacement";
}

bool ZeroReading(const CollectionContext& cx, ZeroChannel channel) {
  CollectionState& c = cx.collection;
  if (!SelectedSampleSource(cx.settings, cx.demoMode).live) return false;
  if (c.collecting) return false;  // a collection runs: the button is disabled then

  const ReadingRun run = RunReading(cx, channel, 2.0);
  const bool force = channel == ZeroChannel::Force;
  const bool accel = channel == ZeroChannel::Acceleration;
  float& offset = accel   ? cx.view.AccelerometerOffset
                  : force ? cx.settings.ForceInt
                          : cx.settings.DispInt;
  if (run.full && run.mean) {
    offset = static_cast<float>(*run.mean);
  } else {
    cx.status.AddStatusMessage(
        std::string(ChannelNoun(channel)) +
        (run.cancelled ? " zeroing reading cancelled" : " zeroing reading did not complete") +
        "; the offset is unchanged");
  }
  const bool full = run.full && run.mean.has_value();
  if (!full && !run.cancelled) {
    cx.dialogs.ShowMessage(MessageIcon::Exclamation, "", kZeroReadingIncomplete);
  }
  if (!force && c.ZeroRequestedByTraining) {
    c.ZeroRequestedByTraining = false;
    if (c.hooks.showTrainingWindow) c.hooks.showTrainingWindow();
  }
  return full;
}

}  // namespace

std::optional<double> ShownMean(const AnalysisView& view, std::int32_t samples,
                                const std::vector<float>& channel) {
  const std::int32_t start = view.AnalysisStart;
  const std::int32_t end = view.AnalysisEnd;
  if (end > samples - 1 || start < 0 || end < start ||
      static_cast<std::size_t>(end) >= channel.size()) {
    return std::nullopt;
  }
  float sum = 0.0f;
  for (std::int32_t i = start; i <= end; ++i) {
    sum = static_cast<float>(static_cast<double>(sum) + channel[static_cast<std::size_t>(i)]);
  }
  double mean = sum;
  if (end - start > 0) mean = static_cast<double>(sum) / (static_cast<double>(end) - start + 1);
  return LeadingNumber(FormatNumber(mean, "0.0##"));
}

void CancelZeroReading(const CollectionContext& cx) {
  if (cx.view.ZeroingInProgress) cx.collection.zeroCancelRequested = true;
}

bool ZeroDisplacement(const CollectionContext& cx) {
  return ZeroReading(cx, ZeroChannel::Displacement);
}

bool ZeroForce(const CollectionContext& cx) {
  return ZeroReading(cx, ZeroChannel::Force);
}

bool ZeroAcceleration(const CollectionContext& cx) {
  return ZeroReading(cx, ZeroChannel::Acceleration);
}

std::string RawReadingRefusal(const CollectionContext& cx, ZeroChannel channel) {
  const SampleSource& source = SelectedSampleSource(cx.settings, cx.demoMode);
  if (!source.live) return kReadingRefusedInDemonstration;
  if (source.id == CollectionSource::None) return kReadingRefusedWithoutUnit;
  if (source.measuresAcceleration && channel != ZeroChannel::Acceleration) {
    return kReadingRefusedForInput;
  }
  if (cx.collection.collecting || cx.collection.phase != CollectionPhase::Idle ||
      cx.view.ZeroingInProgress) {
    return kReadingRefusedWhileCollecting;
  }
  return {};
}

RawReading TakeRawReading(const CollectionContext& cx, ZeroChannel channel, double seconds) {
  RawReading reading;
  if (!(seconds > 0) || !RawReadingRefusal(cx, channel).empty()) return reading;
  const ReadingRun run = RunReading(cx, channel, seconds);
  reading.samples = run.samples;
  if (run.cancelled) {
    reading.outcome = ReadingOutcome::Cancelled;
  } else if (!run.full || !run.mean) {
    reading.outcome = ReadingOutcome::Incomplete;
  } else {
    reading.outcome = ReadingOutcome::Complete;
    reading.meanCount = *run.mean;
  }
  return reading;
}

}  // namespace torvane
