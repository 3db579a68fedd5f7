#pragma once
// The trial report on paper: one A4 page, painted from the texts and numbers
// of a TrialReport. Used by File → Report… and, through the report module,
// by `torvane-cli report`.

#include <QRectF>
#include <QString>

#include "report/trial_report.hpp"

class QPainter;

namespace torvane {

// Paints the report into `page` (device pixels, its top left the corner of
// the printable area) at `dotsPerMm` device pixels per millimetre. Text that
// would not fit (a long list of quality flags) is set smaller, never cut.
void PaintTrialReport(QPainter& painter, const QRectF& page, double dotsPerMm,
                      const TrialReport& report);

// Writes the report as a one-page A4 PDF to `path`. The page is written to a
// file beside it first and renamed over `path` only once it is complete, so
// that a report already there is kept when writing fails. False, with the
// reason in `error`, when the PDF cannot be written.
bool WriteTrialReportPdf(const TrialReport& report, const QString& path, QString& error);

}  // namespace torvane
