// Save As Graphic: the region on screen as JPEG, bitmap, enhanced metafile, PNG, SVG or PDF.
#include "ExportTestSupport.h"

#include "files/GraphicExport.h"
#include "platform/ByteIO.h"
#include "platform/gdi/PainterCanvas.h"
#include "platform/metafile/Metafile.h"

#include <QPainter>
#include <QProcess>
#include <gtest/gtest.h>

using namespace exporttests;

namespace {

QString runTool(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return QStringLiteral("did not finish");
    return p.exitCode() == 0 ? QString() : QString::fromLocal8Bit(p.readAllStandardError());
}

struct JpegFacts {
    int firstLuminanceQuant = -1;
    bool progressive = false;
    bool baseline = false;
};

// Walks the markers of a JPEG file up to the start of the scan.
JpegFacts jpegFacts(const QByteArray &b)
{
    JpegFacts f;
    int pos = 2;
    while (pos + 4 <= b.size() && uint8_t(b[pos]) == 0xFF) {
        const uint8_t marker = uint8_t(b[pos + 1]);
        const int len = (uint8_t(b[pos + 2]) << 8) | uint8_t(b[pos + 3]);
        if (marker == 0xDB && f.firstLuminanceQuant < 0 && pos + 5 < b.size())
            f.firstLuminanceQuant = uint8_t(b[pos + 5]); // table 0, 8-bit, first value in zig-zag order
        if (marker == 0xC0)
            f.baseline = true;
        if (marker == 0xC2)
            f.progressive = true;
        if (marker == 0xDA)
            break;
        pos += 2 + len;
    }
    return f;
}

// libjpeg's scaling of the standard luminance table's first entry (16) for a quality.
int expectedQuant(int quality)
{
    quality = std::clamp(quality, 1, 100);
    const int scale = quality < 50 ? 5000 / quality : 200 - quality * 2;
    return std::clamp((16 * scale + 50) / 100, 1, 255);
}

class GraphicExport : public ::testing::Test {
protected:
    void SetUp() override { makeSample(doc); }
    QString path(const QString &name) const { return dir.filePath(name); }
    QTemporaryDir dir;
    document::DesignDocument doc;
};

} // namespace

TEST_F(GraphicExport, ThePictureIsTheRegionSizeTimesTheZoom)
{
    for (const int zoom : {100, 400}) {
        doc.setZoom(zoom, false);
        doc.setModified(false);
        for (const char *ext : {"png", "bmp", "jpg"}) {
            const QString file = path(QStringLiteral("card%1.%2").arg(zoom).arg(QLatin1String(ext)));
            ASSERT_TRUE(files::SaveAsGraphic(doc, file, {})) << file.toStdString();
            const QImage img(file);
            EXPECT_EQ(img.size(), QSize(350, 200) * (zoom / 100)) << file.toStdString();
            // The box is where it is on the surface, at every zoom.
            const QColor c = img.pixelColor(kBoxCentre * (zoom / 100));
            EXPECT_GT(c.red(), 200) << file.toStdString();
            EXPECT_LT(c.blue(), 60) << file.toStdString();
        }
    }
}

TEST_F(GraphicExport, NonPrintingObjectsAreDrawnGridAndFrameAreNotAndTheDesignStaysAsItWas)
{
    for (const bool grid : {true, false}) {
        doc.surface()->setShowGrid(grid);
        const int items = doc.surface()->count();
        const QString file = path(QStringLiteral("plain.png"));
        ASSERT_TRUE(files::SaveAsGraphic(doc, file, {}));
        const QImage img = QImage(file).convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(img.pixel(kBoxCentre), colorOf(kRed)) << "the red box does not print, but is exported";
        // Grid dots fall on (1 + 8k, 1 + 8k); the margin frame runs 8 pixels inside the edge.
        EXPECT_EQ(img.pixel(1, 1), qRgb(255, 255, 255));
        EXPECT_EQ(img.pixel(9, 17), qRgb(255, 255, 255));
        EXPECT_EQ(img.pixel(8, 30), qRgb(255, 255, 255));
        EXPECT_EQ(img.pixel(8, 31), qRgb(255, 255, 255));
        EXPECT_EQ(doc.surface()->showGrid(), grid);
        EXPECT_TRUE(doc.surface()->showMargins());
        EXPECT_FALSE(doc.isModified());
        EXPECT_EQ(doc.surface()->count(), items);
        EXPECT_EQ(doc.zoom(), 100);
    }
}

