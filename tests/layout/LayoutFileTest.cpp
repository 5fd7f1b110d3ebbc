// Layout files, the library's collections, list names, opposite orientation, the preview
// geometry, the printing extent and the layout dialog's field rules.
#include "layout/LayoutFile.h"
#include "platform/ProgramFolder.h"

#include "TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace layout;
using testsupport::readFile;
using testsupport::writeFile;

namespace {

LayoutRecord makeLayout(const QString &name, uint32_t rows, uint32_t columns, uint32_t width, uint32_t height,
                        uint32_t top = 0, uint32_t left = 0, uint32_t colSpace = 0, uint32_t rowSpace = 0,
                        uint8_t region = 0, uint8_t paper = 0)
{
    LayoutRecord r;
    r.setName(name);
    r.setRows(rows);
    r.setColumns(columns);
    r.setWidth(width);
    r.setHeight(height);
    r.setTopMargin(top);
    r.setLeftMargin(left);
    r.setColumnSpace(colSpace);
    r.setRowSpace(rowSpace);
    r.setRegionType(region);
    r.setPaperType(paper);
    return r;
}

// A record whose reserved bytes are all set, so a lost byte shows.
LayoutRecord withReserved(LayoutRecord r)
{
    QByteArray b = r.toBytes();
    for (int i = 82; i < 90; ++i)
        b[i] = char(0xA0 + i);
    for (int i = 94; i < LayoutRecord::kSize; ++i)
        b[i] = char(i);
    LayoutRecord out;
    LayoutRecord::fromBytes(b.constData(), b.size(), &out);
    return out;
}

class LayoutLocale : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }
};

} // namespace

// ---- files ----

TEST(LayoutFile, TrailingPartialRecordIsListedNotAndLostOnSave)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const LayoutRecord a = withReserved(makeLayout("First<>note", 5, 2, 350, 200, 50, 75));
    const LayoutRecord b = makeLayout("Second", 4, 2, 350, 200);
    const QByteArray bytes = a.toBytes() + b.toBytes() + QByteArray(1, 'x');
    ASSERT_EQ(bytes.size(), 245);
    const QString path = dir.filePath("Stock.LYT");
    ASSERT_TRUE(writeFile(path, bytes));

    bool ok = false;
    const QList<LayoutRecord> read = readLayoutFile(path, &ok);
    EXPECT_TRUE(ok);
    ASSERT_EQ(read.size(), 2);
    EXPECT_EQ(read[0], a);   // every byte, the reserved ones too
    EXPECT_EQ(read[1], b);
    EXPECT_EQ(parseLayoutFile(bytes), read);

    ASSERT_TRUE(writeLayoutFile(path, read));
    EXPECT_EQ(readFile(path), bytes.left(244));
}

TEST(LayoutFile, ShortMissingAndEmptyFilesGiveNoRecords)
{
    QTemporaryDir dir;
    bool ok = true;
    EXPECT_TRUE(readLayoutFile(dir.filePath("missing.LYT"), &ok).isEmpty());
    EXPECT_FALSE(ok);
    EXPECT_TRUE(readLayoutFile(QString(), &ok).isEmpty());
    EXPECT_TRUE(readLayoutFile(dir.path(), &ok).isEmpty());   // a folder is not a file
    const QString small = dir.filePath("small.LYT");
    ASSERT_TRUE(writeFile(small, QByteArray(121, 'a')));
    EXPECT_TRUE(readLayoutFile(small, &ok).isEmpty());
    EXPECT_TRUE(ok);
    EXPECT_TRUE(parseLayoutFile(QByteArray()).isEmpty());
}

TEST(LayoutFile, FailedWriteLeavesTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Stock.LYT");
    const QList<LayoutRecord> one{makeLayout("One", 1, 1, 200, 200)};
    ASSERT_TRUE(writeLayoutFile(path, one));
    const QByteArray before = readFile(path);
    // A folder where the file should go cannot be written.
    EXPECT_FALSE(writeLayoutFile(dir.filePath("nofolder/x.LYT"), one));
    EXPECT_FALSE(writeLayoutFile(QString(), one));
    // An empty list writes an empty file.
    ASSERT_TRUE(writeLayoutFile(path, {}));
    EXPECT_EQ(QFile(path).size(), 0);
    ASSERT_TRUE(writeLayoutFile(path, one));
    EXPECT_EQ(readFile(path), before);
}

