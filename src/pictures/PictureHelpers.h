#pragma once
// Loading picture files into pictures, the bitmap edits the picture dialog offers
// (quarter turn, mirror, crop), and turning a picture into pixels or drawing it.
//
// A loaded bitmap is kept as the bytes of a complete BMP file, a metafile as EMF bytes
// (a WMF is converted when it is loaded). Every function that cannot do its work returns
// a null picture (or a null image) and leaves its input alone.

#include "platform/Picture.h"
#include "platform/gdi/Canvas.h"

#include <QImage>
#include <QRect>
#include <QString>

namespace pictures {

// Loads a picture file. The extension (any case) must be .BMP, .PCX, .JPG, .PNG, .GIF,
// .TIF, .WMF or .EMF. Metafiles are read as metafiles; for the others the file's real
// format (from its bytes, not its name) picks the reader, at the file's bit depth, or 8
// bits when `reduceColors` is on and the file is not colour-mapped already.
plat::Picture LoadPicture(const QString &fileName, bool reduceColors);

// The bitmap turned a quarter clockwise, keeping its bit depth.
plat::Picture RotateBitmap(const plat::Picture &bitmap);
// The bitmap mirrored left to right (about a vertical axis): the "Mirror Vertical" edit.
plat::Picture MirrorVertical(const plat::Picture &bitmap);
// The bitmap mirrored top to bottom (about a horizontal axis): the "Mirror Horizontal" edit.
plat::Picture MirrorHorizontal(const plat::Picture &bitmap);
// The part `part` (bitmap pixels) of the bitmap; the part is cut to the bitmap and must
// keep at least one pixel.
plat::Picture CropBitmap(const plat::Picture &bitmap, const QRect &part);
// The part of a bitmap that a crop rectangle in the dialog's view selects: the view
// shows the bitmap stretched over `viewSize` at (4, 4) of its panel, and `cropRect` is
// in panel coordinates. sx = bitmap width / view width, and likewise sy; left =
// trunc((left - 4) x sx), top = trunc((top - 4) x sy), width = trunc(width x sx),
// height = trunc(height x sy).
QRect cropRectFromView(const QRect &cropRect, QSize viewSize, QSize bitmapSize);

// The picture's pixels: a bitmap decoded, a metafile drawn at its natural size (96 ppi)
// on a transparent image. Null for a null or unreadable picture.
QImage decodePicture(const plat::Picture &picture);
// Natural size in pixels at 96 ppi; empty for a null or unreadable picture.
QSize pictureSize(const plat::Picture &picture);
// Draws the picture over `dest` (logical units of the canvas): a bitmap stretched with
// StretchDIBits, a metafile played into the rectangle. False when the picture is null or
// unreadable.
bool drawPicture(gdi::Canvas &canvas, const plat::Picture &picture, const QRect &dest);

} // namespace pictures
