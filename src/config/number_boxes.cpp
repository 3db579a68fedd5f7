#include "config/number_boxes.hpp"

#include <charconv>
#include <cmath>

#include "common/number_text.hpp"

namespace torvane {

namespace {

constexpr const char* kCutOffKeys[] = {"dispFc", "velocFc", "accelFc", "forceFc"};

bool IsCutOff(const SettingKey& key) {
  for (const char* k : kCutOffKeys) {
    if (std::string_view(k) == key.key) return true;
  }
  return false;
}

// A number as messages show it: no blank for the sign.
std::string Shown(double value) {
  std::string text = ShortNumericText(value);
  if (!text.empty() && text.front() == ' ') text.erase(0, 1);
  return text;
}

std::string WithUnit(double value, const std::string& unit) {
  return unit.empty() ? Shown(value) : Shown(value) + " " + unit;
}

}  // namespace

std::optional<double> StrictNumber(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0;
  const auto read = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || read.ec != std::errc{} || read.ptr != text.data() + text.size() ||
      !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

std::string RangeText(const NumberRange& r) {
  const std::string kind = r.whole ? "a whole number" : "a number";
  const bool low = std::isfinite(r.least);
  const bool high = std::isfinite(r.most);
  std::string text;
  if (low && high) {
    text = kind + " from " + (r.leastExcluded ? "above " : "") + Shown(r.least) + " to " +
           (r.mostExcluded ? "below " : "") + WithUnit(r.most, r.unit);
  } else if (low) {
    text = kind + (r.leastExcluded ? " above " + WithUnit(r.least, r.unit)
                                   : " of " + WithUnit(r.least, r.unit) + " or more");
  } else if (high) {
    text = kind + (r.mostExcluded ? " below " : " up to ") + WithUnit(r.most, r.unit);
  } else {
    text = kind + (r.unit.empty() ? "" : " in " + r.unit);
  }
  if (!r.why.empty()) text += " (" + r.why + ")";
  return text;
}

bool InRange(const NumberRange& r, double value) {
  if (r.whole && value != std::floor(value)) return false;
  if (r.leastExcluded ? !(value > r.least) : !(value >= r.least)) return false;
  return r.mostExcluded ? value < r.most : value <= r.most;
}

NumberRange NumberBoxRange(const SettingsRecord& s, const SettingKey& key) {
  if (std::string_view(key.key) == "frequency") return FrequencyRange(s);
  NumberRange r;
  r.least = key.least;
  r.most = key.most;
  r.leastExcluded = key.leastExcluded;
  r.whole = key.type == SettingType::Int16 || key.type == SettingType::Int32;
  r.unit = key.unit ? key.unit : "";
  if (std::string_view(key.key) == "BrakeLevel") r.most = 100;
  if (IsCutOff(key) && s.frequency > 0) {
    r.most = s.frequency / 2.0;
    r.mostExcluded = true;
    r.why = "0 for no filter; below half the sampling frequency of " + Shown(s.frequency) + " Hz";
  }
  return r;
}

NumberRange FrequencyRange(const SettingsRecord& s) {
  NumberRange r;
  r.least = 1;
  r.most = s.ZRA7Input ? 600 : (s.ZRA6Input || s.ZRA6PlusInput) ? 500 : 1000;
  r.whole = true;
  r.unit = "Hz";
  r.why = s.ZRA7Input                        ? "a ZRA7 samples at up to 600 Hz"
          : (s.ZRA6Input || s.ZRA6PlusInput) ? "a ZRA6 or ZRA6+ samples at up to 500 Hz"
                                             : "stored trials of up to 1000 Hz";
  return r;
}

std::string NumberBoxText(const SettingsRecord& s, const SettingKey& key) {
  const std::string_view name = key.key;
  if (name == "DispCalSlope") return FormatNumber(s.DispCalSlope, "0.000000");
  if (name == "ForceCalSlope") return FormatNumber(s.ForceCalSlope, "0.00000000");
  if (const auto* field = std::get_if<float SettingsRecord::*>(&key.field))
    return GeneralSingleText(s.**field);
  const std::string text = SettingFileText(s, key);
  return text.empty() || text.front() != ' ' ? text : text.substr(1);
}

std::string RefusalText(std::string_view caption, const NumberRange& range, std::string_view typed,
                        std::string_view previous) {
  return std::string(caption) + " must be " + RangeText(range) + ". \"" + std::string(typed) +
         "\" is not accepted; the previous value " + std::string(previous) +
         (range.unit.empty() ? "" : " " + range.unit) + " is kept.";
}

std::optional<std::string> EnterNumberSetting(SettingsRecord& s, UserDialogs& dialogs,
                                              const SettingKey& key, std::string_view text) {
  const NumberRange range = NumberBoxRange(s, key);
  const std::optional<double> value = StrictNumber(text);
  if (value && InRange(range, *value)) {
    AssignSettingText(s, key, Shown(*value));
    return std::nullopt;
  }
  const std::string previous = NumberBoxText(s, key);
  if (std::string_view(key.key) == "weight") {
    // The mass keeps its own message.
    dialogs.ShowMessage(MessageIcon::Critical, "Error entering weight",
                        "Weight entered must be greater than zero kilograms");
  } else {
    dialogs.ShowMessage(
        MessageIcon::Exclamation, kRefusalTitle,
        RefusalText(key.boxCaption ? key.boxCaption : key.key, range, text, previous));
  }
  return previous;
}

const SettingKey* CutOffAboveHalf(const SettingsRecord& s, double frequency) {
  for (const char* name : kCutOffKeys) {
    const SettingKey* key = FindSettingKey(name);
    const std::optional<double> value = StrictNumber(SettingFileText(s, *key));
    if (value && *value > 0 && !(*value < frequency / 2)) return key;
  }
  return nullptr;
}

bool SettingValueValid(const SettingsRecord& s, const SettingKey& key) {
  if (key.type == SettingType::Text || key.type == SettingType::Flag) return true;
  std::string text = SettingFileText(s, key);
  if (!text.empty() && text.front() == ' ') text.erase(0, 1);
  if (!SettingValueProblem(key, text).empty()) return false;
  if (!IsCutOff(key) || s.frequency <= 0) return true;
  const std::optional<double> value = StrictNumber(text);
  return value && (*value == 0 || *value < s.frequency / 2.0);
}

}  // namespace torvane
