#include "platform/ByteIO.h"
#include "platform/bmp/BmpCodec.h"
#include "platform/gdi/PainterCanvas.h"
#include "platform/metafile/EmfRecorder.h"
#include "platform/metafile/Metafile.h"

#include "MetafileBuilders.h"
#include "RecordingCanvas.h"
#include "TestSupport.h"

#include <QDir>
#include <QPainter>
#include <gtest/gtest.h>

using namespace plat::metafile;
using testsupport::EmfBuilder;
using testsupport::RecordingCanvas;

namespace {

QImage sceneImage(bool indexed)
{
    QImage img(6, 4, QImage::Format_RGB32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            img.setPixel(x, y, qRgb(x * 40, y * 60, 255 - x * 40));
    if (indexed)
        return img.convertToFormat(QImage::Format_Indexed8);
    return img;
}

// Everything the object renderer, text styles, bar codes and the surface ask of a canvas.
void drawScene(gdi::Canvas &c, bool withText = true)
{
    c.setBkMode(gdi::BkMode::Transparent);
    c.setPen(gdi::Pen{gdi::PenStyle::Solid, 1, gdi::rgb(0, 0, 0)});
    c.setBrush(gdi::Brush{gdi::BrushStyle::Solid, gdi::rgb(255, 200, 0), 0});
    c.rectangle(5, 5, 60, 40);
    c.setPen(gdi::Pen{gdi::PenStyle::Solid, 3, gdi::rgb(0, 0, 200)});
    c.setBrush(gdi::Brush{gdi::BrushStyle::Null, 0, 0});
    c.roundRect(70, 5, 130, 45, 16, 16);
    c.setBrush(gdi::Brush{gdi::BrushStyle::Solid, gdi::rgb(0, 160, 0), 0});
    c.ellipse(140, 5, 195, 45);
    c.setPen(gdi::Pen{gdi::PenStyle::Solid, 2, gdi::rgb(200, 0, 0)});
    c.moveTo(5, 95);
    c.lineTo(60, 55);
    c.polyline({QPoint(65, 95), QPoint(80, 60), QPoint(95, 95)});
    c.setPen(gdi::Pen{gdi::PenStyle::Null, 0, 0});
    c.polygon({QPoint(100, 95), QPoint(115, 60), QPoint(130, 95)});
    c.polyPolygon({{QPoint(135, 95), QPoint(150, 60), QPoint(165, 95)}, {QPoint(145, 90), QPoint(150, 80), QPoint(155, 90)}});
    c.setPen(gdi::Pen{gdi::PenStyle::Solid, 1, gdi::rgb(120, 0, 120)});
    c.polyBezier({QPoint(170, 95), QPoint(175, 50), QPoint(190, 100), QPoint(195, 55)});
    c.arc(QRect(5, 45, 20, 20), QPoint(25, 45), QPoint(5, 45));
    c.pie(QRect(30, 45, 20, 20), QPoint(50, 55), QPoint(40, 45));
    c.chord(QRect(170, 5, 25, 20), QPoint(195, 15), QPoint(170, 15));
    c.fillRect(QRect(100, 50, 20, 8), gdi::Brush{gdi::BrushStyle::Solid, gdi::rgb(30, 30, 30), 0});
    c.setPixel(198, 98, gdi::rgb(255, 0, 0));
    c.stretchDIBits(QRect(100, 10, 24, 16), QRect(0, 0, 6, 4), sceneImage(false));
    c.stretchDIBits(QRect(100, 28, 12, 8), QRect(2, 1, 3, 2), sceneImage(true));
    {
        gdi::StateSaver keep(c);
        c.intersectClipRect(QRect(60, 50, 30, 20));
        c.setBrush(gdi::Brush{gdi::BrushStyle::Solid, gdi::rgb(0, 0, 255), 0});
        c.setPen(gdi::Pen{gdi::PenStyle::Null, 0, 0});
        c.ellipse(50, 40, 100, 80);
    }
    {
        gdi::StateSaver keep(c);
        QTransform t;
        t.translate(20, 70);
        t.rotate(30);
        c.setWorldTransform(t);
        c.setBrush(gdi::Brush{gdi::BrushStyle::Solid, gdi::rgb(0, 200, 200), 0});
        c.rectangle(0, 0, 15, 10);
    }
    c.beginPath();
    c.moveTo(180, 60);
    c.lineTo(195, 75);
    c.lineTo(180, 90);
    c.closeFigure();
    c.endPath();
    c.setBrush(gdi::Brush{gdi::BrushStyle::Solid, gdi::rgb(250, 0, 250), 0});
    c.fillPath();
    if (withText) {
        c.setTextColor(gdi::rgb(0, 0, 0));
        c.setFont(plat::LogFont::fromPoints(QStringLiteral("Arial"), 9));
        c.textOut(8, 8, QStringLiteral("Card"));
        QRect r(70, 60, 60, 30);
        c.drawText(QStringLiteral("Wrapped words here"), r, gdi::DT_CENTER | gdi::DT_WORDBREAK);
        plat::LogFont turned = plat::LogFont::fromPoints(QStringLiteral("Arial"), 8);
        turned.escapement = 900;
        c.setFont(turned);
        c.setTextAlign(gdi::TA_BASELINE);
        c.textOut(195, 95, QStringLiteral("Up"));
    }
}

QStringList drawingCalls(const RecordingCanvas &c)
{
    static const QStringList kinds = {"rectangle", "roundrect", "ellipse", "moveto", "lineto", "polyline", "polygon",
                                      "polypolygon", "bezier", "arc", "chord", "pie", "fillrect", "pixel", "textout",
                                      "stretchdibits", "beginpath", "endpath", "closefigure", "fillpath", "strokepath",
                                      "clip"};
    QStringList out;
    for (const QString &l : c.log)
        if (kinds.contains(l.section(QLatin1Char(' '), 0, 0)))
            out << l;
    return out;
}

QByteArray recordScene(bool withText = true)
{
    EmfRecorder rec(QSize(200, 100));
    drawScene(rec, withText);
    return rec.finish();
}

} // namespace

TEST(EmfRecorder, WritesAValidMetafile)
{
    const QByteArray emf = recordScene();
    ParsedEmf parsed;
    QString error;
    ASSERT_TRUE(parseEmf(emf, parsed, &error)) << error.toStdString();
    const EmfHeader &h = parsed.header;
    EXPECT_EQ(h.nBytes, uint32_t(emf.size()));
    EXPECT_EQ(h.nRecords, uint32_t(parsed.records.size()));
    EXPECT_EQ(h.headerSize, 108u);
    EXPECT_EQ(h.frame.left, 0);
    EXPECT_EQ(h.frame.right, 5292); // 200 px at 96 ppi in hundredths of a millimetre
    EXPECT_EQ(h.frame.bottom, 2646);
    EXPECT_EQ(h.devicePixels, QSize(1920, 1440));
    EXPECT_EQ(h.deviceMm, QSize(508, 381));
    EXPECT_GT(h.nHandles, 1);
    // Bounds: the device pixels drawn, inside the picture and covering the first box.
    EXPECT_LE(h.bounds.left, 5);
    EXPECT_LE(h.bounds.top, 5);
    EXPECT_GE(h.bounds.right, 197);
    EXPECT_GE(h.bounds.bottom, 97);
    EXPECT_EQ(parsed.records.last().type, uint32_t(emr::EOF_));
    EXPECT_EQ(naturalSize(emf), QSize(200, 100));
    // Handles are all given back: every created object is deleted again.
    int created = 0, deleted = 0;
    plat::LeReader r(emf);
    for (const Record &rec : parsed.records) {
        if (rec.type == emr::CREATEPEN || rec.type == emr::CREATEBRUSHINDIRECT || rec.type == emr::EXTCREATEFONTINDIRECTW)
            ++created;
        if (rec.type == emr::DELETEOBJECT)
            ++deleted;
    }
    EXPECT_GT(created, 5);
    EXPECT_EQ(created, deleted);

    // An empty picture still has a header, an end record and empty bounds.
    EmfRecorder empty(QSize(10, 10));
    const QByteArray e = empty.finish();
    ASSERT_TRUE(parseEmf(e, parsed));
    EXPECT_EQ(parsed.records.size(), 2);
    EXPECT_EQ(parsed.header.bounds.right, -1);
    EXPECT_EQ(empty.finish(), e);
}

TEST(EmfRecorder, PlaysBackTheCallsThatMadeIt)
{
    RecordingCanvas direct;
    drawScene(direct, false);
    RecordingCanvas played;
    ASSERT_TRUE(playMetafile(played, recordScene(false), QRectF(0, 0, 200, 100)));
    EXPECT_EQ(drawingCalls(played), drawingCalls(direct));
    EXPECT_EQ(played.depth(), 0);
    // The picture fills the rectangle it is played into.
    RecordingCanvas placed;
    ASSERT_TRUE(playMetafile(placed, recordScene(false), QRectF(10, 20, 400, 50)));
    EXPECT_TRUE(placed.log.contains(QStringLiteral("world 2 0 0 0.5 10 20"))) << placed.log.join('\n').toStdString();

    // drawText becomes one text record per line, clipped to its rectangle.
    RecordingCanvas withText;
    ASSERT_TRUE(playMetafile(withText, recordScene(true), QRectF(0, 0, 200, 100)));
    const QStringList texts = withText.calls(QStringLiteral("textout"));
    ASSERT_GE(texts.size(), 4);
    EXPECT_TRUE(texts.first().endsWith(QStringLiteral("Card")));
    EXPECT_TRUE(texts.last().endsWith(QStringLiteral("Up")));
    EXPECT_TRUE(withText.log.contains(QStringLiteral("clip [70 60 60 30]")));
    EXPECT_TRUE(withText.log.contains(QStringLiteral("font Arial -11 esc 900")));
}

TEST(MetafilePixels, RecordedScenePlaysBackLikeDirectDrawing)
{
    QImage direct(200, 100, QImage::Format_RGB32);
    direct.fill(Qt::white);
    {
        QPainter p(&direct);
        gdi::PainterCanvas c(p);
        drawScene(c);
    }
    QImage played(200, 100, QImage::Format_RGB32);
    played.fill(Qt::white);
    {
        QPainter p(&played);
        gdi::PainterCanvas c(p);
        ASSERT_TRUE(playMetafile(c, recordScene(), QRectF(0, 0, 200, 100)));
    }
    int differing = 0;
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 200; ++x) {
            const QRgb a = direct.pixel(x, y), b = played.pixel(x, y);
            if (std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b)) > 96)
                ++differing;
        }
    }
    // Anti-aliased text edges may differ by a shade; shapes and bitmaps must not move.
    EXPECT_LE(differing, 40) << "pixels differing: " << differing;
    // Spot checks that the scene is really there.
    EXPECT_EQ(played.pixel(30, 20), qRgb(255, 200, 0));
    EXPECT_EQ(played.pixel(167, 25), qRgb(0, 160, 0));
    EXPECT_EQ(played.pixel(198, 98), qRgb(255, 0, 0));
    EXPECT_EQ(played.pixel(110, 54), qRgb(30, 30, 30));
}

