#include "analysis/seek_statistics.hpp"

#include <algorithm>
#include <cmath>

#include "common/number_text.hpp"

namespace torvane {

std::span<const float> ShownChannelArray(const TrialDataSet& trial, ShownChannel channel) {
  switch (channel) {
    case ShownChannel::Displacement:
      return trial.Displacement;
    case ShownChannel::Velocity:
      return trial.Velocity;
    case ShownChannel::Force:
      return trial.Force;
    case ShownChannel::Acceleration:
      return trial.Acceleration;
    case ShownChannel::Power:
      return trial.Power;
  }
  return {};
}

const char* ShownChannelFormat(ShownChannel channel) {
  switch (channel) {
    case ShownChannel::Force:
    case ShownChannel::Power:
      return "####0.0";
    case ShownChannel::Acceleration:
      return "#0.0#";
    case ShownChannel::Velocity:
      return "##0.0#";
    case ShownChannel::Displacement:
      return "##0.0##";
  }
  return "0.0##";
}

namespace {

// The local tests at sample i; each one holds only when every sample it
// compares lies inside the trial (0 … last).
class LocalTests {
 public:
  LocalTests(std::span<const float> x, std::int64_t last, const SeekOptions& o, std::int64_t e)
      : x_(x.data()),
        last_(last),
        o_(o),
        e_(e),
        rateDivisor_(o.TextEpoch / 1000.0),
        threshold_(static_cast<float>(o.TextRateOfRiseThreshold)) {}

  bool Holds(std::int64_t i, bool extremaAllowed) const {
    if (i < 0 || i + 1 > last_) return false;  // every test compares x[i] with x[i+1] or beyond
    const float xi = x_[i];
    if (o_.CheckSeekZeroCross) {
      const float next = x_[i + 1];
      if ((xi < 0 && next >= 0) || (xi > 0 && next <= 0)) return true;
    }
    if (extremaAllowed && i - 5 >= 0 && i + 5 <= last_) {
      if (o_.CheckSeekMaxima && IsLocalMaximum(i)) return true;
      if (o_.CheckSeekMinima && IsLocalMinimum(i)) return true;
    }
    if (o_.CheckRateOfRise && i + e_ >= 0 && i + e_ <= last_ && x_[i + 1] > xi) {
      const float rate = static_cast<float>((static_cast<double>(x_[i + e_]) - xi) / rateDivisor_);
      if (rate >= threshold_) return true;
    }
    return false;
  }

 private:
  // Equal values up to three samples away are allowed, at four and five not.
  bool IsLocalMaximum(std::int64_t i) const {
    const float xi = x_[i];
    for (std::int64_t d = 1; d <= 3; ++d) {
      if (!(xi >= x_[i - d] && xi >= x_[i + d])) return false;
    }
    for (std::int64_t d = 4; d <= 5; ++d) {
      if (!(xi > x_[i - d] && xi > x_[i + d])) return false;
    }
    return true;
  }
  bool IsLocalMinimum(std::int64_t i) const {
    const float xi = x_[i];
    for (std::int64_t d = 1; d <= 3; ++d) {
      if (!(xi <= x_[i - d] && xi <= x_[i + d])) return false;
    }
    for (std::int64_t d = 4; d <= 5; ++d) {
      if (!(xi < x_[i - d] && xi < x_[i + d])) return false;
    }
    return true;
  }

