#pragma once
// Writers of small metafiles for the tests: records are put together field by field, the
// way another program would write them, so the player is tested against records it did
// not make itself.

#include "platform/ByteIO.h"
#include "platform/bmp/BmpCodec.h"

#include <QByteArray>
#include <QImage>
#include <QVector>
#include <cstring>
#include <initializer_list>

namespace testsupport {

// An enhanced metafile: header (frame and device given), records, end record.
class EmfBuilder {
public:
    EmfBuilder(int frameRight = 2646, int frameBottom = 2646)
    {
        plat::LeWriter w(&m_out);
        w.u32(1); w.u32(88);
        w.i32(0); w.i32(0); w.i32(99); w.i32(99); // bounds
        w.i32(0); w.i32(0); w.i32(frameRight); w.i32(frameBottom);
        w.u32(0x464D4520u); w.u32(0x10000); w.u32(0); w.u32(0);
        w.u16(8); w.u16(0); w.u32(0); w.u32(0); w.u32(0);
        w.i32(1920); w.i32(1440); w.i32(508); w.i32(381);
        m_count = 1;
    }
    // A record of 32-bit fields.
    EmfBuilder &rec(uint32_t type, std::initializer_list<int64_t> fields)
    {
        QByteArray body;
        plat::LeWriter w(&body);
        for (int64_t f : fields)
            w.u32(uint32_t(f));
        return raw(type, body);
    }
    // A record with an arbitrary body (padded to 4 bytes).
    EmfBuilder &raw(uint32_t type, QByteArray body)
    {
        while (body.size() % 4)
            body.append('\0');
        plat::LeWriter w(&m_out);
        w.u32(type);
        w.u32(uint32_t(8 + body.size()));
        w.bytes(body);
        ++m_count;
        return *this;
    }
    QByteArray finish()
    {
        rec(14, {0, 16, 20});
        QByteArray out = m_out;
        plat::putU32(out.data() + 48, uint32_t(out.size()));
        plat::putU32(out.data() + 52, m_count);
        return out;
    }

private:
    QByteArray m_out;
    uint32_t m_count = 0;
};

inline uint32_t floatBits(float f)
{
    uint32_t u;
    std::memcpy(&u, &f, 4);
    return u;
}

// A Windows metafile, optionally with the placeable header.
class WmfBuilder {
public:
    // `box`: the placeable header's box (left, top, right, bottom) or none.
    explicit WmfBuilder(bool placeable = true, int left = 0, int top = 0, int right = 1440, int bottom = 720, int inch = 1440)
        : m_placeable(placeable), m_box{left, top, right, bottom}, m_inch(inch) {}

