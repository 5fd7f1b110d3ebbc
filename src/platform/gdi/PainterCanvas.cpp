#include "platform/gdi/PainterCanvas.h"

#include "platform/gdi/DrawTextLayout.h"

#include <QFont>
#include <QFontMetrics>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cmath>

namespace gdi {

namespace {

QColor toQColor(ColorRef c) { return QColor(redOf(c), greenOf(c), blueOf(c)); }

Qt::PenStyle qtPenStyle(PenStyle s)
{
    switch (s) {
    case PenStyle::Dash: return Qt::DashLine;
    case PenStyle::Dot: return Qt::DotLine;
    case PenStyle::DashDot: return Qt::DashDotLine;
    case PenStyle::DashDotDot: return Qt::DashDotDotLine;
    case PenStyle::Null: return Qt::NoPen;
    default: return Qt::SolidLine;
    }
}

Qt::BrushStyle qtHatch(int hatch)
{
    switch (hatch) {
    case 0: return Qt::HorPattern;   // HS_HORIZONTAL
    case 1: return Qt::VerPattern;   // HS_VERTICAL
    case 2: return Qt::FDiagPattern; // HS_FDIAGONAL  (\\\)
    case 3: return Qt::BDiagPattern; // HS_BDIAGONAL  (///)
    case 4: return Qt::CrossPattern; // HS_CROSS
    default: return Qt::DiagCrossPattern; // HS_DIAGCROSS
    }
}

double length(double a, double b) { return std::sqrt(a * a + b * b); }

} // namespace

PainterCanvas::PainterCanvas(QPainter &painter) : m_p(painter)
{
    m_p.save();
    m_base = m_p.transform();
    m_baseClipped = m_p.hasClipping();
    if (m_baseClipped)
        m_baseClip = m_p.clipRegion();
    m_p.setRenderHint(QPainter::Antialiasing, false);
    m_p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    m_p.setRenderHint(QPainter::TextAntialiasing, true);
}

PainterCanvas::~PainterCanvas() { m_p.restore(); }

int PainterCanvas::dpiX() const
{
    const QPaintDevice *d = m_p.device();
    return d ? d->logicalDpiX() : 96;
}

int PainterCanvas::dpiY() const
{
    const QPaintDevice *d = m_p.device();
    return d ? d->logicalDpiY() : 96;
}

// ---- mapping ----

void PainterCanvas::mappingScale(double &sx, double &sy) const
{
    const double dx = dpiX(), dy = dpiY();
    switch (m_s.mapMode) {
    case MapMode::LoMetric: sx = dx / 254.0; sy = -dy / 254.0; return;
    case MapMode::HiMetric: sx = dx / 2540.0; sy = -dy / 2540.0; return;
    case MapMode::LoEnglish: sx = dx / 100.0; sy = -dy / 100.0; return;
    case MapMode::HiEnglish: sx = dx / 1000.0; sy = -dy / 1000.0; return;
    case MapMode::Twips: sx = dx / 1440.0; sy = -dy / 1440.0; return;
    case MapMode::Anisotropic:
    case MapMode::Isotropic: {
        const QSize w = m_s.windowExt, v = m_s.viewportExt;
        sx = (w.width() != 0) ? double(v.width()) / w.width() : 1.0;
        sy = (w.height() != 0) ? double(v.height()) / w.height() : 1.0;
        if (m_s.mapMode == MapMode::Isotropic) {
            // One unit is as long on both axes; the smaller scale wins, signs stay.
            const double m = std::min(std::abs(sx), std::abs(sy));
            sx = sx < 0 ? -m : m;
            sy = sy < 0 ? -m : m;
        }
        return;
    }
    default: sx = 1.0; sy = 1.0; return;
    }
}

QTransform PainterCanvas::logicalToDevice() const
{
    double sx, sy;
    mappingScale(sx, sy);
    const QTransform map(sx, 0, 0, sy, m_s.viewportOrg.x() - m_s.windowOrg.x() * sx,
                         m_s.viewportOrg.y() - m_s.windowOrg.y() * sy);
    return m_s.world * map;
}

QPointF PainterCanvas::toDeviceF(QPointF p) const { return logicalToDevice().map(p); }

QPoint PainterCanvas::toDevice(QPoint p) const
{
    const QPointF d = toDeviceF(QPointF(p));
    return QPoint(int(std::lround(d.x())), int(std::lround(d.y())));
}

QRect PainterCanvas::deviceRect(int l, int t, int r, int b) const
{
    const QPoint a = toDevice(QPoint(l, t)), c = toDevice(QPoint(r, b));
    const int L = std::min(a.x(), c.x()), R = std::max(a.x(), c.x());
    const int T = std::min(a.y(), c.y()), B = std::max(a.y(), c.y());
    return QRect(L, T, R - L, B - T);
}

bool PainterCanvas::axisAligned() const
{
    return m_s.world.m12() == 0 && m_s.world.m21() == 0;
}

int PainterCanvas::devicePenWidth() const
{
    if (m_s.pen.width <= 0)
        return 0;
    const QTransform t = logicalToDevice();
    return int(std::lround(m_s.pen.width * length(t.m11(), t.m12())));
}

void PainterCanvas::applyClip()
{
    m_p.setTransform(m_base);
    if (m_s.clipped) {
        m_p.setClipRegion(m_baseClipped ? m_baseClip.intersected(m_s.clip) : m_s.clip);
    } else if (m_baseClipped) {
        m_p.setClipRegion(m_baseClip);
    } else {
        m_p.setClipping(false);
    }
}

// ---- state stack ----

int PainterCanvas::saveDC()
{
    m_stack.push_back(m_s);
    return int(m_stack.size());
}

void PainterCanvas::restoreDC(int which)
{
    const int size = int(m_stack.size());
    const int level = which < 0 ? size + which + 1 : which;
    if (level < 1 || level > size)
        return; // as GDI: an unknown level restores nothing
    m_s = m_stack[size_t(level - 1)];
    m_stack.resize(size_t(level - 1));
}

// ---- clipping ----

void PainterCanvas::intersectClipRect(const QRect &r)
{
    QRegion region;
    if (axisAligned()) {
        region = QRegion(deviceRect(r.x(), r.y(), r.x() + r.width(), r.y() + r.height()));
    } else {
        const QPolygonF poly = logicalToDevice().map(QPolygonF(QRectF(r)));
        region = QRegion(poly.toPolygon());
    }
    m_s.clip = m_s.clipped ? m_s.clip.intersected(region) : region;
    m_s.clipped = true;
}

void PainterCanvas::resetClip()
{
    m_s.clipped = false;
    m_s.clip = QRegion();
}

// ---- painting helpers ----

void PainterCanvas::paintDevicePath(const QPainterPath &devicePath, bool fill, bool stroke)
{
    applyClip();
    if (fill && m_s.brush.style != BrushStyle::Null) {
        if (m_s.brush.style == BrushStyle::Hatched) {
            if (m_s.bkMode == BkMode::Opaque)
                m_p.fillPath(devicePath, toQColor(m_s.bkColor));
            m_p.fillPath(devicePath, QBrush(toQColor(m_s.brush.color), qtHatch(m_s.brush.hatch)));
        } else {
            m_p.fillPath(devicePath, toQColor(m_s.brush.color));
        }
    }
    if (stroke && m_s.pen.style != PenStyle::Null) {
        const int w = devicePenWidth();
        QPen pen(toQColor(m_s.pen.color));
        if (w <= 1) {
            pen.setWidth(1);
            pen.setCosmetic(true);
            pen.setStyle(qtPenStyle(m_s.pen.style));
            pen.setCapStyle(Qt::FlatCap); // a thin line leaves out its last pixel
            pen.setJoinStyle(Qt::MiterJoin);
        } else {
            pen.setWidth(w);
            pen.setCapStyle(Qt::RoundCap); // geometric pens: round ends and joins
            pen.setJoinStyle(Qt::RoundJoin);
        }
        m_p.strokePath(devicePath, pen);
    }
}

void PainterCanvas::paintShape(const QPainterPath &logicalPath, bool fill, bool stroke)
{
    QPainterPath p = logicalToDevice().map(logicalPath);
    p.setFillRule(logicalPath.fillRule());
    paintDevicePath(p, fill, stroke);
}

void PainterCanvas::drawBoxShape(Shape shape, int l, int t, int r, int b, int ew, int eh)
{
    if (m_inPath) {
        const QRectF box(QPointF(std::min(l, r), std::min(t, b)), QPointF(std::max(l, r), std::max(t, b)));
        if (shape == Shape::Rect)
            m_path.addRect(box);
        else if (shape == Shape::Ellipse)
            m_path.addEllipse(box);
        else
            m_path.addRoundedRect(box, ew / 2.0, eh / 2.0);
        return;
    }
    if (!axisAligned()) {
        QPainterPath path;
        const QRectF box(QPointF(l, t), QPointF(r - 1, b - 1));
        if (shape == Shape::Rect)
            path.addRect(box);
        else if (shape == Shape::Ellipse)
            path.addEllipse(box);
        else
            path.addRoundedRect(box, ew / 2.0, eh / 2.0);
        paintShape(path, true, true);
        return;
    }

    // Device box: the outline runs through the pixels l..r-1 and t..b-1.
    QRect d = deviceRect(l, t, r, b);
    const int w = devicePenWidth();
    if (m_s.pen.style == PenStyle::InsideFrame && w > 1) {
        // The whole pen stays inside the bounding box.
        d.adjust(w / 2, w / 2, -((w - 1) / 2), -((w - 1) / 2));
    }
    if (d.width() <= 0 || d.height() <= 0)
        return;
    const QRectF box(d.x(), d.y(), d.width() - 1, d.height() - 1);
    QPainterPath path;
    if (shape == Shape::Rect) {
        path.addRect(box);
    } else if (shape == Shape::Ellipse) {
        path.addEllipse(box);
    } else {
        const QTransform m = logicalToDevice();
        const double rx = std::min(std::abs(ew * m.m11()) / 2.0, box.width() / 2.0);
        const double ry = std::min(std::abs(eh * m.m22()) / 2.0, box.height() / 2.0);
        path.addRoundedRect(box, rx, ry);
    }
    if (m_s.pen.style == PenStyle::Null) {
        // Without an outline GDI fills one pixel less to the right and bottom, which is
        // what filling the outline's path gives.
        paintDevicePath(path, true, false);
        return;
    }
    paintDevicePath(path, true, true);
}

// ---- lines and shapes ----

void PainterCanvas::moveTo(int x, int y)
{
    m_s.current = QPoint(x, y);
    if (m_inPath)
        m_path.moveTo(x, y);
}

void PainterCanvas::lineTo(int x, int y)
{
    const QPoint from = m_s.current;
    m_s.current = QPoint(x, y);
    if (m_inPath) {
        if (m_path.elementCount() == 0)
            m_path.moveTo(from);
        m_path.lineTo(x, y);
        return;
    }
    QPainterPath p;
    p.moveTo(QPointF(toDevice(from)));
    p.lineTo(QPointF(toDevice(QPoint(x, y))));
    paintDevicePath(p, false, true);
}

void PainterCanvas::polyline(const QVector<QPoint> &pts)
{
    if (pts.size() < 2)
        return;
    if (m_inPath) {
        m_path.moveTo(pts[0]);
        for (qsizetype i = 1; i < pts.size(); ++i)
            m_path.lineTo(pts[i]);
        return;
    }
    QPainterPath p;
    p.moveTo(QPointF(toDevice(pts[0])));
    for (qsizetype i = 1; i < pts.size(); ++i)
        p.lineTo(QPointF(toDevice(pts[i])));
    paintDevicePath(p, false, true);
}

void PainterCanvas::polygon(const QVector<QPoint> &pts)
{
    polyPolygon({pts});
}

void PainterCanvas::polyPolygon(const QVector<QVector<QPoint>> &polys)
{
    QPainterPath p;
    p.setFillRule(m_s.fillMode == FillMode::Winding ? Qt::WindingFill : Qt::OddEvenFill);
    for (const auto &poly : polys) {
        if (poly.size() < 2)
            continue;
        p.moveTo(poly[0]);
        for (qsizetype i = 1; i < poly.size(); ++i)
            p.lineTo(poly[i]);
        p.closeSubpath();
    }
    if (p.isEmpty())
        return;
    if (m_inPath) {
        m_path.addPath(p);
        return;
    }
    QPainterPath d;
    d.setFillRule(p.fillRule());
    for (const auto &poly : polys) {
        if (poly.size() < 2)
            continue;
        d.moveTo(QPointF(toDevice(poly[0])));
        for (qsizetype i = 1; i < poly.size(); ++i)
            d.lineTo(QPointF(toDevice(poly[i])));
        d.closeSubpath();
    }
    paintDevicePath(d, true, true);
}

void PainterCanvas::polyBezier(const QVector<QPoint> &pts)
{
    if (pts.size() < 4 || (pts.size() - 1) % 3 != 0)
        return; // GDI refuses any other count
    QPainterPath p;
    p.moveTo(pts[0]);
    for (qsizetype i = 1; i + 2 < pts.size(); i += 3)
        p.cubicTo(pts[i], pts[i + 1], pts[i + 2]);
    if (m_inPath) {
        m_path.addPath(p);
        return;
    }
    paintShape(p, false, true);
}

void PainterCanvas::rectangle(int l, int t, int r, int b)
{
    drawBoxShape(Shape::Rect, l, t, r, b, 0, 0);
}

void PainterCanvas::roundRect(int l, int t, int r, int b, int ellipseW, int ellipseH)
{
    drawBoxShape(Shape::RoundRect, l, t, r, b, ellipseW, ellipseH);
}

void PainterCanvas::ellipse(int l, int t, int r, int b)
{
    drawBoxShape(Shape::Ellipse, l, t, r, b, 0, 0);
}

// kind: 0 arc, 1 chord, 2 pie. The arc runs counter-clockwise (as seen on the screen)
// from the ray through `start` to the ray through `end`.
QPainterPath PainterCanvas::arcPath(const QRect &box, QPoint start, QPoint end, int kind) const
{
    const QRectF b(QPointF(box.x(), box.y()), QPointF(box.x() + box.width(), box.y() + box.height()));
    const QPointF c = b.center();
    auto angleOf = [&](QPoint p) {
        return std::atan2(-(p.y() - c.y()), p.x() - c.x()) * 180.0 / M_PI;
    };
    const double a0 = angleOf(start);
    double sweep = angleOf(end) - a0;
    while (sweep <= 0)
        sweep += 360.0;
    while (sweep > 360.0)
        sweep -= 360.0;
    QPainterPath p;
    if (kind == 2) {
        p.moveTo(c);
        p.arcTo(b, a0, sweep);
        p.closeSubpath();
    } else {
        p.arcMoveTo(b, a0);
        p.arcTo(b, a0, sweep);
        if (kind == 1)
            p.closeSubpath();
    }
    return p;
}

void PainterCanvas::arc(const QRect &box, QPoint start, QPoint end)
{
    const QPainterPath p = arcPath(box, start, end, 0);
    if (m_inPath) {
        m_path.addPath(p);
        return;
    }
    paintShape(p, false, true);
}

void PainterCanvas::chord(const QRect &box, QPoint start, QPoint end)
{
    const QPainterPath p = arcPath(box, start, end, 1);
    if (m_inPath) {
        m_path.addPath(p);
        return;
    }
    paintShape(p, true, true);
}

void PainterCanvas::pie(const QRect &box, QPoint start, QPoint end)
{
    const QPainterPath p = arcPath(box, start, end, 2);
    if (m_inPath) {
        m_path.addPath(p);
        return;
    }
    paintShape(p, true, true);
}

void PainterCanvas::fillRect(const QRect &r, const Brush &b)
{
    const Brush saved = m_s.brush;
    m_s.brush = b;
    QPainterPath p;
    if (axisAligned()) {
        p.addRect(QRectF(deviceRect(r.x(), r.y(), r.x() + r.width(), r.y() + r.height())));
    } else {
        p.addPolygon(logicalToDevice().map(QPolygonF(QRectF(r))));
        p.closeSubpath();
    }
    paintDevicePath(p, true, false);
    m_s.brush = saved;
}

void PainterCanvas::setPixel(int x, int y, ColorRef c)
{
    applyClip();
    m_p.fillRect(QRect(toDevice(QPoint(x, y)), QSize(1, 1)), toQColor(c));
}

// ---- paths ----

void PainterCanvas::beginPath()
{
    m_inPath = true;
    m_havePath = false;
    m_path = QPainterPath();
}

void PainterCanvas::endPath()
{
    if (!m_inPath)
        return;
    m_inPath = false;
    m_havePath = true;
}

void PainterCanvas::closeFigure()
{
    if (m_inPath)
        m_path.closeSubpath();
}

void PainterCanvas::fillPath()
{
    if (!m_havePath)
        return;
    m_path.setFillRule(m_s.fillMode == FillMode::Winding ? Qt::WindingFill : Qt::OddEvenFill);
    paintShape(m_path, true, false);
    m_path = QPainterPath();
    m_havePath = false;
}

void PainterCanvas::strokePath()
{
    if (!m_havePath)
        return;
    paintShape(m_path, false, true);
    m_path = QPainterPath();
    m_havePath = false;
}

void PainterCanvas::strokeAndFillPath()
{
    if (!m_havePath)
        return;
    m_path.setFillRule(m_s.fillMode == FillMode::Winding ? Qt::WindingFill : Qt::OddEvenFill);
    paintShape(m_path, true, true);
    m_path = QPainterPath();
    m_havePath = false;
}

// ---- text ----

QFont PainterCanvas::deviceFont() const
{
    const QTransform t = logicalToDevice();
    const double sy = length(t.m21(), t.m22());
    const plat::LogFont &f = m_s.font;
    int px;
    if (f.height < 0) {
        px = int(std::lround(-double(f.height) * sy));
    } else if (f.height > 0) {
        // A positive height asks for the cell (ascent + descent): find the character
        // height that gives that cell in this face.
        const QFont probe = f.toQFont(100);
        const QFontMetricsF m(probe);
        const double cell = m.ascent() + m.descent();
        const double devCell = f.height * sy;
        px = cell > 0 ? int(std::lround(devCell * 100.0 / cell)) : int(std::lround(devCell));
    } else {
        px = int(std::lround(16 * sy)); // the default height: 12 points at 96 ppi
    }
    QFont q = f.toQFont(std::max(1, px));
    if (f.width > 0) {
        // lfWidth asks for an average character width; stretch the face to it.
        const QFontMetricsF m(q);
        const double want = f.width * length(t.m11(), t.m12());
        if (m.averageCharWidth() > 0)
            q.setStretch(std::clamp(int(std::lround(100.0 * want / m.averageCharWidth())), 1, 4000));
    }
    return q;
}

QSize PainterCanvas::textExtent(const QString &text)
{
    const QFontMetrics fm(deviceFont(), m_p.device());
    const QTransform t = logicalToDevice();
    const double sx = length(t.m11(), t.m12()), sy = length(t.m21(), t.m22());
    const int w = fm.horizontalAdvance(text), h = fm.ascent() + fm.descent();
    return QSize(sx > 0 ? int(std::lround(w / sx)) : w, sy > 0 ? int(std::lround(h / sy)) : h);
}

Canvas::TextMetrics PainterCanvas::textMetrics()
{
    const QFont font = deviceFont();
    const QFontMetrics fm(font, m_p.device());
    const QTransform t = logicalToDevice();
    const double sx = length(t.m11(), t.m12()), sy = length(t.m21(), t.m22());
    auto ly = [&](int v) { return sy > 0 ? int(std::lround(v / sy)) : v; };
    auto lx = [&](int v) { return sx > 0 ? int(std::lround(v / sx)) : v; };
    TextMetrics m;
    m.ascent = ly(fm.ascent());
    m.descent = ly(fm.descent());
    m.height = ly(fm.ascent() + fm.descent());
    m.internalLeading = std::max(0, ly(fm.ascent() + fm.descent() - font.pixelSize()));
    m.externalLeading = std::max(0, ly(fm.leading()));
    m.aveCharWidth = lx(fm.averageCharWidth());
    return m;
}

void PainterCanvas::drawTextLine(QPointF ref, const QString &text, double escapementDeg, unsigned align)
{
    const QFont font = deviceFont();
    const QFontMetrics fm(font, m_p.device());
    const int w = fm.horizontalAdvance(text);
    double x = 0;
    switch (align & 6u) {
    case TA_CENTER: x = -w / 2.0; break;
    case TA_RIGHT: x = -w; break;
    default: break;
    }
    double baseline = fm.ascent();
    switch (align & 24u) {
    case TA_BASELINE: baseline = 0; break;
    case TA_BOTTOM: baseline = -fm.descent(); break;
    default: break;
    }
    applyClip();
    m_p.translate(ref);
    if (escapementDeg != 0)
        m_p.rotate(-escapementDeg); // counter-clockwise on the device
    if (m_s.bkMode == BkMode::Opaque)
        m_p.fillRect(QRectF(x, baseline - fm.ascent(), w, fm.ascent() + fm.descent()), toQColor(m_s.bkColor));
    m_p.setFont(font);
    m_p.setPen(toQColor(m_s.textColor));
    m_p.drawText(QPointF(x, baseline), text);
}

void PainterCanvas::textOut(int x, int y, const QString &text)
{
    const bool updateCp = (m_s.textAlign & TA_UPDATECP) != 0;
    const QPoint ref = updateCp ? m_s.current : QPoint(x, y);
    drawTextLine(toDeviceF(QPointF(ref)), text, m_s.font.escapement / 10.0, m_s.textAlign);
    if (updateCp) {
        const QSize e = textExtent(text);
        const double a = m_s.font.escapement / 10.0 * M_PI / 180.0;
        m_s.current = QPoint(ref.x() + int(std::lround(e.width() * std::cos(a))),
                             ref.y() - int(std::lround(e.width() * std::sin(a))));
    }
}


int PainterCanvas::drawText(const QString &text, QRect &rect, unsigned flags)
{
    const DrawTextLayout layout = layoutDrawText(text, rect, flags, [this](const QString &s) { return textExtent(s); });
    if (flags & DT_CALCRECT) {
        rect = QRect(rect.x(), rect.y(), layout.maxWidth, layout.totalHeight);
        return layout.totalHeight;
    }
    const int depth = saveDC();
    if (!(flags & DT_NOCLIP))
        intersectClipRect(rect);
    for (const DrawTextLayout::Line &l : layout.lines)
        drawTextLine(toDeviceF(QPointF(l.x, l.y)), l.text, 0.0, TA_TOP | TA_LEFT);
    restoreDC(depth);
    return layout.totalHeight;
}

// ---- bitmaps ----

void PainterCanvas::stretchDIBits(const QRect &dest, const QRect &src, const QImage &image, RasterOp rop)
{
    if (image.isNull() || dest.width() == 0 || dest.height() == 0 || src.width() == 0 || src.height() == 0)
        return;
    QRect s = src.normalized().intersected(image.rect());
    if (s.isEmpty())
        return;
    QImage img = image.copy(s);
    // A negative extent on one side (destination or source) mirrors the picture.
    const bool flipX = (dest.width() < 0) != (src.width() < 0);
    const bool flipY = (dest.height() < 0) != (src.height() < 0);
    if (flipX || flipY)
        img = img.mirrored(flipX, flipY);
    const QRectF target = QRectF(dest).normalized();

    applyClip();
    m_p.setTransform(logicalToDevice() * m_base);
    const bool rasterOps = m_p.paintEngine() && m_p.paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
    switch (rop) {
    case RasterOp::SrcAnd:
        m_p.setCompositionMode(rasterOps ? QPainter::RasterOp_SourceAndDestination : QPainter::CompositionMode_SourceOver);
        break;
    case RasterOp::SrcPaint:
        m_p.setCompositionMode(rasterOps ? QPainter::RasterOp_SourceOrDestination : QPainter::CompositionMode_SourceOver);
        break;
    case RasterOp::SrcInvert:
        m_p.setCompositionMode(rasterOps ? QPainter::RasterOp_SourceXorDestination : QPainter::CompositionMode_SourceOver);
        break;
    default:
        m_p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        break;
    }
    m_p.drawImage(target, img, QRectF(img.rect()));
    m_p.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

} // namespace gdi
