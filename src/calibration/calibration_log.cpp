#include "calibration/calibration_log.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>

#include "common/date_text.hpp"
#include "common/number_text.hpp"
#include "common/paths.hpp"
#include "common/text_file.hpp"

namespace torvane {

namespace {

constexpr const char* kDefaultLogName = "QLXCalibration.log";

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool HasDriveLetter(const std::string& path) {
  return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

}  // namespace

std::string CalibrationLogPath(const SettingsRecord& settings) {
  const std::string folder = Trimmed(settings.ProgramDataDirectory);
  std::string name = NormaliseSeparators(Trimmed(settings.CalibrationLogFile));
  if (name.empty()) return JoinPath(folder, kDefaultLogName);
  if (HasDriveLetter(name)) return JoinPath(folder, FileNameOf(name));
  if (name.front() == '/') {
    // One leading separator before a bare name is the stored form of a
    // file of the data folder; a path with folders is a full path.
    if (FolderOf(name).empty()) return JoinPath(folder, name.substr(1));
    return name;
  }
  return JoinPath(folder, name);
}

std::string CalibrationLogLine(const LocalDateTime& now, CalibrationKind kind, double slope) {
  return DateTimeText(now) +
         (kind == CalibrationKind::Position ? "Displacement Cal. Slope: " : "Force Cal. Slope: ") +
         FormatNumber(slope, "0.########");
}

std::string AppendCalibrationLog(const std::string& path, const std::string& line) {
  if (path.empty()) return "no program data folder is set";
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return std::strerror(errno);
  const std::string bytes = Utf8ToCp1252(line) + "\r\n";
  std::size_t written = 0;
  std::string failure;
  while (written < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      failure = n < 0 ? std::strerror(errno) : "nothing could be written";
      break;
    }
    written += static_cast<std::size_t>(n);
  }
  if (::close(fd) != 0 && failure.empty()) failure = std::strerror(errno);
  return failure;
}

void ViewCalibrationLog(const CalibrationContext& cx) {
  const std::string path = CalibrationLogPath(cx.collection.settings);
  UserDialogs& dialogs = cx.collection.dialogs;
  if (!FileExists(path)) {
    dialogs.ShowMessage(MessageIcon::Information, kCalibrationLogTitle,
                        "No calibration has been logged yet (" + path + ").");
    return;
  }
  if (!cx.showTextFile || !cx.showTextFile(path)) {
    dialogs.ShowMessage(MessageIcon::Exclamation, kCalibrationLogTitle,
                        "The calibration log (" + path + ") could not be shown.");
  }
}

}  // namespace torvane
