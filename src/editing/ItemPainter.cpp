#include "editing/SurfacePainter.h"

#include "model/SurfaceItem.h"
#include "model/TObjectData.h"
#include "pictures/PictureHelpers.h"
#include "render/ObjectRenderer.h"

namespace editing {

void drawPicture(gdi::Canvas &c, const plat::Picture &picture, const QRect &dest)
{
    pictures::drawPicture(c, picture, dest);
}

void paintItem(gdi::Canvas &c, const model::SurfaceItem &item, int zoom)
{
    if (item.type() == model::SurfaceItem::Type::Image) {
        drawPicture(c, item.picture(), item.bounds());
        return;
    }
    if (const model::TObjectData *d = item.data())
        render::DrawObject(c, item.bounds(), *d, 1, zoom);
}

} // namespace editing
