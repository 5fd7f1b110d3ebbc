// Text styles: plain text with and without rotation, the rotated line-breaking rule,
// arc text, shadows and the style controls. Layout is measured with the shipped test
// font so the results do not depend on the machine's fonts.

#include "RenderTestSupport.h"
#include "render/BarCode.h"
#include "render/TextStyles.h"

#include <gtest/gtest.h>

using namespace render;
using namespace rendertest;

namespace {

constexpr unsigned kLeft = kTextNoClip;

} // namespace

TEST(RotatedLineBreaking, WordsSpacesAndLimits)
{
    ImageCanvas ic(10, 10);
    auto &c = ic.c();
    c.setFont(testFont(-16));
    const int wFirst = c.textExtent(QStringLiteral("first ")).width();
    const int wBoth = c.textExtent(QStringLiteral("first second")).width();
    ASSERT_LT(wFirst, wBoth);

    // Only the first word and its space fit: the space stays on the first line.
    RotatedLines r = BreakRotatedLines(c, QStringLiteral("first second"), wFirst, true);
    EXPECT_EQ(r.lines, (QStringList{QStringLiteral("first "), QStringLiteral("second")}));
    EXPECT_EQ(r.lastHeight, c.textExtent(QStringLiteral("second")).height());

    // Everything fits: one line.
    EXPECT_EQ(BreakRotatedLines(c, QStringLiteral("first second"), wBoth, true).lines,
              QStringList{QStringLiteral("first second")});

    // Two spaces between words are both kept.
    EXPECT_EQ(BreakRotatedLines(c, QStringLiteral("a  b"), 1000, true).lines, QStringList{QStringLiteral("a  b")});

    // A single word wider than the limit stays whole on its own line.
    EXPECT_EQ(BreakRotatedLines(c, QStringLiteral("a Supercalifragilistic b"), 30, true).lines,
              (QStringList{QStringLiteral("a "), QStringLiteral("Supercalifragilistic "), QStringLiteral("b")}));

    // Without word breaks a line is a whole paragraph however wide; CR LF, CR and LF end
    // paragraphs; an empty paragraph is an empty line; a final line break adds nothing.
    EXPECT_EQ(BreakRotatedLines(c, QStringLiteral("first second third\r\n\r\nx\ny\r"), 10, false).lines,
              (QStringList{QStringLiteral("first second third"), QString(), QStringLiteral("x"), QStringLiteral("y")}));
    EXPECT_TRUE(BreakRotatedLines(c, QString(), 10, true).lines.isEmpty());
}

TEST(RotatedLineBreaking, OverlongLinesAreCutIntoPieces)
{
    ImageCanvas ic(10, 10);
    auto &c = ic.c();
    c.setFont(testFont(-8));
    const QString longLine(2500, QLatin1Char('x'));
    const RotatedLines r = BreakRotatedLines(c, longLine, 1 << 30, false);
    ASSERT_EQ(r.lines.size(), 3);
    EXPECT_EQ(r.lines[0].size(), kMaxRotatedLine);
    EXPECT_EQ(r.lines[1].size(), kMaxRotatedLine);
    EXPECT_EQ(r.lines[2].size(), 2500 - 2 * kMaxRotatedLine);
    EXPECT_EQ(r.lines.join(QString()), longLine);
}

TEST(TextBlock, UnrotatedWrapAndNoWrap)
{
    for (int style : {int(TextStyleWrap), int(TextStyleNoWrap)}) {
        ImageCanvas ic(600, 200);
        auto &c = ic.c();
        c.setFont(testFont(-16));
        const QRect rect = gdiRect(10, 10, 110, 150);
        DrawStyledText(c, 0, rect, kLeft, QStringLiteral("word word word word word"), 0, uint32_t(style), 0, 0,
                       0xFFFFFF, 100);
        const QRect box = inkBox(ic.done());
        const int lineH = [&] {
            ImageCanvas m(1, 1);
            m.c().setFont(testFont(-16));
            return m.c().textExtent(QStringLiteral("]")).height();
        }();
        if (style == TextStyleWrap) {
            EXPECT_LE(box.right(), 110); // wrapped inside the width
            EXPECT_GT(box.height(), 2 * lineH);
        } else {
            EXPECT_GT(box.right(), 150); // runs past the right edge
            EXPECT_LT(box.height(), lineH + 1);
        }
        EXPECT_GE(box.top(), 10);
    }
}

