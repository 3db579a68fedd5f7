// torvane-cli squad: reads a squad workbook as the squad window does and
// lists its athletes, for scripts and for checking a workbook.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <ostream>
#include <string_view>

#include "cli/analyse_output.hpp"
#include "cli/commands.hpp"
#include "squads/squad_workbook.hpp"

namespace torvane::cli {

namespace {

constexpr std::string_view kSquadUsage = "usage: torvane-cli squad FILE [--json]\n";

// The mass as the shortest text that reads back as the same single value.
std::string MassText(float mass) {
  if (!std::isfinite(mass)) return "null";
  char buffer[32];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, mass);
  return std::string(buffer, r.ptr);
}

std::string JsonLine(const SquadMember& m) {
  std::string out = "{\"Id\": ";
  AppendJsonString(out, m.Id);
  out += ", \"FirstName\": ";
  AppendJsonString(out, m.FirstName);
  out += ", \"LastName\": ";
  AppendJsonString(out, m.LastName);
  out += ", \"BodyMass\": " + MassText(m.BodyMass) + "}\n";
  return out;
}

std::string Padded(const std::string& text, std::size_t width) {
  return text + std::string(width > text.size() ? width - text.size() : 0, ' ');
}

std::string Table(const std::vector<SquadMember>& athletes) {
  std::size_t id = 2, first = 9, last = 8;
  for (const SquadMember& m : athletes) {
    id = std::max(id, m.Id.size());
    first = std::max(first, m.FirstName.size());
    last = std::max(last, m.LastName.size());
  }
  std::string out = Padded("Id", id) + "  " + Padded("FirstName", first) + "  " +
                    Padded("LastName", last) + "  BodyMass\n";
  for (const SquadMember& m : athletes) {
    out += Padded(m.Id, id) + "  " + Padded(m.FirstName, first) + "  " + Padded(m.LastName, last) +
           "  " + MassText(m.BodyMass) + "\n";
  }
  return out;
}

}  // namespace

int RunSquad(Args args, Io& io) {
  std::string file;
  bool json = false;
  for (const std::string& a : args) {
    if (a == "--json") {
      json = true;
    } else if (a == "--help" || a == "-h") {
      io.out << kSquadUsage;
      return 0;
    } else if (!a.empty() && a[0] == '-' && a != "-") {
      io.err << "torvane-cli squad: unknown option " << a << "\n" << kSquadUsage;
      return 2;
    } else if (file.empty()) {
      file = a;
    } else {
      io.err << "torvane-cli squad: one workbook at a time\n" << kSquadUsage;
      return 2;
    }
  }
  if (file.empty()) {
    io.err << "torvane-cli squad: no workbook named\n" << kSquadUsage;
    return 2;
  }
  const SquadReadResult read = ReadSquadWorkbook(file);
  if (!read.ok()) {
    io.err << "torvane-cli squad: " << read.error << "\n";
    return 1;
  }
  if (read.overflow) {
    io.err << "torvane-cli squad: " << file << " holds more athletes than the squad list takes; "
           << "the first " << read.athletes.size() << " are listed\n";
  }
  if (json) {
    for (const SquadMember& m : read.athletes) io.out << JsonLine(m);
  } else {
    io.out << Table(read.athletes);
  }
  return 0;
}

}  // namespace torvane::cli
