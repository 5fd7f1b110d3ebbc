// Bar code encoders against the published symbologies, and the drawing geometry.

#include "RenderTestSupport.h"
#include "render/BarCode.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace render;
using namespace rendertest;

namespace {

// Bars in a module string: runs of bar modules.
int countBars(const QString &modules)
{
    int bars = 0;
    QChar prev = QLatin1Char('0');
    for (QChar c : modules) {
        if (c != QLatin1Char('0') && c != prev)
            ++bars;
        prev = c;
    }
    return bars;
}

} // namespace

TEST(EncodeUPCA, CompleteSymbols)
{
    struct Case {
        const char *text;
        const char *modules;
    };
    const Case cases[] = {
        // Eleven digits get their check digit (036000 29145 -> 2; 12345 67890 1 -> 2).
        {"03600029145", "20200022020222202020222200022020002202000220202020220220022202002200220202220020022202202200202"},
        {"12345678901", "20200220020020022022220202000220220002020222202020200020020020002220200222002022002202202200202"},
        // Twelve digits are taken as they are, even with a wrong check digit; characters
        // after the twelfth are ignored.
        {"123456789012", "20200220020020022022220202000220220002020222202020200020020020002220200222002022002202202200202"},
        {"123456789012XYZ", "20200220020020022022220202000220220002020222202020200020020020002220200222002022002202202200202"},
    };
    for (const Case &c : cases) {
        const BarCodePattern p = EncodeUPCA(QString::fromLatin1(c.text));
        ASSERT_TRUE(p.ok) << c.text;
        EXPECT_EQ(p.modules, QString::fromLatin1(c.modules)) << c.text;
        EXPECT_EQ(p.modules.size(), 95);
        EXPECT_EQ(p.moduleWidth, 0);
        EXPECT_EQ(p.fullHeight, 0);
    }
    // A wrong twelfth digit is drawn unchanged: only the last seven modules differ.
    const QString wrong = EncodeUPCA(QStringLiteral("123456789019")).modules;
    EXPECT_EQ(wrong.left(81), QString::fromLatin1(cases[2].modules).left(81));
    EXPECT_EQ(wrong.mid(85, 7), QStringLiteral("2220200")); // right-hand 9 is 1110100
}

TEST(EncodeUPCA, Failures)
{
    for (const char *t : {"", "1234567890", "1234567890A", "12345A789012", "12345 678901"})
        EXPECT_FALSE(EncodeUPCA(QString::fromLatin1(t)).ok) << t;
}

TEST(EncodeCode39, StartStopAndGaps)
{
    const QString star = QStringLiteral("200202202202");
    // An empty text is just the start and stop characters.
    const BarCodePattern empty = EncodeCode39(QString());
    ASSERT_TRUE(empty.ok);
    EXPECT_EQ(empty.modules, star + QLatin1Char('0') + star);

    // "0" is narrow bar, narrow space, narrow bar, wide space, wide bar, ...
    const BarCodePattern zero = EncodeCode39(QStringLiteral("0"));
    EXPECT_EQ(zero.modules, star + QStringLiteral("0") + QStringLiteral("202002202202") + QStringLiteral("0") + star);

    const BarCodePattern a1 = EncodeCode39(QStringLiteral("A1"));
    EXPECT_EQ(a1.modules, star + QStringLiteral("0") + QStringLiteral("220202002022") + QStringLiteral("0")
                              + QStringLiteral("220200202022") + QStringLiteral("0") + star);
    EXPECT_EQ(a1.moduleWidth, 0);
}

TEST(EncodeCode39, EveryCharacterIsFiveBarsFourSpacesThreeWide)
{
    const QString set = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%");
    ASSERT_EQ(set.size(), 43);
    QSet<QString> seen;
    for (QChar ch : set) {
        const QString m = EncodeCode39(QString(ch)).modules;
        ASSERT_EQ(m.size(), 12 + 1 + 12 + 1 + 12) << QString(ch).toStdString();
        const QString code = m.mid(13, 12);
        EXPECT_EQ(m[25], QLatin1Char('0')); // inter-character gap
        // Read the elements back: alternating bar/space runs of width 1 or 2.
        int elements = 0, wide = 0;
        for (qsizetype i = 0; i < code.size();) {
            qsizetype j = i;
            while (j < code.size() && code[j] == code[i])
                ++j;
            const qsizetype w = j - i;
            if (elements % 2 == 0) {
                EXPECT_EQ(code[i], QLatin1Char('2'));
            }
            // Two equal elements side by side would merge into one run; a run of 3 or 4
            // can only be narrow + wide of the same colour, which never occurs.
            EXPECT_LE(w, 2);
            wide += (w == 2);
            ++elements;
            i = j;
        }
        EXPECT_EQ(elements, 9) << QString(ch).toStdString();
        EXPECT_EQ(wide, 3) << QString(ch).toStdString();
        seen.insert(code);
    }
    EXPECT_EQ(seen.size(), 43);
}

