#include "squads/squad_workbook.hpp"

#include <freexl.h>
#include <zip.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <pugixml.hpp>

#include "common/number_text.hpp"
#include "common/text_file.hpp"

namespace torvane {

namespace {

// Columns read per row: the four the squad uses and a few more, so that a
// sheet with thousands of columns costs nothing.
constexpr std::size_t kColumnsKept = 8;
// A workbook entry larger than this is not a squad list.
constexpr zip_uint64_t kEntryLimit = 64u << 20;
constexpr std::size_t kFileLimit = 64u << 20;

constexpr std::string_view kOle2Magic("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
constexpr std::string_view kOdsMimeType = "application/vnd.oasis.opendocument.spreadsheet";

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// The shortest decimal text that reads back as `value`; whole numbers
// without a point ("7", not "7.0").
std::string NumberText(double value) {
  char buffer[64];
  if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < 1e15) {
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, static_cast<long long>(value));
    return std::string(buffer, r.ptr);
  }
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, r.ptr);
}

// A number as the file wrote it, in its shortest form; text that is not a
// number stays as it was.
std::string StoredNumberText(std::string_view text) {
  double value = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
  if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return std::string(text);
  return NumberText(value);
}

void PutCell(SheetRows& rows, std::size_t row, std::size_t column, std::string text) {
  if (column >= kColumnsKept) return;
  if (rows.size() <= row) rows.resize(row + 1);
  std::vector<std::string>& cells = rows[row];
  if (cells.size() <= column) cells.resize(column + 1);
  cells[column] = std::move(text);
}

// ---- zip archives -------------------------------------------------------

struct ZipCloser {
  void operator()(zip_t* z) const { zip_discard(z); }
};
using ZipHandle = std::unique_ptr<zip_t, ZipCloser>;

ZipHandle OpenZip(std::string_view bytes, std::string& error) {
  zip_error_t ze;
  zip_error_init(&ze);
  zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &ze);
  zip_t* z = source ? zip_open_from_source(source, ZIP_RDONLY, &ze) : nullptr;
  if (z == nullptr) {
    error = std::string("damaged zip archive (") + zip_error_strerror(&ze) + ")";
    if (source) zip_source_free(source);
  }
  zip_error_fini(&ze);
  return ZipHandle(z);
}

bool HasEntry(zip_t* z, const char* name) {
  return zip_name_locate(z, name, 0) >= 0;
}

// The bytes of an entry; nullopt (with the reason) when it is missing or damaged.
std::optional<std::string> ReadEntry(zip_t* z, const std::string& name, std::string& error) {
  const zip_int64_t index = zip_name_locate(z, name.c_str(), 0);
  zip_stat_t st;
  if (index < 0 || zip_stat_index(z, static_cast<zip_uint64_t>(index), 0, &st) != 0 ||
      !(st.valid & ZIP_STAT_SIZE)) {
    error = "the archive has no " + name;
    return std::nullopt;
  }
  if (st.size > kEntryLimit) {
    error = name + " is too large";
    return std::nullopt;
  }
  std::string out(static_cast<std::size_t>(st.size), '\0');
  zip_file_t* f = zip_fopen_index(z, static_cast<zip_uint64_t>(index), 0);
  const zip_int64_t got = f ? zip_fread(f, out.data(), st.size) : -1;
  if (f) zip_fclose(f);
  if (got < 0 || static_cast<zip_uint64_t>(got) != st.size) {
    error = name + " is damaged";
    return std::nullopt;
  }
  return out;
}

std::optional<pugi::xml_document> ParseXml(const std::string& text, const std::string& name,
                                           std::string& error) {
  pugi::xml_document doc;
  const pugi::xml_parse_result r = doc.load_buffer(text.data(), text.size());
  if (!r) {
    error = name + " is not well-formed XML (" + r.description() + ")";
    return std::nullopt;
  }
  return doc;
}

