#include "analysis/ui/graph_widget.hpp"

#include <qcustomplot.h>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QSvgGenerator>
#include <QToolTip>
#include <QVBoxLayout>
#include <cmath>

#include "analysis/ui/graph_colours.hpp"

namespace torvane {

namespace {

constexpr int kRedrawIntervalMs = 40;  // 25 redraws a second
constexpr int kMarkerGrabPixels = 4;

QCPItemStraightLine* NewLine(QCustomPlot* plot, const QColor& colour) {
  auto* line = new QCPItemStraightLine(plot);
  line->setPen(QPen(colour, 1));
  line->setSelectable(false);
  return line;
}

}  // namespace

GraphWidget::GraphWidget(QWidget* parent) : QWidget(parent) {
  setObjectName("grfData");
  setFocusPolicy(Qt::StrongFocus);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  plot_ = new QCustomPlot(this);
  plot_->setObjectName("grfDataPlot");
  layout->addWidget(plot_);
  plot_->setNoAntialiasingOnDrag(true);
  plot_->setNotAntialiasedElements(QCP::aeAll);
  plot_->setContextMenuPolicy(Qt::CustomContextMenu);
  plot_->setMouseTracking(true);
  plot_->xAxis->setLabel("time (s)");

  channel_ = plot_->addGraph();
  channel_->setPen(QPen(kGraphChannelColour, 1));
  channel_->setAdaptiveSampling(true);
  zeroLine_ = NewLine(plot_, kGraphZeroColour);
  zeroLine_->point1->setCoords(0, 0);
  zeroLine_->point2->setCoords(1, 0);
  marker1_ = NewLine(plot_, kGraphMarkerColour);
  marker2_ = NewLine(plot_, kGraphMarkerColour);

  connect(plot_, &QCustomPlot::mousePress, this, &GraphWidget::OnPress);
  connect(plot_, &QCustomPlot::mouseMove, this, &GraphWidget::OnMove);
  connect(plot_, &QCustomPlot::mouseRelease, this, &GraphWidget::OnRelease);
  connect(plot_, &QCustomPlot::mouseWheel, this, &GraphWidget::OnWheel);
  connect(plot_, &QWidget::customContextMenuRequested, this, &GraphWidget::ShowContextMenu);

  coalesce_.setSingleShot(true);
  connect(&coalesce_, &QTimer::timeout, this, &GraphWidget::Redraw);
}

double GraphWidget::Seconds(double sample) const {
  return sample / frequency_;
}

void GraphWidget::SetChannel(std::span<const float> values, std::int32_t samples,
                             std::int32_t frequency, const QString& unit) {
  frequency_ = frequency > 0 ? frequency : 1;
  const std::size_t n =
      std::min(values.size(), static_cast<std::size_t>(std::max<std::int32_t>(samples, 0)));
  // The container is filled in place, in key order: no second copy, no sort.
  QSharedPointer<QCPGraphDataContainer> data = channel_->data();
  QVector<QCPGraphData> points(static_cast<qsizetype>(n));
  const double step = 1.0 / frequency_;
  for (std::size_t i = 0; i < n; ++i) {
    points[static_cast<qsizetype>(i)] = QCPGraphData(static_cast<double>(i) * step, values[i]);
  }
  data->set(points, true);
  plot_->yAxis->setLabel(unit);
}

void GraphWidget::SetView(double viewStart, double viewEnd, const YRange& y) {
  plot_->xAxis->setRange(Seconds(viewStart), Seconds(viewEnd));
  plot_->yAxis->setRange(y.YMin, y.YMax);
}

void GraphWidget::PlaceVertical(QCPItemStraightLine* line, double sample) {
  line->point1->setCoords(Seconds(sample), 0);
  line->point2->setCoords(Seconds(sample), 1);
}

void GraphWidget::SetMarkers(std::int32_t marker1, std::int32_t marker2) {
  markerSamples_[0] = marker1;
  markerSamples_[1] = marker2;
  PlaceVertical(marker1_, marker1);
  PlaceVertical(marker2_, marker2);
}

std::vector<QCPItemStraightLine*>& GraphWidget::Lines(std::vector<QCPItemStraightLine*>& pool,
                                                      std::size_t count, const QColor& colour) {
  while (pool.size() < count) pool.push_back(NewLine(plot_, colour));
  for (std::size_t i = 0; i < pool.size(); ++i) pool[i]->setVisible(i < count);
  return pool;
}

void GraphWidget::SetPhaseLines(const PhaseLines& lines) {
  auto& phases = Lines(phaseLines_, lines.phases.size(), kGraphPhaseColour);
  for (std::size_t i = 0; i < lines.phases.size(); ++i) PlaceVertical(phases[i], lines.phases[i]);
  auto& frame = Lines(jumpLines_, lines.jumpFrame.size(), kGraphJumpFrameColour);
  for (std::size_t i = 0; i < lines.jumpFrame.size(); ++i) {
    PlaceVertical(frame[i], lines.jumpFrame[i]);
  }
}

void GraphWidget::Redraw() {
  coalesce_.stop();
  plot_->replot(QCustomPlot::rpImmediateRefresh);
  lastRedraw_.start();
  ++redraws_;
}

void GraphWidget::RequestRedraw() {
  if (coalesce_.isActive()) return;
  const qint64 since = lastRedraw_.isValid() ? lastRedraw_.elapsed() : kRedrawIntervalMs;
  coalesce_.start(static_cast<int>(std::max<qint64>(0, kRedrawIntervalMs - since)));
}

void GraphWidget::SetReadout(const QString& text) {
  plot_->setToolTip(text);
  if (plot_->underMouse()) QToolTip::showText(QCursor::pos(), text, plot_);
}

double GraphWidget::SampleAtX(double pixel) const {
  return plot_->xAxis->pixelToCoord(pixel) * frequency_;
}

double GraphWidget::XOfSample(double sample) const {
  return plot_->xAxis->coordToPixel(Seconds(sample));
}

void GraphWidget::OnPress(QMouseEvent* event) {
  setFocus();
  if (event->button() != Qt::LeftButton) return;
  const double x = event->position().x();
  dragging_ = -1;
  for (int m = 0; m < 2; ++m) {
    if (std::abs(XOfSample(markerSamples_[m]) - x) <= kMarkerGrabPixels) dragging_ = m;
  }
  pressedOnPlot_ = dragging_ < 0;
}

void GraphWidget::OnMove(QMouseEvent* event) {
  const double sample = SampleAtX(event->position().x());
  if (dragging_ >= 0 && (event->buttons() & Qt::LeftButton)) {
    emit MarkerDragged(dragging_ == 0 ? SelectedMarker::Marker1 : SelectedMarker::Marker2, sample);
  }
  emit MouseAt(sample);
}

void GraphWidget::OnRelease(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && pressedOnPlot_) {
    emit Clicked(SampleAtX(event->position().x()));
  }
  pressedOnPlot_ = false;
  dragging_ = -1;
}

