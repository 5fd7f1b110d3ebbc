// Plays EMF and WMF records onto a gdi::Canvas.
//
// The canvas keeps its own mapping (the caller's); the player folds the metafile's world
// transform, its window/viewport mapping and the placement of the picture into `dest`
// into one world transform on the canvas, and hands every drawing call the metafile's
// own logical coordinates.

#include "platform/metafile/Metafile.h"

#include "platform/Ansi.h"
#include "platform/ByteIO.h"
#include "platform/bmp/BmpCodec.h"
#include "platform/metafile/MetafileTypes.h"

#include <QHash>
#include <cmath>
#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>
#include <variant>
#include <vector>

namespace plat::metafile {

namespace {

// Font heights beyond this many logical units are clamped: no picture needs them and the
// font engine should never be asked for one.
constexpr int32_t kMaxFontHeight = 1000000;
constexpr double kMaxFontPixels = 20000;
// Points in one drawing call.
constexpr qsizetype kMaxPoints = 1 << 20;
// Coordinates are clamped to this magnitude, so no rectangle arithmetic on them (here or
// in the canvas) can overflow.
constexpr int32_t kMaxCoord = 1 << 27;
// Largest device offset a mapped coordinate may reach (before the caller's own mapping).
constexpr double kMaxDevice = double(1 << 26);

struct PenObj { gdi::Pen pen; };
struct BrushObj { gdi::Brush brush; };
struct FontObj { plat::LogFont font; };
struct OtherObj {};
using GdiObject = std::variant<PenObj, BrushObj, FontObj, OtherObj>;

gdi::PenStyle penStyle(uint32_t s)
{
    const uint32_t v = s & 0x0F;
    return v <= 6 ? gdi::PenStyle(v) : gdi::PenStyle::Solid;
}

gdi::Brush brushFrom(uint32_t style, uint32_t color, uint32_t hatch)
{
    gdi::Brush b;
    b.color = color & 0xFFFFFF;
    b.hatch = int(hatch);
    b.style = style == 1 ? gdi::BrushStyle::Null : style == 2 ? gdi::BrushStyle::Hatched : gdi::BrushStyle::Solid;
    return b;
}

// Decodes a DIB held in two parts of a record (the BITMAPINFO and the bits).
QImage dibImage(const char *rec, qsizetype recSize, uint32_t offBmi, uint32_t cbBmi, uint32_t offBits, uint32_t cbBits)
{
    if (cbBmi < 12 || qint64(offBmi) + cbBmi > recSize || qint64(offBits) + cbBits > recSize)
        return {};
    QByteArray dib(rec + offBmi, cbBmi);
    dib.append(rec + offBits, cbBits);
    return bmp::decodeDib(dib.constData(), dib.size(), cbBmi);
}

class Player {
public:
    Player(gdi::Canvas &c) : m_canvas(c) {}

    void begin()
    {
        m_baseLevel = m_canvas.saveDC();
        m_base = m_canvas.worldTransform();
        // A metafile starts on a device context in its default state.
        m_canvas.setPen(gdi::Pen{});
        m_canvas.setBrush(gdi::Brush{});
        m_canvas.setFont(plat::LogFont::fromPoints(QStringLiteral("Arial"), 10));
        m_canvas.setTextColor(0);
        m_canvas.setBkColor(0xFFFFFF);
        m_canvas.setBkMode(gdi::BkMode::Opaque);
        m_canvas.setTextAlign(0);
        m_canvas.setPolyFillMode(gdi::FillMode::Alternate);
        apply();
    }
    void end() { m_canvas.restoreDC(m_baseLevel); }

protected:
    struct State {
        Mapping map;
        gdi::ColorRef bkColor = 0xFFFFFF;
    };

    // Logical units of the metafile to the metafile's device; overridden for WMF.
    virtual QTransform logicalToDevice() const = 0;

    void apply()
    {
        const QTransform t = logicalToDevice() * m_placement * m_base;
        m_drawable = saneTransform(t) && std::abs(t.determinant()) > 1e-18
                     && std::abs(t.dx()) <= kMaxDevice && std::abs(t.dy()) <= kMaxDevice;
        // Coordinates are clamped so that, mapped, none lies beyond kMaxDevice twice over:
        // integer device coordinates downstream can then never overflow.
        const double scale = std::max(std::abs(t.m11()) + std::abs(t.m21()), std::abs(t.m12()) + std::abs(t.m22()));
        m_coordLimit = int32_t(std::clamp(scale > 0 ? kMaxDevice / scale : double(kMaxCoord), 1.0, double(kMaxCoord)));
        if (m_drawable) {
            m_canvas.setWorldTransform(t);
            m_current = t;
        }
    }

    void saveDC()
    {
        m_stack.push_back(m_state);
        m_canvas.saveDC();
    }
    void restoreDC(int32_t which)
    {
        // Relative (negative) levels count back from the top; positive ones are absolute
        // levels of this metafile's own saves. Levels outside them are ignored, so a
        // metafile never restores its caller's state.
        const int depth = int(m_stack.size());
        int pops = 0;
        if (which < 0 && -int64_t(which) <= depth)
            pops = -which;
        else if (which > 0 && which <= depth)
            pops = depth - which + 1;
        if (pops == 0)
            return;
        m_canvas.restoreDC(-pops);
        m_state = m_stack[size_t(depth - pops)];
        m_stack.resize(size_t(depth - pops));
        apply();
    }

    void setFontChecked(plat::LogFont f)
    {
        // No text taller than kMaxFontPixels device pixels (the transform's scale is
        // taken from the mapping in force when the font is selected).
        const double sy = std::sqrt(m_current.m21() * m_current.m21() + m_current.m22() * m_current.m22());
        const double limit = std::min<double>(kMaxFontHeight, sy > 0 ? kMaxFontPixels / sy : kMaxFontHeight);
        const int32_t lim = int32_t(std::max(1.0, limit));
        f.height = std::clamp(f.height, -lim, lim);
        f.width = std::clamp(f.width, -lim, lim);
        m_canvas.setFont(f);
    }

