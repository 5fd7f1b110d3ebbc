#include "pictures/PictureHelpers.h"
#include "platform/bmp/BmpCodec.h"
#include "platform/bmp/Dib.h"
#include "platform/metafile/EmfRecorder.h"
#include "platform/metafile/Metafile.h"

#include "../metafile/MetafileBuilders.h"
#include "../metafile/RecordingCanvas.h"
#include "TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pictures;

namespace {

class PictureFiles : public ::testing::Test {
protected:
    QTemporaryDir dir;
    // Copies a fixture under another name (the loader looks at names and at bytes).
    QString copy(const char *fixture, const QString &name)
    {
        const QByteArray bytes = testsupport::readFile(testsupport::fixture(QStringLiteral("pictures/") + QLatin1String(fixture)));
        EXPECT_FALSE(bytes.isEmpty()) << fixture;
        return put(name, bytes);
    }
    QString put(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(testsupport::writeFile(path, bytes));
        return path;
    }
};

int bitCountOf(const plat::Picture &p)
{
    plat::bmp::DibHeader h;
    const QByteArray dib = plat::bmp::BitmapToDib(p);
    if (!plat::bmp::parseDibHeader(dib.constData(), dib.size(), h))
        return 0;
    return h.bitCount;
}

QImage patternImage(int w, int h)
{
    QImage img(w, h, QImage::Format_Indexed8);
    QVector<QRgb> table;
    for (int i = 0; i < 16; ++i)
        table << qRgb(i * 16, 255 - i * 16, (i * 77) & 0xFF);
    img.setColorTable(table);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.scanLine(y)[x] = uchar((x + 3 * y) % 16);
    return img;
}

} // namespace

TEST_F(PictureFiles, LoadPictureByExtensionAndRealFormat)
{
    const struct {
        const char *fixture;
        const char *name;
        bool reduce;
        int bits; // 0: no picture
    } cases[] = {
        {"photo.jpg", "photo.jpg", false, 24},
        {"photo.jpg", "photo.JPG", true, 8},       // reduce asks for 256 colours
        {"png_named.JPG", "png_named.JPG", false, 4}, // a PNG under a JPEG name: read as PNG
        {"truecolor.png", "truecolor.png", true, 8},
        {"truecolor.png", "truecolor.png", false, 24},
        {"anim.gif", "anim.gif", false, 8},         // GIF is read (first frame)
        {"lzw.tif", "lzw.TIF", false, 24},
        {"pcx24.pcx", "pcx24.pcx", false, 24},
        {"pcx8.pcx", "pcx8.PCX", true, 8},
        {"photo.jpg", "photo.jpeg", false, 0},      // extension not offered
        {"photo.jpg", "photo.tiff", false, 0},
        {"photo.jpg", "photo", false, 0},
        {"truecolor.png", "truecolor.bmp", false, 24}, // the bytes decide
    };
    for (const auto &c : cases) {
        const plat::Picture p = LoadPicture(copy(c.fixture, QLatin1String(c.name)), c.reduce);
        if (c.bits == 0) {
            EXPECT_TRUE(p.isNull()) << c.name;
            continue;
        }
        ASSERT_TRUE(p.isBitmap()) << c.name;
        EXPECT_EQ(bitCountOf(p), c.bits) << c.name;
        EXPECT_EQ(pictureSize(p), QSize(16, 12)) << c.name;
        const QImage img = decodePicture(p);
        ASSERT_FALSE(img.isNull());
        if (std::string(c.fixture) != "anim.gif" && std::string(c.fixture) != "photo.jpg") {
            EXPECT_EQ(img.pixel(12, 6), qRgb(0, 0, 255)) << c.name;
        }
    }
    EXPECT_TRUE(LoadPicture(dir.filePath(QStringLiteral("missing.bmp")), false).isNull());
    EXPECT_TRUE(LoadPicture(put(QStringLiteral("empty.png"), QByteArray()), false).isNull());
    EXPECT_TRUE(LoadPicture(put(QStringLiteral("text.bmp"), QByteArray("just some text")), false).isNull());
    // A metafile under a bitmap's name is not a bitmap.
    EXPECT_TRUE(LoadPicture(put(QStringLiteral("meta.bmp"), testsupport::sampleWmf()), false).isNull());
}

