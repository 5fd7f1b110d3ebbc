#include "editing/DesignPreview.h"

#include "editing/SurfacePainter.h"
#include "files/DesignFile.h"
#include "model/SurfaceModel.h"
#include "model/TObjectManager.h"
#include "platform/gdi/PainterCanvas.h"

#include <QPainter>

namespace editing {

PreviewPlacement fitPreview(int w, int h, int W, int H)
{
    PreviewPlacement p;
    if (w <= 0 || h <= 0)
        return p;
    double f = 0;
    double left = 0, top = 0;
    if (w > h) {
        f = double(W - 10) / w;
        left = 6;
        top = (H - h * f) * 0.5;
    } else {
        f = double(H - 10) / h;
        top = 6;
        left = (W - w * f) * 0.5;
    }
    p.zoom = static_cast<int>(f * 100);
    p.left = static_cast<int>(left);
    p.top = static_cast<int>(top);
    return p;
}

QImage renderDesignPreview(const QString &fileName, QSize area)
{
    model::SurfaceModel panel;
    panel.setShowGrid(false);
    panel.setShowMargins(false);
    model::TObjectManager manager(&panel);
    layout::LayoutRecord layout;
    int zoom = 100;
    if (files::ReadDesign(manager, fileName, &layout, nullptr, &zoom) != files::ResultOk)
        return {};
    // Back to 100 %, then to the zoom that fits the area.
    panel.rescale(100, zoom);
    int w = 0, h = 0;
    layout::GetRegionInfo(layout.RegionType(), 0, layout.Width(), layout.Height(), nullptr, &w, &h, nullptr,
                          nullptr, nullptr);
    const PreviewPlacement place = fitPreview(w, h, area.width(), area.height());
    if (place.zoom <= 0)
        return {};
    panel.rescale(place.zoom, 100);

    QImage image(area, QImage::Format_RGB32);
    image.fill(Qt::lightGray);
    {
        QPainter painter(&image);
        painter.translate(place.left, place.top);
        gdi::PainterCanvas canvas(painter);
        paintSurface(canvas, panel, place.zoom);
    }
    panel.clearItems();
    return image;
}

} // namespace editing
