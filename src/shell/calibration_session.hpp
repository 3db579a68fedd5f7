#pragma once
// The calibration as the program runs it: its readings go through the
// session's collection. The window sets how a text file is shown.

#include "calibration/calibration_context.hpp"

namespace torvane {

struct Session;

CalibrationContext CalibrationContextOf(Session& session);

}  // namespace torvane
