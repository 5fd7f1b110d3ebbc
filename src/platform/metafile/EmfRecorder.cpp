#include "platform/metafile/EmfRecorder.h"

#include "platform/gdi/DrawTextLayout.h"

#include "platform/ByteIO.h"
#include "platform/bmp/BmpCodec.h"

#include <QFontMetricsF>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace plat::metafile {

namespace {

// The reference device: 1920 x 1440 pixels at 96 ppi is 508 x 381 mm exactly.
constexpr int kDevW = 1920, kDevH = 1440, kDevMmW = 508, kDevMmH = 381;
constexpr double kPxPerMm = 96 / 25.4;
constexpr int kHeaderSize = 108; // with both header extensions

uint32_t floatBits(double d)
{
    const float f = float(d);
    uint32_t u;
    std::memcpy(&u, &f, 4);
    return u;
}

int clampInt(double v)
{
    if (!(v == v))
        return 0;
    return int(std::clamp(v, -1e9, 1e9));
}

} // namespace

EmfRecorder::EmfRecorder(QSize size) : m_size(size.expandedTo(QSize(1, 1)))
{
    m_handles.push_back(true);
    m_dc.font = plat::LogFont::fromPoints(QStringLiteral("Arial"), 10);
    // The header record; totals are patched by finish().
    LeWriter w(&m_out);
    w.u32(emr::HEADER);
    w.u32(kHeaderSize);
    w.zeros(16); // bounds
    const int frameR = int(std::lround(m_size.width() * 2540.0 / 96));
    const int frameB = int(std::lround(m_size.height() * 2540.0 / 96));
    w.i32(0); w.i32(0); w.i32(frameR); w.i32(frameB);
    w.u32(emr::kSignature);
    w.u32(0x10000); // version
    w.u32(0);       // nBytes
    w.u32(0);       // nRecords
    w.u16(0);       // nHandles
    w.u16(0);       // reserved
    w.u32(0);       // nDescription
    w.u32(0);       // offDescription
    w.u32(0);       // nPalEntries
    w.i32(kDevW); w.i32(kDevH);
    w.i32(kDevMmW); w.i32(kDevMmH);
    w.u32(0); w.u32(0); w.u32(0); // pixel format, OpenGL
    w.i32(kDevMmW * 1000); w.i32(kDevMmH * 1000); // micrometres
    m_records = 1;
}

qsizetype EmfRecorder::begin(uint32_t type)
{
    const qsizetype start = m_out.size();
    LeWriter w(&m_out);
    w.u32(type);
    w.u32(0);
    return start;
}

void EmfRecorder::end(qsizetype start)
{
    while (m_out.size() % 4)
        m_out.append('\0');
    putU32(m_out.data() + start + 4, uint32_t(m_out.size() - start));
    ++m_records;
}

void EmfRecorder::simple(uint32_t type, std::initializer_list<uint32_t> fields)
{
    if (!active())
        return;
    const qsizetype s = begin(type);
    LeWriter w(&m_out);
    for (uint32_t f : fields)
        w.u32(f);
    end(s);
}

void EmfRecorder::rectl(const QRect &r)
{
    LeWriter w(&m_out);
    w.i32(r.left());
    w.i32(r.top());
    w.i32(r.left() + r.width());
    w.i32(r.top() + r.height());
}

QTransform EmfRecorder::toDevice() const { return m_dc.map.toDevice(kPxPerMm, kPxPerMm); }

QRect EmfRecorder::deviceRect(const QRectF &logical) const
{
    const QRectF d = toDevice().mapRect(logical.normalized());
    return QRect(QPoint(clampInt(std::floor(d.left())), clampInt(std::floor(d.top()))),
                 QPoint(clampInt(std::ceil(d.right())), clampInt(std::ceil(d.bottom()))));
}

void EmfRecorder::addBounds(const QRectF &logical, double grow)
{
    QRect d = deviceRect(logical);
    if (grow > 0) {
        const int g = int(std::ceil(grow));
        d.adjust(-g, -g, g, g);
    }
    m_bounds = m_bounds.isNull() ? d : m_bounds.united(d);
}

