// The object renderer at several zooms, checked by probing the pixels it draws.

#include "RenderTestSupport.h"
#include "model/SurfaceItem.h"
#include "model/TObjectData.h"
#include "render/ObjectRenderer.h"
#include "render/TextStyles.h"

#include <gtest/gtest.h>

using namespace rendertest;
using model::ObjectKind::Box;
using model::ObjectKind::Ellipse;
using model::ObjectKind::Line;
using model::ObjectKind::RoundBox;
using model::ObjectKind::Text;

namespace {

// One object in its own control of w x h pixels, drawn into (0, 0, w, h).
struct Obj {
    model::SurfaceItem item{nullptr, model::SurfaceItem::Type::PaintBox, 1};
    model::TObjectData data;
    Obj(char kind, int w, int h) : data(&item, kind) { item.setBounds(0, 0, w, h); }
    QImage draw(int zoom, int element = 1, int imgW = 0, int imgH = 0)
    {
        ImageCanvas ic(imgW ? imgW : item.width() + 20, imgH ? imgH : item.height() + 20);
        render::DrawObject(ic.c(), QRect(0, 0, item.width(), item.height()), data, element, zoom);
        return ic.done();
    }
};

bool isColor(const QImage &img, int x, int y, QRgb c) { return (img.pixel(x, y) & 0xFFFFFF) == (c & 0xFFFFFF); }

int thicknessAt(const QImage &img, int x, int y0, int y1)
{
    int n = 0;
    for (int y = y0; y <= y1; ++y)
        n += ink(img, x, y) ? 1 : 0;
    return n;
}

} // namespace

TEST(DrawObject, BoxOutlineInsetThreePixelsAtAnyZoom)
{
    // z = 100: LineSize 1 in 120 x 30: from (3, 3) to (117, 27).
    Obj a(Box, 120, 30);
    const QImage img = a.draw(100);
    EXPECT_EQ(inkBox(img), QRect(QPoint(3, 3), QPoint(116, 26)));
    EXPECT_FALSE(ink(img, 60, 15)); // style 0: the inside is not painted
    EXPECT_EQ(thicknessAt(img, 60, 0, 14), 1);

    // z = 200 in 240 x 60: a 2-pixel pen, still 3 pixels in.
    Obj b(Box, 240, 60);
    const QImage img2 = b.draw(200);
    const QRect box = inkBox(img2);
    EXPECT_GE(box.left(), 2);
    EXPECT_LE(box.left(), 3);
    EXPECT_GE(box.right(), 235);
    EXPECT_LE(box.right(), 237);
    EXPECT_GE(box.bottom(), 55);
    EXPECT_LE(box.bottom(), 57);
    EXPECT_EQ(thicknessAt(img2, 120, 0, 29), 2);
    EXPECT_FALSE(ink(img2, 120, 30));
}

TEST(DrawObject, FilledShapesUseTheBackgroundColour)
{
    for (char kind : {Box, RoundBox, Ellipse}) {
        Obj o(kind, 100, 80);
        o.data.Style = 1;
        o.data.ColorFG = gdi::rgb(0, 0, 0);
        o.data.ColorBG = gdi::rgb(0, 0, 255);
        const QImage img = o.draw(100);
        EXPECT_TRUE(isColor(img, 50, 40, qRgb(0, 0, 255))) << kind;
        EXPECT_TRUE(ink(img, 50, 3)) << kind; // the outline at the top centre
    }
}

TEST(DrawObject, ShadowedBoxSeventhOffsets)
{
    // 70 x 35: sx = 10, sy = 5; shadow (13, 8)-(67, 32) in ColorFG, face (3, 3)-(57, 27)
    // in ColorBG, both outlined in black.
    Obj o(Box, 70, 35);
    o.data.Style = 2;
    o.data.ColorFG = gdi::rgb(255, 0, 0);
    o.data.ColorBG = gdi::rgb(0, 255, 0);
    const QImage img = o.draw(100);
    EXPECT_EQ(inkBox(img), QRect(QPoint(3, 3), QPoint(66, 31)));
    EXPECT_TRUE(isColor(img, 60, 29, qRgb(255, 0, 0)));  // shadow only
    EXPECT_TRUE(isColor(img, 20, 10, qRgb(0, 255, 0)));  // face
    EXPECT_TRUE(isColor(img, 40, 26, qRgb(0, 0, 0)));    // face's bottom edge over the shadow
    EXPECT_TRUE(isColor(img, 56, 15, qRgb(0, 0, 0)));    // face's right edge
    EXPECT_TRUE(isColor(img, 66, 20, qRgb(0, 0, 0)));    // shadow's right edge
    EXPECT_TRUE(isColor(img, 13, 31, qRgb(0, 0, 0)));    // shadow's lower-left corner
    EXPECT_TRUE(isColor(img, 8, 29, qRgb(255, 255, 255))); // left of the shadow
}

