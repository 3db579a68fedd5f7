#include "squads/squad_selection.hpp"

#include <algorithm>
#include <system_error>

#include "common/case_folding.hpp"
#include "common/number_text.hpp"
#include "common/paths.hpp"
#include "common/text_file.hpp"
#include "squads/squad_workbook.hpp"

namespace torvane {

namespace {

bool SameAthlete(const SquadMember& a, const SquadMember& b) {
  return a.Id == b.Id && a.FirstName == b.FirstName && a.LastName == b.LastName;
}

void Log(const SquadContext& cx, const std::string& message) {
  cx.status.AddStatusMessage(message);
}

SquadLoad ReadInto(const SquadContext& cx, const std::string& path) {
  const SquadReadResult read = ReadSquadWorkbook(path);
  if (!read.ok()) {
    Log(cx, "Error loading squad file");
    Log(cx, read.error);
    cx.dialogs.ShowMessage(MessageIcon::Exclamation, kSelectSquadFileTitle, read.error);
    return SquadLoad::Unreadable;
  }
  LoadSquad(cx.squad, read.athletes);
  Log(cx, "Squad file loaded and number = " + ShortNumericText(cx.squad.SquadCount));
  if (read.overflow) {
    Log(cx, "The squad file holds more athletes than the " + std::to_string(kSquadTableSize - 1) +
                " the squad list takes; the first " + std::to_string(kSquadTableSize - 1) +
                " were read");
  }
  return SquadLoad::Loaded;
}

void TakeSquadFileName(const SquadContext& cx, const std::string& path) {
  if (cx.squadFileName == path) return;
  cx.squadFileName = path;
  if (cx.saveSettings) cx.saveSettings();
}

}  // namespace

void LoadSquad(SquadTable& squad, const std::vector<SquadMember>& athletes) {
  const SquadMember selected = squad.Current();
  const bool hadSelection = squad.CurrentAthlete > 0;
  const std::size_t count = std::min(athletes.size(), std::size_t{kSquadTableSize - 1});
  const std::size_t previous = static_cast<std::size_t>(std::max<int>(squad.SquadCount, 0));
  for (std::size_t i = 0; i < count; ++i) squad.SquadMembers[i + 1] = athletes[i];
  for (std::size_t i = count + 1; i <= previous && i < squad.SquadMembers.size(); ++i) {
    squad.SquadMembers[i] = SquadMember{};
  }
  squad.SquadCount = static_cast<std::int16_t>(count);
  squad.CurrentAthlete = count > 0 ? 1 : 0;
  if (!hadSelection) return;
  for (std::size_t i = 1; i <= count; ++i) {
    if (SameAthlete(squad.SquadMembers[i], selected)) {
      squad.CurrentAthlete = static_cast<std::int16_t>(i);
      return;
    }
  }
}

std::string AthleteListLine(const SquadMember& athlete) {
  return athlete.Id + " - " + athlete.FirstName + " " + athlete.LastName + " - " +
         ShortNumericText(static_cast<double>(athlete.BodyMass));
}

std::vector<std::string> AthleteListLines(const SquadTable& squad) {
  std::vector<std::string> lines;
  for (int i = 1; i <= squad.SquadCount; ++i) {
    lines.push_back(AthleteListLine(squad.SquadMembers[static_cast<std::size_t>(i)]));
  }
  return lines;
}

std::string AthleteCountLabel(const SquadTable& squad) {
  return ShortNumericText(squad.CurrentAthlete) + " of " + ShortNumericText(squad.SquadCount) +
         " in squad file";
}

std::string AthletePanelText(const SquadTable& squad) {
  if (squad.CurrentAthlete < 1 || squad.CurrentAthlete > squad.SquadCount) {
    return kAthletePanelInitialText;
  }
  return AthleteListLine(squad.Current());
}

std::string AthleteSearchText(const SquadMember& athlete) {
  return athlete.Id + " - " + athlete.FirstName + " " + athlete.LastName;
}

int FindAthlete(const SquadTable& squad, std::string_view text) {
  if (text.empty()) return 0;
  const std::string wanted = FoldCase(text);
  for (int i = 1; i <= squad.SquadCount; ++i) {
    const SquadMember& athlete = squad.SquadMembers[static_cast<std::size_t>(i)];
    if (FoldCase(AthleteListLine(athlete)).find(wanted) != std::string::npos) return i;
  }
  return 0;
}

bool SelectAthlete(SquadTable& squad, int index) {
  if (index < 1 || index > squad.SquadCount || index == squad.CurrentAthlete) return false;
  squad.CurrentAthlete = static_cast<std::int16_t>(index);
  return true;
}

int SearchAndSelectAthlete(SquadTable& squad, std::string_view text) {
  const int found = FindAthlete(squad, text);
  SelectAthlete(squad, found);
  return found;
}

bool SelectNextAthlete(SquadTable& squad) {
  return SelectAthlete(squad, squad.CurrentAthlete + 1);
}

bool SelectPreviousAthlete(SquadTable& squad) {
  return SelectAthlete(squad, squad.CurrentAthlete - 1);
}

std::string FindSquadWorkbook(const SquadContext& cx) {
  const std::string& path = cx.squadFileName;
  Log(cx, "Looking for squad file: " + path);
  if (!path.empty() && FileExists(path)) return path;
  Log(cx, "Unable to find squad file: " + path + "Trying another location");
  const std::string name = FileNameOf(NormaliseSeparators(path));
  if (name.empty() || cx.dataFolder.empty()) return {};
  // The same name, then the same name saved in another spreadsheet form
  // (a squad kept as Squad.xls and saved again as Squad.xlsx).
  std::vector<std::string> candidates = {JoinPath(cx.dataFolder, name)};
  const std::string stem = name.substr(0, name.rfind('.'));
  for (const char* extension : {".xlsx", ".ods", ".xls", ".csv"}) {
    const std::string other = JoinPath(cx.dataFolder, stem + extension);
    if (other != candidates.front()) candidates.push_back(other);
  }
  for (const std::string& candidate : candidates) {
    Log(cx, "Looking for squad file: " + candidate);
    if (FileExists(candidate)) {
      TakeSquadFileName(cx, candidate);
      return candidate;
    }
    Log(cx, "Unable to find squad file: " + candidate);
  }
  return {};
}

SquadLoad LoadSquadWorkbook(const SquadContext& cx) {
  const std::string found = FindSquadWorkbook(cx);
  if (!found.empty()) return ReadInto(cx, found);
  cx.dialogs.ShowMessage(MessageIcon::Information, kSelectSquadFileTitle,
                         "Please browse the folders to find the squad file (e.g. Squad.xlsx). "
                         "It is usually kept in the data folder " +
                             cx.dataFolder);
  const SquadLoad chosen = ChooseSquadWorkbook(cx);
  if (chosen == SquadLoad::Cancelled) {
    Log(cx, "Error loading squad file");
    return SquadLoad::NotFound;
  }
  return chosen;
}

SquadLoad ChooseSquadWorkbook(const SquadContext& cx) {
  FileDialogRequest request;
  request.title = kSelectSquadFileTitle;
  request.filter = kSquadFileFilter;
  request.initialFolder = cx.dataFolder;
  const std::optional<std::string> chosen = cx.dialogs.ChooseFileToOpen(request);
  if (!chosen || chosen->empty()) return SquadLoad::Cancelled;
  TakeSquadFileName(cx, *chosen);
  Log(cx, "Squad file set to " + *chosen);
  return ReadInto(cx, *chosen);
}

std::string SquadFileToEdit(const SquadContext& cx) {
  const std::string path = NormaliseSeparators(cx.squadFileName);
  if (path.find('/') == std::string::npos) return JoinPath(cx.dataFolder, path);
  return path;
}

SquadFileStamp StampOfSquadFile(const std::string& path) {
  SquadFileStamp stamp;
  stamp.path = path;
  std::error_code ec;
  stamp.time = std::filesystem::last_write_time(path, ec);
  if (ec) return stamp;
  stamp.size = std::filesystem::file_size(path, ec);
  stamp.exists = !ec;
  return stamp;
}

bool ReloadSquadIfChanged(const SquadContext& cx, SquadFileStamp& loaded) {
  const SquadFileStamp now = StampOfSquadFile(cx.squadFileName);
  if (now == loaded || !now.exists) return false;
  loaded = now;
  const SquadReadResult read = ReadSquadWorkbook(now.path);
  if (!read.ok()) return false;
  LoadSquad(cx.squad, read.athletes);
  Log(cx, "Squad file loaded and number = " + ShortNumericText(cx.squad.SquadCount));
  return true;
}

}  // namespace torvane
