// Import of designs of the earlier generations (.bco compound files, .bcd flat files),
// checked through the objects the import builds on the surface.
#include "LegacySamples.h"

#include "document/DesignDocument.h"
#include "files/DesignFile.h"
#include "files/LegacyImport.h"
#include "model/SurfaceItem.h"
#include "model/SurfaceModel.h"
#include "model/TObjectData.h"
#include "pictures/PictureHelpers.h"
#include "platform/CompoundFile.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using document::DesignDocument;
using legacysamples::Bcd;
using legacysamples::Bco;
using legacysamples::OldObject;

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

constexpr int kOk = files::ResultOk;
constexpr int kCannotOpen = files::ResultImportError;        // 1004
constexpr int kUnsupported = files::ResultImportUnsupported; // 1005
constexpr int kBadStamp = files::ResultImportBadVersion;     // 1006

class LegacyImport : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        return path;
    }
    int import(DesignDocument &doc, const QString &name, const QByteArray &bytes)
    {
        return doc.importLegacy(write(name, bytes), 1);
    }
    int importBco(DesignDocument &doc, const Bco &b, int sectorSize = 512)
    {
        return import(doc, QStringLiteral("design.bco"), legacysamples::bcoFile(b.stream(), sectorSize));
    }
    int importBcd(DesignDocument &doc, const Bcd &b) { return import(doc, QStringLiteral("design.bcd"), b.file()); }

    QTemporaryDir dir;
};

model::TObjectData *objectAt(const DesignDocument &doc, int i)
{
    return doc.surface()->itemAt(i)->data();
}

QStringList namesOf(const DesignDocument &doc)
{
    QStringList out;
    for (const auto &item : doc.surface()->items())
        out << item->name();
    return out;
}

Bco withObjects(std::vector<OldObject> objects, uint32_t version = 550)
{
    Bco b;
    b.version = version;
    b.objects = std::move(objects);
    return b;
}

OldObject textObject(const QByteArray &own, const QStringList &list)
{
    OldObject t;
    t.kind = 'T';
    t.text = own;
    t.x1 = 10;
    t.y1 = 10;
    t.x2 = 100;
    t.y2 = 30;
    t.data = legacysamples::listSlots(list);
    return t;
}

} // namespace

// ---------------------------------------------------------------- names and stamps

TEST_F(LegacyImport, OnlyBcoAndBcdNamesAreTakenAndOthersAreNeverOpened)
{
    // A perfectly good design under another name is refused before it is read.
    const QByteArray good = legacysamples::bcoFile(withObjects(legacysamples::sampleObjects()).stream());
    const struct {
        const char *name;
        int expected;
    } cases[] = {
        {"card.lcm", kUnsupported}, {"card.txt", kUnsupported}, {"card", kUnsupported},
        {"card.bco.bak", kUnsupported}, {"card.BCO", kOk}, {"card.Bco", kOk},
    };
    for (const auto &c : cases) {
        DesignDocument doc;
        EXPECT_EQ(import(doc, QString::fromLatin1(c.name), good), c.expected) << c.name;
    }
    // Not opened at all: a missing file still gives 1005, not 1004.
    model::SurfaceModel surface;
    model::TObjectManager manager(&surface);
    EXPECT_EQ(files::ImportLegacy(manager, dir.filePath(QStringLiteral("missing.txt")), nullptr, nullptr,
                                  QStringLiteral(".TXT")),
              kUnsupported);
    EXPECT_EQ(files::ImportLegacy(manager, dir.filePath(QStringLiteral("missing.bcd")), nullptr, nullptr,
                                  QStringLiteral(".BCD")),
              kCannotOpen);
}

TEST_F(LegacyImport, BcoVersionStampsFrom450To550AreAccepted)
{
    const struct {
        uint32_t version;
        int expected;
    } cases[] = {{449, kBadStamp}, {450, kOk}, {451, kOk}, {499, kOk}, {500, kOk}, {550, kOk}, {551, kBadStamp}, {0, kBadStamp}};
    for (const auto &c : cases) {
        DesignDocument doc;
        EXPECT_EQ(importBco(doc, withObjects(legacysamples::sampleObjects(), c.version)), c.expected) << c.version;
        if (c.expected == kOk)
            EXPECT_EQ(doc.surface()->count(), 7) << c.version;
        else
            EXPECT_EQ(doc.surface()->count(), 0) << c.version;
    }
}

TEST_F(LegacyImport, BcdVersionStampsFrom21To40AreAccepted)
{
    const struct {
        uint16_t version;
        int expected;
    } cases[] = {{20, kBadStamp}, {21, kOk}, {39, kOk}, {40, kOk}, {41, kBadStamp}};
    for (const auto &c : cases) {
        Bcd b;
        b.version = c.version;
        b.objects = {legacysamples::sampleObjects()[2]};
        DesignDocument doc;
        EXPECT_EQ(importBcd(doc, b), c.expected) << c.version;
    }
}

