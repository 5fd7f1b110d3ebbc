#include "platform/ByteIO.h"
#include "platform/bmp/BmpCodec.h"
#include "platform/bmp/Dib.h"

#include "../metafile/RecordingCanvas.h"

#include <QBuffer>
#include <QImageReader>
#include <gtest/gtest.h>

using namespace plat::bmp;

namespace {

// A small picture with every pixel different along x and y, using only colours that a
// depth can hold exactly (so a round trip must give back the same pixels).
QImage sampleImage(int bitCount, Rgb16 layout, int w = 13, int h = 7)
{
    if (bitCount <= 8) {
        const int n = 1 << bitCount;
        QImage img(w, h, QImage::Format_Indexed8);
        QVector<QRgb> table;
        for (int i = 0; i < n; ++i)
            table << qRgb((i * 37) & 0xFF, (i * 91 + 10) & 0xFF, (255 - i * 13) & 0xFF);
        img.setColorTable(table);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                img.scanLine(y)[x] = uchar((x * 3 + y * 5) % n);
        return img;
    }
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            int r = (x * 19 + y * 7) & 0xFF, g = (x * 5 + y * 41) & 0xFF, b = (x * 73 + y * 3) & 0xFF;
            if (bitCount == 16) { // values the 5- and 6-bit channels hold exactly
                auto q5 = [](int v) { v >>= 3; return (v << 3) | (v >> 2); };
                auto q6 = [](int v) { v >>= 2; return (v << 2) | (v >> 4); };
                r = q5(r);
                b = q5(b);
                g = layout == Rgb16::R565 ? q6(g) : q5(g);
            }
            img.setPixel(x, y, qRgb(r, g, b));
        }
    }
    return img;
}

bool samePixels(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if ((a.pixel(x, y) & 0xFFFFFF) != (b.pixel(x, y) & 0xFFFFFF))
                return false;
    return true;
}

struct DepthCase {
    int bits;
    Rgb16 layout;
    bool topDown;
};

class BmpRoundTrip : public ::testing::TestWithParam<DepthCase> {};

} // namespace

TEST_P(BmpRoundTrip, PixelsAndBytesSurviveAndQtAgrees)
{
    const DepthCase c = GetParam();
    const QImage src = sampleImage(c.bits, c.layout);
    const QByteArray file = encodeBmpFile(src, c.bits, c.layout, c.topDown);
    ASSERT_FALSE(file.isEmpty());

    // The header says what was asked for.
    plat::LeReader r(file);
    EXPECT_EQ(r.u16At(28), c.bits);
    EXPECT_EQ(r.i32At(22), c.topDown ? -7 : 7);
    EXPECT_EQ(r.u32At(30), (c.bits == 16 && c.layout == Rgb16::R565) ? 3u : 0u);
    EXPECT_EQ(r.u32At(2), uint32_t(file.size()));
    EXPECT_EQ(plat::Picture::measureBmp(file.constData(), file.size()), file.size());

    QString error;
    const QImage back = decodeBmpFile(file, &error);
    ASSERT_FALSE(back.isNull()) << error.toStdString();
    EXPECT_TRUE(samePixels(src, back));
    if (c.bits <= 8) {
        EXPECT_EQ(back.format(), QImage::Format_Indexed8);
    }

    // Writing the decoded bitmap again at the same depth gives the same bytes.
    EXPECT_EQ(encodeBmpFile(back, c.bits, c.layout, c.topDown), file);

    // An independent reader sees the same picture.
    // (Its 16-bit reader scales 5-bit channels by shifting alone, so allow that much.)
    const QImage qt = QImage::fromData(file, "BMP");
    ASSERT_FALSE(qt.isNull());
    const int tolerance = c.bits == 16 ? 7 : 0;
    for (int y = 0; y < src.height(); ++y) {
        for (int x = 0; x < src.width(); ++x) {
            const QRgb a = src.pixel(x, y), b = qt.pixel(x, y);
            ASSERT_LE(std::abs(qRed(a) - qRed(b)), tolerance) << x << "," << y;
            ASSERT_LE(std::abs(qGreen(a) - qGreen(b)), tolerance) << x << "," << y;
            ASSERT_LE(std::abs(qBlue(a) - qBlue(b)), tolerance) << x << "," << y;
        }
    }

    // Packed DIB form: the file without its header, and back.
    const plat::Picture pic = plat::Picture::bitmap(file);
    const QByteArray dib = BitmapToDib(pic);
    EXPECT_EQ(dib, file.mid(14));
    EXPECT_EQ(DibToBitmap(dib), pic);
}

