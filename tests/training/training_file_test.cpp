// The training file to the character, read back, and refused with the line
// at fault when it is not whole; the printout's lines.
#include "training/training_file.hpp"

#include <gtest/gtest.h>

namespace torvane::testing {
namespace {

const LocalDateTime kWhen{2026, 12, 7, 14, 5, 9, 1};

RepetitionSet ThreeRepetitions() {
  RepetitionSet set;
  set.Clear();
  set.EnsureIndex(3);
  const float values[3][6] = {{0.5f, 0.0f, 800.0f, 1.25f, 490.35f, 392.28f},
                              {0.625f, -0.25f, 760.5f, 1.5f, 512.0f, 400.0f},
                              {0.55f, 0.01f, 701.0f, 1.375f, 600.0f, 410.5f}};
  for (std::size_t i = 0; i < 3; ++i) {
    set.RepMaxHeight[i] = values[i][0];
    set.RepMinHeight[i] = values[i][1];
    set.RepContactTime[i] = values[i][2];
    set.RepPeakVelocity[i] = values[i][3];
    set.RepPower[i] = values[i][4];
    set.RepWork[i] = values[i][5];
  }
  set.RepCount = 3;
  return set;
}

const SquadMember kAnn{"7", "Ann", "Lee", 61};

TEST(TrainingFile, IsWrittenToTheCharacterWithCrLf) {
  const std::string text = TrainingFileText(ThreeRepetitions(), kAnn, 80.0f, false, kWhen);
  EXPECT_EQ(text,
            "QLX Training File for Ann Lee ID: 7\r\n"
            " 3 reps completed on Monday, 7 December 2026            02:05:09 PM   Mass:  80 kg\r\n"
            "repno         maxheight     minheight     peakvel       concentrictm  power         "
            "workdone\r\n"
            "1,.5,0,1.25,800,490.35,392.28\r\n"
            "2,.625,-.25,1.5,760.5,512,400\r\n"
            "3,.55,.01,1.375,701,600,410.5\r\n"
            "end of set\r\n");
  const std::string flight = TrainingFileText(ThreeRepetitions(), kAnn, 80.0f, true, kWhen);
  EXPECT_NE(flight.find("peakvel       contacttm     power"), std::string::npos);
}

TEST(TrainingFile, ReadsBackWithItsAthleteAndMass) {
  SquadMember jose{"12", "José", "de la Cruz", 0};
  const std::string text = TrainingFileText(ThreeRepetitions(), jose, 72.5f, false, kWhen);
  EXPECT_NE(text.find("Jos\xE9"), std::string::npos);  // Windows-1252 on disk
  const TrainingFileContents file = ParseTrainingFile(text);
  ASSERT_TRUE(file.ok) << file.error;
  EXPECT_EQ(file.set.RepCount, 3);
  EXPECT_EQ(file.set.RepMinHeight[1], -0.25f);
  EXPECT_EQ(file.set.RepPower[0], 490.35f);
  EXPECT_EQ(file.set.RepContactTime[1], 760.5f);
  ASSERT_TRUE(file.weight);
  EXPECT_EQ(*file.weight, 72.5f);
  ASSERT_TRUE(file.athlete);
  EXPECT_EQ(file.athlete->Id, "12");
  EXPECT_EQ(file.athlete->FirstName, "José");
  EXPECT_EQ(file.athlete->LastName, "de la Cruz");
  EXPECT_EQ(file.line1, "QLX Training File for José de la Cruz ID: 12");
}

TEST(TrainingFile, AFileWithFewerLinesThanAnnouncedLoadsThoseItHolds) {
  std::string text = TrainingFileText(ThreeRepetitions(), kAnn, 80.0f, false, kWhen);
  text.replace(0, text.find("\r\n"), "QLX Training File for Ann Lee ID: 7");
  text.replace(text.find(" 3 reps"), 7, " 5 reps");
  const TrainingFileContents file = ParseTrainingFile(text);
  ASSERT_TRUE(file.ok) << file.error;
  EXPECT_EQ(file.set.RepCount, 3);
}

TEST(TrainingFile, AMalformedFileIsRefusedWithTheLineAtFault) {
  const std::string good = TrainingFileText(ThreeRepetitions(), kAnn, 80.0f, false, kWhen);
  const auto refused = [](std::string text, const std::string& what) {
    const TrainingFileContents file = ParseTrainingFile(text);
    EXPECT_FALSE(file.ok) << what;
    return file.error;
  };
  std::string skipped = good;
  skipped.replace(skipped.find("2,.625"), 1, "4");
  EXPECT_NE(refused(skipped, "number").find("line 5 should hold repetition 2"), std::string::npos);
  std::string shortLine = good;
  shortLine.replace(shortLine.find(",410.5"), 6, "");
  EXPECT_NE(refused(shortLine, "fields").find("line 6 is not a repetition"), std::string::npos);
  std::string word = good;
  word.replace(word.find("512"), 3, "abc");
  EXPECT_NE(refused(word, "word").find("line 5 holds \"abc\""), std::string::npos);
  std::string noCount = good;
  noCount.replace(noCount.find("reps"), 4, "sets");
  EXPECT_NE(refused(noCount, "count").find("line 2"), std::string::npos);

  const TrainingFileContents trial = ParseTrainingFile("QLX Data File Version 2\r\n1,2\r\n");
  EXPECT_TRUE(trial.notTrainingFile);
  EXPECT_EQ(trial.error, kNotTrainingFileMessage);
}

TEST(TrainingPrintout, NamesTheAthleteAndPrintsEachRepetitionInZones) {
  const std::vector<std::string> lines =
      TrainingPrintLines(ThreeRepetitions(), kAnn, 80.0f, true, kWhen);
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], "QLX Training Data Set for Ann Lee ID: 7");
  EXPECT_EQ(lines[1], "Monday, 7 December 2026     02:05:09 PM   Mass:  80");
  EXPECT_EQ(lines[2].substr(0, 70),
            "rep no        max height    min height    peak vel      contact tm    ");
  EXPECT_EQ(
      lines[4],
      " 2            0.625         -0.25         1.5           760.5         512.0         400.0");
}

}  // namespace
}  // namespace torvane::testing
