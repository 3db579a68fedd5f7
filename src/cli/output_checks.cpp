#include "cli/output_checks.hpp"

#include <sys/stat.h>

#include "common/text_file.hpp"

namespace torvane::cli {

std::optional<std::string> CheckOutputPath(const std::string& output,
                                           const std::vector<std::string>& inputs) {
  if (output == "-") return std::nullopt;
  const auto refuse = [&](const std::string& reason) {
    return "cannot write \"" + output + "\": " + reason;
  };
  struct stat out {};
  if (::stat(output.c_str(), &out) == 0) {
    if (S_ISDIR(out.st_mode)) return refuse("it is a folder");
    if (!S_ISREG(out.st_mode)) return refuse("it is not a regular file");
    for (const std::string& input : inputs) {
      struct stat in {};
      if (::stat(input.c_str(), &in) == 0 && in.st_dev == out.st_dev && in.st_ino == out.st_ino) {
        return refuse("it is the input \"" + input + "\"");
      }
    }
  }
  if (std::string reason = CheckFileReplaceable(output); !reason.empty()) return refuse(reason);
  return std::nullopt;
}

}  // namespace torvane::cli