INSTANTIATE_TEST_SUITE_P(Depths, BmpRoundTrip,
    ::testing::Values(DepthCase{1, Rgb16::X555, false}, DepthCase{4, Rgb16::X555, false},
                      DepthCase{8, Rgb16::X555, false}, DepthCase{16, Rgb16::X555, false},
                      DepthCase{16, Rgb16::R565, false}, DepthCase{24, Rgb16::X555, false},
                      DepthCase{32, Rgb16::X555, false}, DepthCase{1, Rgb16::X555, true},
                      DepthCase{4, Rgb16::X555, true}, DepthCase{8, Rgb16::X555, true},
                      DepthCase{16, Rgb16::R565, true}, DepthCase{24, Rgb16::X555, true},
                      DepthCase{32, Rgb16::X555, true}));

TEST(Dib, InfoOfA200By100EightBitBitmap)
{
    QImage img(200, 100, QImage::Format_Indexed8);
    img.setColorTable({qRgb(0, 0, 0), qRgb(255, 0, 0)});
    img.fill(1);
    const QByteArray file = encodeBmpFile(img, 8);
    EXPECT_EQ(file.size(), 21078);
    DibInfo info;
    ASSERT_TRUE(GetDibInfo(BitmapToDib(plat::Picture::bitmap(file)), info));
    EXPECT_EQ(info.size, 21064);
    EXPECT_EQ(info.width, 200);
    EXPECT_EQ(info.height, 100);
    EXPECT_EQ(info.colors, 256);

    // 24 bits: no colour table, rows padded to 32 bits.
    ASSERT_TRUE(GetDibInfo(encodeDib(QImage(3, 2, QImage::Format_RGB32), 24), info));
    EXPECT_EQ(info.size, 12 * 2 + 40);
    EXPECT_EQ(info.colors, 0);
}

TEST(Dib, UsedColoursCountShortensTheTable)
{
    // 8-bit, 4 x 2, three colours in the table.
    QByteArray dib;
    plat::LeWriter w(&dib);
    w.u32(40); w.i32(4); w.i32(2); w.u16(1); w.u16(8); w.u32(0); w.u32(8); w.i32(0); w.i32(0);
    w.u32(3); w.u32(0);
    w.u32(0x000000FF); // blue
    w.u32(0x0000FF00); // green
    w.u32(0x00FF0000); // red
    const char rows[] = {2, 2, 2, 2, 0, 1, 2, 0};
    w.bytes(rows, 8);
    const QImage img = decodeDib(dib);
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.colorCount(), 3);
    EXPECT_EQ(img.pixel(0, 0), qRgb(0, 0, 255)); // top row is the second stored row
    EXPECT_EQ(img.pixel(1, 0), qRgb(0, 255, 0));
    EXPECT_EQ(img.pixel(2, 0), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(3, 1), qRgb(255, 0, 0));
    const auto pal = DibPalette(dib);
    ASSERT_TRUE(pal.has_value());
    EXPECT_EQ(pal->size(), 3);
    EXPECT_EQ(pal->at(2), qRgb(255, 0, 0));
    // True-colour devices never need a palette.
    testsupport::RecordingCanvas canvas;
    EXPECT_FALSE(CreateDibPalette(canvas, dib).has_value());
    EXPECT_FALSE(DibPalette(encodeDib(QImage(2, 2, QImage::Format_RGB32), 24)).has_value());
}