TEST_F(LegacyImport, ShortHeadersAndContainersThatAreNotDesigns)
{
    const QByteArray stream = withObjects(legacysamples::sampleObjects()).stream();
    QByteArray v30(14, '\0'), v40(28, '\0');
    v30[0] = 30;
    v40[0] = 40;
    const struct {
        const char *what;
        const char *name;
        QByteArray bytes;
        int expected;
    } cases[] = {
        {"empty .bcd", "a.bcd", QByteArray(), kBadStamp},
        {"one byte", "a.bcd", QByteArray(1, '\x1e'), kBadStamp},
        {"version 30, header cut", "a.bcd", v30.left(13), kCannotOpen},
        {"version 40, header cut", "a.bcd", v40.left(27), kCannotOpen},
        {"version 40, layout block missing", "a.bcd", v40 + QByteArray(8, '\0'), kBadStamp},
        {"flat bytes named .bco", "a.bco", stream, kCannotOpen},
        {"stream header cut", "a.bco", legacysamples::bcoFile(stream.left(55)), kBadStamp},
        {"no design stream", "a.bco",
         legacysamples::compoundFile({{QStringLiteral("Contents"), stream}}), kCannotOpen},
        {"a storage of the stream's name", "a.bco",
         legacysamples::compoundFile({{QStringLiteral("RTVN32DrawObject"), {}, true}}), kCannotOpen},
    };
    for (const auto &c : cases) {
        DesignDocument doc;
        EXPECT_EQ(import(doc, QString::fromLatin1(c.name), c.bytes), c.expected) << c.what;
        EXPECT_EQ(doc.surface()->count(), 0) << c.what;
    }
}

// ---------------------------------------------------------------- the objects

TEST_F(LegacyImport, EveryObjectKindOfABcoFileIsRebuiltWithItsProperties)
{
    DesignDocument doc;
    ASSERT_EQ(importBco(doc, withObjects(legacysamples::sampleObjects())), kOk);
    ASSERT_EQ(doc.surface()->count(), 7);
    // Named as the region loader names rebuilt objects (a graphic takes two numbers).
    EXPECT_EQ(namesOf(doc), (QStringList{"Text0", "Graphic1", "Shape0", "Shape1", "Shape2", "Shape3", "Text1"}));

    const model::TObjectData *text = objectAt(doc, 0);
    EXPECT_EQ(text->Kind, 'T');
    EXPECT_EQ(doc.surface()->itemAt(0)->bounds(), QRect(50, 40, 205, 35));
    EXPECT_EQ(text->ColorFG, 10u | 20u << 8 | 30u << 16);
    EXPECT_EQ(text->ColorBG, 200u | 210u << 8 | 220u << 16);
    EXPECT_EQ(text->Style, 1);
    EXPECT_EQ(text->Flags, 1u);
    EXPECT_EQ(text->TextStyle, 1u); // "Text (No Wrap)"
    EXPECT_EQ(text->ShadowDX, 2);
    EXPECT_EQ(text->ShadowDY, -3);
    ASSERT_TRUE(text->Font.has_value());
    EXPECT_EQ(text->Font->face(), QStringLiteral("Times New Roman"));
    EXPECT_EQ(text->Font->weight, 700);
    EXPECT_EQ(text->Font->italic, 1);
    EXPECT_EQ(text->Font->height, plat::LogFont::fromPoints(QStringLiteral("Arial"), 12).height);
    EXPECT_EQ(text->Lines, QStringList{"Jane Example"});

    const model::SurfaceItem *graphic = doc.surface()->itemAt(1);
    EXPECT_EQ(graphic->type(), model::SurfaceItem::Type::Image);
    EXPECT_EQ(graphic->data()->Kind, 'G');
    EXPECT_EQ(graphic->bounds(), QRect(20, 100, 105, 55));
    EXPECT_EQ(graphic->data()->Flags, 2u);
    ASSERT_TRUE(graphic->picture().isBitmap());
    // The 14-byte file header in front of the old packed bitmap, which is kept as it was.
    const QByteArray dib = legacysamples::solidDib(4, 3, qRgb(255, 0, 0));
    EXPECT_EQ(graphic->picture().bytes().size(), dib.size() + 14);
    EXPECT_EQ(graphic->picture().bytes().left(2), QByteArray("BM"));
    EXPECT_EQ(graphic->picture().bytes().mid(14), dib);
    const QImage pixels = pictures::decodePicture(graphic->picture());
    EXPECT_EQ(pixels.size(), QSize(4, 3));
    EXPECT_EQ(pixels.pixel(3, 2), qRgb(255, 0, 0));

    // The line from (100, 300) to (400, 100).
    const model::TObjectData *line = objectAt(doc, 2);
    EXPECT_EQ(line->Kind, 'L');
    EXPECT_EQ(doc.surface()->itemAt(2)->bounds(), QRect(100, 300, 305, 205));
    EXPECT_EQ(line->LineType, 2);
    EXPECT_EQ(line->LineSize, 3);
    EXPECT_EQ(line->ColorFG, 0xFF0000u);
    EXPECT_FALSE(line->Font.has_value());

    const char kinds[] = {'B', 'R', 'C'};
    for (int i = 0; i < 3; ++i) {
        const model::TObjectData *shape = objectAt(doc, 3 + i);
        EXPECT_EQ(shape->Kind, kinds[i]);
        EXPECT_EQ(doc.surface()->itemAt(3 + i)->bounds(), QRect(10 + 60 * i, 10, 55, 35));
        EXPECT_EQ(shape->Style, i);
        EXPECT_EQ(shape->LineSize, 2 + i);
        EXPECT_EQ(shape->LineType, 3); // from the points, as for lines
        EXPECT_EQ(shape->ColorFG, uint32_t(30 * i) | 100u << 8);
        EXPECT_EQ(shape->ColorBG, 100u << 8 | uint32_t(30 * i) << 16);
    }

    EXPECT_EQ(objectAt(doc, 6)->Lines, (QStringList{"Ann", "Bob", "Cy"}));
}