void EmfRecorder::boundsOf(const QVector<QPoint> &pts)
{
    QRect r;
    if (!pts.isEmpty()) {
        QPolygon poly(pts);
        r = deviceRect(QRectF(poly.boundingRect()));
    }
    LeWriter w(&m_out);
    w.i32(r.left()); w.i32(r.top()); w.i32(r.right()); w.i32(r.bottom());
}

uint32_t EmfRecorder::newHandle()
{
    for (size_t i = 1; i < m_handles.size(); ++i) {
        if (!m_handles[i]) {
            m_handles[i] = true;
            return uint32_t(i);
        }
    }
    m_handles.push_back(true);
    return uint32_t(m_handles.size() - 1);
}

bool EmfRecorder::handleInUse(uint32_t h) const
{
    if (m_dc.penHandle == h || m_dc.brushHandle == h || m_dc.fontHandle == h)
        return true;
    for (const Dc &d : m_stack)
        if (d.penHandle == h || d.brushHandle == h || d.fontHandle == h)
            return true;
    return false;
}

// Deletes an object no longer selected anywhere (current state or a saved one); objects
// a saved state still holds are deleted once a restore lets them go.
void EmfRecorder::releaseHandle(uint32_t h)
{
    if (h == 0 || (h & emr::kStockObject) || h >= m_handles.size() || !m_handles[h])
        return;
    if (handleInUse(h)) {
        if (std::find(m_pendingDelete.begin(), m_pendingDelete.end(), h) == m_pendingDelete.end())
            m_pendingDelete.push_back(h);
        return;
    }
    simple(emr::DELETEOBJECT, {h});
    m_handles[h] = false;
}

void EmfRecorder::selectPen(const gdi::Pen &pen)
{
    const uint32_t old = m_dc.penHandle;
    uint32_t h;
    if (pen.style == gdi::PenStyle::Null) {
        h = emr::NULL_PEN;
    } else {
        h = newHandle();
        simple(emr::CREATEPEN, {h, uint32_t(pen.style), uint32_t(std::max(0, pen.width)), 0, pen.color & 0xFFFFFF});
    }
    simple(emr::SELECTOBJECT, {h});
    m_dc.pen = pen;
    m_dc.penHandle = h;
    releaseHandle(old);
}

void EmfRecorder::selectBrush(const gdi::Brush &brush)
{
    const uint32_t old = m_dc.brushHandle;
    uint32_t h;
    if (brush.style == gdi::BrushStyle::Null) {
        h = emr::NULL_BRUSH;
    } else {
        h = newHandle();
        simple(emr::CREATEBRUSHINDIRECT, {h, uint32_t(brush.style), brush.color & 0xFFFFFF, uint32_t(brush.hatch)});
    }
    simple(emr::SELECTOBJECT, {h});
    m_dc.brush = brush;
    m_dc.brushHandle = h;
    releaseHandle(old);
}

void EmfRecorder::setPen(const gdi::Pen &pen)
{
    if (active() && !(pen == m_dc.pen))
        selectPen(pen);
}

void EmfRecorder::setBrush(const gdi::Brush &brush)
{
    if (active() && !(brush == m_dc.brush))
        selectBrush(brush);
}

void EmfRecorder::setFont(const plat::LogFont &font)
{
    if (!active() || (font == m_dc.font && m_dc.fontHandle != 0))
        return;
    const uint32_t old = m_dc.fontHandle;
    const uint32_t h = newHandle();
    // EXTCREATEFONTINDIRECTW with a LOGFONTW followed by the rest of a LOGFONTPANOSE
    // (full name, style, version and PANOSE fields zero): 320 bytes.
    const qsizetype s = begin(emr::EXTCREATEFONTINDIRECTW);
    LeWriter w(&m_out);
    w.u32(h);
    w.i32(font.height);
    w.i32(font.width);
    w.i32(font.escapement);
    w.i32(font.orientation);
    w.i32(font.weight);
    w.u8(font.italic); w.u8(font.underline); w.u8(font.strikeOut); w.u8(font.charSet);
    w.u8(font.outPrecision); w.u8(font.clipPrecision); w.u8(font.quality); w.u8(font.pitchAndFamily);
    const QString face = font.face().left(31);
    for (int i = 0; i < 32; ++i)
        w.u16(i < face.size() ? face[i].unicode() : 0);
    w.zeros(320 - 92);
    end(s);
    simple(emr::SELECTOBJECT, {h});
    m_dc.font = font;
    m_dc.fontHandle = h;
    releaseHandle(old);
}