namespace {
QByteArray rleDib(int bits, int w, int h, const QByteArray &stream, int colors)
{
    QByteArray dib;
    plat::LeWriter wr(&dib);
    wr.u32(40); wr.i32(w); wr.i32(h); wr.u16(1); wr.u16(uint16_t(bits));
    wr.u32(bits == 8 ? 1 : 2); wr.u32(uint32_t(stream.size())); wr.i32(0); wr.i32(0);
    wr.u32(uint32_t(colors)); wr.u32(0);
    for (int i = 0; i < colors; ++i)
        wr.u32(uint32_t(i * 0x101010));
    wr.bytes(stream);
    return dib;
}
QString indexes(const QImage &img)
{
    QString s;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x)
            s += QString::number(img.pixelIndex(x, y), 16);
        s += QLatin1Char('/');
    }
    return s;
}
} // namespace

TEST(Dib, RunLengthEncodedRows)
{
    // RLE8, 6 x 3: bottom row: run of 3 x 5, absolute 1 2 3 (padded), end of line;
    // middle row: delta (2, 0) then run 2 x 7, end of line; top row: run 6 x 9, end.
    const char rle8[] = {3, 5, 0, 3, 1, 2, 3, 0, 0, 0, 0, 2, 2, 0, 2, 7, 0, 0, 6, 9, 0, 1};
    QImage img = decodeDib(rleDib(8, 6, 3, QByteArray(rle8, sizeof rle8), 10));
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(indexes(img), QStringLiteral("999999/007700/555123/"));

    // RLE4, 5 x 2: bottom row: run of 5 alternating 1,2; top row: absolute 3,4,5 then end.
    const char rle4[] = {5, 0x12, 0, 0, 0, 3, 0x34, 0x50, 0, 1};
    img = decodeDib(rleDib(4, 5, 2, QByteArray(rle4, sizeof rle4), 16));
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(indexes(img), QStringLiteral("34500/12121/"));

    // Runs and deltas that leave the bitmap are clipped, not written outside it.
    const char wild[] = {char(255), 1, 0, 2, char(255), char(255), 10, 2, 0, 40, 1, 2};
    img = decodeDib(rleDib(8, 4, 2, QByteArray(wild, sizeof wild), 4));
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(indexes(img), QStringLiteral("0000/1111/"));
}

TEST(Dib, CoreHeaderAndGapBeforeRows)
{
    // 12-byte core header, 8 bits, 2 x 1, three-byte colour entries.
    QByteArray dib;
    plat::LeWriter w(&dib);
    w.u32(12); w.u16(2); w.u16(1); w.u16(1); w.u16(8);
    for (int i = 0; i < 256; ++i) {
        w.u8(uint8_t(i)); w.u8(0); w.u8(uint8_t(255 - i));
    }
    w.u8(3); w.u8(200); w.u16(0);
    const QImage core = decodeDib(dib);
    ASSERT_FALSE(core.isNull());
    EXPECT_EQ(core.pixel(0, 0), qRgb(252, 0, 3));
    EXPECT_EQ(core.pixel(1, 0), qRgb(55, 0, 200));

    // A file whose rows start later than the headers end, as bfOffBits allows.
    const QImage src = sampleImage(24, Rgb16::X555, 3, 2);
    QByteArray file = encodeBmpFile(src, 24);
    const QByteArray gap(10, '\x77');
    file.insert(54, gap);
    plat::putU32(file.data() + 10, 64);
    plat::putU32(file.data() + 2, uint32_t(file.size()));
    EXPECT_TRUE(samePixels(decodeBmpFile(file), src));
    const QByteArray packed = bmpFileToDib(file);
    EXPECT_EQ(packed, encodeDib(src, 24));
}

