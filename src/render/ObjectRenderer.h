#pragma once
// The object renderer: draws one design object (text, line, box, round box, ellipse) into
// any canvas at a zoom, for one element of a printed sheet. Every view (the design
// surface, previews, the print job, picture export) draws objects through this one call.
//
// Everything is in design-surface pixels at zoom z (100 pixels per inch at z = 100); pen
// widths and font sizes follow z, the 3- and 6-pixel insets and the 38-pixel corners of
// round boxes do not. Sizes of lines and shapes come from the object's control, the
// position from the rectangle.

#include "platform/Picture.h"
#include "platform/gdi/Canvas.h"

#include <QRect>
#include <functional>

namespace model {
class TObjectData;
}
namespace vardata {
class TDataReader;
}

namespace render {

// Draws a graphic object's picture into its rectangle. Pictures are not drawn by the
// renderer itself; whoever can draw them installs a painter.
using PicturePainter = std::function<void(gdi::Canvas &, const plat::Picture &, const QRect &)>;

// The painter used when DrawObject gets none (initially none: graphics draw nothing).
void SetDefaultPicturePainter(PicturePainter painter);
const PicturePainter &DefaultPicturePainter();

// Draws `data` into `rect` (only its left and top are used for shapes; texts use the
// whole rectangle) for element `element` (1-based; 1 outside printing) at `zoom`. The
// merge reader is accepted for the callers' sake and not consulted: field markers are
// drawn literally. Graphic objects go to `picturePainter`, or the default one, when there
// is one; embedded objects and unknown kinds draw nothing.
void DrawObject(gdi::Canvas &canvas, const QRect &rect, const model::TObjectData &data, int element, int zoom,
                const vardata::TDataReader *reader = nullptr, const PicturePainter &picturePainter = {});

// The object's font as drawn at `zoom`: its size in whole points at the 96 ppi
// reference, scaled by the zoom and truncated, turned back into pixels at 96 ppi (12 pt
// at 100 % is 16 pixels; 13 pt at 50 % is 6 pt, 8 pixels). Never smaller than 1 pixel.
plat::LogFont FontAtZoom(const plat::LogFont &font, int zoom);

} // namespace render
