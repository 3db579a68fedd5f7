#include "analysis/clipboard_texts.hpp"

#include <algorithm>

#include "common/date_text.hpp"
#include "common/number_text.hpp"

namespace torvane {

namespace {

constexpr const char* kLineEnd = "\r\n";

struct SampleRange {
  std::int64_t first = 0;
  std::int64_t last = -1;
};

// The samples of a range, kept inside the trial.
SampleRange RangeOf(const TrialDataSet& t, const SettingsRecord& settings, const AnalysisView& view,
                    ClipboardRange range) {
  const std::int64_t n = std::min<std::int64_t>(
      settings.samples,
      static_cast<std::int64_t>(std::min({t.Displacement.size(), t.Velocity.size(),
                                          t.Acceleration.size(), t.Force.size(), t.Power.size()})));
  SampleRange r;
  if (range == ClipboardRange::BetweenPoints) {
    r.first = view.AnalysisStart;
    r.last = view.AnalysisEnd;
  } else {
    const double fs = settings.frequency;
    r.first = ToInt32(view.MovementOnsetTime * fs);
    r.last = ToInt32(static_cast<double>(view.LandingTime) * fs);
  }
  r.first = std::max<std::int64_t>(r.first, 0);
  r.last = std::min<std::int64_t>(r.last, n - 1);
  return r;
}

// The time of sample i from the start of the analysis range.
void AppendTime(std::string& out, std::int64_t i, std::int32_t fs, const AnalysisView& view) {
  const double t = fs != 0 ? static_cast<double>(i - view.AnalysisStart) / fs : 0.0;
  AppendFormatted(out, t, ParseNumberPattern("0.000"));
}

void AppendValue(std::string& out, float value) {
  out += ShortNumericText(value, 7);
}

}  // namespace

const char* ClipboardChannelWord(ShownChannel channel) {
  switch (channel) {
    case ShownChannel::Displacement:
      return "distance";
    case ShownChannel::Velocity:
      return "velocity";
    case ShownChannel::Acceleration:
      return "acceleration";
    case ShownChannel::Force:
      return "force";
    case ShownChannel::Power:
      return "power";
  }
  return "";
}

std::string AllDataSetsClipboardText(const TrialDataSet& t, const SettingsRecord& settings,
                                     const AnalysisView& view, ClipboardRange range,
                                     const LocalDateTime& now) {
  std::string out = "Torvane Measurement System Data Analysis";
  out += kLineEnd;
  out += LongDateText(now) + "\t" + TimeAmPmText(now) + "\tMass: \t" +
         ShortNumericText(static_cast<double>(settings.weight)) + "\t kg";
  out += kLineEnd;
  out += "time\tdisplacement\tvelocity\tacceleration\tforce\tpower";
  out += kLineEnd;
  const SampleRange r = RangeOf(t, settings, view, range);
  for (std::int64_t i = r.first; i <= r.last; ++i) {
    const auto k = static_cast<std::size_t>(i);
    AppendTime(out, i, settings.frequency, view);
    for (const std::vector<float>* channel :
         {&t.Displacement, &t.Velocity, &t.Acceleration, &t.Force, &t.Power}) {
      out.push_back('\t');
      AppendValue(out, (*channel)[k]);
    }
    out += kLineEnd;
  }
  return out;
}

std::string ShownDataSetClipboardText(const TrialDataSet& trial, const SettingsRecord& settings,
                                      const AnalysisView& view, ClipboardRange range,
                                      ShownChannel channel, bool includeTime) {
  std::string out;
  if (includeTime) out += "time\t";
  out += ClipboardChannelWord(channel);
  out += kLineEnd;
  const std::span<const float> values = ShownChannelArray(trial, channel);
  const SampleRange r = RangeOf(trial, settings, view, range);
  for (std::int64_t i = r.first; i <= r.last; ++i) {
    if (includeTime) {
      AppendTime(out, i, settings.frequency, view);
      out.push_back('\t');
    }
    AppendValue(out, values[static_cast<std::size_t>(i)]);
    out += kLineEnd;
  }
  return out;
}

}  // namespace torvane