TEST(LegacyLineTypes, FollowTheDirectionOfTheStoredPoints)
{
    // Line type from the points alone: horizontal, vertical, slanted up, slanted down.
    const struct {
        int x1, y1, x2, y2;
        int lineType;
        QRect bounds;
    } cases[] = {
        {10, 50, 90, 50, 0, QRect(10, 50, 85, 5)},
        {40, 10, 40, 90, 1, QRect(40, 10, 5, 85)},
        {100, 300, 400, 100, 2, QRect(100, 300, 305, 205)},
        {100, 100, 400, 300, 3, QRect(100, 100, 305, 205)},
        {400, 300, 100, 100, 2, QRect(400, 300, 305, 205)}, // only the heights decide
        {50, 50, 50, 50, 0, QRect(50, 50, 5, 5)},
    };
    for (const auto &c : cases) {
        OldObject line;
        line.kind = 'L';
        line.x1 = c.x1;
        line.y1 = c.y1;
        line.x2 = c.x2;
        line.y2 = c.y2;
        model::SurfaceModel surface;
        model::TObjectManager manager(&surface);
        ASSERT_EQ(files::importBcoStream(manager, withObjects({line}).stream(), nullptr), kOk);
        ASSERT_EQ(surface.count(), 1);
        EXPECT_EQ(surface.itemAt(0)->data()->LineType, c.lineType) << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2;
        EXPECT_EQ(surface.itemAt(0)->bounds(), c.bounds) << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2;
    }
}

TEST_F(LegacyImport, TextListsTakeTheirSlotsInObjectOrder)
{
    // Three texts with list data, a graphic between them: each text's list starts where
    // the previous text's ended, behind all graphic data.
    std::vector<OldObject> objects = {
        textObject("Own", {"a1", "a2"}),
        legacysamples::sampleObjects()[1],
        textObject("", {"first", "second"}), // an empty own string takes the first slot only
        textObject("Solo", {}),              // no list data: its own string
        textObject("Mine", {"c1", "c2", "c3"}),
    };
    const struct {
        uint32_t version;
        std::vector<QStringList> lines;
    } cases[] = {
        {550, {{"a1", "a2"}, {"first"}, {"Solo"}, {"c1", "c2", "c3"}}},
        {451, {{"a1", "a2"}, {"first"}, {"Solo"}, {"c1", "c2", "c3"}}},
        // Version 450 has no list block: every text keeps its own string, and the data
        // sizes in its records take no bytes (the background behind is still found).
        {450, {{"Own"}, {""}, {"Solo"}, {"Mine"}}},
    };
    for (const auto &c : cases) {
        Bco b = withObjects(objects, c.version);
        b.backgroundType = 2;
        b.background = legacysamples::solidDib(5, 5, qRgb(0, 255, 0));
        DesignDocument doc;
        ASSERT_EQ(importBco(doc, b), kOk) << c.version;
        ASSERT_EQ(doc.surface()->count(), 5);
        const int texts[] = {0, 2, 3, 4};
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(objectAt(doc, texts[i])->Lines, c.lines[size_t(i)]) << c.version << " text " << i;
        EXPECT_EQ(pictures::pictureSize(doc.surface()->background()), QSize(5, 5)) << c.version;
    }
}

TEST_F(LegacyImport, ListDataThatIsNoWholeSlotCountsAsTheTextsShare)
{
    // 80 bytes: one slot and five bytes that belong to no slot but still to this text.
    OldObject a = textObject("Own", {"x"});
    a.data.append("tail!");
    OldObject b = textObject("Other", {"y1", "y2"});
    DesignDocument doc;
    ASSERT_EQ(importBco(doc, withObjects({a, b})), kOk);
    EXPECT_EQ(objectAt(doc, 0)->Lines, QStringList{"x"});
    EXPECT_EQ(objectAt(doc, 1)->Lines, (QStringList{"y1", "y2"}));
}

