#include "calibration/two_point_calibration.hpp"

#include <cctype>
#include <cmath>

#include "acquisition/collection_session.hpp"
#include "common/number_text.hpp"
#include "common/physical_constants.hpp"
#include "config/settings_io.hpp"
#include "trial/status_log.hpp"

namespace torvane {

namespace {

// A box holds a number when, after blanks and a sign, a digit comes (".5"
// included): the leading-number rule would read anything else as 0.
bool HoldsNumber(const std::string& text) {
  std::size_t i = text.find_first_not_of(' ');
  if (i == std::string::npos) return false;
  if (text[i] == '+' || text[i] == '-') ++i;
  if (i < text.size() && text[i] == '.') ++i;
  return i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]));
}

std::optional<double> BoxNumber(const std::string& text) {
  if (!HoldsNumber(text)) return std::nullopt;
  return LeadingNumber(text);
}

ZeroChannel ChannelOf(CalibrationKind kind) {
  return kind == CalibrationKind::Force ? ZeroChannel::Force : ZeroChannel::Displacement;
}

// A single-precision value as its shortest decimal text gives it: the
// factor 0.001 is 0.001, not the binary neighbour 0.0010000000475.
double SingleValue(double value) {
  return LeadingNumber(GeneralSingleText(static_cast<float>(value)));
}

}  // namespace

CalibrationState BeginCalibration(const SettingsRecord& settings, CalibrationKind kind) {
  CalibrationState state;
  state.kind = kind;
  state.keptDispCalSlope = settings.DispCalSlope;
  state.keptDispInt = settings.DispInt;
  state.keptForceCalSlope = settings.ForceCalSlope;
  state.keptForceInt = settings.ForceInt;
  return state;
}

bool ReadCalibrationPoint(const CalibrationContext& cx, CalibrationState& state,
                          CalibrationPoint point) {
  const CollectionContext& collection = cx.collection;
  const ZeroChannel channel = ChannelOf(state.kind);
  if (state.readingRuns) return false;
  if (const std::string refusal = RawReadingRefusal(collection, channel); !refusal.empty()) {
    collection.dialogs.ShowMessage(MessageIcon::Exclamation, kCalibrationErrorTitle, refusal);
    return false;
  }
  state.readingRuns = true;
  const RawReading reading = TakeRawReading(collection, channel);
  state.readingRuns = false;
  // Cancel pressed during the reading: the reading has put back the values
  // it found, which may not be those the calibration began with.
  if (state.cancelled) CancelCalibration(cx, state);
  switch (reading.outcome) {
    case ReadingOutcome::Complete:
      (point == CalibrationPoint::Low ? state.lowReading : state.highReading) =
          SingleValue(reading.meanCount);
      return true;
    case ReadingOutcome::Cancelled:
      collection.status.AddStatusMessage("Calibration reading cancelled");
      return false;
    case ReadingOutcome::Incomplete:
      collection.status.AddStatusMessage("Calibration reading did not complete");
      collection.dialogs.ShowMessage(MessageIcon::Exclamation, kCalibrationErrorTitle,
                                     kCalibrationReadingIncomplete);
      return false;
    case ReadingOutcome::Refused:
      break;
  }
  return false;
}

void CancelCalibrationReading(const CalibrationContext& cx) {
  CancelZeroReading(cx.collection);
}

std::optional<double> LoadNewtons(const std::string& text, bool inNewtons) {
  const std::optional<double> value = BoxNumber(text);
  if (!value) return std::nullopt;
  return inNewtons ? *value : static_cast<float>(*value * kGravity);
}

std::optional<double> CalibrationFactor(const CalibrationState& state) {
  if (!state.lowReading || !state.highReading) return std::nullopt;
  const double span = *state.highReading - *state.lowReading;
  if (span == 0) return std::nullopt;
  if (state.kind == CalibrationKind::Position) {
    return SingleValue(LeadingNumber(state.distanceText) / span);
  }
  const double low = LoadNewtons(state.lowLoadText, state.loadsInNewtons).value_or(0);
  const double high = LoadNewtons(state.highLoadText, state.loadsInNewtons).value_or(0);
  return SingleValue((static_cast<float>(high) - static_cast<float>(low)) / span);
}

std::string CalibrationFactorText(const CalibrationState& state) {
  const std::optional<double> factor = CalibrationFactor(state);
  return factor ? FormatNumber(*factor, "0.0#########") : std::string();
}

std::string CalibrationReadingText(const std::optional<double>& reading) {
  if (!reading) return {};
  return (*reading >= 0 ? " " : "") + GeneralSingleText(static_cast<float>(*reading));
}