TEST_F(PictureFiles, BitmapsKeepTheirBytesAndMetafilesBecomeEmf)
{
    // An 8-bit BMP: loaded as it is, so writing it back gives the same bytes.
    const QByteArray bmp = plat::bmp::encodeBmpFile(patternImage(9, 5), 8);
    const plat::Picture loaded = LoadPicture(put(QStringLiteral("p.bmp"), bmp), true);
    ASSERT_TRUE(loaded.isBitmap());
    EXPECT_EQ(loaded.bytes(), bmp);

    const QByteArray wmf = testsupport::sampleWmf();
    const plat::Picture fromWmf = LoadPicture(put(QStringLiteral("s.WMF"), wmf), false);
    ASSERT_TRUE(fromWmf.isMetafile());
    EXPECT_EQ(plat::metafile::detectKind(fromWmf.bytes()), plat::metafile::Kind::Emf);
    EXPECT_EQ(fromWmf.bytes(), plat::metafile::wmfToEmf(wmf));
    EXPECT_EQ(plat::Picture::measureEmf(fromWmf.bytes().constData(), fromWmf.bytes().size()), fromWmf.bytes().size());

    const QByteArray emf = fromWmf.bytes();
    const plat::Picture fromEmf = LoadPicture(put(QStringLiteral("s.emf"), emf), false);
    ASSERT_TRUE(fromEmf.isMetafile());
    EXPECT_EQ(fromEmf.bytes(), emf);
    EXPECT_TRUE(LoadPicture(put(QStringLiteral("broken.emf"), emf.left(200)), false).isNull());
    EXPECT_TRUE(LoadPicture(put(QStringLiteral("photo.wmf"), bmp), false).isNull());

    // Bitmap edits refuse metafiles.
    EXPECT_TRUE(RotateBitmap(fromEmf).isNull());
    EXPECT_TRUE(MirrorVertical(fromEmf).isNull());
    EXPECT_TRUE(CropBitmap(fromEmf, QRect(0, 0, 5, 5)).isNull());
}

TEST(PictureEdits, RotateMirrorAndCropKeepTheDepth)
{
    const QImage src = patternImage(7, 3);
    const plat::Picture pic = plat::Picture::bitmap(plat::bmp::encodeBmpFile(src, 4));

    const plat::Picture turned = RotateBitmap(pic);
    ASSERT_TRUE(turned.isBitmap());
    EXPECT_EQ(bitCountOf(turned), 4);
    const QImage t = decodePicture(turned);
    ASSERT_EQ(t.size(), QSize(3, 7));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x)
            ASSERT_EQ(t.pixel(2 - y, x), src.pixel(x, y)); // a quarter turn clockwise

    const QImage lr = decodePicture(MirrorVertical(pic));
    const QImage tb = decodePicture(MirrorHorizontal(pic));
    ASSERT_EQ(lr.size(), src.size());
    ASSERT_EQ(tb.size(), src.size());
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 7; ++x) {
            ASSERT_EQ(lr.pixel(6 - x, y), src.pixel(x, y));
            ASSERT_EQ(tb.pixel(x, 2 - y), src.pixel(x, y));
        }
    }
    EXPECT_EQ(bitCountOf(MirrorHorizontal(pic)), 4);

    const plat::Picture cut = CropBitmap(pic, QRect(2, 1, 4, 5)); // cut to the bitmap: 4 x 2
    const QImage c = decodePicture(cut);
    ASSERT_EQ(c.size(), QSize(4, 2));
    EXPECT_EQ(c.pixel(0, 0), src.pixel(2, 1));
    EXPECT_EQ(c.pixel(3, 1), src.pixel(5, 2));
    EXPECT_TRUE(CropBitmap(pic, QRect(50, 50, 4, 4)).isNull());

    const plat::Picture junk = plat::Picture::bitmap(QByteArray("BMjunk"));
    EXPECT_TRUE(RotateBitmap(junk).isNull());
    EXPECT_TRUE(MirrorHorizontal(junk).isNull());
    EXPECT_TRUE(decodePicture(junk).isNull());
    EXPECT_TRUE(RotateBitmap(plat::Picture()).isNull());
}

