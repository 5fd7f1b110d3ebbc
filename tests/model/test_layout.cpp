// The layout record, paper table, region model, display units and region size check.
#include "layout/LayoutRecord.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

using namespace layout;

TEST(LayoutRecord, EveryByteSurvivesReadEditWrite)
{
    QByteArray raw(LayoutRecord::kSize, '\0');
    for (int i = 0; i < LayoutRecord::kSize; ++i)
        raw[i] = char(i * 37 + 11);
    LayoutRecord l;
    ASSERT_TRUE(LayoutRecord::fromBytes(raw.constData(), raw.size(), &l));
    EXPECT_EQ(l.toBytes(), raw);

    // Editing every named field leaves both reserved areas as they were.
    l.setName(QStringLiteral("Edited"));
    l.setRows(3);
    l.setColumns(4);
    l.setWidth(350);
    l.setHeight(200);
    l.setTopMargin(1);
    l.setLeftMargin(2);
    l.setColumnSpace(5);
    l.setRowSpace(6);
    l.setRegionType(2);
    l.setBackPrintable(1);
    l.setPaperType(16);
    l.setTemplateKind(4);
    const QByteArray edited = l.toBytes();
    EXPECT_EQ(edited.mid(82, 8), raw.mid(82, 8));
    EXPECT_EQ(edited.mid(94, 28), raw.mid(94, 28));
    // Name field: text, then zeros to the end of its 50 bytes.
    EXPECT_EQ(edited.left(50), QByteArray("Edited") + QByteArray(44, '\0'));
}

TEST(LayoutRecord, FieldsSitAtTheirOffsetsLittleEndian)
{
    struct Case { void (LayoutRecord::*set)(uint32_t); int offset; };
    const Case cases[] = {
        {&LayoutRecord::setRows, 50}, {&LayoutRecord::setColumns, 54}, {&LayoutRecord::setWidth, 58},
        {&LayoutRecord::setHeight, 62}, {&LayoutRecord::setTopMargin, 66}, {&LayoutRecord::setLeftMargin, 70},
        {&LayoutRecord::setColumnSpace, 74}, {&LayoutRecord::setRowSpace, 78},
    };
    for (const Case &c : cases) {
        LayoutRecord l;
        (l.*c.set)(0xA1B2C3D4u);
        QByteArray expected(LayoutRecord::kSize, '\0');
        expected.replace(c.offset, 4, QByteArray::fromHex("d4c3b2a1"));
        EXPECT_EQ(l.toBytes(), expected) << c.offset;
    }
    LayoutRecord l;
    l.setRegionType(4);
    l.setBackPrintable(1);
    l.setPaperType(5);
    l.setTemplateKind(4);
    EXPECT_EQ(l.toBytes().mid(90, 4), QByteArray::fromHex("04010504"));
    EXPECT_EQ(LayoutRecord().toBytes(), QByteArray(LayoutRecord::kSize, '\0'));
}

TEST(LayoutRecord, ShortInputIsRefusedAndLeavesZeroRecord)
{
    const QByteArray raw(LayoutRecord::kSize - 1, '\x7F');
    LayoutRecord l;
    l.setRows(9);
    EXPECT_FALSE(LayoutRecord::fromBytes(raw.constData(), raw.size(), &l));
    EXPECT_EQ(l, LayoutRecord());
}

TEST(LayoutRecord, NameIsCutAndReadUpToItsTerminator)
{
    LayoutRecord l;
    l.setName(QString(60, QLatin1Char('x')));
    EXPECT_EQ(l.Name(), QString(49, QLatin1Char('x')));
    EXPECT_EQ(l.toBytes().at(49), '\0');
    l.setName(QStringLiteral("Caf\u00e9 <>note"));
    EXPECT_EQ(l.Name(), QStringLiteral("Caf\u00e9 <>note"));
    EXPECT_EQ(uint8_t(l.toBytes().at(3)), 0xE9);

    // A stored name that fills all 50 bytes without a terminator reads as 50 characters.
    QByteArray raw(LayoutRecord::kSize, '\0');
    raw.replace(0, 50, QByteArray(50, 'n'));
    LayoutRecord::fromBytes(raw.constData(), raw.size(), &l);
    EXPECT_EQ(l.Name().size(), 50);
}

