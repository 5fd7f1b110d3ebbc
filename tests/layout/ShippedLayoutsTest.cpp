// The layout files shipped in data/: every layout must be usable by the program and lie
// on its paper, and the collections must carry the stock they promise.
#include "layout/LayoutFile.h"
#include "platform/ProgramFolder.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QFileInfo>
#include <gtest/gtest.h>

#include "TestSupport.h"

#include <functional>

using namespace layout;

namespace {

struct Shipped {
    QString collection;
    LayoutRecord record;
};

QList<Shipped> shippedLibrary()
{
    const plat::ProgramFolder pf =
        plat::ProgramFolder::fromFolders(QStringLiteral(OSTRAVEL_SOURCE_DATA_DIR), QString(), QString(), QString());
    QList<Shipped> out;
    for (const LayoutCollection &c : findLayoutCollections(pf)) {
        bool ok = false;
        const QList<LayoutRecord> records = readLayoutFile(c.path, &ok);
        EXPECT_TRUE(ok) << c.path.toStdString();
        EXPECT_EQ(QFileInfo(c.path).size() % LayoutRecord::kSize, 0) << c.path.toStdString();
        for (const LayoutRecord &r : records)
            out.append({c.name, r});
    }
    return out;
}

QList<LayoutRecord> layoutsOf(const QList<Shipped> &all, const QString &collection)
{
    QList<LayoutRecord> out;
    for (const Shipped &s : all)
        if (s.collection == collection)
            out.append(s.record);
    return out;
}

bool any(const QList<LayoutRecord> &records, const std::function<bool(const LayoutRecord &)> &pred)
{
    for (const LayoutRecord &r : records)
        if (isPickable(r) && pred(r))
            return true;
    return false;
}

} // namespace

TEST(ShippedLayouts, EveryLayoutPassesTheRegionCheckAndFitsItsPaper)
{
    const QList<Shipped> all = shippedLibrary();
    int layouts = 0;
    for (const Shipped &s : all) {
        const LayoutRecord &r = s.record;
        const std::string where = (s.collection + QStringLiteral(": ") + r.Name()).toStdString();
        // Names fit the dialog's 49 characters and the field ends in zeros.
        const QByteArray raw = r.toBytes();
        EXPECT_EQ(raw[49], '\0') << where;
        if (!isPickable(r)) {
            EXPECT_EQ(raw.mid(LayoutRecord::kNameSize), QByteArray(LayoutRecord::kSize - LayoutRecord::kNameSize, '\0'))
                << where;
            continue;
        }
        ++layouts;
        EXPECT_FALSE(listText(r.Name()).trimmed().isEmpty()) << where;
        EXPECT_TRUE(regionSizeOk(r)) << where;
        EXPECT_TRUE(elementsFitSheet(r)) << where;
        EXPECT_GE(r.Rows(), 1u) << where;
        EXPECT_GE(r.Columns(), 1u) << where;
        EXPECT_LE(r.PaperType(), 5) << where;       // a paper the layout dialog offers
        EXPECT_LE(r.RegionType(), 4) << where;
        EXPECT_LE(r.BackPrintable(), 1) << where;
        EXPECT_EQ(r.TemplateKind(), 0) << where;
        // Folded cards print their cover on the second face, which needs a printable back.
        if (r.RegionType() != 0) {
            EXPECT_EQ(r.BackPrintable(), 1) << where;
        }
    }
    EXPECT_GE(layouts, 20);
}

