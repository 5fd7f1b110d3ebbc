// The print job without its dialogs: the dialog's checks, paper and orientation, the sheet
// geometry, second-face mirroring, and elements drawn from the job's own region surfaces.
#include "print/PrintJob.h"

#include "document/DesignDocument.h"
#include "model/SurfaceItem.h"
#include "model/TObjectData.h"
#include "platform/bmp/BmpCodec.h"

#include <gtest/gtest.h>

#include <QPageSize>

using namespace print;

namespace {

layout::LayoutRecord makeLayout(int columns, int rows, int width, int height, int left, int top, int columnSpace = 0,
                                int rowSpace = 0, int regionType = 0, int backPrintable = 1, int paperType = 0)
{
    layout::LayoutRecord l;
    l.setName(QStringLiteral("Test"));
    l.setColumns(uint32_t(columns));
    l.setRows(uint32_t(rows));
    l.setWidth(uint32_t(width));
    l.setHeight(uint32_t(height));
    l.setLeftMargin(uint32_t(left));
    l.setTopMargin(uint32_t(top));
    l.setColumnSpace(uint32_t(columnSpace));
    l.setRowSpace(uint32_t(rowSpace));
    l.setRegionType(uint8_t(regionType));
    l.setBackPrintable(uint8_t(backPrintable));
    l.setPaperType(uint8_t(paperType));
    return l;
}

// A black filled box on the surface, in surface pixels.
model::SurfaceItem *blackBox(model::TObjectManager *m, const QRect &r, bool nonPrinting = false)
{
    model::SurfaceItem *item = m->NewBox(r.x(), r.y());
    item->setBounds(r);
    item->data()->Style = 1;
    item->data()->ColorBG = 0;
    item->data()->ColorFG = 0;
    if (nonPrinting)
        item->data()->Flags |= model::ObjectFlag::NonPrinting;
    return item;
}

} // namespace

TEST(PrintDialogChecks, StartAndQuantityInTheDialogsOrder)
{
    struct Case {
        const char *start, *quantity;
        bool pages;
        QString message;
        QuantityField field;
        int elements;
    };
    const QString startMsg = QStringLiteral("Please enter a starting position between 1 and 10.");
    const QString qtyMsg = QStringLiteral("Please enter a valid quantity to print.");
    const Case cases[] = {
        {"1", "10", false, {}, QuantityField::None, 10},
        {"3", "1", true, {}, QuantityField::None, 10},
        {"10", "7", true, {}, QuantityField::None, 70},
        {"11", "10", false, startMsg, QuantityField::Start, 0},
        {"0", "10", false, startMsg, QuantityField::Start, 0},
        {"abc", "10", false, startMsg, QuantityField::Start, 0},
        {"abc", "0", false, startMsg, QuantityField::Start, 0}, // start is checked first
        {"1", "0", false, qtyMsg, QuantityField::Quantity, 0},
        {"1", "x", false, qtyMsg, QuantityField::Quantity, 0},
        {"1", "-5", true, qtyMsg, QuantityField::Quantity, 0},
        {"1", "2147483647", true, qtyMsg, QuantityField::Quantity, 0}, // pages overflow
    };
    for (const Case &c : cases) {
        StartQuantity sq;
        QuantityField f = QuantityField::None;
        const QString msg = CheckStartQuantity(QString::fromLatin1(c.start), QString::fromLatin1(c.quantity), c.pages, 10, &sq, &f);
        EXPECT_EQ(msg, c.message) << c.start << "/" << c.quantity;
        EXPECT_EQ(f, c.field) << c.start << "/" << c.quantity;
        if (c.message.isEmpty()) {
            EXPECT_EQ(sq.quantity, c.elements) << c.start << "/" << c.quantity;
        }
    }
}

