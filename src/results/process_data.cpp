#include "results/process_data.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/number_text.hpp"
#include "trial/analysis_view.hpp"

namespace torvane {

std::int64_t RoundIndex(double x) {
  // Below 2^52 adding and taking away 2^52 leaves exactly the nearest
  // integer, halves to even (the rounding of every double addition), without
  // a call into the maths library for each sample.
  constexpr double kTwo52 = 4503599627370496.0;
  if (x >= 0 && x < kTwo52) {
    const double shifted = x + kTwo52;
    return static_cast<std::int64_t>(shifted - kTwo52);
  }
  constexpr double kLimit = 4.0e18;
  if (std::isnan(x)) return std::numeric_limits<std::int64_t>::min() / 2;
  if (x >= kLimit) return std::numeric_limits<std::int64_t>::max() / 2;
  if (x <= -kLimit) return std::numeric_limits<std::int64_t>::min() / 2;
  return static_cast<std::int64_t>(RoundHalfEven(x));
}

std::int64_t LastIntervalWithin(double seconds, double frequency) {
  // k / f never decreases as k grows: start from the estimate and step to
  // the exact boundary of the comparison the loop would make.
  if (!(frequency > 0) || !(seconds >= 0)) return -1;
  std::int64_t k = static_cast<std::int64_t>(seconds * frequency);
  while (k >= 0 && static_cast<double>(k) / frequency > seconds) --k;
  while (static_cast<double>(k + 1) / frequency <= seconds) ++k;
  return k;
}

namespace {

// Fixed windows of the rate of force development, seconds from the window start.
constexpr std::array<double, 5> kRfdWindows = {0.03, 0.09, 0.15, 0.2, 0.25};
constexpr std::array<ResultsVariableId, 5> kRfdIds = {kRFD0to30, kRFD0to90, kRFD0to150, kRFD0to200,
                                                      kRFD0to250};

}  // namespace

std::string ResultsText(ResultsVariableId id, std::optional<double> value) {
  if (!value) return {};
  return FormatNumber(*value, kResultsVariables[id].format);
}

void ResetPhaseTimes(AnalysisView& view) {
  view.MovementOnsetTime = 0;
  view.ZeroVelocityTime = 0;
  view.TakeOffTime = 0;
  view.LandingTime = 0;
}

void SetJumpFrameFromPhases(AnalysisView& view, std::int32_t frequency) {
  view.JumpFrameStartSample = ToInt32(view.MovementOnsetTime * frequency);
  view.JumpFrameEndSample = ToInt32(static_cast<double>(view.LandingTime) * frequency);
}

TrialResults ProcessData(const ResultsInput& in, AnalysisView& view,
                         const ResultsOptions& options) {
  TrialResults r;
  view.TakeOffTime = 0;

  // Samples that may be read: the trial, and never past the arrays.
  const std::int64_t last =
      std::min<std::int64_t>({static_cast<std::int64_t>(in.samples),
                              static_cast<std::int64_t>(in.Displacement.size()),
                              static_cast<std::int64_t>(in.Velocity.size()),
                              static_cast<std::int64_t>(in.Force.size()),
                              static_cast<std::int64_t>(in.Power.size())}) -
      1;
  if (in.frequency <= 0 || last < 0) return r;
  const double f = in.frequency;
  const float* displacement = in.Displacement.data();
  const float* velocity = in.Velocity.data();
  const float* force = in.Force.data();
  const float* power = in.Power.data();

  // The window: the jump frame or the analysis range, ending at the trial.
  std::int64_t s0 = options.frameJump ? view.JumpFrameStartSample : view.AnalysisStart;
  std::int64_t s1 = options.frameJump ? view.JumpFrameEndSample : view.AnalysisEnd;
  if (s1 >= last) s1 = last;
  if (s0 < 0) s0 = 0;
  r.windowStart = static_cast<std::int32_t>(s0);
  r.windowEnd = static_cast<std::int32_t>(s1);

  // Start values; the ones the results keep in single precision are floats.
  float maxDisplacement = 0;
  double minDisplacement = 999;
  double peakVelocity = 0, timeOfPeakVelocity = 0;
  double minVelocity = 999, timeOfMinVelocity = 0;
  double peakForce = 0;
  std::int64_t peakForceIndex = 0;
  float velocityAtPeakForce = 0;
  double powerAtPeakForce = 0;
  double peakPower = 0;
  float timeOfPeakPower = 0;
  double forceAtPeakPower = 0, velocityAtPeakPower = 0;
  float maxRfd = 0;
  double epochRfd = 0;
  double forceSum = 0, powerSum = 0;
  std::int64_t forceCount = 0, powerCount = 0;
  double impulse100 = 0, impulse200 = 0, impulse250 = 0, totalImpulse = 0;
  float impulse300 = 0;
  // The impulse limits as whole sample intervals from the window start:
  // (i - s0) / f <= limit exactly when i - s0 <= the interval found here.
  const std::int64_t within100 = LastIntervalWithin(0.1, f);
  const std::int64_t within200 = LastIntervalWithin(0.2, f);
  const std::int64_t within250 = LastIntervalWithin(0.25, f);
  const std::int64_t within300 = LastIntervalWithin(0.3, f);
  const double epoch = static_cast<double>(in.RFDepoch) / 1000.0;
  const double epochReach = epoch * f;
  const std::int64_t lastForRfd = static_cast<std::int64_t>(in.samples) - 1;

  // One pass over the window.
  for (std::int64_t i = s0; i <= s1; ++i) {
    const float fi = force[i];
    const float vi = velocity[i];
    const float pi = power[i];
    const float di = displacement[i];
    if (fi > peakForce) {  // strictly: the first of equal maxima wins
      peakForce = fi;
      peakForceIndex = i;
      velocityAtPeakForce = vi;
      powerAtPeakForce = pi;
    }
    if (vi > peakVelocity) {
      peakVelocity = vi;
      timeOfPeakVelocity = static_cast<double>(i) / f;
    }
    if (vi < minVelocity) {
      minVelocity = vi;
      timeOfMinVelocity = static_cast<double>(i) / f;
    }
    if (di < minDisplacement) minDisplacement = di;
    if (pi > peakPower) {
      peakPower = pi;
      timeOfPeakPower = static_cast<float>(static_cast<double>(i) / f);
      forceAtPeakPower = fi;
      velocityAtPeakPower = vi;
    }
    // The epoch RFD keeps its last value at samples whose epoch runs past
    // the trial, and the maximum is taken either way.
    const double reach = epochReach + static_cast<double>(i);
    if (reach < static_cast<double>(lastForRfd)) {
      const std::int64_t j = RoundIndex(reach);
      if (j >= 0 && j <= last) epochRfd = (static_cast<double>(force[j]) - fi) / epoch;
    }
    if (epochRfd > maxRfd) maxRfd = static_cast<float>(epochRfd);
    if (di > maxDisplacement) maxDisplacement = di;
    if (!options.meanConcentricOnly) {
      forceSum += fi;
      powerSum += static_cast<double>(vi) * fi;
    } else if (vi > 0) {
      forceSum += fi;
      powerSum += static_cast<double>(vi) * fi;
      ++forceCount;
      ++powerCount;
    }
    // Rectangle sums from the window start, the sample at the limit included.
    const std::int64_t elapsed = i - s0;
    const double share = fi / f;
    if (elapsed <= within100) impulse100 += share;
    if (elapsed <= within200) impulse200 += share;
    if (elapsed <= within250) impulse250 += share;
    if (elapsed <= within300) impulse300 = static_cast<float>(impulse300 + share);
    totalImpulse += share;
  }

  // A flight phase: the landing (most negative velocity) at least 50 ms
  // after the take-off (peak velocity).
  const bool flight = timeOfMinVelocity - timeOfPeakVelocity >= 0.05;
  r.flightPhase = flight;
  if (flight) {
    // First estimates, from the velocity alone.
    view.LandingTime = static_cast<float>(timeOfMinVelocity);
    view.TakeOffTime = timeOfPeakVelocity;
    view.ZeroVelocityTime = 0;
    const std::int64_t analysisStart = view.AnalysisStart;

    // Zero velocity: back from the take-off to the upward zero crossing.
    for (std::int64_t k = RoundIndex(timeOfPeakVelocity * f); k >= analysisStart && k >= 2; --k) {
      if (k > last) continue;
      if (velocity[k] >= 0 && velocity[k - 1] < 0) {
        view.ZeroVelocityTime = std::fabs(velocity[k - 1]) <= std::fabs(velocity[k])
                                    ? static_cast<double>(k - 1) / f
                                    : static_cast<double>(k) / f;
        break;
      }
    }

    // Movement onset: back from zero velocity to where the downward
    // velocity first passed 1 % of its largest magnitude.
    const double threshold = minVelocity / 100.0;
    for (std::int64_t k = RoundIndex(view.ZeroVelocityTime * f - 1); k >= analysisStart && k >= 2;
         --k) {
      if (k > last) continue;
      if (velocity[k] <= threshold && velocity[k - 1] > threshold) {
        view.MovementOnsetTime = static_cast<double>(k) / f;
        break;
      }
    }

    // Take-off and landing from the force, when force was recorded.
    if (in.RecordForce) {
      const std::int64_t takeOffLast = std::min(RoundIndex(timeOfMinVelocity * f), last);
      for (std::int64_t k = std::max<std::int64_t>(RoundIndex(view.ZeroVelocityTime * f + 1), 1);
           k <= takeOffLast; ++k) {
        if (force[k - 1] > 0 && force[k] <= 0) {
          view.TakeOffTime = static_cast<double>(k) / f;
          break;
        }
      }
      // The landing scan ends at the trial's last sample.
      const double landing = view.LandingTime;
      const std::int64_t landingLast = std::min(RoundIndex(landing * f + 1), last);
      const double landingForce = peakForce / 100.0;
      for (std::int64_t k =
               std::max<std::int64_t>(RoundIndex((view.TakeOffTime + landing) / 2 * f + 1), 0);
           k <= landingLast; ++k) {
        if (force[k] >= landingForce) {
          view.LandingTime = static_cast<float>(static_cast<double>(k) / f);
          break;
        }
      }
    }
  }

  // Means: over the window, each sum divided by the number of sample
  // intervals; or over the samples of upward velocity only.
  double meanForce = 0, meanPower = 0;
  if (!options.meanConcentricOnly) {
    if (s1 != s0) {
      meanForce = forceSum / static_cast<double>(s1 - s0);
      meanPower = powerSum / static_cast<double>(s1 - s0);
    } else {
      meanForce = forceSum;
      meanPower = powerSum;
    }
  } else {
    if (forceCount != 0) meanForce = forceSum / static_cast<double>(forceCount);
    if (powerCount != 0) meanPower = powerSum / static_cast<double>(powerCount);
  }

  auto& v = r.values;
  // Fixed-window RFD from the window start; a window that runs past the
  // trial is not computed, nor are the longer ones after it.
  for (std::size_t w = 0; w < kRfdWindows.size(); ++w) {
    const std::int64_t j = RoundIndex(f * kRfdWindows[w] + static_cast<double>(s0));
    if (j > last || j < 0 || s0 > last) break;
    const double rfd = (static_cast<double>(force[j]) - force[s0]) / kRfdWindows[w];
    v[kRfdIds[w]] = kRfdIds[w] == kRFD0to250 ? static_cast<double>(static_cast<float>(rfd)) : rfd;
  }

  // Times to the peaks, and the rate of power development.
  v[kTimeToPeakForce] = static_cast<double>(peakForceIndex - s0) / f;
  const float timeToPeakPower = static_cast<float>(timeOfPeakPower - static_cast<double>(s0) / f);
  v[kTimeToPeakPower] = timeToPeakPower;
  if (timeToPeakPower != 0) v[kRateOfPowerDevelopment] = peakPower / timeToPeakPower;

  // Phase durations and the jump height from flight time exist only
  // when this trial has a flight phase.
  if (flight) {
    const double landing = view.LandingTime;
    const double flightTime = landing - view.TakeOffTime;
    const double eccCon = view.TakeOffTime - view.MovementOnsetTime;
    v[kFlightTime] = flightTime;
    v[kConcentricTime] = view.TakeOffTime - view.ZeroVelocityTime;
    v[kEccentricTime] = view.ZeroVelocityTime - view.MovementOnsetTime;
    v[kEccConTime] = eccCon;
    if (eccCon > 0) v[kFlightContractionRatio] = flightTime / eccCon;
    v[kJumpHeightFromFlight] = 9.81 * flightTime * flightTime / 8.0;
  }
  v[kJumpHeightFromPeakVelocity] = peakVelocity * peakVelocity / 19.6133;

  v[kMaxHeight] = maxDisplacement;
  v[kMinHeight] = minDisplacement;
  v[kPeakVelocity] = peakVelocity;
  v[kMinVelocity] = minVelocity;
  v[kPeakForce] = peakForce;
  v[kMeanForce] = meanForce;
  v[kPeakPower] = peakPower;
  v[kMeanPower] = meanPower;
  v[kMaxRFD] = maxRfd;
  v[kImpulse100] = impulse100;
  v[kImpulse200] = impulse200;
  v[kImpulse250] = impulse250;
  v[kImpulse300] = impulse300;
  v[kTotalImpulse] = totalImpulse;
  v[kForceAtPeakPower] = forceAtPeakPower;
  v[kVelocityAtPeakPower] = velocityAtPeakPower;
  v[kPowerAtPeakForce] = powerAtPeakForce;
  v[kVelocityAtPeakForce] = velocityAtPeakForce;

  // The texts, each in its variable's format.
  for (std::size_t k = 0; k < kResultsVariableCount; ++k) {
    r.texts[k] = ResultsText(static_cast<ResultsVariableId>(k), v[k]);
  }
  return r;
}

ResultsInput ResultsInputOf(const TrialDataSet& trial, const SettingsRecord& settings) {
  ResultsInput in;
  in.Displacement = trial.Displacement;
  in.Velocity = trial.Velocity;
  in.Force = trial.Force;
  in.Power = trial.Power;
  in.samples = settings.samples;
  in.frequency = settings.frequency;
  in.RFDepoch = settings.RFDepoch;
  in.RecordForce = settings.RecordForce;
  return in;
}

}  // namespace torvane
