// Writing the trial in memory as a version 2 trial file, and the save and
// close commands around it.

#include <algorithm>
#include <cstdio>
#include <string>

#include "common/number_text.hpp"
#include "common/text_file.hpp"
#include "files/fixed_decimals.hpp"
#include "files/save_path_choice.hpp"
#include "files/trial_file.hpp"
#include "torvane_version.hpp"

namespace torvane {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

// A text field of the header in double quotes. A quote cannot stand inside
// such a field (the reader ends the field there), so it is written as "'".
void AppendQuoted(std::string& out, std::string_view utf8) {
  std::string text = Utf8ToCp1252(utf8);
  std::replace(text.begin(), text.end(), '"', '\'');
  out.push_back('"');
  out += text;
  out.push_back('"');
}

// One part of a default file name: nothing in it may lead out of the folder
// the user chose.
std::string SafeNamePart(std::string_view text) {
  std::string part(text);
  for (char& c : part) {
    if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '_';
  }
  return part;
}

std::string TwoDigits(int value) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02d", ((value % 100) + 100) % 100);
  return buf;
}

}  // namespace

std::string TrialFileText(const TrialDataSet& trial, const SettingsRecord& settings,
                          const SquadMember& athlete) {
  std::string out;
  out += "\"QLX Data File Version 2\"";
  out += kLineEnd;
  AppendQuoted(out, trial.CollectionDateTime);
  out += kLineEnd;
  out += std::to_string(settings.frequency);
  out += settings.RecordForce ? ",1," : ",0,";
  AppendGeneralSingleText(out, settings.weight);
  out.push_back(',');
  AppendQuoted(out, athlete.Id);
  out.push_back(',');
  AppendQuoted(out, athlete.FirstName);
  out.push_back(',');
  AppendQuoted(out, athlete.LastName);
  out.push_back(',');
  AppendGeneralSingleText(out, athlete.BodyMass);
  out += kLineEnd;

  // Samples 0 … samples: one line more than the trial has samples.
  std::size_t lines = settings.samples >= 0 ? static_cast<std::size_t>(settings.samples) + 1 : 0;
  lines = std::min({lines, trial.Displacement.size(),
                    settings.RecordForce ? trial.Force.size() : trial.Displacement.size()});
  out.reserve(out.size() + lines * (settings.RecordForce ? 28 : 10));
  for (std::size_t i = 0; i < lines; ++i) {
    const std::size_t lineStart = out.size();
    AppendFixedDecimals(out, trial.Displacement[i], 4);
    if (settings.RecordForce) {
      // Blanks to the next 14-character print zone, at least one.
      const std::size_t used = out.size() - lineStart;
      out.append(kPrintZoneWidth - used % kPrintZoneWidth, ' ');
      AppendFixedDecimals(out, trial.Force[i], 5);
    }
    out += kLineEnd;
  }
  return out;
}

std::string DefaultTrialFileName(const SquadMember& athlete, const LocalDateTime& now,
                                 const TrialNameParts& parts) {
  std::string name = SafeNamePart(athlete.Id) + " " + SafeNamePart(athlete.FirstName) + " " +
                     SafeNamePart(athlete.LastName) + " " + TwoDigits(now.day) + "_" +
                     TwoDigits(now.month) + "_" + TwoDigits(now.year) + " " + TwoDigits(now.hour) +
                     "_" + TwoDigits(now.minute) + SafeNamePart(parts.movementCode) +
                     SafeNamePart(parts.trialNumber) + ".qlx";
  // A leading point would hide the file (and "." or ".." would name a folder).
  if (name.front() == '.') name.front() = '_';
  return name;
}

SaveOutcome SaveTrialFile(const TrialFileContext& files, std::int16_t mode,
                          const TrialNameParts& parts) {
  TrialDataSet& trial = files.trial;
  std::string path = trial.DataFileName;
  if (mode == 1 || path.empty()) {
    FileDialogRequest request;
    request.title = "Save As";
    request.filter = kSaveDialogFilter;
    request.initialFolder = files.settings.DataDirectory;
    request.initialName =
        DefaultTrialFileName(AthleteOfTrial(trial, files.squad), files.clock.Now(), parts);
    const std::optional<std::string> chosen =
        ChooseSavePath(files.dialogs, request, "Overwrite existing data file");
    if (!chosen) return SaveOutcome::Cancelled;
    path = *chosen;
  }
  // Written beside the file and renamed into place: a failed write (disk
  // full, folder gone) leaves the previous file whole.
  const std::string failure = WriteFileReplacing(
      path, TrialFileText(trial, files.settings, AthleteOfTrial(trial, files.squad)));
  if (!failure.empty()) {
    const std::string message =
        "The trial could not be saved to \"" + path + "\": " + failure + ".";
    files.status.AddStatusMessage(message);
    files.dialogs.ShowMessage(MessageIcon::Critical, "Data file not saved", message);
    return SaveOutcome::Failed;
  }
  trial.DataFileName = path;
  trial.DataSaved = true;
  if (files.refreshStatusBar) files.refreshStatusBar();
  return SaveOutcome::Saved;
}

void CloseTrialFile(const TrialFileContext& files, const TrialNameParts& parts) {
  const DialogAnswer answer = files.dialogs.Ask(MessageIcon::None, MessageButtons::YesNo,
                                                kProductTitle, "Save file before closing?");
  if (answer == DialogAnswer::Yes) SaveTrialFile(files, 0, parts);
  ClearTrialData(files.trial, files.settings.samples);
  files.trial.DataFileName.clear();
  files.trial.Athlete.reset();
}

}  // namespace torvane
