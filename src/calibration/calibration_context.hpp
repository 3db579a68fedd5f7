#pragma once
// What a calibration works with: the collection that takes its readings
// (trial, settings, view, link, clock, dialogs, status) and how the program
// shows a text file. Made by the shell from its session.

#include <functional>
#include <string>

#include "acquisition/collection_context.hpp"

namespace torvane {

struct CalibrationContext {
  CollectionContext collection;
  // Shows a text file to read (the desktop's text viewer, or one of the
  // program's own); false when it could not be shown.
  std::function<bool(const std::string& path)> showTextFile;
};

}  // namespace torvane