    void selectStock(uint32_t id)
    {
        switch (id) {
        case emr::WHITE_BRUSH: m_canvas.setBrush(gdi::Brush{gdi::BrushStyle::Solid, 0xFFFFFF, 0}); break;
        case emr::LTGRAY_BRUSH: m_canvas.setBrush(gdi::Brush{gdi::BrushStyle::Solid, 0xC0C0C0, 0}); break;
        case emr::GRAY_BRUSH: m_canvas.setBrush(gdi::Brush{gdi::BrushStyle::Solid, 0x808080, 0}); break;
        case emr::DKGRAY_BRUSH: m_canvas.setBrush(gdi::Brush{gdi::BrushStyle::Solid, 0x404040, 0}); break;
        case emr::BLACK_BRUSH: m_canvas.setBrush(gdi::Brush{gdi::BrushStyle::Solid, 0, 0}); break;
        case emr::NULL_BRUSH: m_canvas.setBrush(gdi::Brush{gdi::BrushStyle::Null, 0, 0}); break;
        case emr::WHITE_PEN: m_canvas.setPen(gdi::Pen{gdi::PenStyle::Solid, 0, 0xFFFFFF}); break;
        case emr::BLACK_PEN: m_canvas.setPen(gdi::Pen{gdi::PenStyle::Solid, 0, 0}); break;
        case emr::NULL_PEN: m_canvas.setPen(gdi::Pen{gdi::PenStyle::Null, 0, 0}); break;
        default:
            if (id >= 0x8000000A && id <= 0x80000011) // the stock fonts
                m_canvas.setFont(plat::LogFont::fromPoints(QStringLiteral("Arial"), 10));
            break;
        }
    }
    void selectObject(const GdiObject &o)
    {
        if (auto *p = std::get_if<PenObj>(&o))
            m_canvas.setPen(p->pen);
        else if (auto *b = std::get_if<BrushObj>(&o))
            m_canvas.setBrush(b->brush);
        else if (auto *f = std::get_if<FontObj>(&o))
            setFontChecked(f->font);
    }

    // Pattern blit without a source: fills with the brush, black or white.
    void patBlt(const QRect &r, uint32_t rop)
    {
        if (rop == PATCOPY)
            m_canvas.fillRect(r, m_canvas.brush());
        else if (rop == BLACKNESS)
            m_canvas.fillRect(r, gdi::Brush{gdi::BrushStyle::Solid, 0, 0});
        else if (rop == WHITENESS)
            m_canvas.fillRect(r, gdi::Brush{gdi::BrushStyle::Solid, 0xFFFFFF, 0});
    }

    void text(int x, int y, const QString &s, uint32_t options, const QRect &rect)
    {
        constexpr uint32_t ETO_OPAQUE = 2, ETO_CLIPPED = 4;
        const bool hasRect = rect.width() > 0 && rect.height() > 0;
        if ((options & ETO_OPAQUE) && hasRect)
            m_canvas.fillRect(rect, gdi::Brush{gdi::BrushStyle::Solid, m_state.bkColor, 0});
        if ((options & ETO_CLIPPED) && hasRect) {
            gdi::StateSaver keep(m_canvas);
            m_canvas.intersectClipRect(rect);
            m_canvas.textOut(x, y, s);
        } else if (!s.isEmpty()) {
            m_canvas.textOut(x, y, s);
        }
    }

    void image(const QRect &dest, QRect src, const QImage &img, uint32_t rop, bool bottomUpSource)
    {
        if (img.isNull())
            return;
        if (bottomUpSource) // source y counts from the bottom row of the DIB
            src.moveTop(img.height() - (src.top() + src.height()));
        if (src.width() == 0 || src.height() == 0)
            src = img.rect();
        gdi::RasterOp op = gdi::RasterOp::SrcCopy;
        switch (rop) {
        case uint32_t(gdi::RasterOp::SrcAnd): op = gdi::RasterOp::SrcAnd; break;
        case uint32_t(gdi::RasterOp::SrcPaint): op = gdi::RasterOp::SrcPaint; break;
        case uint32_t(gdi::RasterOp::SrcInvert): op = gdi::RasterOp::SrcInvert; break;
        default: break;
        }
        m_canvas.stretchDIBits(dest, src, img, op);
    }

    gdi::Canvas &m_canvas;
    QTransform m_base;
    QTransform m_placement;
    QTransform m_current;
    State m_state;
    std::vector<State> m_stack;
    int m_baseLevel = 0;
    bool m_drawable = true;
    int32_t m_coordLimit = kMaxCoord;

