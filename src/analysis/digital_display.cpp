#include "analysis/digital_display.hpp"

#include "common/number_text.hpp"

namespace torvane {

DigitalDisplayTexts DigitalDisplayTextsAt(const TrialDataSet& trial, std::int32_t sample,
                                          bool timepoint) {
  DigitalDisplayTexts t{"-", "-", "-", "-", "-"};
  if (sample < 0) return t;
  const auto i = static_cast<std::size_t>(sample);
  const auto has = [i](const std::vector<float>& a) { return i < a.size(); };
  if (!has(trial.Displacement) || !has(trial.Force)) return t;
  t.displacement = FormatNumber(trial.Displacement[i], "0.000");
  t.force = FormatNumber(trial.Force[i], "0.0");
  if (timepoint && has(trial.Velocity) && has(trial.Acceleration) && has(trial.Power)) {
    t.velocity = FormatNumber(trial.Velocity[i], "0.000");
    t.acceleration = FormatNumber(trial.Acceleration[i], "0.000");
    t.power = FormatNumber(trial.Power[i], "0.0");
  }
  return t;
}

}  // namespace torvane