TEST(PictureEdits, CropRectangleFromTheView)
{
    // The crop rectangle at its first place on a 316 x 314 bitmap in the 158 x 157 view.
    EXPECT_EQ(cropRectFromView(QRect(8, 8, 57, 57), QSize(158, 157), QSize(316, 314)), QRect(8, 8, 114, 114));
    EXPECT_EQ(cropRectFromView(QRect(4, 4, 158, 157), QSize(158, 157), QSize(79, 50)), QRect(0, 0, 79, 50));
    EXPECT_EQ(cropRectFromView(QRect(10, 10, 5, 5), QSize(0, 157), QSize(79, 50)), QRect());
    QImage big(316, 314, QImage::Format_RGB32);
    big.fill(qRgb(1, 2, 3));
    big.setPixel(8, 8, qRgb(200, 0, 0));
    const plat::Picture cut = CropBitmap(plat::Picture::bitmap(plat::bmp::encodeBmpFile(big, 24)),
                                         cropRectFromView(QRect(8, 8, 57, 57), QSize(158, 157), QSize(316, 314)));
    const QImage c = decodePicture(cut);
    ASSERT_EQ(c.size(), QSize(114, 114));
    EXPECT_EQ(c.pixel(0, 0), qRgb(200, 0, 0));
}

TEST(PictureDrawing, BitmapsStretchAndMetafilesPlay)
{
    const QImage src = patternImage(5, 4);
    const plat::Picture bitmap = plat::Picture::bitmap(plat::bmp::encodeBmpFile(src, 8));
    testsupport::RecordingCanvas c;
    ASSERT_TRUE(drawPicture(c, bitmap, QRect(10, 10, 50, 40)));
    EXPECT_EQ(c.calls(QStringLiteral("stretchdibits")), QStringList{QStringLiteral("stretchdibits [10 10 50 40] [0 0 5 4] 5x4 rop cc0020")});

    const plat::Picture meta = plat::Picture::metafile(plat::metafile::wmfToEmf(testsupport::sampleWmf()));
    ASSERT_TRUE(meta.isMetafile());
    testsupport::RecordingCanvas m;
    ASSERT_TRUE(drawPicture(m, meta, QRect(0, 0, 96, 48)));
    EXPECT_FALSE(m.calls(QStringLiteral("rectangle")).isEmpty());
    EXPECT_EQ(m.depth(), 0);
    EXPECT_FALSE(drawPicture(m, plat::Picture(), QRect(0, 0, 5, 5)));
    EXPECT_FALSE(drawPicture(m, plat::Picture::metafile(QByteArray("nothing")), QRect(0, 0, 5, 5)));

    // A metafile in pixels: the sample's filled rectangle (20,10)-(200,100) of 1000 x 500
    // shows at its natural size of 96 x 48.
    const QImage img = decodePicture(meta);
    ASSERT_EQ(img.size(), QSize(96, 48));
    EXPECT_EQ(img.pixel(15, 7), qRgb(0xBB, 0xCC, 0xAA));
    EXPECT_EQ(qAlpha(img.pixel(60, 45)), 0); // nothing drawn there: transparent
    EXPECT_EQ(pictureSize(meta), QSize(96, 48));
}
