#include "editing/SurfacePainter.h"

#include "model/SurfaceModel.h"
#include "model/TObjectData.h"

namespace editing {

void paintSurface(gdi::Canvas &c, const model::SurfaceModel &s, int zoom)
{
    const int w = s.width(), h = s.height();
    c.fillRect(QRect(0, 0, w, h), gdi::Brush{gdi::BrushStyle::Solid, 0xFFFFFF, 0});

    const QRect frame(QPoint(s.marginLeft(), s.marginTop()), QPoint(w - s.marginRight() - 1, h - s.marginBottom() - 1));
    if (s.showMargins()) {
        gdi::StateSaver keep(c);
        c.setPen(gdi::Pen{gdi::PenStyle::Dot, 1, 0});
        c.setBrush(gdi::Brush{gdi::BrushStyle::Solid, 0xFFFFFF, 0});
        c.setBkMode(gdi::BkMode::Opaque);
        c.setBkColor(0xFFFFFF);
        c.rectangle(frame.left(), frame.top(), frame.right() + 1, frame.bottom() + 1);
    }
    if (!s.background().isNull()) {
        const QRect inner(QPoint(frame.left() + 1, frame.top() + 1), QPoint(frame.right() - 1, frame.bottom() - 1));
        if (inner.width() > 0 && inner.height() > 0)
            drawPicture(c, s.background(), inner);
    }
    if (s.showGrid() && s.gridX() >= 1 && s.gridY() >= 1) {
        for (int x = 1; x < w; x += s.gridX())
            for (int y = 1; y < h; y += s.gridY())
                c.setPixel(x, y, s.dotColor());
    }
    for (const auto &item : s.items())
        paintItem(c, *item, zoom);
}

} // namespace editing
