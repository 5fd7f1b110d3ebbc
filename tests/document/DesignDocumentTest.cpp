#include "document/DesignDocument.h"
#include "files/DesignFile.h"
#include "model/SurfaceItem.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QVariant>
#include <gtest/gtest.h>

using document::DesignDocument;

// Readable failure output for QString comparisons.
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

const QString kSizeMessage = QStringLiteral("The width and height must be between 1.50 and 4.00 inches");

layout::LayoutRecord makeLayout(uint32_t width, uint32_t height, uint8_t regionType = 0, uint8_t backPrintable = 0)
{
    layout::LayoutRecord l;
    l.setName(QStringLiteral("Test stock"));
    l.setRows(5);
    l.setColumns(2);
    l.setWidth(width);
    l.setHeight(height);
    l.setTopMargin(50);
    l.setLeftMargin(75);
    l.setRegionType(regionType);
    l.setBackPrintable(backPrintable);
    return l;
}

QList<QRect> boundsOf(const DesignDocument &d)
{
    QList<QRect> out;
    for (const auto &item : d.surface()->items())
        out << item->bounds();
    return out;
}

// Objects are told apart by where they were created.
QList<QPoint> placesOf(const DesignDocument &d)
{
    QList<QPoint> out;
    for (const auto &item : d.surface()->items())
        out << item->bounds().topLeft();
    return out;
}

// Counts a signal's emissions.
struct Counter {
    int count = 0;
    QVariant last;
};

} // namespace

TEST(DesignDocument, RegionSizeIsCheckedOnBothEdgesForBlankDesigns)
{
    struct Case {
        uint32_t width, height;
        uint8_t regionType;
        bool ok;
    } cases[] = {
        {150, 200, 0, true},  {400, 400, 0, true},  {149, 200, 0, false}, {350, 149, 0, false},
        {401, 200, 0, false}, {350, 401, 0, false}, {300, 200, 1, true},  // side fold halves the width
        {298, 200, 1, false}, {350, 298, 2, false}, // top fold halves the height
    };
    for (const Case &c : cases) {
        DesignDocument d;
        const int r = d.createBlank(makeLayout(c.width, c.height, c.regionType), 1);
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " type " << int(c.regionType));
        if (c.ok) {
            EXPECT_EQ(r, files::ResultOk);
        } else {
            EXPECT_EQ(r, DesignDocument::kRegionSizeError);
            EXPECT_EQ(DesignDocument::messageFor(r), kSizeMessage);
        }
    }
}

TEST(DesignDocument, OpeningAFileWithA149HundredthRegionIsRefused)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("narrow.bcp"));
    {
        model::SurfaceModel surface;
        model::TObjectManager manager(&surface);
        manager.NewBox(10, 10);
        ASSERT_TRUE(files::WriteDesign(manager, path, makeLayout(149, 200), QString(), 100, 0, 0, false));
        surface.clearItems();
    }
    DesignDocument d;
    const int r = d.openFile(path);
    EXPECT_EQ(r, DesignDocument::kRegionSizeError);
    EXPECT_EQ(DesignDocument::messageFor(r), kSizeMessage);
}

TEST(DesignDocument, BlankDesignHasUntitledCaptionAndIsUnmodified)
{
    DesignDocument d;
    Counter caption;
    QObject::connect(&d, &DesignDocument::captionChanged, [&caption](const QString &c) { ++caption.count; caption.last = c; });
    ASSERT_EQ(d.createBlank(makeLayout(350, 200), 3), files::ResultOk);
    EXPECT_EQ(d.caption(), "Untitled 3");
    EXPECT_EQ(caption.count, 1);
    EXPECT_FALSE(d.isModified());
    EXPECT_TRUE(d.fileName().isEmpty());
    EXPECT_EQ(d.surface()->size(), QSize(350, 200));
}

