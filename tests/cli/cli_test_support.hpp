#pragma once
// Running torvane-cli subcommands in the test process, with a configuration
// file of defaults in a temporary folder.

#include <sstream>
#include <string>
#include <vector>

#include "cli/commands.hpp"
#include "results/trial_file_texts.hpp"
#include "test_support.hpp"

namespace torvane::testing {

struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
};

inline CliRun RunCli(std::vector<std::string> args) {
  std::ostringstream out, err;
  cli::Io io{out, err, false};
  CliRun r;
  r.status = cli::Main(args, io);
  r.out = out.str();
  r.err = err.str();
  return r;
}

// A folder with an empty configuration file (every setting its default).
struct CliFolder {
  CliFolder() { WriteText(Config(), ""); }
  std::string Config() const { return dir.File("QLXConfig.ini"); }
  std::string Write(const std::string& name, const std::string& text) const {
    WriteText(dir.File(name), text);
    return dir.File(name);
  }
  TempDir dir;
};

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

}  // namespace torvane::testing