TEST(LayoutRecord, SheetExtentAndElementCorners)
{
    LayoutRecord l;
    l.setRows(5);
    l.setColumns(2);
    l.setWidth(350);
    l.setHeight(200);
    l.setTopMargin(50);
    l.setLeftMargin(75);
    l.setColumnSpace(10);
    l.setRowSpace(20);
    EXPECT_EQ(l.sheetExtentWidth(), 2 * 350 + 1 * 10 + 75);
    EXPECT_EQ(l.sheetExtentHeight(), 5 * 200 + 4 * 20 + 50);
    EXPECT_EQ(l.elementLeft(1), 75 + 360);
    EXPECT_EQ(l.elementTop(3), 50 + 3 * 220);
    // Unsigned fields at their maximum do not overflow: the sums are clamped.
    l.setColumns(0xFFFFFFFFu);
    l.setWidth(0xFFFFFFFFu);
    l.setColumnSpace(0xFFFFFFFFu);
    EXPECT_EQ(l.sheetExtentWidth(), INT64_MAX);
    EXPECT_EQ(l.elementLeft(INT32_MAX), INT64_MAX);
    EXPECT_EQ(l.elementLeft(INT32_MIN), INT64_MIN);
    l.setColumns(0);
    EXPECT_EQ(l.sheetExtentWidth(), 75 - int64_t(0xFFFFFFFFu)); // no columns: one gap less
}

TEST(PaperTable, EveryTypeAndTheFallback)
{
    struct Case { int type, code, width, height; bool ok; };
    const Case cases[] = {
        {0, 1, 850, 1100, true}, {1, 5, 850, 1400, true}, {2, 7, 725, 1050, true},
        {3, 8, 1169, 1654, true}, {4, 9, 827, 1169, true}, {5, 11, 583, 827, true},
        {6, 19, 388, 888, true}, {7, 20, 413, 950, true}, {8, 21, 450, 1038, true},
        {9, 22, 475, 1100, true}, {10, 37, 388, 750, true}, {11, 38, 363, 650, true},
        {12, 27, 433, 866, true}, {13, 30, 902, 1276, true}, {14, 28, 638, 902, true},
        {15, 31, 449, 638, true}, {16, 32, 449, 902, true},
        {17, 1, 850, 1100, false}, {255, 1, 850, 1100, false}, {-1, 1, 850, 1100, false},
    };
    for (const Case &c : cases) {
        int code = -7, w = -7, h = -7;
        EXPECT_EQ(GetPaperInfo(c.type, &code, &w, &h), c.ok) << c.type;
        EXPECT_EQ(code, c.code) << c.type;
        EXPECT_EQ(w, c.width) << c.type;
        EXPECT_EQ(h, c.height) << c.type;
    }
    EXPECT_TRUE(GetPaperInfo(3, nullptr, nullptr, nullptr));
    EXPECT_EQ(paperNames().size(), 6);
    EXPECT_EQ(paperNames().at(4), QStringLiteral("A4 (210 x 297 mm)"));
}

TEST(RegionInfo, SizesFlagsNamesAndCounts)
{
    struct Case { int type, second, width, height; int count, rw, rh, sideFold, flat; };
    const Case cases[] = {
        {0, 0, 350, 200, 1, 350, 200, 0, 1},
        {0, 1, 350, 200, 1, 350, 200, 0, 1},
        {1, 0, 700, 200, 2, 350, 200, 1, 0},
        {1, 1, 701, 200, 1, 350, 200, 1, 0}, // odd width halves toward zero
        {2, 0, 350, 401, 2, 350, 200, 0, 0},
        {3, 0, 700, 250, 2, 350, 250, 1, 0},
        {4, 1, 250, 700, 1, 250, 350, 0, 0},
    };
    for (const Case &c : cases) {
        QStringList names{QStringLiteral("stale")};
        int rw = -1, rh = -1, reserved = -1, sideFold = -1, flat = -1;
        EXPECT_EQ(GetRegionInfo(c.type, c.second, c.width, c.height, &names, &rw, &rh, &reserved,
                                &sideFold, &flat), c.count) << c.type;
        EXPECT_EQ(rw, c.rw) << c.type;
        EXPECT_EQ(rh, c.rh) << c.type;
        EXPECT_EQ(reserved, 0);
        EXPECT_EQ(sideFold, c.sideFold) << c.type;
        EXPECT_EQ(flat, c.flat) << c.type;
        const QStringList expected = c.type == 0
            ? QStringList{QStringLiteral("Front"), QStringLiteral("Back")}
            : QStringList{QStringLiteral("Inside"), QStringLiteral("Inside Cover"), QStringLiteral("Cover")};
        EXPECT_EQ(names, expected) << c.type;
    }
}

