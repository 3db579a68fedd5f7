#include "common/paths.hpp"

namespace torvane {

std::string FileNameOf(std::string_view path) {
  const std::size_t cut = path.find_last_of("/\\");
  return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::string FolderOf(std::string_view path) {
  const std::size_t cut = path.find_last_of("/\\");
  return cut == std::string_view::npos ? std::string() : std::string(path.substr(0, cut));
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  if (folder.find_first_not_of(' ') == std::string_view::npos) return {};
  std::string out(folder);
  if (out.back() != '/') out.push_back('/');
  while (!name.empty() && (name.front() == '/' || name.front() == '\\')) name.remove_prefix(1);
  out.append(name);
  return out;
}

std::string NormaliseSeparators(std::string_view path) {
  std::string out(path);
  for (char& c : out) {
    if (c == '\\') c = '/';
  }
  return out;
}

}  // namespace torvane
