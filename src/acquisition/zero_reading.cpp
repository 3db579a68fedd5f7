// The zero buttons of the analysis window: a two-second collection with the
// channel's calibration set to slope 1 and offset 0, whose mean raw count
// becomes the channel's new offset.
#include <algorithm>
#include <cmath>

#include "acquisition/collection_session.hpp"
#include "common/number_text.hpp"
#include "shell/session.hpp"

namespace torvane {

namespace {

// A reading is two seconds; a unit that sends nothing is not waited for
// longer than this beyond it.
constexpr std::uint32_t kZeroReadingSlackMs = 5000;

bool ZeroReading(Session& session, ZeroChannel channel) {
  if (session.DemoMode) return false;
  CollectionState& c = session.collection;
  SettingsRecord& s = session.settings;
  InstallCollectionHandlers(session);
  if (c.collecting) return false;  // a collection runs: the button is disabled then

  session.view.ZeroingInProgress = true;
  c.cmdZeroForceEnabled = false;
  c.cmdCollectEnabled = false;
  c.cmdZeroDispEnabled = false;
  if (c.hooks.selectChannel) c.hooks.selectChannel(channel);

  const bool force = channel == ZeroChannel::Force;
  float& slope = force ? s.ForceCalSlope : s.DispCalSlope;
  float& offset = force ? s.ForceInt : s.DispInt;
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

  cmdCollect_Click(session);
  const std::uint32_t limit =
      static_cast<std::uint32_t>(std::max(s.samples, 0) / std::max(s.frequency, 1)) * 1000 +
      kZeroReadingSlackMs;
  const bool complete = WaitUntil(session.clock(), session.pump(), limit, [&] {
    return session.trial.SampleCount >= s.samples || !c.collecting;
  });
  const std::int32_t wanted = s.samples;
  if (c.collecting) {
    // Nothing (or not enough) came: the reading ends with what it has.
    c.CollectionStopRequested = true;
  }
  tmrCheckStatus_Timer(session);
  const bool full = complete && !c.unitLost && session.trial.SampleCount >= wanted;
  const std::optional<double> mean =
      ShownMean(session, force ? session.trial.Force : session.trial.Displacement);

  slope = keptSlope;
  s.samples = keptSamples;
  s.frequency = keptFrequency;
  s.weight = keptWeight;
  offset = full && mean ? static_cast<float>(*mean) : keptOffset;
  if (!full) {
    AddStatusMessage(session, std::string(force ? "Force" : "Displacement") +
                                  " zeroing reading did not complete; the offset is unchanged");
  }

  c.cmdZeroForceEnabled = true;
  c.cmdCollectEnabled = true;
  c.cmdZeroDispEnabled = true;
  session.view.ZeroingInProgress = false;
  if (!force && c.ZeroRequestedByTraining) {
    c.ZeroRequestedByTraining = false;
    if (c.hooks.showTrainingWindow) c.hooks.showTrainingWindow();
  }
  return full;
}

}  // namespace

std::optional<double> ShownMean(const Session& session, const std::vector<float>& channel) {
  const std::int32_t start = session.view.AnalysisStart;
  const std::int32_t end = session.view.AnalysisEnd;
  if (end > session.settings.samples - 1 || start < 0 || end < start ||
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

bool cmdZeroDisp_Click(Session& session) {
  return ZeroReading(session, ZeroChannel::Displacement);
}

bool cmdZeroForce_Click(Session& session) {
  return ZeroReading(session, ZeroChannel::Force);
}

}  // namespace torvane