TEST(RegionInfo, TypesAboveFourSetNothing)
{
    QStringList names{QStringLiteral("stale")};
    int rw = -1, rh = -1, reserved = -1, sideFold = -1, flat = -1;
    EXPECT_EQ(GetRegionInfo(5, 0, 700, 200, &names, &rw, &rh, &reserved, &sideFold, &flat), 0);
    EXPECT_TRUE(names.isEmpty());
    EXPECT_EQ(rw, -1);
    EXPECT_EQ(rh, -1);
    EXPECT_EQ(flat, -1);
    EXPECT_EQ(GetRegionInfo(255, 1, 700, 200, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
}

TEST(RegionSide, ListIndexToSideAndRegion)
{
    struct Case { int type, index, side, region; };
    const Case cases[] = {
        {0, 0, 0, 0}, {0, 1, 1, 0}, {0, 5, 1, 0},
        {1, 0, 0, 1}, {1, 1, 0, 0}, {1, 2, 1, 0}, {4, 0, 0, 1}, {3, 7, 1, 0},
    };
    for (const Case &c : cases) {
        int side = -1, region = -1;
        EXPECT_TRUE(GetRegionSide(c.type, c.index, &side, &region));
        EXPECT_EQ(side, c.side) << c.type << "/" << c.index;
        EXPECT_EQ(region, c.region) << c.type << "/" << c.index;
    }
    int side = -9, region = -9;
    EXPECT_TRUE(GetRegionSide(5, 0, &side, &region));
    EXPECT_EQ(side, -9);
    EXPECT_EQ(region, -9);
}

TEST(RegionList, FlatBackOnlyWhenPrintable)
{
    LayoutRecord l;
    l.setWidth(350);
    l.setHeight(200);
    EXPECT_EQ(regionListNames(l), QStringList{QStringLiteral("Front")});
    l.setBackPrintable(1);
    EXPECT_EQ(regionListNames(l), (QStringList{QStringLiteral("Front"), QStringLiteral("Back")}));
    for (int type = 1; type <= 4; ++type) {
        l.setRegionType(uint8_t(type));
        l.setBackPrintable(uint8_t(type % 2));
        EXPECT_EQ(regionListNames(l), (QStringList{QStringLiteral("Inside"), QStringLiteral("Inside Cover"),
                                                   QStringLiteral("Cover")}));
    }
    EXPECT_EQ(regionTypeNames().at(3), QStringLiteral("Side Fold Wide Business Card"));
}

TEST(DisplayUnits, TypedValuesTruncateAfterTheSmallAddition)
{
    struct Case { double value; bool metric; int32_t units; };
    const Case cases[] = {
        {3.5, false, 350}, {88.9, true, 350}, {0.004, false, 0}, {-1.5, false, -149},
        {1.5, false, 150}, {4.0, false, 400}, {38.1, true, 150}, {101.6, true, 400},
        {0.0, true, 0}, {2.54, true, 10}, {1e12, false, std::numeric_limits<int32_t>::max()},
        {-1e12, false, std::numeric_limits<int32_t>::min()},
        {std::nan(""), false, 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(DisplayToUnits(c.value, c.metric), c.units) << c.value << (c.metric ? " mm" : " in");
}

TEST(DisplayUnits, UnitsShowAsInchesOrMillimetres)
{
    EXPECT_DOUBLE_EQ(UnitsToDisplay(350, true), 88.9);
    EXPECT_DOUBLE_EQ(UnitsToDisplay(350, false), 3.5);
    EXPECT_DOUBLE_EQ(UnitsToDisplay(0xFFFFFFFFu, false), 42949672.95); // read as unsigned
    int32_t u = 0;
    EXPECT_TRUE(DisplayTextToUnits(QStringLiteral(" 3.5 "), false, &u));
    EXPECT_EQ(u, 350);
    EXPECT_FALSE(DisplayTextToUnits(QStringLiteral("abc"), false, &u));
    EXPECT_EQ(u, 350);
}

TEST(RegionSizeCheck, BoundsAreInclusive)
{
    struct Case { int type; uint32_t width, height; bool ok; };
    const Case cases[] = {
        {0, 150, 150, true}, {0, 400, 400, true}, {0, 149, 200, false}, {0, 350, 401, false},
        {1, 300, 200, true}, {1, 299, 200, false}, {1, 801, 200, true}, {1, 802, 200, false},
        {2, 350, 300, true}, {4, 350, 298, false}, {5, 350, 200, false},
        {0, 0xFFFFFFFFu, 200, false},
    };
    for (const Case &c : cases) {
        LayoutRecord l;
        l.setRegionType(uint8_t(c.type));
        l.setWidth(c.width);
        l.setHeight(c.height);
        EXPECT_EQ(regionSizeOk(l), c.ok) << c.type << " " << c.width << "x" << c.height;
    }
    EXPECT_EQ(regionSizeDialogMessage(false),
              QStringLiteral("The width and height or each region must be between 1.50 and 4.00"));
    EXPECT_EQ(regionSizeDialogMessage(true),
              QStringLiteral("The width and height or each region must be between 38.10 and 101.60"));
    EXPECT_EQ(regionSizeDocumentMessage(),
              QStringLiteral("The width and height must be between 1.50 and 4.00 inches"));
}
