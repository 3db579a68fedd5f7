// torvane-cli reps TRIAL [options]: the training mode's repetition analysis
// over a recorded trial. The displacement is fed to the analysis as the
// collection stored it, in the portions the collection monitor hands over
// (one 100-ms tick's worth of samples at a time), and every completed
// repetition is printed as the training window shows it: its grid row, its
// chart point and its feedback. The set summary, the row "Output to Excel"
// adds and the training file "Save Set" writes can follow.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <ostream>
#include <string_view>
#include <vector>

#include "cli/analyse_options.hpp"
#include "cli/analyse_output.hpp"
#include "cli/commands.hpp"
#include "cli/output_checks.hpp"
#include "common/text_file.hpp"
#include "shell/trial_pipeline.hpp"
#include "training/training_file.hpp"
#include "training/training_mode.hpp"
#include "training/training_texts.hpp"

namespace torvane::cli {

namespace {

constexpr const char* kRepsUsage =
    "usage: torvane-cli reps TRIAL [--config PATH] [--set KEY=VALUE]... [--mass KG] [--flight]\n"
    "         [--plot maxheight|minheight|contact|velocity|power|acceleration] [--json]\n"
    "         [--summary] [--training-file PATH|-] [--now 'YYYY-MM-DD HH:MM:SS'] [--stop-after N]\n"
    "  --now               the date and time the training file holds (default: now;\n"
    "                      YYYY-MM-DDTHH:MM:SS is taken too)\n"
    "  --stop-after N      end the set after its first N repetitions\n"
    "  --training-file -   writes the training file to stdout in place of the\n"
    "                      repetitions (not with --json or --summary)\n";

struct RepsOptions {
  AnalyseOptions base;  // the trial, --config, --set, --mass, --json
  bool flight = false;
  bool summary = false;
  PlotVariable plot = PlotVariable::MaxHeight;
  std::optional<std::string> trainingFile;
  std::optional<LocalDateTime> now;
  std::optional<std::int32_t> stopAfter;
};

std::optional<PlotVariable> PlotNamed(std::string_view name) {
  if (name == "maxheight") return PlotVariable::MaxHeight;
  if (name == "minheight") return PlotVariable::MinHeight;
  if (name == "contact") return PlotVariable::ContactTime;
  if (name == "velocity") return PlotVariable::MaxVelocity;
  if (name == "power") return PlotVariable::Power;
  if (name == "acceleration") return PlotVariable::Acceleration;
  return std::nullopt;
}

// "YYYY-MM-DD HH:MM:SS" (or with "T" between date and time, as ISO 8601
// writes it), a real date and time of day; the weekday follows.
std::optional<LocalDateTime> DateTimeNamed(const std::string& text) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  char between = 0, tail = 0;
  if (text.size() != 19 ||
      std::sscanf(text.c_str(), "%4d-%2d-%2d%c%2d:%2d:%2d%c", &year, &month, &day, &between, &hour,
                  &minute, &second, &tail) != 7 ||
      (between != ' ' && between != 'T')) {
    return std::nullopt;
  }
  const std::chrono::year_month_day date{std::chrono::year(year),
                                         std::chrono::month(static_cast<unsigned>(month)),
                                         std::chrono::day(static_cast<unsigned>(day))};
  if (year < 1 || !date.ok() || hour > 23 || minute > 59 || second > 59 || hour < 0 || minute < 0 ||
      second < 0) {
    return std::nullopt;
  }
  LocalDateTime t;
  t.year = year;
  t.month = month;
  t.day = day;
  t.hour = hour;
  t.minute = minute;
  t.second = second;
  t.weekday = static_cast<int>(std::chrono::weekday(std::chrono::sys_days(date)).c_encoding());
  return t;
}

// The options of reps: its own are taken here, --config, --set, --mass and
// --json are read as analyse reads them; analyse's other options are
// unknown here.
std::string ParseRepsOptions(Args args, RepsOptions& o) {
  std::vector<std::string> shared;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    if (name == "--") {
      shared.insert(shared.end(), args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
      break;
    }
    const std::optional<std::string> inlineValue = SplitInlineValue(name);
    const auto value = [&]() -> std::optional<std::string> {
      if (inlineValue) return inlineValue;
      if (i + 1 >= args.size()) return std::nullopt;
      return args[++i];
    };
    if (name == "--flight" || name == "--summary") {
      if (inlineValue) return name + " takes no value";
      (name == "--flight" ? o.flight : o.summary) = true;
    } else if (name == "--plot") {
      const std::optional<std::string> text = value();
      const std::optional<PlotVariable> plot = text ? PlotNamed(*text) : std::nullopt;
      if (!plot) {
        return "--plot needs maxheight, minheight, contact, velocity, power or acceleration" +
               (text ? ", not " + *text : std::string());
      }
      o.plot = *plot;
    } else if (name == "--training-file") {
      const std::optional<std::string> text = value();
      if (!text || text->empty()) return "--training-file needs a path ('-' for stdout)";
      o.trainingFile = *text;
    } else if (name == "--now") {
      const std::optional<std::string> text = value();
      if (!text) return "--now needs 'YYYY-MM-DD HH:MM:SS'";
      o.now = DateTimeNamed(*text);
      if (!o.now) return "--now: not a date and time 'YYYY-MM-DD HH:MM:SS': " + *text;
    } else if (name == "--stop-after") {
      const std::optional<std::string> text = value();
      int count = 0;
      char tail = 0;
      if (!text || std::sscanf(text->c_str(), "%d%c", &count, &tail) != 1 || count < 1) {
        return "--stop-after needs a whole number of repetitions above 0";
      }
      o.stopAfter = count;
    } else if (name == "--config" || name == "--set" || name == "--mass") {
      shared.push_back(args[i]);
      if (!inlineValue && i + 1 < args.size()) shared.push_back(args[++i]);
    } else if (name == "--json" || name == "-" || name.empty() || name[0] != '-') {
      shared.push_back(args[i]);
    } else {
      return "unknown option " + args[i];
    }
  }
  const OptionsParse parse = ParseAnalyseOptions(shared, false);
  if (!parse.ok) return parse.error;
  o.base = parse.options;
  if (o.base.files.size() != 1) {
    return o.base.files.empty() ? "no trial file given" : "one trial file at a time";
  }
  if (o.trainingFile == "-" && (o.base.json || o.summary)) {
    return "--training-file - writes the training file to stdout: not with --json or --summary";
  }
  return {};
}

// {"text": …, "value": …}
void AppendTextValue(std::string& out, std::string_view text, std::optional<double> value) {
  out += "{\"text\": ";
  AppendJsonString(out, text);
  out += ", \"value\": ";
  if (value) {
    AppendJsonNumber(out, *value);
  } else {
    out += "null";
  }
  out += "}";
}

struct RepsView {
  const RepetitionSet& set;
  const SettingsRecord& settings;
  const RepsOptions& options;
};

std::string RepetitionJson(const RepsView& v, std::int32_t repetition, std::int32_t sample) {
  const auto headings = RepetitionGridHeadings(v.options.flight);
  const auto texts = RepetitionGridRow(v.set, repetition);
  const auto values = RepetitionGridValues(v.set, repetition);
  std::string out = "{";
  for (std::size_t c = 0; c < headings.size(); ++c) {
    if (c > 0) out += ", ";
    AppendJsonString(out, headings[c]);
    out += ": ";
    AppendTextValue(out, texts[c], values[c]);
  }
  const std::optional<float> plotted = PlottedValue(v.set, v.options.plot, repetition);
  out += ", \"chart\": {\"title\": ";
  AppendJsonString(out, ChartTitle(v.options.plot, v.options.flight));
  out += ", \"value\": ";
  if (plotted) {
    AppendJsonNumber(out, *plotted);
  } else {
    out += "null";
  }
  out += "}, \"feedback\": ";
  if (plotted) {
    const Feedback f = FeedbackFor(*plotted, v.settings.FeedbackThreshold, v.settings.mmavailable);
    out += f.over ? "{\"over\": true" : "{\"over\": false";
    out += ", \"sound\": ";
    AppendJsonString(out, FeedbackSoundName(f.sound));
    out += ", \"label\": ";
    AppendJsonString(out, f.label);
    out += ", \"back_colour\": " + std::to_string(f.backColour);
    out += ", \"text_colour\": " + std::to_string(f.textColour) + "}";
  } else {
    out += "null";  // the acceleration option plots no repetition value
  }
  out += ", \"sample\": " + std::to_string(sample) + "}\n";
  return out;
}

std::string RightAligned(std::string text, std::size_t width) {
  if (text.size() < width) text.insert(0, width - text.size(), ' ');
  return text;
}

std::string TableHeading(const RepsView& v) {
  std::string out;
  for (const std::string& heading : RepetitionGridHeadings(v.options.flight)) {
    out += RightAligned(heading, 9);
  }
  out += RightAligned("sample", 9) + "  " + ChartTitle(v.options.plot, v.options.flight) + "\n";
  return out;
}

std::string RepetitionTableRow(const RepsView& v, std::int32_t repetition, std::int32_t sample) {
  std::string out;
  for (const std::string& text : RepetitionGridRow(v.set, repetition)) {
    out += RightAligned(text, 9);
  }
  out += RightAligned(std::to_string(sample), 9);
  if (const std::optional<float> plotted = PlottedValue(v.set, v.options.plot, repetition)) {
    const Feedback f = FeedbackFor(*plotted, v.settings.FeedbackThreshold, v.settings.mmavailable);
    out += "  " + f.label + (f.over ? " (over)" : " (under)");
  }
  return out + "\n";
}

std::string SummaryJson(const SetSummary& summary,
                        const std::array<TrainingWorksheetCell, kTrainingWorksheetColumns>& row) {
  const SetSummaryTexts texts = SetSummaryLabels(summary);
  std::string out = "{\"summary\": {";
  for (std::size_t r = 0; r < kSummaryRows; ++r) {
    if (r > 0) out += ", ";
    AppendJsonString(out, kSummaryRowLabels[r]);
    out += ": {\"peak\": ";
    AppendTextValue(out, texts.peak[r], summary.peak[r]);
    out += ", \"average\": ";
    AppendTextValue(out, texts.average[r], summary.average[r]);
    out += "}";
  }
  out += ", \"Total Reps\": ";
  AppendTextValue(out, texts.totalReps, summary.repetitions);
  out += ", \"Total Work Done\": ";
  AppendTextValue(out, texts.totalWork, summary.totalWork);
  out += "}, \"worksheet\": [";
  for (std::size_t c = 0; c < row.size(); ++c) {
    if (c > 0) out += ", ";
    out += "{\"column\": \"";
    out.push_back(static_cast<char>('A' + c));
    out += "\", \"header\": ";
    AppendJsonString(out, kTrainingWorksheetLayout[c].header);
    out += ", \"format\": ";
    AppendJsonString(out, kTrainingWorksheetLayout[c].format);
    out += ", \"text\": ";
    AppendJsonString(out, row[c].text);
    out += ", \"value\": ";
    if (row[c].value) {
      AppendJsonNumber(out, *row[c].value);
    } else {
      out += "null";
    }
    out += "}";
  }
  out += "]}\n";
  return out;
}

std::string SummaryTable(const SetSummary& summary,
                         const std::array<TrainingWorksheetCell, kTrainingWorksheetColumns>& row) {
  const SetSummaryTexts texts = SetSummaryLabels(summary);
  std::string out = "\nSet summary" + std::string(7, ' ') + RightAligned("Peak", 10) +
                    RightAligned("Average", 10) + "\n";
  for (std::size_t r = 0; r < kSummaryRows; ++r) {
    std::string line = "  " + std::string(kSummaryRowLabels[r]);
    line.resize(18, ' ');
    out += line + RightAligned(texts.peak[r], 10) + RightAligned(texts.average[r], 10) + "\n";
  }
  out += "  Total Reps        " + RightAligned(texts.totalReps, 10) + "\n";
  out += "  Total Work Done   " + RightAligned(texts.totalWork, 10) + "\n";
  out += "\nWorksheet row\n";
  for (std::size_t c = 0; c < row.size(); ++c) {
    std::string line = "  ";
    line.push_back(static_cast<char>('A' + c));
    line += "  " + std::string(kTrainingWorksheetLayout[c].header);
    line.resize(18, ' ');
    out += line + "  " + row[c].text + "\n";
  }
  return out;
}

}  // namespace

