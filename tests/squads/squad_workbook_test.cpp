#include "squads/squad_workbook.hpp"

#include <gtest/gtest.h>
#include <zip.h>

#include <tuple>
#include <utility>
#include <vector>

#include "test_support.hpp"

namespace torvane {
namespace {

using testing::TempDir;
using testing::WriteText;

// Writes a zip archive of (name, content) entries.
void WriteZip(const std::string& path,
              const std::vector<std::pair<std::string, std::string>>& entries) {
  int error = 0;
  zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  ASSERT_NE(z, nullptr);
  for (const auto& [name, content] : entries) {
    zip_source_t* source = zip_source_buffer(z, content.data(), content.size(), 0);
    ASSERT_GE(zip_file_add(z, name.c_str(), source, ZIP_FL_OVERWRITE), 0);
  }
  ASSERT_EQ(zip_close(z), 0);
}

using Row = std::tuple<std::string, std::string, std::string, float>;
std::vector<Row> Rows(const SquadReadResult& r) {
  std::vector<Row> rows;
  for (const SquadMember& m : r.athletes)
    rows.emplace_back(m.Id, m.FirstName, m.LastName, m.BodyMass);
  return rows;
}

const char* kXlsxMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";

TEST(SquadWorkbook, XlsxSharedAndInlineStringsNumbersAsIdsAndTheEmptyRowThatEnds) {
  TempDir dir;
  const std::string ns = std::string(" xmlns=\"") + kXlsxMain + "\"";
  // The first sheet is found through the relationships, not by its usual name;
  // the file is named .dat: its content says what it is.
  const std::string path = dir.File("squad.dat");
  WriteZip(path,
           {{"xl/workbook.xml", "<workbook" + ns +
                                    " xmlns:r=\"urn:r\"><sheets><sheet name=\"S\" r:id=\"rId5\"/>"
                                    "<sheet name=\"T\" r:id=\"rId6\"/></sheets></workbook>"},
            {"xl/_rels/workbook.xml.rels",
             "<Relationships><Relationship Id=\"rId6\" Target=\"worksheets/sheet1.xml\"/>"
             "<Relationship Id=\"rId5\" Target=\"/xl/worksheets/athletes.xml\"/></Relationships>"},
            {"xl/sharedStrings.xml",
             "<sst" + ns +
                 "><si><t>Id</t></si><si><t>Ann</t></si><si><r><t>L</t></r><r><t>ee</t>"
                 "</r><rPh><t>x</t></rPh></si><si><t>80 kg</t></si></sst>"},
            {"xl/worksheets/sheet1.xml", "<worksheet/>"},
            {"xl/worksheets/athletes.xml",
             "<worksheet" + ns +
                 "><sheetData><row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>"
                 "<row r=\"2\"><c r=\"A2\"><v>7.0</v></c><c r=\"B2\" t=\"s\"><v>1</v></c>"
                 "<c r=\"C2\" t=\"s\"><v>2</v></c><c r=\"D2\"><v>72.5</v></c></row>"
                 "<row r=\"3\"><c t=\"inlineStr\"><is><t>A2</t></is></c><c t=\"str\"><v>Bo</v></c>"
                 "<c r=\"D3\" t=\"s\"><v>3</v></c></row>"
                 "<row r=\"4\"><c r=\"A4\"><v>9</v></c></row>"
                 "<row r=\"6\"><c r=\"A6\"><v>10</v></c></row></sheetData></worksheet>"}});
  const SquadReadResult r = ReadSquadWorkbook(path);
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(
      Rows(r),
      (std::vector<Row>{{"7", "Ann", "Lee", 72.5f}, {"A2", "Bo", "", 80.0f}, {"9", "", "", 0.0f}}));
}

TEST(SquadWorkbook, OdsRepeatsFloatValuesAndSpacesUnderTheWrongExtension) {
  TempDir dir;
  const std::string path = dir.File("squad.xlsx");
  const std::string row =
      "<table:table-row><table:table-cell office:value-type=\"float\" office:value=\"7\">"
      "<text:p>7,00</text:p></table:table-cell><table:table-cell office:value-type=\"string\">"
      "<text:p>Ann<text:s text:c=\"2\"/>Marie</text:p></table:table-cell>"
      "<table:covered-table-cell/><table:table-cell office:value-type=\"float\" "
      "office:value=\"61.25\"><text:p>61,25</text:p></table:table-cell></table:table-row>";
  WriteZip(path,
           {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
            {"content.xml",
             "<office:document-content xmlns:office=\"o\" xmlns:table=\"t\" xmlns:text=\"x\">"
             "<office:body><office:spreadsheet><table:table><table:table-header-rows>"
             "<table:table-row><table:table-cell><text:p>Id</text:p></table:table-cell>"
             "</table:table-row></table:table-header-rows>" +
                 row +
                 "<table:table-row table:number-rows-repeated=\"2\"><table:table-cell "
                 "table:number-columns-repeated=\"3\"><text:p>x</text:p></table:table-cell>"
                 "</table:table-row><table:table-row table:number-rows-repeated=\"1048570\">"
                 "<table:table-cell table:number-columns-repeated=\"16384\"/></table:table-row>"
                 "</table:table></office:spreadsheet></office:body></office:document-content>"}});
  const SquadReadResult r = ReadSquadWorkbook(path);
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(Rows(r),
            (std::vector<Row>{
                {"7", "Ann  Marie", "", 61.25f}, {"x", "x", "x", 0.0f}, {"x", "x", "x", 0.0f}}));
}

TEST(SquadWorkbook, CommaSeparatedTextQuotesSemicolonsAndOlderEncodings) {
  TempDir dir;
  const std::string comma = dir.File("a.csv");
  WriteText(
      comma,
      "\xEF\xBB\xBFId,First,Last,Mass\r\n7,\"Ann, \"\"Jo\"\"\",Lee,72.5 kg\r\n,,,\r\n8,X,Y,1\r\n");
  EXPECT_EQ(Rows(ReadSquadWorkbook(comma)), (std::vector<Row>{{"7", "Ann, \"Jo\"", "Lee", 72.5f}}));
  // A semicolon-separated file with a decimal comma, in Windows-1252, no final line end.
  const std::string semicolon = dir.File("b.txt");
  WriteText(semicolon, "Id;First;Last;Mass\n3;Ren\xE9;Aub;61,5\n4;\"Li\nNa\";Wu;n/a");
  EXPECT_EQ(Rows(ReadSquadWorkbook(semicolon)),
            (std::vector<Row>{{"3", "Ren\xC3\xA9", "Aub", 61.5f}, {"4", "Li\nNa", "Wu", 0.0f}}));
}

TEST(SquadWorkbook, XlsFixtureAndTheSampleSquad) {
  const SquadReadResult xls = ReadSquadWorkbook(TORVANE_TESTS_DIR "/squads/squad.xls");
  ASSERT_TRUE(xls.ok()) << xls.error;
  // 7 stored as the number 7.0, 12 as an integer; a text mass; no mass; the
  // row after the empty one is not read.
  EXPECT_EQ(Rows(xls), (std::vector<Row>{{"7", "Ann", "Lee", 72.5f},
                                         {"12", "Bo", "Day", 80.0f},
                                         {"A3", "Zo\xC3\xAB", "Ng", 0.0f}}));
  const SquadReadResult sample = ReadSquadWorkbook(TORVANE_TESTS_DIR "/../data/Squad.xlsx");
  ASSERT_TRUE(sample.ok()) << sample.error;
  ASSERT_EQ(sample.athletes.size(), 10u);
  EXPECT_EQ(Rows(sample)[0], Row("1", "Ann", "Lee", 61.5f));
}

TEST(SquadWorkbook, DamagedOrForeignFilesGiveAMessageNamingTheFile) {
  TempDir dir;
  const std::string xls = ReadWholeFile(TORVANE_TESTS_DIR "/squads/squad.xls").bytes;
  const std::string sample = ReadWholeFile(TORVANE_TESTS_DIR "/../data/Squad.xlsx").bytes;
  ASSERT_FALSE(xls.empty());
  WriteText(dir.File("cut.xls"), xls.substr(0, 1536));
  WriteText(dir.File("cut.xlsx"), sample.substr(0, sample.size() / 2));
  WriteZip(dir.File("other.zip"), {{"readme.txt", "hello"}});
  WriteZip(dir.File("badxml.xlsx"), {{"xl/workbook.xml", "<workbook><sheets>"}});
  WriteText(dir.File("binary.bin"), std::string("\x01\x00\x02\x00", 4));
  for (const char* name :
       {"cut.xls", "cut.xlsx", "other.zip", "badxml.xlsx", "binary.bin", "missing.xlsx"}) {
    const SquadReadResult r = ReadSquadWorkbook(dir.File(name));
    EXPECT_FALSE(r.ok()) << name;
    EXPECT_NE(r.error.find("The squad file " + dir.File(name) + " could not be read: "),
              std::string::npos)
        << r.error;
  }
  EXPECT_EQ(DetectWorkbookFormat(xls), WorkbookFormat::Xls);
  EXPECT_EQ(DetectWorkbookFormat(sample), WorkbookFormat::Xlsx);
  EXPECT_EQ(DetectWorkbookFormat("Id,First\n"), WorkbookFormat::Csv);
}

TEST(SquadWorkbook, RowsAfterTheHeadingUntilFourEmptyCellsAtMostTheLimit) {
  EXPECT_TRUE(AthletesOfSheet({{"Id", "First", "Last", "Mass"}}, 10).athletes.empty());
  const SheetRows rows = {{"Id"}, {"1"}, {"", "", "", "70"}, {"", "B"}, {}, {"4"}};
  const SquadRows all = AthletesOfSheet(rows, 10);
  ASSERT_EQ(all.athletes.size(), 3u);  // a mass alone or a name alone is an athlete
  EXPECT_EQ(all.athletes[1].BodyMass, 70.0f);
  EXPECT_FALSE(all.overflow);
  const SquadRows two = AthletesOfSheet(rows, 2);
  EXPECT_EQ(two.athletes.size(), 2u);
  EXPECT_TRUE(two.overflow);
}

}  // namespace
}  // namespace torvane