TEST(WmfPlayer, SampleRecordsReachTheCanvas)
{
    for (bool placeable : {true, false}) {
        const QByteArray wmf = testsupport::sampleWmf(placeable);
        RecordingCanvas c;
        QString error;
        ASSERT_TRUE(playMetafile(c, wmf, QRectF(0, 0, 1000, 500), &error)) << error.toStdString();
        const QStringList expected = {
            "world 1 0 0 1 0 0", "textcolor 0000ff", "bkmode 1", "fillmode 2", "pen 0 3 008000", "brush 0 aaccbb",
            "font Arial -40 esc 900", "rectangle 20 10 200 100", "ellipse 300 200 400 300",
            "roundrect 800 400 980 480 30 20", "moveto 500,50", "lineto 600,60", "polyline 10,10 20,30 40,10",
            "polygon 100,100 150,100 125,150", "polypolygon 0,0 10,0 5,5 | 20,20 30,20 25,25",
            "arc [200 200 100 100] 250,0 150,0", "pie [200 200 100 100] 250,0 150,0",
            "chord [200 200 100 100] 250,0 150,0", "pixel 9,7 0000ff", "clip [700 300 200 100]",
            "textout 60,70 Hello", "fillrect [80 90 40 20] ffffff", "textout 80,90 Hi",
            "stretchdibits [600 350 200 100] [0 0 4 2] 4x2 rop cc0020",
            "stretchdibits [10 420 60 50] [0 0 4 2] 4x2 rop cc0020", "fillrect [970 480 10 10] aaccbb"};
        int from = 0;
        for (const QString &e : expected) {
            const int at = int(c.log.indexOf(e, from));
            EXPECT_GE(at, 0) << (placeable ? "placeable: " : "plain: ") << e.toStdString();
            if (at >= 0)
                from = at + 1;
        }
        EXPECT_EQ(c.calls(QStringLiteral("pen ")).size(), 2); // the default, then the one created
        EXPECT_EQ(c.depth(), 0);
        ASSERT_EQ(c.images.size(), 2u);
        EXPECT_EQ(c.images[0].pixel(0, 0), qRgb(255, 0, 0));
    }
    EXPECT_EQ(naturalSize(testsupport::sampleWmf(true)), QSize(96, 48));
    EXPECT_EQ(naturalSize(testsupport::sampleWmf(false)), QSize(1000, 500));
    RecordingCanvas half;
    ASSERT_TRUE(playMetafile(half, testsupport::sampleWmf(true), QRectF(10, 20, 500, 250)));
    EXPECT_TRUE(half.log.contains(QStringLiteral("world 0.5 0 0 0.5 10 20")));
}

