// The native design format: round trips, result codes, zoom, templates and saving.
#include "FileTestSupport.h"

#include "platform/ByteIO.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <unistd.h>

using namespace filetests;

namespace {

int32_t i32(const QByteArray &b, int off) { return int32_t(plat::getU32(b.constData() + off)); }

QRect unitsOf(const QByteArray &b, int rec)
{
    return QRect(i32(b, rec + model::Rec::Left), i32(b, rec + model::Rec::Top),
                 i32(b, rec + model::Rec::Width), i32(b, rec + model::Rec::Height));
}

} // namespace

// ---------------------------------------------------------------- fixtures

TEST(DesignFixtures, CommittedFilesAreWhatTheWriterProduces)
{
    // The writer is deterministic and the fixtures are up to date: regenerate them with
    // make_design_fixtures after a deliberate format change.
    for (const auto &[name, bytes] : samples::designFixtures())
        EXPECT_EQ(fixtureBytes(name), bytes) << name.toStdString();
}

TEST(DesignFile, HeaderAndSectionLayoutOfTheSample)
{
    const QByteArray b = fixtureBytes(QStringLiteral("sample.bcp"));
    ASSERT_GT(b.size(), samples::kFirstSection);
    EXPECT_EQ(i32(b, 0), 600);
    EXPECT_EQ(b.mid(4, 4), QByteArray::fromHex("1c118fa7"));
    EXPECT_EQ(i32(b, 8), 100);
    EXPECT_EQ(i32(b, 12), 2);
    EXPECT_EQ(b.mid(16, 256), QByteArray(256, '\0'));
    EXPECT_EQ(b.mid(272, 13), QByteArray("contacts.csv\0", 13));
    EXPECT_EQ(b.mid(samples::kLayoutOffset, 122), samples::flatLayout().toBytes());

    const auto sec = samples::sections(b);
    ASSERT_EQ(sec.size(), 2u);
    // Front (0,0) with a bitmap, then Back (1,0) with a metafile: region, side, kind.
    EXPECT_EQ(b.mid(sec[0].record, 4), QByteArray("\0\0B\0", 4));
    EXPECT_EQ(b.mid(sec[1].record, 4), QByteArray("\0\1M\0", 4));
    EXPECT_EQ(i32(b, sec[0].record + 4), 7);
    EXPECT_EQ(i32(b, sec[1].record + 4), 2);
    EXPECT_EQ(b.mid(sec[0].record + 12, 128), QByteArray(128, '\0'));
    EXPECT_EQ(i32(b, sec[0].record + 140), 10); // margins left, right, top, bottom
    EXPECT_EQ(i32(b, sec[0].record + 144), 12);
    EXPECT_EQ(i32(b, sec[0].record + 148), 14);
    EXPECT_EQ(i32(b, sec[0].record + 152), 16);
    EXPECT_EQ(b.mid(sec[0].picture, sec[0].pictureSize), samples::tinyBmp());
    EXPECT_EQ(b.mid(sec[1].picture, sec[1].pictureSize), samples::tinyEmf());
    // No trailer: the last blob ends the file.
    EXPECT_EQ(sec[1].blob + sec[1].blobSize, b.size());
    EXPECT_EQ(b.mid(sec[1].records[1], samples::embeddedRecord().size()), samples::embeddedRecord());
}

