#include "analysis/graph_view.hpp"

#include <algorithm>
#include <cmath>

#include "common/number_text.hpp"

namespace torvane {

namespace {

std::int32_t& MarkerOf(AnalysisView& view, SelectedMarker selected) {
  return selected == SelectedMarker::Marker1 ? view.Marker1Sample : view.Marker2Sample;
}

std::int32_t Last(std::int32_t samples) {
  return std::max(samples - 1, 0);
}

// The view's ends as whole samples inside the trial, start before end.
void ClampView(AnalysisView& view, std::int32_t samples) {
  const std::int32_t last = Last(samples);
  view.ViewStart = std::clamp(view.ViewStart, 0, last);
  view.ViewEnd = std::clamp(view.ViewEnd, 0, last);
  if (view.ViewEnd <= view.ViewStart) {
    view.ViewStart = 0;
    view.ViewEnd = last;
  }
}

}  // namespace

const char* ChannelWord(ShownChannel channel) {
  switch (channel) {
    case ShownChannel::Displacement:
      return "disp";
    case ShownChannel::Velocity:
      return "veloc";
    case ShownChannel::Force:
      return "force";
    case ShownChannel::Acceleration:
      return "accel";
    case ShownChannel::Power:
      return "power";
  }
  return "";
}

const char* ChannelUnit(ShownChannel channel) {
  switch (channel) {
    case ShownChannel::Displacement:
      return "m";
    case ShownChannel::Velocity:
      return "m/s";
    case ShownChannel::Force:
      return "N";
    case ShownChannel::Acceleration:
      return "m/s\u00B2";
    case ShownChannel::Power:
      return "W";
  }
  return "";
}

YRange SetDataParameters(AnalysisView& view, std::span<const float> channel, std::int32_t samples,
                         bool resetWindow) {
  if (resetWindow) {
    view.ViewStart = 0;
    view.ViewEnd = samples - 1;
    view.Marker1Sample = 0;
    view.Marker2Sample = samples - 1;
  }
  const std::size_t n = std::min(channel.size(), static_cast<std::size_t>(std::max(samples, 0)));
  YRange y{0, 0};
  if (n > 0) {
    const auto [lo, hi] = std::minmax_element(channel.begin(), channel.begin() + n);
    y.YMin = *lo;
    y.YMax = *hi;
  }
  if (y.YMax == 0) y.YMax = 100;
  if (y.YMin == y.YMax) {
    // A flat channel: the line drawn through the middle of the graph.
    const double room = std::max(std::abs(y.YMax) * 0.1, 1.0);
    y.YMin -= room;
    y.YMax += room;
  }
  if (view.ViewEnd == 0) view.ViewEnd = 100;
  return y;
}

void ClampMarkers(AnalysisView& view, std::int32_t samples) {
  const std::int32_t last = Last(samples);
  view.Marker2Sample = std::clamp(view.Marker2Sample, std::min(1, last), last);
  view.Marker1Sample = std::clamp(view.Marker1Sample, 0, std::max(view.Marker2Sample - 1, 0));
}

void ZoomIn(AnalysisView& view, std::int32_t samples) {
  const double w = static_cast<double>(view.ViewEnd) - view.ViewStart;
  const auto step = static_cast<std::int32_t>(RoundHalfEven(0.1 * w));
  if (step <= 0 || w - 2.0 * step < 1) return;
  view.ViewEnd -= step;
  view.ViewStart += step;
  ClampView(view, samples);
}

void ZoomOut(AnalysisView& view, std::int32_t samples) {
  const double w = static_cast<double>(view.ViewEnd) - view.ViewStart;
  const auto step = std::max<std::int32_t>(1, static_cast<std::int32_t>(RoundHalfEven(0.1 * w)));
  view.ViewEnd = std::min(view.ViewEnd + step, Last(samples));
  view.ViewStart = view.ViewStart - step <= 0 ? 0 : view.ViewStart - step;
  ClampView(view, samples);
}

void ZoomToMarkers(AnalysisView& view, std::int32_t samples) {
  ClampMarkers(view, samples);
  view.ViewStart = view.Marker1Sample;
  view.ViewEnd = view.Marker2Sample;
  ClampView(view, samples);
}

void Expand(AnalysisView& view, std::int32_t samples) {
  view.ViewStart = 0;
  view.ViewEnd = Last(samples);
}

void ScrollLeft(AnalysisView& view, std::int32_t samples) {
  if (view.ViewStart >= 10) {
    view.ViewStart -= 10;
    view.ViewEnd -= 10;
  } else {
    view.ViewStart = 0;
  }
  ClampView(view, samples);
}

void ScrollRight(AnalysisView& view, std::int32_t samples) {
  if (view.ViewEnd <= samples - 11) {
    view.ViewStart += 10;
    view.ViewEnd += 10;
  } else {
    view.ViewEnd = Last(samples);
  }
  ClampView(view, samples);
}

void ZoomAbout(AnalysisView& view, std::int32_t samples, double centreSample, double factor) {
  const double last = Last(samples);
  if (last < 1) return;
  const double start = view.ViewStart;
  const double w = std::max(static_cast<double>(view.ViewEnd) - start, 1.0);
  const double width = std::clamp(w * factor, std::min(4.0, last), last);
  const double share = std::clamp((centreSample - start) / w, 0.0, 1.0);
  double newStart = centreSample - share * width;
  newStart = std::clamp(newStart, 0.0, last - width);
  view.ViewStart = static_cast<std::int32_t>(std::lround(newStart));
  view.ViewEnd = static_cast<std::int32_t>(std::lround(newStart + width));
  ClampView(view, samples);
}

void MarkRight(AnalysisView& view, std::int32_t samples, SelectedMarker selected) {
  std::int32_t& m1 = view.Marker1Sample;
  std::int32_t& m2 = view.Marker2Sample;
  if (selected == SelectedMarker::Marker1) {
    if (m1 + 1 < m2 - 1 && m1 <= samples - 2) ++m1;
  } else if (m2 < samples - 1) {
    ++m2;
  }
  if (m1 >= m2) m1 = m2 - 2;
  ClampMarkers(view, samples);
}

void MarkLeft(AnalysisView& view, std::int32_t samples, SelectedMarker selected) {
  std::int32_t& m1 = view.Marker1Sample;
  std::int32_t& m2 = view.Marker2Sample;
  if (selected == SelectedMarker::Marker1) {
    if (m1 >= 1) --m1;
  } else if (m2 > m1 + 1 && m2 >= 1) {
    --m2;
  }
  if (m2 <= m1) m2 = m1 + 2;
  ClampMarkers(view, samples);
}

void MarkRight10(AnalysisView& view, std::int32_t samples, SelectedMarker selected) {
  std::int32_t& m1 = view.Marker1Sample;
  std::int32_t& m2 = view.Marker2Sample;
  if (selected == SelectedMarker::Marker1) {
    if (m1 + 10 < m2 - 1 && m1 <= samples - 12) m1 += 10;
  } else if (m2 <= samples - 11) {
    m2 += 10;
  }
  ClampMarkers(view, samples);
}

void MarkLeft10(AnalysisView& view, std::int32_t samples, SelectedMarker selected) {
  std::int32_t& m1 = view.Marker1Sample;
  std::int32_t& m2 = view.Marker2Sample;
  if (selected == SelectedMarker::Marker1) {
    if (m1 >= 10) m1 -= 10;
  } else if (m2 - 10 > m1 && m2 >= 11) {
    m2 -= 10;
  }
  ClampMarkers(view, samples);
}

void SeekMarker(AnalysisView& view, const TrialDataSet& trial, const SettingsRecord& settings,
                SelectedMarker selected, bool forwards, ShownChannel channel,
                const SeekOptions& options) {
  std::int32_t& marker = MarkerOf(view, selected);
  const std::int32_t start = forwards ? marker + 1 : marker - 1;
  const std::int32_t found = SeekPoint(trial, settings, forwards ? 0 : 1, start, channel, options);
  // A seek never carries a marker past the other one.
  if (selected == SelectedMarker::Marker1) {
    marker = std::min(found, view.Marker2Sample - 1);
  } else {
    marker = std::max(found, view.Marker1Sample + 1);
  }
  ClampMarkers(view, settings.samples);
}

std::int32_t NearestSample(double x, std::int32_t samples) {
  if (samples <= 0) return -1;
  if (!std::isfinite(x)) return x > 0 ? samples - 1 : 0;
  return static_cast<std::int32_t>(std::clamp(RoundHalfEven(x), 0.0, samples - 1.0));
}

bool ClickMarker(AnalysisView& view, std::int32_t samples, SelectedMarker selected, double x) {
  if (samples <= 0) return false;
  const std::int32_t before1 = view.Marker1Sample;
  const std::int32_t before2 = view.Marker2Sample;
  const std::int32_t sample = NearestSample(x, samples);
  if (selected == SelectedMarker::Marker1 && x < view.Marker2Sample) {
    view.Marker1Sample = std::min(sample, view.Marker2Sample - 1);
  } else if (selected == SelectedMarker::Marker2 && x > view.Marker1Sample) {
    view.Marker2Sample = std::max(sample, view.Marker1Sample + 1);
  }
  ClampMarkers(view, samples);
  return view.Marker1Sample != before1 || view.Marker2Sample != before2;
}

void DragMarker(AnalysisView& view, std::int32_t samples, SelectedMarker marker, double x) {
  if (samples <= 0) return;
  const std::int32_t sample = NearestSample(x, samples);
  if (marker == SelectedMarker::Marker1) {
    view.Marker1Sample = std::min(sample, view.Marker2Sample - 1);
  } else {
    view.Marker2Sample = std::max(sample, view.Marker1Sample + 1);
  }
  ClampMarkers(view, samples);
}

PhaseLines PhaseLineSamples(const AnalysisView& view, std::int32_t frequency, bool showPhases,
                            bool frameJump) {
  PhaseLines lines;
  if (!showPhases) return lines;
  for (double t :
       {view.MovementOnsetTime, view.ZeroVelocityTime, view.TakeOffTime, view.LandingTime}) {
    if (t > 0) lines.phases.push_back(t * frequency);
  }
  if (frameJump) {
    for (double t : {view.MovementOnsetTime, view.LandingTime}) {
      if (t > 0) lines.jumpFrame.push_back(t * frequency);
    }
  }
  return lines;
}

TrialResults RunResults(const TrialDataSet& trial, const SettingsRecord& settings,
                        AnalysisView& view, const ResultsOptions& options) {
  ResultsOptions plain = options;
  plain.frameJump = false;
  TrialResults results = ProcessData(ResultsInputOf(trial, settings), view, plain);
  if (options.frameJump) {
    SetJumpFrameFromPhases(view, settings.frequency);
    results = ProcessData(ResultsInputOf(trial, settings), view, options);
  }
  return results;
}

std::string MouseReadout(double x, std::span<const float> channel, std::int32_t samples,
                         std::int32_t frequency) {
  const std::int32_t sample =
      NearestSample(x, std::min<std::int32_t>(samples, static_cast<std::int32_t>(channel.size())));
  if (sample < 0) return {};
  const double time = frequency != 0 ? x / frequency : 0.0;
  return FormatNumber(time, "0.000") + ", " +
         FormatNumber(channel[static_cast<std::size_t>(sample)], "0.000");
}

double SampleAtPixel(double pixel, double plotLeft, double plotWidth, double viewStart,
                     double viewEnd) {
  if (plotWidth <= 0) return viewStart;
  return viewStart + (pixel - plotLeft) / plotWidth * (viewEnd - viewStart);
}

double PixelOfSample(double sample, double plotLeft, double plotWidth, double viewStart,
                     double viewEnd) {
  if (viewEnd == viewStart) return plotLeft;
  return plotLeft + (sample - viewStart) / (viewEnd - viewStart) * plotWidth;
}

}  // namespace torvane
