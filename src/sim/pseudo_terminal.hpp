#pragma once
// A pseudo-terminal whose slave side is linked at a path of the user's
// choice, so that the program can open that path like a serial port. The
// simulator holds the master side; it also keeps the slave open itself, so
// the line stays up between the program's opens and closes.

#include <string>

namespace torvane::sim {

class PseudoTerminal {
 public:
  PseudoTerminal() = default;
  ~PseudoTerminal() { Close(); }
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  // Creates the terminal and the link; an empty text on success, else why not.
  // An old link at the path is replaced; any other file there is left alone.
  std::string Open(const std::string& linkPath);
  // Removes the link and closes both sides: to the program the unit is gone.
  void Close();

  int master() const { return master_; }
  const std::string& slavePath() const { return slavePath_; }
  const std::string& linkPath() const { return linkPath_; }

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string slavePath_;
  std::string linkPath_;
};

}  // namespace torvane::sim
