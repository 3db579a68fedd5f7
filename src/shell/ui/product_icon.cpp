#include "shell/ui/product_icon.hpp"

namespace torvane {

QIcon ProductIcon() {
  // The theme's copy is the one `make install` put in hicolor; running from
  // the build tree, the bundled one.
  return QIcon::fromTheme("torvane", QIcon(":/icons/torvane.svg"));
}

QIcon ActionIcon(const char* themeName, const char* bundled) {
  const QIcon fallback(QString(":/icons/%1.svg").arg(bundled));
  return *themeName == '\0' ? fallback : QIcon::fromTheme(themeName, fallback);
}

}  // namespace torvane