  const float* x_;
  std::int64_t last_;
  const SeekOptions& o_;
  std::int64_t e_;
  double rateDivisor_;
  float threshold_;
};

std::int32_t KeepInside(std::int64_t found, std::int64_t last) {
  return static_cast<std::int32_t>(
      std::clamp<std::int64_t>(found, 0, std::max<std::int64_t>(last, 0)));
}

}  // namespace

std::int32_t FindMaxMinZero(std::int16_t direction, std::int32_t start,
                            std::span<const float> signal, std::int32_t samples,
                            std::int32_t frequency, const SeekOptions& options) {
  const std::int64_t n = std::min<std::int64_t>(samples, static_cast<std::int64_t>(signal.size()));
  const std::int64_t last = n - 1;
  if (n <= 0) return 0;
  const float* x = signal.data();

  if (options.CheckSeekMaximum || options.CheckSeekMinimum) {
    // The extreme on the side of the marker the seek goes to: a seek to the
    // right never moves the marker left, nor one to the left right.
    const bool maximum = options.CheckSeekMaximum;
    const std::int64_t from = std::clamp<std::int64_t>(start, 0, last);
    const std::int64_t step = direction == 0 ? 1 : -1;
    const std::int64_t to = direction == 0 ? last : 0;
    float best = x[from];
    std::int64_t found = from;
    for (std::int64_t i = from; i != to + step; i += step) {
      if (maximum ? x[i] > best : x[i] < best) {
        best = x[i];
        found = i;
      }
    }
    return static_cast<std::int32_t>(found);
  }

  const double epochSamples = options.TextEpoch * frequency / 1000.0;
  const std::int64_t e =
      std::isfinite(epochSamples) && std::fabs(epochSamples) < 1e15
          ? static_cast<std::int64_t>(RoundHalfEven(epochSamples))
          : static_cast<std::int64_t>(n) + 1;  // an epoch beyond any trial never holds
  const LocalTests tests(signal, last, options, e);
  if (direction == 0) {
    for (std::int64_t i = std::max<std::int32_t>(start, 0); i <= n - 10; ++i) {
      if (tests.Holds(i, i > 6)) return static_cast<std::int32_t>(i);
    }
    return KeepInside(n - 9, last);
  }
  for (std::int64_t i = std::min<std::int64_t>(start, last); i >= 6; --i) {
    if (tests.Holds(i, true)) return static_cast<std::int32_t>(i);
  }
  return KeepInside(5, last);
}

std::int32_t SeekPoint(const TrialDataSet& trial, const SettingsRecord& settings,
                       std::int16_t direction, std::int32_t start, ShownChannel channel,
                       const SeekOptions& options) {
  return FindMaxMinZero(direction, start, ShownChannelArray(trial, channel), settings.samples,
                        settings.frequency, options);
}

MarkerReadouts MarkerReadoutTexts(AnalysisView& view, std::span<const float> channel,
                                  std::int32_t samples, std::int32_t frequency,
                                  ShownChannel shown) {
  MarkerReadouts r;
  view.AnalysisStart = view.Marker1Sample;
  view.AnalysisEnd = view.Marker2Sample;
  if (view.Marker2Sample < 0) {
    view.Marker2Sample = 0;
    view.AnalysisEnd = 0;
  }
  if (frequency != 0) {
    const double fs = frequency;
    const double t1 = view.AnalysisStart / fs;
    const double t2 = view.AnalysisEnd / fs;
    r.timesShown = true;
    r.txtXValue1 = FormatNumber(t1, "0.0##");
    r.txtXValue2 = FormatNumber(t2, "0.0##");
    r.lblTimeDiff = FormatNumber(t2 - t1, "0.0##");
  }
  const std::int64_t n = std::min<std::int64_t>(samples, static_cast<std::int64_t>(channel.size()));
  const auto valueText = [&](std::int32_t marker) {
    if (marker < 0 || marker >= n) return std::string();
    return FormatNumber(channel[static_cast<std::size_t>(marker)], ShownChannelFormat(shown));
  };
  r.txtYValue1 = valueText(view.Marker1Sample);
  r.txtYValue2 = valueText(view.Marker2Sample);
  return r;
}

std::optional<SummaryStatistics> CalcSummaryData(const AnalysisView& view,
                                                 std::span<const float> channel,
                                                 std::int32_t samples) {
  const std::int64_t n = std::min<std::int64_t>(samples, static_cast<std::int64_t>(channel.size()));
  if (view.AnalysisEnd > n - 1 || view.AnalysisStart < 0) return std::nullopt;
  SummaryStatistics s;
  float sum = 0;
  s.maximum = -9999999.0f;
  s.minimum = 9999999.0f;
  for (std::int64_t i = view.AnalysisStart; i <= view.AnalysisEnd; ++i) {
    const float x = channel[static_cast<std::size_t>(i)];
    sum += x;
    if (x > s.maximum) s.maximum = x;
    if (x < s.minimum) s.minimum = x;
  }
  const std::int64_t width = static_cast<std::int64_t>(view.AnalysisEnd) - view.AnalysisStart;
  s.mean = width > 0 ? static_cast<double>(sum) / static_cast<double>(width + 1) : sum;
  s.lblMax = FormatNumber(s.maximum, "0.0##");
  s.lblMin = FormatNumber(s.minimum, "0.0##");
  s.lblMean = FormatNumber(s.mean, "0.0##");
  return s;
}

UpdateValuesResult UpdateValues(const TrialDataSet& trial, const SettingsRecord& settings,
                                AnalysisView& view, ShownChannel shown,
                                const ResultsOptions& options) {
  UpdateValuesResult r;
  const std::span<const float> channel = ShownChannelArray(trial, shown);
  r.readouts = MarkerReadoutTexts(view, channel, settings.samples, settings.frequency, shown);
  r.summary = CalcSummaryData(view, channel, settings.samples);
  if (r.summary) r.results = ProcessData(ResultsInputOf(trial, settings), view, options);
  return r;
}

}  // namespace torvane
