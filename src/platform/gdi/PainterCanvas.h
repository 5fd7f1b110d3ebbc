#pragma once
// The gdi::Canvas back end over any QPainter: a QImage, a widget, a printer or a PDF
// writer. It keeps a GDI device context's state (pen, brush, font, colours, mapping,
// clip, current position, path, saved states), turns logical coordinates into device
// pixels the way GDI does and rasterises each operation with its GDI meaning:
//
// - shapes are drawn aliased; Rectangle(l, t, r, b) covers the device pixels l..r-1 and
//   t..b-1, lines leave out their last pixel, a pen of width 0 (or any pen that maps to
//   less than two device pixels) draws one device pixel wide;
// - a font's height is in logical units and is turned into a pixel size through the
//   mapping; TextOut turns the text by the font's escapement about its reference point;
// - rectangles handed over as QRect mean GDI's RECT (left, top, right, bottom) with
//   right = x() + width() and bottom = y() + height().
//
// The painter's own transform at construction stays below the GDI mapping, so a painter
// that is already scaled (a print preview) still works. The painter's state is saved on
// construction and restored on destruction.

#include "platform/gdi/Canvas.h"

#include <QPainterPath>
#include <QRegion>
#include <vector>

class QPainter;
class QFont;

namespace gdi {

class PainterCanvas : public Canvas {
public:
    explicit PainterCanvas(QPainter &painter);
    ~PainterCanvas() override;
    PainterCanvas(const PainterCanvas &) = delete;
    PainterCanvas &operator=(const PainterCanvas &) = delete;

    int dpiX() const override;
    int dpiY() const override;

    void setPen(const Pen &pen) override { m_s.pen = pen; }
    Pen pen() const override { return m_s.pen; }
    void setBrush(const Brush &brush) override { m_s.brush = brush; }
    Brush brush() const override { return m_s.brush; }
    void setFont(const plat::LogFont &font) override { m_s.font = font; }
    plat::LogFont font() const override { return m_s.font; }
    void setTextColor(ColorRef c) override { m_s.textColor = c; }
    void setBkColor(ColorRef c) override { m_s.bkColor = c; }
    void setBkMode(BkMode m) override { m_s.bkMode = m; }
    void setTextAlign(unsigned ta) override { m_s.textAlign = ta; }
    void setPolyFillMode(FillMode m) override { m_s.fillMode = m; }

    // Current values, for callers and tests that need to read the state back.
    ColorRef textColor() const { return m_s.textColor; }
    ColorRef bkColor() const { return m_s.bkColor; }
    BkMode bkMode() const { return m_s.bkMode; }
    unsigned textAlign() const { return m_s.textAlign; }

    void setMapMode(MapMode m) override { m_s.mapMode = m; }
    void setWindowOrg(QPoint p) override { m_s.windowOrg = p; }
    void setWindowExt(QSize s) override { m_s.windowExt = s; }
    void setViewportOrg(QPoint p) override { m_s.viewportOrg = p; }
    void setViewportExt(QSize s) override { m_s.viewportExt = s; }
    void setWorldTransform(const QTransform &t) override { m_s.world = t; }
    QTransform worldTransform() const override { return m_s.world; }

    int saveDC() override;
    void restoreDC(int which) override;

    void intersectClipRect(const QRect &r) override;
    void resetClip() override;

    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    QPoint currentPosition() const override { return m_s.current; }
    void polyline(const QVector<QPoint> &pts) override;
    void polygon(const QVector<QPoint> &pts) override;
    void polyPolygon(const QVector<QVector<QPoint>> &polys) override;
    void polyBezier(const QVector<QPoint> &pts) override;
    void rectangle(int l, int t, int r, int b) override;
    void roundRect(int l, int t, int r, int b, int ellipseW, int ellipseH) override;
    void ellipse(int l, int t, int r, int b) override;
    void arc(const QRect &box, QPoint start, QPoint end) override;
    void chord(const QRect &box, QPoint start, QPoint end) override;
    void pie(const QRect &box, QPoint start, QPoint end) override;
    void fillRect(const QRect &r, const Brush &b) override;
    void setPixel(int x, int y, ColorRef c) override;

    void beginPath() override;
    void endPath() override;
    void closeFigure() override;
    void fillPath() override;
    void strokePath() override;
    void strokeAndFillPath() override;

    void textOut(int x, int y, const QString &text) override;
    int drawText(const QString &text, QRect &rect, unsigned flags) override;
    QSize textExtent(const QString &text) override;
    TextMetrics textMetrics() override;

    void stretchDIBits(const QRect &dest, const QRect &src, const QImage &image,
                       RasterOp rop = RasterOp::SrcCopy) override;

    // The logical-to-device mapping in force (world transform, then window to viewport).
    QTransform logicalToDevice() const;
    // The QFont the current LogFont becomes on this device (pixel size in device pixels).
    QFont deviceFont() const;

private:
    struct State {
        Pen pen;
        Brush brush;
        plat::LogFont font;
        ColorRef textColor = 0;
        ColorRef bkColor = 0xFFFFFF;
        BkMode bkMode = BkMode::Opaque;
        unsigned textAlign = 0;
        FillMode fillMode = FillMode::Alternate;
        MapMode mapMode = MapMode::Text;
        QPoint windowOrg{0, 0};
        QSize windowExt{1, 1};
        QPoint viewportOrg{0, 0};
        QSize viewportExt{1, 1};
        QTransform world;
        QPoint current{0, 0};
        bool clipped = false;
        QRegion clip; // device pixels
    };

    // Scale factors of the window-to-viewport mapping alone (device pixels per unit).
    void mappingScale(double &sx, double &sy) const;
    QPoint toDevice(QPoint p) const;
    QPointF toDeviceF(QPointF p) const;
    // GDI's device rectangle of a logical (l, t, r, b): corners mapped, then ordered.
    QRect deviceRect(int l, int t, int r, int b) const;
    bool axisAligned() const;
    int devicePenWidth() const;

    void applyClip();
    // Strokes and/or fills `devicePath` (device pixels) with the current pen and brush.
    void paintDevicePath(const QPainterPath &devicePath, bool fill, bool stroke);
    void paintShape(const QPainterPath &logicalPath, bool fill, bool stroke);
    // A closed shape given by its GDI bounding box, drawn either as a device rectangle
    // (for the pixel-exact cases) or through the mapped logical path.
    enum class Shape { Rect, RoundRect, Ellipse };
    void drawBoxShape(Shape shape, int l, int t, int r, int b, int ew, int eh);
    QPainterPath arcPath(const QRect &box, QPoint start, QPoint end, int kind) const;
    void drawTextLine(QPointF deviceRef, const QString &text, double escapementDeg,
                      unsigned align);

    QPainter &m_p;
    QTransform m_base;
    bool m_baseClipped = false;
    QRegion m_baseClip;
    State m_s;
    std::vector<State> m_stack;
    bool m_inPath = false;
    QPainterPath m_path; // logical coordinates
    bool m_havePath = false;
};

} // namespace gdi
