#include "results/quality_flags.hpp"

#include <algorithm>
#include <cmath>
#include <deque>

#include "common/number_text.hpp"
#include "common/physical_constants.hpp"

namespace torvane {

namespace {

// The limits, from the physics of a jump and the noise of a force platform.
//
// A standing athlete sways and breathes: the force of quiet standing stays
// within about ±1–2 % of body weight, and a plate's own noise is a few
// newtons. Anything outside ±10 % of body weight is movement.
constexpr double kStartSeconds = 0.1;     // the start judged for rest
constexpr double kAtRestFraction = 0.10;  // of body weight
// Quiet standing: force within ±2.5 % of body weight of its own mean (the
// band of sway and breathing, with room for plate noise), for at least one
// second: sway has periods up to about a second, so a shorter stretch does
// not average it out, and a weighing error of 1 % of body weight integrated
// over the second or so of a jump moves the take-off velocity by 0.1 m/s.
constexpr double kQuietBandFraction = 0.025;
constexpr double kQuietSeconds = 1.0;
// Inside the flight the plate reads its zero plus noise and the ringing
// that follows the unloading at take-off. Averaged over 10 ms the ringing
// mostly cancels and the noise is a few newtons: a 10 ms mean above 15 N
// (1.5 kg on the plate, some ten times the noise of an unloaded plate) is
// the athlete still pushing, so the zero crossing taken for take-off was a
// dip before it. This is the least certain of the limits: the ringing of a
// well-mounted plate stays below 10 N on that mean.
constexpr double kContactSpan = 0.01;     // s
constexpr double kContactMeanForce = 15;  // N
// The velocity of an athlete standing still after the jump is zero, so
// what the integration shows there is its drift (a wrong mass, or a start
// that was not at rest). Judged over the last 0.25 s of the range, and only
// when the athlete stands on the plate (force within ±10 % of body weight)
// from half a second after landing (the landing absorbed) to the end; one
// who steps off or half off shows a velocity that is no drift. 0.15 m/s of
// drift is a take-off velocity error of that size, some 4 cm of jump
// height at 2.5 m/s.
constexpr double kSettleSeconds = 0.5;
constexpr double kEndSpan = 0.25;
constexpr double kDriftLimit = 0.15;  // m/s
// Flight-time height assumes landing in the take-off posture; landing on
// bent knees and flat feet lengthens the flight by a few centimetres of
// height. Beyond max(5 cm, 15 %) one of the two heights is wrong.
constexpr double kHeightMarginMetres = 0.05;
constexpr double kHeightMarginFraction = 0.15;
// The force must come back within 10 ms of the landing time: 10 ms of
// flight are about a centimetre of jump height.
constexpr double kLandingSlack = 0.01;
constexpr double kDefaultFlightThreshold = 50;  // N
constexpr double kFlightGravity = 9.81;         // as the flight-time height uses

struct Trial {
  const float* force;
  const float* velocity;
  std::int64_t n;
  double f;
  std::int64_t a, b;  // the analysis range
  double weight;      // N
  double threshold;   // N