TEST_F(LegacyImport, GraphicsTakeTheirSharesOfTheGraphicDataInOrder)
{
    std::vector<OldObject> objects;
    const QRgb colours[] = {qRgb(255, 0, 0), qRgb(0, 0, 255), qRgb(0, 128, 0)};
    const QSize sizes[] = {QSize(3, 2), QSize(7, 5), QSize(1, 1)};
    for (int i = 0; i < 3; ++i) {
        OldObject g = legacysamples::sampleObjects()[1];
        g.data = legacysamples::solidDib(sizes[i].width(), sizes[i].height(), colours[i]);
        objects.push_back(g);
        objects.push_back(textObject("between", {"l"}));
    }
    DesignDocument doc;
    ASSERT_EQ(importBco(doc, withObjects(objects)), kOk);
    ASSERT_EQ(doc.surface()->count(), 6);
    for (int i = 0; i < 3; ++i) {
        const QImage pixels = pictures::decodePicture(doc.surface()->itemAt(2 * i)->picture());
        EXPECT_EQ(pixels.size(), sizes[i]) << i;
        EXPECT_EQ(pixels.pixel(0, 0), colours[i]) << i;
        EXPECT_EQ(objectAt(doc, 2 * i + 1)->Lines, QStringList{"l"}) << i;
    }
}

TEST_F(LegacyImport, UnknownKindLettersAreLeftOutWithoutTakingData)
{
    OldObject ole;
    ole.kind = 'O';
    ole.dataSizeField = 1000; // no data of its own follows
    OldObject junk;
    junk.kind = 'Z';
    std::vector<OldObject> objects = {ole, legacysamples::sampleObjects()[1], junk, textObject("t", {"l1"})};
    DesignDocument doc;
    ASSERT_EQ(importBco(doc, withObjects(objects)), kOk);
    ASSERT_EQ(doc.surface()->count(), 2);
    EXPECT_EQ(objectAt(doc, 0)->Kind, 'G');
    EXPECT_EQ(objectAt(doc, 1)->Lines, QStringList{"l1"});
}

// ---------------------------------------------------------------- .bcd files

TEST_F(LegacyImport, BcdRecordsOfBothLayoutsWidenTheirFieldsAndFont)
{
    for (uint16_t version : {uint16_t(30), uint16_t(40)}) {
        OldObject text = textObject("Hello there", {});
        text.font = plat::LogFont::fromPoints(QStringLiteral("Courier New"), 9);
        text.font.height = -21;
        text.font.escapement = 450;
        text.font.orientation = 450;
        text.font.weight = 700;
        text.font.underline = 1;
        text.font.strikeOut = 1;
        text.font.charSet = 2;
        text.font.pitchAndFamily = 0x31;
        text.fg = {1, 2, 3};
        text.bg = {4, 5, 6};
        text.style = 2;
        text.flags = 2;
        text.dx = 4; // .bcd files keep no shadow
        OldObject box = legacysamples::sampleObjects()[3];
        OldObject graphic = legacysamples::sampleObjects()[1];

        Bcd b;
        b.version = version;
        b.objects = {text, graphic, box};
        DesignDocument doc;
        ASSERT_EQ(importBcd(doc, b), kOk) << version;
        ASSERT_EQ(doc.surface()->count(), 3) << version;

        const model::TObjectData *t = objectAt(doc, 0);
        EXPECT_EQ(t->Lines, QStringList{"Hello there"}) << version;
        EXPECT_EQ(t->ColorFG, 0x030201u) << version;
        EXPECT_EQ(t->ColorBG, 0x060504u) << version;
        EXPECT_EQ(t->Style, 2) << version;
        EXPECT_EQ(t->Flags, version == 40 ? 2u : 0u) << version; // flags only from version 40
        EXPECT_EQ(t->ShadowDX, 0) << version;
        EXPECT_EQ(t->TextStyle, 1u) << version;
        ASSERT_TRUE(t->Font.has_value());
        EXPECT_EQ(t->Font->height, -21) << version; // sign kept when widened
        EXPECT_EQ(t->Font->weight, 700) << version;
        EXPECT_EQ(t->Rotation, 450) << version;
        EXPECT_EQ(t->Font->underline, 1) << version;
        EXPECT_EQ(t->Font->strikeOut, 1) << version;
        EXPECT_EQ(t->Font->charSet, 2) << version;
        EXPECT_EQ(t->Font->pitchAndFamily, 0x31) << version;
        EXPECT_EQ(t->Font->face(), QStringLiteral("Courier New")) << version;
        EXPECT_EQ(doc.surface()->itemAt(0)->bounds(), QRect(10, 10, 95, 25)) << version;

        EXPECT_EQ(pictures::decodePicture(doc.surface()->itemAt(1)->picture()).size(), QSize(4, 3)) << version;
        EXPECT_EQ(doc.surface()->itemAt(1)->bounds(), QRect(20, 100, 105, 55)) << version;
        EXPECT_EQ(objectAt(doc, 2)->Kind, 'B') << version;
        EXPECT_EQ(objectAt(doc, 2)->LineSize, 2) << version;
    }
}