TEST(TextBlock, RotationStartPoints)
{
    // The block hangs from the lower-left (45), lower-right (90), upper-right (180) or
    // upper-left (270) corner; at 0 it starts at the top-left.
    const QRect rect = gdiRect(100, 100, 300, 300);
    struct Case {
        int degrees;
        QPoint corner; // the corner the ink must hug
    };
    for (const Case k : {Case{0, {100, 100}}, Case{45, {100, 300}}, Case{90, {300, 300}}, Case{180, {300, 100}},
                         Case{270, {100, 100}}, Case{360 + 90, {300, 300}}}) {
        SCOPED_TRACE(k.degrees);
        ImageCanvas ic(400, 400);
        auto &c = ic.c();
        c.setFont(testFont(-16));
        DrawStyledText(c, k.degrees * 10, rect, kLeft, QStringLiteral("Hello\r\nWorld"), 0, TextStyleNoWrap, 0, 0, 0,
                       100);
        const QRect box = inkBox(ic.done());
        ASSERT_FALSE(box.isEmpty());
        EXPECT_TRUE(QRect(96, 96, 208, 208).contains(box)) << box.x() << "," << box.y() << " " << box.width() << "x"
                                                           << box.height();
        const int dx = std::min(std::abs(box.left() - k.corner.x()), std::abs(box.right() - k.corner.x()));
        const int dy = std::min(std::abs(box.top() - k.corner.y()), std::abs(box.bottom() - k.corner.y()));
        // The glyph cell's descent leaves a few blank pixels; more when turned by 45.
        const int slack = k.degrees == 45 ? 9 : 5;
        EXPECT_LE(dx, slack);
        EXPECT_LE(dy, slack);
    }
}

TEST(TextBlock, StartPointTable)
{
    const QRect rect = gdiRect(10, 20, 110, 220);
    // n = 2 lines of h = 19.
    EXPECT_EQ(RotatedBlockStart(45, rect, 2, 19), QPoint(10, int(220 - std::cos(45 * 0.0174533) * 38)));
    EXPECT_EQ(RotatedBlockStart(90, rect, 2, 19), QPoint(72, 220)); // trunc(110 - 37.99...)
    EXPECT_EQ(RotatedBlockStart(180, rect, 2, 19), QPoint(110, 20 + 37)); // cos(180 k) is just above -1
    EXPECT_EQ(RotatedBlockStart(270, rect, 2, 19), QPoint(10 + 37, 20));
    EXPECT_EQ(RotatedBlockStart(-30, rect, 2, 19), QPoint(10, int(220 - std::cos(-30 * 0.0174533) * 38)));
    EXPECT_EQ(LayoutDegrees(3700), 10);
    EXPECT_EQ(LayoutDegrees(3600), 0);
    EXPECT_EQ(LayoutDegrees(-455), -45);
    EXPECT_EQ(LayoutDegrees(899), 89);
}

