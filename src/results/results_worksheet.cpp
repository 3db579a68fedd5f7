#include "results/results_worksheet.hpp"

#include <unistd.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <memory>

#include "common/date_text.hpp"
#include "common/number_text.hpp"
#include "common/paths.hpp"
#include "common/text_file.hpp"

namespace torvane {

int ResultsVariableIndex(std::string_view header) {
  for (std::size_t i = 0; i < kResultsVariables.size(); ++i) {
    if (kResultsVariables[i].header == header) return static_cast<int>(i);
  }
  return -1;
}

std::string ResultsWorksheet::ColumnName(int column) {
  std::string name;
  for (int c = column + 1; c > 0; c = (c - 1) / 26) {
    name.insert(name.begin(), static_cast<char>('A' + (c - 1) % 26));
  }
  return name;
}

bool ResultsWorksheet::ParseAddress(std::string_view address, int& row, int& column) {
  std::size_t i = 0;
  int c = 0;
  while (i < address.size() && address[i] >= 'A' && address[i] <= 'Z' && i < 3) {
    c = c * 26 + (address[i] - 'A' + 1);
    ++i;
  }
  if (i == 0 || i == address.size()) return false;
  int r = 0;
  const auto result = std::from_chars(address.data() + i, address.data() + address.size(), r);
  if (result.ec != std::errc{} || result.ptr != address.data() + address.size() || r < 1)
    return false;
  row = r;
  column = c - 1;
  return true;
}

WorksheetCell& ResultsWorksheet::At(int row, int column) {
  const auto c = static_cast<std::size_t>(column);
  std::vector<Slot>* cells = nullptr;
  if (rows_.empty() || rows_.rbegin()->first < row) {
    // Rows are written one after another: a new last row goes in at the
    // end, without a search from the top, with room for as many cells as
    // the row before it.
    const std::size_t alike = rows_.empty() ? 0 : rows_.rbegin()->second.size();
    cells = &rows_.try_emplace(rows_.end(), row)->second;
    cells->reserve(std::max(alike, c + 1));
  } else {
    cells = &rows_[row];
  }
  if (cells->size() <= c) cells->resize(c + 1);
  Slot& slot = (*cells)[c];
  slot.made = true;
  return slot.cell;
}

bool FitCellText(std::string& text) {
  std::string fitted;
  std::size_t characters = 0;
  bool changed = false;
  for (std::size_t i = 0; i < text.size();) {
    if (characters == kMaximumCellCharacters) {
      text = std::move(fitted);
      return true;
    }
    const std::size_t length = Utf8SequenceLength(std::string_view(text).substr(i));
    if (length == 0) {
      fitted += Cp1252ToUtf8(std::string_view(text).substr(i, 1));
      changed = true;
      ++i;
    } else {
      fitted.append(text, i, length);
      i += length;
    }
    ++characters;
  }
  if (changed) text = std::move(fitted);
  return false;
}

int ResultsWorksheet::FitRowToCells(int row) {
  const auto it = rows_.find(row);
  if (it == rows_.end()) return 0;
  int cut = 0;
  for (Slot& slot : it->second) {
    if (slot.made && FitCellText(slot.cell.text)) ++cut;
  }
  return cut;
}

void ResultsWorksheet::SetText(int row, int column, std::string text) {
  WorksheetCell& cell = At(row, column);
  cell.text = std::move(text);
  cell.numberFormat.clear();
}

void ResultsWorksheet::SetNumberText(int row, int column, std::string text,
                                     std::string_view numberFormat) {
  WorksheetCell& cell = At(row, column);
  cell.text = std::move(text);
  cell.numberFormat = numberFormat;
}

void ResultsWorksheet::SetBold(int row, int firstColumn, int lastColumn) {
  for (int c = firstColumn; c <= lastColumn; ++c) At(row, c).bold = true;
}

void ResultsWorksheet::SetItalic(int row, int firstColumn, int lastColumn) {
  for (int c = firstColumn; c <= lastColumn; ++c) At(row, c).italic = true;
}

const WorksheetCell* ResultsWorksheet::Cell(int row, int column) const {
  const auto it = rows_.find(row);
  if (it == rows_.end() || column < 0) return nullptr;
  const auto c = static_cast<std::size_t>(column);
  return c < it->second.size() && it->second[c].made ? &it->second[c].cell : nullptr;
}

std::string ResultsWorksheet::Text(int row, int column) const {
  const WorksheetCell* cell = Cell(row, column);
  return cell ? cell->text : std::string();
}

std::string ResultsWorkbookPath(const SettingsRecord& settings) {
  return JoinPath(settings.ProgramDataDirectory, kResultsWorkbookName);
}

void WriteResultsRow(ResultsOutput& output, const ResultsRowIdentity& identity,
                     const ResultsTicks& ticked, const ResultsTexts& texts,
                     const LocalDateTime& today) {
  ResultsWorksheet& sheet = output.sheet;
  constexpr int kLastStyledColumn = 40;  // "AO"
  if (output.ResultsLayoutChanged || output.lastBlock == ResultsBlock::Training) {
    ++output.ResultsRow;
    sheet.SetText(output.ResultsRow, 0,
                  "Torvane Measurement System Data Analysis on " + LongDateText(today));
    ++output.ResultsRow;
    const int row = output.ResultsRow;
    sheet.SetBold(row, 0, kLastStyledColumn);
    int c = 0;
    for (const char* heading : {"ID", "Name", "BW", "Load", "TimeStamp"}) {
      sheet.SetText(row, c++, heading);
    }
    for (std::size_t i = 0; i < kResultsVariableCount; ++i) {
      if (ticked[i]) sheet.SetText(row, c++, std::string(kResultsVariables[i].header));
    }
    sheet.SetItalic(row, 0, kLastStyledColumn);
    output.ResultsLayoutChanged = false;
    output.lastBlock = ResultsBlock::Batch;
    ++output.ResultsRow;
  }
  const int r = output.ResultsRow;
  sheet.SetText(r, 0, identity.id);
  sheet.SetText(r, 1, identity.firstName + identity.lastName);
  sheet.SetNumberText(r, 2, FormatNumber(identity.bodyMass, "0.000"), "0.000");
  sheet.SetNumberText(r, 3, FormatNumber(identity.weight, "0.000"), "0.000");
  sheet.SetText(r, 4, identity.collectionDateTime);
  int c = 5;
  for (std::size_t i = 0; i < kResultsVariableCount; ++i) {
    if (ticked[i]) sheet.SetNumberText(r, c++, texts[i], kResultsVariables[i].format);
  }
  ++output.ResultsRow;
}

namespace {

// The whole text as a number, or nothing.
bool WholeNumber(const std::string& text, double& value) {
  if (text.empty()) return false;
  const char* begin = text.data();
  const char* end = begin + text.size();
  const auto r = std::from_chars(begin, end, value);
  return r.ec == std::errc{} && r.ptr == end;
}

struct WorkbookCloser {
  void operator()(lxw_workbook* wb) const {
    if (wb) workbook_close(wb);
  }
};

std::string LxwFailure(const char* what, lxw_error error) {
  return std::string(what) + ": " + lxw_strerror(error);
}

}  // namespace

std::string SaveResultsWorksheetXlsx(const ResultsWorksheet& sheet, const std::string& path) {
  // The workbook is written to a file of its own beside the one it
  // replaces (at the end of its links), then renamed into place.
  const std::string target = ReplacementTarget(path);
  TemporaryFile file;
  if (const std::string reason = CreateTemporaryBeside(target, ".xlsx", file); !reason.empty()) {
    return "cannot create a temporary file beside " + path + ": " + reason;
  }
  ::close(file.fd);
  const std::string& temp = file.path;
  lxw_workbook_options options{};
  options.constant_memory = LXW_FALSE;
  options.tmpdir = nullptr;
  options.use_zip64 = LXW_FALSE;
  lxw_workbook* wb = workbook_new_opt(temp.c_str(), &options);
  if (!wb) {
    std::remove(temp.c_str());
    return "cannot create " + temp;
  }
  lxw_worksheet* ws = workbook_add_worksheet(wb, "Results");
  if (!ws) {
    workbook_close(wb);
    std::remove(temp.c_str());
    return "cannot add a worksheet";
  }
  std::map<std::tuple<bool, bool, std::string>, lxw_format*> formats;
  auto formatFor = [&](const WorksheetCell& cell, bool number) -> lxw_format* {
    const std::string numberFormat = number ? cell.numberFormat : std::string();
    if (!cell.bold && !cell.italic && numberFormat.empty()) return nullptr;
    auto key = std::make_tuple(cell.bold, cell.italic, numberFormat);
    auto it = formats.find(key);
    if (it != formats.end()) return it->second;
    lxw_format* f = workbook_add_format(wb);
    if (cell.bold) format_set_bold(f);
    if (cell.italic) format_set_italic(f);
    if (!numberFormat.empty()) format_set_num_format(f, numberFormat.c_str());
    formats.emplace(key, f);
    return f;
  };
  std::string failure;
  sheet.ForEachCell([&](int rowNumber, int columnNumber, const WorksheetCell& cell) {
    const lxw_row_t row = static_cast<lxw_row_t>(rowNumber - 1);
    const lxw_col_t col = static_cast<lxw_col_t>(columnNumber);
    double value = 0;
    const bool number = !cell.numberFormat.empty() && WholeNumber(cell.text, value);
    lxw_format* format = formatFor(cell, number);
    lxw_error error = LXW_NO_ERROR;
    if (number) {
      error = worksheet_write_number(ws, row, col, value, format);
    } else if (!cell.text.empty()) {
      std::string text = cell.text;
      FitCellText(text);
      error = worksheet_write_string(ws, row, col, text.c_str(), format);
    } else if (format) {
      error = worksheet_write_blank(ws, row, col, format);
    }
    if (error != LXW_NO_ERROR) {
      failure = LxwFailure("cannot write a cell", error);
      return false;
    }
    return true;
  });
  const lxw_error closed = workbook_close(wb);
  if (failure.empty() && closed != LXW_NO_ERROR)
    failure = LxwFailure("cannot save the workbook", closed);
  if (!failure.empty()) {
    std::remove(temp.c_str());
    return failure;
  }
  if (!MoveTemporaryIntoPlace(temp, target).empty()) return "cannot replace " + path;
  return {};
}

std::string ResultsWorksheetCsvText(const ResultsWorksheet& sheet) {
  std::string out;
  int currentRow = 1;
  int column = 0;
  sheet.ForEachCell([&](int row, int cellColumn, const WorksheetCell& cell) {
    if (cell.text.empty()) return true;
    while (currentRow < row) {
      out += "\r\n";
      ++currentRow;
      column = 0;
    }
    while (column < cellColumn) {
      out.push_back(',');
      ++column;
    }
    const std::string& text = cell.text;
    const char first = text[0];
    // A text cell that a spreadsheet would run as a formula is shown as
    // text: a leading "'", and so quoted.
    const bool guarded =
        cell.numberFormat.empty() && (first == '=' || first == '+' || first == '-' ||
                                      first == '@' || first == '\t' || first == '\r');
    const bool special = std::any_of(text.begin(), text.end(), [](char ch) {
      return ch == ',' || ch == '"' || ch == '\r' || ch == '\n';
    });
    if (!guarded && first != '\'' && !special) {
      out += text;
      return true;
    }
    out.push_back('"');
    if (guarded) out.push_back('\'');
    for (char ch : text) {
      if (ch == '"') out.push_back('"');
      out.push_back(ch);
    }
    out.push_back('"');
    return true;
  });
  if (!sheet.Empty()) out += "\r\n";
  return out;
}

std::string SaveResultsWorksheetCsv(const ResultsWorksheet& sheet, const std::string& path) {
  return WriteFileReplacing(path, ResultsWorksheetCsvText(sheet));
}

std::string SaveResultsWorksheet(const ResultsWorksheet& sheet, const std::string& path) {
  const auto endsWith = [&](std::string_view suffix) {
    if (path.size() < suffix.size()) return false;
    for (std::size_t i = 0; i < suffix.size(); ++i) {
      char c = path[path.size() - suffix.size() + i];
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      if (c != suffix[i]) return false;
    }
    return true;
  };
  if (endsWith(".csv")) return SaveResultsWorksheetCsv(sheet, path);
  if (endsWith(".xlsx")) return SaveResultsWorksheetXlsx(sheet, path);
  return "the results file must end in .xlsx or .csv";
}

std::string ResultsWorkbookWriterVersion() {
  return LXW_VERSION;
}

}  // namespace torvane
