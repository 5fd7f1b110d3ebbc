// The QPainter back end of the GDI-like canvas: each operation is checked by drawing into
// a white image and probing the pixels it changed.

#include "RenderTestSupport.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QPdfWriter>
#include <gtest/gtest.h>

using namespace rendertest;
using gdi::Brush;
using gdi::BrushStyle;
using gdi::Pen;

namespace {

Pen blackPen(int width = 1) { return Pen{gdi::PenStyle::Solid, width, 0}; }
Brush clearBrush() { return Brush{BrushStyle::Null, 0, 0}; }

} // namespace

TEST(PainterCanvas, RectangleCoversLeftToRightMinusOne)
{
    ImageCanvas ic(40, 40);
    ic.c().setPen(blackPen());
    ic.c().setBrush(clearBrush());
    ic.c().rectangle(5, 6, 15, 20);
    const QImage &img = ic.done();
    EXPECT_EQ(inkBox(img), QRect(QPoint(5, 6), QPoint(14, 19)));
    EXPECT_FALSE(ink(img, 10, 12)); // clear brush leaves the inside alone
}

TEST(PainterCanvas, FilledRectangleAndNullPenFill)
{
    ImageCanvas ic(40, 40);
    ic.c().setPen(blackPen());
    ic.c().setBrush(Brush{BrushStyle::Solid, gdi::rgb(0, 0, 0), 0});
    ic.c().rectangle(2, 2, 12, 12);
    ic.c().setPen(Pen{gdi::PenStyle::Null, 1, 0});
    ic.c().rectangle(20, 20, 30, 30);
    const QImage &img = ic.done();
    EXPECT_EQ(inkCount(img, QRect(2, 2, 10, 10)), 100);
    // Without an outline GDI fills one pixel less on the right and at the bottom.
    EXPECT_EQ(inkBox(img, QRect(16, 16, 20, 20)), QRect(QPoint(20, 20), QPoint(28, 28)));
}

TEST(PainterCanvas, LineLeavesOutItsLastPixel)
{
    ImageCanvas ic(30, 30);
    ic.c().setPen(blackPen(0));
    ic.c().moveTo(3, 5);
    ic.c().lineTo(13, 5);
    EXPECT_EQ(ic.c().currentPosition(), QPoint(13, 5));
    const QImage &img = ic.done();
    EXPECT_EQ(inkBox(img), QRect(QPoint(3, 5), QPoint(12, 5)));
}

TEST(PainterCanvas, AnisotropicMappingScalesGeometryAndWidePens)
{
    ImageCanvas ic(200, 200);
    auto &c = ic.c();
    c.setMapMode(gdi::MapMode::Anisotropic);
    c.setWindowOrg(QPoint(10, 10));
    c.setWindowExt(QSize(100, 100));
    c.setViewportOrg(QPoint(20, 30));
    c.setViewportExt(QSize(200, 300));
    c.setBrush(clearBrush());
    c.setPen(blackPen(0)); // width 0: one device pixel however large the scale
    c.rectangle(10, 10, 30, 20); // device (20,30)-(60,60)
    const QImage &img = ic.done();
    EXPECT_EQ(inkBox(img), QRect(QPoint(20, 30), QPoint(59, 59)));
    EXPECT_TRUE(ink(img, 40, 30));
    EXPECT_FALSE(ink(img, 40, 31)); // one pixel thick
}

TEST(PainterCanvas, PenWidthFollowsTheMapping)
{
    ImageCanvas ic(100, 100);
    auto &c = ic.c();
    c.setMapMode(gdi::MapMode::Anisotropic);
    c.setWindowExt(QSize(10, 10));
    c.setViewportExt(QSize(20, 20));
    c.setPen(blackPen(2)); // 4 device pixels
    c.moveTo(5, 25);
    c.lineTo(40, 25);
    const QImage &img = ic.done();
    int thick = 0;
    for (int y = 40; y < 60; ++y)
        thick += ink(img, 40, y) ? 1 : 0;
    EXPECT_EQ(thick, 4);
}

TEST(PainterCanvas, TextExtentAndFontHeightGoThroughTheMapping)
{
    ImageCanvas ic(400, 200);
    auto &c = ic.c();
    c.setFont(testFont(-16));
    EXPECT_EQ(c.deviceFont().pixelSize(), 16);
    const QSize plain = c.textExtent(QStringLiteral("Hello world"));
    EXPECT_GT(plain.width(), 40);
    EXPECT_GE(plain.height(), 16);

    c.setMapMode(gdi::MapMode::Anisotropic);
    c.setWindowExt(QSize(100, 100));
    c.setViewportExt(QSize(300, 300));
    EXPECT_EQ(c.deviceFont().pixelSize(), 48);
    const QSize mapped = c.textExtent(QStringLiteral("Hello world"));
    // Still logical units: about the same numbers (rounding of glyph advances aside).
    EXPECT_NEAR(mapped.width(), plain.width(), plain.width() / 10 + 1);
    EXPECT_NEAR(mapped.height(), plain.height(), 2);
}

