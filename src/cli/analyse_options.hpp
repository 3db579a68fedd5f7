#pragma once
// The options of torvane-cli's `analyse`, `export` and `batch`, read from
// their arguments.

#include <string>

#include "cli/commands.hpp"
#include "shell/trial_pipeline.hpp"

namespace torvane::cli {

struct OptionsParse {
  bool ok = false;
  std::string error;  // a usage error, one line
  AnalyseOptions options;
};

// Parses the options shared by analyse and export (and -o when
// `acceptOutput`). Usage errors: an unknown option, a missing or
// non-numeric value, --mass <= 0, a negative time, --from later than --to,
// an unknown --set key or one without "=", a --set value the setting cannot
// mean (SettingValueProblem). "--" ends the options: later arguments are
// files.
OptionsParse ParseAnalyseOptions(Args args, bool acceptOutput);

// The whole text of an option's value as a number ("2.5", "1e3"); nothing
// for any other text.
std::optional<double> NumberArgument(std::string_view text);
// "--option=value", which means "--option value": cuts `name` at its "="
// and returns the value; nothing for any other argument.
std::optional<std::string> SplitInlineValue(std::string& name);
// The whole text as a number into `value`; false (and `value` untouched) for any other text.
bool ReadNumberArgument(std::string_view text, double& value);

}  // namespace torvane::cli
