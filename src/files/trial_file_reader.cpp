// Reading a trial file into the trial in memory.

#include <algorithm>
#include <cstddef>
#include <string>

#include "common/number_text.hpp"
#include "common/text_file.hpp"
#include "files/text_fields.hpp"
#include "files/trial_file.hpp"
#include "shell/session.hpp"

namespace torvane {

namespace {

// The largest file read: far more than a trial of 999 999 samples with force.
constexpr std::size_t kMaximumFileBytes = std::size_t{256} << 20;
// `samples` stays below this (data lines - 1).
constexpr std::size_t kMaximumDataLines = static_cast<std::size_t>(kMaximumSamples);
// Body weight of a force-platform export is given in newtons.
constexpr double kExportGravity = 9.807;

std::string Quoted(std::string_view path) {
  return "\"" + std::string(path) + "\"";
}

TrialReadResult Refuse(TrialReadStatus status, std::string message) {
  TrialReadResult r;
  r.status = status;
  r.message = std::move(message);
  return r;
}

TrialReadResult NoTrialData(std::string_view path) {
  return Refuse(TrialReadStatus::Unreadable, "The file " + Quoted(path) + " holds no trial data.");
}

TrialReadResult BadLine(std::string_view path, std::size_t line, std::string_view problem) {
  return Refuse(TrialReadStatus::Unreadable,
                "The file " + Quoted(path) + " cannot be read as a trial: line " +
                    std::to_string(line) + " " + std::string(problem) + ".");
}

TrialReadResult TooManySamples() {
  return Refuse(TrialReadStatus::TooManySamples, kMaximumSamplesMessage);
}

const char* AfterLineEnd(const char* p, const char* end) {
  if (p < end && *p == '\r') ++p;
  if (p < end && *p == '\n') ++p;
  return p;
}

bool EndsField(const char* p, const char* end) {
  return p == end || IsBlank(*p) || *p == ',' || *p == '\r' || *p == '\n';
}

// Reads data lines until the end of the file (kinds 6, 7 and 8), or exactly
// `wanted` of them (an import). A line holds a displacement and, when
// `withForce`, a force, separated by blanks or by one comma (and blanks);
// further fields are ignored, blank lines passed over. The numbers are read
// straight from the bytes, without first looking for the end of each line.
TrialReadResult ReadDataLines(LineCursor& lines, std::string_view path, bool withForce,
                              std::size_t wanted, ParsedTrialFile& out) {
  const char* p = lines.position();
  const char* const end = p + lines.remaining();
  // A first guess at the room needed, from the line ends that remain.
  const auto lineEnds = static_cast<std::size_t>(std::count(p, end, '\n'));
  const std::size_t estimate = std::min(lineEnds + 1, std::min(wanted, kMaximumDataLines + 1));
  out.displacement.reserve(estimate);
  if (withForce) out.force.reserve(estimate);
  std::size_t lineNumber = lines.number();
  float displacement = 0;
  float force = 0;
  while (out.displacement.size() < wanted && p < end) {
    ++lineNumber;
    while (p < end && IsBlank(*p)) ++p;
    if (p == end) break;
    if (*p == '\r' || *p == '\n') {
      p = AfterLineEnd(p, end);
      continue;
    }
    const char* q = ParseSingleAt(p, end, displacement);
    if (!q || !EndsField(q, end)) return BadLine(path, lineNumber, "is not a number");
    p = q;
    if (withForce) {
      while (p < end && IsBlank(*p)) ++p;
      if (p < end && *p == ',') {
        ++p;
        while (p < end && IsBlank(*p)) ++p;
      }
      if (p == end || *p == '\r' || *p == '\n') {
        return BadLine(path, lineNumber, "has no force value");
      }
      q = ParseSingleAt(p, end, force);
      if (!q || !EndsField(q, end)) return BadLine(path, lineNumber, "is not a number");
      p = q;
    }
    while (p < end && *p != '\r' && *p != '\n') ++p;
    p = AfterLineEnd(p, end);
    out.displacement.push_back(displacement);
    if (withForce) out.force.push_back(force);
  }
  TrialReadResult r;
  r.status = TrialReadStatus::Ok;
  return r;
}

// The text after the last `count` characters of a line, as a number (an
// import's header keeps its values in fixed positions at the line ends).
double NumberAtLineEnd(std::string_view line, std::size_t count) {
  return LeadingNumber(line.substr(line.size() > count ? line.size() - count : 0));
}

TrialReadResult ParseImport(std::string_view bytes, std::string_view path) {
  LineCursor lines(bytes);
  std::string_view header[12];
  for (std::string_view& line : header) {
    if (!lines.Next(line)) return NoTrialData(path);
  }
  const double declared = NumberAtLineEnd(header[2], 5);
  if (!(declared >= 1.0)) return NoTrialData(path);
  if (declared >= static_cast<double>(kMaximumSamples)) return TooManySamples();
  TrialReadResult r;
  ParsedTrialFile& t = r.trial;
  t.kind = kFileKindImport;
  t.samples = ToInt32(declared);
  t.frequency = ToInt32(NumberAtLineEnd(header[3], 11));
  t.weight = static_cast<float>(NumberAtLineEnd(header[9], 11) / kExportGravity);
  // An export holds measured force.
  t.recordForce = true;
  const auto wanted = static_cast<std::size_t>(t.samples);
  TrialReadResult lineResult = ReadDataLines(lines, path, true, wanted, t);
  if (!lineResult.ok()) return lineResult;
  if (t.displacement.size() < wanted) {
    if (t.displacement.empty()) return NoTrialData(path);
    return Refuse(TrialReadStatus::Unreadable, "The file " + Quoted(path) + " ends after " +
                                                   std::to_string(t.displacement.size()) +
                                                   " of its " + std::to_string(wanted) +
                                                   " data lines.");
  }
  r.status = TrialReadStatus::Ok;
  return r;
}

TrialReadResult IncompleteHeader(std::string_view path, std::size_t line) {
  return Refuse(TrialReadStatus::Unreadable, "The file " + Quoted(path) +
                                                 " cannot be read as a trial: the header on line " +
                                                 std::to_string(line) + " is incomplete.");
}

}  // namespace

std::int16_t RecogniseTrialFileKind(std::string_view bytes) {
  LineCursor lines(bytes);
  std::string_view first;
  std::string_view field;
  if (lines.Next(first)) {
    FieldReader reader(first);
    field = reader.Text().value_or(std::string_view());
  }
  if (field == kForcePlatformExportTitle) return kFileKindImport;
  if (field.substr(0, kTrainingFileTitle.size()) == kTrainingFileTitle) return kFileKindTraining;
  if (field == kTrialFileVersion1Title) return kFileKindVersion1;
  if (field == kTrialFileVersion2Title) return kFileKindVersion2;
  return kFileKindHeaderless;
}

TrialReadResult ParseTrialFile(std::string_view bytes, std::string_view path) {
  const std::int16_t kind = RecogniseTrialFileKind(bytes);
  if (kind == kFileKindTraining) return Refuse(TrialReadStatus::TrainingFile, kTrainingFileRefusal);
  if (kind == kFileKindImport) return ParseImport(bytes, path);

  TrialReadResult r;
  ParsedTrialFile& t = r.trial;
  t.kind = kind;
  LineCursor lines(bytes);
  std::string_view line;
  if (kind == kFileKindHeaderless) {
    // Frequency and a second integer, which nothing uses.
    const bool onlyBlanks = std::all_of(
        bytes.begin(), bytes.end(), [](char c) { return IsBlank(c) || c == '\r' || c == '\n'; });
    if (onlyBlanks) return NoTrialData(path);
    lines.Next(line);
    const std::optional<double> frequency = FieldReader(line).Number();
    if (!frequency) {
      return Refuse(TrialReadStatus::Unreadable,
                    "The file " + Quoted(path) + " is not a trial data file.");
    }
    t.frequency = ToInt32(*frequency);
    // Force is always taken as recorded in a file without a header.
    t.recordForce = true;
  } else {
    lines.Next(line);  // the title
    if (!lines.Next(line)) return IncompleteHeader(path, 2);
    const std::optional<std::string_view> dateTime = FieldReader(line).Text();
    if (!dateTime) return IncompleteHeader(path, 2);
    t.collectionDateTime = Cp1252ToUtf8(*dateTime);
    if (!lines.Next(line)) return IncompleteHeader(path, 3);
    FieldReader reader(line);
    const std::optional<double> frequency = reader.Number();
    const std::optional<double> forceFlag = reader.Number();
    const std::optional<double> weight = reader.Number();
    if (!frequency || !forceFlag || !weight) return IncompleteHeader(path, 3);
    t.frequency = ToInt32(*frequency);
    t.recordForce = ToInt32(*forceFlag) == 1;
    t.weight = static_cast<float>(*weight);
    if (kind == kFileKindVersion2) {
      const std::optional<std::string_view> id = reader.Text();
      const std::optional<std::string_view> firstName = reader.Text();
      const std::optional<std::string_view> lastName = reader.Text();
      const std::optional<double> bodyMass = reader.Number();
      if (!id || !firstName || !lastName || !bodyMass) return IncompleteHeader(path, 3);
      t.athlete = SquadMember{Cp1252ToUtf8(*id), Cp1252ToUtf8(*firstName), Cp1252ToUtf8(*lastName),
                              static_cast<float>(*bodyMass)};
    }
  }
  TrialReadResult lineResult = ReadDataLines(lines, path, t.recordForce, kMaximumDataLines + 1, t);
  if (!lineResult.ok()) return lineResult;
  if (t.displacement.empty()) return NoTrialData(path);
  if (t.displacement.size() > kMaximumDataLines) return TooManySamples();
  // The file stores one line more than the trial has samples.
  t.samples = static_cast<std::int32_t>(t.displacement.size()) - 1;
  r.status = TrialReadStatus::Ok;
  return r;
}

TrialReadResult ReadTrialFile(Session& session, const std::string& path) {
  const FileReadResult file = ReadWholeFile(path, kMaximumFileBytes);
  if (!file.ok) {
    return Refuse(TrialReadStatus::Unreadable,
                  "The file " + Quoted(path) + " cannot be read: " + file.error + ".");
  }
  TrialReadResult result = ParseTrialFile(file.bytes, path);
  if (!result.ok()) return result;

  const ParsedTrialFile& t = result.trial;
  TrialDataSet& trial = session.trial;
  SettingsRecord& settings = session.settings;
  const std::size_t lines = t.displacement.size();
  if (t.kind == kFileKindImport) {
    // An import keeps the arrays when they have room; what lies beyond the
    // import is cleared, so that no value of the previous trial is saved
    // with it.
    if (static_cast<std::int64_t>(trial.Displacement.size()) < t.samples + 3) {
      DimensionDataArrays(trial, t.samples);
    }
    std::fill(trial.Displacement.begin() + static_cast<std::ptrdiff_t>(lines),
              trial.Displacement.end(), 0.0f);
    std::fill(trial.Force.begin() + static_cast<std::ptrdiff_t>(lines), trial.Force.end(), 0.0f);
  } else {
    DimensionDataArrays(trial, static_cast<std::int64_t>(lines) + 1000);
  }
  std::copy(t.displacement.begin(), t.displacement.end(), trial.Displacement.begin());
  if (t.recordForce) std::copy(t.force.begin(), t.force.end(), trial.Force.begin());

  settings.samples = t.samples;
  settings.frequency = t.frequency;
  settings.RecordForce = t.recordForce;
  if (t.weight) settings.weight = *t.weight;
  // A file without a date (an import, a headerless file) leaves none: the
  // date of the previous trial does not belong to this one.
  trial.CollectionDateTime = t.collectionDateTime;
  if (t.athlete) session.squad.Current() = *t.athlete;
  trial.FileKind = t.kind;
  trial.DataFileName = path;
  return result;
}

}  // namespace torvane