TEST(DesignFile, ReadingFillsSlotsSurfaceAndOutputs)
{
    Opened o;
    ASSERT_EQ(o.open(fixturePath(QStringLiteral("sample.bcp"))), files::ResultOk);
    EXPECT_EQ(o.zoom, 100);
    EXPECT_EQ(o.dataFile, QStringLiteral("contacts.csv"));
    EXPECT_EQ(o.layout, samples::flatLayout());
    EXPECT_EQ(o.surface.size(), QSize(350, 200));
    EXPECT_EQ(o.m.currentSide(), 0);
    EXPECT_EQ(o.m.currentRegion(), 0);
    ASSERT_EQ(o.surface.count(), 7);
    EXPECT_EQ(o.surface.itemAt(0)->data()->Lines, QStringList{QStringLiteral("NAME")});
    EXPECT_EQ(o.surface.itemAt(0)->data()->Rotation, 450);
    EXPECT_EQ(o.surface.itemAt(4)->picture(), plat::Picture::metafile(samples::tinyEmf()));
    EXPECT_EQ(o.surface.marginLeft(), 10);
    EXPECT_EQ(o.surface.marginBottom(), 16);
    EXPECT_EQ(o.surface.background(), plat::Picture::bitmap(samples::tinyBmp()));
    const model::RegionSlot &back = o.m.slot(model::TObjectManager::slotIndex(1, 0));
    EXPECT_EQ(back.objectCount, 2);
    ASSERT_TRUE(back.background.has_value());
    EXPECT_TRUE(back.background->isMetafile());
    for (int i : {1, 2, 3, 5, 6, 7})
        EXPECT_FALSE(o.m.slot(i).hasBlob() || o.m.slot(i).background.has_value()) << i;
}

// ---------------------------------------------------------------- round trips

TEST(DesignFile, RoundTripIsByteForByteAtZoom100)
{
    const QByteArray original = fixtureBytes(QStringLiteral("sample.bcp"));
    Opened o;
    ASSERT_EQ(o.read(original), files::ResultOk);
    const QByteArray again = o.write();
    EXPECT_EQ(again, original);
    Opened o2;
    ASSERT_EQ(o2.read(again), files::ResultOk);
    EXPECT_EQ(o2.write(), original);
}

TEST(DesignFile, EmbeddedObjectsSurviveOpenEditAndSave)
{
    const QByteArray original = fixtureBytes(QStringLiteral("sample.bcp"));
    Opened o;
    ASSERT_EQ(o.read(original), files::ResultOk);
    // Edit the back, where the embedded object lives: it is rebuilt onto the surface,
    // another object changes, and the design is saved.
    o.m.SwitchRegion(0, 0, 1, 0, o.zoom);
    ASSERT_EQ(o.surface.count(), 2);
    EXPECT_EQ(o.surface.itemAt(1)->data()->Kind, 'O');
    o.surface.itemAt(0)->data()->Lines = QStringList{QStringLiteral("edited")};
    o.m.NewBox(5, 5);
    const QByteArray saved = o.write();
    const auto sec = samples::sections(saved);
    ASSERT_EQ(sec.size(), 2u);
    ASSERT_EQ(sec[1].records.size(), 3u);
    EXPECT_EQ(saved.mid(sec[1].records[1], samples::embeddedRecord().size()), samples::embeddedRecord());
    // And once more through a reopen.
    Opened o2;
    ASSERT_EQ(o2.read(saved), files::ResultOk);
    EXPECT_EQ(o2.write(), saved);
}

TEST(DesignFile, OtherZoomsTruncateOnlyTheRegionOnScreen)
{
    const QByteArray original = fixtureBytes(QStringLiteral("sample_zoom150.bcp"));
    Opened o;
    ASSERT_EQ(o.read(original), files::ResultOk);
    EXPECT_EQ(o.zoom, 150);
    EXPECT_EQ(o.surface.size(), QSize(525, 300));
    const QByteArray again = o.write();
    ASSERT_EQ(again.size(), original.size());
    EXPECT_EQ(i32(again, 8), 150);

    const auto before = samples::sections(original);
    const auto after = samples::sections(again);
    // The front was on screen: each length went to pixels and back, truncating twice.
    int changed = 0;
    for (size_t i = 0; i < before[0].records.size(); ++i) {
        const int rec = before[0].records[i];
        const QRect u = unitsOf(original, rec);
        auto twice = [](int v) { return int(int64_t(int(int64_t(v) * 150 / 100)) * 100 / 150); };
        const QRect expected(twice(u.x()), twice(u.y()), twice(u.width()), twice(u.height()));
        EXPECT_EQ(unitsOf(again, rec), expected) << i;
        changed += expected != u;
        // Every other byte of the record is unchanged.
        QByteArray a = again.mid(rec, 171), b = original.mid(rec, 171);
        for (int off : {model::Rec::Left, model::Rec::Top, model::Rec::Width, model::Rec::Height})
            a.replace(off, 4, b.mid(off, 4));
        EXPECT_EQ(a, b) << i;
    }
    EXPECT_GT(changed, 0); // the sample has odd values that lose a unit (5 -> 7 px -> 4)
    // The back stayed in its slot and is written as it was read.
    EXPECT_EQ(again.mid(before[1].record), original.mid(before[1].record));
    // A value that survived once is stable from then on.
    Opened o2;
    ASSERT_EQ(o2.read(again), files::ResultOk);
    EXPECT_EQ(o2.write(), again);
}

