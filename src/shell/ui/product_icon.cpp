#include "shell/ui/product_icon.hpp"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace torvane {

QIcon ProductIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size / 64.0;
    QPainterPath tile;
    tile.addRoundedRect(QRectF(2 * s, 2 * s, 60 * s, 60 * s), 12 * s, 12 * s);
    p.fillPath(tile, QColor(42, 93, 159));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    // The bar with its two plates, and the cord of the transducer below it.
    p.drawRoundedRect(QRectF(10 * s, 18 * s, 44 * s, 5 * s), 2 * s, 2 * s);
    p.drawRoundedRect(QRectF(12 * s, 11 * s, 6 * s, 19 * s), 2 * s, 2 * s);
    p.drawRoundedRect(QRectF(46 * s, 11 * s, 6 * s, 19 * s), 2 * s, 2 * s);
    p.drawRect(QRectF(30.5 * s, 23 * s, 3 * s, 24 * s));
    p.drawRoundedRect(QRectF(22 * s, 46 * s, 20 * s, 9 * s), 2 * s, 2 * s);
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace torvane
