#include "report/ui/report_page.hpp"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>
#include <QPrinter>
#include <algorithm>
#include <filesystem>
#include <system_error>
#include <tuple>

#include "analysis/ui/graph_colours.hpp"

namespace torvane {

namespace {

const QColor kText(0, 0, 0);
const QColor kQuiet(90, 90, 90);
const QColor kRule(160, 160, 160);
const QColor kGrid(225, 225, 225);
const QColor kClean(0, 120, 0);
const QColor kFlag(180, 60, 0);

// Millimetres of the page: the layout is set out in them and drawn in device
// pixels.
class Page {
 public:
  Page(QPainter& painter, const QRectF& area, double dotsPerMm)
      : p(painter), area_(area), mm_(dotsPerMm) {}

  double mm(double millimetres) const { return millimetres * mm_; }
  double Width() const { return area_.width() / mm_; }
  double Height() const { return area_.height() / mm_; }
  QRectF Rect(double x, double y, double w, double h) const {
    return {area_.left() + mm(x), area_.top() + mm(y), mm(w), mm(h)};
  }
  QPointF Point(double x, double y) const { return {area_.left() + mm(x), area_.top() + mm(y)}; }

  // A font of `points` (1/72 inch) whatever the device's resolution.
  QFont Font(double points, bool bold = false) const {
    QFont font("DejaVu Sans");
    // No ligatures: "fl" stays two letters for search and copy in a viewer.
    font.setStyleHint(QFont::SansSerif, QFont::PreferNoShaping);
    font.setPixelSize(std::max(1, static_cast<int>(mm(points * 25.4 / 72.0) + 0.5)));
    font.setBold(bold);
    return font;
  }

  // Text in a box `w` mm wide from (x, y); returns its height in mm.
  double Text(double x, double y, double w, const QString& text, const QFont& font,
              const QColor& colour, int flags = Qt::AlignLeft | Qt::TextWordWrap) {
    p.setFont(font);
    p.setPen(colour);
    const QRectF box = Rect(x, y, w, Height());
    const QRectF used = p.boundingRect(box, flags, text);
    p.drawText(box, flags, text);
    return used.height() / mm_;
  }
  double TextHeight(double w, const QString& text, const QFont& font,
                    int flags = Qt::AlignLeft | Qt::TextWordWrap) const {
    return QFontMetricsF(font, p.device())
               .boundingRect(Rect(0, 0, w, Height()), flags, text)
               .height() /
           mm_;
  }
  void Rule(double y) {
    p.setPen(QPen(kRule, mm(0.2)));
    p.drawLine(Point(0, y), Point(Width(), y));
  }

  QPainter& p;