TEST(TextBlock, RotatedWrapUsesTheHeightAndIgnoresJustification)
{
    // At 90 degrees the limit is the rectangle's height: a tall narrow box keeps one line.
    const QString text = QStringLiteral("alpha beta gamma");
    ImageCanvas ic(400, 400);
    auto &c = ic.c();
    c.setFont(testFont(-16));
    const int w = c.textExtent(text).width();
    const int h = c.textExtent(text).height();
    DrawStyledText(c, 900, gdiRect(100, 20, 140, 20 + w + 10), 2 | kLeft, text, 0, TextStyleWrap, 0, 0, 0, 100);
    const QRect box = inkBox(ic.done());
    EXPECT_LE(box.width(), h); // one line
    EXPECT_GE(box.left(), 140 - h);
    EXPECT_LE(box.right(), 140);

    // A short rectangle at 45 degrees wraps at its height too.
    ImageCanvas ic2(10, 10);
    ic2.c().setFont(testFont(-16));
    EXPECT_EQ(BreakRotatedLines(ic2.c(), text, 60, true).lines.size(), 3);
}

TEST(TextBlock, AmpersandIsDrawnAndShadowOffsets)
{
    // The shadow rectangle moves with the zoom and truncates toward zero.
    EXPECT_EQ(ShadowRect(gdiRect(5, 5, 50, 50), -3, 0, 50), gdiRect(3, 5, 48, 50));
    EXPECT_EQ(ShadowRect(gdiRect(5, 5, 50, 50), 3, -2, 100), gdiRect(8, 3, 53, 48));
    EXPECT_EQ(ShadowRect(gdiRect(0, 0, 10, 10), 1, 1, 50), gdiRect(0, 0, 10, 10)); // 0.5 truncates

    // An offset shadow is drawn in the shadow colour behind the text.
    ImageCanvas ic(200, 80);
    auto &c = ic.c();
    c.setFont(testFont(-20));
    c.setTextColor(gdi::rgb(0, 255, 0));
    DrawStyledText(c, 0, gdiRect(10, 10, 190, 70), kLeft, QStringLiteral("&&"), gdi::rgb(0, 0, 0), TextStyleNoWrap,
                   5, 5, gdi::rgb(255, 0, 0), 100);
    EXPECT_EQ(c.textColor(), gdi::rgb(0, 255, 0)); // the caller's text colour is back
    EXPECT_EQ(c.font().escapement, 0);
    const QImage &img = ic.done();
    int red = 0, black = 0;
    QRect redBox, blackBox;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb p = img.pixel(x, y);
            if (qRed(p) > 200 && qGreen(p) < 60) {
                ++red;
                redBox |= QRect(x, y, 1, 1);
            } else if (qGray(p) < 60) {
                ++black;
                blackBox |= QRect(x, y, 1, 1);
            }
        }
    EXPECT_GT(red, 10);
    EXPECT_GT(black, 10);
    EXPECT_NEAR(redBox.left() - blackBox.left(), 5, 1);
    // Two ampersands, not a prefix: wider than one.
    ImageCanvas m(1, 1);
    m.c().setFont(testFont(-20));
    EXPECT_NEAR(blackBox.width(), m.c().textExtent(QStringLiteral("&&")).width(), 4);
}

TEST(TextBlock, ZeroShadowOffsetDrawsNoShadow)
{
    ImageCanvas ic(200, 80);
    auto &c = ic.c();
    c.setFont(testFont(-20));
    DrawStyledText(c, 0, gdiRect(10, 10, 190, 70), kLeft, QStringLiteral("Text"), gdi::rgb(0, 0, 0), TextStyleNoWrap,
                   0, 0, gdi::rgb(255, 0, 0), 100);
    const QImage &img = ic.done();
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            ASSERT_FALSE(qRed(img.pixel(x, y)) > 200 && qGreen(img.pixel(x, y)) < 60);
}

