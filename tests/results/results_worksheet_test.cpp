#include "results/results_worksheet.hpp"

#include <gtest/gtest.h>
#include <zip.h>

#include "test_support.hpp"

namespace torvane {
namespace {

using testing::TempDir;

const LocalDateTime kToday{2026, 12, 6, 17, 5, 0, 0};

ResultsRowIdentity Ann() {
  return {"A17", "Ann", "Lee", 61.25f, 62.5f, "2026-12-06 10:11:12"};
}

ResultsTexts SampleTexts() {
  ResultsTexts t;
  for (std::size_t i = 0; i < t.size(); ++i) t[i] = std::to_string(i + 1) + ".5";
  return t;
}

TEST(ResultsWorksheet, ColumnNamesAndAddresses) {
  for (const auto& [column, name] :
       {std::pair{0, "A"}, std::pair{25, "Z"}, std::pair{26, "AA"}, std::pair{40, "AO"},
        std::pair{51, "AZ"}, std::pair{52, "BA"}}) {
    EXPECT_EQ(ResultsWorksheet::ColumnName(column), name);
  }
  int row = 0, column = 0;
  ASSERT_TRUE(ResultsWorksheet::ParseAddress("C12", row, column));
  EXPECT_EQ(row, 12);
  EXPECT_EQ(column, 2);
  ASSERT_TRUE(ResultsWorksheet::ParseAddress("AO3", row, column));
  EXPECT_EQ(column, 40);
  for (const char* bad : {"12", "C", "C0", "C1x"}) {
    EXPECT_FALSE(ResultsWorksheet::ParseAddress(bad, row, column)) << bad;
  }
}

TEST(ResultsWorksheet, FirstSaveWritesTitleHeaderAndValuesAndTheNextOnlyValues) {
  ResultsOutput out;
  ResultsTicks all;
  all.fill(true);
  WriteResultsRow(out, Ann(), all, SampleTexts(), kToday);
  const ResultsWorksheet& s = out.sheet;
  EXPECT_EQ(s.Text(1, 0), "Torvane Measurement System Data Analysis on Sunday, 6 December 2026");
  EXPECT_EQ(s.Text(2, 0), "ID");
  EXPECT_EQ(s.Text(2, 4), "TimeStamp");
  EXPECT_EQ(s.Text(2, 5), "Peak Dist");
  EXPECT_EQ(s.Text(2, 37), "JumpHt-PV");  // column AL
  EXPECT_EQ(s.Text(2, 38), "");
  ASSERT_NE(s.Cell(2, 40), nullptr);
  EXPECT_TRUE(s.Cell(2, 40)->bold && s.Cell(2, 40)->italic);  // A…AO styled
  EXPECT_EQ(s.Cell(2, 41), nullptr);
  EXPECT_EQ(s.Text(3, 0), "A17");
  EXPECT_EQ(s.Text(3, 1), "AnnLee");
  EXPECT_EQ(s.Text(3, 2), "61.250");
  EXPECT_EQ(s.Text(3, 3), "62.500");
  EXPECT_EQ(s.Text(3, 4), "2026-12-06 10:11:12");
  EXPECT_EQ(s.Text(3, 5), "1.5");
  EXPECT_EQ(s.Text(3, 37), "33.5");
  EXPECT_FALSE(s.Cell(3, 0)->bold);
  EXPECT_EQ(out.ResultsRow, 4);
  WriteResultsRow(out, Ann(), all, SampleTexts(), kToday);
  EXPECT_EQ(s.Text(4, 1), "AnnLee");
  EXPECT_EQ(s.Text(5, 0), "");
  EXPECT_EQ(out.ResultsRow, 5);
}

TEST(ResultsWorksheet, AChangeOfTicksStartsANewHeaderBlockAndColumnsArePacked) {
  ResultsOutput out;
  ResultsTicks ticks{};
  for (int i : {0, 4, 8, 20, 32}) ticks[static_cast<std::size_t>(i)] = true;
  WriteResultsRow(out, Ann(), ticks, SampleTexts(), kToday);
  EXPECT_EQ(out.sheet.Text(2, 5), "Peak Dist");
  EXPECT_EQ(out.sheet.Text(2, 9), "JumpHt-PV");
  EXPECT_EQ(out.sheet.Text(3, 5), "1.5");  // F
  EXPECT_EQ(out.sheet.Text(3, 6), "5.5");
  EXPECT_EQ(out.sheet.Text(3, 9), "33.5");  // J
  EXPECT_EQ(out.sheet.Text(3, 10), "");
  ticks[0] = false;
  out.ResultsLayoutChanged = true;
  WriteResultsRow(out, Ann(), ticks, SampleTexts(), kToday);
  // The new block starts at the row after the counter, leaving one row free.
  EXPECT_EQ(out.sheet.Cell(4, 0), nullptr);
  EXPECT_EQ(out.sheet.Text(5, 0).rfind("Torvane Measurement System Data Analysis on ", 0), 0u);
  EXPECT_EQ(out.sheet.Text(6, 5), "Peak Force");
  EXPECT_EQ(out.sheet.Text(7, 5), "5.5");
  EXPECT_EQ(out.ResultsRow, 8);
}

TEST(ResultsWorksheet, CsvKeepsTheLayoutAndNeverRunsAFormula) {
  ResultsOutput out;
  ResultsTicks ticks{};
  ticks[2] = true;
  ResultsRowIdentity who = Ann();
  who.id = "=HYPERLINK(\"x\")";
  who.firstName = "-1";
  who.lastName = ",x";
  ResultsTexts texts;
  texts[2] = "-0.125";
  WriteResultsRow(out, who, ticks, texts, kToday);
  EXPECT_EQ(ResultsWorksheetCsvText(out.sheet),
            "\"Torvane Measurement System Data Analysis on Sunday, 6 December 2026\"\r\n"
            "ID,Name,BW,Load,TimeStamp,Peak Vel\r\n"
            "\"'=HYPERLINK(\"\"x\"\")\",\"'-1,x\",61.250,62.500,2026-12-06 10:11:12,-0.125\r\n");
}

std::string ZipEntry(const std::string& path, const char* name) {
  int error = 0;
  zip_t* z = zip_open(path.c_str(), ZIP_RDONLY, &error);
  if (!z) return {};
  std::string out;
  zip_stat_t st;
  if (zip_stat(z, name, 0, &st) == 0) {
    zip_file_t* f = zip_fopen(z, name, 0);
    out.resize(st.size);
    zip_fread(f, out.data(), st.size);
    zip_fclose(f);
  }
  zip_close(z);
  return out;
}

TEST(ResultsWorksheet, XlsxHoldsNumbersTextsAndStyles) {
  TempDir dir;
  ResultsOutput out;
  ResultsTicks ticks{};
  ticks[8] = true;
  ResultsTexts texts;
  texts[8] = "005";
  WriteResultsRow(out, Ann(), ticks, texts, kToday);
  const std::string path = dir.File("results.xlsx");
  ASSERT_EQ(SaveResultsWorksheet(out.sheet, path), "");
  const std::string sheet = ZipEntry(path, "xl/worksheets/sheet1.xml");
  const std::string strings = ZipEntry(path, "xl/sharedStrings.xml");
  const std::string styles = ZipEntry(path, "xl/styles.xml");
  EXPECT_NE(sheet.find("<c r=\"F3\" s=\""), std::string::npos);
  EXPECT_NE(sheet.find("<v>5</v>"), std::string::npos);  // a number, shown as 005
  EXPECT_NE(styles.find("formatCode=\"##000\""), std::string::npos);
  EXPECT_NE(styles.find("<b/>"), std::string::npos);
  EXPECT_NE(styles.find("<i/>"), std::string::npos);
  EXPECT_NE(strings.find("AnnLee"), std::string::npos);
  EXPECT_NE(strings.find("MaxRFD"), std::string::npos);
  // A save never leaves its temporary file, and a bad name is refused.
  EXPECT_FALSE(FileExists(path + ".tmp~.xlsx"));
  EXPECT_NE(SaveResultsWorksheet(out.sheet, dir.File("results.txt")), "");
  EXPECT_NE(SaveResultsWorksheet(out.sheet, dir.File("missing/results.xlsx")), "");
}

TEST(FitCellText, CutsToWholeCharactersAndMendsBytesThatAreNotUtf8) {
  std::string ascii(32768, 'a');
  EXPECT_TRUE(FitCellText(ascii));
  EXPECT_EQ(ascii.size(), kMaximumCellCharacters);
  std::string wide;
  for (int i = 0; i < 32768; ++i) wide += "\xc3\xa9";
  EXPECT_TRUE(FitCellText(wide));
  EXPECT_EQ(wide.size(), 2 * kMaximumCellCharacters);
  std::string latin = "Jos\xe9";
  EXPECT_FALSE(FitCellText(latin));
  EXPECT_EQ(latin, "Jos\xc3\xa9");
  std::string fits(32767, 'a');
  EXPECT_FALSE(FitCellText(fits));
  EXPECT_EQ(fits.size(), 32767u);
}

}  // namespace
}  // namespace torvane