TEST_F(LegacyImport, TextsFillingTheirWholeFieldEndAtIt)
{
    // The 161-byte record has 50 bytes for the text, the 184-byte one 75.
    for (uint16_t version : {uint16_t(30), uint16_t(40)}) {
        // The field is filled to its end, with no terminator before the colours.
        OldObject text = textObject(QByteArray(80, 'x'), {});
        text.fg = {1, 1, 1};
        Bcd b;
        b.version = version;
        b.objects = {text};
        DesignDocument doc;
        ASSERT_EQ(importBcd(doc, b), kOk);
        EXPECT_EQ(objectAt(doc, 0)->Lines.value(0), QString(version == 40 ? 75 : 50, QLatin1Char('x'))) << version;
    }
}

TEST_F(LegacyImport, BcdCoordinatesAreSignedBeforeVersion40AndUnsignedIn40)
{
    OldObject box;
    box.kind = 'B';
    box.x1 = -20;    // stored as 0xFFEC
    box.y1 = 40000;  // stored as 0x9C40
    box.x2 = -10;
    box.y2 = 40010;
    const struct {
        uint16_t version;
        QPoint topLeft;
    } cases[] = {{30, QPoint(-20, 40000 - 65536)}, {40, QPoint(65516, 40000)}};
    for (const auto &c : cases) {
        Bcd b;
        b.version = c.version;
        b.objects = {box};
        model::SurfaceModel surface;
        model::TObjectManager manager(&surface);
        ASSERT_EQ(files::importBcdBytes(manager, b.file(), nullptr), kOk);
        EXPECT_EQ(surface.itemAt(0)->bounds(), QRect(c.topLeft, QSize(15, 15))) << c.version;
    }
}

// ---------------------------------------------------------------- layout and margins

TEST_F(LegacyImport, BcoLayoutIsAFlatCardWithAPrintableBack)
{
    const layout::LayoutRecord stored = legacysamples::sampleLayout();
    for (uint32_t version : {450u, 499u, 500u, 550u}) {
        Bco b = withObjects({}, version);
        b.layout = stored;
        DesignDocument doc;
        ASSERT_EQ(importBco(doc, b), kOk) << version;
        const layout::LayoutRecord &l = doc.layout();
        // Below 500 the old layout had no name.
        EXPECT_EQ(l.Name(), version < 500 ? QStringLiteral("Business Card") : QStringLiteral("Stock 8371")) << version;
        EXPECT_EQ(l.Rows(), 5u);
        EXPECT_EQ(l.Columns(), 2u);
        EXPECT_EQ(l.Width(), 350u);
        EXPECT_EQ(l.Height(), 200u);
        EXPECT_EQ(l.TopMargin(), 50u);
        EXPECT_EQ(l.LeftMargin(), 75u);
        EXPECT_EQ(l.ColumnSpace(), 10u);
        EXPECT_EQ(l.RowSpace(), 5u);
        EXPECT_EQ(l.PaperType(), 4);
        EXPECT_EQ(l.TemplateKind(), 4);
        // The stored region type, back flag and reserved words are overridden.
        EXPECT_EQ(l.RegionType(), 0) << version;
        EXPECT_EQ(l.BackPrintable(), 1) << version;
        const QByteArray raw = l.toBytes();
        EXPECT_EQ(raw.mid(82, 8), QByteArray(8, '\0')) << version;
        EXPECT_EQ(doc.surface()->size(), QSize(350, 200));
        // Margins in the stored order left, right, top, bottom.
        EXPECT_EQ(doc.surface()->marginLeft(), 10);
        EXPECT_EQ(doc.surface()->marginRight(), 20);
        EXPECT_EQ(doc.surface()->marginTop(), 30);
        EXPECT_EQ(doc.surface()->marginBottom(), 40);
    }
}