    int32_t clampCoord(int32_t v) const { return std::clamp(v, -m_coordLimit, m_coordLimit); }
};

// ---------------------------------------------------------------- EMF

class EmfPlayer : public Player {
public:
    EmfPlayer(gdi::Canvas &c, const QByteArray &bytes, const ParsedEmf &emf, const QRectF &dest)
        : Player(c), m_bytes(bytes), m_emf(emf)
    {
        const EmfHeader &h = emf.header;
        m_pxPerMmX = (h.devicePixels.width() > 0 && h.deviceMm.width() > 0) ? double(h.devicePixels.width()) / h.deviceMm.width() : 96 / 25.4;
        m_pxPerMmY = (h.devicePixels.height() > 0 && h.deviceMm.height() > 0) ? double(h.devicePixels.height()) / h.deviceMm.height() : 96 / 25.4;
        // The frame (hundredths of a millimetre) in reference-device pixels fills dest.
        double fl = h.frame.left * m_pxPerMmX / 100, ft = h.frame.top * m_pxPerMmY / 100;
        double fw = (double(h.frame.right) - h.frame.left) * m_pxPerMmX / 100;
        double fh = (double(h.frame.bottom) - h.frame.top) * m_pxPerMmY / 100;
        if (!(fw > 0 && fh > 0)) {
            fl = h.bounds.left;
            ft = h.bounds.top;
            fw = double(h.bounds.right) - h.bounds.left + 1;
            fh = double(h.bounds.bottom) - h.bounds.top + 1;
        }
        if (!(fw > 0 && fh > 0)) {
            fl = ft = 0;
            fw = fh = 1;
        }
        // Frames are kept in hundredths of a millimetre, which cannot hold most pixel
        // sizes exactly; a frame within a twentieth of a pixel of whole pixels means them.
        auto snap = [](double &v) {
            const double r = std::round(v);
            if (std::abs(v - r) < 0.05)
                v = r;
        };
        snap(fl);
        snap(ft);
        snap(fw);
        snap(fh);
        const double sx = dest.width() / fw, sy = dest.height() / fh;
        m_placement = QTransform(sx, 0, 0, sy, dest.left() - fl * sx, dest.top() - ft * sy);
    }

    void play()
    {
        begin();
        for (const Record &rec : m_emf.records) {
            if (rec.type == emr::EOF_)
                break;
            playRecord(rec);
        }
        end();
    }

protected:
    QTransform logicalToDevice() const override { return m_state.map.toDevice(m_pxPerMmX, m_pxPerMmY); }

private:
    // Field readers relative to the record; out-of-range reads give 0.
    uint32_t u32(qsizetype off) const { return m_r.u32At(m_rec.offset + off); }
    int32_t i32(qsizetype off) const { return m_r.i32At(m_rec.offset + off); }
    int16_t i16(qsizetype off) const { return m_r.i16At(m_rec.offset + off); }
    // A coordinate or extent: a 32-bit field clamped to +-kMaxCoord.
    int32_t c32(qsizetype off) const { return clampCoord(i32(off)); }
    int32_t c16(qsizetype off) const { return clampCoord(i16(off)); }
    float f32(qsizetype off) const
    {
        const uint32_t bits = u32(off);
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }
    bool has(qsizetype off, qsizetype n) const { return off >= 0 && n >= 0 && off <= m_rec.size && n <= m_rec.size - off; }
    QRect rectArg(qsizetype off) const
    {
        const int l = c32(off), t = c32(off + 4), r = c32(off + 8), b = c32(off + 12);
        return QRect(l, t, r - l, b - t);
    }
    QPoint pointArg(qsizetype off) const { return QPoint(c32(off), c32(off + 4)); }
    QTransform xformArg(qsizetype off) const
    {
        return QTransform(f32(off), f32(off + 4), f32(off + 8), f32(off + 12), f32(off + 16), f32(off + 20));
    }

    // Points of a poly record: count at `countOff`, points right after; 16- or 32-bit.
    bool points(qsizetype countOff, bool small, QVector<QPoint> &out) const
    {
        const uint32_t n = u32(countOff);
        const qsizetype ps = small ? 4 : 8;
        if (n > kMaxPoints || !has(countOff + 4, qsizetype(n) * ps))
            return false;
        out.resize(qsizetype(n));
        for (uint32_t i = 0; i < n; ++i) {
            const qsizetype o = countOff + 4 + qsizetype(i) * ps;
            out[i] = small ? QPoint(c16(o), c16(o + 2)) : QPoint(c32(o), c32(o + 4));
        }
        return true;
    }
    // Poly-poly records: nPolys, total count, the counts, then the points.
    bool polyPoints(bool small, QVector<QVector<QPoint>> &out) const
    {
        const uint32_t nPolys = u32(24), total = u32(28);
        const qsizetype ps = small ? 4 : 8;
        if (nPolys > kMaxPoints || total > kMaxPoints || !has(32, qsizetype(nPolys) * 4 + qsizetype(total) * ps))
            return false;
        qsizetype pointOff = 32 + qsizetype(nPolys) * 4;
        uint64_t used = 0;
        for (uint32_t p = 0; p < nPolys; ++p) {
            const uint32_t count = u32(32 + qsizetype(p) * 4);
            used += count;
            if (used > total)
                return false;
            QVector<QPoint> poly(static_cast<qsizetype>(count));
            for (uint32_t i = 0; i < count; ++i, pointOff += ps)
                poly[i] = small ? QPoint(c16(pointOff), c16(pointOff + 2)) : QPoint(c32(pointOff), c32(pointOff + 4));
            out.append(poly);
        }
        return true;
    }

