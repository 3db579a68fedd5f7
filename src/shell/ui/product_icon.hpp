#pragma once
// The program's icons: its own (a bar on a transducer cord, bundled as SVG
// and installed for the desktop's launcher), and the toolbar's, taken from
// the desktop's icon theme with bundled ones where the theme has none.

#include <QIcon>

namespace torvane {

QIcon ProductIcon();

// The theme's icon `themeName`, else the bundled ":/icons/<bundled>.svg".
QIcon ActionIcon(const char* themeName, const char* bundled);

}  // namespace torvane