TEST(Dib, ImagesThatDoNotFitTheDepthAreReduced)
{
    QImage rgb(8, 4, QImage::Format_RGB32);
    rgb.fill(qRgb(250, 10, 10));
    rgb.setPixel(0, 0, qRgb(0, 0, 0));
    const QImage four = decodeDib(encodeDib(rgb, 4));
    ASSERT_EQ(four.format(), QImage::Format_Indexed8);
    EXPECT_EQ(four.colorCount(), 16);
    EXPECT_EQ(four.pixel(3, 3), qRgb(255, 0, 0)); // nearest standard colour
    const QImage one = decodeDib(encodeDib(rgb, 1));
    EXPECT_EQ(one.colorCount(), 2);
    EXPECT_EQ(one.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_TRUE(encodeDib(rgb, 7).isEmpty());
    EXPECT_TRUE(encodeDib(QImage(), 24).isEmpty());
}

TEST(Dib, DrawDibStretchesTheWholeBitmap)
{
    const QImage src = sampleImage(8, Rgb16::X555, 5, 4);
    const QByteArray dib = encodeDib(src, 8);
    testsupport::RecordingCanvas canvas;
    ASSERT_TRUE(DrawDib(canvas, dib, 10, 20, 50, 40));
    ASSERT_EQ(canvas.images.size(), 1u);
    EXPECT_EQ(canvas.imageDest[0], QRect(10, 20, 50, 40));
    EXPECT_TRUE(samePixels(canvas.images[0], src));
    EXPECT_EQ(canvas.calls("stretchdibits").value(0), QStringLiteral("stretchdibits [10 20 50 40] [0 0 5 4] 5x4 rop cc0020"));
    EXPECT_FALSE(DrawDib(canvas, dib.left(30), 0, 0, 5, 5));
    EXPECT_EQ(canvas.images.size(), 1u);
}

TEST(Dib, DamagedBitmapsAreRefused)
{
    const QByteArray good = encodeBmpFile(sampleImage(8, Rgb16::X555), 8);
    struct Patch {
        const char *what;
        int offset;
        uint32_t value;
        int width; // 2 or 4 bytes
    } patches[] = {
        {"width zero", 18, 0, 4},
        {"width negative", 18, 0x80000000u, 4},
        {"width huge", 18, 0x7FFFFFFF, 4},
        {"height huge", 22, 0x7FFFFFFF, 4},
        {"height most negative", 22, 0x80000000u, 4},
        {"both large", 18, 60000, 4},
        {"bit count 7", 28, 7, 2},
        {"bit count 0", 28, 0, 2},
        {"planes 2", 26, 2, 2},
        {"compression jpeg", 30, 4, 4},
        {"RLE4 on 8 bits", 30, 2, 4},
        {"bitfields on 8 bits", 30, 3, 4},
        {"used colours huge", 46, 0xFFFFFFFF, 4},
        {"header size huge", 14, 0x7FFFFFFF, 4},
        {"header size 39", 14, 39, 4},
    };
    for (const Patch &p : patches) {
        QByteArray bad = good;
        if (p.width == 4)
            plat::putU32(bad.data() + p.offset, p.value);
        else
            plat::putU16(bad.data() + p.offset, uint16_t(p.value));
        if (std::string(p.what) == "both large")
            plat::putU32(bad.data() + 22, 60000);
        QString error;
        EXPECT_TRUE(decodeBmpFile(bad, &error).isNull()) << p.what;
        EXPECT_FALSE(error.isEmpty()) << p.what;
        EXPECT_TRUE(bmpFileToDib(bad).isEmpty()) << p.what;
        EXPECT_TRUE(DibToBitmap(bad.mid(14)).isNull()) << p.what;
        DibInfo info;
        (void)GetDibInfo(bad.mid(14), info);
    }
    // Every truncation of every depth fails cleanly.
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        const QByteArray file = encodeBmpFile(sampleImage(bits, Rgb16::X555), bits);
        for (qsizetype n = 0; n < file.size(); ++n)
            EXPECT_TRUE(decodeBmpFile(file.left(n)).isNull()) << bits << " bits cut at " << n;
    }
    // A huge RLE bitmap promised by a few bytes of data is refused before allocating.
    const char tiny[] = {0, 1};
    EXPECT_TRUE(decodeDib(rleDib(8, 60000, 60000, QByteArray(tiny, 2), 2)).isNull());
}
