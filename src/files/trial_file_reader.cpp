// Reading a trial file into the trial in memory.

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

#include "common/number_text.hpp"
#include "common/physical_constants.hpp"
#include "common/text_file.hpp"
#include "files/text_fields.hpp"
#include "files/trial_file.hpp"

namespace torvane {

namespace {

// The largest file read: far more than a trial of 999 999 samples with force.
constexpr std::size_t kMaximumFileBytes = std::size_t{256} << 20;
// `samples` stays below this (data lines - 1).
constexpr std::size_t kMaximumDataLines = static_cast<std::size_t>(kMaximumSamples);
// Nothing is known of what the arrays hold.
constexpr std::size_t kUnknownUse = TrialFileReader::kUnknownUse;

std::string Quoted(std::string_view path) {
  return "\"" + std::string(path) + "\"";
}

// A fresh result that keeps the room of the data arrays of `r`.
void Reset(TrialReadResult& r) {
  std::vector<float> displacement = std::move(r.trial.displacement);
  std::vector<float> force = std::move(r.trial.force);
  r = TrialReadResult{};
  displacement.clear();
  force.clear();
  r.trial.displacement = std::move(displacement);
  r.trial.force = std::move(force);
}

// A refused file: nothing of what was parsed is kept.
void Refuse(TrialReadResult& r, TrialReadStatus status, std::string message) {
  Reset(r);
  r.status = status;
  r.message = std::move(message);
}

void NoTrialData(TrialReadResult& r, std::string_view path) {
  Refuse(r, TrialReadStatus::Unreadable, "The file " + Quoted(path) + " holds no trial data.");
}

void BadLine(TrialReadResult& r, std::string_view path, std::size_t line,
             std::string_view problem) {
  Refuse(r, TrialReadStatus::Unreadable,
         "The file " + Quoted(path) + " cannot be read as a trial: line " + std::to_string(line) +
             " " + std::string(problem) + ".");
}

void TooManySamples(TrialReadResult& r) {
  Refuse(r, TrialReadStatus::TooManySamples, kMaximumSamplesMessage);
}

const char* AfterLineEnd(const char* p, const char* end) {
  if (p < end && *p == '\r') ++p;
  if (p < end && *p == '\n') ++p;
  return p;
}

bool EndsField(const char* p, const char* end) {
  return p == end || IsBlank(*p) || *p == ',' || *p == '\r' || *p == '\n';
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// A number written with a decimal comma ("0,9990") reads as two: its whole
// part, and its fraction as the next field. Such a field has no point and a
// digit right after its comma.
bool MaybeDecimalComma(const char* fieldStart, const char* fieldEnd, const char* end) {
  return fieldEnd + 1 < end && *fieldEnd == ',' && IsDigit(fieldEnd[1]) &&
         std::find(fieldStart, fieldEnd, '.') == fieldEnd;
}

// Whether another number follows on the line, after blanks and one comma.
bool NumberFollows(const char* p, const char* end) {
  while (p < end && IsBlank(*p)) ++p;
  if (p < end && *p == ',') ++p;
  while (p < end && IsBlank(*p)) ++p;
  return p < end && (IsDigit(*p) || *p == '-' || *p == '+' || *p == '.');
}

// Reads data lines until the end of the file (kinds 6, 7 and 8), or exactly
// `wanted` of them (an import). A line holds a displacement and, when
// `withForce`, a force, separated by blanks or by one comma (and blanks);
// further fields are ignored, blank lines passed over. The numbers are read
// straight from the bytes, without first looking for the end of each line.
// False (with the refusal in `r`) for a line that cannot be read.
bool ReadDataLines(LineCursor& lines, std::string_view path, bool withForce, std::size_t wanted,
                   TrialReadResult& r) {
  ParsedTrialFile& out = r.trial;
  const char* p = lines.position();
  const char* const end = p + lines.remaining();
  // A first guess at the room needed, from the length of the first line (the
  // lines of a trial are much alike); counting every line end would cost a
  // good part of the parse.
  const char* firstEnd = static_cast<const char*>(std::memchr(p, '\n', lines.remaining()));
  const std::size_t firstLength =
      firstEnd ? static_cast<std::size_t>(firstEnd - p) + 1 : lines.remaining();
  const std::size_t estimate =
      std::min({lines.remaining() / std::max<std::size_t>(firstLength, 8) + 1, wanted,
                kMaximumDataLines + 1});
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
    if (!q || !EndsField(q, end)) {
      BadLine(r, path, lineNumber, "is not a number");
      return false;
    }
    bool decimalComma = MaybeDecimalComma(p, q, end);
    p = q;
    if (withForce) {
      while (p < end && IsBlank(*p)) ++p;
      if (p < end && *p == ',') {
        ++p;
        while (p < end && IsBlank(*p)) ++p;
      }
      if (p == end || *p == '\r' || *p == '\n') {
        BadLine(r, path, lineNumber, "has no force value");
        return false;
      }
      q = ParseSingleAt(p, end, force);
      if (!q || !EndsField(q, end)) {
        BadLine(r, path, lineNumber, "is not a number");
        return false;
      }
      decimalComma = decimalComma || MaybeDecimalComma(p, q, end);
      p = q;
    }
    // A line with more numbers than it holds values, one of them cut at a
    // comma, was written with decimal commas: read as it stands its values
    // would be wrong.
    if (decimalComma && NumberFollows(p, end)) {
      BadLine(r, path, lineNumber, "holds a decimal comma (numbers take a decimal point)");
      return false;
    }
    while (p < end && *p != '\r' && *p != '\n') ++p;
    p = AfterLineEnd(p, end);
    out.displacement.push_back(displacement);
    if (withForce) out.force.push_back(force);
  }
  return true;
}

// The text after the last `count` characters of a line, as a number (an
// import's header keeps its values in fixed positions at the line ends).
double NumberAtLineEnd(std::string_view line, std::size_t count) {
  return LeadingNumber(line.substr(line.size() > count ? line.size() - count : 0));
}

// A header frequency: a whole number of hertz that fits the trial's
// integer; nothing for any other value (1e30, 500.5, infinity).
std::optional<std::int32_t> WholeFrequency(double value) {
  if (!(value >= std::numeric_limits<std::int32_t>::min() &&
        value <= std::numeric_limits<std::int32_t>::max() && value == std::floor(value))) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(value);
}

void BadFrequency(TrialReadResult& r, std::string_view path, std::size_t line) {
  Refuse(r, TrialReadStatus::Unreadable,
         "The file " + Quoted(path) + " cannot be read as a trial: the frequency on line " +
             std::to_string(line) + " is not a whole number of hertz.");
}

// A UTF-8 byte-order mark, which some editors put at the start of a text.
std::string_view WithoutByteOrderMark(std::string_view bytes) {
  constexpr std::string_view kMark = "\xEF\xBB\xBF";
  return bytes.substr(0, kMark.size()) == kMark ? bytes.substr(kMark.size()) : bytes;
}

void ParseImport(std::string_view bytes, std::string_view path, TrialReadResult& r) {
  LineCursor lines(bytes);
  std::string_view header[12];
  for (std::string_view& line : header) {
    if (!lines.Next(line)) return NoTrialData(r, path);
  }
  const double declared = NumberAtLineEnd(header[2], 5);
  if (!(declared >= 1.0)) return NoTrialData(r, path);
  if (declared >= static_cast<double>(kMaximumSamples)) return TooManySamples(r);
  ParsedTrialFile& t = r.trial;
  t.kind = kFileKindImport;
  t.samples = ToInt32(declared);
  const std::optional<std::int32_t> frequency = WholeFrequency(NumberAtLineEnd(header[3], 11));
  if (!frequency) return BadFrequency(r, path, 4);
  t.frequency = *frequency;
  // The body weight is given in newtons.
  t.weight = static_cast<float>(NumberAtLineEnd(header[9], 11) / kGravity);
  // An export holds measured force.
  t.recordForce = true;
  const auto wanted = static_cast<std::size_t>(t.samples);
  if (!ReadDataLines(lines, path, true, wanted, r)) return;
  if (t.displacement.size() < wanted) {
    if (t.displacement.empty()) return NoTrialData(r, path);
    return Refuse(r, TrialReadStatus::Unreadable,
                  "The file " + Quoted(path) + " ends after " +
                      std::to_string(t.displacement.size()) + " of its " + std::to_string(wanted) +
                      " data lines.");
  }
  r.status = TrialReadStatus::Ok;
}

void IncompleteHeader(TrialReadResult& r, std::string_view path, std::size_t line) {
  Refuse(r, TrialReadStatus::Unreadable,
         "The file " + Quoted(path) + " cannot be read as a trial: the header on line " +
             std::to_string(line) + " is incomplete.");
}

// ParseTrialFile into `r`, whose data arrays keep their room.
void ParseTrialFileInto(std::string_view bytes, std::string_view path, TrialReadResult& r) {
  Reset(r);
  bytes = WithoutByteOrderMark(bytes);
  const std::int16_t kind = RecogniseTrialFileKind(bytes);
  if (kind == kFileKindTraining) {
    return Refuse(r, TrialReadStatus::TrainingFile, kTrainingFileRefusal);
  }
  if (kind == kFileKindImport) return ParseImport(bytes, path, r);

  ParsedTrialFile& t = r.trial;
  t.kind = kind;
  LineCursor lines(bytes);
  std::string_view line;
  if (kind == kFileKindHeaderless) {
    // Frequency and a second integer, which nothing uses.
    const bool onlyBlanks = std::all_of(
        bytes.begin(), bytes.end(), [](char c) { return IsBlank(c) || c == '\r' || c == '\n'; });
    if (onlyBlanks) return NoTrialData(r, path);
    lines.Next(line);
    const std::optional<double> frequency = FieldReader(line).Number();
    if (!frequency) {
      return Refuse(r, TrialReadStatus::Unreadable,
                    "The file " + Quoted(path) + " is not a trial data file.");
    }
    const std::optional<std::int32_t> hertz = WholeFrequency(*frequency);
    if (!hertz) return BadFrequency(r, path, 1);
    t.frequency = *hertz;
    // Force is always taken as recorded in a file without a header.
    t.recordForce = true;
  } else {
    lines.Next(line);  // the title
    if (!lines.Next(line)) return IncompleteHeader(r, path, 2);
    const std::optional<std::string_view> dateTime = FieldReader(line).Text();
    if (!dateTime) return IncompleteHeader(r, path, 2);
    t.collectionDateTime = Cp1252ToUtf8(*dateTime);
    if (!lines.Next(line)) return IncompleteHeader(r, path, 3);
    FieldReader reader(line);
    const std::optional<double> frequency = reader.Number();
    const std::optional<double> forceFlag = reader.Number();
    const std::optional<double> weight = reader.Number();
    if (!frequency || !forceFlag || !weight) return IncompleteHeader(r, path, 3);
    const std::optional<std::int32_t> hertz = WholeFrequency(*frequency);
    if (!hertz) return BadFrequency(r, path, 3);
    t.frequency = *hertz;
    t.recordForce = ToInt32(*forceFlag) == 1;
    t.weight = static_cast<float>(*weight);
    if (kind == kFileKindVersion2) {
      const std::optional<std::string_view> id = reader.Text();
      const std::optional<std::string_view> firstName = reader.Text();
      const std::optional<std::string_view> lastName = reader.Text();
      const std::optional<double> bodyMass = reader.Number();
      if (!id || !firstName || !lastName || !bodyMass) return IncompleteHeader(r, path, 3);
      t.athlete = SquadMember{Cp1252ToUtf8(*id), Cp1252ToUtf8(*firstName), Cp1252ToUtf8(*lastName),
                              static_cast<float>(*bodyMass)};
    }
  }
  if (!ReadDataLines(lines, path, t.recordForce, kMaximumDataLines + 1, r)) return;
  if (t.displacement.empty()) return NoTrialData(r, path);
  if (t.displacement.size() > kMaximumDataLines) return TooManySamples(r);
  // The file stores one line more than the trial has samples.
  t.samples = static_cast<std::int32_t>(t.displacement.size()) - 1;
  r.status = TrialReadStatus::Ok;
}

// Makes a parsed trial the trial in memory. `usedPoints`: every array holds
// 0 from this index on, or nothing is known (npos). Returns the same for the
// arrays as they are left.
std::size_t TakeTrial(const TrialFileContext& files, const ParsedTrialFile& t,
                      const std::string& path, std::size_t usedPoints) {
  TrialDataSet& trial = files.trial;
  SettingsRecord& settings = files.settings;
  const std::size_t lines = t.displacement.size();
  if (t.kind == kFileKindImport) {
    // An import keeps the arrays when they have room; what lies beyond the
    // import is cleared, so that no value of the previous trial is saved
    // with it.
    if (static_cast<std::int64_t>(trial.Displacement.size()) < t.samples + 3) {
      DimensionDataArrays(trial, t.samples);
      usedPoints = 0;
    }
    std::fill(trial.Displacement.begin() + static_cast<std::ptrdiff_t>(lines),
              trial.Displacement.end(), 0.0f);
    std::fill(trial.Force.begin() + static_cast<std::ptrdiff_t>(lines), trial.Force.end(), 0.0f);
    // The other arrays keep what they held.
    if (usedPoints != kUnknownUse) usedPoints = std::max(usedPoints, lines);
  } else {
    const auto points = static_cast<std::int64_t>(lines) + 1000;
    if (usedPoints == kUnknownUse) {
      DimensionDataArrays(trial, points);
    } else {
      RedimensionDataArrays(trial, points, usedPoints);
    }
    usedPoints = lines;
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
  // The file's athlete goes with the trial; the squad table is the squad's.
  trial.Athlete = t.athlete;
  trial.FileKind = t.kind;
  trial.DataFileName = path;
  return usedPoints;
}

}  // namespace

std::int16_t RecogniseTrialFileKind(std::string_view bytes) {
  LineCursor lines(WithoutByteOrderMark(bytes));
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
  TrialReadResult r;
  ParseTrialFileInto(bytes, path, r);
  return r;
}

TrialReadResult ReadTrialFile(const TrialFileContext& files, const std::string& path) {
  TrialReadResult r;
  const FileReadResult file = ReadWholeFile(path, kMaximumFileBytes);
  if (!file.ok) {
    Refuse(r, TrialReadStatus::Unreadable,
           "The file " + Quoted(path) + " cannot be read: " + file.error + ".");
    return r;
  }
  ParseTrialFileInto(file.bytes, path, r);
  if (r.ok()) TakeTrial(files, r.trial, path, kUnknownUse);
  return r;
}

TrialFileReader::ArraysSeen TrialFileReader::Seen(const TrialDataSet& trial) {
  return {trial.Displacement.data(),    trial.Velocity.data(),       trial.Acceleration.data(),
          trial.Force.data(),           trial.Power.data(),          trial.RawForce1.data(),
          trial.RawForce2.data(),       trial.RawForce3.data(),      trial.RawForce4.data(),
          trial.RawDisplacement.data(), trial.RawChannel6.data(),    trial.RawSampleBuffer.data(),
          trial.Displacement.size(),    trial.RawSampleBuffer.size()};
}

const TrialReadResult& TrialFileReader::Read(const TrialFileContext& files,
                                             const std::string& path) {
  std::string error;
  if (!ReadWholeFileInto(path, bytes_, error, kMaximumFileBytes)) {
    Refuse(result_, TrialReadStatus::Unreadable,
           "The file " + Quoted(path) + " cannot be read: " + error + ".");
    return result_;
  }
  ParseTrialFileInto(bytes_, path, result_);
  if (!result_.ok()) return result_;
  TrialDataSet& trial = files.trial;
  // Arrays that are not the ones this reader left (another trial, or
  // re-dimensioned since) are dimensioned in full.
  std::size_t used = trial_ == &trial && Seen(trial) == seen_ ? usedPoints_ : kUnknownUse;
  assert(used == kUnknownUse || DataArraysClearFrom(trial, used));
  usedPoints_ = TakeTrial(files, result_.trial, path, used);
  trial_ = &trial;
  seen_ = Seen(trial);
  return result_;
}

void TrialFileReader::Forget() {
  trial_ = nullptr;
  usedPoints_ = kUnknownUse;
}

}  // namespace torvane