int RunReps(Args args, Io& io) {
  if (AsksForHelp(args)) {
    io.out << kRepsUsage;
    return 0;
  }
  RepsOptions options;
  if (const std::string problem = ParseRepsOptions(args, options); !problem.empty()) {
    io.err << "torvane-cli reps: " << OneLineText(problem) << "\n" << kRepsUsage;
    return 2;
  }
  SettingsRecord base;
  std::string error;
  std::string warning;
  if (!LoadPipelineSettings(base, options.base, error, &warning)) {
    io.err << "torvane-cli reps: " << OneLineText(error) << "\n";
    return 2;
  }
  if (!warning.empty()) io.err << "torvane-cli reps: warning: " << OneLineText(warning) << "\n";

  const std::string& file = options.base.files[0];
  if (options.trainingFile) {
    std::vector<std::string> inputs = {file};
    if (options.base.configPath) inputs.push_back(*options.base.configPath);
    if (const std::optional<std::string> refusal = CheckOutputPath(*options.trainingFile, inputs)) {
      io.err << "torvane-cli reps: " << OneLineText(*refusal) << "\n";
      return 1;
    }
  }

  HeadlessSession headless;
  Session& session = headless.session();
  const TrialRun run = ReadPipelineTrial(session, base, file, options.base);
  if (!run.ok) {
    io.err << "torvane-cli reps: " << OneLineText(run.error) << "\n";
    return 1;
  }
  const SettingsRecord& s = session.settings;
  const std::vector<float>& displacement = session.trial.Displacement;
  const auto samples = static_cast<std::int32_t>(std::min<std::int64_t>(
      std::max(s.samples, 0), static_cast<std::int64_t>(displacement.size())));

  // The monitor's tick is 100 ms: that many samples arrive between two calls.
  const std::int32_t portion = std::max(VelocityWindowSamples(s.frequency), 1);
  const RepetitionSettings settings = RepetitionSettingsOf(s, options.flight);
  const std::int32_t limit = options.stopAfter.value_or(INT32_MAX);
  RepetitionAnalysis analysis;
  StartRepetitionAnalysis(analysis);
  const RepsView view{analysis.set, s, options};
  const bool printRepetitions = options.trainingFile != "-";
  std::string out;
  if (printRepetitions && !options.base.json) out = OneLineText(file) + "\n" + TableHeading(view);
  RepetitionEvents events;
  events.completed = [&](std::int32_t repetition, std::int32_t sample) {
    if (!printRepetitions || repetition > limit) return;
    out += options.base.json ? RepetitionJson(view, repetition, sample)
                             : RepetitionTableRow(view, repetition, sample);
  };
  while (analysis.NextTrainingSample < samples && analysis.set.RepCount < limit) {
    const std::int32_t count = std::min(portion, samples - analysis.NextTrainingSample);
    AnalyseRepetitionSamples(analysis, settings, displacement, count, events);
  }
  // A portion may have completed more than the repetitions asked for: the
  // set ends with the first `limit`.
  analysis.set.RepCount = std::min(analysis.set.RepCount, limit);

  const SetSummary summary = SummariseSet(analysis.set);
  if (options.summary) {
    const auto row =
        TrainingWorksheetRow(summary, AthleteOfTrial(session.trial, session.squad), s.weight);
    out += options.base.json ? SummaryJson(summary, row) : SummaryTable(summary, row);
  }
  io.out << out;

  if (options.trainingFile) {
    const LocalDateTime now = options.now.value_or(session.clock().Now());
    const std::string text = TrainingFileText(
        analysis.set, AthleteOfTrial(session.trial, session.squad), s.weight, options.flight, now);
    if (*options.trainingFile == "-") {
      io.out.write(text.data(), static_cast<std::streamsize>(text.size()));
    } else if (const std::string failure = WriteFileReplacing(*options.trainingFile, text);
               !failure.empty()) {
      io.err << "torvane-cli reps: "
             << OneLineText("cannot write \"" + *options.trainingFile + "\": " + failure) << "\n";
      return 1;
    }
  }
  io.out.flush();
  if (!io.out) {
    io.err << "torvane-cli reps: cannot write to stdout\n";
    return 1;
  }
  return 0;
}

}  // namespace torvane::cli
