// make_trial_folder FOLDER FILES LINES: writes FILES countermovement-jump
// trial files of LINES data lines (500 Hz, displacement and force) into
// FOLDER, for timing `torvane-cli batch` by hand.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "trial_folder.hpp"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: make_trial_folder FOLDER FILES LINES\n");
    return 2;
  }
  const int files = std::atoi(argv[2]);
  const int lines = std::atoi(argv[3]);
  if (files < 1 || lines < 2) {
    std::fprintf(stderr, "make_trial_folder: FILES must be >= 1 and LINES >= 2\n");
    return 2;
  }
  if (!torvane::bench::WriteJumpTrialFolder(argv[1], files, lines)) {
    std::fprintf(stderr, "make_trial_folder: cannot write into %s\n", argv[1]);
    return 1;
  }
  return 0;
}
