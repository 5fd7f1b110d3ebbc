#include "platform/ByteIO.h"
#include "platform/bmp/BmpCodec.h"
#include "platform/imaging/Imaging.h"
#include "platform/imaging/PcxReader.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace plat::imaging;
using testsupport::fixture;
using testsupport::readFile;

namespace {

QByteArray pictureFixture(const char *name) { return readFile(fixture(QStringLiteral("pictures/") + QLatin1String(name))); }

// The fixtures made by an independent tool all show the same 16 x 12 picture: red, with
// the right half (x >= 8) blue and a lime 4 x 4 square at the top left.
QRgb expectedFixtureColor(int x, int y)
{
    if (x < 4 && y < 4)
        return qRgb(0, 255, 0);
    return x >= 8 ? qRgb(0, 0, 255) : qRgb(255, 0, 0);
}

void expectFixturePicture(const QImage &img, int tolerance, const char *what)
{
    ASSERT_EQ(img.size(), QSize(16, 12)) << what;
    for (const QPoint p : {QPoint(0, 0), QPoint(3, 3), QPoint(5, 1), QPoint(7, 11), QPoint(8, 0), QPoint(15, 11), QPoint(1, 8)}) {
        const QRgb want = expectedFixtureColor(p.x(), p.y());
        const QRgb got = img.pixel(p);
        EXPECT_LE(std::abs(qRed(got) - qRed(want)) + std::abs(qGreen(got) - qGreen(want)) + std::abs(qBlue(got) - qBlue(want)), tolerance)
            << what << " at " << p.x() << "," << p.y();
    }
}

// Writes a PCX file: the header, the rows (run-length encoded or plain) and, for 8 bits in
// one plane, the 256-colour palette at the end.
QByteArray makePcx(int bpp, int planes, const QVector<QVector<int>> &planeRows /* per row, per plane bytes */,
                   int width, int height, int bytesPerLine, const QVector<QRgb> &palette, bool rle = true)
{
    QByteArray f;
    plat::LeWriter w(&f);
    w.u8(0x0A); w.u8(5); w.u8(rle ? 1 : 0); w.u8(uint8_t(bpp));
    w.u16(0); w.u16(0); w.u16(uint16_t(width - 1)); w.u16(uint16_t(height - 1));
    w.u16(72); w.u16(72);
    for (int i = 0; i < 16; ++i) {
        const QRgb c = (bpp * planes <= 4 && i < palette.size()) ? palette[i] : 0;
        w.u8(uint8_t(qRed(c))); w.u8(uint8_t(qGreen(c))); w.u8(uint8_t(qBlue(c)));
    }
    w.u8(0); w.u8(uint8_t(planes)); w.u16(uint16_t(bytesPerLine)); w.u16(1);
    w.zeros(128 - f.size());
    // Encode all scanlines as one stream; runs may cross plane and row boundaries.
    QByteArray raw;
    for (const auto &row : planeRows)
        for (int b : row)
            raw.append(char(b));
    if (!rle) {
        f.append(raw);
    } else {
        for (qsizetype i = 0; i < raw.size();) {
            qsizetype j = i;
            while (j < raw.size() && raw[j] == raw[i] && j - i < 63)
                ++j;
            const int run = int(j - i);
            const uchar v = uchar(raw[i]);
            if (run > 1 || (v & 0xC0) == 0xC0) {
                f.append(char(0xC0 | run));
                f.append(char(v));
            } else {
                f.append(char(v));
            }
            i = j;
        }
    }
    if (bpp == 8 && planes == 1) {
        f.append(char(0x0C));
        for (int i = 0; i < 256; ++i) {
            const QRgb c = i < palette.size() ? palette[i] : 0;
            f.append(char(qRed(c))); f.append(char(qGreen(c))); f.append(char(qBlue(c)));
        }
    }
    return f;
}

int pattern(int x, int y, int colors) { return (x * 7 + y * 3 + (x * y) % 5) % colors; }

// Builds the stored bytes of an indexed picture of `width` x `height` for one PCX layout.
QByteArray indexedPcx(int bpp, int planes, int width, int height, const QVector<QRgb> &palette, bool rle = true)
{
    const int bitsPerRow = width * bpp;
    const int bytesPerLine = ((bitsPerRow + 15) / 16) * 2;
    const int colors = 1 << (bpp * planes);
    QVector<QVector<int>> rows;
    for (int y = 0; y < height; ++y) {
        QVector<int> row(bytesPerLine * planes, 0);
        for (int x = 0; x < width; ++x) {
            const int v = pattern(x, y, colors);
            if (planes == 1) {
                const int ppb = 8 / bpp;
                row[x / ppb] |= v << (8 - bpp * (x % ppb + 1));
            } else {
                for (int p = 0; p < planes; ++p)
                    if ((v >> p) & 1)
                        row[p * bytesPerLine + x / 8] |= 1 << (7 - x % 8);
            }
        }
        rows << row;
    }
    return makePcx(bpp, planes, rows, width, height, bytesPerLine, palette, rle);
}

QVector<QRgb> testPalette(int n)
{
    QVector<QRgb> p;
    for (int i = 0; i < n; ++i)
        p << qRgb((i * 53 + 7) & 0xFF, (i * 17 + 100) & 0xFF, (i * 29 + 200) & 0xFF);
    return p;
}

} // namespace

