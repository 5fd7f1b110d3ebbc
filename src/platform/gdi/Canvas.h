#pragma once
// A GDI-like drawing surface. The object renderer, text styles, bar codes, crop marks,
// the print engine and the metafile player draw only through this interface, so the same
// drawing code reaches the screen, pictures, printers, PDF files and enhanced metafiles.
//
// Coordinates are logical units mapped to the device by the window/viewport mapping, as
// in GDI. Each operation means what its GDI namesake means, including the GDI conventions
// for rectangles: Rectangle(l, t, r, b) covers the pixels l..r-1 and t..b-1.

#include "platform/LogFont.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QTransform>
#include <QVector>
#include <cstdint>

namespace gdi {

using ColorRef = uint32_t; // 0x00BBGGRR
constexpr ColorRef rgb(int r, int g, int b)
{
    return ColorRef(r & 0xFF) | (ColorRef(g & 0xFF) << 8) | (ColorRef(b & 0xFF) << 16);
}
inline int redOf(ColorRef c) { return int(c & 0xFF); }
inline int greenOf(ColorRef c) { return int((c >> 8) & 0xFF); }
inline int blueOf(ColorRef c) { return int((c >> 16) & 0xFF); }

enum class PenStyle { Solid = 0, Dash = 1, Dot = 2, DashDot = 3, DashDotDot = 4, Null = 5, InsideFrame = 6 };
struct Pen {
    PenStyle style = PenStyle::Solid;
    int width = 0; // 0 draws one device pixel whatever the mapping
    ColorRef color = 0;
    bool operator==(const Pen &) const = default;
};

enum class BrushStyle { Solid = 0, Null = 1, Hatched = 2 };
struct Brush {
    BrushStyle style = BrushStyle::Solid;
    ColorRef color = 0xFFFFFF;
    int hatch = 0; // HS_* when hatched
    bool operator==(const Brush &) const = default;
};

enum class BkMode { Transparent = 1, Opaque = 2 };
enum class MapMode { Text = 1, LoMetric = 2, HiMetric = 3, LoEnglish = 4, HiEnglish = 5, Twips = 6, Isotropic = 7, Anisotropic = 8 };
enum class FillMode { Alternate = 1, Winding = 2 };

// Text alignment for TextOut (TA_* values).
enum TextAlign : unsigned {
    TA_NOUPDATECP = 0, TA_UPDATECP = 1,
    TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6,
    TA_TOP = 0, TA_BOTTOM = 8, TA_BASELINE = 24,
};

// DrawText flags (DT_* values) that the program uses.
enum DrawTextFlag : unsigned {
    DT_LEFT = 0x0, DT_CENTER = 0x1, DT_RIGHT = 0x2, DT_VCENTER = 0x4, DT_BOTTOM = 0x8,
    DT_WORDBREAK = 0x10, DT_SINGLELINE = 0x20, DT_EXPANDTABS = 0x40, DT_NOCLIP = 0x100,
    DT_CALCRECT = 0x400, DT_NOPREFIX = 0x800,
};

// Raster operations for bitmap transfers.
enum class RasterOp : uint32_t { SrcCopy = 0x00CC0020, SrcAnd = 0x008800C6, SrcPaint = 0x00EE0086, SrcInvert = 0x00660046 };

class Canvas {
public:
    virtual ~Canvas() = default;

    // ---- device ----
    // Pixels per inch of the device (a QImage 96, a printer its resolution).
    virtual int dpiX() const = 0;
    virtual int dpiY() const = 0;

    // ---- drawing state (selected into the "DC") ----
    virtual void setPen(const Pen &pen) = 0;
    virtual Pen pen() const = 0;
    virtual void setBrush(const Brush &brush) = 0;
    virtual Brush brush() const = 0;
    // The font's height is in logical units of this canvas; escapement rotates TextOut.
    virtual void setFont(const plat::LogFont &font) = 0;
    virtual plat::LogFont font() const = 0;
    virtual void setTextColor(ColorRef c) = 0;
    virtual void setBkColor(ColorRef c) = 0;
    virtual void setBkMode(BkMode m) = 0;
    virtual void setTextAlign(unsigned ta) = 0;
    virtual void setPolyFillMode(FillMode m) = 0;