TEST(DesignFile, StoredZoomIsSanitised)
{
    struct Case { int32_t stored; int opened; };
    const Case cases[] = {{24, 100}, {25, 25}, {10000, 10000}, {10001, 100}, {0, 100}, {-150, 100},
                          {INT32_MIN, 100}, {INT32_MAX, 100}, {150, 150}};
    const QByteArray sample = fixtureBytes(QStringLiteral("sample.bcp"));
    for (const Case &c : cases) {
        QByteArray b = sample;
        plat::putU32(b.data() + 8, uint32_t(c.stored));
        Opened o;
        ASSERT_EQ(o.read(b), files::ResultOk) << c.stored;
        EXPECT_EQ(o.zoom, c.opened) << c.stored;
        EXPECT_EQ(o.surface.width(), std::lround(350 * c.opened / 100.0)) << c.stored; // rescaling rounds
    }
    for (const char *name : {"zoom_24.bcp", "zoom_10001.bcp"}) {
        Opened o;
        EXPECT_EQ(o.open(fixturePath(QLatin1String(name))), files::ResultOk);
        EXPECT_EQ(o.zoom, 100) << name;
    }
}

TEST(DesignFile, DataFileNameIsAnsiAndCutTo255Bytes)
{
    struct Case { QString name; QByteArray stored; QString read; };
    const Case cases[] = {
        {QString(), QByteArray(), QString()},
        {QStringLiteral("C:\\Data\\caf\u00e9.dat"), QByteArray("C:\\Data\\caf\xE9.dat"), QStringLiteral("C:\\Data\\caf\u00e9.dat")},
        {QString(300, QLatin1Char('a')), QByteArray(255, 'a'), QString(255, QLatin1Char('a'))},
    };
    for (const Case &c : cases) {
        model::SurfaceModel s;
        model::TObjectManager m(&s);
        const QByteArray b = files::designBytes(m, samples::flatLayout(), c.name, 100, 0, 0, false);
        EXPECT_EQ(b.mid(272, 256), c.stored + QByteArray(256 - c.stored.size(), '\0'));
        Opened o;
        ASSERT_EQ(o.read(b), files::ResultOk);
        EXPECT_EQ(o.dataFile, c.read);
    }
}

TEST(DesignFile, EmptyRegionWithEditedMarginsWritesNoSection)
{
    model::SurfaceModel s;
    model::TObjectManager m(&s);
    s.setSize(QSize(350, 200));
    m.SwitchRegion(-1, -1, 0, 0, 100);
    m.NewText(10, 10);
    m.SwitchRegion(0, 0, 1, 0, 100);
    s.setMargins(20, 20, 20, 20); // the back: margins only
    const QByteArray b = files::designBytes(m, samples::flatLayout(), QString(), 100, 1, 0, false);
    EXPECT_EQ(i32(b, 12), 1);
    Opened o;
    ASSERT_EQ(o.read(b), files::ResultOk);
    o.m.SwitchRegion(0, 0, 1, 0, 100);
    EXPECT_EQ(o.surface.marginLeft(), 8);
    EXPECT_EQ(o.surface.marginBottom(), 8);
    // A region that holds only a background is written, with its margins.
    s.setBackground(plat::Picture::bitmap(samples::tinyBmp()));
    const QByteArray withBg = files::designBytes(m, samples::flatLayout(), QString(), 100, 1, 0, false);
    EXPECT_EQ(i32(withBg, 12), 2);
    Opened o2;
    ASSERT_EQ(o2.read(withBg), files::ResultOk);
    o2.m.SwitchRegion(0, 0, 1, 0, 100);
    EXPECT_EQ(o2.surface.marginLeft(), 20);
    EXPECT_TRUE(o2.surface.background().isBitmap());
}

