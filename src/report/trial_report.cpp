#include "report/trial_report.hpp"

#include <algorithm>
#include <cmath>

#include "analysis/graph_view.hpp"
#include "common/number_text.hpp"
#include "common/paths.hpp"
#include "results/results_variables.hpp"

namespace torvane {

namespace {

std::string Cutoff(float hertz) {
  // A cut-off below 1 Hz leaves the channel unfiltered.
  return hertz >= 1.0f ? FormatNumber(hertz, "0.##") + " Hz" : "off";
}

std::string ModeText(const CalculationMode& mode) {
  std::string text;
  if (mode.fromAcceleration) {
    text = "from acceleration";
  } else if (mode.fromDisplacement && mode.fromForce) {
    text = "from displacement and force";
  } else if (mode.fromForce) {
    text = "from force";
  } else if (mode.fromDisplacement) {
    text = "from displacement";
  } else {
    text = "nothing derived";
  }
  if (mode.reverseIntegrate && mode.fromForce && !mode.fromDisplacement) {
    text += ", integrated backwards";
  }
  return text;
}

std::string AthleteName(const SquadMember& athlete) {
  std::string name = athlete.FirstName;
  if (!athlete.LastName.empty()) name += (name.empty() ? "" : " ") + athlete.LastName;
  return name.empty() ? "Not named" : name;
}

std::string PhaseText(double seconds) {
  return seconds > 0 ? FormatNumber(seconds, "0.000") + " s" : "not found";
}

// The fewest decimals that tell ticks `step` apart.
int DecimalsFor(double step) {
  int decimals = 0;
  while (decimals < 9 && std::abs(step * std::pow(10.0, decimals) -
                                  std::round(step * std::pow(10.0, decimals))) > 1e-6) {
    ++decimals;
  }
  return decimals;
}

std::string TickLabel(double value, int decimals) {
  std::string pattern = "0";
  if (decimals > 0) pattern += "." + std::string(static_cast<std::size_t>(decimals), '0');
  std::string text = FormatNumber(value, pattern);
  if (text.starts_with('-') && text.find_first_not_of("-0.") == std::string::npos) {
    text.erase(0, 1);  // no "-0.0" at the axis' zero
  }
  return text;
}

}  // namespace

std::string ChannelTitle(ShownChannel channel) {
  const char* name = "Displacement";
  switch (channel) {
    case ShownChannel::Displacement:
      name = "Displacement";
      break;
    case ShownChannel::Velocity:
      name = "Velocity";
      break;
    case ShownChannel::Force:
      name = "Force";
      break;
    case ShownChannel::Acceleration:
      name = "Acceleration";
      break;
    case ShownChannel::Power:
      name = "Power";
      break;
  }
  return std::string(name) + " (" + ChannelUnit(channel) + ")";
}

ShownChannel DefaultReportChannel(const SettingsRecord& settings) {
  return settings.RecordForce ? ShownChannel::Force : ShownChannel::Displacement;
}

bool ReportChannelFromWord(std::string_view word, ShownChannel& channel) {
  static constexpr std::pair<std::string_view, ShownChannel> kWords[] = {
      {"displacement", ShownChannel::Displacement},
      {"disp", ShownChannel::Displacement},
      {"velocity", ShownChannel::Velocity},
      {"veloc", ShownChannel::Velocity},
      {"acceleration", ShownChannel::Acceleration},
      {"accel", ShownChannel::Acceleration},
      {"force", ShownChannel::Force},
      {"power", ShownChannel::Power},
  };
  for (const auto& [name, value] : kWords) {
    if (word == name) {
      channel = value;
      return true;
    }
  }
  return false;
}

std::vector<AxisTick> AxisTicks(double min, double max, int maxTicks) {
  std::vector<AxisTick> ticks;
  if (!std::isfinite(min) || !std::isfinite(max) || max <= min || maxTicks < 2) return ticks;
  const double rough = (max - min) / (maxTicks - 1);
  const double power = std::pow(10.0, std::floor(std::log10(rough)));
  double step = 10 * power;
  for (const double factor : {1.0, 2.0, 5.0}) {
    if (factor * power >= rough * (1 - 1e-9)) {
      step = factor * power;
      break;
    }
  }
  const int decimals = DecimalsFor(step);
  const double first = std::ceil(min / step - 1e-9);
  for (double k = first;; ++k) {
    const double value = k * step;
    if (value > max + step * 1e-9) break;
    ticks.push_back({value, TickLabel(value, decimals)});
  }
  return ticks;
}

std::vector<std::int32_t> ThinnedSamples(std::span<const float> channel, std::int32_t first,
                                         std::int32_t last, int columns) {
  std::vector<std::int32_t> kept;
  last = std::min<std::int64_t>(last, static_cast<std::int64_t>(channel.size()) - 1);
  first = std::max(first, 0);
  if (last < first) return kept;
  const std::int64_t count = static_cast<std::int64_t>(last) - first + 1;
  if (columns < 1 || count <= 4LL * columns) {
    kept.reserve(static_cast<std::size_t>(count));
    for (std::int32_t i = first; i <= last; ++i) kept.push_back(i);
    return kept;
  }
  kept.reserve(static_cast<std::size_t>(columns) * 4);
  for (int c = 0; c < columns; ++c) {
    const auto begin = static_cast<std::int32_t>(first + count * c / columns);
    const auto end = static_cast<std::int32_t>(first + count * (c + 1) / columns - 1);
    std::int32_t low = begin;
    std::int32_t high = begin;
    for (std::int32_t i = begin + 1; i <= end; ++i) {
      if (channel[static_cast<std::size_t>(i)] < channel[static_cast<std::size_t>(low)]) low = i;
      if (channel[static_cast<std::size_t>(i)] > channel[static_cast<std::size_t>(high)]) high = i;
    }
    for (const std::int32_t i : {begin, std::min(low, high), std::max(low, high), end}) {
      if (kept.empty() || kept.back() < i) kept.push_back(i);
    }
  }
  return kept;
}

TrialReport BuildTrialReport(const ReportInput& in) {
  const SettingsRecord& s = in.settings;
  const AnalysisView& v = in.view;
  const std::int32_t frequency = s.frequency > 0 ? s.frequency : 1;
  const auto seconds = [frequency](double sample) { return sample / frequency; };
  TrialReport report;
  report.title = "Trial report";
  report.trialName =
      in.trial.DataFileName.empty() ? "Trial not saved" : FileNameOf(in.trial.DataFileName);

  report.athlete = {
      {"Athlete", AthleteName(in.athlete)},
      {"Id", in.athlete.Id.empty() ? "-" : in.athlete.Id},
      {"Date", in.trial.CollectionDateTime.empty() ? "Not recorded" : in.trial.CollectionDateTime},
      {"Body mass", FormatNumber(s.weight, "0.0") + " kg"},
  };

  std::string options;
  const auto add = [&options](bool on, const char* what) {
    if (!on) return;
    if (!options.empty()) options += ", ";
    options += what;
  };
  add(in.meanConcentricOnly, "mean concentric only");
  add(in.frameJump, "frame jump");
  report.settings = {
      {"Calculation", ModeText(in.mode)},
      {"Sampling", std::to_string(s.samples) + " samples at " + std::to_string(s.frequency) +
                       " Hz (" + FormatNumber(seconds(s.samples), "0.000") + " s)"},
      {"Force", s.RecordForce ? "recorded" : "calculated"},
      {"Filters", "displacement " + Cutoff(s.dispFc) + ", velocity " + Cutoff(s.velocFc) +
                      ", acceleration " + Cutoff(s.accelFc) + ", force " + Cutoff(s.forceFc)},
      {"Analysis range", FormatNumber(seconds(v.AnalysisStart), "0.000") + " s to " +
                             FormatNumber(seconds(v.AnalysisEnd), "0.000") + " s"},
      {"Thresholds", "flight " + FormatNumber(s.flightthres, "0.##") + " N, RFD epoch " +
                         FormatNumber(s.RFDepoch, "0.##") + " ms"},
      {"Options", options.empty() ? "none" : options},
  };
  report.phases = {
      {"Movement onset", PhaseText(v.MovementOnsetTime)},
      {"Zero velocity", PhaseText(v.ZeroVelocityTime)},
      {"Take-off", PhaseText(v.TakeOffTime)},
      {"Landing", PhaseText(v.LandingTime)},
  };

  // The graph: the samples the analysis window shows, else the whole trial.
  ReportGraph& g = report.graph;
  g.title = ChannelTitle(in.channel);
  g.xLabel = "time (s)";
  const std::span<const float> channel = ShownChannelArray(in.trial, in.channel);
  const std::int32_t samples = std::min<std::int64_t>(s.samples, channel.size());
  std::int32_t first = std::clamp(v.ViewStart, 0, std::max(samples - 1, 0));
  std::int32_t last = std::clamp(v.ViewEnd, 0, std::max(samples - 1, 0));
  if (last <= first) {
    first = 0;
    last = std::max(samples - 1, 0);
  }
  g.xMin = seconds(first);
  g.xMax = last > first ? seconds(last) : seconds(first) + 1;
  for (const std::int32_t i : ThinnedSamples(channel.first(static_cast<std::size_t>(samples)),
                                             first, last, kReportGraphColumns)) {
    g.times.push_back(seconds(i));
    g.values.push_back(channel[static_cast<std::size_t>(i)]);
  }
  if (g.values.empty()) {
    g.yMin = 0;
    g.yMax = 1;
  } else {
    const auto [low, high] = std::minmax_element(g.values.begin(), g.values.end());
    const double span = *high - *low;
    const double room = span > 0 ? span * 0.05 : std::max(std::abs(*low) * 0.1, 1.0);
    g.yMin = *low - room;
    g.yMax = *high + room;
  }
  g.xTicks = AxisTicks(g.xMin, g.xMax, 11);
  g.yTicks = AxisTicks(g.yMin, g.yMax, 9);
  const auto inView = [&g](double t) { return t >= g.xMin && t <= g.xMax; };
  const PhaseLines lines = PhaseLineSamples(v, frequency, true, in.frameJump);
  for (const double sample : lines.phases) {
    if (inView(seconds(sample))) g.phaseTimes.push_back(seconds(sample));
  }
  for (const double sample : lines.jumpFrame) {
    if (inView(seconds(sample))) g.jumpFrameTimes.push_back(seconds(sample));
  }
  for (const std::int32_t marker : {v.Marker1Sample, v.Marker2Sample}) {
    if (inView(seconds(marker))) g.markerTimes.push_back(seconds(marker));
  }

  report.results.reserve(kResultsVariableCount);
  for (std::size_t i = 0; i < kResultsVariableCount; ++i) {
    const ResultsVariable& variable = kResultsVariables[i];
    report.results.push_back(
        {std::string(variable.header), in.results.texts[i], std::string(variable.unit)});
  }
  for (const QualityFlag& flag : in.quality) report.quality.push_back(QualityFlagText(flag));
  report.qualityClean = "No quality flags: nothing found that the results cannot be trusted for.";
  report.footer = "Torvane Measurement System " + in.version;
  return report;
}

}  // namespace torvane