    // ---- mapping ----
    virtual void setMapMode(MapMode m) = 0;
    virtual void setWindowOrg(QPoint p) = 0;
    virtual void setWindowExt(QSize s) = 0;
    virtual void setViewportOrg(QPoint p) = 0;
    virtual void setViewportExt(QSize s) = 0;
    // World transform applied before the window/viewport mapping (EMF SetWorldTransform).
    virtual void setWorldTransform(const QTransform &t) = 0;
    virtual QTransform worldTransform() const = 0;

    // ---- state stack ----
    virtual int saveDC() = 0;             // returns the new depth
    virtual void restoreDC(int which) = 0; // negative: relative to the top, as in GDI

    // ---- clipping (logical coordinates) ----
    virtual void intersectClipRect(const QRect &r) = 0;
    virtual void resetClip() = 0;

    // ---- lines and shapes ----
    virtual void moveTo(int x, int y) = 0;
    virtual void lineTo(int x, int y) = 0;
    virtual QPoint currentPosition() const = 0;
    virtual void polyline(const QVector<QPoint> &pts) = 0;
    virtual void polygon(const QVector<QPoint> &pts) = 0;
    virtual void polyPolygon(const QVector<QVector<QPoint>> &polys) = 0;
    virtual void polyBezier(const QVector<QPoint> &pts) = 0; // 1 + 3n points
    virtual void rectangle(int l, int t, int r, int b) = 0;
    virtual void roundRect(int l, int t, int r, int b, int ellipseW, int ellipseH) = 0;
    virtual void ellipse(int l, int t, int r, int b) = 0;
    virtual void arc(const QRect &box, QPoint start, QPoint end) = 0;
    virtual void chord(const QRect &box, QPoint start, QPoint end) = 0;
    virtual void pie(const QRect &box, QPoint start, QPoint end) = 0;
    virtual void fillRect(const QRect &r, const Brush &b) = 0; // FillRect: no outline
    virtual void setPixel(int x, int y, ColorRef c) = 0;

    // ---- paths ----
    virtual void beginPath() = 0;
    virtual void endPath() = 0;
    virtual void closeFigure() = 0;
    virtual void fillPath() = 0;
    virtual void strokePath() = 0;
    virtual void strokeAndFillPath() = 0;

    // ---- text ----
    // TextOut: draws at (x, y) by the text alignment, rotated by the font's escapement
    // about the reference point; opaque background when the mode is Opaque.
    virtual void textOut(int x, int y, const QString &text) = 0;
    // DrawText with DT_* flags; returns the height of the text drawn (or measured with
    // DT_CALCRECT, which also updates `rect`).
    virtual int drawText(const QString &text, QRect &rect, unsigned flags) = 0;
    // Width and height of `text` in the current font, logical units (GetTextExtentPoint32).
    virtual QSize textExtent(const QString &text) = 0;
    // Ascent, descent and internal leading of the current font, logical units.
    struct TextMetrics { int height = 0; int ascent = 0; int descent = 0; int internalLeading = 0; int externalLeading = 0; int aveCharWidth = 0; };
    virtual TextMetrics textMetrics() = 0;

    // ---- bitmaps ----
    // StretchDIBits: `src` (in image pixels) of `image` stretched onto `dest` (logical).
    virtual void stretchDIBits(const QRect &dest, const QRect &src, const QImage &image,
                               RasterOp rop = RasterOp::SrcCopy) = 0;
};

// Saves the canvas state on construction and restores it on destruction.
class StateSaver {
public:
    explicit StateSaver(Canvas &c) : m_c(c) { m_level = c.saveDC(); }
    ~StateSaver() { m_c.restoreDC(m_level); }
    StateSaver(const StateSaver &) = delete;
    StateSaver &operator=(const StateSaver &) = delete;

private:
    Canvas &m_c;
    int m_level;
};

} // namespace gdi