TEST(WmfPlayer, ConvertedToEmfDrawsTheSame)
{
    const QByteArray wmf = testsupport::sampleWmf(true);
    QString error;
    const QByteArray emf = wmfToEmf(wmf, &error);
    ASSERT_FALSE(emf.isEmpty()) << error.toStdString();
    ParsedEmf parsed;
    ASSERT_TRUE(parseEmf(emf, parsed));
    EXPECT_EQ(naturalSize(emf), QSize(96, 48));
    EXPECT_EQ(toEmf(emf), emf);
    EXPECT_EQ(toEmf(wmf), emf);
    RecordingCanvas fromWmf, fromEmf;
    ASSERT_TRUE(playMetafile(fromWmf, wmf, QRectF(0, 0, 96, 48)));
    ASSERT_TRUE(playMetafile(fromEmf, emf, QRectF(0, 0, 96, 48)));
    EXPECT_EQ(drawingCalls(fromWmf), drawingCalls(fromEmf));

    // The same picture in pixels, once through each form.
    QImage p1(96, 48, QImage::Format_RGB32), p2(96, 48, QImage::Format_RGB32);
    p1.fill(Qt::white);
    p2.fill(Qt::white);
    {
        QPainter p(&p1);
        gdi::PainterCanvas c(p);
        playMetafile(c, wmf, QRectF(0, 0, 96, 48));
    }
    {
        QPainter p(&p2);
        gdi::PainterCanvas c(p);
        playMetafile(c, emf, QRectF(0, 0, 96, 48));
    }
    int differing = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 96; ++x)
            if (p1.pixel(x, y) != p2.pixel(x, y))
                ++differing;
    EXPECT_LE(differing, 10);
    EXPECT_TRUE(wmfToEmf(emf).isEmpty());
}

