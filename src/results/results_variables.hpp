#pragma once
// The 33 results variables of a trial, in output order: the results window's
// check box and text box, the column heading of the results row, and the
// display format of the value.

#include <array>
#include <cstddef>
#include <string_view>

namespace torvane {

struct ResultsVariable {
  std::string_view checkBox;
  std::string_view textBox;
  std::string_view header;
  std::string_view format;
  std::string_view unit;
};

inline constexpr std::size_t kResultsVariableCount = 33;

inline constexpr std::array<ResultsVariable, kResultsVariableCount> kResultsVariables = {{
    {"Checkmaximumdisplacement", "txtMaxHeight", "Peak Dist", "0.000", "m"},
    {"Checkminimumdisplacement", "txtMinHeight", "Min Dist", "0.000", "m"},
    {"Checkpeakvelocity", "txtPeakVelocity", "Peak Vel", "#0.000", "m/s"},
    {"Checkminimumvelocity", "txtMinVelocity", "Min Vel", "#0.000", "m/s"},
    {"Checkpeakforce", "txtPeakForce", "Peak Force", "###0.0", "N"},
    {"Checkmeanforce", "txtMeanForce", "Mean Force", "###0.0", "N"},
    {"Checkpeakpower", "txtPeakPower", "Peak Power", "###0.0", "W"},
    {"Checkmeanpower", "txtMeanPower", "Mean Power", "###0.0", "W"},
    {"CheckmaximumRFD", "txtRFD", "MaxRFD", "##000", "N/s"},
    {"CheckRFD0to30", "TextRFD0to30", "RFD0to30", "##000", "N/s"},
    {"CheckRFD0to90", "TextRFD0to90", "RFD0to90", "##000", "N/s"},
    {"CheckRFD0to150", "TextRFD0to150", "RFD0to150", "##000", "N/s"},
    {"CheckRFD0to200", "TextRFD0to200", "RFD0to200", "##000", "N/s"},
    {"CheckRFD0to250", "TextRFD0to250", "RFD0to250", "##000", "N/s"},
    {"Checktimetopeakforce", "txtTmToPkFc", "TmToPkForce", "0.000", "s"},
    {"Checkrateofpowerdevelopment", "TextRateOfPowerDevelopment", "MaxRPD", "##000", "W/s"},
    {"Checktimetopeakpower", "TextTimeToPeakPower", "TmToPkPower", "0.000", "s"},
    {"CheckEccentricTime", "TextEccentricTime", "EccentricTm", "0.000", "s"},
    {"CheckConcentricTime", "TextConcentricTime", "ConcentricTm", "0.000", "s"},
    {"CheckEccConTime", "TextEccConTime", "Ecc+ConTm", "0.000", "s"},
    {"CheckFlightTime", "TextFlightTime", "FlightTime", "0.000", "s"},
    {"CheckFlightEccConratio", "TextFlightContractionRatio", "Flight:Contraction", "0.000", ""},
    {"Check100impulse", "txtImpulse100", "Impulse100", "00.00", "N·s"},
    {"Check200impulse", "txtImpulse200", "Impulse200", "00.00", "N·s"},
    {"Check250impulse", "txtImpulse250", "Impulse250", "00.00", "N·s"},
    {"Check300impulse", "txtImpulse300", "Impulse300", "00.00", "N·s"},
    {"CheckTotalImpulse", "TextTotalImpulse", "TotalImpulse", "00.00", "N·s"},
    {"Checkforceatpeakpower", "txtForceAtPeakPower", "Fc@PkPower", "###0.0", "N"},
    {"Checkvelocityatpeakpower", "txtVelocityAtPeakPower", "Vel@PkPower", "#0.000", "m/s"},
    {"Checkpoweratpeakforce", "txtPowerAtPeakForce", "Pow@PkForce", "###0.0", "W"},
    {"Checkvelocityatpeakforce", "txtVelocityAtPeakForce", "Vel@PkForce", "#0.000", "m/s"},
    {"CheckJumpHeightFromFT", "TextJumpHeightFromFlight", "JumpHt-FT", "0.000", "m"},
    {"CheckJumpHeightFromPkVel", "TextJumpHeightFromPkVel", "JumpHt-PV", "0.000", "m"},
}};

// Positions of the variables in the table above.
enum ResultsVariableId : std::size_t {
  kMaxHeight,
  kMinHeight,
  kPeakVelocity,
  kMinVelocity,
  kPeakForce,
  kMeanForce,
  kPeakPower,
  kMeanPower,
  kMaxRFD,
  kRFD0to30,
  kRFD0to90,
  kRFD0to150,
  kRFD0to200,
  kRFD0to250,
  kTimeToPeakForce,
  kRateOfPowerDevelopment,
  kTimeToPeakPower,
  kEccentricTime,
  kConcentricTime,
  kEccConTime,
  kFlightTime,
  kFlightContractionRatio,
  kImpulse100,
  kImpulse200,
  kImpulse250,
  kImpulse300,
  kTotalImpulse,
  kForceAtPeakPower,
  kVelocityAtPeakPower,
  kPowerAtPeakForce,
  kVelocityAtPeakForce,
  kJumpHeightFromFlight,
  kJumpHeightFromPeakVelocity,
};
static_assert(kJumpHeightFromPeakVelocity + 1 == kResultsVariableCount);

// The index of the variable with that results-row header, or -1.
int ResultsVariableIndex(std::string_view header);

}  // namespace torvane