TEST_F(GraphicExport, MetafileNamesHoldAnEnhancedMetafileThatPlaysBack)
{
    for (const char *name : {"card.emf", "card.WMF"}) {
        const QString file = path(QLatin1String(name));
        ASSERT_TRUE(files::SaveAsGraphic(doc, file, {}));
        const QByteArray bytes = testsupport::readFile(file);
        ASSERT_EQ(plat::metafile::detectKind(bytes), plat::metafile::Kind::Emf) << name;
        plat::metafile::ParsedEmf parsed;
        ASSERT_TRUE(plat::metafile::parseEmf(bytes, parsed)) << name;
        // The frame is kept in hundredths of a millimetre: the size comes back within a pixel.
        const QSize natural = plat::metafile::naturalSize(bytes);
        EXPECT_NEAR(natural.width(), 350, 1);
        EXPECT_NEAR(natural.height(), 200, 1);

        QImage played(350, 200, QImage::Format_RGB32);
        played.fill(Qt::black);
        {
            QPainter painter(&played);
            gdi::PainterCanvas canvas(painter);
            ASSERT_TRUE(plat::metafile::playEmf(canvas, bytes, QRectF(0, 0, 350, 200)));
        }
        EXPECT_EQ(played.pixel(kBoxCentre), colorOf(kRed)) << name;
        EXPECT_EQ(played.pixel(40, 150), qRgb(255, 255, 255)) << "the white face is part of the picture";
    }
}

TEST_F(GraphicExport, JpegQualityAndProgressiveEncodingAreInTheFile)
{
    struct Case {
        int quality;
        bool progressive;
    } const cases[] = {{75, false}, {30, true}, {100, false}, {0, true}};
    for (const Case &c : cases) {
        const QString file = path(QStringLiteral("q%1.jpg").arg(c.quality));
        ASSERT_TRUE(files::SaveAsGraphic(doc, file, files::GraphicOptions{c.quality, c.progressive}));
        const JpegFacts f = jpegFacts(testsupport::readFile(file));
        EXPECT_EQ(f.firstLuminanceQuant, expectedQuant(c.quality)) << c.quality;
        EXPECT_EQ(f.progressive, c.progressive) << c.quality;
        EXPECT_EQ(f.baseline, !c.progressive) << c.quality;
        EXPECT_EQ(QImage(file).size(), QSize(350, 200));
    }
}

TEST_F(GraphicExport, SvgAndPdfOpenInStandardReadersAtTheCardsRealSize)
{
    doc.setZoom(200, false);
    const QString svg = path(QStringLiteral("card.svg"));
    ASSERT_TRUE(files::SaveAsGraphic(doc, svg, {}));
    const QString svgPng = path(QStringLiteral("svg.png"));
    // At 100 pixels per inch a 3.5 x 2 in card is 350 x 200 pixels.
    ASSERT_EQ(runTool(QStringLiteral("rsvg-convert"), {QStringLiteral("--dpi-x"), QStringLiteral("100"),
                                                        QStringLiteral("--dpi-y"), QStringLiteral("100"),
                                                        QStringLiteral("-o"), svgPng, svg}),
              QString());
    const QImage fromSvg(svgPng);
    // The drawing's size is given in millimetres; the reader rounds it up to whole pixels.
    EXPECT_NEAR(fromSvg.width(), 350, 1);
    EXPECT_NEAR(fromSvg.height(), 200, 1);
    EXPECT_GT(fromSvg.pixelColor(kBoxCentre).red(), 200);
    EXPECT_LT(fromSvg.pixelColor(kBoxCentre).blue(), 60);

    const QString pdf = path(QStringLiteral("card.pdf"));
    ASSERT_TRUE(files::SaveAsGraphic(doc, pdf, {}));
    ASSERT_EQ(runTool(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("100"), QStringLiteral("-png"),
                                                   QStringLiteral("-singlefile"), pdf, path(QStringLiteral("pdf"))}),
              QString());
    const QImage fromPdf(path(QStringLiteral("pdf.png")));
    EXPECT_EQ(fromPdf.size(), QSize(350, 200));
    EXPECT_GT(fromPdf.pixelColor(kBoxCentre).red(), 200);
    EXPECT_LT(fromPdf.pixelColor(kBoxCentre).blue(), 60);
    // Drawn as vector shapes: a design without pictures puts no image into the page.
    EXPECT_FALSE(testsupport::readFile(pdf).contains("/Subtype /Image"));
}