TEST(DesignFile, SectionsArePlacedByTheirOwnSideAndRegion)
{
    // Swap the two sections of the sample: the reader places them by their records.
    const QByteArray b = fixtureBytes(QStringLiteral("sample.bcp"));
    const auto sec = samples::sections(b);
    QByteArray swapped = b.left(samples::kFirstSection) + b.mid(sec[1].record)
                         + b.mid(sec[0].record, sec[1].record - sec[0].record);
    Opened o;
    ASSERT_EQ(o.read(swapped), files::ResultOk);
    EXPECT_EQ(o.surface.count(), 7);
    EXPECT_EQ(o.write(), b); // and the writer puts them back in slot order
}

TEST(DesignFile, UnknownPictureKindLeavesAnEmptyBackground)
{
    model::SurfaceModel s;
    model::TObjectManager m(&s);
    s.setSize(QSize(350, 200));
    m.SwitchRegion(-1, -1, 0, 0, 100);
    m.NewText(10, 10);
    QByteArray b = files::designBytes(m, samples::flatLayout(), QString(), 100, 0, 0, false);
    const int kindAt = samples::kFirstSection + 2;
    ASSERT_EQ(b.at(kindAt), ' ');
    b[kindAt] = 'X';
    Opened o;
    ASSERT_EQ(o.read(b), files::ResultOk);
    const model::RegionSlot &front = o.m.slot(0);
    ASSERT_TRUE(front.background.has_value());
    EXPECT_TRUE(front.background->isNull());
    EXPECT_TRUE(o.surface.background().isNull());
}

// ---------------------------------------------------------------- result codes

TEST(DesignFile, EveryResultCodeComesFromARealFile)
{
    const QDir dir(fixturePath(QStringLiteral("damaged")));
    const QStringList names = dir.entryList({QStringLiteral("*.bcp")}, QDir::Files, QDir::Name);
    ASSERT_GE(names.size(), 20);
    QSet<int> seen;
    for (const QString &name : names) {
        const int expected = name.section(QLatin1Char('_'), 0, 0).toInt();
        Opened o;
        EXPECT_EQ(o.open(dir.filePath(name)), expected) << name.toStdString();
        seen.insert(expected);
        // The template reader gives the same answer.
        model::SurfaceModel s;
        model::TObjectManager m(&s);
        files::Substitution sub;
        EXPECT_EQ(files::ReadTemplate(m, dir.filePath(name), nullptr, nullptr, nullptr, &sub), expected)
            << name.toStdString();
    }
    EXPECT_EQ(seen, (QSet<int>{1000, 1002, 1100}));

    Opened missing;
    EXPECT_EQ(missing.open(fixturePath(QStringLiteral("no such file.bcp"))), files::ResultLoadError);
    Opened folder;
    EXPECT_EQ(folder.open(fixturePath(QStringLiteral("damaged"))), files::ResultLoadError);
}

TEST(DesignFile, ResultMessages)
{
    EXPECT_EQ(files::resultMessage(1000), QStringLiteral("An error occurred loading the specified file."));
    EXPECT_EQ(files::resultMessage(1002), QStringLiteral("An error occurred loading the specified file.\n\n"
                                                         "The file has an invalid version stamp."));
    EXPECT_EQ(files::resultMessage(1100), QStringLiteral("An error occurred trying to allocate memory."));
    EXPECT_EQ(files::resultMessage(1003), QStringLiteral("An error occurred saving the specified file.\n\n"
                                                         "Be sure to choose a valid filename on a non-write protected disk."));
}