TEST(PrintSetup, LandscapeRulesOnLetter)
{
    struct Case {
        int width, left;
        bool landscape, exchanged;
    };
    // 3 columns without spacing on Letter (850 wide).
    const Case cases[] = {
        {280, 25, true, true},   // 865 > 850 and 890 > 875
        {270, 35, false, true},  // 845 stays portrait, 880 > 875 still exchanges
        {270, 20, false, false}, // 830 and 850
    };
    for (const Case &c : cases) {
        const PrintSetup s = ComputePrintSetup(makeLayout(3, 4, c.width, 200, c.left, 50), false);
        EXPECT_EQ(s.landscape, c.landscape) << c.width << "/" << c.left;
        EXPECT_EQ(s.exchanged, c.exchanged) << c.width << "/" << c.left;
        EXPECT_EQ(s.paperWidth, c.exchanged ? 1100 : 850);
        EXPECT_EQ(s.paperHeight, c.exchanged ? 850 : 1100);
        EXPECT_EQ(s.paperCode, 1);
    }
    // The exchange test counts the margin twice: 750 + 150 = 900 > 875.
    EXPECT_TRUE(ComputePrintSetup(makeLayout(3, 4, 250, 200, 75, 50), false).exchanged);
}

TEST(PrintSetup, GeometryAndMarginsFromTheLayout)
{
    const PrintSetup s = ComputePrintSetup(makeLayout(2, 5, 350, 200, 75, 50, 25, 10), true);
    const TTextOptions &o = s.options;
    EXPECT_EQ(o.Columns, 2);
    EXPECT_EQ(o.Rows, 5);
    EXPECT_DOUBLE_EQ(o.ColumnWidth, 3.5);
    EXPECT_DOUBLE_EQ(o.RowHeight, 2.0);
    EXPECT_DOUBLE_EQ(o.MarginLeft, 0.75);
    EXPECT_DOUBLE_EQ(o.MarginTop, 0.5);
    EXPECT_DOUBLE_EQ(o.ColumnSpace, 0.25);
    EXPECT_DOUBLE_EQ(o.RowSpace, 0.1);
    EXPECT_DOUBLE_EQ(o.MarginRight, (850 - 700 - 75 - 25) * 0.01);
    EXPECT_DOUBLE_EQ(o.MarginBottom, (1100 - 1000 - 50 - 40) * 0.01);
    EXPECT_TRUE(o.CropMarks);

    // Wider (and taller) than the paper either way: the far margins are 0, not negative.
    const PrintSetup wide = ComputePrintSetup(makeLayout(4, 6, 350, 200, 75, 50), false);
    EXPECT_TRUE(wide.exchanged);
    EXPECT_EQ(wide.options.MarginRight, 0.0);
    EXPECT_EQ(wide.options.MarginBottom, 0.0);
}

TEST(PrintSetup, EveryPaperTypeHasAPageSizeOfItsDimensions)
{
    for (int type = 0; type < layout::kPaperTypeCount; ++type) {
        int code = 0, w = 0, h = 0;
        ASSERT_TRUE(layout::GetPaperInfo(type, &code, &w, &h));
        const QPageSize size = PageSizeForPaperCode(code);
        ASSERT_TRUE(size.isValid()) << "paper type " << type << " code " << code;
        const QSizeF inches = size.size(QPageSize::Inch);
        EXPECT_NEAR(inches.width() * 100, w, 2.0) << "paper type " << type;
        EXPECT_NEAR(inches.height() * 100, h, 2.0) << "paper type " << type;
        // The setup hands exactly that size to the printer.
        const PrintSetup s = ComputePrintSetup(makeLayout(1, 1, 200, 200, 10, 10, 0, 0, 0, 1, type), false);
        EXPECT_EQ(s.pageSize, size);
    }
    EXPECT_FALSE(PageSizeForPaperCode(9999).isValid());
}