TEST_F(GraphicExport, TheFormatFollowsTheExtension)
{
    using files::GraphicType;
    struct Case {
        const char *name;
        GraphicType type;
    } const cases[] = {
        {"a.jpg", GraphicType::Jpeg}, {"a.JPEG", GraphicType::Jpeg}, {"a.bmp", GraphicType::Bitmap},
        {"a.wmf", GraphicType::Metafile}, {"a.Emf", GraphicType::Metafile}, {"a.png", GraphicType::Png},
        {"a.svg", GraphicType::Svg}, {"a.pdf", GraphicType::Pdf}, {"a.tiff", GraphicType::Bitmap},
        {"dir.jpg/a", GraphicType::Bitmap},
    };
    for (const Case &c : cases)
        EXPECT_EQ(files::graphicTypeForFile(QLatin1String(c.name)), c.type) << c.name;

    // A name without extension takes the one of the dialog's type.
    EXPECT_EQ(files::withGraphicExtension(QStringLiteral("/tmp/card"), 0), QStringLiteral("/tmp/card.jpg"));
    EXPECT_EQ(files::withGraphicExtension(QStringLiteral("/tmp/card"), 1), QStringLiteral("/tmp/card.bmp"));
    EXPECT_EQ(files::withGraphicExtension(QStringLiteral("/tmp/card"), 2), QStringLiteral("/tmp/card.wmf"));
    EXPECT_EQ(files::withGraphicExtension(QStringLiteral("/tmp/card"), 5), QStringLiteral("/tmp/card.pdf"));
    EXPECT_EQ(files::withGraphicExtension(QStringLiteral("/tmp/card"), 9), QStringLiteral("/tmp/card.wmf"));
    EXPECT_EQ(files::withGraphicExtension(QStringLiteral("/tmp/card.png"), 0), QStringLiteral("/tmp/card.png"));

    // ... and is written in that format: JPEG and BMP by their signatures.
    const QString jpeg = files::withGraphicExtension(path(QStringLiteral("typed")), 0);
    ASSERT_TRUE(files::SaveAsGraphic(doc, jpeg, {}));
    EXPECT_TRUE(testsupport::readFile(jpeg).startsWith("\xFF\xD8\xFF"));
    const QString bmp = path(QStringLiteral("odd.name"));
    ASSERT_TRUE(files::SaveAsGraphic(doc, bmp, {}));
    EXPECT_TRUE(testsupport::readFile(bmp).startsWith("BM"));
}

TEST_F(GraphicExport, AFailedExportReportsFailureAndKeepsThePreviousFile)
{
    EXPECT_FALSE(files::SaveAsGraphic(doc, QString(), {}));
    EXPECT_FALSE(files::SaveAsGraphic(doc, path(QStringLiteral("no/such/folder/card.png")), {}));
    EXPECT_FALSE(files::SaveAsGraphic(doc, dir.path(), {})) << "a folder is no file";

    // A picture that cannot be made (a PDF page of no size) leaves the old file alone.
    const QString file = path(QStringLiteral("card.pdf"));
    ASSERT_TRUE(testsupport::writeFile(file, "previous"));
    EXPECT_FALSE(files::SaveSurfaceAsGraphic(*doc.surface(), 100, QSize(0, 0), file, {}));
    EXPECT_EQ(testsupport::readFile(file), QByteArray("previous"));
    EXPECT_TRUE(doc.surface()->showGrid());
    EXPECT_TRUE(doc.surface()->showMargins());
}