// ---- collections ----

TEST(LayoutLibrary, UserCopyShadowsShippedFileAndSavesGoToTheUserFolder)
{
    QTemporaryDir user, shipped;
    const QList<LayoutRecord> shippedRecords{makeLayout("Shipped", 1, 1, 200, 200)};
    const QList<LayoutRecord> userRecords{makeLayout("Mine", 1, 1, 300, 200)};
    ASSERT_TRUE(writeLayoutFile(shipped.filePath("Letter.LYT"), shippedRecords));
    ASSERT_TRUE(writeLayoutFile(shipped.filePath("a4.lyt"), shippedRecords));
    ASSERT_TRUE(writeLayoutFile(shipped.filePath("notes.txt"), shippedRecords));
    ASSERT_TRUE(writeLayoutFile(shipped.filePath("Zeta.LYT"), shippedRecords));
    ASSERT_TRUE(writeLayoutFile(user.filePath("Letter.LYT"), userRecords));
    ASSERT_TRUE(writeLayoutFile(user.filePath("Mine.LYT"), userRecords));

    const plat::ProgramFolder pf = plat::ProgramFolder::fromFolders(QString(), user.path(), shipped.path(), QString());
    const QList<LayoutCollection> found = findLayoutCollections(pf);
    QStringList names;
    for (const LayoutCollection &c : found)
        names << c.name;
    EXPECT_EQ(names, (QStringList{"a4", "Letter", "Mine", "Zeta"}));
    ASSERT_EQ(found.size(), 4);
    EXPECT_EQ(readLayoutFile(found[1].path), userRecords);   // the user's Letter, not the shipped one
    EXPECT_EQ(QFileInfo(found[0].path).absolutePath(), QDir(shipped.path()).absolutePath());

    // Saving a shipped collection writes the user's copy under the same file name.
    const QString save = layoutSavePath(pf, found[0].path);
    EXPECT_EQ(save, QDir(user.path()).absoluteFilePath("a4.lyt"));
    EXPECT_TRUE(layoutSavePath(pf, QString()).isEmpty());
}

// ---- names ----

