#include "shell/shell_helpers.hpp"

#include <algorithm>
#include <cctype>

namespace torvane {

namespace {

float Extreme(std::span<const float> values, std::int32_t samples, bool smallest) {
  if (values.empty()) return 0.0f;
  float v = values[0];
  const std::size_t n = std::min(values.size(), static_cast<std::size_t>(std::max(samples, 1)));
  for (std::size_t i = 1; i < n; ++i) {
    if (smallest ? values[i] < v : values[i] > v) v = values[i];
  }
  return v;
}

}  // namespace

float ArrayMin(std::span<const float> values, std::int32_t samples) {
  return Extreme(values, samples, true);
}

float ArrayMax(std::span<const float> values, std::int32_t samples) {
  return Extreme(values, samples, false);
}

ShellFailure GShellFailure(std::int32_t r) {
  // Computed in 32-bit arithmetic, as the error numbers always were.
  const std::int32_t generic = static_cast<std::int32_t>(static_cast<std::int64_t>(r) - 2147220456);
  switch (r) {
    case 0:
    case 8:
      return {7, "Out of memory"};
    case 2:
      return {53, "File not found"};
    case 3:
      return {76, "Path not found"};
    case 5:
      return {75, "Path/file access error"};
    case 11:
      return {generic, "The executable file is invalid or corrupt"};
    case 26:
      return {75, "A sharing violation occurred."};
    case 27:
      return {generic, "This file type does not have a valid file association."};
    case 28:
      return {286, "The file could not be opened due to time out.  Please try again in a moment."};
    case 29:
      return {285,
              "The file could not be opened because the DDE transaction failed.  Please try again "
              "in a moment."};
    case 30:
      return {285,
              "The file could not be opened because the target application is busy.  Please try "
              "again in a moment."};
    case 31:
      return {generic, "No application is associated with this file type."};
    case 32:
      return {48, "The specified dynamic-link library was not found."};
    default:
      return {generic, "An error occurred occurred whilst trying to open or print the selected file."};
  }
}

std::int32_t GShellShowMode(const std::string& file, std::int32_t requestedMode,
                            const std::string& parameters, const std::string& folder) {
  std::string upper = file;
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  std::int32_t mode = upper.find(".EXE") != std::string::npos ? 0 : requestedMode;
  if (parameters.empty() && folder.empty()) mode = 1;
  return mode;
}

}  // namespace torvane