TEST(SecondFace, MirroredElementPositions)
{
    struct Case {
        int element, side, flip, rows, columns, expected;
    };
    const Case cases[] = {
        // Left-right with 2 columns: 1 shows 2, 2 shows 1, 3 shows 4.
        {1, 1, 1, 5, 2, 2}, {2, 1, 1, 5, 2, 1}, {3, 1, 1, 5, 2, 4}, {10, 1, 1, 5, 2, 9},
        // Top-bottom with 5 rows: 1 shows 9, 2 shows 10, 10 shows 2.
        {1, 1, 0, 5, 2, 9}, {2, 1, 0, 5, 2, 10}, {10, 1, 0, 5, 2, 2}, {5, 1, 0, 5, 2, 5},
        // The first face is never mirrored.
        {3, 0, 1, 5, 2, 3}, {3, 0, 0, 5, 2, 3},
    };
    for (const Case &c : cases)
        EXPECT_EQ(MirroredElement(c.element, c.side, c.flip, c.rows, c.columns), c.expected)
            << c.element << " side " << c.side << " flip " << c.flip;
}

TEST(SecondFace, FlipModeByCardKind)
{
    EXPECT_EQ(FlipModeFor(0, false), 0) << "flat card: top-bottom";
    EXPECT_EQ(FlipModeFor(0, true), 1) << "flat card, box ticked: left-right";
    EXPECT_EQ(FlipModeFor(1, false), 1) << "side fold: left-right";
    EXPECT_EQ(FlipModeFor(3, false), 1);
    EXPECT_EQ(FlipModeFor(2, false), 0) << "top fold: top-bottom";
    EXPECT_EQ(FlipModeFor(4, false), 0);
}

namespace {
// 100 dpi Letter without offsets: one device pixel is one unit.
DeviceValues letter100() { return DeviceValues{100, 100, 850, 1100, 0, 0}; }
} // namespace

TEST(PrintJob, DrawsFromItsOwnRegionSurfacesAndLeavesTheEditingSurfaceAlone)
{
    document::DesignDocument doc;
    ASSERT_EQ(doc.createBlank(makeLayout(2, 5, 350, 200, 75, 50), 1), 1);
    model::TObjectManager *m = doc.manager();
    // A printing box in the top-left quarter of the card and a non-printing one beside it.
    blackBox(m, QRect(0, 0, 175, 100));
    blackBox(m, QRect(200, 0, 100, 100), true);
    doc.setZoom(150, false);
    ASSERT_EQ(doc.zoom(), 150);
    const QRect boundsBefore = doc.surface()->itemAt(0)->bounds();
    const int undoBefore = m->changes().undoCount();

    TPrintJob job(doc);
    ASSERT_TRUE(job.SaveCurrentRegion());
    TPreviewPrinter engine;
    const PrintSetup setup = ComputePrintSetup(doc.layout(), false);
    job.Configure(engine, setup);
    ImageTarget target(letter100());
    ASSERT_TRUE(job.PrintSide(engine, target, 0, 3, 8));
    ASSERT_EQ(target.pages().size(), 1u);
    EXPECT_EQ(job.regionSurfacesBuilt(), 1) << "one surface per region and job, not per element";

    const QImage &page = target.pages()[0];
    // Position 3 is row 1, column 0: card at (75, 250); its box covers (75..249, 250..349).
    EXPECT_EQ(page.pixelColor(80, 255), QColor(Qt::black));
    EXPECT_EQ(page.pixelColor(245, 345), QColor(Qt::black));
    EXPECT_EQ(page.pixelColor(255, 300), QColor(Qt::white)) << "the zoom of the screen does not scale the print";
    EXPECT_EQ(page.pixelColor(80, 205), QColor(Qt::white)) << "positions 1 and 2 are not printed";
    // The non-printing box at (275.., 250..) is skipped.
    EXPECT_EQ(page.pixelColor(300, 300), QColor(Qt::white));
    // Position 4 at (425, 250).
    EXPECT_EQ(page.pixelColor(430, 255), QColor(Qt::black));

    // The editing surface is as it was: zoom, objects, bounds, history.
    EXPECT_EQ(doc.zoom(), 150);
    EXPECT_EQ(doc.surface()->count(), 2);
    EXPECT_EQ(doc.surface()->itemAt(0)->bounds(), boundsBefore);
    EXPECT_EQ(m->changes().undoCount(), undoBefore);
}

