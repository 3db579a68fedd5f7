#pragma once
// The squad workbook: a spreadsheet the user keeps with any spreadsheet
// program. Its first sheet holds a heading row, then one athlete per row:
// column A the id, B the first name, C the last name, D the body mass in kg.
// The first row whose four cells are all empty ends the list.
//
// One reader serves every form the user may save: .xls (through FreeXL),
// .xlsx and .ods (zip archives of XML), and comma-separated text. The form
// is told by the file's content, not by its name, so a workbook saved under
// the wrong extension still reads.

#include <string>
#include <string_view>
#include <vector>

#include "squads/squad_table.hpp"

namespace torvane {

enum class WorkbookFormat { Xls, Xlsx, Ods, Csv, Unknown };

// The form of a workbook from its bytes: an OLE2 compound file is .xls; a
// zip archive is .xlsx when it holds xl/workbook.xml and .ods when its
// mimetype is an OpenDocument spreadsheet; text is comma-separated; anything
// else (another archive, binary data) is Unknown.
WorkbookFormat DetectWorkbookFormat(std::string_view bytes);

// The cells of a sheet as texts, row by row (row 1 first). Numbers are in
// their shortest decimal form, so an id typed as 7 and stored as 7.0 reads
// "7"; missing cells are empty texts.
using SheetRows = std::vector<std::vector<std::string>>;

struct SheetReadResult {
  SheetRows rows;
  std::string error;  // why the sheet could not be read; empty on success
  bool ok() const { return error.empty(); }
};

// The first sheet of a workbook held in memory (.xlsx, .ods, .csv) or on
// disk (.xls needs the path: FreeXL reads files only). Rows past `rowLimit`
// are not read.
SheetReadResult ReadFirstSheet(std::string_view bytes, const std::string& path,
                               std::size_t rowLimit);

// The athletes of the sheet: rows 2 on, until the first row whose four cells
// are empty, at most `limit` of them (the rest are reported as `overflow`).
// The mass follows the leading-number rule ("72.5 kg" -> 72.5, "n/a" -> 0).
struct SquadRows {
  std::vector<SquadMember> athletes;
  bool overflow = false;
};
SquadRows AthletesOfSheet(const SheetRows& rows, std::size_t limit);

struct SquadReadResult {
  std::vector<SquadMember> athletes;
  // Why the workbook could not be read, naming the file; empty on success.
  std::string error;
  // More athletes than the table holds: the first ones were read.
  bool overflow = false;
  bool ok() const { return error.empty(); }
};

// Reads the squad workbook at `path`, whichever form it has.
SquadReadResult ReadSquadWorkbook(const std::string& path);

}  // namespace torvane
