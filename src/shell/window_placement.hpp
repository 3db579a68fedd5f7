#pragma once
// Where "&Arrange" and "&Cascade" put the child windows of the main window.
// Positions and sizes are in twips (15 twips = 1 pixel) inside the area the
// child windows live in.

#include <cmath>
#include <map>
#include <vector>

namespace torvane {

inline constexpr double kTwipsPerPixel = 15;

inline double PixelsToTwips(int pixels) {
  return pixels * kTwipsPerPixel;
}
inline int TwipsToPixels(double twips) {
  return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

// The child windows of the main window (the accelerometer window is never placed).
enum class ChildWindow { Batch, Training, Analysis, Squad, DigitalDisplay, Status, Accelerometer };

struct TwipSize {
  double width = 0;
  double height = 0;
};

struct Placement {
  ChildWindow window;
  double left = 0;
  double top = 0;
  bool bringToFront = false;
};

// The placements, in order, of the child windows that exist (`sizes` holds
// their current sizes). The status window is placed only when the status log
// is collected (ShowSystemStatus).
std::vector<Placement> ArrangePlacements(double width, double height,
                                         const std::map<ChildWindow, TwipSize>& sizes,
                                         bool showSystemStatus);
std::vector<Placement> CascadePlacements(double width, double height,
                                         const std::map<ChildWindow, TwipSize>& sizes,
                                         bool showSystemStatus);

}  // namespace torvane
