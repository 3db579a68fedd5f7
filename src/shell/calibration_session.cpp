#include "shell/calibration_session.hpp"

#include "shell/acquisition_session.hpp"
#include "shell/session.hpp"

namespace torvane {

CalibrationContext CalibrationContextOf(Session& session) {
  return CalibrationContext{.collection = CollectionContextOf(session), .showTextFile = {}};
}

}  // namespace torvane
