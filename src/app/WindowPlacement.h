#pragma once
// Where the main window opens.

#include <QRect>
#include <QSize>

namespace app {

// The main window's bounds when no placement was saved: about 80 % of the screen's
// available area in each direction, centred on it, never below `minimum` (nor above the
// available area).
QRect firstStartGeometry(const QRect &available, QSize minimum = QSize(400, 400));

} // namespace app