TEST(DesignDocument, RegionNamesFollowRegionTypeAndBackPrinting)
{
    struct Case {
        uint8_t regionType, backPrintable;
        QStringList names;
    } cases[] = {
        {0, 0, {"Front"}},
        {0, 1, {"Front", "Back"}},
        {1, 0, {"Inside", "Inside Cover", "Cover"}},
        {2, 1, {"Inside", "Inside Cover", "Cover"}},
        {4, 0, {"Inside", "Inside Cover", "Cover"}},
    };
    for (const Case &c : cases) {
        DesignDocument d;
        const bool fold = c.regionType != 0;
        const bool side = c.regionType == 1 || c.regionType == 3;
        ASSERT_EQ(d.createBlank(makeLayout(fold && side ? 700 : 350, fold && !side ? 400 : 200, c.regionType,
                                           c.backPrintable),
                                1),
                  files::ResultOk);
        EXPECT_EQ(d.regionNames(), c.names) << int(c.regionType) << "/" << int(c.backPrintable);
    }
}

TEST(DesignDocument, SwitchingRegionsKeepsEachRegionsObjects)
{
    DesignDocument d;
    ASSERT_EQ(d.createBlank(makeLayout(700, 200, 1), 1), files::ResultOk); // Inside / Inside Cover / Cover
    model::TObjectManager *m = d.manager();
    m->NewText(10, 10);
    ASSERT_EQ(d.surface()->count(), 1);

    ASSERT_TRUE(d.switchRegion(1));
    EXPECT_EQ(d.currentRegionIndex(), 1);
    EXPECT_EQ(d.surface()->count(), 0) << "a fresh region starts empty";
    m->NewBox(20, 20);
    m->NewEllipse(40, 40);

    ASSERT_TRUE(d.switchRegion(2));
    EXPECT_EQ(d.surface()->count(), 0);
    m->NewLine(5, 5);

    ASSERT_TRUE(d.switchRegion(0));
    EXPECT_EQ(placesOf(d), (QList<QPoint>{{10, 10}}));
    ASSERT_TRUE(d.switchRegion(1));
    EXPECT_EQ(placesOf(d), (QList<QPoint>{{20, 20}, {40, 40}}));
    ASSERT_TRUE(d.switchRegion(2));
    EXPECT_EQ(placesOf(d), (QList<QPoint>{{5, 5}}));
    // Switching to the region on screen is a no-op success.
    EXPECT_TRUE(d.switchRegion(2));
    EXPECT_EQ(d.surface()->count(), 1);
}

TEST(DesignDocument, ZoomOutStopsAtTheLastStepAtOrAbove25)
{
    struct Case {
        int from, step;
        bool relative;
        int expected;
    } cases[] = {
        {35, -10, true, 25}, {34, -10, true, 34}, {100, -10, true, 90}, {1000, 10, true, 1010},
        {100, 24, false, 100}, {100, 25, false, 25}, {100, 30, false, 30},
    };
    for (const Case &c : cases) {
        DesignDocument d;
        ASSERT_EQ(d.createBlank(makeLayout(350, 200), 1), files::ResultOk);
        if (c.from != 100) {
            ASSERT_EQ(d.setZoom(c.from, false), c.from);
        }
        d.setModified(false);
        const int applied = d.setZoom(c.step, c.relative);
        SCOPED_TRACE(testing::Message() << "from " << c.from << " step " << c.step);
        EXPECT_EQ(applied, c.expected);
        EXPECT_EQ(d.zoom(), c.expected);
        EXPECT_EQ(d.isModified(), c.expected != c.from);
    }
}

TEST(DesignDocument, ZoomRescalesTheSurfaceThrough100Percent)
{
    DesignDocument d;
    ASSERT_EQ(d.createBlank(makeLayout(350, 200), 1), files::ResultOk);
    model::SurfaceItem *box = d.manager()->NewBox(0, 0);
    box->setBounds(QRect(10, 20, 101, 51));
    const QSize size100 = d.surface()->size();
    Counter zoomed;
    QObject::connect(&d, &DesignDocument::zoomChanged, [&zoomed](int z) { ++zoomed.count; zoomed.last = z; });

    EXPECT_EQ(d.setZoom(200, false), 200);
    EXPECT_EQ(d.surface()->size(), size100 * 2);
    EXPECT_EQ(boundsOf(d), (QList<QRect>{QRect(20, 40, 202, 102)}));
    EXPECT_TRUE(d.isModified());

    // 200 -> 50 goes back to 100 first, so the result matches zooming 100 -> 50 directly.
    EXPECT_EQ(d.setZoom(50, false), 50);
    EXPECT_EQ(d.surface()->size(), QSize(175, 100));
    EXPECT_EQ(boundsOf(d), (QList<QRect>{QRect(5, 10, 51, 26)}));

    EXPECT_EQ(d.setZoom(100, false), 100);
    EXPECT_EQ(d.surface()->size(), size100);
    EXPECT_EQ(zoomed.count, 3);
    EXPECT_EQ(zoomed.last.toInt(), 100);
}