TEST(DrawObject, RoundBoxCornersStay38PixelsAtEveryZoom)
{
    QImage corner100;
    for (int zoom : {100, 25, 50, 200}) {
        Obj o(RoundBox, 200, 100);
        const QImage img = o.draw(zoom);
        int first = -1;
        for (int x = 0; x < 200 && first < 0; ++x)
            if (ink(img, x, 3))
                first = x;
        // The top edge leaves the corner arc (radius 19, from x = 3) only well inside it.
        EXPECT_GE(first, 14) << zoom;
        EXPECT_LE(first, 22) << zoom;
        EXPECT_FALSE(ink(img, 5, 5)) << zoom;
        const QImage corner = img.copy(0, 0, 40, 40);
        if (zoom == 100) {
            corner100 = corner;
        } else if (zoom != 200) { // one-pixel pens: the very same corner
            EXPECT_EQ(corner, corner100) << zoom;
        }
    }
    // A small round box at z = 25 looks nearly like an ellipse.
    Obj small(RoundBox, 40, 40);
    const QImage a = small.draw(25);
    Obj ell(Ellipse, 40, 40);
    const QImage b = ell.draw(25);
    int differ = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            differ += ink(a, x, y) != ink(b, x, y);
    EXPECT_LT(differ, 30);
}

TEST(DrawObject, LinesSixPixelsInside)
{
    struct Case {
        int type;
        QPoint a, b; // inclusive ink ends (the last point of a line is left out)
    };
    const Case cases[] = {
        {0, {6, 6}, {93, 6}},
        {1, {6, 6}, {6, 33}},
        {2, {6, 34}, {93, 6}},
        {3, {6, 6}, {93, 33}},
    };
    for (const Case &k : cases) {
        Obj o(Line, 100, 40);
        o.data.LineType = k.type;
        const QImage img = o.draw(100);
        SCOPED_TRACE(k.type);
        EXPECT_TRUE(ink(img, k.a.x(), k.a.y()));
        EXPECT_TRUE(ink(img, k.b.x(), k.b.y()));
        EXPECT_EQ(inkBox(img), QRect(QPoint(std::min(k.a.x(), k.b.x()), std::min(k.a.y(), k.b.y())),
                                     QPoint(std::max(k.a.x(), k.b.x()), std::max(k.a.y(), k.b.y()))));
    }
    // A horizontal line in a control 12 pixels high: 6 pixels below the top.
    Obj h(Line, 80, 12);
    EXPECT_EQ(inkBox(h.draw(100)), QRect(QPoint(6, 6), QPoint(73, 6)));
    // Any other direction draws nothing.
    Obj none(Line, 80, 40);
    none.data.LineType = 4;
    EXPECT_TRUE(inkBox(none.draw(100)).isEmpty());
}

TEST(DrawObject, PenWidthFollowsTheZoom)
{
    struct Case {
        int lineSize, zoom, thickness;
    };
    // LineSize 1 at z = 50 gives pen width 0, drawn one pixel wide.
    for (const Case k : {Case{1, 50, 1}, Case{1, 100, 1}, Case{4, 50, 2}, Case{3, 200, 6}}) {
        Obj o(Line, 100, 40);
        o.data.LineSize = k.lineSize;
        const QImage img = o.draw(k.zoom);
        EXPECT_EQ(thicknessAt(img, 50, 0, 20), k.thickness) << k.lineSize << "@" << k.zoom;
    }
}

