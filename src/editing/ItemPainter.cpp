#include "editing/SurfacePainter.h"

#include "model/SurfaceItem.h"
#include "model/TObjectData.h"
#include "platform/bmp/BmpCodec.h"

namespace editing {

void drawPicture(gdi::Canvas &c, const plat::Picture &picture, const QRect &dest)
{
    if (picture.isBitmap()) {
        const QImage img = plat::bmp::decodeBmpFile(picture.bytes());
        if (!img.isNull())
            c.stretchDIBits(dest, img.rect(), img);
    }
}

void paintItem(gdi::Canvas &c, const model::SurfaceItem &item, int zoom)
{
    Q_UNUSED(zoom);
    if (item.type() == model::SurfaceItem::Type::Image)
        drawPicture(c, item.picture(), item.bounds());
}

} // namespace editing