// The element name without its namespace prefix.
std::string_view LocalName(const pugi::xml_node& node) {
  const std::string_view name = node.name();
  const std::size_t colon = name.find(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

pugi::xml_node Child(const pugi::xml_node& parent, std::string_view local) {
  for (pugi::xml_node n : parent.children()) {
    if (n.type() == pugi::node_element && LocalName(n) == local) return n;
  }
  return {};
}

// ---- .xlsx ----------------------------------------------------------------

// The text of a shared or inline string: its <t>, or its runs' <t>s
// (phonetic hints are not part of the text).
std::string StringItemText(const pugi::xml_node& item) {
  std::string text;
  for (pugi::xml_node n : item.children()) {
    if (LocalName(n) == "t") {
      text += n.text().get();
    } else if (LocalName(n) == "r") {
      text += Child(n, "t").text().get();
    }
  }
  return text;
}

// The zero-based column of a cell reference ("C7" -> 2); nullopt without letters.
std::optional<std::size_t> ColumnOfReference(std::string_view ref) {
  std::size_t column = 0;
  std::size_t letters = 0;
  for (char c : ref) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c < 'A' || c > 'Z') break;
    if (++letters > 3) return std::nullopt;
    column = column * 26 + static_cast<std::size_t>(c - 'A' + 1);
  }
  if (letters == 0) return std::nullopt;
  return column - 1;
}

// The path inside the archive of the workbook's first sheet.
std::string FirstSheetPath(zip_t* z, std::string& error) {
  const std::string fallback = "xl/worksheets/sheet1.xml";
  const std::optional<std::string> workbook = ReadEntry(z, "xl/workbook.xml", error);
  if (!workbook) return {};
  const auto doc = ParseXml(*workbook, "xl/workbook.xml", error);
  if (!doc) return {};
  const pugi::xml_node sheet = Child(Child(doc->document_element(), "sheets"), "sheet");
  if (!sheet) {
    error = "the workbook has no sheet";
    return {};
  }
  std::string relation;
  for (pugi::xml_attribute a : sheet.attributes()) {
    const std::string_view name = a.name();
    if (name.size() > 3 && name.substr(name.size() - 3) == ":id") relation = a.value();
  }
  std::string ignored;
  const std::optional<std::string> rels = ReadEntry(z, "xl/_rels/workbook.xml.rels", ignored);
  if (relation.empty() || !rels) return fallback;
  const auto relDoc = ParseXml(*rels, "xl/_rels/workbook.xml.rels", ignored);
  if (!relDoc) return fallback;
  for (pugi::xml_node r : relDoc->document_element().children()) {
    if (relation != r.attribute("Id").value()) continue;
    const std::string target = r.attribute("Target").value();
    if (target.empty()) return fallback;
    return target[0] == '/' ? target.substr(1) : "xl/" + target;
  }
  return fallback;
}

std::vector<std::string> SharedStrings(zip_t* z, std::string& error) {
  std::vector<std::string> strings;
  if (!HasEntry(z, "xl/sharedStrings.xml")) return strings;
  const std::optional<std::string> text = ReadEntry(z, "xl/sharedStrings.xml", error);
  if (!text) return strings;
  const auto doc = ParseXml(*text, "xl/sharedStrings.xml", error);
  if (!doc) return strings;
  for (pugi::xml_node si : doc->document_element().children()) {
    if (LocalName(si) == "si") strings.push_back(StringItemText(si));
  }
  return strings;
}

SheetReadResult ReadXlsx(zip_t* z, std::size_t rowLimit) {
  SheetReadResult r;
  const std::string sheetPath = FirstSheetPath(z, r.error);
  if (!r.ok()) return r;
  const std::vector<std::string> shared = SharedStrings(z, r.error);
  if (!r.ok()) return r;
  const std::optional<std::string> sheet = ReadEntry(z, sheetPath, r.error);
  if (!sheet) return r;
  const auto doc = ParseXml(*sheet, sheetPath, r.error);
  if (!doc) return r;
  std::size_t row = 0;  // zero-based row of the next <row> without a number
  for (pugi::xml_node rowNode : Child(doc->document_element(), "sheetData").children()) {
    if (LocalName(rowNode) != "row") continue;
    const unsigned long number = rowNode.attribute("r").as_ullong(0);
    if (number > 0) row = number - 1;
    if (row >= rowLimit) break;
    std::size_t column = 0;
    for (pugi::xml_node c : rowNode.children()) {
      if (LocalName(c) != "c") continue;
      if (const auto ref = ColumnOfReference(c.attribute("r").value())) column = *ref;
      const std::string_view type = c.attribute("t").value();
      const std::string_view value = Child(c, "v").text().get();
      std::string text;
      if (type == "s") {
        const unsigned long index = Child(c, "v").text().as_ullong(shared.size());
        if (index < shared.size()) text = shared[index];
      } else if (type == "inlineStr") {
        text = StringItemText(Child(c, "is"));
      } else if (type == "str" || type == "e" || type == "b") {
        text = value;
      } else {
        text = StoredNumberText(value);
      }
      if (!text.empty()) PutCell(r.rows, row, column, std::move(text));
      ++column;
    }
    ++row;
  }
  return r;
}

