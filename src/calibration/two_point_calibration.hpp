#pragma once
// Two-point calibration of the position transducer and the force platform.
// Two readings of the mean raw count (bottom and top position, or a lower
// and a higher load), each taken by the collection's calibration reading,
// and the known distance between the positions or the two loads give the
// slope (metres or newtons per count) and the intercept (the count that
// reads 0: the bottom position, or no load on the platform). Done stores
// both, saves the settings and appends the calibration log; Cancel puts
// back every calibration value as it was when the calibration began.

#include <optional>
#include <string>

#include "calibration/calibration_context.hpp"
#include "calibration/calibration_log.hpp"

namespace torvane {

// The lower or bottom reading, and the higher or top one.
enum class CalibrationPoint { Low, High };

struct CalibrationState {
  CalibrationKind kind = CalibrationKind::Position;
  // The mean raw counts read; nothing until read.
  std::optional<double> lowReading;
  std::optional<double> highReading;
  // What the boxes hold: the distance between top and bottom in metres
  // (position), or the two loads (force) in kilograms or newtons.
  std::string distanceText;
  std::string lowLoadText;
  std::string highLoadText;
  bool loadsInNewtons = false;
  // A reading runs: the window's buttons wait for it.
  bool readingRuns = false;
  // Cancel was pressed: nothing is read or accepted any more.
  bool cancelled = false;
  // The four calibration values when the calibration began.
  float keptDispCalSlope = 0;
  float keptDispInt = 0;
  float keptForceCalSlope = 0;
  float keptForceInt = 0;
};

// A calibration that begins now (the window opens), remembering the values
// Cancel puts back.
CalibrationState BeginCalibration(const SettingsRecord& settings, CalibrationKind kind);

// Reads one point (cmdCalBottom / cmdCalTop, cmdReadLowerForce /
// cmdReadHigherForce). A refused, failed or cancelled reading says why in a
// message (a cancelled one in the status log) and keeps the point's earlier
// reading. True when the point was read.
bool ReadCalibrationPoint(const CalibrationContext& cx, CalibrationState& state,
                          CalibrationPoint point);
// Ends the reading that runs (the window's Cancel during a reading).
void CancelCalibrationReading(const CalibrationContext& cx);

// A load box's value in newtons; nothing when the box holds no number.
std::optional<double> LoadNewtons(const std::string& text, bool inNewtons);
// The factor the window shows (UpdateCalFactor): distance / (top − bottom),
// or (higher load − lower load) in newtons / (higher − lower reading);
// nothing while a reading is missing or the two are equal.
std::optional<double> CalibrationFactor(const CalibrationState& state);
// "0.0#########", or empty when there is no factor.
std::string CalibrationFactorText(const CalibrationState& state);
// A reading as the labels show it: the number with a leading blank; empty
// when not read.
std::string CalibrationReadingText(const std::optional<double>& reading);

// The force window's units: the two load boxes are converted (× or ÷ 9.807)
// and rewritten as plain numbers; an empty box stays empty.
void SetForceUnits(CalibrationState& state, bool newtons);

struct CalibrationResult {
  double slope = 0;
  double intercept = 0;  // in raw counts
};
// The slope and intercept Done would store, or the refusal's text: a
// missing reading, readings equal or in the wrong order, an empty or zero
// distance, an empty or negative load, loads equal or in the wrong order.
struct CalibrationCheck {
  std::optional<CalibrationResult> result;
  std::string refusal;
};
CalibrationCheck CheckCalibration(const CalibrationState& state);

// Done (cmdCalDone): refused with a message (title "Calibration Error")
// unless CheckCalibration gives a result; otherwise the slope and intercept
// go into the settings, the settings are saved, and a line goes to the
// calibration log (a log that cannot be written is reported; the
// calibration stands). True when accepted: the window closes.
bool AcceptCalibration(const CalibrationContext& cx, CalibrationState& state);
// Cancel (cmdCancelCalibration): a running reading ends, and the four
// calibration values are put back as they were when the calibration began.
void CancelCalibration(const CalibrationContext& cx, CalibrationState& state);

inline constexpr const char* kCalibrationErrorTitle = "Calibration Error";
inline constexpr const char* kForceReadingsOutOfOrder =
    "Higher force reading should be greater than lower force reading";
inline constexpr const char* kForceLoadsOutOfOrder =
    "Higher force entered should be greater than lower force entered";
inline constexpr const char* kForceReadingsMissing =
    "Read the lower and the higher force before accepting the calibration";
inline constexpr const char* kForceLoadsMissing =
    "Enter the lower and the higher load before accepting the calibration";
inline constexpr const char* kForceLoadNegative = "The loads entered cannot be negative";
inline constexpr const char* kPositionReadingsMissing =
    "Read the bottom and the top position before accepting the calibration";
inline constexpr const char* kPositionReadingsOutOfOrder =
    "Top position reading should be greater than bottom position reading";
inline constexpr const char* kPositionDistanceMissing =
    "Distance between top and bottom should be greater than zero";
inline constexpr const char* kCalibrationReadingIncomplete =
    "The reading did not complete: the unit sent too few samples. Check the connection and read "
    "again.";

}  // namespace torvane