 private:
  QRectF area_;
  double mm_;
};

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

// Label: text pairs in rows; returns the height used.
double Fields(Page& page, double x, double y, double w, double labelWidth,
              const std::vector<ReportField>& fields, double points) {
  const QFont label = page.Font(points, true);
  const QFont text = page.Font(points);
  double top = y;
  for (const ReportField& field : fields) {
    page.Text(x, top, labelWidth, Q(field.label), label, kQuiet, Qt::AlignLeft);
    top += std::max(page.Text(x + labelWidth, top, w - labelWidth, Q(field.text), text, kText),
                    page.TextHeight(labelWidth, Q(field.label), label, Qt::AlignLeft));
  }
  return top - y;
}

void Graph(Page& page, double top, double height, const ReportGraph& g) {
  QPainter& p = page.p;
  const QFont small = page.Font(7);
  const double left = 16, right = page.Width() - 2;
  const double plotTop = top + 6, plotBottom = top + height - 9;
  page.Text(0, top, page.Width(), Q(g.title), page.Font(9, true), kText);
  const QRectF plot(page.Point(left, plotTop), page.Point(right, plotBottom));
  const auto X = [&](double t) {
    return plot.left() + (t - g.xMin) / (g.xMax - g.xMin) * plot.width();
  };
  const auto Y = [&](double v) {
    return plot.bottom() - (v - g.yMin) / (g.yMax - g.yMin) * plot.height();
  };

  p.setFont(small);
  const QFontMetricsF metrics(small, p.device());
  for (const AxisTick& tick : g.xTicks) {
    const double x = X(tick.value);
    p.setPen(QPen(kGrid, page.mm(0.15)));
    p.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    p.setPen(kText);
    const QString label = Q(tick.label);
    const double w = metrics.horizontalAdvance(label);
    p.drawText(QPointF(x - w / 2, plot.bottom() + page.mm(1) + metrics.ascent()), label);
  }
  for (const AxisTick& tick : g.yTicks) {
    const double y = Y(tick.value);
    p.setPen(QPen(kGrid, page.mm(0.15)));
    p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    p.setPen(kText);
    const QString label = Q(tick.label);
    const double w = metrics.horizontalAdvance(label);
    p.drawText(QPointF(plot.left() - page.mm(1) - w, y + metrics.ascent() / 2 - page.mm(0.3)),
               label);
  }
  p.setPen(kText);
  const QString xLabel = Q(g.xLabel);
  p.drawText(QPointF(plot.center().x() - metrics.horizontalAdvance(xLabel) / 2,
                     plot.bottom() + page.mm(1.5) + metrics.ascent() + metrics.height()),
             xLabel);

  p.save();
  p.setClipRect(plot);
  p.setRenderHint(QPainter::Antialiasing, true);
  if (g.yMin < 0 && g.yMax > 0) {
    p.setPen(QPen(kGraphZeroColour, page.mm(0.2)));
    p.drawLine(QPointF(plot.left(), Y(0)), QPointF(plot.right(), Y(0)));
  }
  const auto vertical = [&](const std::vector<double>& times, const QColor& colour,
                            Qt::PenStyle style) {
    QPen pen(colour, page.mm(0.3));
    pen.setStyle(style);
    p.setPen(pen);
    for (const double t : times)
      p.drawLine(QPointF(X(t), plot.top()), QPointF(X(t), plot.bottom()));
  };
  vertical(g.markerTimes, kGraphMarkerColour, Qt::DashLine);
  vertical(g.phaseTimes, kGraphPhaseColour, Qt::SolidLine);
  vertical(g.jumpFrameTimes, kGraphJumpFrameColour, Qt::DotLine);
  QPolygonF curve;
  curve.reserve(static_cast<qsizetype>(g.times.size()));
  for (std::size_t i = 0; i < g.times.size(); ++i) curve << QPointF(X(g.times[i]), Y(g.values[i]));
  p.setPen(QPen(kGraphChannelColour, page.mm(0.25), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPolyline(curve);
  p.restore();
  p.setPen(QPen(kText, page.mm(0.2)));
  p.setBrush(Qt::NoBrush);
  p.drawRect(plot);

  // The key, under the axis on the right.
  double x = right;
  const double y = plotBottom + 6.2;
  // Only the kinds of line the graph holds.
  const std::tuple<const char*, QColor, bool> keys[] = {
      {"jump frame", kGraphJumpFrameColour, !g.jumpFrameTimes.empty()},
      {"phases", kGraphPhaseColour, !g.phaseTimes.empty()},
      {"markers", kGraphMarkerColour, !g.markerTimes.empty()}};
  for (const auto& [name, colour, shown] : keys) {
    if (!shown) continue;
    const double w = metrics.horizontalAdvance(name) / page.mm(1);
    x -= w;
    p.setPen(kText);
    p.drawText(page.Point(x, y + 1.2), name);
    x -= 5.5;
    p.setPen(QPen(colour, page.mm(0.5)));
    p.drawLine(page.Point(x, y), page.Point(x + 4, y));
    x -= 3;
  }
}

double Results(Page& page, double top, const std::vector<ReportResult>& results) {
  const int columns = 3;
  const int rows = static_cast<int>((results.size() + columns - 1) / columns);
  const double columnWidth = page.Width() / columns;
  const double rowHeight = 4.3;
  const QFont name = page.Font(8);
  const QFont value = page.Font(8, true);
  const QFont unit = page.Font(7);
  for (std::size_t i = 0; i < results.size(); ++i) {
    const ReportResult& r = results[i];
    const double x = columnWidth * static_cast<double>(i / static_cast<std::size_t>(rows));
    const double y = top + rowHeight * static_cast<double>(i % static_cast<std::size_t>(rows));
    if (i % static_cast<std::size_t>(rows) % 2 == 0) {
      page.p.fillRect(page.Rect(x, y - 0.4, columnWidth - 2, rowHeight), QColor(244, 244, 244));
    }
    page.Text(x + 1, y, 27, Q(r.name), name, kText, Qt::AlignLeft);
    page.Text(x + 28, y, 20, r.text.empty() ? QString("-") : Q(r.text), value,
              r.text.empty() ? kQuiet : kText, Qt::AlignRight);
    page.Text(x + 49.5, y + 0.3, columnWidth - 50, Q(r.unit), unit, kQuiet, Qt::AlignLeft);
  }
  return rows * rowHeight;
}

// The quality flags in the room left, in the largest size (9 points down to
// 5) at which every flag fits.
void Quality(Page& page, double top, double bottom, const TrialReport& report) {
  if (report.quality.empty()) {
    page.Text(0, top, page.Width(), Q(report.qualityClean), page.Font(9), kClean);
    return;
  }
  const double indent = 4;
  double points = 9;
  for (; points > 5; points -= 0.5) {
    double height = 0;
    for (const std::string& line : report.quality) {
      height += page.TextHeight(page.Width() - indent, Q(line), page.Font(points)) + 1;
    }
    if (top + height <= bottom) break;
  }
  double y = top;
  for (const std::string& line : report.quality) {
    page.Text(0, y, indent, QString::fromUtf8("\u25B2"), page.Font(points * 0.8), kFlag,
              Qt::AlignLeft);
    y += page.Text(indent, y, page.Width() - indent, Q(line), page.Font(points), kText) + 1;
  }
}

}  // namespace

void PaintTrialReport(QPainter& painter, const QRectF& area, double dotsPerMm,
                      const TrialReport& report) {
  Page page(painter, area, dotsPerMm);
  const double width = page.Width();
  double y = 0;

  // Heading: the title and the trial, the program on the right.
  page.Text(0, y, width, Q(report.title), page.Font(16, true), kText);
  page.Text(0, y + 1.5, width, Q(report.footer), page.Font(8), kQuiet, Qt::AlignRight);
  y += 8;
  y += page.Text(0, y, width, Q(report.trialName), page.Font(10), kText) + 1.5;
  page.Rule(y);
  y += 2;

  // The athlete on the left, the phase times on the right.
  const double half = width / 2;
  const double athleteHeight = Fields(page, 0, y, half - 4, 22, report.athlete, 9);
  const double phasesHeight = Fields(page, half, y, half, 36, report.phases, 9);
  y += std::max(athleteHeight, phasesHeight) + 2;
  page.Rule(y);
  y += 2;
  y += Fields(page, 0, y, width, 28, report.settings, 8) + 2;
  page.Rule(y);
  y += 2;

  const double graphHeight = 104;
  Graph(page, y, graphHeight, report.graph);
  y += graphHeight + 1;
  page.Rule(y);
  y += 2;

  y += page.Text(0, y, width, "Results", page.Font(10, true), kText) + 1;
  y += Results(page, y, report.results) + 2;
  page.Rule(y);
  y += 2;

  const double footerTop = page.Height() - 4;
  y += page.Text(0, y, width, "Quality", page.Font(10, true), kText) + 1;
  Quality(page, y, footerTop - 2, report);
}

bool WriteTrialReportPdf(const TrialReport& report, const QString& path, QString& error) {
  const std::filesystem::path target(path.toStdString());
  std::filesystem::path partial = target;
  partial += ".part";
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(partial.string()));
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setPageOrientation(QPageLayout::Portrait);
  printer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
  printer.setCreator("Torvane Measurement System");
  printer.setDocName(Q(report.title + " - " + report.trialName));

  QPainter painter;
  if (!painter.begin(&printer)) {
    error = "the file " + QString::fromStdString(partial.string()) + " cannot be written";
    std::error_code ignored;
    std::filesystem::remove(partial, ignored);
    return false;
  }
  const QRectF area(QPointF(0, 0), printer.pageRect(QPrinter::DevicePixel).size());
  PaintTrialReport(painter, area, printer.resolution() / 25.4, report);
  const bool ended = painter.end();
  std::error_code problem;
  if (!ended || QFileInfo(QString::fromStdString(partial.string())).size() <= 0) {
    error = "the report could not be completed in " + QString::fromStdString(partial.string());
    std::filesystem::remove(partial, problem);
    return false;
  }
  std::filesystem::rename(partial, target, problem);
  if (problem) {
    error = QString::fromStdString(target.string() + ": " + problem.message());
    std::error_code ignored;
    std::filesystem::remove(partial, ignored);
    return false;
  }
  return true;
}

}  // namespace torvane