TEST_F(LegacyImport, BcdLayoutIsFixedBeforeVersion40AndStoredIn40)
{
    Bcd old;
    old.version = 35;
    old.margins = {-3, 4, 5, 6};
    DesignDocument a;
    ASSERT_EQ(importBcd(a, old), kOk);
    layout::LayoutRecord fixed;
    fixed.setName(QStringLiteral("Business Card"));
    fixed.setRows(5);
    fixed.setColumns(2);
    fixed.setWidth(350);
    fixed.setHeight(200);
    fixed.setTopMargin(50);
    fixed.setLeftMargin(75);
    fixed.setBackPrintable(1);
    EXPECT_EQ(a.layout(), fixed);
    EXPECT_EQ(a.surface()->marginLeft(), -3);
    EXPECT_EQ(a.surface()->marginBottom(), 6);

    Bcd v40;
    v40.layoutName = "Perforated 10 up";
    v40.layoutValues = {4, 3, 300, 180, 40, 60, 12, 8};
    DesignDocument b;
    ASSERT_EQ(importBcd(b, v40), kOk);
    layout::LayoutRecord stored;
    stored.setName(QStringLiteral("Perforated 10 up"));
    stored.setRows(4);
    stored.setColumns(3);
    stored.setWidth(300);
    stored.setHeight(180);
    stored.setTopMargin(40);
    stored.setLeftMargin(60);
    stored.setColumnSpace(12);
    stored.setRowSpace(8);
    stored.setBackPrintable(1);
    EXPECT_EQ(b.layout(), stored);
    EXPECT_EQ(b.surface()->size(), QSize(300, 180));
}

TEST_F(LegacyImport, ALayoutWhoseCardIsOutOfRangeIsRefusedLikeEveryDesign)
{
    Bcd b;
    b.layoutValues = {5, 2, 140, 200, 50, 75, 0, 0};
    DesignDocument doc;
    EXPECT_EQ(importBcd(doc, b), DesignDocument::kRegionSizeError);
}

// ---------------------------------------------------------------- backgrounds

TEST_F(LegacyImport, BitmapBackgroundBecomesTheSurfacesBackground)
{
    Bco b = withObjects({});
    b.backgroundType = 2;
    b.background = legacysamples::solidDib(35, 20, qRgb(240, 230, 140));
    DesignDocument doc;
    ASSERT_EQ(importBco(doc, b), kOk);
    const plat::Picture &bg = doc.surface()->background();
    ASSERT_TRUE(bg.isBitmap());
    const QImage pixels = pictures::decodePicture(bg);
    EXPECT_EQ(pixels.size(), QSize(35, 20));
    EXPECT_EQ(pixels.pixel(34, 19), qRgb(240, 230, 140));
}

TEST_F(LegacyImport, MetafileBackgroundIsKeptAsAnEnhancedMetafile)
{
    Bco b = withObjects({});
    b.backgroundType = 1;
    b.background = legacysamples::solidWmf(350, 200, qRgb(0, 128, 255));
    DesignDocument doc;
    ASSERT_EQ(importBco(doc, b), kOk);
    const plat::Picture &bg = doc.surface()->background();
    ASSERT_TRUE(bg.isMetafile());
    EXPECT_EQ(bg.bytes().mid(40, 4), QByteArray(" EMF")); // the EMF signature
    // The placeable header has no box: the metafile's own window gives its size (within
    // the pixel the enhanced metafile's frame, in hundredths of a millimetre, can lose).
    const QSize size = pictures::pictureSize(bg);
    EXPECT_NEAR(size.width(), 350, 1);
    EXPECT_NEAR(size.height(), 200, 1);
    const QImage pixels = pictures::decodePicture(bg);
    EXPECT_EQ(pixels.pixel(175, 100), qRgb(0, 128, 255));
}

TEST_F(LegacyImport, BackgroundsThatCannotBeShownLeaveNone)
{
    const struct {
        const char *what;
        int32_t type;
        QByteArray bytes;
    } cases[] = {
        {"type 2, not a bitmap", 2, QByteArray(60, 'x')},
        {"type 1, not metafile records", 1, QByteArray(60, 'x')},
        {"type 7", 7, legacysamples::solidDib(2, 2, qRgb(1, 2, 3))},
        {"type 2, size 0", 2, QByteArray()},
    };
    for (const auto &c : cases) {
        Bco b = withObjects({legacysamples::sampleObjects()[3]});
        b.backgroundType = c.type;
        b.background = c.bytes;
        DesignDocument doc;
        ASSERT_EQ(importBco(doc, b), kOk) << c.what;
        EXPECT_TRUE(doc.surface()->background().isNull()) << c.what;
        EXPECT_EQ(doc.surface()->count(), 1) << c.what;
    }
}

// ---------------------------------------------------------------- hostile files

