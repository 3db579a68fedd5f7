#include "link/byte_port.hpp"

#include <charconv>
#include <vector>

namespace torvane {

namespace {

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

bool ReadNumber(std::string_view text, std::uint32_t& value) {
  text = Trimmed(text);
  if (text.empty()) return false;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
  return r.ec == std::errc() && r.ptr == text.data() + text.size();
}

}  // namespace

std::optional<SerialSettings> ParseSerialSettings(std::string_view text) {
  std::vector<std::string_view> parts;
  for (;;) {
    const std::size_t comma = text.find(',');
    parts.push_back(text.substr(0, comma));
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  if (parts.size() != 4) return std::nullopt;
  SerialSettings s;
  std::uint32_t dataBits = 0, stopBits = 0;
  if (!ReadNumber(parts[0], s.baud) || s.baud == 0) return std::nullopt;
  const std::string_view parity = Trimmed(parts[1]);
  if (parity == "N" || parity == "n") {
    s.parity = Parity::None;
  } else if (parity == "E" || parity == "e") {
    s.parity = Parity::Even;
  } else if (parity == "O" || parity == "o") {
    s.parity = Parity::Odd;
  } else {
    return std::nullopt;
  }
  if (!ReadNumber(parts[2], dataBits) || dataBits < 5 || dataBits > 8) return std::nullopt;
  if (!ReadNumber(parts[3], stopBits) || stopBits < 1 || stopBits > 2) return std::nullopt;
  s.dataBits = static_cast<int>(dataBits);
  s.stopBits = static_cast<int>(stopBits);
  return s;
}

std::string SerialSettingsText(const SerialSettings& s) {
  const char parity = s.parity == Parity::None ? 'N' : s.parity == Parity::Even ? 'E' : 'O';
  return std::to_string(s.baud) + "," + parity + "," + std::to_string(s.dataBits) + "," +
         std::to_string(s.stopBits);
}

}  // namespace torvane
