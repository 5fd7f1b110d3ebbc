#pragma once
// The rules behind the property editor that need no widgets: the selection frame's values
// in hundredths of an inch, the graphic page's picture descriptions, and writing the
// editor's fields into one object.

#include "platform/LogFont.h"
#include "platform/Picture.h"

#include <QRect>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace model {
class SurfaceItem;
}

namespace editing {

// The selection frame around one object: 2 pixels to spare on the left and top, 3 on the
// right and bottom.
QRect SelectionFrame(const QRect &bounds);
// Frame pixels shown as hundredths of an inch: pixels / (zoom x 0.01), truncated (the
// factor formed first).
int FrameUnits(int pixels, int zoom);
// A typed value back to frame pixels: trunc(v x (zoom x 0.01)).
int FramePixels(long long units, int zoom);

// The graphic page's description of a picture.
struct PictureDescription {
    QString type;       // "Bitmap (BMP)", "Enhanced Metafile (EMF)", "Windows Metafile (WMF)"
    QString size;       // "<width> x <height>"
    bool bitmap = false; // the colour depth and storage size apply
    QString colorDepth;
    QString storeSize;  // "<n> bytes", empty for an unknown depth
};
PictureDescription DescribePicture(const plat::Picture &picture);
// Colour-depth text and colour-table entries of a bit depth (15 counts as 16); empty and
// 0 for a depth the editor does not name.
QString ColorDepthText(int bits, int *tableEntries = nullptr, int *namedBits = nullptr);

// The editor's fields as the widgets hold them; the text and shape fields are used only
// for objects of those kinds.
struct PropertyFields {
    // General
    QString left, top, width, height;
    bool nonPrinting = false;
    bool locked = false;
    // Text
    QStringList lines;
    QString fontFace;     // empty: the font's face is kept
    QString fontSize;     // not a whole number: the size is kept
    uint32_t textColor = 0;
    uint32_t shadowColor = 0xFFFFFF;
    int shadowDXIndex = 10;
    int shadowDYIndex = 10;
    QString rotation;     // whole degrees; not a whole number: kept
    uint32_t textStyle = 1;
    bool bold = false, italic = false, underline = false, strikeOut = false;
    int justification = 0;
    // Line and shapes
    int lineType = 0;
    int shapeStyle = 0;
    int lineSizeIndex = 0;
    uint32_t shapeColor = 0;
    uint32_t shapeBackground = 0xFFFFFF;
};

// Writes the fields into the item: the four frame values in turn (a locked object keeps
// its place and size; a value that is not a whole number is left alone), the flags, and
// for texts, lines and shapes their own properties. Graphics take only the general page.
void ApplyFieldsToItem(model::SurfaceItem *item, const PropertyFields &fields, int zoom);

// The justification index the radio group shows for a Style value (2 right, 1 centre,
// anything else left); the shape style group uses the same rule.
int ThreeWayIndex(int32_t style);

} // namespace editing
