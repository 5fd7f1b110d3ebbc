#include "app/WindowPlacement.h"

#include <algorithm>

namespace app {

QRect firstStartGeometry(const QRect &available, QSize minimum)
{
    if (available.width() <= 0 || available.height() <= 0)
        return QRect(QPoint(0, 0), minimum);
    const int w = std::clamp(available.width() * 4 / 5, std::min(minimum.width(), available.width()), available.width());
    const int h = std::clamp(available.height() * 4 / 5, std::min(minimum.height(), available.height()),
                             available.height());
    QRect r(0, 0, w, h);
    r.moveCenter(available.center());
    return r;
}

} // namespace app