TEST(ImageFormat, DetectionByContent)
{
    QByteArray placeable(40, '\0');
    plat::putU32(placeable.data(), 0x9AC6CDD7u);
    QByteArray wmf(40, '\0');
    plat::putU16(wmf.data(), 1);
    plat::putU16(wmf.data() + 2, 9);
    plat::putU16(wmf.data() + 4, 0x300);
    QByteArray emf(100, '\0');
    plat::putU32(emf.data(), 1);
    plat::putU32(emf.data() + 40, 0x464D4520u);
    const QByteArray bmp = plat::bmp::encodeBmpFile(QImage(2, 2, QImage::Format_RGB32), 24);
    QByteArray notBmp = bmp;
    plat::putU32(notBmp.data() + 14, 999); // "BM" text without a bitmap header
    const struct {
        QByteArray bytes;
        ImageFormat format;
        const char *name;
    } cases[] = {
        {pictureFixture("photo.jpg"), ImageFormat::Jpeg, "JPEG"},
        {pictureFixture("png_named.JPG"), ImageFormat::Png, "PNG"},
        {pictureFixture("truecolor.png"), ImageFormat::Png, "PNG"},
        {pictureFixture("anim.gif"), ImageFormat::Gif, "GIF"},
        {pictureFixture("lzw.tif"), ImageFormat::Tiff, "TIFF"},
        {QByteArray("MM\0*\0\0\0\x08", 8), ImageFormat::Tiff, "TIFF"},
        {pictureFixture("pcx24.pcx"), ImageFormat::Pcx, "PCX"},
        {pictureFixture("pcx8.pcx"), ImageFormat::Pcx, "PCX"},
        {bmp, ImageFormat::Bmp, "BMP"},
        {placeable, ImageFormat::PlaceableWmf, "WMF"},
        {wmf, ImageFormat::Wmf, "WMF"},
        {emf, ImageFormat::Emf, "EMF"},
        {notBmp, ImageFormat::Unknown, ""},
        {QByteArray("hello world, this is text"), ImageFormat::Unknown, ""},
        {QByteArray(), ImageFormat::Unknown, ""},
        {QByteArray("\x0A", 1), ImageFormat::Unknown, ""},
    };
    for (const auto &c : cases) {
        ASSERT_FALSE(c.bytes.isEmpty() && c.format != ImageFormat::Unknown) << c.name << " fixture missing";
        EXPECT_EQ(detectFormat(c.bytes), c.format) << c.name;
        EXPECT_EQ(formatName(detectFormat(c.bytes)), QLatin1String(c.name));
    }
}

TEST(Imaging, FileInfoReportsDepthAndColourMap)
{
    const struct {
        const char *file;
        const char *name;
        int depth;
        int colorMapped;
    } cases[] = {
        {"photo.jpg", "JPEG", 24, 0},     {"png_named.JPG", "PNG", 2, 1}, {"truecolor.png", "PNG", 24, 0},
        {"alpha.png", "PNG", 32, 0},      {"anim.gif", "GIF", 8, 1},      {"lzw.tif", "TIFF", 24, 0},
        {"pcx24.pcx", "PCX", 24, 0},      {"pcx8.pcx", "PCX", 8, 1},
    };
    for (const auto &c : cases) {
        FileInfo info;
        ASSERT_TRUE(fileInfo(fixture(QStringLiteral("pictures/") + QLatin1String(c.file)), info)) << c.file;
        EXPECT_EQ(info.formatName, QLatin1String(c.name)) << c.file;
        EXPECT_EQ(info.bitDepth, c.depth) << c.file;
        EXPECT_EQ(info.colorMapped, c.colorMapped) << c.file;
        EXPECT_EQ(QSize(info.width, info.height), QSize(16, 12)) << c.file;
        EXPECT_EQ(requestedBitDepth(info, true), c.colorMapped ? c.depth : 8) << c.file;
        EXPECT_EQ(requestedBitDepth(info, false), c.depth) << c.file;
    }
    FileInfo info;
    EXPECT_FALSE(fileInfo(QStringLiteral("/nonexistent/file.bmp"), info));
    EXPECT_FALSE(fileInfo(QByteArray("plain text"), info));
}