TEST(PrintJob, FoldedCardRegionsTakeTheirHalfOfTheElement)
{
    // Side-fold card: 700 x 200 elements, regions 350 x 200. Inside Cover (0,0) holds a
    // full black box; Inside (0,1) is empty; Cover (1,0) holds a full box as well.
    document::DesignDocument doc;
    ASSERT_EQ(doc.createBlank(makeLayout(1, 5, 700, 200, 75, 50, 0, 0, 1, 1), 1), 1);
    ASSERT_TRUE(doc.switchRegion(1)); // Inside Cover
    blackBox(doc.manager(), QRect(0, 0, 350, 200));
    ASSERT_TRUE(doc.switchRegion(2)); // Cover
    blackBox(doc.manager(), QRect(0, 0, 350, 200));

    TPrintJob job(doc);
    ASSERT_TRUE(job.SaveCurrentRegion());
    TPreviewPrinter engine;
    job.Configure(engine, ComputePrintSetup(doc.layout(), false));
    ImageTarget target(letter100());
    ASSERT_TRUE(job.PrintSide(engine, target, 0, 1, 5));
    ASSERT_TRUE(job.PrintSide(engine, target, 1, 1, 5));
    ASSERT_EQ(target.pages().size(), 2u);
    EXPECT_EQ(job.regionSurfacesBuilt(), 3);
    const QImage &inside = target.pages()[0];
    const QImage &outside = target.pages()[1];
    // Side 0: region 0 left half black, region 1 right half empty.
    EXPECT_EQ(inside.pixelColor(100, 100), QColor(Qt::black));
    EXPECT_EQ(inside.pixelColor(600, 100), QColor(Qt::white));
    // Side 1: the cover takes the right half.
    EXPECT_EQ(outside.pixelColor(100, 100), QColor(Qt::white));
    EXPECT_EQ(outside.pixelColor(600, 100), QColor(Qt::black));
}

TEST(PrintJob, BackgroundFillsTheMarginRectangleScaledToTheElement)
{
    document::DesignDocument doc;
    ASSERT_EQ(doc.createBlank(makeLayout(2, 5, 350, 200, 75, 50), 1), 1);
    QImage red(4, 4, QImage::Format_RGB32);
    red.fill(Qt::red);
    doc.surface()->setBackground(plat::Picture::bitmap(plat::bmp::encodeBmpFile(red, 24)));
    doc.surface()->setMargins(10, 10, 10, 10);
    TPrintJob job(doc);
    ASSERT_TRUE(job.SaveCurrentRegion());
    TPreviewPrinter engine;
    job.Configure(engine, ComputePrintSetup(doc.layout(), false));
    // 200 dpi: every unit is two device pixels.
    ImageTarget target(DeviceValues{200, 200, 1700, 2200, 0, 0});
    ASSERT_TRUE(job.PrintSide(engine, target, 0, 1, 1));
    const QImage &page = target.pages()[0];
    // Element 1 at (150, 100) device pixels; the background from margin 10 (20 pixels).
    EXPECT_EQ(page.pixelColor(150 + 25, 100 + 25), QColor(Qt::red));
    EXPECT_EQ(page.pixelColor(150 + 15, 100 + 15), QColor(Qt::white));
    EXPECT_EQ(page.pixelColor(150 + 700 - 25, 100 + 400 - 25), QColor(Qt::red));
    EXPECT_EQ(page.pixelColor(150 + 700 - 15, 100 + 400 - 25), QColor(Qt::white));
}