void EmfRecorder::setTextColor(gdi::ColorRef c) { simple(emr::SETTEXTCOLOR, {c & 0xFFFFFF}); }
void EmfRecorder::setBkColor(gdi::ColorRef c) { simple(emr::SETBKCOLOR, {c & 0xFFFFFF}); }
void EmfRecorder::setBkMode(gdi::BkMode m) { simple(emr::SETBKMODE, {uint32_t(m)}); }
void EmfRecorder::setTextAlign(unsigned ta)
{
    m_dc.textAlign = ta;
    simple(emr::SETTEXTALIGN, {ta});
}
void EmfRecorder::setPolyFillMode(gdi::FillMode m) { simple(emr::SETPOLYFILLMODE, {uint32_t(m)}); }

void EmfRecorder::setMapMode(gdi::MapMode m)
{
    if (!active())
        return;
    m_dc.map.setMode(m);
    simple(emr::SETMAPMODE, {uint32_t(m)});
}
void EmfRecorder::setWindowOrg(QPoint p)
{
    if (!active())
        return;
    m_dc.map.windowOrg = p;
    simple(emr::SETWINDOWORGEX, {uint32_t(p.x()), uint32_t(p.y())});
}
void EmfRecorder::setWindowExt(QSize s)
{
    if (!active())
        return;
    m_dc.map.windowExt = QSizeF(s);
    simple(emr::SETWINDOWEXTEX, {uint32_t(s.width()), uint32_t(s.height())});
}
void EmfRecorder::setViewportOrg(QPoint p)
{
    if (!active())
        return;
    m_dc.map.viewportOrg = p;
    simple(emr::SETVIEWPORTORGEX, {uint32_t(p.x()), uint32_t(p.y())});
}
void EmfRecorder::setViewportExt(QSize s)
{
    if (!active())
        return;
    m_dc.map.viewportExt = QSizeF(s);
    simple(emr::SETVIEWPORTEXTEX, {uint32_t(s.width()), uint32_t(s.height())});
}
void EmfRecorder::setWorldTransform(const QTransform &t)
{
    if (!active() || !saneTransform(t))
        return;
    m_dc.map.world = t;
    simple(emr::SETWORLDTRANSFORM, {floatBits(t.m11()), floatBits(t.m12()), floatBits(t.m21()), floatBits(t.m22()),
                                    floatBits(t.dx()), floatBits(t.dy())});
}

int EmfRecorder::saveDC()
{
    if (!active())
        return int(m_stack.size());
    m_stack.push_back(m_dc);
    simple(emr::SAVEDC, {});
    return int(m_stack.size());
}

void EmfRecorder::restoreDC(int which)
{
    if (!active())
        return;
    const int depth = int(m_stack.size());
    const int target = which < 0 ? depth + which : which - 1; // index of the state to restore
    if (target < 0 || target >= depth)
        return;
    simple(emr::RESTOREDC, {uint32_t(int32_t(target - depth))});
    // Objects that only the dropped states held can go now.
    std::vector<uint32_t> dropped;
    dropped.swap(m_pendingDelete);
    auto collect = [&](const Dc &d) {
        for (uint32_t h : {d.penHandle, d.brushHandle, d.fontHandle})
            dropped.push_back(h);
    };
    collect(m_dc);
    for (size_t i = size_t(target) + 1; i < m_stack.size(); ++i)
        collect(m_stack[i]);
    m_dc = m_stack[size_t(target)];
    m_stack.resize(size_t(target));
    std::sort(dropped.begin(), dropped.end());
    dropped.erase(std::unique(dropped.begin(), dropped.end()), dropped.end());
    for (uint32_t h : dropped)
        releaseHandle(h);
}

void EmfRecorder::intersectClipRect(const QRect &r)
{
    if (!active())
        return;
    const qsizetype s = begin(emr::INTERSECTCLIPRECT);
    rectl(r);
    end(s);
}

