#pragma once
// Small routines shared by many windows.

#include <cstdint>
#include <span>
#include <string>

namespace torvane {

// The smallest and largest of elements 0 … samples − 1; element 0 when
// samples is 1 or less (and 0 for an empty array).
float ArrayMin(std::span<const float> values, std::int32_t samples);
float ArrayMax(std::span<const float> values, std::int32_t samples);

// What a failed attempt to open a document through the desktop recorded:
// the error number and description for a shell result from 0 to 32.
struct ShellFailure {
  std::int32_t number = 0;
  std::string description;
};
ShellFailure GShellFailure(std::int32_t shellResult);

// The show mode a shell request uses: a program (".EXE" in the name) runs
// hidden (0); a document without parameters and folder opens normally (1).
std::int32_t GShellShowMode(const std::string& file, std::int32_t requestedMode,
                            const std::string& parameters, const std::string& folder);

}  // namespace torvane