TEST(DesignDocument, SavingABlankDesignStoresTheSurfaceInRegionZerosPair)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // Side fold: region index 0 is "Inside", stored as side 0 region 1.
    DesignDocument d;
    ASSERT_EQ(d.createBlank(makeLayout(700, 200, 1), 1), files::ResultOk);
    d.manager()->NewText(10, 10);
    d.manager()->NewBox(30, 30);
    d.setModified(true);
    const QString path = dir.filePath(QStringLiteral("fold.bcp"));
    Counter caption;
    QObject::connect(&d, &DesignDocument::captionChanged, [&caption](const QString &c) { ++caption.count; caption.last = c; });
    ASSERT_TRUE(d.save(path));
    EXPECT_FALSE(d.isModified());
    EXPECT_EQ(d.fileName(), path);
    EXPECT_EQ(caption.count, 1);
    EXPECT_EQ(d.surface()->count(), 2) << "saving leaves the surface as it was";

    DesignDocument back;
    ASSERT_EQ(back.openFile(path), files::ResultOk);
    EXPECT_EQ(back.currentRegionIndex(), 0);
    EXPECT_EQ(placesOf(back), (QList<QPoint>{{10, 10}, {30, 30}}));
    EXPECT_EQ(back.manager()->currentSide(), 0);
    EXPECT_EQ(back.manager()->currentRegion(), 1);
    // The other regions are empty.
    ASSERT_TRUE(back.switchRegion(1));
    EXPECT_EQ(back.surface()->count(), 0);
    ASSERT_TRUE(back.switchRegion(2));
    EXPECT_EQ(back.surface()->count(), 0);
    ASSERT_TRUE(back.switchRegion(0));
    EXPECT_EQ(back.surface()->count(), 2);
    EXPECT_EQ(back.caption(), path);
}

TEST(DesignDocument, ReopenedDesignKeepsZoomAndLayout)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    DesignDocument d;
    ASSERT_EQ(d.createBlank(makeLayout(350, 200, 0, 1), 1), files::ResultOk);
    d.manager()->NewEllipse(10, 10);
    ASSERT_EQ(d.setZoom(150, false), 150);
    const QString path = dir.filePath(QStringLiteral("zoomed.bcp"));
    ASSERT_TRUE(d.save(path));

    DesignDocument back;
    ASSERT_EQ(back.openFile(path), files::ResultOk);
    EXPECT_EQ(back.zoom(), 150);
    EXPECT_EQ(back.layout().Width(), 350u);
    EXPECT_EQ(back.regionNames(), (QStringList{"Front", "Back"}));
    EXPECT_EQ(back.surface()->count(), 1);
    EXPECT_FALSE(back.isModified());
}

TEST(DesignDocument, FailedSaveKeepsFileNameAndModifiedFlag)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    DesignDocument d;
    ASSERT_EQ(d.createBlank(makeLayout(350, 200), 2), files::ResultOk);
    d.manager()->NewBox(10, 10);
    d.setModified(true);
    Counter caption;
    QObject::connect(&d, &DesignDocument::captionChanged, [&caption](const QString &c) { ++caption.count; caption.last = c; });
    EXPECT_FALSE(d.save(dir.filePath(QStringLiteral("missing/folder/card.bcp"))));
    EXPECT_TRUE(d.isModified());
    EXPECT_TRUE(d.fileName().isEmpty()) << "a failed Save As must not rename the design";
    EXPECT_EQ(d.caption(), "Untitled 2");
    EXPECT_EQ(caption.count, 0);
}

TEST(DesignDocument, UnreadableFileGivesTheReadersResult)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("junk.bcp"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a design at all");
    f.close();
    DesignDocument d;
    const int r = d.openFile(path);
    EXPECT_NE(r, files::ResultOk);
    EXPECT_FALSE(DesignDocument::messageFor(r).isEmpty());
    EXPECT_NE(d.openFile(dir.filePath(QStringLiteral("absent.bcp"))), files::ResultOk);
}