// ---- .ods -----------------------------------------------------------------

void AppendParagraphText(const pugi::xml_node& node, std::string& text) {
  for (pugi::xml_node n : node.children()) {
    if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata) {
      text += n.value();
    } else if (LocalName(n) == "s") {
      const unsigned count = std::min(n.attribute("text:c").as_uint(1), 1000u);
      text.append(count, ' ');
    } else if (LocalName(n) == "tab") {
      text += '\t';
    } else if (LocalName(n) == "line-break") {
      text += '\n';
    } else if (LocalName(n) != "annotation") {
      AppendParagraphText(n, text);
    }
  }
}

std::string OdsCellText(const pugi::xml_node& cell) {
  const std::string_view type = cell.attribute("office:value-type").value();
  if (type == "float" || type == "percentage" || type == "currency") {
    return StoredNumberText(cell.attribute("office:value").value());
  }
  std::string text;
  for (pugi::xml_node p : cell.children()) {
    if (LocalName(p) != "p") continue;
    if (!text.empty()) text += '\n';
    AppendParagraphText(p, text);
  }
  return text;
}

void ReadOdsRows(const pugi::xml_node& parent, std::size_t rowLimit, SheetReadResult& r,
                 std::size_t& row) {
  for (pugi::xml_node n : parent.children()) {
    if (row >= rowLimit) return;
    const std::string_view name = LocalName(n);
    if (name == "table-header-rows" || name == "table-rows" || name == "table-row-group") {
      ReadOdsRows(n, rowLimit, r, row);
      continue;
    }
    if (name != "table-row") continue;
    std::vector<std::string> cells;
    for (pugi::xml_node c : n.children()) {
      const std::string_view cellName = LocalName(c);
      if (cellName != "table-cell" && cellName != "covered-table-cell") continue;
      const std::size_t repeat =
          std::max<std::size_t>(1, c.attribute("table:number-columns-repeated").as_ullong(1));
      const std::string text = OdsCellText(c);
      for (std::size_t k = 0; k < repeat && cells.size() < kColumnsKept; ++k) cells.push_back(text);
      if (cells.size() >= kColumnsKept) break;
    }
    // Trailing empty cells carry nothing.
    while (!cells.empty() && cells.back().empty()) cells.pop_back();
    const std::size_t repeat =
        std::max<std::size_t>(1, n.attribute("table:number-rows-repeated").as_ullong(1));
    for (std::size_t k = 0; k < repeat && row < rowLimit; ++k, ++row) {
      if (!cells.empty()) {
        if (r.rows.size() <= row) r.rows.resize(row + 1);
        r.rows[row] = cells;
      }
    }
  }
}

SheetReadResult ReadOds(zip_t* z, std::size_t rowLimit) {
  SheetReadResult r;
  const std::optional<std::string> content = ReadEntry(z, "content.xml", r.error);
  if (!content) return r;
  const auto doc = ParseXml(*content, "content.xml", r.error);
  if (!doc) return r;
  const pugi::xml_node table =
      Child(Child(Child(doc->document_element(), "body"), "spreadsheet"), "table");
  if (!table) {
    r.error = "the workbook has no sheet";
    return r;
  }
  std::size_t row = 0;
  ReadOdsRows(table, rowLimit, r, row);
  return r;
}

// ---- .xls -----------------------------------------------------------------