  std::int64_t Index(double seconds) const {
    return std::clamp<std::int64_t>(RoundIndex(seconds * f), 0, n - 1);
  }
};

QualityFlag Flag(const char* code, std::string message,
                 std::vector<std::pair<std::string, double>> values) {
  return QualityFlag{code, std::move(message), std::move(values)};
}

// The longest stretch of [from, to) whose force stays within ±band of its
// middle (max − min <= 2 band): its first sample and length.
std::pair<std::int64_t, std::int64_t> LongestQuietStretch(const Trial& t, std::int64_t from,
                                                          std::int64_t to, double band) {
  std::deque<std::int64_t> high, low;  // indices of falling maxima and rising minima
  std::pair<std::int64_t, std::int64_t> best{from, 0};
  std::int64_t start = from;
  for (std::int64_t i = from; i < to; ++i) {
    while (!high.empty() && t.force[high.back()] <= t.force[i]) high.pop_back();
    while (!low.empty() && t.force[low.back()] >= t.force[i]) low.pop_back();
    high.push_back(i);
    low.push_back(i);
    while (static_cast<double>(t.force[high.front()]) - t.force[low.front()] > 2 * band) {
      ++start;
      if (high.front() < start) high.pop_front();
      if (low.front() < start) low.pop_front();
    }
    if (i + 1 - start > best.second) best = {start, i + 1 - start};
  }
  return best;
}

// The integration starts at rest at sample 0 (or, backwards, at the last
// sample), whatever the range. True when nobody stands on the plate there.
bool CheckRestEnd(const Trial& t, bool reverse, std::vector<QualityFlag>& flags) {
  const std::int64_t span =
      std::min<std::int64_t>(t.n, std::max<std::int64_t>(1, RoundIndex(kStartSeconds * t.f)));
  const std::int64_t first = reverse ? t.n - span : 0;
  double sum = 0, deviation = 0;
  for (std::int64_t i = first; i < first + span; ++i) {
    sum += t.force[i];
    deviation = std::max(deviation, std::fabs(t.force[i] - t.weight));
  }
  const double mean = sum / static_cast<double>(span);
  const char* at = reverse ? "ends" : "starts";
  const char* from = reverse ? "backwards from rest at the last" : "from rest at the first";
  if (mean < t.threshold) {
    flags.push_back(Flag(
        "not-at-rest",
        std::string("The trial ") + at +
            " with nobody on the platform, but the velocity is integrated " + from + " sample.",
        {{reverse ? "end_force_N" : "start_force_N", mean}, {"flight_threshold_N", t.threshold}}));
    return true;
  }
  if (deviation > kAtRestFraction * t.weight) {
    flags.push_back(Flag("not-at-rest",
                         std::string("The athlete is moving at the ") +
                             (reverse ? "end" : "start") +
                             " of the trial, but the velocity is integrated " + from + " sample.",
                         {{"largest_deviation_N", deviation},
                          {"limit_N", kAtRestFraction * t.weight},
                          {"body_weight_N", t.weight}}));
  }
  return false;
}

void CheckWeighing(const Trial& t, std::int64_t before, std::vector<QualityFlag>& flags) {
  const double band = kQuietBandFraction * t.weight;
  const auto [first, length] = LongestQuietStretch(t, 0, std::min(before, t.n), band);
  const double seconds = static_cast<double>(length) / t.f;
  if (seconds + 0.5 / t.f >= kQuietSeconds) return;
  flags.push_back(Flag("short-weighing",
                       "There is no second of quiet standing before the movement to weigh the "
                       "athlete by, so the mass and every velocity may be off.",
                       {{"quiet_s", seconds},
                        {"needed_s", kQuietSeconds},
                        {"band_N", band},
                        {"at_s", static_cast<double>(first) / t.f}}));
}

// The highest mean force over kContactSpan inside [from, to): its start
// and value.
std::pair<std::int64_t, double> HighestShortMean(const Trial& t, std::int64_t from,
                                                 std::int64_t to) {
  const std::int64_t span = std::max<std::int64_t>(1, RoundIndex(kContactSpan * t.f));
  std::pair<std::int64_t, double> best{from, -1e300};
  double sum = 0;
  for (std::int64_t i = from; i < to; ++i) {
    sum += t.force[i];
    if (i - from >= span) sum -= t.force[i - span];
    if (i - from + 1 >= span && sum / span > best.second) best = {i + 1 - span, sum / span};
  }
  return best;
}

// A flight seen in the force: the longest run below the threshold after
// the start, at least 0.1 s long (first sample, length).
std::pair<std::int64_t, std::int64_t> FlightInForce(const Trial& t) {
  std::pair<std::int64_t, std::int64_t> best{0, 0};
  std::int64_t run = 0;
  bool onPlate = false;
  for (std::int64_t i = t.a; i <= t.b; ++i) {
    if (t.force[i] >= t.threshold) {
      onPlate = true;
      run = 0;
      continue;
    }
    if (!onPlate) continue;
    ++run;
    if (run > best.second) best = {i + 1 - run, run};
  }
  if (static_cast<double>(best.second) / t.f < 0.1) best.second = 0;
  return best;
}

// Only the collection knows which samples it held: a held sample repeats
// the last whole one, which a quiet plate with a coarse converter does too.
void CheckHeld(std::uint64_t held, std::vector<QualityFlag>& flags) {
  if (held == 0) return;
  flags.push_back(Flag("held-samples",
                       "Some samples were held in place of damaged frames of the stream, so the "
                       "trial is not what the unit measured there.",
                       {{"held_samples", static_cast<double>(held)}}));
}

}  // namespace

QualityInput QualityInputOf(const TrialDataSet& trial, const SettingsRecord& settings,
                            const AnalysisView& view, const TrialResults& results,
                            std::uint64_t heldSamples, bool reverse) {
  QualityInput in;
  in.Force = trial.Force;
  in.Velocity = trial.Velocity;
  in.samples = settings.samples;
  in.frequency = settings.frequency;
  in.mass = settings.weight;
  in.RecordForce = settings.RecordForce;
  if (settings.flightthres > 0) in.flightThreshold = settings.flightthres;
  in.AnalysisStart = view.AnalysisStart;
  in.AnalysisEnd = view.AnalysisEnd;
  in.MovementOnsetTime = view.MovementOnsetTime;
  in.ZeroVelocityTime = view.ZeroVelocityTime;
  in.TakeOffTime = view.TakeOffTime;
  in.LandingTime = view.LandingTime;
  in.flightPhase = results.flightPhase;
  in.heldSamples = heldSamples;
  in.reverse = reverse;
  return in;
}

std::vector<QualityFlag> AssessTrialQuality(const QualityInput& in) {
  std::vector<QualityFlag> flags;
  const std::int64_t n =
      std::min<std::int64_t>({in.samples, static_cast<std::int64_t>(in.Force.size()),
                              static_cast<std::int64_t>(in.Velocity.size())});
  const bool judged = in.RecordForce && n >= 4 && in.frequency > 0 && in.mass > 0;
  Trial t{};
  if (judged) {
    t.force = in.Force.data();
    t.velocity = in.Velocity.data();
    t.n = n;
    t.f = in.frequency;
    t.a = std::clamp<std::int64_t>(in.AnalysisStart, 0, n - 1);
    t.b = in.AnalysisEnd < 0 ? n - 1 : std::clamp<std::int64_t>(in.AnalysisEnd, t.a, n - 1);
    t.weight = in.mass * kStandardGravity;
    t.threshold = in.flightThreshold > 0 ? in.flightThreshold : kDefaultFlightThreshold;
  }
  if (!judged) {
    CheckHeld(in.heldSamples, flags);
    return flags;
  }

  const bool startsOff = CheckRestEnd(t, in.reverse, flags) && !in.reverse;
  const std::int64_t takeOff = t.Index(in.TakeOffTime);
  const std::int64_t landing = t.Index(in.LandingTime);

  if (!in.flightPhase) {
    if (const auto [at, length] = FlightInForce(t); length > 0) {
      flags.push_back(Flag("takeoff-not-found",
                           "The force shows a flight, but the velocity does not: no take-off or "
                           "landing was found.",
                           {{"flight_from_s", static_cast<double>(at) / t.f},
                            {"flight_s", static_cast<double>(length) / t.f}}));
    }
    CheckHeld(in.heldSamples, flags);
    return flags;
  }

  // The movement starts: a squat jump's push, a countermovement's dip.
  const std::int64_t onset =
      t.Index(in.MovementOnsetTime > 0 ? in.MovementOnsetTime : in.TakeOffTime);
  if (!startsOff) {
    CheckWeighing(t, onset, flags);
  }

  const bool takeOffFound = t.force[takeOff] <= 0;
  if (!takeOffFound) {
    flags.push_back(
        Flag("takeoff-not-found",
             "The force never fell to zero after the push: take-off is taken at the "
             "peak velocity instead.",
             {{"take_off_s", in.TakeOffTime}, {"force_at_take_off_N", t.force[takeOff]}}));
  }
  double peakForce = 0;
  for (std::int64_t i = t.a; i <= t.b; ++i) peakForce = std::max<double>(peakForce, t.force[i]);
  // With displacement the landing is the lowest velocity of the filtered
  // displacement, which comes a few milliseconds before the force returns.
  bool landingFound = false;
  for (std::int64_t k = landing; k <= std::min(t.b, landing + RoundIndex(kLandingSlack * t.f));
       ++k) {
    landingFound = landingFound || (t.force[k] >= peakForce / 100 && landing > takeOff);
  }
  if (!landingFound) {
    std::vector<std::pair<std::string, double>> values{{"landing_s", in.LandingTime},
                                                       {"force_at_landing_N", t.force[landing]}};
    for (std::int64_t k = std::max(landing, takeOff + 1); k <= t.b; ++k) {
      if (t.force[k] >= peakForce / 100) {
        values.emplace_back("force_returns_s", static_cast<double>(k) / t.f);
        break;
      }
    }
    flags.push_back(Flag("landing-not-found",
                         "The force does not return at the landing time: the landing is taken at "
                         "the lowest velocity, so the flight time is off.",
                         std::move(values)));
  }

  bool flightClean = takeOffFound && landingFound;
  if (landing > takeOff) {
    double lowest = t.force[takeOff];
    for (std::int64_t i = takeOff; i < landing; ++i) lowest = std::min<double>(lowest, t.force[i]);
    const auto [at, mean] = HighestShortMean(t, takeOff + 1, landing);
    if (lowest > t.threshold) {
      flightClean = false;
      flags.push_back(
          Flag("flight-not-clean",
               "The force never fell below the flight threshold in flight: the "
               "plate does not read zero off it, so take-off and landing are "
               "uncertain.",
               {{"lowest_flight_force_N", lowest}, {"flight_threshold_N", t.threshold}}));
    } else if (takeOffFound && mean > kContactMeanForce) {
      flightClean = false;
      flags.push_back(Flag("flight-not-clean",
                           "The force rose again after take-off: the take-off was found at a dip "
                           "below zero while the athlete was still on the platform.",
                           {{"contact_at_s", static_cast<double>(at) / t.f},
                            {"mean_force_N", mean},
                            {"limit_N", kContactMeanForce}}));
    }
  }

  // Where the athlete stands still at the end the integration did not
  // start from: from half a second after the landing to the end forwards,
  // the first kEndSpan backwards.
  const std::int64_t span = RoundIndex(kEndSpan * t.f);
  const std::int64_t standFrom = in.reverse ? t.a : landing + RoundIndex(kSettleSeconds * t.f);
  const std::int64_t standTo = in.reverse ? t.a + span - 1 : t.b;
  const std::int64_t from = in.reverse ? t.a : t.b + 1 - span;
  bool standing = (in.reverse || landingFound) && standFrom <= from && from + span - 1 <= standTo &&
                  standTo <= t.b;
  for (std::int64_t i = standFrom; standing && i <= standTo; ++i) {
    standing = std::fabs(t.force[i] - t.weight) <= kAtRestFraction * t.weight;
  }
  if (standing) {
    double sum = 0;
    for (std::int64_t i = from; i < from + span; ++i) sum += t.velocity[i];
    const double drift = sum / static_cast<double>(span);
    if (std::fabs(drift) > kDriftLimit) {
      flags.push_back(Flag("velocity-drift",
                           std::string("The athlete stands still ") +
                               (in.reverse ? "before" : "after") +
                               " the jump, but the velocity is not zero there: the integration "
                               "drifts (a wrong mass, or an end it starts from that was not at "
                               "rest).",
                           {{"velocity_m_s", drift},
                            {"limit_m_s", kDriftLimit},
                            {"from_s", static_cast<double>(from) / t.f}}));
    }
  }

  if (flightClean) {
    const double flight = in.LandingTime - in.TakeOffTime;
    const double fromFlight = kFlightGravity * flight * flight / 8;
    const double v = std::max<double>(0, t.velocity[takeOff]);
    const double fromVelocity = v * v / (2 * kStandardGravity);
    const double margin =
        std::max(kHeightMarginMetres, kHeightMarginFraction * std::max(fromFlight, fromVelocity));
    if (std::fabs(fromFlight - fromVelocity) > margin) {
      flags.push_back(Flag("height-mismatch",
                           "The jump height from the flight time and from the take-off velocity "
                           "disagree by more than the margin: one of them is wrong.",
                           {{"height_from_flight_m", fromFlight},
                            {"height_from_take_off_velocity_m", fromVelocity},
                            {"margin_m", margin}}));
    }
  }
  CheckHeld(in.heldSamples, flags);
  return flags;
}

std::string QualityCodes(const std::vector<QualityFlag>& flags) {
  std::string out;
  for (const QualityFlag& flag : flags) {
    if (!out.empty()) out += "; ";
    out += flag.code;
  }
  return out;
}

std::string QualityFlagText(const QualityFlag& flag) {
  std::string out = flag.code + ": " + flag.message;
  if (flag.values.empty()) return out;
  out += " (";
  for (std::size_t i = 0; i < flag.values.size(); ++i) {
    if (i > 0) out += ", ";
    out += flag.values[i].first + " " + FormatNumber(flag.values[i].second, "0.####");
  }
  return out + ")";
}

}  // namespace torvane