TEST(EmfPlayer, RecordsOtherProgramsWrite)
{
    QImage img(2, 2, QImage::Format_RGB32);
    img.fill(qRgb(10, 20, 30));
    const QByteArray dib = plat::bmp::encodeDib(img, 24);
    const uint32_t cbBmi = 40, cbBits = uint32_t(dib.size() - 40);

    QByteArray font;
    {
        plat::LeWriter w(&font);
        w.u32(3); // handle
        w.i32(-30); w.i32(0); w.i32(0); w.i32(0); w.i32(400);
        w.u8(1); w.u8(0); w.u8(0); w.u8(0); w.u8(0); w.u8(0); w.u8(0); w.u8(0);
        for (QChar ch : QStringLiteral("Courier New"))
            w.u16(ch.unicode());
        w.zeros(92 - 28 - 22);
    }
    QByteArray text;
    {
        plat::LeWriter w(&text);
        w.zeros(16); w.u32(1); w.u32(0); w.u32(0); // bounds, mode, scales
        w.i32(5); w.i32(6); w.u32(3); w.u32(76); w.u32(0); // ref, n, offString, options
        w.zeros(16); w.u32(0);
        w.bytes("abc\0", 4);
    }
    QByteArray comment;
    {
        plat::LeWriter w(&comment);
        w.u32(12); w.u32(0x2B464D45); w.u32(0x4001); w.u32(0); // an EMF+ header-like comment
    }
    QByteArray blt;
    {
        plat::LeWriter w(&blt);
        w.zeros(16);
        w.i32(40); w.i32(50); w.i32(8); w.i32(8); w.u32(0x00CC0020); w.i32(0); w.i32(0);
        for (float f : {1.f, 0.f, 0.f, 1.f, 0.f, 0.f})
            w.u32(testsupport::floatBits(f));
        w.u32(0); w.u32(0); w.u32(100); w.u32(cbBmi); w.u32(100 + cbBmi); w.u32(cbBits);
        w.bytes(dib);
    }
    QByteArray toDev;
    {
        plat::LeWriter w(&toDev);
        w.zeros(16);
        w.i32(60); w.i32(70); w.i32(0); w.i32(0); w.i32(2); w.i32(2);
        w.u32(76); w.u32(cbBmi); w.u32(76 + cbBmi); w.u32(cbBits); w.u32(0); w.u32(0); w.u32(2);
        w.bytes(dib);
    }
    const QByteArray emf = EmfBuilder(2646, 2646)
                               .rec(emr::SETMAPMODE, {8})
                               .rec(emr::SETWINDOWEXTEX, {200, 200})
                               .rec(emr::SETVIEWPORTEXTEX, {100, 100})
                               .rec(emr::EXTCREATEPEN, {1, 0, 0, 0, 0, 0x00010000, 4, 0, 0x0000FF, 0, 0})
                               .rec(emr::SELECTOBJECT, {1})
                               .rec(emr::SELECTOBJECT, {int64_t(emr::NULL_BRUSH)})
                               .raw(emr::EXTCREATEFONTINDIRECTW, font)
                               .rec(emr::SELECTOBJECT, {3})
                               .rec(emr::POLYLINE, {0, 0, 0, 0, 2, 1, 2, 100000, 4})
                               .rec(emr::POLYPOLYLINE16, {0, 0, 0, 0, 2, 4, 2, 2, 0x00020001, 0x00040003, 0x00060005, 0x00080007})
                               .rec(emr::MOVETOEX, {10, 10})
                               .rec(emr::POLYBEZIERTO16, {0, 0, 0, 0, 3, 0x00140014, 0x001E001E, 0x00280028})
                               .rec(emr::POLYLINETO, {0, 0, 0, 0, 2, 50, 60, 70, 80})
                               .raw(emr::EXTTEXTOUTA, text)
                               .raw(emr::GDICOMMENT, comment)
                               .rec(250, {1, 2, 3})
                               .rec(emr::BEGINPATH, {})
                               .rec(emr::ENDPATH, {})
                               .rec(emr::STROKEANDFILLPATH, {0, 0, 0, 0})
                               .raw(emr::BITBLT, blt)
                               .raw(emr::SETDIBITSTODEVICE, toDev)
                               .rec(emr::SAVEDC, {})
                               .rec(emr::MODIFYWORLDTRANSFORM, {int64_t(testsupport::floatBits(2)), 0, 0, int64_t(testsupport::floatBits(2)), 0, 0, 4})
                               .rec(emr::RESTOREDC, {-5}) // more than were saved: ignored
                               .rec(emr::RESTOREDC, {-1})
                               .rec(emr::EXTSELECTCLIPRGN, {0, 5})
                               .rec(emr::DELETEOBJECT, {1})
                               .rec(emr::SELECTOBJECT, {1}) // deleted: nothing happens
                               .finish();
    RecordingCanvas c;
    QString error;
    ASSERT_TRUE(playMetafile(c, emf, QRectF(0, 0, 100, 100), &error)) << error.toStdString();
    const QStringList expected = {"world 0.5 0 0 0.5 0 0", "pen 0 4 0000ff", "brush 1 000000", "font Courier New -30 esc 0",
                                  "polyline 1,2 100000,4", "polyline 1,2 3,4", "polyline 5,6 7,8", "moveto 10,10",
                                  "bezier 10,10 20,20 30,30 40,40", "moveto 40,40", "lineto 50,60", "lineto 70,80",
                                  "textout 5,6 abc", "beginpath", "endpath", "strokeandfillpath",
                                  "stretchdibits [40 50 8 8] [0 0 8 8] 2x2 rop cc0020",
                                  "stretchdibits [60 70 2 2] [0 0 2 2] 2x2 rop cc0020", "save", "world 1 0 0 1 0 0",
                                  "restore -1", "world 0.5 0 0 0.5 0 0", "resetclip"};
    int from = 0;
    for (const QString &e : expected) {
        const int at = int(c.log.indexOf(e, from));
        EXPECT_GE(at, 0) << e.toStdString() << "\n" << c.log.join('\n').toStdString();
        if (at >= 0)
            from = at + 1;
    }
    EXPECT_EQ(c.calls(QStringLiteral("pen ")).size(), 2);
    EXPECT_EQ(c.depth(), 0);
}

