#pragma once
// The trial data file (".qlx"): a three-line header and one line per sample
// holding displacement and, when force was recorded, force. Version 2 is
// written; version 1, the headerless legacy form and force-platform exports
// ("BioWare 3.0 Export") are read; training files are refused.
//
// Text rules: Windows-1252, lines ended by CR LF (CR LF or LF read), decimal
// point ".". Header fields are separated by commas, text fields are in double
// quotes; numbers are split at commas and blanks.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/clock.hpp"
#include "files/trial_file_context.hpp"
#include "squads/squad_table.hpp"
#include "trial/analysis_view.hpp"
#include "trial/trial_data_set.hpp"

namespace torvane {

inline constexpr std::string_view kTrialFileVersion1Title = "QLX Data File";
inline constexpr std::string_view kTrialFileVersion2Title = "QLX Data File Version 2";
inline constexpr std::string_view kForcePlatformExportTitle = "BioWare 3.0 Export";
inline constexpr std::string_view kTrainingFileTitle = "QLX Training File";

inline constexpr const char* kTrainingFileRefusal =
    "Selected File is a QLX Training File. Open from the Training Window.";
inline constexpr const char* kMaximumSamplesMessage =
    "Maximum data size exceeded. Reduce sample frequency or duration";
inline constexpr const char* kMaximumSamplesTitle = "Maximum sample number exceeded";

// The kind of a file from its first field: 4 force-platform export, 5
// training file, 6 version 1, 7 version 2, 8 anything else (headerless).
// A training file is recognised by a first field that begins with "QLX
// Training File": the training-file writer follows it with the athlete.
std::int16_t RecogniseTrialFileKind(std::string_view bytes);

// ---- Reading ------------------------------------------------------------

// A trial as read from a file, before it replaces the trial in memory.
struct ParsedTrialFile {
  std::int16_t kind = kFileKindNone;
  std::string collectionDateTime;  // kinds 6 and 7
  std::int32_t frequency = 0;
  bool recordForce = false;
  std::optional<float> weight;         // kinds 4, 6, 7
  std::optional<SquadMember> athlete;  // kind 7
  std::int32_t samples = 0;            // data lines - 1; kind 4: the header's count
  std::vector<float> displacement;
  std::vector<float> force;  // empty when force was not recorded
};

enum class TrialReadStatus {
  Ok,
  TrainingFile,    // refused: kTrainingFileRefusal
  TooManySamples,  // refused: kMaximumSamplesMessage
  Unreadable,      // refused: the file could not be read or holds no trial
};

struct TrialReadResult {
  TrialReadStatus status = TrialReadStatus::Unreadable;
  std::string message;  // for a refusal: a clear text naming the file (and line)
  ParsedTrialFile trial;
  bool ok() const { return status == TrialReadStatus::Ok; }
};

// Parses the bytes of a trial file; `path` only names the file in messages.
TrialReadResult ParseTrialFile(std::string_view bytes, std::string_view path);

// Reads the file and, when it can be read, makes it the trial in memory:
// the arrays are dimensioned for the data lines + 1000 (an import keeps the
// arrays unless it needs more room), and samples, frequency, weight,
// RecordForce, CollectionDateTime, FileKind, DataFileName and the trial's Athlete
// (version 2; none otherwise) are replaced, never the squad. A refused file changes nothing.
// No dialog is shown: OpenTrialFile does that.
TrialReadResult ReadTrialFile(const TrialFileContext& files, const std::string& path);

// Reads one trial file after another into a trial in memory, as a batch
// worker does: each Read has exactly the outcome of ReadTrialFile, result and
// trial alike, but the file's bytes and the parsed values keep their room
// from file to file, and the arrays are not cleared in full each time (some
// 1.7 MB) but only as far as the previous file reached. That holds while,
// between two reads, the trial arrays are written only within the
// data lines of the file last read (the filters and derivations of a trial
// write samples 0 … samples − 1) and are not re-dimensioned; arrays
// re-dimensioned or exchanged are noticed and dimensioned in full. After
// any other writing to them, call Forget().
class TrialFileReader {
 public:
  static constexpr std::size_t kUnknownUse = static_cast<std::size_t>(-1);

