// The zero buttons of the analysis window: a two-second collection with the
// channel's calibration set to slope 1 and offset 0, whose mean raw count
// becomes the channel's new offset; for the accelerometer, a reading with
// no offset whose mean acceleration becomes the offset.
#include <algorithm>
#include <cmath>

#include "acquisition/collection_session.hpp"
#include "acquisition/sample_sources.hpp"
#include "common/number_text.hpp"

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

bool ZeroReading(const CollectionContext& cx, ZeroChannel channel) {
  CollectionState& c = cx.collection;
  SettingsRecord& s = cx.settings;
  if (!SelectedSampleSource(s, cx.demoMode).live) return false;
  InstallCollectionHandlers(cx);
  if (c.collecting) return false;  // a collection runs: the button is disabled then

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
  slope = 1.0f;
  offset = 0.0f;
  s.samples = 2 * s.frequency;

  StartOrStopCollection(cx);
  const std::uint32_t limit =
      static_cast<std::uint32_t>(std::max(s.samples, 0) / std::max(s.frequency, 1)) * 1000 +
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
  const bool cancelled = c.zeroCancelRequested;
  const bool full = complete && !cancelled && !c.unitLost && cx.trial.SampleCount >= wanted;
  const std::optional<double> mean = ShownMean(cx.view, s.samples,
                                               accel   ? cx.trial.Acceleration
                                               : force ? cx.trial.Force
                                                       : cx.trial.Displacement);

  slope = keptSlope;
  s.samples = keptSamples;
  s.frequency = keptFrequency;
  s.weight = keptWeight;
  const float newOffset = full && mean ? static_cast<float>(*mean) : keptOffset;
  if (!full) {
    cx.status.AddStatusMessage(
        std::string(accel   ? "Acceleration"
                    : force ? "Force"
                            : "Displacement") +
        (cancelled ? " zeroing reading cancelled" : " zeroing reading did not complete") +
        "; the offset is unchanged");
  }
  cx.trial = keptTrial;
  cx.view = keptView;
  offset = newOffset;  // after the view: the accelerometer's offset is kept with it
  c.zeroCancelRequested = false;

  EnableControls(cx, true);
  cx.view.ZeroingInProgress = false;
  if (!full && !cancelled) {
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

}  // namespace torvane