void SetForceUnits(CalibrationState& state, bool newtons) {
  if (state.loadsInNewtons == newtons) return;
  state.loadsInNewtons = newtons;
  for (std::string* box : {&state.lowLoadText, &state.highLoadText}) {
    if (!HoldsNumber(*box)) continue;
    const double value = LeadingNumber(*box);
    *box = ShortNumericText(newtons ? value * kGravity : value / kGravity);
    if (!box->empty() && box->front() == ' ') box->erase(0, 1);
  }
}

CalibrationCheck CheckCalibration(const CalibrationState& state) {
  CalibrationCheck check;
  const bool force = state.kind == CalibrationKind::Force;
  if (!state.lowReading || !state.highReading) {
    check.refusal = force ? kForceReadingsMissing : kPositionReadingsMissing;
    return check;
  }
  const double low = *state.lowReading;
  const double high = *state.highReading;
  if (!(high > low)) {
    check.refusal = force ? kForceReadingsOutOfOrder : kPositionReadingsOutOfOrder;
    return check;
  }
  CalibrationResult result;
  if (force) {
    const std::optional<double> lowN = LoadNewtons(state.lowLoadText, state.loadsInNewtons);
    const std::optional<double> highN = LoadNewtons(state.highLoadText, state.loadsInNewtons);
    if (!lowN || !highN) {
      check.refusal = kForceLoadsMissing;
      return check;
    }
    if (*lowN < 0) {
      check.refusal = kForceLoadNegative;
      return check;
    }
    if (!(*highN > *lowN)) {
      check.refusal = kForceLoadsOutOfOrder;
      return check;
    }
    result.slope = *CalibrationFactor(state);
    // The count that reads no load: the lower load lies lowN above it.
    result.intercept = low - *lowN / result.slope;
  } else {
    const std::optional<double> distance = BoxNumber(state.distanceText);
    if (!distance || !(*distance > 0)) {
      check.refusal = kPositionDistanceMissing;
      return check;
    }
    result.slope = *CalibrationFactor(state);
    // Displacement is measured from the bottom position.
    result.intercept = low;
  }
  if (!std::isfinite(result.slope) || !(result.slope > 0) || !std::isfinite(result.intercept)) {
    check.refusal = force ? kForceReadingsOutOfOrder : kPositionReadingsOutOfOrder;
    return check;
  }
  check.result = result;
  return check;
}

bool AcceptCalibration(const CalibrationContext& cx, CalibrationState& state) {
  const CollectionContext& collection = cx.collection;
  if (state.readingRuns) return false;
  const CalibrationCheck check = CheckCalibration(state);
  if (!check.result) {
    collection.dialogs.ShowMessage(MessageIcon::Critical, kCalibrationErrorTitle, check.refusal);
    return false;
  }
  SettingsRecord& s = collection.settings;
  const bool force = state.kind == CalibrationKind::Force;
  (force ? s.ForceCalSlope : s.DispCalSlope) = static_cast<float>(check.result->slope);
  (force ? s.ForceInt : s.DispInt) = static_cast<float>(check.result->intercept);
  SaveSettings(s);
  const std::string path = CalibrationLogPath(s);
  const std::string failure =
      AppendCalibrationLog(path, CalibrationLogLine(collection.clock.Now(), state.kind,
                                                    force ? s.ForceCalSlope : s.DispCalSlope));
  collection.status.AddStatusMessage(
      std::string(force ? "Force" : "Displacement") + " calibrated: slope " +
      FormatNumber(force ? s.ForceCalSlope : s.DispCalSlope, "0.0#########") + ", offset " +
      FormatNumber(force ? s.ForceInt : s.DispInt, "0.0##"));
  if (!failure.empty()) {
    collection.dialogs.ShowMessage(MessageIcon::Exclamation, kCalibrationLogTitle,
                                   "The calibration is saved, but the calibration log (" + path +
                                       ") could not be written: " + failure);
  }
  // What Cancel would put back is now the calibration accepted.
  state.keptDispCalSlope = s.DispCalSlope;
  state.keptDispInt = s.DispInt;
  state.keptForceCalSlope = s.ForceCalSlope;
  state.keptForceInt = s.ForceInt;
  return true;
}

void CancelCalibration(const CalibrationContext& cx, CalibrationState& state) {
  state.cancelled = true;
  if (state.readingRuns) CancelCalibrationReading(cx);
  SettingsRecord& s = cx.collection.settings;
  s.DispCalSlope = state.keptDispCalSlope;
  s.DispInt = state.keptDispInt;
  s.ForceCalSlope = state.keptForceCalSlope;
  s.ForceInt = state.keptForceInt;
}

}  // namespace torvane
