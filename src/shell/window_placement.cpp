#include "shell/window_placement.hpp"

namespace torvane {

namespace {

// Bottom right, 3 % of the main window away from its edges.
Placement StatusPlacement(double width, double height, const TwipSize& size) {
  return {ChildWindow::Status, width - size.width - 0.03 * width,
          height - size.height - 0.03 * height, false};
}

}  // namespace

std::vector<Placement> ArrangePlacements(double width, double height,
                                         const std::map<ChildWindow, TwipSize>& sizes,
                                         bool showSystemStatus) {
  std::vector<Placement> out;
  const auto has = [&](ChildWindow w) { return sizes.count(w) != 0; };
  if (has(ChildWindow::Batch)) {
    out.push_back(
        {ChildWindow::Batch, width - sizes.at(ChildWindow::Batch).width - 0.03 * width, 0});
  }
  if (has(ChildWindow::Training)) {
    const TwipSize& t = sizes.at(ChildWindow::Training);
    out.push_back({ChildWindow::Training, (width - t.width) / 2, height - t.height - 0.1 * height});
  }
  double analysisWidth = 0;
  if (has(ChildWindow::Analysis)) {
    analysisWidth = sizes.at(ChildWindow::Analysis).width;
    out.push_back({ChildWindow::Analysis, 0, 0});
  }
  if (has(ChildWindow::Squad)) out.push_back({ChildWindow::Squad, 0 + analysisWidth, 0});
  if (has(ChildWindow::DigitalDisplay)) {
    const TwipSize& d = sizes.at(ChildWindow::DigitalDisplay);
    out.push_back({ChildWindow::DigitalDisplay, 0, height - d.height - 0.1 * height});
  }
  if (showSystemStatus && has(ChildWindow::Status)) {
    out.push_back(StatusPlacement(width, height, sizes.at(ChildWindow::Status)));
  }
  return out;
}

std::vector<Placement> CascadePlacements(double width, double height,
                                         const std::map<ChildWindow, TwipSize>& sizes,
                                         bool showSystemStatus) {
  std::vector<Placement> out;
  const auto has = [&](ChildWindow w) { return sizes.count(w) != 0; };
  if (has(ChildWindow::Analysis)) out.push_back({ChildWindow::Analysis, 0, 0});
  if (has(ChildWindow::Training)) out.push_back({ChildWindow::Training, 400, 400, true});
  if (has(ChildWindow::Batch)) out.push_back({ChildWindow::Batch, 800, 800, true});
  if (has(ChildWindow::Squad)) out.push_back({ChildWindow::Squad, 1200, 1200, true});
  if (showSystemStatus && has(ChildWindow::Status)) {
    out.push_back(StatusPlacement(width, height, sizes.at(ChildWindow::Status)));
  }
  return out;
}

}  // namespace torvane