TEST(DrawObject, TextForTheElement)
{
    // The list A, B, C: A on the surface (element 1), C for element 3, nothing for 4.
    auto reference = [](const QString &s) {
        ImageCanvas ic(220, 60);
        ic.c().setFont(render::FontAtZoom(testFont(-16), 100));
        render::DrawStyledText(ic.c(), 0, QRect(0, 0, 200, 40), render::kTextNoClip, s, 0, 1, 0, 0, 0xFFFFFF, 100);
        return QImage(ic.done());
    };
    Obj o(Text, 200, 40);
    o.data.Font = testFont(-16);
    o.data.Lines = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")};
    EXPECT_EQ(o.draw(100, 1), reference(QStringLiteral("A")));
    EXPECT_EQ(o.draw(100, 3), reference(QStringLiteral("C")));
    EXPECT_TRUE(inkBox(o.draw(100, 4)).isEmpty());

    // A field marker is drawn literally; a counter shows its value.
    o.data.Lines = {QStringLiteral("{-COMPANY-}")};
    EXPECT_EQ(o.draw(100, 2), reference(QStringLiteral("{-COMPANY-}")));
    o.data.Lines = {QStringLiteral("{-_0001_-}")};
    EXPECT_EQ(o.draw(100, 12), reference(QStringLiteral("0012")));
}

TEST(DrawObject, FontSizedInWholePointsAtTheReferenceResolution)
{
    EXPECT_EQ(render::FontAtZoom(plat::LogFont::fromPoints(QStringLiteral("Arial"), 12), 100).height, -16);
    EXPECT_EQ(render::FontAtZoom(plat::LogFont::fromPoints(QStringLiteral("Arial"), 12), 200).height, -32);
    // 13 points at 50 % is 6 points (8 pixels), not 6.5.
    EXPECT_EQ(render::FontAtZoom(plat::LogFont::fromPoints(QStringLiteral("Arial"), 13), 50).height, -8);
    // 3 points at 25 % truncates to 0: still a one-pixel font, never the device default.
    EXPECT_EQ(render::FontAtZoom(plat::LogFont::fromPoints(QStringLiteral("Arial"), 3), 25).height, -1);

    // Drawn: a 12-point text at 100 % is 16 pixels high while an inch is 100 pixels.
    Obj o(Text, 300, 100);
    o.data.Font = testFont(-16);
    o.data.Lines = {QStringLiteral("H")};
    ImageCanvas ic(320, 120);
    render::DrawObject(ic.c(), QRect(0, 0, 300, 100), o.data, 1, 100);
    EXPECT_EQ(ic.c().font().height, -16); // the canvas keeps the object's font
    EXPECT_EQ(ic.c().deviceFont().pixelSize(), 16);
    const QRect h = inkBox(ic.done());
    // DejaVu Sans capitals are 0.73 em high: 11 or 12 pixels of a 16-pixel font.
    EXPECT_GE(h.height(), 11);
    EXPECT_LE(h.height(), 12);
}

TEST(DrawObject, JustificationFromTheStyle)
{
    for (int style : {0, 1, 2}) {
        Obj o(Text, 300, 40);
        o.data.Font = testFont(-16);
        o.data.Lines = {QStringLiteral("mid")};
        o.data.Style = style;
        const QRect box = inkBox(o.draw(100, 1, 320, 60));
        if (style == 0) {
            EXPECT_LT(box.left(), 5);
        } else if (style == 1) {
            EXPECT_NEAR(box.center().x(), 150, 4);
        } else {
            EXPECT_NEAR(box.right(), 299, 4);
        }
    }
}

TEST(DrawObject, GraphicsGoToThePicturePainter)
{
    model::SurfaceItem item(nullptr, model::SurfaceItem::Type::Image, 7);
    item.setBounds(0, 0, 50, 40);
    item.setPicture(plat::Picture::bitmap(QByteArray("BM not really", 13)));
    model::TObjectData data(&item, model::ObjectKind::Graphic);

    ImageCanvas ic(80, 80);
    render::DrawObject(ic.c(), QRect(10, 10, 50, 40), data, 1, 100); // no painter: nothing
    int calls = 0;
    QRect seen;
    render::DrawObject(ic.c(), QRect(10, 10, 50, 40), data, 1, 100, nullptr,
                       [&](gdi::Canvas &, const plat::Picture &p, const QRect &r) {
                           ++calls;
                           seen = r;
                           EXPECT_EQ(p, item.picture());
                       });
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(seen, QRect(10, 10, 50, 40));

    // The default painter is used when none is passed.
    render::SetDefaultPicturePainter([&](gdi::Canvas &, const plat::Picture &, const QRect &) { ++calls; });
    render::DrawObject(ic.c(), QRect(10, 10, 50, 40), data, 1, 100);
    render::SetDefaultPicturePainter({});
    EXPECT_EQ(calls, 2);

    model::TObjectData embedded(&item, model::ObjectKind::Embedded);
    render::DrawObject(ic.c(), QRect(10, 10, 50, 40), embedded, 1, 100);
    EXPECT_TRUE(inkBox(ic.done()).isEmpty());
}