TEST(Imaging, ReadersDeliverDibsOfTheRequestedDepth)
{
    const struct {
        const char *file;
        int depth;
        int tolerance;
    } cases[] = {
        {"photo.jpg", 24, 60}, {"photo.jpg", 8, 90},  {"png_named.JPG", 8, 0}, {"png_named.JPG", 4, 0}, {"truecolor.png", 24, 0},
        {"truecolor.png", 8, 0}, {"anim.gif", 8, 0},  {"lzw.tif", 24, 0},      {"pcx24.pcx", 24, 0},
        {"pcx24.pcx", 8, 0},   {"pcx8.pcx", 8, 0},
    };
    for (const auto &c : cases) {
        const QByteArray bytes = pictureFixture(c.file);
        FileInfo info;
        ASSERT_TRUE(fileInfo(bytes, info)) << c.file;
        QString error;
        const QByteArray dib = readDib(bytes, info.formatName, c.depth, &error);
        ASSERT_FALSE(dib.isEmpty()) << c.file << ": " << error.toStdString();
        plat::bmp::DibHeader h;
        ASSERT_TRUE(plat::bmp::parseDibHeader(dib.constData(), dib.size(), h));
        EXPECT_EQ(h.bitCount, c.depth) << c.file;
        if (std::string(c.file) != "anim.gif")
            expectFixturePicture(plat::bmp::decodeDib(dib), c.tolerance, c.file);
    }
}

TEST(Imaging, GifGivesItsFirstFrameAndAlphaLandsOnWhite)
{
    const QImage gif = plat::bmp::decodeDib(readDib(pictureFixture("anim.gif"), QStringLiteral("gif"), 8));
    ASSERT_FALSE(gif.isNull());
    EXPECT_EQ(gif.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(gif.pixel(15, 11), qRgb(255, 0, 0));

    // alpha.png: opaque on the left half, fully transparent on the right.
    const QImage a = plat::bmp::decodeDib(readDib(pictureFixture("alpha.png"), QStringLiteral("PNG"), 32));
    ASSERT_FALSE(a.isNull());
    EXPECT_EQ(a.pixel(5, 5), qRgb(255, 0, 0));
    EXPECT_EQ(a.pixel(0, 0), qRgb(0, 255, 0));
    EXPECT_EQ(a.pixel(12, 5), qRgb(255, 255, 255));

    EXPECT_TRUE(readDib(pictureFixture("photo.jpg"), QStringLiteral("WMF"), 24).isEmpty());
    EXPECT_TRUE(readDib(QByteArray("not a picture"), QStringLiteral("PNG"), 24).isEmpty());
}

TEST(Pcx, EveryIndexedLayoutAndPlainRows)
{
    const struct {
        int bpp;
        int planes;
        bool rle;
    } layouts[] = {{1, 1, true}, {2, 1, true}, {4, 1, true}, {8, 1, true}, {1, 3, true},
                   {1, 4, true}, {8, 1, false}, {4, 1, false}};
    for (const auto &l : layouts) {
        const int colors = 1 << (l.bpp * l.planes);
        const QVector<QRgb> pal = testPalette(colors);
        const int w = 21, h = 9;
        const QByteArray file = indexedPcx(l.bpp, l.planes, w, h, pal, l.rle);
        QString error;
        const QImage img = readPcx(file, &error);
        ASSERT_FALSE(img.isNull()) << l.bpp << "x" << l.planes << ": " << error.toStdString();
        ASSERT_EQ(img.size(), QSize(w, h));
        EXPECT_EQ(pcxBitDepth(file), l.bpp * l.planes);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(img.pixel(x, y), pal[pattern(x, y, colors)]) << l.bpp << "x" << l.planes << " at " << x << "," << y;
    }
}

TEST(Pcx, TwentyFourBitsAsThreePlanes)
{
    const int w = 5, h = 3, bpl = 6;
    QVector<QVector<int>> rows;
    for (int y = 0; y < h; ++y) {
        QVector<int> row(bpl * 3, 0);
        for (int x = 0; x < w; ++x) {
            row[x] = x * 50;
            row[bpl + x] = y * 100;
            row[2 * bpl + x] = 200; // a run across the whole plane
        }
        rows << row;
    }
    const QImage img = readPcx(makePcx(8, 3, rows, w, h, bpl, {}));
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.pixel(4, 2), qRgb(200, 200, 200));
    EXPECT_EQ(img.pixel(1, 1), qRgb(50, 100, 200));
    expectFixturePicture(readPcx(pictureFixture("pcx24.pcx")), 0, "pcx24");
    expectFixturePicture(readPcx(pictureFixture("pcx8.pcx")), 0, "pcx8");
}

