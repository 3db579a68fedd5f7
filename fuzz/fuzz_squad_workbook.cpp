// The squad workbook readers on any bytes (.xlsx and .ods archives,
// comma-separated text): no crash, no read or write outside what they were
// given, and never more rows than asked for. The .xls form is read by FreeXL
// from a file and is not fuzzed here.
#include <string_view>

#include "fuzz_stream_support.hpp"
#include "squads/squad_workbook.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace torvane;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (DetectWorkbookFormat(bytes) == WorkbookFormat::Xls) return 0;
  constexpr std::size_t kRows = 64;
  const SheetReadResult sheet = ReadFirstSheet(bytes, "fuzz.xlsx", kRows);
  fuzz::Check(sheet.rows.size() <= kRows);
  const SquadRows squad = AthletesOfSheet(sheet.rows, 16);
  fuzz::Check(squad.athletes.size() <= 16);
  return 0;
}
