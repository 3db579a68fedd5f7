// The report page painted offscreen: everything inside the page, however
// many quality flags there are, and a PDF that replaces an older report
// only once it is whole.
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTest>

#include "common/text_file.hpp"
#include "report/ui/report_page.hpp"
#include "test_support.hpp"

namespace torvane::testing {

namespace {

TrialReport SomeReport(std::size_t flags) {
  TrialReport r;
  r.title = "Trial report";
  r.trialName = "anna.qlx";
  r.athlete = {{"Athlete", "Anna Berg"}, {"Body mass", "61.0 kg"}};
  r.settings = {{"Filters", "displacement off, velocity 16 Hz, acceleration 10 Hz, force off"}};
  r.phases = {{"Take-off", "1.200 s"}};
  r.graph.title = "Force (N)";
  r.graph.xMin = 0;
  r.graph.xMax = 2;
  r.graph.yMin = 0;
  r.graph.yMax = 3000;
  r.graph.xTicks = AxisTicks(0, 2, 11);
  r.graph.yTicks = AxisTicks(0, 3000, 9);
  for (int i = 0; i <= 1000; ++i) {
    r.graph.times.push_back(i / 500.0);
    r.graph.values.push_back(800 + 1500 * (i % 200) / 200.0);
  }
  r.graph.phaseTimes = {0.5, 1.2};
  for (int i = 0; i < 33; ++i) r.results.push_back({"Result " + std::to_string(i), "1.000", "m"});
  for (std::size_t i = 0; i < flags; ++i) {
    r.quality.push_back("flag-" + std::to_string(i) +
                        ": A sentence long enough to need two lines on the page when it is set "
                        "in the report's normal size, with the numbers behind it (value 1.2345, "
                        "other 6.789).");
  }
  r.qualityClean = "No quality flags.";
  r.footer = "Torvane Measurement System 1.0.0";
  return r;
}

// The lowest row of `image` holding anything but white.
int LowestInkedRow(const QImage& image) {
  for (int y = image.height() - 1; y >= 0; --y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) != qRgb(255, 255, 255)) return y;
    }
  }
  return -1;
}

}  // namespace

class ReportPageTest : public QObject {
  Q_OBJECT

 private slots:
  void EveryFlagStaysOnThePage() {
    // 180 × 267 mm at 4 dots per mm, on an image twice as tall.
    const double dots = 4;
    const QRectF page(0, 0, 180 * dots, 267 * dots);
    for (const std::size_t flags : {std::size_t{0}, std::size_t{3}, std::size_t{14}}) {
      QImage image(static_cast<int>(page.width()), static_cast<int>(page.height()) * 2,
                   QImage::Format_RGB32);
      image.fill(Qt::white);
      image.setDotsPerMeterX(4000);
      image.setDotsPerMeterY(4000);
      QPainter painter(&image);
      PaintTrialReport(painter, page, dots, SomeReport(flags));
      painter.end();
      const int lowest = LowestInkedRow(image);
      QVERIFY2(lowest > page.height() / 2, "the page is painted");
      QVERIFY2(lowest < page.height(),
               qPrintable(QString("%1 flags run off the page at row %2").arg(flags).arg(lowest)));
    }
  }

  void APdfReplacesTheOldReportOnlyWhenWhole() {
    TempDir dir;
    const QString path = QString::fromStdString(dir.File("r.pdf"));
    WriteText(dir.File("r.pdf"), "old report");
    QString error;
    QVERIFY2(WriteTrialReportPdf(SomeReport(2), path, error), qPrintable(error));
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(written.readAll().startsWith("%PDF-"));
    QVERIFY(!QFile::exists(path + ".part"));

    // A folder that does not exist: refused with the reason, nothing left.
    const QString nowhere = QString::fromStdString(dir.File("none/r.pdf"));
    QVERIFY(!WriteTrialReportPdf(SomeReport(0), nowhere, error));
    QVERIFY(error.contains("cannot be written"));
    QVERIFY(!QFile::exists(nowhere + ".part"));
    // A folder in the way of the name: the old report (here, the folder) stays.
    const std::string blocked = dir.File("blocked.pdf");
    MakeFolders(blocked);
    WriteText(blocked + "/keep", "x");
    QVERIFY(!WriteTrialReportPdf(SomeReport(0), QString::fromStdString(blocked), error));
    QVERIFY(QFile::exists(QString::fromStdString(blocked + "/keep")));
    QVERIFY(!QFile::exists(QString::fromStdString(blocked + ".part")));
  }
};

}  // namespace torvane::testing

QTEST_MAIN(torvane::testing::ReportPageTest)
#include "report_page_test.moc"