void EmfRecorder::resetClip() { simple(emr::EXTSELECTCLIPRGN, {0, 5}); }

void EmfRecorder::moveTo(int x, int y)
{
    if (!active())
        return;
    m_dc.position = QPoint(x, y);
    simple(emr::MOVETOEX, {uint32_t(x), uint32_t(y)});
}

void EmfRecorder::lineTo(int x, int y)
{
    if (!active())
        return;
    addBounds(QRectF(QPointF(m_dc.position), QPointF(x, y)), m_dc.pen.width / 2.0 + 1);
    m_dc.position = QPoint(x, y);
    simple(emr::LINETO, {uint32_t(x), uint32_t(y)});
}

void EmfRecorder::points(uint32_t type16, uint32_t type32, const QVector<QPoint> &pts)
{
    if (!active() || pts.isEmpty())
        return;
    bool small = true;
    for (const QPoint &p : pts)
        if (p.x() < -32768 || p.x() > 32767 || p.y() < -32768 || p.y() > 32767)
            small = false;
    addBounds(QRectF(QPolygon(pts).boundingRect()), m_dc.pen.width / 2.0 + 1);
    const qsizetype s = begin(small ? type16 : type32);
    boundsOf(pts);
    LeWriter w(&m_out);
    w.u32(uint32_t(pts.size()));
    for (const QPoint &p : pts) {
        if (small) {
            w.i16(int16_t(p.x()));
            w.i16(int16_t(p.y()));
        } else {
            w.i32(p.x());
            w.i32(p.y());
        }
    }
    end(s);
}

void EmfRecorder::polyline(const QVector<QPoint> &pts) { points(emr::POLYLINE16, emr::POLYLINE, pts); }
void EmfRecorder::polygon(const QVector<QPoint> &pts) { points(emr::POLYGON16, emr::POLYGON, pts); }
void EmfRecorder::polyBezier(const QVector<QPoint> &pts) { points(emr::POLYBEZIER16, emr::POLYBEZIER, pts); }

void EmfRecorder::polyPolygon(const QVector<QVector<QPoint>> &polys)
{
    if (!active() || polys.isEmpty())
        return;
    QVector<QPoint> all;
    for (const auto &p : polys)
        all += p;
    bool small = true;
    for (const QPoint &p : all)
        if (p.x() < -32768 || p.x() > 32767 || p.y() < -32768 || p.y() > 32767)
            small = false;
    if (!all.isEmpty())
        addBounds(QRectF(QPolygon(all).boundingRect()), m_dc.pen.width / 2.0 + 1);
    const qsizetype s = begin(small ? emr::POLYPOLYGON16 : emr::POLYPOLYGON);
    boundsOf(all);
    LeWriter w(&m_out);
    w.u32(uint32_t(polys.size()));
    w.u32(uint32_t(all.size()));
    for (const auto &p : polys)
        w.u32(uint32_t(p.size()));
    for (const QPoint &p : all) {
        if (small) {
            w.i16(int16_t(p.x()));
            w.i16(int16_t(p.y()));
        } else {
            w.i32(p.x());
            w.i32(p.y());
        }
    }
    end(s);
}

void EmfRecorder::rectangle(int l, int t, int r, int b)
{
    if (!active())
        return;
    addBounds(QRectF(QPointF(l, t), QPointF(r, b)), m_dc.pen.width / 2.0);
    simple(emr::RECTANGLE, {uint32_t(l), uint32_t(t), uint32_t(r), uint32_t(b)});
}

void EmfRecorder::roundRect(int l, int t, int r, int b, int ew, int eh)
{
    if (!active())
        return;
    addBounds(QRectF(QPointF(l, t), QPointF(r, b)), m_dc.pen.width / 2.0);
    simple(emr::ROUNDRECT, {uint32_t(l), uint32_t(t), uint32_t(r), uint32_t(b), uint32_t(ew), uint32_t(eh)});
}

void EmfRecorder::ellipse(int l, int t, int r, int b)
{
    if (!active())
        return;
    addBounds(QRectF(QPointF(l, t), QPointF(r, b)), m_dc.pen.width / 2.0);
    simple(emr::ELLIPSE, {uint32_t(l), uint32_t(t), uint32_t(r), uint32_t(b)});
}

