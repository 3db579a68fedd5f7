#pragma once
// Paths as the system handles them: "/" between folder and name, and
// splitting that also honours "\" so that names read from older files work.

#include <string>
#include <string_view>

namespace torvane {

// The text after the last "/" or "\"; a path without either is returned whole.
std::string FileNameOf(std::string_view path);
// The text before the last "/" or "\" (without it); empty when there is none.
std::string FolderOf(std::string_view path);
// folder + "/" + name; empty when the folder is empty or blank.
std::string JoinPath(std::string_view folder, std::string_view name);
// A stored name ("\over.wav", "C:\data\over.wav") with "\" turned into "/".
std::string NormaliseSeparators(std::string_view path);

}  // namespace torvane