    WmfBuilder &rec(uint16_t function, std::initializer_list<int> words)
    {
        QByteArray body;
        plat::LeWriter w(&body);
        for (int v : words)
            w.u16(uint16_t(v));
        return raw(function, body);
    }
    WmfBuilder &raw(uint16_t function, QByteArray body)
    {
        if (body.size() % 2)
            body.append('\0');
        plat::LeWriter w(&m_records);
        w.u32(uint32_t(3 + body.size() / 2));
        w.u16(function);
        w.bytes(body);
        ++m_objectsGuess;
        return *this;
    }
    QByteArray finish(uint16_t numObjects = 8)
    {
        QByteArray out;
        plat::LeWriter w(&out);
        if (m_placeable) {
            w.u32(0x9AC6CDD7u); w.u16(0);
            for (int v : m_box)
                w.i16(int16_t(v));
            w.u16(uint16_t(m_inch)); w.u32(0);
            uint16_t sum = 0;
            for (int i = 0; i < 10; ++i)
                sum ^= plat::getU16(out.constData() + 2 * i);
            w.u16(sum);
        }
        QByteArray records = m_records;
        plat::LeWriter rw(&records);
        rw.u32(3); rw.u16(0); // end record
        w.u16(1); w.u16(9); w.u16(0x300);
        w.u32(uint32_t(9 + records.size() / 2));
        w.u16(numObjects); w.u32(0); w.u16(0);
        w.bytes(records);
        return out;
    }

private:
    bool m_placeable;
    int m_box[4];
    int m_inch;
    QByteArray m_records;
    int m_objectsGuess = 0;
};

// Words of a 16-bit ANSI string, padded to an even length.
inline QByteArray wmfText(const QByteArray &s)
{
    QByteArray b = s;
    if (b.size() % 2)
        b.append('\0');
    return b;
}

// A complete WMF exercising most of the records the player knows, in logical units of a
// 1000 x 500 window.
inline QByteArray sampleWmf(bool placeable = true)
{
    WmfBuilder b(placeable, 0, 0, 1000, 500, 1000);
    QImage img(4, 2, QImage::Format_RGB32);
    img.fill(qRgb(0, 0, 255));
    img.setPixel(0, 0, qRgb(255, 0, 0));
    const QByteArray dib = plat::bmp::encodeDib(img, 24);

    b.rec(0x020B, {0, 0})                                  // SETWINDOWORG y x
        .rec(0x020C, {500, 1000})                          // SETWINDOWEXT y x
        .rec(0x0209, {0x00FF, 0x0000})                     // SETTEXTCOLOR red
        .rec(0x0201, {0xFFFF, 0x00FF})                     // SETBKCOLOR
        .rec(0x0102, {1})                                  // SETBKMODE transparent
        .rec(0x0106, {2})                                  // SETPOLYFILLMODE winding
        .rec(0x02FA, {0, 3, 0, 0x8000, 0x0000})            // CREATEPENINDIRECT solid 3 colour 0x008000 -> slot 0
        .rec(0x02FC, {0, 0xCCBB, 0x00AA, 0})               // CREATEBRUSHINDIRECT solid 0xAACCBB -> slot 1
        .rec(0x012D, {0})                                  // SELECTOBJECT pen
        .rec(0x012D, {1});                                 // SELECTOBJECT brush
    {
        QByteArray font;
        plat::LeWriter w(&font);
        w.i16(-40); w.i16(0); w.i16(900); w.i16(900); w.i16(700);
        w.u8(0); w.u8(0); w.u8(0); w.u8(0); w.u8(0); w.u8(0); w.u8(0); w.u8(0);
        w.fixedString("Arial", 32);
        b.raw(0x02FB, font);                               // CREATEFONTINDIRECT -> slot 2
    }
    b.rec(0x012D, {2})
        .rec(0x041B, {100, 200, 10, 20})                   // RECTANGLE b r t l
        .rec(0x0418, {300, 400, 200, 300})                 // ELLIPSE
        .rec(0x061C, {20, 30, 480, 980, 400, 800})         // ROUNDRECT h w b r t l
        .rec(0x0214, {50, 500})                            // MOVETO y x
        .rec(0x0213, {60, 600})                            // LINETO
        .rec(0x0325, {3, 10, 10, 20, 30, 40, 10})          // POLYLINE
        .rec(0x0324, {3, 100, 100, 150, 100, 125, 150})    // POLYGON
        .rec(0x0538, {2, 3, 3, 0, 0, 10, 0, 5, 5, 20, 20, 30, 20, 25, 25}) // POLYPOLYGON
        .rec(0x0817, {0, 150, 0, 250, 300, 300, 200, 200}) // ARC
        .rec(0x081A, {0, 150, 0, 250, 300, 300, 200, 200}) // PIE
        .rec(0x0830, {0, 150, 0, 250, 300, 300, 200, 200}) // CHORD
        .rec(0x041F, {0x00FF, 0x0000, 7, 9})               // SETPIXEL colour y x
        .rec(0x001E, {})                                   // SAVEDC
        .rec(0x0416, {400, 900, 300, 700})                 // INTERSECTCLIPRECT b r t l
        .rec(0x0127, {0xFFFF})                             // RESTOREDC -1
        .rec(0x0999, {1, 2, 3});                           // a record nobody knows
    {
        QByteArray t;
        plat::LeWriter w(&t);
        w.u16(5);
        w.bytes(wmfText("Hello"));
        w.i16(70); w.i16(60); // y, x
        b.raw(0x0521, t);                                  // TEXTOUT
    }
    {
        QByteArray t;
        plat::LeWriter w(&t);
        w.i16(90); w.i16(80); w.u16(2); w.u16(2); // y, x, length, ETO_OPAQUE
        w.i16(80); w.i16(90); w.i16(120); w.i16(110);
        w.bytes(wmfText("Hi"));
        b.raw(0x0A32, t);                                  // EXTTEXTOUT
    }
    {
        QByteArray s;
        plat::LeWriter w(&s);
        w.u32(0x00CC0020); w.u16(0);                        // rop, usage
        w.i16(2); w.i16(4); w.i16(0); w.i16(0);             // src h, w, y, x
        w.i16(100); w.i16(200); w.i16(350); w.i16(600);     // dest h, w, y, x
        w.bytes(dib);
        b.raw(0x0F43, s);                                  // STRETCHDIB
    }
    {
        QByteArray s;
        plat::LeWriter w(&s);
        w.u32(0x00CC0020);
        w.i16(2); w.i16(4); w.i16(0); w.i16(0);             // src h, w, y, x
        w.i16(50); w.i16(60); w.i16(420); w.i16(10);        // dest h, w, y, x
        w.bytes(dib);
        b.raw(0x0B41, s);                                  // DIBSTRETCHBLT
    }
    b.rec(0x061D, {0x0021, 0x00F0, 10, 10, 480, 970})      // PATBLT PATCOPY h w y x
        .rec(0x01F0, {0})                                  // DELETEOBJECT pen
        .rec(0x012D, {0});                                 // selecting a deleted slot does nothing
    return b.finish(3);
}

} // namespace testsupport
