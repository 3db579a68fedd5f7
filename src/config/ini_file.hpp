#pragma once
// The initialisation-file primitives every settings access goes through.
//
// Line format: "[Section]" lines and "key=value" lines; section and key
// names match without regard to letter case; blanks around names and values
// are ignored when reading; an existing key is replaced in place, a new key
// goes at the end of its section, a new section at the end of the file.
// Values are cut to 254 characters. Lines are written with CR LF and read
// with CR LF, LF or CR. The file is 8-bit Windows-1252 on disk.

#include <string>
#include <string_view>

namespace torvane {

// The value of `key`, or `defaultValue` when the file, section or key is
// missing or the value is empty; a non-empty default is then written into the
// file. An empty path reads every key as its default and writes nothing.
std::string ReadIniValue(std::string_view section, std::string_view key,
                         std::string_view defaultValue, const std::string& path);

// Writes one key; true on success. A value holding a line break is refused
// (it would write a line of its own and so inject keys).
bool WriteIniValue(std::string_view section, std::string_view key, std::string_view value,
                   const std::string& path);

// "true" in any letter case gives true; everything else false.
bool TextToBool(std::string_view text);
std::string BoolToText(bool flag);

// Reads a key without writing anything: nullopt-like empty result with
// `found` false when absent or empty.
struct IniLookup {
  bool found = false;
  std::string value;
};
IniLookup LookupIniValue(std::string_view section, std::string_view key, const std::string& path);

}  // namespace torvane