TEST(PainterCanvas, TextOutAlignmentAndEscapement)
{
    struct Case {
        int escapement;
        unsigned align;
    };
    for (const Case k : {Case{0, gdi::TA_TOP | gdi::TA_LEFT}, Case{900, gdi::TA_TOP | gdi::TA_LEFT},
                         Case{0, gdi::TA_BOTTOM | gdi::TA_RIGHT}, Case{1800, gdi::TA_TOP | gdi::TA_LEFT}}) {
        ImageCanvas ic(300, 300);
        auto &c = ic.c();
        plat::LogFont f = testFont(-20);
        f.escapement = k.escapement;
        c.setFont(f);
        c.setBkMode(gdi::BkMode::Transparent);
        c.setTextAlign(k.align);
        const QSize e = c.textExtent(QStringLiteral("HHHH"));
        c.textOut(150, 150, QStringLiteral("HHHH"));
        const QRect box = inkBox(ic.done());
        ASSERT_FALSE(box.isEmpty());
        SCOPED_TRACE(k.escapement);
        if (k.escapement == 0 && k.align == 0) {
            // Top-left at the reference point, running right and down.
            EXPECT_GE(box.left(), 150);
            EXPECT_LE(box.left(), 153);
            EXPECT_GT(box.top(), 150);
            EXPECT_NEAR(box.right(), 150 + e.width(), 4);
        } else if (k.escapement == 900) {
            // Turned a quarter counter-clockwise: runs up from the point, glyphs to its right.
            EXPECT_GT(box.left(), 150);
            EXPECT_LE(box.right(), 150 + e.height());
            EXPECT_LE(box.bottom(), 150);
            EXPECT_NEAR(box.top(), 150 - e.width(), 4);
        } else if (k.escapement == 1800) {
            // Upside down: runs left from the point, above it.
            EXPECT_LE(box.right(), 150);
            EXPECT_LT(box.bottom(), 150);
            EXPECT_NEAR(box.left(), 150 - e.width(), 4);
        } else {
            // Right/bottom alignment: the text ends at the point and sits above it.
            EXPECT_LE(box.right(), 150);
            EXPECT_NEAR(box.right(), 150, 4);
            EXPECT_LE(box.bottom(), 150);
        }
    }
}

TEST(PainterCanvas, OpaqueBackgroundFillsTheTextCell)
{
    ImageCanvas ic(200, 60);
    auto &c = ic.c();
    c.setFont(testFont(-16));
    c.setBkMode(gdi::BkMode::Opaque);
    c.setBkColor(gdi::rgb(0, 0, 0));
    c.textOut(10, 10, QStringLiteral("ab"));
    const QSize e = c.textExtent(QStringLiteral("ab"));
    const QImage &img = ic.done();
    EXPECT_EQ(inkBox(img), QRect(10, 10, e.width(), e.height()));
}

TEST(PainterCanvas, DrawTextWrapsAlignsAndMeasures)
{
    ImageCanvas ic(400, 300);
    auto &c = ic.c();
    c.setFont(testFont(-16));
    c.setBkMode(gdi::BkMode::Transparent);
    const int wOne = c.textExtent(QStringLiteral("one two")).width();
    const int lineH = c.textExtent(QStringLiteral("]")).height();
    // A rectangle just wide enough for "one two": "one two three" breaks after "two".
    QRect calc(0, 0, wOne + 2, 10);
    const int h = c.drawText(QStringLiteral("one two three"), calc, gdi::DT_WORDBREAK | gdi::DT_CALCRECT | gdi::DT_NOPREFIX);
    EXPECT_EQ(h, 2 * lineH);
    EXPECT_EQ(calc.height(), 2 * lineH);
    EXPECT_EQ(calc.width(), wOne);

    // Without the word-break flag only line breaks start lines.
    QRect calc2(0, 0, wOne + 2, 10);
    EXPECT_EQ(c.drawText(QStringLiteral("one two three\r\nfour\nfive"), calc2, gdi::DT_CALCRECT | gdi::DT_NOPREFIX), 3 * lineH);

    // Right alignment puts the ink against the right edge.
    QRect r(100, 100, 200, 50);
    c.drawText(QStringLiteral("right"), r, gdi::DT_RIGHT | gdi::DT_NOCLIP | gdi::DT_NOPREFIX);
    const QImage &img = ic.done();
    const QRect box = inkBox(img);
    EXPECT_NEAR(box.right(), 299, 3);
    EXPECT_GE(box.top(), 100);
}

TEST(PainterCanvas, DrawTextClipsUnlessAskedNotTo)
{
    for (bool noclip : {false, true}) {
        ImageCanvas ic(300, 100);
        auto &c = ic.c();
        c.setFont(testFont(-20));
        c.setBkMode(gdi::BkMode::Transparent);
        QRect r(10, 10, 30, 40);
        c.drawText(QStringLiteral("MMMMMMMM"), r, gdi::DT_NOPREFIX | (noclip ? gdi::DT_NOCLIP : 0u));
        const QRect box = inkBox(ic.done());
        if (noclip) {
            EXPECT_GT(box.right(), 60);
        } else {
            EXPECT_LE(box.right(), 39);
        }
    }
}

