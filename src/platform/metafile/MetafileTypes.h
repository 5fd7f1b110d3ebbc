#pragma once
// Record numbers and constants of enhanced (EMF) and Windows (WMF) metafiles, and the
// logical-to-device mapping both the player and the recorder keep.

#include "platform/gdi/Canvas.h"

#include <QTransform>
#include <cstdint>

namespace plat::metafile {

namespace emr {
enum : uint32_t {
    HEADER = 1, POLYBEZIER = 2, POLYGON = 3, POLYLINE = 4, POLYBEZIERTO = 5, POLYLINETO = 6,
    POLYPOLYLINE = 7, POLYPOLYGON = 8, SETWINDOWEXTEX = 9, SETWINDOWORGEX = 10,
    SETVIEWPORTEXTEX = 11, SETVIEWPORTORGEX = 12, SETBRUSHORGEX = 13, EOF_ = 14, SETPIXELV = 15,
    SETMAPPERFLAGS = 16, SETMAPMODE = 17, SETBKMODE = 18, SETPOLYFILLMODE = 19, SETROP2 = 20,
    SETSTRETCHBLTMODE = 21, SETTEXTALIGN = 22, SETTEXTCOLOR = 24, SETBKCOLOR = 25,
    MOVETOEX = 27, EXCLUDECLIPRECT = 29, INTERSECTCLIPRECT = 30, SCALEVIEWPORTEXTEX = 31,
    SCALEWINDOWEXTEX = 32, SAVEDC = 33, RESTOREDC = 34, SETWORLDTRANSFORM = 35,
    MODIFYWORLDTRANSFORM = 36, SELECTOBJECT = 37, CREATEPEN = 38, CREATEBRUSHINDIRECT = 39,
    DELETEOBJECT = 40, ELLIPSE = 42, RECTANGLE = 43, ROUNDRECT = 44, ARC = 45, CHORD = 46,
    PIE = 47, LINETO = 54, BEGINPATH = 59, ENDPATH = 60, CLOSEFIGURE = 61, FILLPATH = 62,
    STROKEANDFILLPATH = 63, STROKEPATH = 64, GDICOMMENT = 70, EXTSELECTCLIPRGN = 75,
    BITBLT = 76, STRETCHBLT = 77, SETDIBITSTODEVICE = 80, STRETCHDIBITS = 81,
    EXTCREATEFONTINDIRECTW = 82, EXTTEXTOUTA = 83, EXTTEXTOUTW = 84, POLYBEZIER16 = 85,
    POLYGON16 = 86, POLYLINE16 = 87, POLYBEZIERTO16 = 88, POLYLINETO16 = 89,
    POLYPOLYLINE16 = 90, POLYPOLYGON16 = 91, CREATEMONOBRUSH = 93,
    CREATEDIBPATTERNBRUSHPT = 94, EXTCREATEPEN = 95,
};
constexpr uint32_t kSignature = 0x464D4520u; // " EMF"
constexpr uint32_t kStockObject = 0x80000000u;
constexpr uint32_t WHITE_BRUSH = 0x80000000u, LTGRAY_BRUSH = 0x80000001u, GRAY_BRUSH = 0x80000002u,
                   DKGRAY_BRUSH = 0x80000003u, BLACK_BRUSH = 0x80000004u, NULL_BRUSH = 0x80000005u,
                   WHITE_PEN = 0x80000006u, BLACK_PEN = 0x80000007u, NULL_PEN = 0x80000008u,
                   SYSTEM_FONT = 0x8000000Du, DEFAULT_GUI_FONT = 0x80000011u;
} // namespace emr

namespace wmf {
enum : uint16_t {
    EOF_ = 0x0000, SAVEDC = 0x001E, REALIZEPALETTE = 0x0035, SETPALENTRIES = 0x0037,
    CREATEPALETTE = 0x00F7, SETBKMODE = 0x0102, SETMAPMODE = 0x0103, SETROP2 = 0x0104,
    SETRELABS = 0x0105, SETPOLYFILLMODE = 0x0106, SETSTRETCHBLTMODE = 0x0107,
    SETTEXTCHAREXTRA = 0x0108, RESTOREDC = 0x0127, INVERTREGION = 0x012A, PAINTREGION = 0x012B,
    SELECTCLIPREGION = 0x012C, SELECTOBJECT = 0x012D, SETTEXTALIGN = 0x012E,
    RESIZEPALETTE = 0x0139, DIBCREATEPATTERNBRUSH = 0x0142, SETLAYOUT = 0x0149,
    DELETEOBJECT = 0x01F0, CREATEPATTERNBRUSH = 0x01F9, SETBKCOLOR = 0x0201,
    SETTEXTCOLOR = 0x0209, SETTEXTJUSTIFICATION = 0x020A, SETWINDOWORG = 0x020B,
    SETWINDOWEXT = 0x020C, SETVIEWPORTORG = 0x020D, SETVIEWPORTEXT = 0x020E,
    OFFSETWINDOWORG = 0x020F, OFFSETVIEWPORTORG = 0x0211, LINETO = 0x0213, MOVETO = 0x0214,
    OFFSETCLIPRGN = 0x0220, FILLREGION = 0x0228, SETMAPPERFLAGS = 0x0231,
    SELECTPALETTE = 0x0234, CREATEPENINDIRECT = 0x02FA, CREATEFONTINDIRECT = 0x02FB,
    CREATEBRUSHINDIRECT = 0x02FC, POLYGON = 0x0324, POLYLINE = 0x0325, SCALEWINDOWEXT = 0x0410,
    SCALEVIEWPORTEXT = 0x0412, EXCLUDECLIPRECT = 0x0415, INTERSECTCLIPRECT = 0x0416,
    ELLIPSE = 0x0418, FLOODFILL = 0x0419, FRAMEREGION = 0x0429, ANIMATEPALETTE = 0x0436,
    RECTANGLE = 0x041B, SETPIXEL = 0x041F, TEXTOUT = 0x0521, POLYPOLYGON = 0x0538,
    EXTFLOODFILL = 0x0548, ROUNDRECT = 0x061C, PATBLT = 0x061D, ESCAPE = 0x0626,
    CREATEREGION = 0x06FF, ARC = 0x0817, PIE = 0x081A, CHORD = 0x0830, BITBLT = 0x0922,
    DIBBITBLT = 0x0940, EXTTEXTOUT = 0x0A32, STRETCHBLT = 0x0B23, DIBSTRETCHBLT = 0x0B41,
    SETDIBTODEV = 0x0D33, STRETCHDIB = 0x0F43,
};
constexpr uint32_t kPlaceableKey = 0x9AC6CDD7u;
} // namespace wmf

// Raster operations without a source bitmap.
constexpr uint32_t PATCOPY = 0x00F00021u, BLACKNESS = 0x00000042u, WHITENESS = 0x00FF0062u;

// Logical-to-device mapping of a device context: the world transform, then the
// window/viewport mapping of the map mode.
struct Mapping {
    gdi::MapMode mode = gdi::MapMode::Text;
    QPointF windowOrg{0, 0};
    QSizeF windowExt{1, 1};
    QPointF viewportOrg{0, 0};
    QSizeF viewportExt{1, 1};
    QTransform world;

    // Window/viewport part alone; `pxPerMmX/Y` are the device's pixels per millimetre
    // (they give the fixed map modes their scale).
    QTransform windowToViewport(double pxPerMmX, double pxPerMmY) const;
    // World transform followed by the window/viewport mapping.
    QTransform toDevice(double pxPerMmX, double pxPerMmY) const { return world * windowToViewport(pxPerMmX, pxPerMmY); }
    // SetMapMode: the fixed modes also fix the extents, as GDI does.
    void setMode(gdi::MapMode m);
};

// True when every value is finite and not absurdly large (hostile transforms would
// otherwise turn into NaN coordinates).
bool saneTransform(const QTransform &t);

} // namespace plat::metafile