SheetReadResult ReadXls(const std::string& path, std::size_t rowLimit) {
  SheetReadResult r;
  const void* handle = nullptr;
  const int opened = freexl_open(path.c_str(), &handle);
  if (opened != FREEXL_OK) {
    if (handle) freexl_close(handle);
    r.error = "not a readable .xls workbook (FreeXL error " + std::to_string(opened) + ")";
    return r;
  }
  unsigned int rows = 0;
  unsigned short columns = 0;
  if (freexl_select_active_worksheet(handle, 0) != FREEXL_OK ||
      freexl_worksheet_dimensions(handle, &rows, &columns) != FREEXL_OK) {
    freexl_close(handle);
    r.error = "the workbook's first sheet cannot be read";
    return r;
  }
  rows = static_cast<unsigned>(std::min<std::size_t>(rows, rowLimit));
  const auto kept = static_cast<unsigned short>(std::min<std::size_t>(columns, kColumnsKept));
  for (unsigned row = 0; row < rows; ++row) {
    for (unsigned short column = 0; column < kept; ++column) {
      FreeXL_CellValue cell;
      if (freexl_get_cell_value(handle, row, column, &cell) != FREEXL_OK) continue;
      std::string text;
      switch (cell.type) {
        case FREEXL_CELL_INT:
          text = std::to_string(cell.value.int_value);
          break;
        case FREEXL_CELL_DOUBLE:
          text = NumberText(cell.value.double_value);
          break;
        case FREEXL_CELL_TEXT:
        case FREEXL_CELL_SST_TEXT:
        case FREEXL_CELL_DATE:
        case FREEXL_CELL_DATETIME:
        case FREEXL_CELL_TIME:
          if (cell.value.text_value) text = cell.value.text_value;
          break;
        default:
          break;
      }
      if (!text.empty()) PutCell(r.rows, row, column, std::move(text));
    }
  }
  freexl_close(handle);
  return r;
}

// ---- comma-separated text -------------------------------------------------

bool IsUtf8(std::string_view text) {
  while (!text.empty()) {
    const std::size_t n = Utf8SequenceLength(text);
    if (n == 0) return false;
    text.remove_prefix(n);
  }
  return true;
}

// The separator of the first line: a comma, or a semicolon or tab when the
// line holds those and no comma (what spreadsheet programs write in locales
// with a decimal comma).
char CsvSeparator(std::string_view text) {
  std::size_t commas = 0, semicolons = 0, tabs = 0;
  bool quoted = false;
  for (char c : text) {
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (c == '\n' || c == '\r') break;
    commas += c == ',';
    semicolons += c == ';';
    tabs += c == '\t';
  }
  if (commas == 0 && semicolons > 0) return ';';
  if (commas == 0 && tabs > 0) return '\t';
  return ',';
}

SheetReadResult ReadCsv(std::string_view bytes, std::size_t rowLimit) {
  SheetReadResult r;
  if (StartsWith(bytes, "\xEF\xBB\xBF")) bytes.remove_prefix(3);
  const std::string text = IsUtf8(bytes) ? std::string(bytes) : Cp1252ToUtf8(bytes);
  const char separator = CsvSeparator(text);
  std::size_t row = 0, column = 0;
  std::string cell;
  bool quoted = false;
  const auto endCell = [&] {
    if (!cell.empty()) PutCell(r.rows, row, column, std::move(cell));
    cell.clear();
    ++column;
  };
  for (std::size_t i = 0; i < text.size() && row < rowLimit; ++i) {
    const char c = text[i];
    if (quoted) {
      if (c != '"') {
        cell += c;
      } else if (i + 1 < text.size() && text[i + 1] == '"') {
        cell += '"';
        ++i;
      } else {
        quoted = false;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == separator) {
      endCell();
    } else if (c == '\n' || c == '\r') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      endCell();
      ++row;
      column = 0;
    } else {
      cell += c;
    }
  }
  if (row < rowLimit) endCell();
  return r;
}

bool LooksLikeText(std::string_view bytes) {
  return bytes.substr(0, 65536).find('\0') == std::string_view::npos;
}

}  // namespace