TEST_F(LegacyImport, CountsAndSizesThatTheFileCannotHoldAreRefusedBeforeAnythingIsBuilt)
{
    const auto objects = legacysamples::sampleObjects(); // text, graphic, line, 3 shapes, list text
    const auto stream = [&](auto change) {
        Bco b = withObjects(objects);
        b.backgroundType = 2;
        b.background = legacysamples::solidDib(3, 3, qRgb(9, 9, 9));
        change(b);
        return b.stream();
    };
    const struct {
        const char *what;
        QByteArray stream;
    } cases[] = {
        {"object count 4 x 10^9", stream([](Bco &b) { b.countField = 4000000000u; })},
        {"one record more than stored", stream([](Bco &b) { b.countField = uint32_t(b.objects.size() + 1); })},
        {"graphic data size past the end", stream([](Bco &b) { b.objects[1].dataSizeField = 0x7FFFFFFF; })},
        {"graphic data size negative", stream([](Bco &b) { b.objects[1].dataSizeField = -60; })},
        {"list data size negative", stream([](Bco &b) { b.objects[6].dataSizeField = -75; })},
        {"list data size past the end", stream([](Bco &b) { b.objects[6].dataSizeField = 1 << 30; })},
        {"background size past the end", stream([](Bco &b) { b.backgroundSizeField = int32_t(b.background.size() + 1); })},
        {"background size negative", stream([](Bco &b) { b.backgroundSizeField = -1; })},
        {"margins cut", stream([](Bco &) {}).left(56 + 10)},
    };
    for (const auto &c : cases) {
        DesignDocument doc;
        EXPECT_EQ(import(doc, QStringLiteral("hostile.bco"), legacysamples::bcoFile(c.stream)), kBadStamp) << c.what;
        // Nothing half-imported: no objects, no background, the surface as it was.
        EXPECT_EQ(doc.surface()->count(), 0) << c.what;
        EXPECT_TRUE(doc.surface()->background().isNull()) << c.what;
        EXPECT_EQ(doc.surface()->marginLeft(), 8) << c.what;
    }
}

TEST_F(LegacyImport, ABcoCutAnywhereIsRefused)
{
    // The stream ends with its background, so every shorter prefix misses bytes that
    // its header or records promise.
    Bco b = withObjects(legacysamples::sampleObjects());
    b.backgroundType = 2;
    b.background = legacysamples::solidDib(3, 3, qRgb(9, 9, 9));
    const QByteArray stream = b.stream();
    for (qsizetype cut = 0; cut < stream.size(); ++cut) {
        model::SurfaceModel surface;
        model::TObjectManager manager(&surface);
        ASSERT_EQ(files::importBcoStream(manager, stream.left(cut), nullptr), kBadStamp) << "cut at " << cut;
        ASSERT_EQ(surface.count(), 0) << "cut at " << cut;
    }
    model::SurfaceModel surface;
    model::TObjectManager manager(&surface);
    EXPECT_EQ(files::importBcoStream(manager, stream, nullptr), kOk);
    EXPECT_EQ(surface.count(), 7);
}

TEST_F(LegacyImport, ABcdCutAnywhereIsRefused)
{
    Bcd b;
    for (OldObject o : legacysamples::sampleObjects())
        b.objects.push_back(o.kind == 'T' ? textObject(o.text, {}) : o);
    const QByteArray file = b.file();
    for (qsizetype cut = 0; cut < file.size(); ++cut) {
        model::SurfaceModel surface;
        model::TObjectManager manager(&surface);
        const int r = files::importBcdBytes(manager, file.left(cut), nullptr);
        ASSERT_TRUE(r == kBadStamp || (cut < 28 && r == kCannotOpen)) << "cut at " << cut << ": " << r;
        ASSERT_EQ(surface.count(), 0) << "cut at " << cut;
    }
}

TEST_F(LegacyImport, NegativeCountOfAnOldBcdIsRefused)
{
    Bcd b;
    b.version = 30;
    b.countField = -1;
    DesignDocument doc;
    EXPECT_EQ(importBcd(doc, b), kBadStamp);
}

// ---------------------------------------------------------------- the compound file

TEST_F(LegacyImport, CompoundFilesOfEverySectorSizeAndStreamPlacementAreRead)
{
    // Small streams live in the mini stream, larger ones in big sectors; version-4 files
    // have 4096-byte sectors; a file with more FAT sectors than its header can list
    // needs DIFAT sectors.
    Bco small = withObjects({legacysamples::sampleObjects()[2]});
    Bco large = withObjects(legacysamples::sampleObjects());
    large.backgroundType = 2;
    large.background = legacysamples::solidDib(60, 40, qRgb(1, 2, 3)); // > 4096 bytes
    ASSERT_LT(small.stream().size(), 4096);
    ASSERT_GT(large.stream().size(), 4096);
    const QByteArray padding(8 * 1024 * 1024, '\x5a');
    const struct {
        const char *what;
        QByteArray file;
        int objects;
    } cases[] = {
        {"mini stream", legacysamples::bcoFile(small.stream()), 1},
        {"big sectors", legacysamples::bcoFile(large.stream()), 7},
        {"4096-byte sectors, mini stream", legacysamples::bcoFile(small.stream(), 4096), 1},
        {"4096-byte sectors", legacysamples::bcoFile(large.stream(), 4096), 7},
        {"DIFAT", legacysamples::compoundFile({{QStringLiteral("Padding"), padding},
                                               {QStringLiteral("RTVN32DrawObject"), large.stream()}}), 7},
    };
    for (const auto &c : cases) {
        DesignDocument doc;
        ASSERT_EQ(import(doc, QStringLiteral("c.bco"), c.file), kOk) << c.what;
        EXPECT_EQ(doc.surface()->count(), c.objects) << c.what;
    }
}

