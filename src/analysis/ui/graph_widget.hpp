#pragma once
// The analysis window's graph (grfData): one channel against time on a
// QCustomPlot, with the zero line, the two markers, the phase lines and the
// jump-frame lines. It draws what the window tells it and reports the
// user's mouse and keys in sample positions; the rules live in the core
// (analysis/graph_view.hpp).

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <span>
#include <vector>

#include "analysis/graph_view.hpp"

class QCustomPlot;
class QCPGraph;
class QCPItemStraightLine;

namespace torvane {

class GraphWidget : public QWidget {
  Q_OBJECT

 public:
  explicit GraphWidget(QWidget* parent = nullptr);

  // The channel shown: samples 0 … samples − 1 of `values`, at `frequency`.
  void SetChannel(std::span<const float> values, std::int32_t samples, std::int32_t frequency,
                  const QString& unit);
  // The samples shown along x and the y range.
  void SetView(double viewStart, double viewEnd, const YRange& y);
  void SetMarkers(std::int32_t marker1, std::int32_t marker2);
  void SetPhaseLines(const PhaseLines& lines);
  // Draws now.
  void Redraw();
  // Draws at most 25 times a second however often it is asked (a live
  // collection asks every monitor tick).
  void RequestRedraw();
  // The mouse read-out, as the graph's tool tip.
  void SetReadout(const QString& text);
  // Writes the graph as a PNG or PDF picture (by the name's suffix).
  bool SaveGraph(const QString& path);

  QCustomPlot* Plot() const { return plot_; }
  int RedrawCount() const { return redraws_; }
  // The sample position under a pixel column of the widget.
  double SampleAtX(double pixel) const;
  double XOfSample(double sample) const;

 signals:
  void Clicked(double sample);
  void MarkerDragged(SelectedMarker marker, double sample);
  void WheelZoom(double centreSample, double factor);
  void MouseAt(double sample);
  void StepMarker(int samples);
  void ZoomInKey();
  void ZoomOutKey();
  void ExpandKey();
  void GraphOptionsRequested();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void OnPress(QMouseEvent* event);
  void OnMove(QMouseEvent* event);
  void OnRelease(QMouseEvent* event);
  void OnWheel(QWheelEvent* event);
  void ShowContextMenu(const QPoint& where);
  void SaveGraphAs();
  double Seconds(double sample) const;
  void PlaceVertical(QCPItemStraightLine* line, double sample);
  std::vector<QCPItemStraightLine*>& Lines(std::vector<QCPItemStraightLine*>& pool,
                                           std::size_t count, const QColor& colour);

  QCustomPlot* plot_ = nullptr;
  QCPGraph* channel_ = nullptr;
  QCPItemStraightLine* zeroLine_ = nullptr;
  QCPItemStraightLine* marker1_ = nullptr;
  QCPItemStraightLine* marker2_ = nullptr;
  std::vector<QCPItemStraightLine*> phaseLines_;
  std::vector<QCPItemStraightLine*> jumpLines_;
  std::int32_t frequency_ = 1;
  double markerSamples_[2] = {0, 0};
  int dragging_ = -1;  // the marker being dragged, -1 for none
  bool pressedOnPlot_ = false;
  QTimer coalesce_;
  QElapsedTimer lastRedraw_;
  int redraws_ = 0;
};

}  // namespace torvane
