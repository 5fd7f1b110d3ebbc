#pragma once
// Paints a design surface through gdi::Canvas: the white face, the dotted margin frame,
// the background picture stretched one pixel inside the frame, the grid dots, then every
// object from the bottom of the stacking order to the top. The screen, the open-dialog
// preview and the wizard's preview all paint through here.

#include "platform/Picture.h"
#include "platform/gdi/Canvas.h"

namespace model {
class SurfaceItem;
class SurfaceModel;
} // namespace model

namespace editing {

void paintSurface(gdi::Canvas &canvas, const model::SurfaceModel &surface, int zoom);
// One object at `zoom` in surface pixels: paint boxes through the object renderer as
// element 1, image controls by stretching their picture over their bounds.
void paintItem(gdi::Canvas &canvas, const model::SurfaceItem &item, int zoom);
// A picture stretched over `dest`.
void drawPicture(gdi::Canvas &canvas, const plat::Picture &picture, const QRect &dest);

} // namespace editing