TEST(StyledText, BarCodeShadowFallsOnlyBehindItsText)
{
    ImageCanvas ic(400, 200);
    auto &c = ic.c();
    c.setFont(testFont(-16));
    const uint32_t style = TextStyleBarCode | (uint32_t(BarCodeUPCA) << 8) | (1u << 16); // UPC A, show text
    DrawStyledText(c, 0, gdiRect(0, 0, 300, 150), kLeft, QStringLiteral("12345678901"), gdi::rgb(0, 0, 0), style, 4,
                   4, gdi::rgb(255, 0, 0), 100);
    const QImage &img = ic.done();
    const int th = [] {
        ImageCanvas m(1, 1);
        m.c().setFont(testFont(-16));
        return m.c().textExtent(QStringLiteral("12345678901")).height();
    }();
    const int barsBottom = 10 + (150 - th - 30);
    QRect redBox;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qRed(img.pixel(x, y)) > 200 && qGreen(img.pixel(x, y)) < 80)
                redBox |= QRect(x, y, 1, 1);
    ASSERT_FALSE(redBox.isEmpty());
    EXPECT_GE(redBox.top(), barsBottom); // no red bars
    EXPECT_TRUE(ink(img, 10, 20));      // black bars
}

TEST(StyledText, UnknownStyleDrawsNothing)
{
    ImageCanvas ic(100, 100);
    ic.c().setFont(testFont(-16));
    DrawStyledText(ic.c(), 0, gdiRect(0, 0, 100, 100), kLeft, QStringLiteral("Text"), 0, 4, 0, 0, 0, 100);
    EXPECT_TRUE(inkBox(ic.done()).isEmpty());
}

TEST(ArcText, TwoCharactersOnAFullCircle)
{
    ImageCanvas ic(10, 10);
    auto &c = ic.c();
    c.setFont(testFont(-16));
    const QSize w = c.textExtent(QStringLiteral("W"));
    const ArcLayout l = ArcTextLayout(c, 0, 0, 200, 200, QStringLiteral("AB"), 0, 0);
    ASSERT_EQ(l.glyphs.size(), 2);
    const int r = (200 - 2 * w.height()) / 2;
    EXPECT_EQ(l.r, r);
    EXPECT_EQ(l.cx, w.height() + r);
    EXPECT_EQ(l.cy, w.height() + (200 - 2 * w.height()) / 2);
    const double a = std::asin(w.width() * 0.5 / r) * 57.29578;
    EXPECT_NEAR(l.halfW, a, 1e-9);
    // The first at the start angle (0: 3 o'clock), the second trunc(360 - a) further on.
    EXPECT_EQ(l.glyphs[0].angle, 0);
    EXPECT_EQ(l.glyphs[1].angle, int(360 - a));
    EXPECT_EQ(l.glyphs[0].pos, QPoint(l.cx + r, l.cy));
    // Turned by -360 degrees relative to the first: escapements -900 and -4500.
    EXPECT_EQ(l.glyphs[0].escapement, -900);
    EXPECT_EQ(l.glyphs[1].escapement - l.glyphs[0].escapement, -3600);
}

TEST(ArcText, StartAnglesAndSubStyles)
{
    ImageCanvas ic(10, 10);
    auto &c = ic.c();
    c.setFont(testFont(-16));
    const int hW = c.textExtent(QStringLiteral("W")).height();
    struct Case {
        int sub, step;
        int firstAngle;
        int firstEsc;
        int lastEsc; // for three characters
    };
    // Half circle: span 180. Quarter: span 90.
    const Case cases[] = {
        {1, -12, -180, 900, -900},  // an arch from 9 o'clock over the top
        {1, -6, -90, 0, -1800},     // down the right side from 12 o'clock
        {1, 0, 0, -900, -2700},     // under the centre from 3 o'clock
        {1, 6, 90, 1800, 0},        // up the left side from 6 o'clock
        {1, 12, 180, -900, 900},    // counter-clockwise under the centre, tops inward
        {2, -12, -180, 900, 0},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.step);
        const ArcLayout l = ArcTextLayout(c, 0, 0, 300, 200, QStringLiteral("abc"), k.sub, k.step);
        ASSERT_EQ(l.glyphs.size(), 3);
        EXPECT_EQ(l.glyphs[0].angle, k.firstAngle);
        EXPECT_EQ(l.glyphs[0].escapement, k.firstEsc);
        EXPECT_EQ(l.glyphs[2].escapement, k.lastEsc);
        // Positions advance clockwise on the screen, except from 180.
        if (k.step == 12) {
            EXPECT_LT(l.glyphs[1].angle, l.glyphs[0].angle);
        } else {
            EXPECT_GT(l.glyphs[1].angle, l.glyphs[0].angle);
        }
        // Circle placement against an edge.
        if (k.step == 0 || k.step == 12) {
            EXPECT_EQ(l.cy, hW);
        }
        if (k.step == -12) {
            EXPECT_EQ(l.cy, 200 - hW);
        }
        if (k.step == -6) {
            EXPECT_EQ(l.cx, hW);
            EXPECT_EQ(l.r, (200 - 2 * hW) / 2);
        }
        if (k.step == 6) {
            EXPECT_EQ(l.cx, 300 - hW);
        }
    }
}

