#include "training/training_file.hpp"

#include <charconv>
#include <cmath>

#include "common/date_text.hpp"
#include "common/number_text.hpp"
#include "common/text_file.hpp"

namespace torvane {

namespace {

constexpr std::string_view kCrLf = "\r\n";

// Items in print zones: each but the last followed by blanks to the next zone.
std::string InPrintZones(const std::vector<std::string>& items) {
  std::string line;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) PadToNextPrintZone(line);
    line += items[i];
  }
  return line;
}

std::string AthleteTitle(const SquadMember& athlete) {
  return athlete.FirstName + " " + athlete.LastName + " ID: " + athlete.Id;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// The whole text as a finite number (".5", "-.25", "1.5E-05").
std::optional<double> WholeNumber(std::string_view text) {
  text = Trimmed(text);
  if (text.empty()) return std::nullopt;
  std::string copy(text);
  char* end = nullptr;
  const double value = std::strtod(copy.c_str(), &end);
  if (end != copy.c_str() + copy.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::vector<std::string_view> SplitFields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = line.find(',', start);
    fields.push_back(
        line.substr(start, comma == std::string_view::npos ? line.npos : comma - start));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return fields;
}

std::optional<SquadMember> AthleteOf(std::string_view line1) {
  constexpr std::string_view kFor = "QLX Training File for ";
  constexpr std::string_view kId = " ID: ";
  const std::size_t at = line1.find(kFor);
  if (at == std::string_view::npos) return std::nullopt;
  const std::string_view rest = line1.substr(at + kFor.size());
  const std::size_t id = rest.rfind(kId);
  if (id == std::string_view::npos) return std::nullopt;
  const std::string_view name = rest.substr(0, id);
  SquadMember athlete;
  athlete.Id = std::string(Trimmed(rest.substr(id + kId.size())));
  // The writer puts one blank between first and last name; a first name of
  // its own blanks cannot be told apart, so the last name takes the rest.
  const std::size_t blank = name.find(' ');
  athlete.FirstName = std::string(name.substr(0, blank));
  if (blank != std::string_view::npos) athlete.LastName = std::string(name.substr(blank + 1));
  if (athlete.Id.empty() && athlete.FirstName.empty() && athlete.LastName.empty()) {
    return std::nullopt;
  }
  return athlete;
}

std::string LineError(std::size_t lineNumber, std::string_view what) {
  return "The training file cannot be loaded: line " + std::to_string(lineNumber) + " " +
         std::string(what) + ". Nothing was loaded.";
}

}  // namespace

std::string TrainingFileText(const RepetitionSet& set, const SquadMember& athlete, float weight,
                             bool flightPhase, const LocalDateTime& now) {
  std::string text;
  const auto line = [&text](std::string_view content) {
    text += content;
    text += kCrLf;
  };
  line(std::string(kTrainingFileMarker) + " for " + AthleteTitle(athlete));
  line(InPrintZones(
      {ShortNumericText(std::int64_t{set.RepCount}) + " reps completed on " + LongDateText(now),
       TimeAmPmText(now), "Mass: " + ShortNumericText(static_cast<double>(weight)) + " kg"}));
  line(InPrintZones({"repno", "maxheight", "minheight", "peakvel",
                     flightPhase ? "contacttm" : "concentrictm", "power", "workdone"}));
  const auto count = std::min<std::size_t>(static_cast<std::size_t>(std::max(set.RepCount, 0)),
                                           set.RepMaxHeight.size());
  std::string data;
  for (std::size_t i = 0; i < count; ++i) {
    data = std::to_string(i + 1);
    for (float value : {set.RepMaxHeight[i], set.RepMinHeight[i], set.RepPeakVelocity[i],
                        set.RepContactTime[i], set.RepPower[i], set.RepWork[i]}) {
      data += ',';
      data += ShortNumericTextUnsigned(static_cast<double>(value));
    }
    line(data);
  }
  line(kTrainingFileEnd);
  return Utf8ToCp1252(text);
}

TrainingFileContents ParseTrainingFile(std::string_view bytes) {
  TrainingFileContents file;
  const std::string text = Cp1252ToUtf8(bytes);
  const std::vector<std::string_view> lines = SplitLines(text);
  if (lines.empty() || lines[0].find(kTrainingFileMarker) == std::string_view::npos) {
    file.notTrainingFile = true;
    file.error = kNotTrainingFileMessage;
    return file;
  }
  file.line1 = std::string(lines[0]);
  if (lines.size() < 3) {
    file.error = LineError(lines.size() + 1,
                           "is missing: a training file has a count line and a "
                           "heading line before its repetitions");
    return file;
  }
  file.line2 = std::string(lines[1]);
  const std::size_t reps = file.line2.find("reps");
  if (reps == std::string::npos) {
    file.error = LineError(2, "does not say how many repetitions the set holds");
    return file;
  }
  const double announced = LeadingNumber(std::string_view(file.line2).substr(0, reps));
  if (!(announced >= 0) || announced != std::floor(announced) || announced > 1.0e7) {
    file.error = LineError(2, "announces no whole number of repetitions");
    return file;
  }
  const std::size_t mass = file.line2.find("Mass:");
  if (mass != std::string::npos) {
    const double kg = LeadingNumber(std::string_view(file.line2).substr(mass + 5));
    if (kg > 0 && std::isfinite(kg)) file.weight = static_cast<float>(kg);
  }
  file.athlete = AthleteOf(file.line1);

  const auto wanted = static_cast<std::int32_t>(announced);
  RepetitionSet& set = file.set;
  set.Clear();
  std::int32_t k = 0;
  for (std::size_t n = 3; n < lines.size() && k != wanted; ++n) {
    const std::string_view line = lines[n];
    if (Trimmed(line) == kTrainingFileEnd) break;
    const std::vector<std::string_view> fields = SplitFields(line);
    const std::size_t lineNumber = n + 1;
    if (fields.size() != 7) {
      file.error =
          LineError(lineNumber, "is not a repetition: it holds " + std::to_string(fields.size()) +
                                    " comma-separated fields, not 7");
      return file;
    }
    const std::optional<double> number = WholeNumber(fields[0]);
    if (!number || *number != k + 1) {
      file.error =
          LineError(lineNumber, "should hold repetition " + std::to_string(k + 1) +
                                    " but begins with \"" + OneLineText(Trimmed(fields[0])) + "\"");
      return file;
    }
    std::array<float, 6> values{};
    for (std::size_t f = 1; f < 7; ++f) {
      const std::optional<double> value = WholeNumber(fields[f]);
      if (!value) {
        file.error = LineError(lineNumber, "holds \"" + OneLineText(Trimmed(fields[f])) +
                                               "\" where a number belongs (field " +
                                               std::to_string(f + 1) + ")");
        return file;
      }
      values[f - 1] = static_cast<float>(*value);
    }
    set.EnsureIndex(k);
    const auto i = static_cast<std::size_t>(k);
    set.RepMaxHeight[i] = values[0];
    set.RepMinHeight[i] = values[1];
    set.RepPeakVelocity[i] = values[2];
    set.RepContactTime[i] = values[3];
    set.RepPower[i] = values[4];
    set.RepWork[i] = values[5];
    ++k;
  }
  set.RepCount = k;
  file.ok = true;
  return file;
}

std::vector<std::string> TrainingPrintLines(const RepetitionSet& set, const SquadMember& athlete,
                                            float weight, bool flightPhase,
                                            const LocalDateTime& now) {
  std::vector<std::string> lines;
  lines.push_back("QLX Training Data Set for " + AthleteTitle(athlete));
  lines.push_back(InPrintZones({LongDateText(now), TimeAmPmText(now),
                                "Mass: " + ShortNumericText(static_cast<double>(weight))}));
  lines.push_back(
      InPrintZones({"rep no", "max height", "min height", "peak vel",
                    flightPhase ? "contact tm" : "concentric tm", "power", "work done"}));
  const auto count = std::min<std::size_t>(static_cast<std::size_t>(std::max(set.RepCount, 0)),
                                           set.RepMaxHeight.size());
  for (std::size_t i = 0; i < count; ++i) {
    lines.push_back(InPrintZones(
        {ShortNumericText(static_cast<std::int64_t>(i + 1)),
         FormatNumber(set.RepMaxHeight[i], "0.0##"), FormatNumber(set.RepMinHeight[i], "0.0##"),
         FormatNumber(set.RepPeakVelocity[i], "0.0##"), FormatNumber(set.RepContactTime[i], "0.0"),
         FormatNumber(set.RepPower[i], "0.0"), FormatNumber(set.RepWork[i], "0.0")}));
  }
  return lines;
}

}  // namespace torvane
