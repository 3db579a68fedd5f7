#pragma once
// Text files as the system keeps them: 8-bit Windows-1252 on disk, shown as
// Unicode (UTF-8 inside the program), written with CR LF and read with CR LF
// or LF; and the save that never destroys the previous file.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace torvane {

std::string Cp1252ToUtf8(std::string_view bytes);
// Characters without a Windows-1252 form become "?".
std::string Utf8ToCp1252(std::string_view text);

// The lines of a text: split at CR LF, LF or a lone CR; no line ends kept. A
// final line end does not start another line.
std::vector<std::string_view> SplitLines(std::string_view text);

struct FileReadResult {
  bool ok = false;
  std::string bytes;
  std::string error;  // the operating system's reason when !ok
};
// Reads a whole file, refusing one larger than `limitBytes`.
FileReadResult ReadWholeFile(const std::string& path,
                             std::size_t limitBytes = std::size_t{1} << 31);

// The same into `bytes`, whose room is kept: reading one file after another
// allocates only for a file larger than all before. False (with the reason
// in `error`) when the file cannot be read.
bool ReadWholeFileInto(const std::string& path, std::string& bytes, std::string& error,
                       std::size_t limitBytes = std::size_t{1} << 31);

// Writes `bytes` to a temporary file beside `path`, then renames it into
// place: a failed write leaves the previous file whole and removes the
// temporary file. A symbolic link is followed: the file it leads to is
// replaced, keeping its permission bits; an existing path that is not a
// regular file (a device, a FIFO, a folder) is refused. Returns an empty
// text on success, else the reason.
std::string WriteFileReplacing(const std::string& path, std::string_view bytes);

// Whether WriteFileReplacing could replace `path` now: it is a regular file
// or nothing, and a temporary file can be made in its folder (one is made
// and removed again). Empty when it can, else the reason.
std::string CheckFileReplaceable(const std::string& path);

// The steps of WriteFileReplacing, for a writer that must write the
// temporary file itself (a workbook). ReplacementTarget: the path a
// replacement of `path` writes, at the end of its symbolic links.
std::string ReplacementTarget(const std::string& path);
struct TemporaryFile {
  int fd = -1;  // open for writing
  std::string path;
};
// Makes a new file of a name no other writer uses, in the folder of
// `target`, its name ending in `suffix`. Empty text on success.
std::string CreateTemporaryBeside(const std::string& target, std::string_view suffix,
                                  TemporaryFile& temp);
// Renames the (closed) temporary file onto `target` with the permission bits
// of the file it replaces; on failure the temporary file is removed.
std::string MoveTemporaryIntoPlace(const std::string& temp, const std::string& target);

// A text fit for a message of one line: line ends, tabs and other control
// characters are written as "\n", "\r", "\t", "\x1b", C1 controls as
// "\u009b", and bytes that are not UTF-8 as "\xe9".
std::string OneLineText(std::string_view text);

// The length of the valid UTF-8 sequence at the start of `text`; 0 when
// it does not start with one.
std::size_t Utf8SequenceLength(std::string_view text);

bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
// Creates a folder and its parents; true when it exists afterwards.
bool MakeFolders(const std::string& path);

}  // namespace torvane