// Arc, chord and pie share one record layout: the box, then the start and end points.
void EmfRecorder::arcRecord(uint32_t type, const QRect &box, QPoint start, QPoint end)
{
    if (!active())
        return;
    addBounds(QRectF(box), m_dc.pen.width / 2.0);
    simple(type, {uint32_t(box.left()), uint32_t(box.top()), uint32_t(box.left() + box.width()),
                  uint32_t(box.top() + box.height()), uint32_t(start.x()), uint32_t(start.y()),
                  uint32_t(end.x()), uint32_t(end.y())});
}

void EmfRecorder::arc(const QRect &box, QPoint start, QPoint end) { arcRecord(emr::ARC, box, start, end); }
void EmfRecorder::chord(const QRect &box, QPoint start, QPoint end) { arcRecord(emr::CHORD, box, start, end); }
void EmfRecorder::pie(const QRect &box, QPoint start, QPoint end) { arcRecord(emr::PIE, box, start, end); }

// FillRect is recorded as a pattern blit with a brush selected for it.
void EmfRecorder::fillRect(const QRect &r, const gdi::Brush &b)
{
    if (!active() || b.style == gdi::BrushStyle::Null)
        return;
    const gdi::Brush keep = m_dc.brush;
    const bool swap = !(b == keep);
    if (swap)
        selectBrush(b);
    addBounds(QRectF(r));
    const qsizetype s = begin(emr::BITBLT);
    const QRect d = deviceRect(QRectF(r));
    LeWriter w(&m_out);
    w.i32(d.left()); w.i32(d.top()); w.i32(d.right()); w.i32(d.bottom());
    w.i32(r.left()); w.i32(r.top()); w.i32(r.width()); w.i32(r.height());
    w.u32(PATCOPY);
    w.i32(0); w.i32(0);
    for (double v : {1.0, 0.0, 0.0, 1.0, 0.0, 0.0})
        w.u32(floatBits(v));
    w.u32(0); // background colour of the source
    w.u32(0); // usage
    w.u32(0); w.u32(0); w.u32(0); w.u32(0); // no bitmap
    end(s);
    if (swap)
        selectBrush(keep);
}

void EmfRecorder::setPixel(int x, int y, gdi::ColorRef c)
{
    if (!active())
        return;
    addBounds(QRectF(x, y, 1, 1));
    simple(emr::SETPIXELV, {uint32_t(x), uint32_t(y), c & 0xFFFFFF});
}

void EmfRecorder::beginPath() { simple(emr::BEGINPATH, {}); }
void EmfRecorder::endPath() { simple(emr::ENDPATH, {}); }
void EmfRecorder::closeFigure() { simple(emr::CLOSEFIGURE, {}); }
void EmfRecorder::fillPath()
{
    simple(emr::FILLPATH, {uint32_t(m_bounds.left()), uint32_t(m_bounds.top()), uint32_t(m_bounds.right()), uint32_t(m_bounds.bottom())});
}
void EmfRecorder::strokePath()
{
    simple(emr::STROKEPATH, {uint32_t(m_bounds.left()), uint32_t(m_bounds.top()), uint32_t(m_bounds.right()), uint32_t(m_bounds.bottom())});
}
void EmfRecorder::strokeAndFillPath()
{
    simple(emr::STROKEANDFILLPATH, {uint32_t(m_bounds.left()), uint32_t(m_bounds.top()), uint32_t(m_bounds.right()), uint32_t(m_bounds.bottom())});
}