TEST(Pcx, DamagedFilesAreRefused)
{
    const QByteArray good = indexedPcx(4, 1, 30, 20, testPalette(16));
    ASSERT_FALSE(readPcx(good).isNull());
    for (qsizetype n = 0; n < good.size(); ++n)
        EXPECT_TRUE(readPcx(good.left(n)).isNull()) << "cut at " << n;
    const struct {
        const char *what;
        int offset;
        int value;
    } patches[] = {
        {"xmax before xmin", 4, 500}, {"huge width", 8, 65535}, {"huge height", 10, 65535},
        {"line too short", 66, 1},    {"zero line", 66, 0},     {"bad depth", 3, 3},
        {"no planes", 65, 0},         {"encoding 2", 2, 2},
    };
    for (const auto &p : patches) {
        QByteArray bad = good;
        if (p.offset == 2 || p.offset == 3 || p.offset == 65)
            bad[p.offset] = char(p.value);
        else
            plat::putU16(bad.data() + p.offset, uint16_t(p.value));
        QString error;
        EXPECT_TRUE(readPcx(bad, &error).isNull()) << p.what;
        EXPECT_FALSE(error.isEmpty()) << p.what;
    }
    // Both dimensions huge but the data tiny: refused before allocating.
    QByteArray huge = good.left(140);
    plat::putU16(huge.data() + 8, 60000);
    plat::putU16(huge.data() + 10, 60000);
    plat::putU16(huge.data() + 66, 30000);
    EXPECT_TRUE(readPcx(huge).isNull());
}

TEST(Imaging, QuarterTurnKeepsDepthAndTable)
{
    QImage img(3, 2, QImage::Format_Indexed8);
    img.setColorTable(testPalette(6));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            img.scanLine(y)[x] = uchar(y * 3 + x); // 0 1 2 / 3 4 5
    QByteArray dib = plat::bmp::encodeDib(img, 4);
    ASSERT_TRUE(RotateDib90(dib, 0));
    QImage turned = plat::bmp::decodeDib(dib);
    ASSERT_EQ(turned.size(), QSize(2, 3));
    EXPECT_EQ(turned.colorTable().mid(0, 6), testPalette(6));
    // Clockwise: the left column read bottom-up becomes the top row.
    EXPECT_EQ(turned.pixelIndex(0, 0), 3);
    EXPECT_EQ(turned.pixelIndex(1, 0), 0);
    EXPECT_EQ(turned.pixelIndex(0, 2), 5);
    plat::bmp::DibHeader h;
    ASSERT_TRUE(plat::bmp::parseDibHeader(dib.constData(), dib.size(), h));
    EXPECT_EQ(h.bitCount, 4);
    // Counter-clockwise undoes it.
    ASSERT_TRUE(RotateDib90(dib, 1));
    EXPECT_EQ(plat::bmp::decodeDib(dib).pixelIndex(2, 1), 5);

    QImage rgb(4, 1, QImage::Format_RGB32);
    rgb.fill(qRgb(248, 252, 248));
    QByteArray d16 = plat::bmp::encodeDib(rgb, 16, plat::bmp::Rgb16::R565);
    ASSERT_TRUE(RotateDib90(d16, 0));
    ASSERT_TRUE(plat::bmp::parseDibHeader(d16.constData(), d16.size(), h));
    EXPECT_EQ(h.compression, plat::bmp::BI_BITFIELDS);
    EXPECT_EQ(QSize(h.width, h.height), QSize(1, 4));

    QByteArray broken("junk");
    EXPECT_FALSE(RotateDib90(broken, 0));
    EXPECT_EQ(broken, QByteArray("junk"));
}
