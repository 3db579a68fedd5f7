#pragma once
// The results worksheet: the cells that batch rows and training summaries
// write, addressed as on a spreadsheet (column letters and row numbers from
// 1), with bold and italic row ranges. It is kept in memory and written out
// as a whole, as .xlsx or .csv.

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "common/clock.hpp"
#include "config/settings_record.hpp"
#include "results/results_variables.hpp"

namespace torvane {

struct WorksheetCell {
  std::string text;
  // A display format ("0.000", "##000") for a cell that holds a number shown
  // as text; empty for a text cell (identity, names, dates, titles).
  std::string numberFormat;
  bool bold = false;
  bool italic = false;
};

// The most characters a cell of a workbook holds.
inline constexpr std::size_t kMaximumCellCharacters = 32767;

// Makes `text` fit a workbook cell: bytes that are not UTF-8 become the
// Windows-1252 characters they stand for, and a text longer than
// kMaximumCellCharacters is cut to that many characters. True when it was
// cut.
bool FitCellText(std::string& text);

class ResultsWorksheet {
 public:
  // Column letters: 0 -> "A", 25 -> "Z", 26 -> "AA", 51 -> "AZ", 52 -> "BA".
  // Rows count from 1, columns from 0.
  static std::string ColumnName(int column);
  // "C12" -> (row 12, column 2); false for anything else.
  static bool ParseAddress(std::string_view address, int& row, int& column);

  void SetText(int row, int column, std::string text);
  void SetNumberText(int row, int column, std::string text, std::string_view numberFormat);
  // Marks columns first … last of a row bold or italic (cells are created).
  void SetBold(int row, int firstColumn, int lastColumn);
  void SetItalic(int row, int firstColumn, int lastColumn);

  const WorksheetCell* Cell(int row, int column) const;
  std::string Text(int row, int column) const;
  // Cuts every text of `row` that a workbook cell cannot hold (FitCellText);
  // the number of texts cut.
  int FitRowToCells(int row);
  int LastRow() const { return rows_.empty() ? 0 : rows_.rbegin()->first; }
  bool Empty() const { return rows_.empty(); }
  // Every cell in row order, then column order, until `visit(row, column,
  // cell)` returns false.
  template <typename Visit>
  void ForEachCell(Visit&& visit) const {
    for (const auto& [row, cells] : rows_) {
      for (std::size_t column = 0; column < cells.size(); ++column) {
        if (cells[column].made && !visit(row, static_cast<int>(column), cells[column].cell)) return;
      }
    }
  }

 private:
  // The cells of a row by column; `made` once a cell was written or styled.
  struct Slot {
    WorksheetCell cell;
    bool made = false;
  };
  WorksheetCell& At(int row, int column);
  // One entry per row that has cells: tens of thousands of cells stay in a
  // few thousand blocks, written, read and freed in order.
  std::map<int, std::vector<Slot>> rows_;
};

// Which kind of rows the header block written last heads.
enum class ResultsBlock { None, Batch, Training };

// The row counter shared by batch rows and training summaries. Each kind of
// row starts its own header block when the block above is of the other
// kind, so no row stands under another kind's headings; batch rows also
// start one when the ticked variables changed (ResultsLayoutChanged).
struct ResultsOutput {
  ResultsWorksheet sheet;
  // 32-bit: a batch of more than 32 767 rows must not wrap round.
  std::int32_t ResultsRow = 0;
  bool ResultsLayoutChanged = true;
  ResultsBlock lastBlock = ResultsBlock::None;
};

// The results workbook that every saved row is written to: "QLXResults.xlsx"
// in the program data folder.
inline constexpr const char* kResultsWorkbookName = "QLXResults.xlsx";
std::string ResultsWorkbookPath(const SettingsRecord& settings);

// Said when a row is to be saved while spreadsheet output is off.
inline constexpr const char* kCannotSaveTitle = "Cannot Save to Excel";
inline constexpr const char* kCannotSaveMessage =
    "Output to Excel option not selected or Excel not available on this computer system";

// What one results row carries besides the variables' texts.
struct ResultsRowIdentity {
  std::string id;
  std::string firstName;
  std::string lastName;
  float bodyMass = 0;
  float weight = 0;  // the trial's mass
  std::string collectionDateTime;
};

using ResultsTicks = std::array<bool, kResultsVariableCount>;
using ResultsTexts = std::array<std::string, kResultsVariableCount>;

// Writes a header block when the layout changed (title row with today's
// long date, bold-italic heading row A…AO), then the row of the ticked
// variables' texts, packed from column F.
void WriteResultsRow(ResultsOutput& output, const ResultsRowIdentity& identity,
                     const ResultsTicks& ticked, const ResultsTexts& texts,
                     const LocalDateTime& today);

// Writes the worksheet to an .xlsx file (bold and italic kept, number cells
// as numbers in their display format) or to a .csv file (CR LF, quoted where
// needed; a text cell that begins with =, +, - or @ is written so that a
// spreadsheet shows it as text). Chosen by the extension; replaces the file
// by renaming a temporary one into place (see WriteFileReplacing). In a
// workbook, a text that no cell can hold is cut to fit (FitCellText), so no
// one cell costs the whole file. Empty text on success, else why.
std::string SaveResultsWorksheet(const ResultsWorksheet& sheet, const std::string& path);
std::string SaveResultsWorksheetXlsx(const ResultsWorksheet& sheet, const std::string& path);
std::string SaveResultsWorksheetCsv(const ResultsWorksheet& sheet, const std::string& path);
std::string ResultsWorksheetCsvText(const ResultsWorksheet& sheet);

// The version text of the workbook writer (what stands for the spreadsheet
// application's version).
std::string ResultsWorkbookWriterVersion();

}  // namespace torvane