TEST_F(LegacyImport, AReadOnlyBcoIsImportedAndLeftUntouched)
{
    const QByteArray bytes = legacysamples::bcoFile(withObjects(legacysamples::sampleObjects()).stream());
    const QString path = write(QStringLiteral("cd-rom.bco"), bytes);
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    const QDateTime modified = QFileInfo(path).lastModified();
    DesignDocument doc;
    EXPECT_EQ(doc.importLegacy(path, 1), kOk);
    EXPECT_EQ(doc.surface()->count(), 7);
    EXPECT_EQ(QFileInfo(path).lastModified(), modified);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), bytes);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

TEST(CompoundFile, StreamsAreReadWholeAndMissingOnesReported)
{
    const QByteArray big(100000, 'b');
    const QByteArray file = legacysamples::compoundFile(
        {{QStringLiteral("One"), QByteArray("first")}, {QStringLiteral("Two"), big}, {QStringLiteral("Dir"), {}, true}});
    QByteArray out;
    EXPECT_EQ(plat::readCompoundStreamFromBytes(file, QStringLiteral("One"), &out), plat::CompoundResult::Ok);
    EXPECT_EQ(out, QByteArray("first"));
    EXPECT_EQ(plat::readCompoundStreamFromBytes(file, QStringLiteral("Two"), &out), plat::CompoundResult::Ok);
    EXPECT_EQ(out, big);
    // Names are compared without regard to letter case, as the format has them.
    EXPECT_EQ(plat::readCompoundStreamFromBytes(file, QStringLiteral("oNE"), &out), plat::CompoundResult::Ok);
    EXPECT_EQ(out, QByteArray("first"));
    EXPECT_EQ(plat::readCompoundStreamFromBytes(file, QStringLiteral("Three"), &out), plat::CompoundResult::NoStream);
    EXPECT_EQ(plat::readCompoundStreamFromBytes(file, QStringLiteral("Dir"), &out), plat::CompoundResult::NoStream);
    EXPECT_EQ(plat::readCompoundStreamFromBytes(file.left(1000), QStringLiteral("Two"), &out),
              plat::CompoundResult::NotOpened);
    EXPECT_EQ(plat::readCompoundStreamFromBytes(QByteArray(4096, '\0'), QStringLiteral("One"), &out),
              plat::CompoundResult::NotOpened);
    EXPECT_EQ(plat::readCompoundStream(QStringLiteral("/nonexistent/x.bco"), QStringLiteral("One"), &out),
              plat::CompoundResult::NotOpened);
}

// ---------------------------------------------------------------- the new document

TEST_F(LegacyImport, AnImportedDesignIsAnUnmodifiedUntitledFrontWithoutHistory)
{
    Bco b = withObjects(legacysamples::sampleObjects());
    b.backgroundType = 2;
    b.background = legacysamples::solidDib(8, 8, qRgb(200, 100, 50));
    const QString path = write(QStringLiteral("old.bco"), legacysamples::bcoFile(b.stream()));
    DesignDocument doc;
    ASSERT_EQ(doc.importLegacy(path, 3), kOk);
    EXPECT_FALSE(doc.isModified());
    EXPECT_FALSE(doc.manager()->changes().CanUndo());
    EXPECT_TRUE(doc.fileName().isEmpty());
    EXPECT_EQ(doc.caption(), QStringLiteral("Untitled 3"));
    EXPECT_TRUE(doc.dataFileName().isEmpty());
    EXPECT_EQ(doc.zoom(), 100);
    EXPECT_EQ(doc.currentRegionIndex(), 0);
    EXPECT_EQ(doc.regionNames().value(0), QStringLiteral("Front"));

    // Nothing is on the back, and the front comes back whole from a saved design.
    ASSERT_TRUE(doc.switchRegion(1));
    EXPECT_EQ(doc.surface()->count(), 0);
    EXPECT_TRUE(doc.surface()->background().isNull());
    ASSERT_TRUE(doc.switchRegion(0));
    const QString saved = dir.filePath(QStringLiteral("old.bcp"));
    ASSERT_TRUE(doc.save(saved));
    DesignDocument reopened;
    ASSERT_EQ(reopened.openFile(saved), kOk);
    ASSERT_EQ(reopened.surface()->count(), 7);
    EXPECT_EQ(namesOf(reopened), namesOf(doc));
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(reopened.surface()->itemAt(i)->bounds(), doc.surface()->itemAt(i)->bounds()) << i;
        EXPECT_EQ(objectAt(reopened, i)->toRecord(100), objectAt(doc, i)->toRecord(100)) << i;
    }
    EXPECT_EQ(reopened.surface()->background(), doc.surface()->background());
    EXPECT_EQ(reopened.layout(), doc.layout());
}