void EmfRecorder::textOut(int x, int y, const QString &text)
{
    if (!active() || text.isEmpty())
        return;
    double sx, sy;
    const QFontMetricsF fm(deviceFont(sx, sy));
    if (sx <= 0 || sy <= 0)
        sx = sy = 1;
    QVector<int> dx;
    dx.reserve(text.size());
    double pos = 0;
    int prev = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        pos += fm.horizontalAdvance(text.at(i)) / sx;
        const int next = int(std::lround(pos));
        dx.append(next - prev);
        prev = next;
    }
    // Bounds: the text box about the reference point by the alignment, turned by the
    // escapement.
    const double w = fm.horizontalAdvance(text) / sx, h = fm.height() / sy;
    const unsigned ta = m_dc.textAlign;
    double left = (ta & 6) == gdi::TA_CENTER ? -w / 2 : (ta & 6) == gdi::TA_RIGHT ? -w : 0;
    double top = (ta & 24) == gdi::TA_BASELINE ? -fm.ascent() / sy : (ta & 24) == gdi::TA_BOTTOM ? -h : 0;
    QTransform rot;
    rot.translate(x, y);
    rot.rotate(-m_dc.font.escapement / 10.0);
    addBounds(rot.mapRect(QRectF(left, top, w, h)), 1);

    const qsizetype s = begin(emr::EXTTEXTOUTW);
    const QRect d = deviceRect(rot.mapRect(QRectF(left, top, w, h)));
    LeWriter wr(&m_out);
    wr.i32(d.left()); wr.i32(d.top()); wr.i32(d.right()); wr.i32(d.bottom());
    wr.u32(1); // GM_COMPATIBLE
    wr.u32(floatBits(0)); wr.u32(floatBits(0));
    const uint32_t n = uint32_t(text.size());
    const uint32_t offString = 76;
    const uint32_t stringBytes = (n * 2 + 3) & ~3u;
    wr.i32(x); wr.i32(y);
    wr.u32(n);
    wr.u32(offString);
    wr.u32(0); // options
    wr.i32(0); wr.i32(0); wr.i32(-1); wr.i32(-1);
    wr.u32(offString + stringBytes);
    for (QChar ch : text)
        wr.u16(ch.unicode());
    wr.zeros(stringBytes - n * 2);
    for (int v : dx)
        wr.i32(v);
    end(s);
}

namespace {

double length(double a, double b) { return std::sqrt(a * a + b * b); }

} // namespace

// DrawText is recorded the way GDI records it: as one text record per line, laid out
// with the same line breaking the painter back end uses (paragraphs at CR/LF, greedy
// wrapping at spaces), so a recorded picture plays back as it was drawn.
int EmfRecorder::drawText(const QString &text, QRect &rect, unsigned flags)
{
    const gdi::DrawTextLayout layout =
        gdi::layoutDrawText(text, rect, flags, [this](const QString &s) { return textExtent(s); });
    if (flags & gdi::DT_CALCRECT) {
        rect = QRect(rect.x(), rect.y(), layout.maxWidth, layout.totalHeight);
        return layout.totalHeight;
    }
    if (!active())
        return layout.totalHeight;
    const int depth = saveDC();
    if (!(flags & gdi::DT_NOCLIP))
        intersectClipRect(rect);
    setTextAlign(gdi::TA_LEFT | gdi::TA_TOP);
    if (m_dc.font.escapement != 0) { // DrawText does not turn its text
        plat::LogFont upright = m_dc.font;
        upright.escapement = 0;
        setFont(upright);
    }
    for (const gdi::DrawTextLayout::Line &l : layout.lines)
        textOut(l.x, l.y, l.text);
    restoreDC(depth);
    return layout.totalHeight;
}

// Extents in logical units, measured with the font at its size on the reference device
// (the same measure the painter back end takes on a 96 ppi image).
QFont EmfRecorder::deviceFont(double &sx, double &sy) const
{
    const QTransform t = toDevice();
    sx = length(t.m11(), t.m12());
    sy = length(t.m21(), t.m22());
    const plat::LogFont &f = m_dc.font;
    int px;
    if (f.height < 0) {
        px = int(std::clamp(std::lround(-double(f.height) * sy), 1L, 100000L));
    } else if (f.height > 0) {
        const QFontMetricsF m(f.toQFont(100));
        const double cell = m.ascent() + m.descent();
        const double devCell = f.height * sy;
        px = int(std::clamp(cell > 0 ? std::lround(devCell * 100.0 / cell) : std::lround(devCell), 1L, 100000L));
    } else {
        px = int(std::clamp(std::lround(16 * sy), 1L, 100000L));
    }
    QFont q = f.toQFont(px);
    if (f.width > 0) {
        const QFontMetricsF m(q);
        const double want = f.width * sx;
        if (m.averageCharWidth() > 0)
            q.setStretch(std::clamp(int(std::lround(100.0 * want / m.averageCharWidth())), 1, 4000));
    }
    return q;
}