namespace {

// Plays `bytes`, which may be damaged: it either parses and plays leaving the canvas as it
// was, or is refused.
void expectSafe(const QByteArray &bytes, const std::string &what)
{
    RecordingCanvas c;
    c.saveDC();
    QString error;
    const bool ok = playMetafile(c, bytes, QRectF(0, 0, 300, 200), &error);
    EXPECT_EQ(c.depth(), 1) << what;
    if (!ok) {
        EXPECT_FALSE(error.isEmpty()) << what;
    }
    (void)toEmf(bytes);
    (void)naturalSize(bytes);
}

} // namespace

TEST(MetafileDamage, TruncatedHugeAndScrambledInputs)
{
    const QByteArray emf = recordScene();
    for (qsizetype n = 0; n < emf.size(); n += 7) {
        ParsedEmf parsed;
        EXPECT_FALSE(parseEmf(emf.left(n), parsed)) << "EMF cut at " << n;
        expectSafe(emf.left(n), "EMF cut");
    }
    const QByteArray wmf = testsupport::sampleWmf(true);
    for (qsizetype n = 0; n < wmf.size(); ++n)
        expectSafe(wmf.left(n), "WMF cut at " + std::to_string(n));

    // Fields set huge or negative.
    struct Patch {
        const char *what;
        qsizetype offset;
        uint32_t value;
    };
    ParsedEmf parsed;
    ASSERT_TRUE(parseEmf(emf, parsed));
    auto firstOf = [&](uint32_t type) {
        for (const Record &r : parsed.records)
            if (r.type == type)
                return r.offset;
        return qsizetype(-1);
    };
    const qsizetype poly = firstOf(emr::POLYLINE16), ppoly = firstOf(emr::POLYPOLYGON16),
                    dib = firstOf(emr::STRETCHDIBITS), font = firstOf(emr::EXTCREATEFONTINDIRECTW),
                    text = firstOf(emr::EXTTEXTOUTW), restore = firstOf(emr::RESTOREDC);
    ASSERT_TRUE(poly > 0 && ppoly > 0 && dib > 0 && font > 0 && text > 0 && restore > 0);
    const Patch patches[] = {
        {"nBytes huge", 48, 0xFFFFFFF0u},
        {"header size huge", 4, 0x7FFFFFFCu},
        {"first record size zero", 108 + 4, 0},
        {"first record size huge", 108 + 4, 0x7FFFFFF0u},
        {"polyline count huge", poly + 24, 0x7FFFFFFFu},
        {"polypolygon count huge", ppoly + 24, 0xFFFFFFFFu},
        {"polypolygon counts beyond total", ppoly + 32, 1000},
        {"dib header offset huge", dib + 48, 0xFFFFFF00u},
        {"dib bits size huge", dib + 60, 0x7FFFFFFFu},
        {"dib width huge", dib + 80 + 4, 0x7FFFFFFFu},
        {"font height most negative", font + 12, 0x80000000u},
        {"text count huge", text + 44, 0x7FFFFFFFu},
        {"text offset huge", text + 48, 0xFFFFFFF0u},
        {"restore far back", restore + 8, uint32_t(-1000)},
        {"restore absolute", restore + 8, 1},
    };
    for (const Patch &p : patches) {
        QByteArray bad = emf;
        plat::putU32(bad.data() + p.offset, p.value);
        expectSafe(bad, p.what);
    }
    // A world transform of NaNs and an empty window are ignored, not drawn with.
    const QByteArray nan = EmfBuilder()
                               .rec(emr::SETWORLDTRANSFORM, {0x7FC00000, 0, 0, 0x7FC00000, 0, 0})
                               .rec(emr::SETMAPMODE, {8})
                               .rec(emr::SETWINDOWEXTEX, {0, 0})
                               .rec(emr::RECTANGLE, {0, 0, 10, 10})
                               .finish();
    RecordingCanvas c;
    ASSERT_TRUE(playMetafile(c, nan, QRectF(0, 0, 100, 100)));
    EXPECT_EQ(c.calls(QStringLiteral("rectangle")).size(), 1);
    for (const QString &l : c.calls(QStringLiteral("world")))
        EXPECT_EQ(l, QStringLiteral("world 1 0 0 1 0 0"));

    // WMF fields set huge.
    QByteArray badWmf = wmf;
    plat::putU32(badWmf.data() + 22 + 18, 0xFFFFFFFFu); // first record's size
    expectSafe(badWmf, "WMF record size huge");
    badWmf = wmf;
    plat::putU32(badWmf.data() + 22 + 18, 0);
    expectSafe(badWmf, "WMF record size zero");
    const QByteArray hostile = testsupport::WmfBuilder(false)
                                   .rec(0x0324, {0xFFFF, 1, 2})                 // polygon count beyond the record
                                   .rec(0x0538, {0xFFFF, 3})                    // poly-polygon counts beyond
                                   .rec(0x012D, {0xFFFF})                       // object index out of range
                                   .rec(0x0127, {0x8000})                       // restore far back
                                   .rec(0x0521, {0xFFFF})                       // text longer than the record
                                   .rec(0x0F43, {0x20, 0xCC, 0, 1, 1, 0, 0, 1, 1, 0, 0, 40, 0, 0xFFFF, 0x7FFF}) // bad DIB
                                   .rec(0x020C, {0, 0})                         // empty window
                                   .rec(0x041B, {1, 1, 0, 0})
                                   .finish(0);
    expectSafe(hostile, "hostile WMF");

    // Scrambled bytes: a fixed sequence of overwrites, each played on its own.
    uint32_t seed = 12345;
    auto next = [&]() {
        seed = seed * 1103515245u + 12345u;
        return seed >> 8;
    };
    for (int round = 0; round < 300; ++round) {
        QByteArray e = (round % 2) ? emf : wmf;
        const int changes = 1 + int(next() % 8);
        for (int k = 0; k < changes; ++k)
            e[qsizetype(next() % uint32_t(e.size()))] = char(next() & 0xFF);
        expectSafe(e, "scrambled round " + std::to_string(round));
    }
}

// Inputs the fuzz targets once found faults with, kept so every build replays them: each
// is offered to every reader and played onto a real painter.
TEST(MetafileDamage, ReplaysSavedFuzzFindings)
{
    const QDir dir(testsupport::fixture(QStringLiteral("pictures/damaged")));
    const QStringList files = dir.entryList(QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString &name : files) {
        const QByteArray bytes = testsupport::readFile(dir.filePath(name));
        ASSERT_FALSE(bytes.isEmpty()) << name.toStdString();
        expectSafe(bytes, name.toStdString());
        QImage image(64, 48, QImage::Format_ARGB32_Premultiplied);
        image.fill(0);
        {
            QPainter p(&image);
            gdi::PainterCanvas c(p);
            (void)playMetafile(c, bytes, QRectF(0, 0, 64, 48));
        }
        EXPECT_TRUE(plat::bmp::decodeBmpFile(bytes).isNull()) << name.toStdString();
        EXPECT_TRUE(plat::bmp::decodeDib(bytes).isNull()) << name.toStdString();
    }
}