void GraphWidget::OnWheel(QWheelEvent* event) {
  const double steps = event->angleDelta().y() / 120.0;
  if (steps == 0) return;
  emit WheelZoom(SampleAtX(event->position().x()), std::pow(0.8, steps));
}

void GraphWidget::keyPressEvent(QKeyEvent* event) {
  const int step = (event->modifiers() & Qt::ShiftModifier) ? 10 : 1;
  switch (event->key()) {
    case Qt::Key_Left:
      emit StepMarker(-step);
      break;
    case Qt::Key_Right:
      emit StepMarker(step);
      break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
      emit ZoomInKey();
      break;
    case Qt::Key_Minus:
      emit ZoomOutKey();
      break;
    case Qt::Key_Home:
      emit ExpandKey();
      break;
    default:
      QWidget::keyPressEvent(event);
  }
}

void GraphWidget::ShowContextMenu(const QPoint& where) {
  QMenu menu(this);
  menu.addAction("Graph Options…", this, &GraphWidget::GraphOptionsRequested);
  menu.addAction("Save graph as…", this, &GraphWidget::SaveGraphAs);
  menu.exec(plot_->mapToGlobal(where));
}

void GraphWidget::SaveGraphAs() {
  QString path =
      QFileDialog::getSaveFileName(this, "Save graph as", QString(),
                                   "PNG image (*.png);;SVG drawing (*.svg);;PDF document (*.pdf)");
  if (path.isEmpty()) return;
  if (!path.endsWith(".png", Qt::CaseInsensitive) && !path.endsWith(".pdf", Qt::CaseInsensitive) &&
      !path.endsWith(".svg", Qt::CaseInsensitive)) {
    path += ".png";
  }
  if (!SaveGraph(path)) {
    QMessageBox::warning(this, "Save graph as", "The graph could not be written to " + path);
  }
}

bool GraphWidget::SaveGraph(const QString& path) {
  if (path.endsWith(".pdf", Qt::CaseInsensitive)) return plot_->savePdf(path);
  if (path.endsWith(".svg", Qt::CaseInsensitive)) {
    // A drawing the size of the graph on screen, its lines kept as lines.
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(plot_->size());
    svg.setViewBox(plot_->rect());
    svg.setTitle("Torvane Measurement System graph");
    QCPPainter painter;
    if (!painter.begin(&svg)) return false;
    plot_->toPainter(&painter, plot_->width(), plot_->height());
    return painter.end() && QFileInfo(path).size() > 0;
  }
  return plot_->savePng(path);
}

}  // namespace torvane