QSize EmfRecorder::textExtent(const QString &text)
{
    double sx, sy;
    const QFontMetrics fm(deviceFont(sx, sy));
    const int w = fm.horizontalAdvance(text), h = fm.ascent() + fm.descent();
    return QSize(sx > 0 ? int(std::lround(w / sx)) : w, sy > 0 ? int(std::lround(h / sy)) : h);
}

gdi::Canvas::TextMetrics EmfRecorder::textMetrics()
{
    double sx, sy;
    const QFont font = deviceFont(sx, sy);
    const QFontMetrics fm(font);
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

void EmfRecorder::stretchDIBits(const QRect &dest, const QRect &src, const QImage &image, gdi::RasterOp rop)
{
    if (!active() || image.isNull())
        return;
    const int bits = image.format() == QImage::Format_Indexed8 ? 8 : 24;
    const QByteArray dib = bmp::encodeDib(image, bits);
    bmp::DibHeader h;
    if (dib.isEmpty() || !bmp::parseDibHeader(dib.constData(), dib.size(), h))
        return;
    addBounds(QRectF(dest));
    const uint32_t cbBmi = uint32_t(h.pixelOffset);
    const uint32_t cbBits = uint32_t(dib.size() - h.pixelOffset);
    const qsizetype s = begin(emr::STRETCHDIBITS);
    const QRect d = deviceRect(QRectF(dest));
    LeWriter w(&m_out);
    w.i32(d.left()); w.i32(d.top()); w.i32(d.right()); w.i32(d.bottom());
    w.i32(dest.left()); w.i32(dest.top());
    // The source's y counts from the bottom row of a bottom-up DIB.
    w.i32(src.left()); w.i32(image.height() - (src.top() + src.height()));
    w.i32(src.width()); w.i32(src.height());
    w.u32(80); w.u32(cbBmi);
    w.u32(80 + cbBmi); w.u32(cbBits);
    w.u32(0); // DIB_RGB_COLORS
    w.u32(uint32_t(rop));
    w.i32(dest.width()); w.i32(dest.height());
    w.bytes(dib);
    end(s);
}

QByteArray EmfRecorder::finish()
{
    if (m_finished)
        return m_out;
    // Let every object go before the end, as a well-behaved recorder does.
    while (!m_stack.empty())
        restoreDC(-1);
    // Select stock objects so the last created ones can be deleted too.
    const uint32_t pen = m_dc.penHandle, brush = m_dc.brushHandle, font = m_dc.fontHandle;
    if (!(pen & emr::kStockObject))
        simple(emr::SELECTOBJECT, {emr::BLACK_PEN});
    if (!(brush & emr::kStockObject))
        simple(emr::SELECTOBJECT, {emr::WHITE_BRUSH});
    if (font)
        simple(emr::SELECTOBJECT, {emr::SYSTEM_FONT});
    m_dc.penHandle = emr::BLACK_PEN;
    m_dc.brushHandle = emr::WHITE_BRUSH;
    m_dc.fontHandle = 0;
    releaseHandle(pen);
    releaseHandle(brush);
    releaseHandle(font);
    std::vector<uint32_t> rest;
    rest.swap(m_pendingDelete);
    for (uint32_t h : rest)
        releaseHandle(h);
    simple(emr::EOF_, {0, 16, 20});
    m_finished = true;
    LeWriter w(&m_out);
    QRect b = m_bounds;
    if (b.isNull())
        b = QRect(QPoint(0, 0), QPoint(-1, -1)); // nothing drawn
    w.putI32At(8, b.left());
    w.putI32At(12, b.top());
    w.putI32At(16, b.right());
    w.putI32At(20, b.bottom());
    w.putU32At(48, uint32_t(m_out.size()));
    w.putU32At(52, m_records);
    w.putU16At(56, uint16_t(std::min<size_t>(m_handles.size(), 0xFFFF)));
    return m_out;
}

} // namespace plat::metafile