TEST(ArcText, NothingDrawnWhenTooSmallOrTooShort)
{
    ImageCanvas ic(100, 100);
    auto &c = ic.c();
    c.setFont(testFont(-30));
    // 40 pixels wide with a 30-pixel font: the radius is negative.
    EXPECT_TRUE(ArcTextLayout(c, 0, 0, 40, 100, QStringLiteral("abc"), 0, 0).glyphs.isEmpty());
    EXPECT_LT(ArcTextLayout(c, 0, 0, 40, 100, QStringLiteral("abc"), 0, 0).r, 0);
    EXPECT_TRUE(ArcTextLayout(c, 0, 0, 400, 400, QStringLiteral("a"), 0, 0).glyphs.isEmpty());
    DrawArcText(c, 0, 0, 40, 100, QStringLiteral("abc"), 0, 0);
    EXPECT_TRUE(inkBox(ic.done()).isEmpty());
}

TEST(ArcText, DrawsAroundTheCircleAndRestoresTheFont)
{
    ImageCanvas ic(300, 300);
    auto &c = ic.c();
    const plat::LogFont f = testFont(-16);
    c.setFont(f);
    c.setBkMode(gdi::BkMode::Transparent);
    DrawArcText(c, 0, 0, 300, 300, QStringLiteral("ABCDEFGHIJKL"), 0, -12);
    EXPECT_EQ(c.font(), f);
    const QImage &img = ic.done();
    // Ink in all four quadrants around the centre, none in the middle.
    EXPECT_GT(inkCount(img, QRect(0, 0, 150, 150)), 0);
    EXPECT_GT(inkCount(img, QRect(150, 0, 150, 150)), 0);
    EXPECT_GT(inkCount(img, QRect(0, 150, 150, 150)), 0);
    EXPECT_GT(inkCount(img, QRect(150, 150, 150, 150)), 0);
    EXPECT_EQ(inkCount(img, QRect(100, 100, 100, 100)), 0);
}

