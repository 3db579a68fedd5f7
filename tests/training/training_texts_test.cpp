// What the training window shows of a set: feedback against the threshold,
// the chart's titles, the set summary (also of an empty set), and the
// summary row with its header blocks in the shared results worksheet.
#include "training/training_texts.hpp"

#include <gtest/gtest.h>

#include "results/results_worksheet.hpp"

namespace torvane::testing {
namespace {

RepetitionSet SetOf(std::initializer_list<std::array<float, 6>> reps) {
  RepetitionSet set;
  set.Clear();
  for (const auto& r : reps) {
    const auto i = static_cast<std::size_t>(set.RepCount);
    set.EnsureIndex(set.RepCount + 1);
    set.RepMaxHeight[i] = r[0];
    set.RepMinHeight[i] = r[1];
    set.RepContactTime[i] = r[2];
    set.RepPeakVelocity[i] = r[3];
    set.RepPower[i] = r[4];
    set.RepWork[i] = r[5];
    ++set.RepCount;
  }
  return set;
}

TEST(TrainingFeedback, AValueEqualToTheThresholdIsOverGreenWithTheOverSound) {
  const Feedback at = FeedbackFor(2.0f, 2.0f, true);
  EXPECT_TRUE(at.over);
  EXPECT_EQ(at.sound, FeedbackSound::Over);
  EXPECT_EQ(at.backColour, 49152);
  EXPECT_EQ(at.textColour, 255);
  const Feedback under = FeedbackFor(1.99f, 2.0f, true);
  EXPECT_FALSE(under.over);
  EXPECT_EQ(under.sound, FeedbackSound::Under);
  EXPECT_EQ(under.backColour, 255);
  EXPECT_EQ(under.textColour, 49152);
  // Without media playback: the beep for over, silence for under; the
  // window is coloured all the same.
  EXPECT_EQ(FeedbackFor(2.0f, 2.0f, false).sound, FeedbackSound::Beep);
  const Feedback silent = FeedbackFor(1.0f, 2.0f, false);
  EXPECT_EQ(silent.sound, FeedbackSound::None);
  EXPECT_EQ(silent.backColour, kFeedbackRed);
}

TEST(TrainingFeedback, TheLabelShowsUpToThreeDecimalsUpTo100AndWholeNumbersAbove) {
  EXPECT_EQ(FeedbackLabelText(123.456f), "123");
  EXPECT_EQ(FeedbackLabelText(1.2f), "1.2");
  EXPECT_EQ(FeedbackLabelText(0.12345f), "0.123");
  EXPECT_EQ(FeedbackLabelText(100.0f), "100.0");
  EXPECT_EQ(FeedbackLabelText(-0.5f), "-0.5");
}

TEST(TrainingChart, TitlesFollowTheOptionAndTheContactTimeFollowsFlightMode) {
  EXPECT_EQ(ChartTitle(PlotVariable::MaxHeight, false), "Maximum Distance (m)");
  EXPECT_EQ(ChartTitle(PlotVariable::ContactTime, true), "Contact Time (ms)");
  EXPECT_EQ(ChartTitle(PlotVariable::ContactTime, false), "Concentric Time (ms)");
  EXPECT_EQ(RepetitionGridHeadings(true)[3], "Contact");
  EXPECT_EQ(RepetitionGridHeadings(false)[3], "Concent");
  const RepetitionSet set = SetOf({{0.6f, 0.1f, 800, 1.5f, 490, 392}});
  EXPECT_EQ(PlottedValue(set, PlotVariable::Power, 1), 490.0f);
  EXPECT_EQ(PlottedValue(set, PlotVariable::MinHeight, 1), 0.1f);
  EXPECT_FALSE(PlottedValue(set, PlotVariable::Acceleration, 1));
  EXPECT_FALSE(PlottedValue(set, PlotVariable::Power, 2));
}

TEST(SetSummary, PeaksAveragesAndTotalsOfASetAndNoAveragesOfAnEmptyOne) {
  const RepetitionSet set =
      SetOf({{0.6f, 0.1f, 800, 1.5f, 490, 392}, {0.5f, -0.2f, 700, 1.25f, 510, 400}});
  const SetSummary summary = SummariseSet(set);
  const SetSummaryTexts texts = SetSummaryLabels(summary);
  EXPECT_EQ(texts.totalReps, "2");
  EXPECT_EQ(texts.peak[0], "0.600");
  EXPECT_EQ(texts.average[0], "0.550");
  // The minimum distance's peak starts at 0 as well: -0.2 never beats it.
  EXPECT_EQ(texts.peak[1], "0.100");
  EXPECT_EQ(texts.average[1], "-0.050");
  EXPECT_EQ(texts.peak[2], "800.000");
  EXPECT_EQ(texts.average[3], "1.38");  // 1.375 → two decimals
  EXPECT_EQ(texts.peak[4], "510");
  EXPECT_EQ(texts.totalWork, "792");

  const SetSummaryTexts none = SetSummaryLabels(SummariseSet(SetOf({})));
  EXPECT_EQ(none.totalReps, "0");
  EXPECT_EQ(none.totalWork, "0");
  EXPECT_EQ(none.peak[0], "0.000");
  for (const std::string& average : none.average) EXPECT_EQ(average, "");
}

TEST(TrainingWorksheet, TheSummaryRowHasItsSixteenColumnsWithTheirFormats) {
  const RepetitionSet set = SetOf({{0.6f, 0.1f, 800, 1.5f, 490.4f, 392.28f}});
  SquadMember ann{"7", "Ann", "Lee", 61};
  const auto row = TrainingWorksheetRow(SummariseSet(set), ann, 80.0f);
  EXPECT_EQ(row[0].text, "Ann Lee 7");
  EXPECT_EQ(row[1].text, "80.00");
  EXPECT_EQ(row[2].text, "1");
  EXPECT_EQ(row[3].text, "392");
  EXPECT_EQ(row[4].text, "0.6");
  EXPECT_EQ(row[8].text, "800");
  EXPECT_EQ(row[10].text, "1.500");
  EXPECT_EQ(row[12].text, "490");
  EXPECT_EQ(kTrainingWorksheetLayout[9].header, std::string("Avg Contime"));
  const auto empty = TrainingWorksheetRow(SummariseSet(SetOf({})), ann, 80.0f);
  EXPECT_EQ(empty[5].text, "");
  EXPECT_FALSE(empty[5].value);
}

TEST(TrainingWorksheet, EachKindOfRowStartsItsOwnHeaderBlockUnderTheOther) {
  ResultsOutput out;
  const LocalDateTime today{2026, 12, 7, 9, 0, 0, 1};
  const SetSummary summary = SummariseSet(SetOf({{0.6f, 0.1f, 800, 1.5f, 490, 392}}));
  const SquadMember ann{"7", "Ann", "Lee", 61};
  WriteTrainingSummaryRow(out, summary, ann, 80.0f, today);
  WriteTrainingSummaryRow(out, summary, ann, 80.0f, today);
  EXPECT_EQ(out.sheet.Text(1, 0),
            "Torvane Measurement System Training Session on Monday, 7 "
            "December 2026");
  EXPECT_EQ(out.sheet.Text(2, 15), "Avg Work");
  EXPECT_TRUE(out.sheet.Cell(2, 0)->bold);
  EXPECT_TRUE(out.sheet.Cell(2, 0)->italic);
  EXPECT_EQ(out.sheet.Text(3, 0), "Ann Lee 7");
  EXPECT_EQ(out.sheet.Text(4, 0), "Ann Lee 7");  // no second header block
  // A batch row after them heads its own block, although no variable was
  // ticked in between; a training row after that heads one again.
  ResultsTicks ticked{};
  ticked[0] = true;
  out.ResultsLayoutChanged = false;
  WriteResultsRow(out, ResultsRowIdentity{"7", "Ann", "Lee", 61, 80, ""}, ticked, ResultsTexts{},
                  today);
  EXPECT_EQ(out.sheet.Text(7, 0), "ID");
  WriteTrainingSummaryRow(out, summary, ann, 80.0f, today);
  EXPECT_EQ(out.sheet.Text(11, 0), "Name and ID");
  EXPECT_EQ(out.sheet.Text(12, 0), "Ann Lee 7");
}

}  // namespace
}  // namespace torvane::testing
