#pragma once
// The checks an output path passes before a command does any work, so that
// a refusal costs nothing and no input is ever overwritten.

#include <optional>
#include <string>
#include <vector>

namespace torvane::cli {

// Why `output` cannot take a command's output, as one line 'cannot write
// "OUT": REASON'; nothing when it can. Refused: an existing output that is
// not a regular file (at the end of its symbolic links: a device, a FIFO, a
// folder); an output that is the same file as one of `inputs` (the same
// file by another path, a link or a hard link); an output whose folder does
// not exist or cannot be written (a temporary file is made there and
// removed). "-" (standard output) passes: a command that does not allow it
// refuses it itself. Inputs that do not exist are passed over.
std::optional<std::string> CheckOutputPath(const std::string& output,
                                           const std::vector<std::string>& inputs);

}  // namespace torvane::cli
