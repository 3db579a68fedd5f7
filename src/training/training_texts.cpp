#include "training/training_texts.hpp"

#include "common/date_text.hpp"
#include "common/number_text.hpp"

namespace torvane {

std::array<std::string, kRepetitionGridColumns> RepetitionGridHeadings(bool flightPhase) {
  return {"Rep No",  "Max Dis", "Min Dis", flightPhase ? "Contact" : "Concent",
          "Max Vel", "Avg Pow", "WorkDone"};
}

std::array<double, kRepetitionGridColumns> RepetitionGridValues(const RepetitionSet& set,
                                                                std::int32_t repetition) {
  const auto i = static_cast<std::size_t>(repetition - 1);
  if (repetition < 1 || repetition > set.RepCount || i >= set.RepMaxHeight.size()) return {};
  return {static_cast<double>(repetition),
          set.RepMaxHeight[i],
          set.RepMinHeight[i],
          set.RepContactTime[i],
          set.RepPeakVelocity[i],
          set.RepPower[i],
          set.RepWork[i]};
}

std::array<std::string, kRepetitionGridColumns> RepetitionGridRow(const RepetitionSet& set,
                                                                  std::int32_t repetition) {
  const std::array<double, kRepetitionGridColumns> values = RepetitionGridValues(set, repetition);
  std::array<std::string, kRepetitionGridColumns> row;
  row[0] = ShortNumericText(std::int64_t{repetition});
  for (int c = 1; c < kRepetitionGridColumns; ++c) {
    row[static_cast<std::size_t>(c)] =
        FormatNumber(values[static_cast<std::size_t>(c)], kRepetitionGridFormats[c]);
  }
  return row;
}

std::string ContactTimeCaption(bool flightPhase) {
  return flightPhase ? "Contact Time" : "Concentric Time";
}

std::string ChartTitle(PlotVariable variable, bool flightPhase) {
  switch (variable) {
    case PlotVariable::MaxHeight:
      return "Maximum Distance (m)";
    case PlotVariable::MinHeight:
      return "Minimum Distance (m)";
    case PlotVariable::ContactTime:
      return ContactTimeCaption(flightPhase) + " (ms)";
    case PlotVariable::MaxVelocity:
      return "Peak Velocity (m/s)";
    case PlotVariable::Power:
      return "Power (W)";
    case PlotVariable::Acceleration:
      return "Acceleration";
  }
  return {};
}

std::optional<float> PlottedValue(const RepetitionSet& set, PlotVariable variable,
                                  std::int32_t repetition) {
  const auto i = static_cast<std::size_t>(repetition - 1);
  if (repetition < 1 || repetition > set.RepCount || i >= set.RepMaxHeight.size()) {
    return std::nullopt;
  }
  switch (variable) {
    case PlotVariable::MaxHeight:
      return set.RepMaxHeight[i];
    case PlotVariable::MinHeight:
      return set.RepMinHeight[i];
    case PlotVariable::ContactTime:
      return set.RepContactTime[i];
    case PlotVariable::MaxVelocity:
      return set.RepPeakVelocity[i];
    case PlotVariable::Power:
      return set.RepPower[i];
    case PlotVariable::Acceleration:
      return std::nullopt;
  }
  return std::nullopt;
}

std::string FeedbackLabelText(float value) {
  return FormatNumber(value, value <= 100.0f ? "0.0##" : "0");
}

Feedback FeedbackFor(float value, float threshold, bool mmavailable) {
  Feedback f;
  f.over = !(value < threshold);
  f.sound = f.over ? (mmavailable ? FeedbackSound::Over : FeedbackSound::Beep)
                   : (mmavailable ? FeedbackSound::Under : FeedbackSound::None);
  f.label = FeedbackLabelText(value);
  f.backColour = f.over ? kFeedbackGreen : kFeedbackRed;
  f.textColour = f.over ? kFeedbackRed : kFeedbackGreen;
  return f;
}

const char* FeedbackSoundName(FeedbackSound sound) {
  switch (sound) {
    case FeedbackSound::Over:
      return "over";
    case FeedbackSound::Under:
      return "under";
    case FeedbackSound::Beep:
      return "beep";
    case FeedbackSound::None:
      return "none";
  }
  return "none";
}

SetSummary SummariseSet(const RepetitionSet& set) {
  SetSummary summary;
  const std::int32_t count =
      std::min<std::int32_t>(set.RepCount, static_cast<std::int32_t>(set.RepMaxHeight.size()));
  summary.repetitions = count < 0 ? 0 : count;
  const std::array<const std::vector<float>*, kSummaryRows> arrays = {
      &set.RepMaxHeight,    &set.RepMinHeight, &set.RepContactTime,
      &set.RepPeakVelocity, &set.RepPower,     &set.RepWork};
  for (int r = 0; r < kSummaryRows; ++r) {
    const std::vector<float>& values = *arrays[static_cast<std::size_t>(r)];
    double sum = 0;
    double peak = 0;
    for (std::int32_t i = 0; i < summary.repetitions; ++i) {
      const double v = values[static_cast<std::size_t>(i)];
      sum += v;
      if (v >= peak) peak = v;
    }
    summary.peak[static_cast<std::size_t>(r)] = peak;
    if (summary.repetitions > 0)
      summary.average[static_cast<std::size_t>(r)] = sum / summary.repetitions;
    if (r == static_cast<int>(SummaryRow::Work)) summary.totalWork = sum;
  }
  return summary;
}

SetSummaryTexts SetSummaryLabels(const SetSummary& summary) {
  SetSummaryTexts texts;
  for (std::size_t r = 0; r < kSummaryRows; ++r) {
    texts.peak[r] = FormatNumber(summary.peak[r], kSummaryFormats[r]);
    if (summary.average[r])
      texts.average[r] = FormatNumber(*summary.average[r], kSummaryFormats[r]);
  }
  texts.totalReps = FormatNumber(summary.repetitions, "0");
  texts.totalWork = FormatNumber(summary.totalWork, "0");
  return texts;
}

const std::array<TrainingWorksheetColumn, kTrainingWorksheetColumns> kTrainingWorksheetLayout = {{
    {"Name and ID", ""},
    {"Mass", "0.00"},
    {"Num. Reps", "General"},
    {"Total Work", "0"},
    {"Peak MaxDist", "0.0##"},
    {"Avg MaxDist", "0.0##"},
    {"Peak MinDist", "0.0##"},
    {"Avg MinDist", "0.0##"},
    {"Peak ConTime", "0"},
    {"Avg Contime", "0"},
    {"Peak Vel", "0.000"},
    {"Avg Vel", "0.000"},
    {"Peak Power", "0"},
    {"Avg Power", "0"},
    {"Peak Work", "0"},
    {"Avg Work", "0"},
}};

std::array<TrainingWorksheetCell, kTrainingWorksheetColumns> TrainingWorksheetRow(
    const SetSummary& summary, const SquadMember& athlete, float weight) {
  std::array<TrainingWorksheetCell, kTrainingWorksheetColumns> row;
  row[0].text = athlete.FirstName + " " + athlete.LastName + " " + athlete.Id;
  const auto number = [&row](std::size_t column, std::optional<double> value) {
    row[column].value = value;
    if (!value) return;
    const char* format = kTrainingWorksheetLayout[column].format;
    row[column].text = std::string_view(format) == "General" ? ShortNumericTextUnsigned(*value)
                                                             : FormatNumber(*value, format);
  };
  number(1, static_cast<double>(weight));
  number(2, static_cast<double>(summary.repetitions));
  number(3, summary.totalWork);
  for (std::size_t r = 0; r < kSummaryRows; ++r) {
    number(4 + 2 * r, summary.peak[r]);
    number(5 + 2 * r, summary.average[r]);
  }
  return row;
}

void WriteTrainingSummaryRow(ResultsOutput& output, const SetSummary& summary,
                             const SquadMember& athlete, float weight, const LocalDateTime& today) {
  ResultsWorksheet& sheet = output.sheet;
  constexpr int kLastStyledColumn = 25;  // "Z"
  if (output.lastBlock != ResultsBlock::Training) {
    ++output.ResultsRow;
    sheet.SetText(output.ResultsRow, 0,
                  "Torvane Measurement System Training Session on " + LongDateText(today));
    ++output.ResultsRow;
    sheet.SetBold(output.ResultsRow, 0, kLastStyledColumn);
    for (int c = 0; c < kTrainingWorksheetColumns; ++c) {
      sheet.SetText(output.ResultsRow, c,
                    kTrainingWorksheetLayout[static_cast<std::size_t>(c)].header);
    }
    sheet.SetItalic(output.ResultsRow, 0, kLastStyledColumn);
    output.lastBlock = ResultsBlock::Training;
    ++output.ResultsRow;
  }
  const auto cells = TrainingWorksheetRow(summary, athlete, weight);
  for (int c = 0; c < kTrainingWorksheetColumns; ++c) {
    const TrainingWorksheetCell& cell = cells[static_cast<std::size_t>(c)];
    const char* format = kTrainingWorksheetLayout[static_cast<std::size_t>(c)].format;
    if (*format == '\0') {
      sheet.SetText(output.ResultsRow, c, cell.text);
    } else {
      sheet.SetNumberText(output.ResultsRow, c, cell.text, format);
    }
  }
  ++output.ResultsRow;
}

}  // namespace torvane
