#include "acquisition/collection_recovery.hpp"

#include <algorithm>
#include <chrono>

#include "acquisition/collection_session.hpp"
#include "common/date_text.hpp"

namespace torvane {

namespace {

bool IsReading(const CollectionContext& cx) {
  return cx.view.ZeroingInProgress || cx.collection.ZeroRequestedByTraining;
}

void ReportFailure(const CollectionContext& cx, const std::string& reason) {
  cx.status.AddStatusMessage("The recovery file \"" + cx.collection.recoveryPath +
                             "\" could not be written (" + reason +
                             "): this collection is not kept against a crash");
}

}  // namespace

void BeginRecoveryFile(const CollectionContext& cx) {
  CollectionState& c = cx.collection;
  c.recovery.Close();
  if (c.recoveryPath.empty() || IsReading(cx)) return;
  const CalculationMode mode = CollectionCalculationMode(c, cx.settings);
  RecoveryHeader h;
  h.frequency = cx.settings.frequency;
  h.samplesWanted = cx.settings.samples;
  h.recordForce = cx.settings.RecordForce;
  h.fromDisplacement = mode.fromDisplacement;
  h.fromForce = mode.fromForce;
  h.fromAcceleration = mode.fromAcceleration;
  h.channels = c.source == CollectionSource::Accelerometer
                   ? static_cast<std::uint8_t>(kRecoverAcceleration)
                   : static_cast<std::uint8_t>(kRecoverDisplacement | kRecoverForce);
  h.weight = cx.settings.weight;
  h.collectionDateTime = DateTimeText(cx.clock.Now());
  if (c.hooks.athlete) h.athlete = c.hooks.athlete();
  c.lastRecoveryFlushMs = cx.clock.Milliseconds();
  c.recoveryAppends = 0;
  c.longestRecoveryAppendUs = 0;
  if (const std::string failure = c.recovery.Begin(c.recoveryPath, h); !failure.empty()) {
    ReportFailure(cx, failure);
  }
}

void KeepRecoveryFileUpToDate(const CollectionContext& cx) {
  CollectionState& c = cx.collection;
  if (!c.recovery.IsOpen()) return;
  const std::uint64_t now = cx.clock.Milliseconds();
  // Due at the tick nearest a second after the last append, not the one
  // after it: ticks come every 100 ms, a little late at times.
  if (now - c.lastRecoveryFlushMs + kCollectionMonitorMs / 2 < kRecoveryFlushMs) return;
  c.lastRecoveryFlushMs = now;
  // Points below SampleCount are final; the first ones become so once the
  // stream's first samples have been repeated into them (at the fourth).
  const std::int32_t count = cx.trial.SampleCount;
  if (count < 4) return;
  const TrialDataSet& t = cx.trial;
  const auto started = std::chrono::steady_clock::now();
  const std::string failure =
      c.recovery.Append(t.Displacement, t.Force, t.Acceleration, static_cast<std::uint32_t>(count));
  const auto took = std::chrono::duration_cast<std::chrono::microseconds>(
                        std::chrono::steady_clock::now() - started)
                        .count();
  c.recoveryAppends += 1;
  c.longestRecoveryAppendUs = std::max<std::int64_t>(c.longestRecoveryAppendUs, took);
  if (!failure.empty()) ReportFailure(cx, failure);
}

void EndRecoveryFile(const CollectionContext& cx) {
  CollectionState& c = cx.collection;
  if (c.keepRecoveryFile) {
    c.recovery.Close();
  } else if (!c.recovery.Path().empty()) {
    c.recovery.Remove();
  }
}

std::int32_t RecoveredSampleCount(const RecoveredSamples& recovered) {
  return recovered.points > 0 ? static_cast<std::int32_t>(recovered.points) - 1 : 0;
}

std::string RecoveryOfferText(const RecoveredSamples& recovered) {
  return "A collection was interrupted on " + recovered.header.collectionDateTime + " with " +
         std::to_string(RecoveredSampleCount(recovered)) + " samples. Open the trial it holds?";
}

std::string RecoveredTrialText(const RecoveredSamples& recovered) {
  return "Collection cut short: " + std::to_string(RecoveredSampleCount(recovered)) + " of " +
         std::to_string(recovered.header.samplesWanted) +
         " samples (recovered after the program ended during the collection)";
}

bool RestoreRecoveredTrial(const CollectionContext& cx, const RecoveredSamples& r) {
  if (!r.ok() || r.points > kMaximumSamples) return false;
  TrialDataSet& trial = cx.trial;
  SettingsRecord& s = cx.settings;
  CollectionState& c = cx.collection;
  const std::int32_t samples = RecoveredSampleCount(r);
  DimensionDataArrays(trial, samples);
  std::copy(r.displacement.begin(), r.displacement.end(), trial.Displacement.begin());
  std::copy(r.force.begin(), r.force.end(), trial.Force.begin());
  std::copy(r.acceleration.begin(), r.acceleration.end(), trial.Acceleration.begin());
  trial.SampleCount = samples;
  trial.RawSampleIndex = 0;
  trial.DataFileName.clear();
  trial.FileKind = kFileKindNone;
  trial.CollectionDateTime = r.header.collectionDateTime;
  trial.Athlete.reset();
  if (NamesAnAthlete(r.header.athlete)) trial.Athlete = r.header.athlete;
  s.frequency = r.header.frequency;
  s.RecordForce = r.header.recordForce;
  s.weight = r.header.weight;
  // Processed with the calculation the collection would have ended with.
  const RecoveryHeader h = r.header;
  CollectionHooks& hooks = c.hooks;
  auto windowMode = std::move(hooks.calculationMode);
  hooks.calculationMode = [h] {
    CalculationMode mode;
    mode.fromDisplacement = h.fromDisplacement;
    mode.fromForce = h.fromForce;
    mode.fromAcceleration = h.fromAcceleration;
    return mode;
  };
  ProcessCollectedTrial(cx);
  hooks.calculationMode = std::move(windowMode);
  c.samplesWanted = r.header.samplesWanted;
  c.outcome = CollectionOutcome::CutShort;
  cx.status.AddStatusMessage(RecoveredTrialText(r));
  return true;
}

}  // namespace torvane