    void playRecord(const Record &rec)
    {
        m_rec = rec;
        gdi::Canvas &c = m_canvas;
        const uint32_t t = rec.type;
        // Records that change state are played even while the mapping is degenerate;
        // drawing records wait for a usable one.
        switch (t) {
        case emr::SETMAPMODE: {
            const uint32_t m = u32(8);
            if (m >= 1 && m <= 8) {
                m_state.map.setMode(gdi::MapMode(m));
                apply();
            }
            return;
        }
        case emr::SETWINDOWEXTEX:
            m_state.map.windowExt = QSizeF(i32(8), i32(12));
            apply();
            return;
        case emr::SETWINDOWORGEX:
            m_state.map.windowOrg = QPointF(i32(8), i32(12));
            apply();
            return;
        case emr::SETVIEWPORTEXTEX:
            m_state.map.viewportExt = QSizeF(i32(8), i32(12));
            apply();
            return;
        case emr::SETVIEWPORTORGEX:
            m_state.map.viewportOrg = QPointF(i32(8), i32(12));
            apply();
            return;
        case emr::SCALEVIEWPORTEXTEX:
        case emr::SCALEWINDOWEXTEX: {
            const int32_t xn = i32(8), xd = i32(12), yn = i32(16), yd = i32(20);
            if (xd == 0 || yd == 0)
                return;
            QSizeF &ext = t == emr::SCALEWINDOWEXTEX ? m_state.map.windowExt : m_state.map.viewportExt;
            ext = QSizeF(ext.width() * xn / xd, ext.height() * yn / yd);
            apply();
            return;
        }
        case emr::SETWORLDTRANSFORM: {
            const QTransform x = xformArg(8);
            if (has(8, 24) && saneTransform(x)) {
                m_state.map.world = x;
                apply();
            }
            return;
        }
        case emr::MODIFYWORLDTRANSFORM: {
            if (!has(8, 28))
                return;
            const QTransform x = xformArg(8);
            if (!saneTransform(x))
                return;
            switch (u32(32)) {
            case 1: m_state.map.world = QTransform(); break;
            case 2: m_state.map.world = x * m_state.map.world; break;
            case 3: m_state.map.world = m_state.map.world * x; break;
            case 4: m_state.map.world = x; break;
            default: return;
            }
            apply();
            return;
        }
        case emr::SAVEDC: saveDC(); return;
        case emr::RESTOREDC: restoreDC(i32(8)); return;
        case emr::SETTEXTCOLOR: c.setTextColor(u32(8) & 0xFFFFFF); return;
        case emr::SETBKCOLOR:
            m_state.bkColor = u32(8) & 0xFFFFFF;
            c.setBkColor(m_state.bkColor);
            return;
        case emr::SETBKMODE:
            if (u32(8) == 1 || u32(8) == 2)
                c.setBkMode(gdi::BkMode(u32(8)));
            return;
        case emr::SETPOLYFILLMODE:
            if (u32(8) == 1 || u32(8) == 2)
                c.setPolyFillMode(gdi::FillMode(u32(8)));
            return;
        case emr::SETTEXTALIGN: c.setTextAlign(u32(8)); return;
        case emr::CREATEPEN:
            if (has(8, 20))
                m_objects.insert(u32(8), PenObj{gdi::Pen{penStyle(u32(12)), std::clamp(i32(16), 0, 1 << 20), u32(24) & 0xFFFFFF}});
            return;
        case emr::EXTCREATEPEN: {
            if (!has(8, 44))
                return;
            gdi::Pen p{penStyle(u32(28)), int(std::min<uint32_t>(u32(32), 1 << 20)), u32(40) & 0xFFFFFF};
            if (u32(36) == 1) // BS_NULL brush: draws nothing
                p.style = gdi::PenStyle::Null;
            m_objects.insert(u32(8), PenObj{p});
            return;
        }
        case emr::CREATEBRUSHINDIRECT:
            if (has(8, 16))
                m_objects.insert(u32(8), BrushObj{brushFrom(u32(12), u32(16), u32(20))});
            return;
        case emr::CREATEDIBPATTERNBRUSHPT:
        case emr::CREATEMONOBRUSH: {
            // Patterns are drawn as a solid brush of the pattern's first pixel.
            const QImage img = dibImage(m_bytes.constData() + rec.offset, rec.size, u32(16), u32(20), u32(24), u32(28));
            const QRgb px = img.isNull() ? qRgb(128, 128, 128) : img.pixel(0, 0);
            m_objects.insert(u32(8), BrushObj{gdi::Brush{gdi::BrushStyle::Solid, gdi::rgb(qRed(px), qGreen(px), qBlue(px)), 0}});
            return;
        }
        case emr::EXTCREATEFONTINDIRECTW: {
            if (!has(12, 92))
                return;
            plat::LogFont f;
            f.height = i32(12);
            f.width = i32(16);
            f.escapement = i32(20);
            f.orientation = i32(24);
            f.weight = i32(28);
            const qsizetype o = rec.offset + 32;
            f.italic = m_r.u8At(o);
            f.underline = m_r.u8At(o + 1);
            f.strikeOut = m_r.u8At(o + 2);
            f.charSet = m_r.u8At(o + 3);
            f.outPrecision = m_r.u8At(o + 4);
            f.clipPrecision = m_r.u8At(o + 5);
            f.quality = m_r.u8At(o + 6);
            f.pitchAndFamily = m_r.u8At(o + 7);
            QString face;
            for (int i = 0; i < 32; ++i) {
                const uint16_t ch = m_r.u16At(o + 8 + 2 * i);
                if (!ch)
                    break;
                face += QChar(ch);
            }
            f.setFace(face);
            m_objects.insert(u32(8), FontObj{f});
            return;
        }
        case emr::SELECTOBJECT: {
            const uint32_t ih = u32(8);
            if (ih & emr::kStockObject)
                selectStock(ih);
            else if (auto it = m_objects.constFind(ih); it != m_objects.constEnd())
                selectObject(*it);
            return;
        }
        case emr::DELETEOBJECT: m_objects.remove(u32(8)); return;
        case emr::INTERSECTCLIPRECT: c.intersectClipRect(rectArg(8)); return;
        case emr::EXTSELECTCLIPRGN: {
            const uint32_t cb = u32(8), mode = u32(12);
            if (mode == 5 && cb == 0) { // RGN_COPY without a region: the default clip
                c.resetClip();
                return;
            }
            // Region data: a 32-byte header whose bound (device units) is used.
            if (cb < 32 || !has(16, cb) || (mode != 1 && mode != 5))
                return;
            QRect bound = rectArg(16 + 16);
            const QTransform dev = logicalToDevice();
            if (!dev.isInvertible())
                return;
            if (mode == 5)
                c.resetClip();
            const QRectF limit(-kMaxCoord, -kMaxCoord, 2.0 * kMaxCoord, 2.0 * kMaxCoord);
            const QRectF logical = dev.inverted().mapRect(QRectF(bound)).intersected(limit);
            if (!logical.isValid())
                return;
            c.intersectClipRect(logical.toAlignedRect());
            return;
        }
        case emr::BEGINPATH: c.beginPath(); return;
        case emr::ENDPATH: c.endPath(); return;
        case emr::CLOSEFIGURE: c.closeFigure(); return;
        default: break;
        }
        if (!m_drawable)
            return;
        QVector<QPoint> pts;
        switch (t) {
        case emr::MOVETOEX: c.moveTo(c32(8), c32(12)); return;
        case emr::LINETO: c.lineTo(c32(8), c32(12)); return;
        case emr::SETPIXELV: c.setPixel(c32(8), c32(12), u32(16) & 0xFFFFFF); return;
        case emr::POLYLINE:
        case emr::POLYLINE16:
        case emr::POLYGON:
        case emr::POLYGON16:
        case emr::POLYBEZIER:
        case emr::POLYBEZIER16:
        case emr::POLYLINETO:
        case emr::POLYLINETO16:
        case emr::POLYBEZIERTO:
        case emr::POLYBEZIERTO16: {
            const bool small = t == emr::POLYLINE16 || t == emr::POLYGON16 || t == emr::POLYBEZIER16
                               || t == emr::POLYLINETO16 || t == emr::POLYBEZIERTO16;
            if (!points(24, small, pts) || pts.isEmpty())
                return;
            if (t == emr::POLYLINE || t == emr::POLYLINE16)
                c.polyline(pts);
            else if (t == emr::POLYGON || t == emr::POLYGON16)
                c.polygon(pts);
            else if (t == emr::POLYBEZIER || t == emr::POLYBEZIER16) {
                if (pts.size() >= 4 && (pts.size() - 1) % 3 == 0)
                    c.polyBezier(pts);
            } else if (t == emr::POLYLINETO || t == emr::POLYLINETO16) {
                for (const QPoint &p : pts)
                    c.lineTo(p.x(), p.y());
            } else if (pts.size() % 3 == 0) { // Bézier segments from the current position
                pts.prepend(c.currentPosition());
                c.polyBezier(pts);
                c.moveTo(pts.last().x(), pts.last().y());
            }
            return;
        }
        case emr::POLYPOLYLINE:
        case emr::POLYPOLYLINE16:
        case emr::POLYPOLYGON:
        case emr::POLYPOLYGON16: {
            QVector<QVector<QPoint>> polys;
            const bool small = t == emr::POLYPOLYLINE16 || t == emr::POLYPOLYGON16;
            if (!polyPoints(small, polys))
                return;
            if (t == emr::POLYPOLYGON || t == emr::POLYPOLYGON16)
                c.polyPolygon(polys);
            else
                for (const auto &p : polys)
                    c.polyline(p);
            return;
        }
        case emr::RECTANGLE: c.rectangle(c32(8), c32(12), c32(16), c32(20)); return;
        case emr::ROUNDRECT: c.roundRect(c32(8), c32(12), c32(16), c32(20), c32(24), c32(28)); return;
        case emr::ELLIPSE: c.ellipse(c32(8), c32(12), c32(16), c32(20)); return;
        case emr::ARC: c.arc(rectArg(8), pointArg(24), pointArg(32)); return;
        case emr::CHORD: c.chord(rectArg(8), pointArg(24), pointArg(32)); return;
        case emr::PIE: c.pie(rectArg(8), pointArg(24), pointArg(32)); return;
        case emr::FILLPATH: c.fillPath(); return;
        case emr::STROKEPATH: c.strokePath(); return;
        case emr::STROKEANDFILLPATH: c.strokeAndFillPath(); return;
        case emr::EXTTEXTOUTA:
        case emr::EXTTEXTOUTW: {
            // bounds, graphics mode, x/y scale, then EMRTEXT at 36.
            if (!has(36, 40))
                return;
            const QPoint ref = pointArg(36);
            const uint32_t n = u32(44), off = u32(48), options = u32(52);
            const QRect clip = rectArg(56);
            const bool wide = t == emr::EXTTEXTOUTW;
            const qsizetype bytes = qsizetype(n) * (wide ? 2 : 1);
            if (n > (1u << 20) || !has(off, bytes))
                return;
            QString s;
            if (wide) {
                s.resize(qsizetype(n));
                for (uint32_t i = 0; i < n; ++i)
                    s[i] = QChar(m_r.u16At(rec.offset + off + 2 * qsizetype(i)));
            } else {
                s = plat::fromAnsi(m_bytes.constData() + rec.offset + off, bytes);
            }
            text(ref.x(), ref.y(), s, options, clip);
            return;
        }
        case emr::BITBLT:
        case emr::STRETCHBLT: {
            // bounds, xDest, yDest, cxDest, cyDest, rop, xSrc, ySrc, xform(24), bk colour,
            // usage, offBmi, cbBmi, offBits, cbBits[, cxSrc, cySrc]
            if (!has(8, 92))
                return;
            const QRect dest(c32(24), c32(28), c32(32), c32(36));
            const uint32_t rop = u32(40);
            const uint32_t offBmi = u32(84), cbBmi = u32(88), offBits = u32(92), cbBits = u32(96);
            if (cbBmi == 0) {
                patBlt(dest, rop);
                return;
            }
            QRect src(c32(44), c32(48), dest.width(), dest.height());
            if (t == emr::STRETCHBLT && has(100, 8))
                src.setSize(QSize(c32(100), c32(104)));
            image(dest, src, dibImage(m_bytes.constData() + rec.offset, rec.size, offBmi, cbBmi, offBits, cbBits), rop, false);
            return;
        }
        case emr::STRETCHDIBITS: {
            if (!has(8, 72))
                return;
            const QRect src(c32(32), c32(36), c32(40), c32(44));
            const QRect dest(c32(24), c32(28), c32(72), c32(76));
            const QImage img = dibImage(m_bytes.constData() + rec.offset, rec.size, u32(48), u32(52), u32(56), u32(60));
            image(dest, src, img, u32(68), bottomUp(u32(48), u32(52)));
            return;
        }
        case emr::SETDIBITSTODEVICE: {
            if (!has(8, 68))
                return;
            const QRect src(c32(32), c32(36), c32(40), c32(44));
            const QRect dest(c32(24), c32(28), src.width(), src.height());
            const QImage img = dibImage(m_bytes.constData() + rec.offset, rec.size, u32(48), u32(52), u32(56), u32(60));
            image(dest, src, img, uint32_t(gdi::RasterOp::SrcCopy), bottomUp(u32(48), u32(52)));
            return;
        }
        default:
            return; // comments (EMF+ included) and records this player does not draw
        }
    }

