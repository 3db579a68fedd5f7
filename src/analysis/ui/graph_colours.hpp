#pragma once
// The colours of a trial's graph, the same in the analysis window and on the
// trial report: the channel, its zero line, the markers, the phases and the
// jump frame.

#include <QColor>

namespace torvane {

inline const QColor kGraphChannelColour(0, 0, 255);
inline const QColor kGraphZeroColour(255, 0, 0);
inline const QColor kGraphMarkerColour(255, 0, 255);
inline const QColor kGraphPhaseColour(0, 192, 0);
inline const QColor kGraphJumpFrameColour(0, 0, 192);

}  // namespace torvane