WorkbookFormat DetectWorkbookFormat(std::string_view bytes) {
  if (StartsWith(bytes, kOle2Magic)) return WorkbookFormat::Xls;
  if (StartsWith(bytes, "PK\x03\x04") || StartsWith(bytes, "PK\x05\x06")) {
    std::string error;
    const ZipHandle z = OpenZip(bytes, error);
    if (!z) return WorkbookFormat::Unknown;
    if (HasEntry(z.get(), "xl/workbook.xml")) return WorkbookFormat::Xlsx;
    const std::optional<std::string> mime = ReadEntry(z.get(), "mimetype", error);
    if (mime && StartsWith(*mime, kOdsMimeType) && mime->size() <= kOdsMimeType.size() + 2 &&
        HasEntry(z.get(), "content.xml")) {
      return WorkbookFormat::Ods;
    }
    return WorkbookFormat::Unknown;
  }
  return LooksLikeText(bytes) ? WorkbookFormat::Csv : WorkbookFormat::Unknown;
}

SheetReadResult ReadFirstSheet(std::string_view bytes, const std::string& path,
                               std::size_t rowLimit) {
  SheetReadResult r;
  switch (DetectWorkbookFormat(bytes)) {
    case WorkbookFormat::Xls:
      return ReadXls(path, rowLimit);
    case WorkbookFormat::Xlsx:
    case WorkbookFormat::Ods: {
      const ZipHandle z = OpenZip(bytes, r.error);
      if (!z) return r;
      return HasEntry(z.get(), "xl/workbook.xml") ? ReadXlsx(z.get(), rowLimit)
                                                  : ReadOds(z.get(), rowLimit);
    }
    case WorkbookFormat::Csv:
      return ReadCsv(bytes, rowLimit);
    case WorkbookFormat::Unknown:
      break;
  }
  if (StartsWith(bytes, "PK")) {
    const ZipHandle z = OpenZip(bytes, r.error);
    if (z) r.error = "a zip archive that is neither an .xlsx nor an .ods workbook";
  } else {
    r.error = "not a spreadsheet (.xls, .xlsx, .ods or comma-separated text)";
  }
  return r;
}

SquadRows AthletesOfSheet(const SheetRows& rows, std::size_t limit) {
  SquadRows out;
  const auto cell = [](const std::vector<std::string>& cells, std::size_t k) -> const std::string& {
    static const std::string kEmpty;
    return k < cells.size() ? cells[k] : kEmpty;
  };
  for (std::size_t row = 1; row < rows.size(); ++row) {
    const std::vector<std::string>& cells = rows[row];
    const std::string& id = cell(cells, 0);
    const std::string& first = cell(cells, 1);
    const std::string& last = cell(cells, 2);
    const std::string& mass = cell(cells, 3);
    if (id.empty() && first.empty() && last.empty() && mass.empty()) break;
    if (out.athletes.size() == limit) {
      out.overflow = true;
      break;
    }
    // A mass typed with a decimal comma ("72,5" in a semicolon-separated
    // file) is read as the number it means.
    std::string massText = mass;
    if (massText.find('.') == std::string::npos) {
      const std::size_t comma = massText.find(',');
      if (comma != std::string::npos) massText[comma] = '.';
    }
    out.athletes.push_back({id, first, last, static_cast<float>(LeadingNumber(massText))});
  }
  return out;
}

SquadReadResult ReadSquadWorkbook(const std::string& path) {
  SquadReadResult out;
  const auto fail = [&](const std::string& reason) {
    out.error = "The squad file " + path + " could not be read: " + reason;
    return out;
  };
  FileReadResult file = ReadWholeFile(path, kFileLimit);
  if (!file.ok) return fail(file.error);
  // The heading row, the athletes and the row that ends them.
  const std::size_t limit = static_cast<std::size_t>(kSquadTableSize - 1);
  const SheetReadResult sheet = ReadFirstSheet(file.bytes, path, limit + 2);
  if (!sheet.ok()) return fail(sheet.error);
  SquadRows rows = AthletesOfSheet(sheet.rows, limit);
  out.athletes = std::move(rows.athletes);
  out.overflow = rows.overflow;
  return out;
}

}  // namespace torvane