    bool bottomUp(uint32_t offBmi, uint32_t cbBmi) const
    {
        return cbBmi >= 12 && has(offBmi, 12) && (u32(offBmi) == 12 || i32(offBmi + 8) > 0);
    }

    const QByteArray &m_bytes;
    const ParsedEmf &m_emf;
    LeReader m_r{m_bytes};
    Record m_rec;
    double m_pxPerMmX = 96 / 25.4, m_pxPerMmY = 96 / 25.4;
    QHash<uint32_t, GdiObject> m_objects;
};

// ---------------------------------------------------------------- WMF

class WmfPlayer : public Player {
public:
    WmfPlayer(gdi::Canvas &c, const QByteArray &bytes, const ParsedWmf &wmf, const QRectF &dest)
        : Player(c), m_bytes(bytes), m_wmf(wmf), m_dest(dest)
    {
        m_objects.resize(std::max<int>(wmf.header.numObjects, 1));
        // The window starts as the placeable box, or as the first window the metafile
        // sets, so that the picture fills dest.
        const RectL &b = wmf.header.bbox;
        if (wmf.header.placeable && b.right != b.left && b.bottom != b.top) {
            m_state.map.windowOrg = QPointF(b.left, b.top);
            m_state.map.windowExt = QSizeF(double(b.right) - b.left, double(b.bottom) - b.top);
        } else {
            const QSize natural = naturalSize(bytes);
            m_state.map.windowExt = QSizeF(natural.isEmpty() ? QSize(100, 100) : natural);
            for (const Record &rec : wmf.records) {
                if (rec.type == wmf::SETWINDOWORG && rec.size >= 10) {
                    m_state.map.windowOrg = QPointF(m_r.i16At(rec.offset + 8), m_r.i16At(rec.offset + 6));
                    break;
                }
            }
        }
    }