TEST(LayoutNames, HeadingsBlanksAndNotes)
{
    const struct {
        const char *name;
        LayoutEntryKind kind;
        const char *list;
        const char *note;
    } cases[] = {
        {"Business Cards<>Clean edge stock", LayoutEntryKind::Layout, "Business Cards", "Clean edge stock"},
        {"Plain name", LayoutEntryKind::Layout, "Plain name", ""},
        {"A<>b<>c", LayoutEntryKind::Layout, "A", "b<>c"},
        {"<>only a note", LayoutEntryKind::Layout, "", "only a note"},
        {"===== Letter <>x", LayoutEntryKind::Heading, "===== Letter <>x", ""},
        {"-----", LayoutEntryKind::Heading, "-----", ""},
        {"----", LayoutEntryKind::Layout, "----", ""},
        {".....<>note", LayoutEntryKind::Blank, "", ""},
        {"....", LayoutEntryKind::Layout, "....", ""},
        {"", LayoutEntryKind::Layout, "", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(entryKind(c.name), c.kind);
        EXPECT_EQ(listText(c.name), QString(c.list));
        EXPECT_EQ(noteText(c.name), QString(c.note));
    }
}

// ---- opposite orientation ----

TEST(LayoutRotation, ExchangesTheAxesAndTurnsFolds)
{
    const LayoutRecord r = withReserved(makeLayout("Cards<>n", 2, 5, 350, 200, 50, 75, 10, 20, 0, 4));
    const LayoutRecord t = rotated(r);
    EXPECT_EQ(t.Rows(), 5u);
    EXPECT_EQ(t.Columns(), 2u);
    EXPECT_EQ(t.Width(), 200u);
    EXPECT_EQ(t.Height(), 350u);
    EXPECT_EQ(t.TopMargin(), 75u);
    EXPECT_EQ(t.LeftMargin(), 50u);
    EXPECT_EQ(t.ColumnSpace(), 20u);
    EXPECT_EQ(t.RowSpace(), 10u);
    EXPECT_EQ(t.Name(), "Cards<>n");
    EXPECT_EQ(t.PaperType(), 4);
    EXPECT_EQ(t.toBytes().mid(82, 8), r.toBytes().mid(82, 8));
    EXPECT_EQ(t.toBytes().mid(93), r.toBytes().mid(93));
    EXPECT_EQ(rotated(t), r);

    const int turned[][2] = {{0, 0}, {1, 2}, {2, 1}, {3, 4}, {4, 3}, {9, 9}};
    for (const auto &p : turned) {
        LayoutRecord f = r;
        f.setRegionType(uint8_t(p[0]));
        EXPECT_EQ(rotated(f).RegionType(), p[1]) << p[0];
    }
}

// ---- preview ----

TEST_F(LayoutLocale, PreviewDrawsTheSheetAtOneSixth)
{
    // Letter: 850 x 1100 -> 141 x 183 pixels, centred in a 200 x 200 box.
    const LayoutRecord r = makeLayout("Cards<>Stock note", 5, 2, 350, 200, 50, 75, 13, 0);
    const LayoutPreview p = layoutPreview(r, false, false, QSize(200, 200));
    ASSERT_TRUE(p.shown);
    EXPECT_EQ(p.size, "3.50 in x 2.00 in");
    EXPECT_EQ(p.note, "Stock note");
    EXPECT_EQ(p.paper, QSize(850, 1100));
    EXPECT_EQ(p.sheet, QRect(29, 8, 142, 184));
    ASSERT_EQ(p.elements.size(), 10);
    // w = 58, h = 33, left = 12, top = 8; the column step is 58 + 13/6 = 60.17.
    EXPECT_EQ(p.elements[0], QRect(42, 17, 58, 33));
    EXPECT_EQ(p.elements[1], QRect(102, 17, 58, 33));
    EXPECT_EQ(p.elements[9], QRect(102, 149, 58, 33));

    EXPECT_EQ(layoutPreview(r, false, true, QSize(200, 200)).size, "88.90 mm x 50.80 mm");
}

TEST_F(LayoutLocale, PreviewTurnsThePaperWhenTheColumnsNeedItAndForOpposite)
{
    // Three columns of 300 on Letter need 900 > 850: the sheet lies landscape.
    const LayoutRecord wide = makeLayout("Wide", 2, 3, 300, 200);
    EXPECT_EQ(layoutPreview(wide, false, false, QSize(300, 300)).paper, QSize(1100, 850));
    // Opposite orientation turns the record and the sheet once more.
    const LayoutPreview o = layoutPreview(wide, true, false, QSize(300, 300));
    EXPECT_EQ(o.paper, QSize(850, 1100));
    EXPECT_EQ(o.size, "2.00 in x 3.00 in");
    ASSERT_EQ(o.elements.size(), 6);
    EXPECT_EQ(o.elements[0].size(), QSize(33, 50));
    // The standard cards turned: 5 columns of 200 with paper 1100 wide.
    const LayoutRecord cards = makeLayout("Cards", 5, 2, 350, 200, 50, 75);
    const LayoutPreview t = layoutPreview(cards, true, false, QSize(200, 200));
    EXPECT_EQ(t.paper, QSize(1100, 850));
    EXPECT_EQ(t.sheet.size(), QSize(184, 142));
    EXPECT_EQ(t.elements.size(), 10);
    EXPECT_EQ(t.elements[0].size(), QSize(33, 58));
}

TEST(LayoutPreviewGeometry, NothingForHeadingsAndBlanksAndBoundedForDamagedRecords)
{
    for (const char *name : {"===== Heading", "-----", "....."}) {
        const LayoutPreview p = layoutPreview(makeLayout(name, 5, 2, 350, 200), false, false, QSize(200, 200));
        EXPECT_FALSE(p.shown) << name;
        EXPECT_TRUE(p.elements.isEmpty());
        EXPECT_TRUE(p.size.isEmpty());
    }
    // Four thousand million rows and columns: the outlines stop at the box.
    QElapsedTimer timer;
    timer.start();
    const LayoutPreview huge = layoutPreview(makeLayout("Damaged", 0xFFFFFFFFu, 0xFFFFFFFFu, 60, 60), false, false,
                                             QSize(200, 200));
    EXPECT_LT(huge.elements.size(), 1000);
    for (const QRect &e : huge.elements)
        EXPECT_LE(e.left(), 200);
    // Zero-sized elements with no gaps do not advance: still a bounded loop and nothing drawn.
    const LayoutPreview flat = layoutPreview(makeLayout("Zero", 0xFFFFFFFFu, 0xFFFFFFFFu, 0, 0), false, false,
                                             QSize(200, 200));
    EXPECT_TRUE(flat.elements.isEmpty());
    EXPECT_LT(timer.elapsed(), 5000);
    // A paper type out of the table draws Letter.
    EXPECT_EQ(layoutPreview(makeLayout("Odd", 1, 1, 200, 200, 0, 0, 0, 0, 0, 200), false, false, QSize(200, 200)).paper,
              QSize(850, 1100));
}

// ---- printing extent ----

TEST(LayoutPrintSheet, LandscapeWhenColumnsWithBothMarginsNeedIt)
{
    const struct { uint32_t columns, width, left, colSpace; QSize sheet; } cases[] = {
        {3, 280, 25, 0, QSize(1100, 850)},   // 840 + 50 = 890 > 875
        {3, 270, 35, 0, QSize(1100, 850)},   // 810 + 70 = 880 > 875
        {2, 350, 75, 0, QSize(850, 1100)},   // 700 + 150 = 850
        {2, 350, 87, 0, QSize(850, 1100)},   // 874: within the 25 of tolerance
        {2, 350, 88, 0, QSize(1100, 850)},   // 876
        {2, 350, 50, 50, QSize(850, 1100)},  // 750 + 100
        {0, 350, 0, 100, QSize(850, 1100)},  // no columns: -100
    };
    for (const auto &c : cases) {
        const LayoutRecord r = makeLayout("x", 1, c.columns, c.width, 200, 0, c.left, c.colSpace);
        EXPECT_EQ(printSheet(r), c.sheet) << c.columns << " x " << c.width << " + " << c.left;
    }
    // Stored values at their largest: no overflow, and nothing fits.
    const LayoutRecord huge = makeLayout("x", 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu,
                                         0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu);
    EXPECT_EQ(printSheet(huge), QSize(1100, 850));
    EXPECT_FALSE(elementsFitSheet(huge));
    EXPECT_TRUE(elementsFitSheet(makeLayout("x", 5, 2, 350, 200, 50, 75)));
    EXPECT_TRUE(elementsFitSheet(makeLayout("x", 5, 2, 350, 200, 100, 75)));    // exactly 1100
    EXPECT_FALSE(elementsFitSheet(makeLayout("x", 5, 2, 350, 200, 101, 75)));
    EXPECT_FALSE(elementsFitSheet(makeLayout("x", 6, 2, 350, 200, 0, 75)));
    // Landscape helps the columns but then the rows must fit 850.
    EXPECT_TRUE(elementsFitSheet(makeLayout("x", 4, 3, 300, 200, 25, 25)));
    EXPECT_FALSE(elementsFitSheet(makeLayout("x", 5, 3, 300, 200, 25, 25)));
}

// ---- the layout dialog's fields ----

TEST_F(LayoutLocale, FieldsShowTheRecordAndEmptyForZeroSizesAndCounts)
{
    const LayoutFields zero = layoutFields(LayoutRecord(), false);
    EXPECT_TRUE(zero.width.isEmpty());
    EXPECT_TRUE(zero.height.isEmpty());
    EXPECT_TRUE(zero.rows.isEmpty());
    EXPECT_TRUE(zero.columns.isEmpty());
    EXPECT_EQ(zero.topMargin, "0.0000");
    EXPECT_EQ(zero.columnSpace, "0.0000");
    EXPECT_EQ(zero.paperIndex, 0);

    LayoutRecord r = makeLayout("Cards<>n", 5, 2, 350, 200, 50, 75, 13, 0, 3, 4);
    r.setBackPrintable(1);
    const LayoutFields f = layoutFields(r, false);
    EXPECT_EQ(f.name, "Cards<>n");
    EXPECT_EQ(f.width, "3.5000");
    EXPECT_EQ(f.height, "2.0000");
    EXPECT_EQ(f.rows, "5");
    EXPECT_EQ(f.columns, "2");
    EXPECT_EQ(f.topMargin, "0.5000");
    EXPECT_EQ(f.leftMargin, "0.7500");
    EXPECT_EQ(f.columnSpace, "0.1300");
    EXPECT_EQ(f.regionType, 3);
    EXPECT_TRUE(f.backPrintable);
    EXPECT_EQ(f.paperIndex, 4);
    EXPECT_EQ(layoutFields(r, true).width, "88.9000");
    r.setPaperType(9);
    EXPECT_EQ(layoutFields(r, false).paperIndex, -1);
}

TEST_F(LayoutLocale, FieldsRoundTripKeepEveryByte)
{
    for (bool metric : {false, true}) {
        LayoutRecord r = withReserved(makeLayout("Cards<>n", 5, 2, 350, 200, 50, 75, 13, 7, 0, 4));
        r.setTemplateKind(4);
        LayoutRecord out = r;
        ASSERT_EQ(applyLayoutFields(layoutFields(r, metric), &out), LayoutFieldsResult::Ok) << metric;
        EXPECT_EQ(out, r) << metric;
    }
}

TEST_F(LayoutLocale, FieldRulesAndMessagesInTheirOrder)
{
    const LayoutRecord base = withReserved(makeLayout("Cards", 5, 2, 350, 200, 50, 75));
    const LayoutFields good = layoutFields(base, false);
    using F = LayoutField;
    struct Case {
        const char *what;
        void (*edit)(LayoutFields &);
        LayoutFieldsResult result;
        LayoutField field;    // the field named when a number is refused
    };
    const Case cases[] = {
        {"comma where the locale uses a point", [](LayoutFields &f) { f.width = "3,5"; }, LayoutFieldsResult::InvalidNumber, F::Width},
        {"empty width", [](LayoutFields &f) { f.width.clear(); }, LayoutFieldsResult::InvalidNumber, F::Width},
        {"height not a number", [](LayoutFields &f) { f.height = "tall"; }, LayoutFieldsResult::InvalidNumber, F::Height},
        {"inch numbers read as mm", [](LayoutFields &f) { f.metric = true; }, LayoutFieldsResult::RegionSize, F::None},
        {"149 units wide", [](LayoutFields &f) { f.width = "1.49"; }, LayoutFieldsResult::RegionSize, F::None},
        {"150 units wide", [](LayoutFields &f) { f.width = "1.5"; }, LayoutFieldsResult::Ok, F::None},
        {"400 units high", [](LayoutFields &f) { f.height = "4"; }, LayoutFieldsResult::Ok, F::None},
        {"401 units high", [](LayoutFields &f) { f.height = "4.01"; }, LayoutFieldsResult::RegionSize, F::None},
        {"side fold halves the width", [](LayoutFields &f) { f.regionType = 1; f.width = "2.5"; },
         LayoutFieldsResult::RegionSize, F::None},
        {"flat card of the same width", [](LayoutFields &f) { f.width = "2.5"; }, LayoutFieldsResult::Ok, F::None},
        {"side fold of 7 in", [](LayoutFields &f) { f.regionType = 1; f.width = "7"; }, LayoutFieldsResult::Ok, F::None},
        {"region check comes before the counts", [](LayoutFields &f) { f.width = "1"; f.rows = "x"; },
         LayoutFieldsResult::RegionSize, F::None},
        {"rows not a number", [](LayoutFields &f) { f.rows = "five"; }, LayoutFieldsResult::InvalidNumber, F::Rows},
        {"rows with decimals", [](LayoutFields &f) { f.rows = "2.5"; }, LayoutFieldsResult::InvalidNumber, F::Rows},
        {"negative columns", [](LayoutFields &f) { f.columns = "-1"; }, LayoutFieldsResult::InvalidNumber, F::Columns},
        {"negative margin", [](LayoutFields &f) { f.topMargin = "-0.5"; }, LayoutFieldsResult::InvalidNumber, F::TopMargin},
        {"left margin not a number", [](LayoutFields &f) { f.leftMargin = "a"; }, LayoutFieldsResult::InvalidNumber, F::LeftMargin},
        {"empty gap", [](LayoutFields &f) { f.rowSpace.clear(); }, LayoutFieldsResult::InvalidNumber, F::RowSpace},
        {"column gap not a number", [](LayoutFields &f) { f.columnSpace = "wide"; }, LayoutFieldsResult::InvalidNumber,
         F::ColumnSpace},
        {"the first bad field is named", [](LayoutFields &f) { f.columns = "x"; f.rows = "y"; },
         LayoutFieldsResult::InvalidNumber, F::Rows},
        {"zero rows", [](LayoutFields &f) { f.rows = "0"; }, LayoutFieldsResult::Ok, F::None},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        LayoutFields f = good;
        c.edit(f);
        LayoutRecord r = base;
        LayoutField bad = F::Width;
        EXPECT_EQ(applyLayoutFields(f, &r, &bad), c.result);
        EXPECT_EQ(bad, c.field);
        if (c.result != LayoutFieldsResult::Ok) {
            EXPECT_EQ(r, base);   // a refused OK changes nothing
        }
    }
    EXPECT_EQ(invalidLayoutMessage(), "Please enter valid layout settings before clicking OK.");
    EXPECT_EQ(invalidLayoutMessage(F::Rows),
              "Please enter valid layout settings before clicking OK.\n\nRows must be a whole number of 0 or more.");
    EXPECT_EQ(invalidLayoutMessage(F::ColumnSpace), "Please enter valid layout settings before clicking OK.\n\n"
                                                    "The space between columns must be a number of 0 or more.");
}

TEST_F(LayoutLocale, FieldsStoreWhatWasTyped)
{
    LayoutRecord r = withReserved(makeLayout("Old", 5, 2, 350, 200, 50, 75));
    LayoutFields f = layoutFields(r, true);
    f.name = "A4 cards<>European stock";
    f.paperIndex = -1;          // a paper the list does not offer
    f.width = "85";
    f.height = "54";
    f.rows = " 5 ";
    f.columns = "2";
    f.topMargin = "13.5";
    f.leftMargin = "20";
    f.columnSpace = "0";
    f.rowSpace = "88.9";
    f.regionType = 0;
    f.backPrintable = true;
    ASSERT_EQ(applyLayoutFields(f, &r), LayoutFieldsResult::Ok);
    EXPECT_EQ(r.Name(), "A4 cards<>European stock");
    EXPECT_EQ(r.PaperType(), 255);
    EXPECT_EQ(r.Width(), 334u);
    EXPECT_EQ(r.Height(), 212u);
    EXPECT_EQ(r.Rows(), 5u);
    EXPECT_EQ(r.TopMargin(), 53u);
    EXPECT_EQ(r.LeftMargin(), 78u);
    EXPECT_EQ(r.RowSpace(), 350u);
    EXPECT_EQ(r.BackPrintable(), 1);
    // A stored region type the dialog cannot show stays and fails the check.
    LayoutRecord odd = makeLayout("Odd", 1, 1, 350, 200, 0, 0, 0, 0, 7);
    LayoutFields g = layoutFields(odd, false);
    g.regionType = -1;
    EXPECT_EQ(applyLayoutFields(g, &odd), LayoutFieldsResult::RegionSize);
}