// ---------------------------------------------------------------- templates

TEST(Template, WrittenWithoutPicturesAndWithoutEmptyRegions)
{
    const QByteArray t = fixtureBytes(QStringLiteral("template.cct"));
    EXPECT_EQ(i32(t, 8), 150);
    EXPECT_EQ(i32(t, 12), 2); // the Cover held only a background
    const auto sec = samples::sections(t);
    ASSERT_EQ(sec.size(), 2u);
    EXPECT_EQ(t.mid(sec[0].record, 3), QByteArray("\0\0 ", 3)); // Inside Cover (0,0)
    EXPECT_EQ(t.mid(sec[1].record, 3), QByteArray("\1\0 ", 3)); // Inside (0,1), no picture
    layout::LayoutRecord l;
    layout::LayoutRecord::fromBytes(t.constData() + samples::kLayoutOffset, 122, &l);
    EXPECT_EQ(l.TemplateKind(), 4);
    EXPECT_EQ(l.RegionType(), 1);
}

TEST(Template, MarkersAreReplacedOnlyWhenExactAndGiven)
{
    files::Substitution sub;
    const auto &markers = files::Substitution::markers();
    auto set = [&](const char *marker, const QString &value) {
        for (int i = 0; i < files::Substitution::kCount; ++i)
            if (qstrcmp(markers[size_t(i)], marker) == 0)
                sub.values[size_t(i)] = value;
    };
    set("NAME", QStringLiteral("Ada Lovelace"));
    set("EMAIL", QStringLiteral("ada@example.org"));
    set("RETURN ADDRESS", QStringLiteral("12 Engine Row"));
    set("USER4", QStringLiteral("fourth"));
    // COMPANY stays empty: its marker is left as it is.
    sub.background = plat::Picture::bitmap(samples::tinyBmp(0x11));

    model::SurfaceModel s;
    model::TObjectManager m(&s);
    layout::LayoutRecord l;
    QString data;
    int zoom = 0;
    ASSERT_EQ(files::ReadTemplate(m, fixturePath(QStringLiteral("template.cct")), &l, &data, &zoom, &sub),
              files::ResultOk);
    EXPECT_EQ(zoom, 150);
    EXPECT_EQ(l.TemplateKind(), 4);
    // Region index 0 of a folded card is the Inside, (0,1).
    EXPECT_EQ(m.currentSide(), 0);
    EXPECT_EQ(m.currentRegion(), 1);
    QList<QStringList> texts;
    for (const auto &it : s.items())
        texts << it->data()->Lines;
    const QList<QStringList> expected = {
        {QStringLiteral("Ada Lovelace")}, {QStringLiteral("Name")}, {QStringLiteral("COMPANY")},
        {QStringLiteral("ada@example.org")}, {QStringLiteral("fourth")}, {QStringLiteral("12 Engine Row")},
        {QStringLiteral("NAME ")}, {QStringLiteral("NAME"), QStringLiteral("x")},
    };
    EXPECT_EQ(texts, expected);
    // The wizard's picture became the background of the region on screen; the record
    // gave it up.
    EXPECT_EQ(s.background(), plat::Picture::bitmap(samples::tinyBmp(0x11)));
    EXPECT_TRUE(sub.background.isNull());
    // Texts of other regions keep their markers.
    m.SwitchRegion(0, 1, 0, 0, zoom);
    ASSERT_EQ(s.count(), 1);
    EXPECT_EQ(s.itemAt(0)->data()->Lines, QStringList{QStringLiteral("NAME")});
}