  // The result stays valid until the next Read.
  const TrialReadResult& Read(const TrialFileContext& files, const std::string& path);
  // The next Read dimensions the arrays in full.
  void Forget();

 private:
  // Where the arrays lie and how long they are, to notice a change.
  struct ArraysSeen {
    const void* data[12] = {};
    std::size_t samplePoints = 0;
    std::size_t bufferPoints = 0;
    bool operator==(const ArraysSeen&) const = default;
  };
  static ArraysSeen Seen(const TrialDataSet& trial);

  std::string bytes_;
  TrialReadResult result_;
  const TrialDataSet* trial_ = nullptr;
  ArraysSeen seen_;
  // Every array of that trial holds 0 from this index on.
  std::size_t usedPoints_ = kUnknownUse;
};

// What the analysis window does after an open, beyond the trial in memory.
struct OpenTrialResult {
  bool opened = false;
  std::int16_t kind = kFileKindNone;
  std::string squadSearchText;  // version 2: "Id - FirstName LastName"
};

// OpenTrialFile: an empty path does nothing; a refusal is shown in a message
// box (the training-file warning, the maximum-size message, or why the file
// cannot be read); an opened file is reported as the file kind asks.
OpenTrialResult OpenTrialFile(const TrialFileContext& files, const std::string& path);

inline constexpr const char* kOpenDialogFilter =
    "QLX Data (*.qlx)|*.qlx|Data (*.dat)|*.dat|All files (*.*)|*.*";

// The open command: with `openTestFile` clear, asks for a file starting in
// DataDirectory and opens it; with it set, opens DataDirectory + "/test.dat".
// Either way `view` then shows the whole trial, markers at both ends.
OpenTrialResult OpenTrialFileCommand(const TrialFileContext& files, AnalysisView& view,
                                     bool openTestFile);

// ---- Writing ------------------------------------------------------------

// The version 2 file of a trial described by `settings` and naming `athlete`,
// as bytes (CR LF, Windows-1252).
std::string TrialFileText(const TrialDataSet& trial, const SettingsRecord& settings,
                          const SquadMember& athlete);

// The analysis window's boxes that end the default file name.
struct TrialNameParts {
  std::string movementCode;  // TextMovementCode
  std::string trialNumber;   // TextTrialNumber
};

// "Id FirstName LastName dd_mm_yy hh_mm" + movement code + trial number +
// ".qlx". Characters that would place the file elsewhere ("/", "\", control
// characters, a leading ".") are replaced by "_".
std::string DefaultTrialFileName(const SquadMember& athlete, const LocalDateTime& now,
                                 const TrialNameParts& parts);

inline constexpr const char* kSaveDialogFilter =
    "QLX (*.qlx)|*.qlx|Data (*.dat)|*.dat|All Files (*.*)|*.*";

enum class SaveOutcome { Saved, Cancelled, Failed };

// SaveTrialFile: mode 1 (or no DataFileName) asks for a name, with the
// overwrite question ("Overwrite existing data file"): Yes keeps the name, No
// asks again, Cancel cancels. The file is written beside its final name and
// renamed into place, so a failed save leaves the previous file whole; the
// failure is shown and DataSaved stays clear. On success DataFileName is the
// path, DataSaved is set and the status bar refreshed.
SaveOutcome SaveTrialFile(const TrialFileContext& files, std::int16_t mode,
                          const TrialNameParts& parts = {});

// CloseTrialFile: asks "Save file before closing?" (Yes saves with mode 0),
// then clears the trial and forgets DataFileName.
void CloseTrialFile(const TrialFileContext& files, const TrialNameParts& parts = {});

}  // namespace torvane