    void play()
    {
        begin();
        for (const Record &rec : m_wmf.records) {
            if (rec.type == wmf::EOF_)
                break;
            playRecord(rec);
        }
        end();
    }

protected:
    // A WMF's window is mapped onto dest; its viewport records describe the device it
    // was made for and are not followed.
    QTransform logicalToDevice() const override
    {
        const Mapping &m = m_state.map;
        const double ew = m.windowExt.width(), eh = m.windowExt.height();
        if (ew == 0 || eh == 0)
            return QTransform(0, 0, 0, 0, 0, 0);
        const double sx = m_dest.width() / ew, sy = m_dest.height() / eh;
        // The placement is folded in here, so m_placement stays the identity.
        return QTransform(sx, 0, 0, sy, m_dest.left() - m.windowOrg.x() * sx, m_dest.top() - m.windowOrg.y() * sy);
    }

private:
    // Parameter words after the 6-byte record head.
    int16_t w(int i) const { return m_r.i16At(m_rec.offset + 6 + 2 * qsizetype(i)); }
    // A coordinate parameter, clamped like every coordinate the player hands on.
    int wc(int i) const { return clampCoord(w(i)); }
    uint16_t uw(int i) const { return m_r.u16At(m_rec.offset + 6 + 2 * qsizetype(i)); }
    uint32_t dw(int i) const { return m_r.u32At(m_rec.offset + 6 + 2 * qsizetype(i)); }
    int words() const { return int((m_rec.size - 6) / 2); }
    bool hasWords(int n) const { return words() >= n; }

    void create(const GdiObject &o)
    {
        for (auto &slot : m_objects) {
            if (!slot) {
                slot = o;
                return;
            }
        }
        // More objects than the header declared: grow, within reason.
        if (m_objects.size() < 65536)
            m_objects.push_back(o);
    }

    bool readPoints(int countWord, QVector<QPoint> &out) const
    {
        const int n = uw(countWord);
        if (!hasWords(countWord + 1 + 2 * n))
            return false;
        out.resize(n);
        for (int i = 0; i < n; ++i)
            out[i] = QPoint(wc(countWord + 1 + 2 * i), wc(countWord + 2 + 2 * i));
        return true;
    }

    // The packed DIB that starts at parameter word `i`.
    QImage dibAt(int i) const
    {
        const qsizetype off = m_rec.offset + 6 + 2 * qsizetype(i);
        const qsizetype end = m_rec.offset + m_rec.size;
        if (off >= end)
            return {};
        return bmp::decodeDib(m_bytes.constData() + off, end - off);
    }