TEST(EncodeCode39, LowerCaseAndFailures)
{
    EXPECT_EQ(EncodeCode39(QStringLiteral("abc-1")).modules, EncodeCode39(QStringLiteral("ABC-1")).modules);
    for (const char *t : {"A*B", "#", "AB_C", "*"}) {
        const BarCodePattern p = EncodeCode39(QString::fromLatin1(t));
        EXPECT_FALSE(p.ok) << t;
        EXPECT_TRUE(p.modules.isEmpty()) << t;
    }
    // Long texts are encoded whole.
    const QString longText(300, QLatin1Char('X'));
    const BarCodePattern p = EncodeCode39(longText);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.modules.size(), 13 + 300 * 13 + 12);
}

TEST(EncodePostNet, CorrectionDigitAndBarCounts)
{
    const BarCodePattern p = EncodePostNet(QStringLiteral("12345"));
    ASSERT_TRUE(p.ok);
    // Digit sum 15: correction digit 5 (HFHFH).
    EXPECT_EQ(p.modules, QStringLiteral(
        "22000" "1100011000110002200022000" "1100011000220001100022000" "1100011000220002200011000"
        "1100022000110001100022000" "1100022000110002200011000" "1100022000110002200011000" "22"));
    EXPECT_EQ(countBars(p.modules), 32);
    EXPECT_EQ(p.moduleWidth, 1);
    EXPECT_EQ(p.halfHeight, 5);
    EXPECT_EQ(p.fullHeight, 11);
    // The digit 0 is two full bars and three half bars.
    EXPECT_EQ(EncodePostNet(QStringLiteral("00000")).modules.mid(5, 25), QStringLiteral("2200022000110001100011000"));

    struct Case {
        const char *text;
        int bars;
    };
    for (const Case c : {Case{"12345-6789", 52}, Case{"123456789", 52}, Case{"12345678901", 62}, Case{" 1 2a3b45 ", 32}}) {
        const BarCodePattern q = EncodePostNet(QString::fromLatin1(c.text));
        ASSERT_TRUE(q.ok) << c.text;
        EXPECT_EQ(countBars(q.modules), c.bars) << c.text;
        // Every digit block plus the correction digit adds up to a multiple of ten.
    }
    // 12345-6789: sum 45, correction 5: the last digit block before the frame is HFHFH.
    EXPECT_EQ(EncodePostNet(QStringLiteral("12345-6789")).modules.right(27).left(25),
              QStringLiteral("1100022000110002200011000"));
}

TEST(EncodePostNet, Failures)
{
    for (const char *t : {"", "1234", "123456", "1234567890", "123456789012", "abcde"})
        EXPECT_FALSE(EncodePostNet(QString::fromLatin1(t)).ok) << t;
}

TEST(EncodeBarCode, UnknownTypeFails)
{
    EXPECT_FALSE(EncodeBarCode(QStringLiteral("12345"), 3).ok);
    EXPECT_FALSE(EncodeBarCode(QStringLiteral("12345"), -1).ok);
    EXPECT_TRUE(EncodeBarCode(QStringLiteral("12345"), BarCodePostNet).ok);
}

TEST(DrawBarCode, UpcaFitsTheObjectWidth)
{
    // 300 pixels wide: W - 20 = 280, n = 95, m = 2: 190 pixels of bars from L + 10.
    const int L = 20, T = 5;
    ImageCanvas ic(360, 140);
    ic.c().setFont(testFont(-16));
    EXPECT_TRUE(DrawBarCode(ic.c(), L, T, L + 300, T + 120, QStringLiteral("12345678901"), BarCodeUPCA,
                            0, true, false, 100, 0));
    const QImage &img = ic.done();
    // Without text the bars are 30 pixels shorter than the object, from T + 10.
    EXPECT_EQ(inkBox(img), QRect(L + 10, T + 10, 190, 120 - 30));
    // Start guard 202 at m = 2: bar, space, bar of two pixels each.
    const int y = T + 40;
    EXPECT_TRUE(ink(img, L + 10, y) && ink(img, L + 11, y));
    EXPECT_FALSE(ink(img, L + 12, y) || ink(img, L + 13, y));
    EXPECT_TRUE(ink(img, L + 14, y) && ink(img, L + 15, y));
}

