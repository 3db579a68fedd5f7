#include "cli/analyse_options.hpp"

#include <cctype>
#include <string_view>

#include "common/number_text.hpp"
#include "config/settings_io.hpp"
#include "config/settings_keys.hpp"
#include "files/text_fields.hpp"

namespace torvane::cli {

std::optional<double> NumberArgument(std::string_view text) {
  std::size_t used = 0;
  const std::optional<double> value = ParseDouble(text, used);
  if (!value || used != text.size()) return std::nullopt;
  return value;
}

std::optional<std::string> SplitInlineValue(std::string& name) {
  if (name.size() <= 2 || name.compare(0, 2, "--") != 0) return std::nullopt;
  const std::size_t eq = name.find('=');
  if (eq == std::string::npos) return std::nullopt;
  std::string value = name.substr(eq + 1);
  name.resize(eq);
  return value;
}

bool ReadNumberArgument(std::string_view text, double& value) {
  const std::optional<double> number = NumberArgument(text);
  if (number) value = *number;
  return number.has_value();
}

namespace {

std::optional<ModeChoice> ModeNamed(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (upper == "AUTO") return ModeChoice::Auto;
  if (upper == "D") return ModeChoice::D;
  if (upper == "F") return ModeChoice::F;
  if (upper == "DF" || upper == "FD") return ModeChoice::DF;
  if (upper == "A") return ModeChoice::A;
  return std::nullopt;
}

OptionsParse Usage(std::string error) {
  OptionsParse r;
  r.error = std::move(error);
  return r;
}

}  // namespace

OptionsParse ParseAnalyseOptions(Args args, bool acceptOutput) {
  OptionsParse r;
  AnalyseOptions& o = r.options;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    // After "--" every argument is a file, even one that begins with "-".
    if (optionsEnded) {
      o.files.push_back(name);
      continue;
    }
    if (name == "--") {
      optionsEnded = true;
      continue;
    }
    const std::optional<std::string> inlineValue = SplitInlineValue(name);
    const auto value = [&]() -> std::optional<std::string> {
      if (inlineValue) return inlineValue;
      if (i + 1 >= args.size()) return std::nullopt;
      return args[++i];
    };
    const auto number = [&](const char* option) -> std::optional<double> {
      const std::optional<std::string> text = value();
      if (!text) {
        r.error = std::string(option) + " needs a value";
        return std::nullopt;
      }
      const std::optional<double> v = NumberArgument(*text);
      if (!v) r.error = std::string(option) + ": not a number: " + *text;
      return v;
    };
    const auto flag = [&](bool& target) {
      if (inlineValue) {
        r.error = name + " takes no value";
        return false;
      }
      target = true;
      return true;
    };

    if (name == "-o" || name == "--output") {
      if (!acceptOutput) return Usage("unknown option " + name);
      const std::optional<std::string> text = value();
      if (!text || text->empty()) return Usage(name + " needs a path");
      o.output = *text;
    } else if (name == "--config") {
      const std::optional<std::string> text = value();
      if (!text || text->empty()) return Usage("--config needs a path");
      o.configPath = *text;
    } else if (name == "--set") {
      const std::optional<std::string> text = value();
      if (!text) return Usage("--set needs KEY=VALUE");
      const std::size_t eq = text->find('=');
      if (eq == std::string::npos || eq == 0) return Usage("--set needs KEY=VALUE: " + *text);
      const std::string key = text->substr(0, eq);
      const std::string setting = text->substr(eq + 1);
      SettingsRecord probe;
      if (!SetSettingFromText(probe, key, setting)) {
        return Usage("--set: unknown setting " + key);
      }
      if (const std::string problem = SettingValueProblem(*FindSettingKey(key), setting);
          !problem.empty()) {
        return Usage("--set " + key + "=" + setting + ": " + problem);
      }
      o.settingOverrides.emplace_back(key, setting);
    } else if (name == "--mode") {
      const std::optional<std::string> text = value();
      if (!text) return Usage("--mode needs auto, D, F, DF or A");
      const std::optional<ModeChoice> mode = ModeNamed(*text);
      if (!mode) return Usage("--mode: unknown mode " + *text + " (auto, D, F, DF or A)");
      o.mode = *mode;
    } else if (name == "--from" || name == "--to") {
      const std::optional<double> t = number(name.c_str());
      if (!t) return Usage(r.error);
      if (*t < 0) return Usage(name + ": a time cannot be negative");
      (name == "--from" ? o.fromSeconds : o.toSeconds) = *t;
    } else if (name == "--mass") {
      const std::optional<double> m = number("--mass");
      if (!m) return Usage(r.error);
      if (!(*m > 0)) return Usage("--mass must be greater than zero kilograms");
      o.mass = *m;
    } else if (name == "--reverse") {
      if (!flag(o.reverse)) return Usage(r.error);
    } else if (name == "--mass-from-force") {
      if (!flag(o.massFromForce)) return Usage(r.error);
    } else if (name == "--mean-concentric-only") {
      if (!flag(o.meanConcentricOnly)) return Usage(r.error);
    } else if (name == "--frame-jump") {
      if (!flag(o.frameJump)) return Usage(r.error);
    } else if (name == "--json") {
      if (!flag(o.json)) return Usage(r.error);
    } else if (name == "--csv") {
      if (!flag(o.csv)) return Usage(r.error);
    } else if (name == "-") {
      o.files.push_back(name);
    } else if (!name.empty() && name[0] == '-') {
      return Usage("unknown option " + args[i]);
    } else {
      o.files.push_back(args[i]);
    }
  }
  if (o.fromSeconds && o.toSeconds && *o.fromSeconds > *o.toSeconds) {
    return Usage("--from is later than --to");
  }
  if (o.json && o.csv) return Usage("--json and --csv cannot be given together");
  r.ok = true;
  return r;
}

}  // namespace torvane::cli