TEST(Template, TemplateFromADesignWithBackgroundOnlyOnTheFront)
{
    model::SurfaceModel s;
    model::TObjectManager m(&s);
    s.setSize(QSize(350, 200));
    m.SwitchRegion(-1, -1, 0, 0, 100);
    s.setBackground(plat::Picture::bitmap(samples::tinyBmp()));
    m.SwitchRegion(0, 0, 1, 0, 100);
    m.NewText(1, 1);
    const QByteArray t = files::designBytes(m, samples::flatLayout(), QString(), 100, 1, 0, true);
    EXPECT_EQ(i32(t, 12), 1);
    const auto sec = samples::sections(t);
    ASSERT_EQ(sec.size(), 1u);
    EXPECT_EQ(t.mid(sec[0].record, 3), QByteArray("\0\1 ", 3));
    EXPECT_EQ(t.indexOf("BM"), -1);
}

// ---------------------------------------------------------------- saving

TEST(Save, SuccessWritesTheFileAndClearsTheHistory)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Opened o;
    ASSERT_EQ(o.open(fixturePath(QStringLiteral("sample.bcp"))), files::ResultOk);
    o.m.RecordInsert(o.m.NewText(5, 5), 100);
    ASSERT_TRUE(o.m.changes().CanUndo());
    const QString path = dir.filePath(QStringLiteral("saved.bcp"));
    ASSERT_TRUE(files::WriteDesign(o.m, path, o.layout, o.dataFile, o.zoom, 0, 0, false));
    EXPECT_FALSE(o.m.changes().CanUndo());
    EXPECT_FALSE(o.m.changes().CanRedo());
    Opened back;
    ASSERT_EQ(back.open(path), files::ResultOk);
    EXPECT_EQ(back.surface.count(), 8);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("saved.bcp")});
}

namespace {
// Saves over `path` when the file system refuses the write; the old file must stay and
// the history must be kept.
void expectFailedSaveKeepsEverything(const QString &path, const std::function<bool()> &save, Opened &o)
{
    const QByteArray old = testsupport::readFile(path);
    o.m.RecordInsert(o.m.NewBox(1, 1), 100);
    EXPECT_FALSE(save());
    EXPECT_TRUE(o.m.changes().CanUndo());
    EXPECT_EQ(testsupport::readFile(path), old);
}
} // namespace

TEST(Save, FailedSaveLeavesTheOldFileAndTheHistory)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("design.bcp"));
    ASSERT_TRUE(testsupport::writeFile(path, fixtureBytes(QStringLiteral("sample.bcp"))));
    Opened o;
    ASSERT_EQ(o.open(path), files::ResultOk);
    auto saveTo = [&o](const QString &p) {
        return [&o, p] { return files::WriteDesign(o.m, p, o.layout, o.dataFile, o.zoom, 0, 0, false); };
    };

    // The folder does not exist.
    {
        o.m.RecordInsert(o.m.NewBox(1, 1), 100);
        EXPECT_FALSE(saveTo(dir.filePath(QStringLiteral("missing/design.bcp")))());
        EXPECT_TRUE(o.m.changes().CanUndo());
        EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("missing"))));
    }
    // The target is a folder.
    {
        ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.bcp")));
        o.m.RecordInsert(o.m.NewBox(1, 1), 100);
        EXPECT_FALSE(saveTo(dir.filePath(QStringLiteral("folder.bcp")))());
        EXPECT_TRUE(o.m.changes().CanUndo());
    }
    // The disk fills up half way through: the file-size limit stops the write after
    // 1000 bytes, even for root.
    {
        struct rlimit saved {};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
        auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = saved;
        small.rlim_cur = 1000;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        expectFailedSaveKeepsEverything(path, saveTo(path), o);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("design.bcp")})
            << "no temporary file is left behind";
    }
    // A write-protected folder (root may write anywhere, so only as another user).
    if (geteuid() != 0) {
        ASSERT_TRUE(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        expectFailedSaveKeepsEverything(path, saveTo(path), o);
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    EXPECT_EQ(testsupport::readFile(path), fixtureBytes(QStringLiteral("sample.bcp")));
}
