#include "config/ini_file.hpp"

#include <algorithm>
#include <vector>

#include "common/text_compare.hpp"
#include "common/text_file.hpp"

namespace torvane {

namespace {

constexpr std::size_t kMaxValueLength = 254;

std::string_view Trim(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

// "[Name]" -> Name; not a section line -> nullopt.
bool SectionName(std::string_view line, std::string_view& name) {
  const std::string_view t = Trim(line);
  if (t.size() < 2 || t.front() != '[') return false;
  const std::size_t close = t.find(']');
  if (close == std::string_view::npos) return false;
  name = Trim(t.substr(1, close - 1));
  return true;
}

// "key=value" -> key and value (both trimmed); comments and other lines -> false.
bool KeyLine(std::string_view line, std::string_view& key, std::string_view& value) {
  const std::string_view t = Trim(line);
  if (t.empty() || t.front() == ';') return false;
  const std::size_t eq = t.find('=');
  if (eq == std::string_view::npos) return false;
  key = Trim(t.substr(0, eq));
  value = Trim(t.substr(eq + 1));
  return true;
}

// A section's line range [header, end) and the line after its last entry.
struct SectionSpan {
  bool found = false;
  std::size_t header = 0;
  std::size_t end = 0;          // first line of the next section, or the line count
  std::size_t afterLast = 0;    // where a new key goes
};

SectionSpan FindSection(const std::vector<std::string_view>& lines, std::string_view section) {
  SectionSpan span;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string_view name;
    if (!SectionName(lines[i], name)) continue;
    if (span.found) {
      span.end = i;
      return span;
    }
    if (EqualsIgnoreCase(name, section)) {
      span.found = true;
      span.header = i;
      span.afterLast = i + 1;
    }
  }
  span.end = lines.size();
  return span;
}

void CompleteAfterLast(const std::vector<std::string_view>& lines, SectionSpan& span) {
  for (std::size_t i = span.header + 1; i < span.end; ++i) {
    if (!Trim(lines[i]).empty()) span.afterLast = i + 1;
  }
}

bool HasLineBreak(std::string_view s) {
  return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

}  // namespace

IniLookup LookupIniValue(std::string_view section, std::string_view key, const std::string& path) {
  IniLookup result;
  if (path.empty()) return result;
  const FileReadResult file = ReadWholeFile(path, std::size_t{16} << 20);
  if (!file.ok) return result;
  const std::vector<std::string_view> lines = SplitLines(file.bytes);
  const SectionSpan span = FindSection(lines, section);
  if (!span.found) return result;
  for (std::size_t i = span.header + 1; i < span.end; ++i) {
    std::string_view k, v;
    if (!KeyLine(lines[i], k, v) || !EqualsIgnoreCase(k, key)) continue;
    // A value wholly in quotes is given without them, as the platform did.
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
      v = v.substr(1, v.size() - 2);
    }
    if (v.size() > kMaxValueLength) v = v.substr(0, kMaxValueLength);
    if (v.empty()) return result;
    result.found = true;
    result.value = Cp1252ToUtf8(v);
    return result;
  }
  return result;
}

std::string ReadIniValue(std::string_view section, std::string_view key,
                         std::string_view defaultValue, const std::string& path) {
  IniLookup found = LookupIniValue(section, key, path);
  if (found.found) return std::move(found.value);
  if (!defaultValue.empty()) WriteIniValue(section, key, defaultValue, path);
  return std::string(defaultValue);
}

bool WriteIniValue(std::string_view section, std::string_view key, std::string_view value,
                   const std::string& path) {
  if (path.empty() || section.empty() || key.empty()) return false;
  if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) return false;
  if (section.find(']') != std::string_view::npos || key.find('=') != std::string_view::npos)
    return false;
  FileReadResult file = ReadWholeFile(path, std::size_t{16} << 20);
  if (!file.ok) file.bytes.clear();
  const std::vector<std::string_view> lines = SplitLines(file.bytes);
  const std::string keyLine =
      Utf8ToCp1252(key) + "=" + Utf8ToCp1252(value);

  std::vector<std::string_view> out;
  out.reserve(lines.size() + 2);
  SectionSpan span = FindSection(lines, section);
  const std::string header = "[" + Utf8ToCp1252(section) + "]";
  if (!span.found) {
    out = lines;
    out.push_back(header);
    out.push_back(keyLine);
  } else {
    CompleteAfterLast(lines, span);
    std::size_t replace = lines.size();
    for (std::size_t i = span.header + 1; i < span.end; ++i) {
      std::string_view k, v;
      if (KeyLine(lines[i], k, v) && EqualsIgnoreCase(k, key)) {
        replace = i;
        break;
      }
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (i == replace) {
        out.push_back(keyLine);
        continue;
      }
      if (replace == lines.size() && i == span.afterLast) out.push_back(keyLine);
      out.push_back(lines[i]);
    }
    if (replace == lines.size() && span.afterLast == lines.size()) out.push_back(keyLine);
  }
  std::string text;
  std::size_t size = 0;
  for (auto l : out) size += l.size() + 2;
  text.reserve(size);
  for (auto l : out) {
    text.append(l);
    text.append("\r\n");
  }
  return WriteFileReplacing(path, text).empty();
}

bool TextToBool(std::string_view text) {
  return EqualsIgnoreCase(text, "true");
}

std::string BoolToText(bool flag) { return flag ? "true" : "false"; }

}  // namespace torvane