TEST(StyleControls, FillSetupAndRead)
{
    TextStyleControls c;
    // A new text: "Text (No Wrap)", parameters hidden.
    FillTextStyleControls(c, 1);
    EXPECT_EQ(c.TextStyleCombo.items,
              (QStringList{QStringLiteral("Text (Wrap)"), QStringLiteral("Text (No Wrap)"), QStringLiteral("Bar Code"),
                           QStringLiteral("Arc Text")}));
    EXPECT_EQ(c.TextStyleCombo.currentIndex, 1);
    EXPECT_EQ(c.TextParam1Combo.items, QStringList{QStringLiteral("<<None>>")});
    EXPECT_FALSE(c.TextParam1Combo.visible);
    EXPECT_FALSE(c.TextParam2Label.visible);
    EXPECT_TRUE(c.TextParam1Label.text.isEmpty());
    EXPECT_EQ(ReadTextStyle(c.TextStyleCombo, c.TextParam1Combo, c.TextParam2Combo, c.TextParam3Combo), 1u);

    // Bar code, Code 39, show text.
    const uint32_t barcode = 2 | (2 << 8) | (1 << 16);
    FillTextStyleControls(c, barcode);
    EXPECT_EQ(c.TextParam1Label.text, QStringLiteral("Type:"));
    EXPECT_EQ(c.TextParam1Combo.currentText(), QStringLiteral("Code 39"));
    EXPECT_EQ(c.TextParam2Label.text, QStringLiteral("Show Text:"));
    EXPECT_EQ(c.TextParam2Combo.currentText(), QStringLiteral("Yes"));
    EXPECT_TRUE(c.TextParam2Combo.visible);
    EXPECT_FALSE(c.TextParam3Combo.visible);
    EXPECT_EQ(ReadTextStyle(c.TextStyleCombo, c.TextParam1Combo, c.TextParam2Combo, c.TextParam3Combo), barcode);

    // Arc text, half circle, start 90 degrees (step 6): the word round-trips with its
    // signed second byte.
    const uint32_t arcNeg = 3 | (1 << 8) | (uint32_t(uint8_t(int8_t(-6))) << 16);
    FillTextStyleControls(c, arcNeg);
    EXPECT_EQ(c.TextParam1Combo.currentText(), QStringLiteral("1/2 Circle"));
    EXPECT_EQ(c.TextParam2Combo.currentText(), QStringLiteral("-90"));
    EXPECT_EQ(c.TextParam2Combo.currentValue(), -6);
    EXPECT_EQ(ReadTextStyle(c.TextStyleCombo, c.TextParam1Combo, c.TextParam2Combo, c.TextParam3Combo), arcNeg);
}

TEST(StyleControls, ChoosingAStyleResetsItsParameters)
{
    TextStyleControls c;
    FillTextStyleControls(c, 0);
    // What the property editor does when the style list changes.
    c.TextStyleCombo.setCurrentIndex(TextStyleArc);
    SetupTextStyleParams(c, 0, -1, -1);
    EXPECT_EQ(c.TextParam1Label.text, QStringLiteral("Sub-Style:"));
    EXPECT_EQ(c.TextParam1Combo.currentText(), QStringLiteral("Full Circle"));
    EXPECT_EQ(c.TextParam2Label.text, QStringLiteral("Start Degrees"));
    EXPECT_EQ(c.TextParam2Combo.items, (QStringList{QStringLiteral("-180"), QStringLiteral("-90"), QStringLiteral("0"),
                                                    QStringLiteral("90"), QStringLiteral("180")}));
    EXPECT_EQ(c.TextParam2Combo.currentText(), QStringLiteral("-180"));
    EXPECT_EQ(ReadTextStyle(c.TextStyleCombo, c.TextParam1Combo, c.TextParam2Combo, c.TextParam3Combo),
              3u | (uint32_t(uint8_t(int8_t(-12))) << 16));

    c.TextStyleCombo.setCurrentIndex(TextStyleBarCode);
    SetupTextStyleParams(c, 0, -1, -1);
    EXPECT_EQ(c.TextParam1Combo.currentText(), QStringLiteral("PostNet"));
    EXPECT_EQ(c.TextParam2Combo.currentText(), QStringLiteral("No"));

    // A second value with no matching entry selects nothing; an unknown style leaves the
    // lists empty and the labels as they were.
    c.TextStyleCombo.setCurrentIndex(TextStyleArc);
    SetupTextStyleParams(c, 0, 5, -1);
    EXPECT_EQ(c.TextParam2Combo.currentIndex, -1);
    c.TextStyleCombo.currentIndex = 7;
    SetupTextStyleParams(c, 0, 0, 0);
    EXPECT_TRUE(c.TextParam1Combo.items.isEmpty());
    EXPECT_EQ(c.TextParam1Label.text, QStringLiteral("Sub-Style:"));
}