    void playRecord(const Record &rec)
    {
        m_rec = rec;
        gdi::Canvas &c = m_canvas;
        const uint16_t f = uint16_t(rec.type);
        switch (f) {
        case wmf::SETWINDOWORG:
            if (hasWords(2)) {
                m_state.map.windowOrg = QPointF(w(1), w(0));
                apply();
            }
            return;
        case wmf::SETWINDOWEXT:
            if (hasWords(2)) {
                m_state.map.windowExt = QSizeF(w(1), w(0));
                apply();
            }
            return;
        case wmf::OFFSETWINDOWORG:
            if (hasWords(2)) {
                m_state.map.windowOrg += QPointF(w(1), w(0));
                apply();
            }
            return;
        case wmf::SCALEWINDOWEXT:
            if (hasWords(4) && w(0) != 0 && w(2) != 0) {
                QSizeF &e = m_state.map.windowExt;
                e = QSizeF(e.width() * w(3) / w(2), e.height() * w(1) / w(0));
                apply();
            }
            return;
        case wmf::SETMAPMODE:
        case wmf::SETVIEWPORTORG:
        case wmf::SETVIEWPORTEXT:
        case wmf::OFFSETVIEWPORTORG:
        case wmf::SCALEVIEWPORTEXT:
            return;
        case wmf::SAVEDC: saveDC(); return;
        case wmf::RESTOREDC:
            if (hasWords(1))
                restoreDC(w(0));
            return;
        case wmf::SETBKCOLOR:
            if (hasWords(2)) {
                m_state.bkColor = dw(0) & 0xFFFFFF;
                c.setBkColor(m_state.bkColor);
            }
            return;
        case wmf::SETTEXTCOLOR:
            if (hasWords(2))
                c.setTextColor(dw(0) & 0xFFFFFF);
            return;
        case wmf::SETBKMODE:
            if (hasWords(1) && (uw(0) == 1 || uw(0) == 2))
                c.setBkMode(gdi::BkMode(uw(0)));
            return;
        case wmf::SETPOLYFILLMODE:
            if (hasWords(1) && (uw(0) == 1 || uw(0) == 2))
                c.setPolyFillMode(gdi::FillMode(uw(0)));
            return;
        case wmf::SETTEXTALIGN:
            if (hasWords(1))
                c.setTextAlign(uw(0));
            return;
        case wmf::CREATEPENINDIRECT:
            if (hasWords(5))
                create(PenObj{gdi::Pen{penStyle(uw(0)), std::max<int>(0, w(1)), dw(3) & 0xFFFFFF}});
            return;
        case wmf::CREATEBRUSHINDIRECT:
            if (hasWords(4))
                create(BrushObj{brushFrom(uw(0), dw(1), uw(3))});
            return;
        case wmf::CREATEFONTINDIRECT: {
            if (!hasWords(9))
                return;
            plat::LogFont font;
            font.height = w(0);
            font.width = w(1);
            font.escapement = w(2);
            font.orientation = w(3);
            font.weight = w(4);
            const qsizetype o = rec.offset + 6 + 10;
            font.italic = m_r.u8At(o);
            font.underline = m_r.u8At(o + 1);
            font.strikeOut = m_r.u8At(o + 2);
            font.charSet = m_r.u8At(o + 3);
            font.outPrecision = m_r.u8At(o + 4);
            font.clipPrecision = m_r.u8At(o + 5);
            font.quality = m_r.u8At(o + 6);
            font.pitchAndFamily = m_r.u8At(o + 7);
            QByteArray face;
            for (qsizetype i = o + 8; i < rec.offset + rec.size && i < o + 8 + 32; ++i) {
                const char ch = char(m_r.u8At(i));
                if (!ch)
                    break;
                face.append(ch);
            }
            font.faceName = face;
            create(FontObj{font});
            return;
        }
        case wmf::DIBCREATEPATTERNBRUSH: {
            const QImage img = dibAt(2);
            const QRgb px = img.isNull() ? qRgb(128, 128, 128) : img.pixel(0, 0);
            create(BrushObj{gdi::Brush{gdi::BrushStyle::Solid, gdi::rgb(qRed(px), qGreen(px), qBlue(px)), 0}});
            return;
        }
        case wmf::CREATEPALETTE:
        case wmf::CREATEPATTERNBRUSH:
        case wmf::CREATEREGION:
            create(OtherObj{}); // takes a slot like any object
            return;
        case wmf::SELECTOBJECT:
            if (hasWords(1) && uw(0) < m_objects.size() && m_objects[uw(0)])
                selectObject(*m_objects[uw(0)]);
            return;
        case wmf::DELETEOBJECT:
            if (hasWords(1) && uw(0) < m_objects.size())
                m_objects[uw(0)].reset();
            return;
        case wmf::SELECTCLIPREGION:
            if (hasWords(1) && uw(0) == 0)
                c.resetClip();
            return;
        case wmf::INTERSECTCLIPRECT:
            if (hasWords(4))
                c.intersectClipRect(QRect(QPoint(w(3), w(2)), QPoint(w(1) - 1, w(0) - 1)));
            return;
        default:
            break;
        }
        if (!m_drawable)
            return;
        QVector<QPoint> pts;
        switch (f) {
        case wmf::MOVETO:
            if (hasWords(2))
                c.moveTo(wc(1), wc(0));
            return;
        case wmf::LINETO:
            if (hasWords(2))
                c.lineTo(wc(1), wc(0));
            return;
        case wmf::SETPIXEL:
            if (hasWords(4))
                c.setPixel(wc(3), wc(2), dw(0) & 0xFFFFFF);
            return;
        case wmf::RECTANGLE:
            if (hasWords(4))
                c.rectangle(wc(3), wc(2), wc(1), wc(0));
            return;
        case wmf::ELLIPSE:
            if (hasWords(4))
                c.ellipse(wc(3), wc(2), wc(1), wc(0));
            return;
        case wmf::ROUNDRECT:
            if (hasWords(6))
                c.roundRect(wc(5), wc(4), wc(3), wc(2), wc(1), wc(0));
            return;
        case wmf::ARC:
        case wmf::PIE:
        case wmf::CHORD: {
            if (!hasWords(8))
                return;
            const QRect box(QPoint(wc(7), wc(6)), QSize(wc(5) - wc(7), wc(4) - wc(6)));
            const QPoint start(wc(3), wc(2)), end(wc(1), wc(0));
            if (f == wmf::ARC)
                c.arc(box, start, end);
            else if (f == wmf::PIE)
                c.pie(box, start, end);
            else
                c.chord(box, start, end);
            return;
        }
        case wmf::POLYLINE:
            if (readPoints(0, pts) && !pts.isEmpty())
                c.polyline(pts);
            return;
        case wmf::POLYGON:
            if (readPoints(0, pts) && !pts.isEmpty())
                c.polygon(pts);
            return;
        case wmf::POLYPOLYGON: {
            if (!hasWords(1))
                return;
            const int n = uw(0);
            if (!hasWords(1 + n))
                return;
            int idx = 1 + n;
            QVector<QVector<QPoint>> polys;
            for (int p = 0; p < n; ++p) {
                const int count = uw(1 + p);
                if (!hasWords(idx + 2 * count))
                    return;
                QVector<QPoint> poly(count);
                for (int i = 0; i < count; ++i, idx += 2)
                    poly[i] = QPoint(wc(idx), wc(idx + 1));
                polys.append(poly);
            }
            c.polyPolygon(polys);
            return;
        }
        case wmf::PATBLT:
            if (hasWords(6))
                patBlt(QRect(wc(5), wc(4), wc(3), wc(2)), dw(0));
            return;
        case wmf::TEXTOUT: {
            if (!hasWords(1))
                return;
            const int len = uw(0);
            const int strWords = (len + 1) / 2;
            if (!hasWords(1 + strWords + 2))
                return;
            const QString s = plat::fromAnsi(m_bytes.constData() + rec.offset + 8, len);
            text(wc(1 + strWords + 1), wc(1 + strWords), s, 0, QRect());
            return;
        }
        case wmf::EXTTEXTOUT: {
            if (!hasWords(4))
                return;
            const int y = wc(0), x = wc(1), len = uw(2), opts = uw(3);
            int idx = 4;
            QRect rect;
            if (opts & 0x6) { // ETO_OPAQUE or ETO_CLIPPED: a rectangle follows
                if (!hasWords(8))
                    return;
                rect = QRect(QPoint(wc(4), wc(5)), QPoint(wc(6) - 1, wc(7) - 1));
                idx = 8;
            }
            if (!hasWords(idx + (len + 1) / 2))
                return;
            const QString s = plat::fromAnsi(m_bytes.constData() + rec.offset + 6 + 2 * idx, len);
            text(x, y, s, opts, rect);
            return;
        }
        case wmf::DIBBITBLT: {
            // rop, ySrc, xSrc, [reserved when no bitmap], height, width, yDest, xDest, DIB
            const bool noBitmap = rec.size == qsizetype((f >> 8) + 3) * 2;
            if (noBitmap) {
                if (hasWords(9))
                    patBlt(QRect(wc(8), wc(7), wc(6), wc(5)), dw(0));
                return;
            }
            if (!hasWords(8))
                return;
            const QRect dest(wc(7), wc(6), wc(5), wc(4));
            image(dest, QRect(wc(3), wc(2), wc(5), wc(4)), dibAt(8), dw(0), false);
            return;
        }
        case wmf::DIBSTRETCHBLT: {
            // rop, srcHeight, srcWidth, ySrc, xSrc, [reserved], destHeight, destWidth, yDest, xDest, DIB
            const bool noBitmap = rec.size == qsizetype((f >> 8) + 3) * 2;
            if (noBitmap) {
                if (hasWords(11))
                    patBlt(QRect(wc(10), wc(9), wc(8), wc(7)), dw(0));
                return;
            }
            if (!hasWords(10))
                return;
            const QRect dest(wc(9), wc(8), wc(7), wc(6));
            image(dest, QRect(wc(5), wc(4), wc(3), wc(2)), dibAt(10), dw(0), false);
            return;
        }
        case wmf::STRETCHDIB: {
            // rop, usage, srcHeight, srcWidth, ySrc, xSrc, destHeight, destWidth, yDest, xDest, DIB
            if (!hasWords(11))
                return;
            const QRect dest(wc(10), wc(9), wc(8), wc(7));
            const QImage img = dibAt(11);
            image(dest, QRect(wc(6), wc(5), wc(4), wc(3)), img, dw(0), true);
            return;
        }
        case wmf::SETDIBTODEV: {
            // usage, scanCount, startScan, yDib, xDib, height, width, yDest, xDest, DIB
            if (!hasWords(9))
                return;
            const QRect dest(wc(8), wc(7), wc(6), wc(5));
            image(dest, QRect(wc(4), wc(3), wc(6), wc(5)), dibAt(9), uint32_t(gdi::RasterOp::SrcCopy), true);
            return;
        }
        default:
            return;
        }
    }