TEST(ShippedLayouts, LetterAndA4CollectionsCarryTheCommonStock)
{
    const QList<Shipped> all = shippedLibrary();
    const QList<LayoutRecord> letter = layoutsOf(all, QStringLiteral("US Letter"));
    const QList<LayoutRecord> a4 = layoutsOf(all, QStringLiteral("A4"));
    ASSERT_FALSE(letter.isEmpty());
    ASSERT_FALSE(a4.isEmpty());

    for (const auto *collection : {&letter, &a4}) {
        bool heading = false, blank = false, note = false;
        for (const LayoutRecord &r : *collection) {
            heading |= entryKind(r.Name()) == LayoutEntryKind::Heading;
            blank |= entryKind(r.Name()) == LayoutEntryKind::Blank;
            note |= !noteText(r.Name()).isEmpty();
        }
        EXPECT_TRUE(heading);
        EXPECT_TRUE(blank);
        EXPECT_TRUE(note);
        // Folded business cards of every fold, and "custom" starting points.
        for (int type = 1; type <= 4; ++type)
            EXPECT_TRUE(any(*collection, [type](const LayoutRecord &r) { return r.RegionType() == type; })) << type;
        EXPECT_TRUE(any(*collection, [](const LayoutRecord &r) { return r.Name().startsWith("Custom"); }));
        EXPECT_TRUE(any(*collection, [](const LayoutRecord &r) { return r.Name().contains("Note Card")
                                                                     || r.Name().contains("Card A8"); }));
    }
    for (const LayoutRecord &r : letter) {
        if (isPickable(r)) {
            EXPECT_EQ(r.PaperType(), 0) << r.Name().toStdString();
        }
    }
    for (const LayoutRecord &r : a4) {
        if (isPickable(r)) {
            EXPECT_EQ(r.PaperType(), 4) << r.Name().toStdString();
        }
    }

    // 10 cards of 3.5 x 2 in on Letter with 0.75 in side and 0.5 in top margins.
    EXPECT_TRUE(any(letter, [](const LayoutRecord &r) {
        return r.RegionType() == 0 && r.Columns() == 2 && r.Rows() == 5 && r.Width() == 350 && r.Height() == 200
               && r.LeftMargin() == 75 && r.TopMargin() == 50 && r.ColumnSpace() == 0 && r.RowSpace() == 0;
    }));
    // 8 cards of 3.5 x 2 in with gaps.
    EXPECT_TRUE(any(letter, [](const LayoutRecord &r) {
        return r.Columns() == 2 && r.Rows() == 4 && r.Width() == 350 && r.Height() == 200 && r.ColumnSpace() > 0
               && r.RowSpace() > 0;
    }));
    // 10 cards of 85 x 54 mm on A4.
    EXPECT_TRUE(any(a4, [](const LayoutRecord &r) {
        return r.RegionType() == 0 && r.Columns() == 2 && r.Rows() == 5 && r.Width() == 334 && r.Height() == 212;
    }));
}

// The shipped files are what the generator makes of the table: nobody edited one without
// the other.
TEST(ShippedLayouts, DataFilesMatchTheTable)
{
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty())
        GTEST_SKIP() << "python3 is not available";
    const QString root = QDir(testsupport::testDataDir() + QStringLiteral("/..")).absolutePath();
    QTemporaryDir out;
    ASSERT_TRUE(out.isValid());
    QProcess gen;
    gen.start(python, {root + QStringLiteral("/tools/make_layouts.py"), QStringLiteral("--out"), out.path()});
    ASSERT_TRUE(gen.waitForFinished(60000));
    ASSERT_EQ(gen.exitCode(), 0) << gen.readAllStandardError().toStdString();
    const QStringList made = QDir(out.path()).entryList({QStringLiteral("*.LYT")}, QDir::Files, QDir::Name);
    const QStringList shipped =
        QDir(QStringLiteral(OSTRAVEL_SOURCE_DATA_DIR)).entryList({QStringLiteral("*.LYT")}, QDir::Files, QDir::Name);
    EXPECT_EQ(made, shipped);
    for (const QString &name : made)
        EXPECT_EQ(testsupport::readFile(out.filePath(name)),
                  testsupport::readFile(QStringLiteral(OSTRAVEL_SOURCE_DATA_DIR "/") + name))
            << name.toStdString();
}
