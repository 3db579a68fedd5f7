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
// place: a failed write leaves the previous file whole. Returns an empty
// text on success, else the operating system's reason.
std::string WriteFileReplacing(const std::string& path, std::string_view bytes);

bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
// Creates a folder and its parents; true when it exists afterwards.
bool MakeFolders(const std::string& path);

}  // namespace torvane