    const QByteArray &m_bytes;
    const ParsedWmf &m_wmf;
    QRectF m_dest;
    LeReader m_r{m_bytes};
    Record m_rec;
    std::vector<std::optional<GdiObject>> m_objects;
};

} // namespace

bool playEmf(gdi::Canvas &canvas, const QByteArray &emf, const QRectF &dest, QString *error)
{
    ParsedEmf parsed;
    if (!parseEmf(emf, parsed, error))
        return false;
    EmfPlayer player(canvas, emf, parsed, dest);
    player.play();
    return true;
}

bool playWmf(gdi::Canvas &canvas, const QByteArray &wmf, const QRectF &dest, QString *error)
{
    ParsedWmf parsed;
    if (!parseWmf(wmf, parsed, error))
        return false;
    WmfPlayer player(canvas, wmf, parsed, dest);
    player.play();
    return true;
}

bool playMetafile(gdi::Canvas &canvas, const QByteArray &bytes, const QRectF &dest, QString *error)
{
    switch (detectKind(bytes)) {
    case Kind::Emf:
        return playEmf(canvas, bytes, dest, error);
    case Kind::Wmf:
    case Kind::PlaceableWmf:
        return playWmf(canvas, bytes, dest, error);
    case Kind::None:
        break;
    }
    if (error)
        *error = QStringLiteral("not a metafile");
    return false;
}

} // namespace plat::metafile
