#pragma once
// What the training window shows of a set: the repetition grid's headings
// and rows, the chart's variable and title, the feedback a repetition gets
// against the threshold, and the set summary with the row it adds to the
// results worksheet.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "common/clock.hpp"
#include "results/results_worksheet.hpp"
#include "squads/squad_table.hpp"
#include "training/repetition_analysis.hpp"

namespace torvane {

// ---- The repetition grid ----------------------------------------------

inline constexpr int kRepetitionGridColumns = 7;
// Column 3 is headed "Contact" in flight mode, "Concent" otherwise.
std::array<std::string, kRepetitionGridColumns> RepetitionGridHeadings(bool flightPhase);
// The format of grid columns 1 … 6 (column 0 is the repetition number).
inline constexpr std::array<const char*, kRepetitionGridColumns> kRepetitionGridFormats = {
    "", "0.000", "0.000", "00", "0.000", "####0", "###0"};
// The values of repetition `repetition` (from 1) in grid column order:
// number, max and min distance, contact time, peak velocity, power, work.
std::array<double, kRepetitionGridColumns> RepetitionGridValues(const RepetitionSet& set,
                                                                std::int32_t repetition);
// The same as the grid shows them (" 1", "0.600", …).
std::array<std::string, kRepetitionGridColumns> RepetitionGridRow(const RepetitionSet& set,
                                                                  std::int32_t repetition);

// ---- The chart and the feedback ----------------------------------------

// The "Data to Plot" options.
enum class PlotVariable { MaxHeight, MinHeight, ContactTime, MaxVelocity, Power, Acceleration };

// The chart's title before an option was chosen.
inline constexpr const char* kInitialChartTitle = "Max Height";
// "Maximum Distance (m)", …; the contact time's title follows the mode.
std::string ChartTitle(PlotVariable variable, bool flightPhase);
// The caption of the contact-time option: "Contact Time" or "Concentric Time".
std::string ContactTimeCaption(bool flightPhase);
// The plotted value of repetition `repetition` (from 1); nothing for the
// acceleration option, which plots no repetition value.
std::optional<float> PlottedValue(const RepetitionSet& set, PlotVariable variable,
                                  std::int32_t repetition);

// Colours as 24-bit values with red in the low byte (255 red, 49152 green).
inline constexpr std::int32_t kFeedbackRed = 255;
inline constexpr std::int32_t kFeedbackGreen = 49152;

enum class FeedbackSound { Over, Under, Beep, None };

struct Feedback {
  bool over = false;  // the value reached the threshold (equal counts as over)
  FeedbackSound sound = FeedbackSound::None;
  std::string label;  // what the visual feedback window shows
  std::int32_t backColour = 0;
  std::int32_t textColour = 0;
};

// The feedback of a value against the threshold: over sound, green window
// and red text when it reached it; under sound, red window and green text
// when not. Without media playback the over sound is the system beep and
// the under sound is silence.
Feedback FeedbackFor(float value, float threshold, bool mmavailable);
// The visual feedback label: "0.0##" up to 100, "0" above.
std::string FeedbackLabelText(float value);
const char* FeedbackSoundName(FeedbackSound sound);  // "over", "under", "beep", "none"

// ---- The set summary ------------------------------------------------------

// The six per-repetition values in summary order.
enum class SummaryRow { MaxDistance, MinDistance, ConTime, MaxVelocity, Power, Work };
inline constexpr int kSummaryRows = 6;

struct SetSummary {
  std::int32_t repetitions = 0;
  // Peaks start at 0 and take any value greater than or equal to them.
  std::array<double, kSummaryRows> peak{};
  // Averages over the repetitions; none for an empty set.
  std::array<std::optional<double>, kSummaryRows> average{};
  double totalWork = 0;
};

SetSummary SummariseSet(const RepetitionSet& set);

// The row labels ("Max Distance", …, "Work") and the formats of the peak
// and average labels.
inline constexpr std::array<const char*, kSummaryRows> kSummaryRowLabels = {
    "Max Distance", "Min Distance", "Con Time", "Max Velocity", "Power", "Work"};
inline constexpr std::array<const char*, kSummaryRows> kSummaryFormats = {"0.000", "0.000", "0.000",
                                                                          "0.00",  "0",     "0"};

struct SetSummaryTexts {
  std::array<std::string, kSummaryRows> peak;
  std::array<std::string, kSummaryRows> average;  // empty for an empty set
  std::string totalReps;
  std::string totalWork;
};
SetSummaryTexts SetSummaryLabels(const SetSummary& summary);

// ---- The results worksheet row --------------------------------------------

struct TrainingWorksheetColumn {
  const char* header;
  const char* format;  // "" for text, "General" for a plain number
};
inline constexpr int kTrainingWorksheetColumns = 16;
extern const std::array<TrainingWorksheetColumn, kTrainingWorksheetColumns>
    kTrainingWorksheetLayout;

struct TrainingWorksheetCell {
  std::string text;
  std::optional<double> value;  // nothing for text and for values not computed
};
// The 16 cells A … P of a set's summary row.
std::array<TrainingWorksheetCell, kTrainingWorksheetColumns> TrainingWorksheetRow(
    const SetSummary& summary, const SquadMember& athlete, float weight);

// Writes the summary row into the results worksheet: first a header block
// (title row with today's long date, bold; the 16 headings, italic) unless
// the last block written was a training block, then the row.
void WriteTrainingSummaryRow(ResultsOutput& output, const SetSummary& summary,
                             const SquadMember& athlete, float weight, const LocalDateTime& today);

}  // namespace torvane