TEST(PainterCanvas, SaveAndRestoreDC)
{
    ImageCanvas ic(10, 10);
    auto &c = ic.c();
    c.setPen(blackPen(1));
    const int first = c.saveDC();
    c.setPen(blackPen(5));
    c.saveDC();
    c.setPen(blackPen(7));
    c.restoreDC(-1);
    EXPECT_EQ(c.pen().width, 5);
    c.saveDC();
    c.restoreDC(first); // back past two levels at once
    EXPECT_EQ(c.pen().width, 1);
    c.restoreDC(1); // nothing saved any more: no change
    EXPECT_EQ(c.pen().width, 1);
}

TEST(PainterCanvas, ClipRectLimitsDrawing)
{
    ImageCanvas ic(50, 50);
    auto &c = ic.c();
    c.intersectClipRect(QRect(10, 10, 10, 10));
    c.fillRect(QRect(0, 0, 50, 50), Brush{BrushStyle::Solid, 0, 0});
    c.resetClip();
    c.setPixel(40, 40, 0);
    const QImage &img = ic.done();
    EXPECT_EQ(inkBox(img, QRect(0, 0, 30, 30)), QRect(10, 10, 10, 10));
    EXPECT_TRUE(ink(img, 40, 40));
}

TEST(PainterCanvas, PathsFillWhatWasRecorded)
{
    ImageCanvas ic(50, 50);
    auto &c = ic.c();
    c.setBrush(Brush{BrushStyle::Solid, 0, 0});
    c.beginPath();
    c.moveTo(10, 10);
    c.lineTo(30, 10);
    c.lineTo(30, 30);
    c.lineTo(10, 30);
    c.closeFigure();
    c.endPath();
    EXPECT_EQ(inkCount(ic.image, ic.image.rect()), 0); // nothing drawn while recording
    c.fillPath();
    const QImage &img = ic.done();
    EXPECT_TRUE(ink(img, 20, 20));
    EXPECT_FALSE(ink(img, 35, 20));
}

TEST(PainterCanvas, StretchDIBitsScalesAndMirrors)
{
    QImage src(2, 1, QImage::Format_RGB32);
    src.setPixel(0, 0, qRgb(0, 0, 0));
    src.setPixel(1, 0, qRgb(255, 255, 255));
    for (bool mirror : {false, true}) {
        ImageCanvas ic(40, 20);
        const QRect dest = mirror ? QRect(30, 0, -20, 10) : QRect(10, 0, 20, 10);
        ic.c().stretchDIBits(dest, QRect(0, 0, 2, 1), src);
        const QImage &img = ic.done();
        EXPECT_EQ(inkBox(img), mirror ? QRect(20, 0, 10, 10) : QRect(10, 0, 10, 10)) << mirror;
    }
}

TEST(PainterCanvas, FontPixelsDoNotDependOnTheDeviceResolution)
{
    // A 600-dpi picture: the LogFont height is logical units, not points at the device.
    QImage img(100, 100, QImage::Format_RGB32);
    img.setDotsPerMeterX(23622);
    img.setDotsPerMeterY(23622);
    img.fill(Qt::white);
    QPainter p(&img);
    gdi::PainterCanvas c(p);
    EXPECT_EQ(c.dpiX(), 600);
    c.setFont(testFont(-16));
    EXPECT_EQ(c.deviceFont().pixelSize(), 16);
    // The print job's mapping: 100 surface pixels per inch onto 600 device pixels.
    c.setMapMode(gdi::MapMode::Anisotropic);
    c.setWindowExt(QSize(100, 100));
    c.setViewportExt(QSize(600, 600));
    EXPECT_EQ(c.deviceFont().pixelSize(), 96);
}

TEST(PainterCanvas, DrawsIntoAPdfWriter)
{
    const QString path = QDir::temp().filePath(QStringLiteral("ostravel-canvas-test.pdf"));
    {
        QPdfWriter pdf(path);
        QPainter p(&pdf);
        gdi::PainterCanvas c(p);
        c.setFont(testFont(-16));
        c.setBrush(Brush{BrushStyle::Hatched, 0, 4});
        c.rectangle(10, 10, 200, 100);
        c.textOut(20, 20, QStringLiteral("PDF"));
        QImage src(4, 4, QImage::Format_RGB32);
        src.fill(Qt::red);
        c.stretchDIBits(QRect(10, 120, 40, 40), QRect(0, 0, 4, 4), src, gdi::RasterOp::SrcAnd);
    }
    const QByteArray bytes = testsupport::readFile(path);
    QFile::remove(path);
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_GT(bytes.size(), 500);
}