TEST(DrawBarCode, TextUnderTheBarsShortensThem)
{
    ImageCanvas ic(400, 200);
    auto &c = ic.c();
    c.setFont(testFont(-16));
    c.setBkMode(gdi::BkMode::Transparent);
    const int th = c.textExtent(QStringLiteral("CODE")).height();
    EXPECT_TRUE(DrawBarCode(c, 0, 0, 300, 150, QStringLiteral("code"), BarCodeCode39, 0, true, true, 100, 0));
    const QImage &img = ic.done();
    const int barBottom = 150 - th - 30 + 10 - 1; // bars: y0 = 10, f = H - th - 30
    EXPECT_TRUE(ink(img, 10, barBottom));
    EXPECT_FALSE(ink(img, 10, barBottom + 1));
    // The text sits 10 pixels below the bars, from L + 10.
    const QRect text = inkBox(img, QRect(0, barBottom + 2, 300, 60));
    EXPECT_GE(text.top(), barBottom + 10);
    EXPECT_NEAR(text.left(), 10, 3);
}

TEST(DrawBarCode, NarrowObjectStillUsesOnePixelModules)
{
    ImageCanvas ic(400, 100);
    EXPECT_TRUE(DrawBarCode(ic.c(), 0, 0, 50, 80, QStringLiteral("123456789012"), BarCodeUPCA, 0, true, false, 100, 0));
    const QRect box = inkBox(ic.done());
    EXPECT_EQ(box.left(), 10);
    EXPECT_EQ(box.right(), 10 + 95 - 1); // runs past the right edge
}

TEST(DrawBarCode, RightAndCentredJustification)
{
    for (unsigned flags : {unsigned(gdi::DT_RIGHT), unsigned(gdi::DT_CENTER)}) {
        ImageCanvas ic(400, 100);
        DrawBarCode(ic.c(), 0, 0, 300, 80, QStringLiteral("123456789012"), BarCodeUPCA, flags, true, false, 100, 0);
        const QRect box = inkBox(ic.done());
        if (flags == gdi::DT_RIGHT) {
            EXPECT_EQ(box.right(), 300 - 10 - 1);
        } else {
            EXPECT_EQ(box.left(), 150 - 95);
        }
        EXPECT_EQ(box.width(), 190);
    }
}

TEST(DrawBarCode, PostNetHasAFixedPhysicalSize)
{
    ImageCanvas ic(400, 100);
    EXPECT_TRUE(DrawBarCode(ic.c(), 0, 0, 400, 100, QStringLiteral("12345"), BarCodePostNet, 0, true, false, 100, 0));
    const QImage &img = ic.done();
    // 32 bars, each 2 pixels wide with 3 pixels between: the last starts at 10 + 31 * 5.
    EXPECT_EQ(inkBox(img), QRect(QPoint(10, 10), QPoint(10 + 31 * 5 + 1, 20)));
    // Frame bar: full height 11; the first digit's first bar (1 = HHHFF) is half height 5.
    EXPECT_TRUE(ink(img, 10, 10) && ink(img, 11, 20));
    EXPECT_FALSE(ink(img, 12, 15));
    EXPECT_FALSE(ink(img, 15, 15));
    EXPECT_TRUE(ink(img, 15, 16) && ink(img, 15, 20));
}

TEST(DrawBarCode, PostNetBelowFullZoomCollapsesToOneLine)
{
    ImageCanvas ic(200, 100);
    EXPECT_TRUE(DrawBarCode(ic.c(), 0, 0, 200, 100, QStringLiteral("12345"), BarCodePostNet, 0, true, false, 50, 0));
    // Module width 0: every bar at the same x; full bars 5 pixels, half bars 2.
    EXPECT_EQ(inkBox(ic.done()), QRect(QPoint(10, 10), QPoint(10, 14)));
}

TEST(DrawBarCode, PlaceholderForTextThatDoesNotEncode)
{
    for (int type : {int(BarCodePostNet), int(BarCodeUPCA), 7}) {
        ImageCanvas ic(300, 100);
        auto &c = ic.c();
        c.setFont(testFont(-16));
        c.setBkMode(gdi::BkMode::Transparent);
        c.setBrush(gdi::Brush{gdi::BrushStyle::Solid, gdi::rgb(255, 255, 255), 0});
        const QString ph = QString::fromLatin1(kBarCodePlaceholder);
        EXPECT_EQ(ph, QStringLiteral("Barcode (Pending Data)"));
        const QSize e = c.textExtent(ph);
        // Drawn even with bars and text switched off.
        EXPECT_FALSE(DrawBarCode(c, 10, 10, 290, 90, QStringLiteral("1234"), type, 0, false, false, 100, 0));
        const QImage &img = ic.done();
        EXPECT_EQ(inkBox(img), QRect(QPoint(10, 10), QPoint(289, 89))); // the frame
        const QRect text = inkBox(img, QRect(12, 12, 276, 76));
        ASSERT_FALSE(text.isEmpty());
        EXPECT_NEAR(text.left(), 20, 3);
        const int y = 10 + 80 / 2 - e.height() / 2;
        EXPECT_GE(text.top(), y);
        EXPECT_LE(text.bottom(), y + e.height());
    }
}
