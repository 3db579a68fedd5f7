#pragma once
// The program's icon, drawn rather than shipped: a bar on a transducer cord.

#include <QIcon>

namespace torvane {

QIcon ProductIcon();

}  // namespace torvane
