// TObjectData defaults and its conversions to and from the object property record.
#include "DesignSamples.h"

#include "model/SurfaceModel.h"
#include "model/TObjectData.h"
#include "platform/ByteIO.h"

#include <gtest/gtest.h>

using namespace model;

namespace {

int32_t field(const QByteArray &rec, int off) { return int32_t(plat::getU32(rec.constData() + off)); }

// A surface with one item holding a copy of `data` rebuilt from `record`.
struct Rebuilt {
    SurfaceModel surface;
    SurfaceItem *item = nullptr;
    Rebuilt(const QByteArray &record, int zoom, bool keepInView = false, QSize size = QSize(350, 200))
    {
        surface.setSize(size);
        const bool graphic = record.at(Rec::Kind) == ObjectKind::Graphic;
        item = surface.addItem(graphic ? SurfaceItem::Type::Image : SurfaceItem::Type::PaintBox);
        item->setData(std::make_unique<TObjectData>(item, record.constData(), zoom, keepInView));
    }
    TObjectData *data() const { return item->data(); }
    QByteArray write(int zoom) const { return data()->toRecord(zoom); }
};

QByteArray recordOf(SurfaceItem *item, int zoom = 100) { return item->data()->toRecord(zoom); }

} // namespace

TEST(ObjectData, DefaultsOfEveryKind)
{
    for (char kind : {'T', 'G', 'L', 'B', 'R', 'C'}) {
        TObjectData d(nullptr, kind);
        EXPECT_EQ(d.Kind, kind);
        EXPECT_EQ(d.Flags, 0u);
        EXPECT_EQ(d.Style, 0);
        EXPECT_EQ(d.ColorFG, 0u);
        EXPECT_EQ(d.ColorBG, 0xFFFFFFu);
        EXPECT_EQ(d.LineSize, 1);
        EXPECT_EQ(d.Reserved, 0);
        EXPECT_EQ(d.LineType, 0);
        EXPECT_EQ(d.ShadowDX, 0);
        EXPECT_EQ(d.ShadowDY, 0);
        EXPECT_EQ(d.Rotation, 0);
        if (kind == 'T') {
            ASSERT_TRUE(d.Font.has_value());
            EXPECT_EQ(d.Font->face(), QStringLiteral("Arial"));
            EXPECT_EQ(d.Font->points(), 12);
            EXPECT_EQ(d.Lines, QStringList{QStringLiteral("Text")});
            EXPECT_EQ(d.TextStyle, 1u);
        } else {
            EXPECT_FALSE(d.Font.has_value()) << kind;
            EXPECT_TRUE(d.Lines.isEmpty()) << kind;
        }
    }
}

TEST(ObjectData, RecordLayoutOfAText)
{
    SurfaceModel s;
    SurfaceItem *item = s.addItem(SurfaceItem::Type::PaintBox);
    item->setBounds(11, 22, 133, 44);
    auto d = std::make_unique<TObjectData>(item, 'T');
    d->Lines = QStringList{QStringLiteral("ab"), QStringLiteral("caf\u00e9 \u20ac")};
    d->Flags = 3;
    d->Style = 2;
    d->ColorFG = 0x00112233;
    d->ColorBG = 0x00445566;
    d->TextStyle = 0x04030201;
    d->Rotation = 450;
    item->setData(std::move(d));

    const QByteArray rec = recordOf(item);
    ASSERT_EQ(rec.size(), item->data()->RecordSize());
    ASSERT_EQ(rec.size(), 171 + 3 + 7 + 1);
    EXPECT_EQ(rec.at(0), 'T');
    EXPECT_EQ(field(rec, 1), 11);
    EXPECT_EQ(field(rec, 5), 22);
    EXPECT_EQ(field(rec, 9), 44);  // height before width
    EXPECT_EQ(field(rec, 13), 133);
    EXPECT_EQ(field(rec, 17), 3);
    EXPECT_EQ(field(rec, 21), 2);
    EXPECT_EQ(field(rec, 25), 0x00112233);
    EXPECT_EQ(field(rec, 29), 0x00445566);
    EXPECT_EQ(rec.at(33), 1);
    EXPECT_EQ(field(rec, 36), -16);       // lfHeight of 12 points at 96 ppi
    EXPECT_EQ(field(rec, 36 + 8), 450);   // lfEscapement
    EXPECT_EQ(field(rec, 36 + 12), 450);  // lfOrientation
    EXPECT_EQ(rec.mid(36 + 28, 6), QByteArray("Arial\0", 6));
    EXPECT_EQ(field(rec, 96), 0x04030201);
    EXPECT_EQ(rec.mid(102, 64), QByteArray(64, '\0'));
    EXPECT_EQ(field(rec, 166), 11);
    EXPECT_EQ(rec.at(170), 'T');
    EXPECT_EQ(rec.mid(171), QByteArray("ab\0caf\xE9 \x80\0\0", 11));
}

TEST(ObjectData, EveryKindRoundTripsByteForByteAtZoom100)
{
    SurfaceModel s;
    s.setSize(QSize(350, 200));
    TObjectManager m(&s);
    samples::fillFront(m);
    m.LoadObject(samples::embeddedRecord().constData(), 100);
    ASSERT_EQ(s.count(), 8);
    for (const auto &item : s.items()) {
        const QByteArray first = recordOf(item.get());
        Rebuilt again(first, 100);
        EXPECT_EQ(again.write(100), first) << item->name().toStdString();
        EXPECT_EQ(again.item->bounds(), item->bounds());
        if (item->data()->Kind == 'G') {
            EXPECT_EQ(again.item->picture(), item->picture());
        }
    }
}

TEST(ObjectData, EmbeddedRecordSurvivesEveryByte)
{
    const QByteArray rec = samples::embeddedRecord();
    ASSERT_EQ(TObjectData::checkRecord(rec.constData(), rec.size()), rec.size());
    Rebuilt r(rec, 100);
    EXPECT_EQ(r.data()->RecordSize(), rec.size());
    EXPECT_EQ(r.write(100), rec);
    // An edit of what the model does know changes only that field.
    r.data()->ColorFG = 0x0000FF;
    QByteArray expected = rec;
    plat::putU32(expected.data() + Rec::ColorFG, 0x0000FF);
    EXPECT_EQ(r.write(100), expected);
}

TEST(ObjectData, TextListsEmptyAndEmptyString)
{
    struct Case { QStringList lines; int dataSize; };
    const Case cases[] = {
        {{}, 1},
        {{QString()}, 2},
        {{QStringLiteral("a"), QString(), QStringLiteral("bc")}, 2 + 1 + 3 + 1},
        {{QStringLiteral("two\r\nlines")}, 12},
    };
    for (const Case &c : cases) {
        SurfaceModel s;
        SurfaceItem *item = s.addItem(SurfaceItem::Type::PaintBox);
        auto d = std::make_unique<TObjectData>(item, 'T');
        d->Lines = c.lines;
        item->setData(std::move(d));
        const QByteArray rec = recordOf(item);
        EXPECT_EQ(field(rec, Rec::DataSize), c.dataSize);
        EXPECT_EQ(rec.at(Rec::DataKind), 'T');
        Rebuilt back(rec, 100);
        EXPECT_EQ(back.data()->Lines, c.lines) << c.dataSize;
    }
}

TEST(ObjectData, SignedBytesSurvive)
{
    SurfaceModel s;
    SurfaceItem *item = s.addItem(SurfaceItem::Type::PaintBox);
    auto d = std::make_unique<TObjectData>(item, 'T');
    d->LineSize = -1;
    d->LineType = -1;
    d->Reserved = -128;
    d->ShadowDX = -1;
    d->ShadowDY = -10;
    item->setData(std::move(d));
    Rebuilt back(recordOf(item), 100);
    EXPECT_EQ(back.data()->LineSize, -1);
    EXPECT_EQ(back.data()->LineType, -1);
    EXPECT_EQ(back.data()->Reserved, -128);
    EXPECT_EQ(back.data()->ShadowDX, -1);
    EXPECT_EQ(back.data()->ShadowDY, -10);
}

TEST(ObjectData, RotationIsReadFromEscapementOnly)
{
    SurfaceModel s;
    SurfaceItem *item = s.addItem(SurfaceItem::Type::PaintBox);
    item->setData(std::make_unique<TObjectData>(item, 'T'));
    item->data()->Rotation = 450;
    QByteArray rec = recordOf(item);
    EXPECT_EQ(field(rec, Rec::LogFont + 8), 450);
    EXPECT_EQ(field(rec, Rec::LogFont + 12), 450);
    plat::putU32(rec.data() + Rec::LogFont + 8, 900);
    plat::putU32(rec.data() + Rec::LogFont + 12, 1234);
    Rebuilt back(rec, 100);
    EXPECT_EQ(back.data()->Rotation, 900);
    EXPECT_EQ(back.data()->Font->escapement, 900);
    // Written again, both hold the rotation.
    const QByteArray again = back.write(100);
    EXPECT_EQ(field(again, Rec::LogFont + 8), 900);
    EXPECT_EQ(field(again, Rec::LogFont + 12), 900);
}

TEST(ObjectData, ZoomConversionsTruncate)
{
    struct Case { int zoom; QRect pixels; QRect units; QRect reread; };
    const Case cases[] = {
        {100, {101, 51, 33, 17}, {101, 51, 33, 17}, {101, 51, 33, 17}},
        {200, {101, 51, 33, 17}, {50, 25, 16, 8}, {100, 50, 32, 16}},
        {150, {100, 50, 49, 31}, {66, 33, 32, 20}, {99, 49, 48, 30}},
        {25, {3, 7, 10, 1}, {12, 28, 40, 4}, {3, 7, 10, 1}},
        {200, {-3, -1, 5, 5}, {-1, 0, 2, 2}, {-2, 0, 4, 4}}, // toward zero, also below zero
    };
    for (const Case &c : cases) {
        SurfaceModel s;
        s.setSize(QSize(1000, 1000));
        SurfaceItem *item = s.addItem(SurfaceItem::Type::PaintBox);
        item->setBounds(c.pixels);
        item->setData(std::make_unique<TObjectData>(item, 'B'));
        const QByteArray rec = recordOf(item, c.zoom);
        EXPECT_EQ(QRect(field(rec, 1), field(rec, 5), field(rec, 13), field(rec, 9)), c.units) << c.zoom;
        Rebuilt back(rec, c.zoom);
        EXPECT_EQ(back.item->bounds(), c.reread) << c.zoom;
    }
}

TEST(ObjectData, KeepInViewBringsObjectsInsideTheSurface)
{
    struct Case { int left, top; QPoint expected; };
    const Case cases[] = {
        {400, 20, {350 - 60 - 25, 20}},  // beyond the right edge
        {345, 195, {345, 195}},          // W - 5 and H - 5 are still in view
        {346, 196, {265, 145}},          // one more: moved
        {10, 900, {10, 200 - 30 - 25}},
    };
    for (const Case &c : cases) {
        SurfaceModel s;
        SurfaceItem *item = s.addItem(SurfaceItem::Type::PaintBox);
        item->setBounds(c.left, c.top, 60, 30);
        item->setData(std::make_unique<TObjectData>(item, 'C'));
        const QByteArray rec = recordOf(item);
        Rebuilt pasted(rec, 100, true);
        EXPECT_EQ(pasted.item->bounds().topLeft(), c.expected) << c.left << "," << c.top;
        Rebuilt loaded(rec, 100, false);
        EXPECT_EQ(loaded.item->bounds().topLeft(), QPoint(c.left, c.top));
    }
}

TEST(ObjectData, GraphicsCarryTheirPictureKind)
{
    for (const plat::Picture &pic : {plat::Picture::bitmap(samples::tinyBmp()), plat::Picture::metafile(samples::tinyEmf())}) {
        SurfaceModel s;
        SurfaceItem *item = s.addItem(SurfaceItem::Type::Image);
        item->setPicture(pic);
        item->setData(std::make_unique<TObjectData>(item, 'G'));
        const QByteArray rec = recordOf(item);
        EXPECT_EQ(rec.at(Rec::DataKind), pic.kindLetter());
        EXPECT_EQ(rec.mid(Rec::HeadSize), pic.bytes());
        EXPECT_EQ(field(rec, Rec::LogFont), 0); // no font for non-texts
        Rebuilt back(rec, 100);
        EXPECT_EQ(back.item->picture(), pic);
    }
}

TEST(ObjectData, CheckRecordRefusesWhatDoesNotFit)
{
    SurfaceModel s;
    TObjectManager m(&s);
    SurfaceItem *t = m.NewText(0, 0);
    const QByteArray text = recordOf(t);
    const plat::Picture pic = plat::Picture::bitmap(samples::tinyBmp());
    const QByteArray graphic = recordOf(m.NewGraphic(&pic, 0, 0, true));
    const QByteArray box = recordOf(m.NewBox(0, 0));

    auto with = [](QByteArray b, int off, char v) { b[off] = v; return b; };
    auto withSize = [](QByteArray b, uint32_t v) { plat::putU32(b.data() + Rec::DataSize, v); return b; };
    struct Case { const char *name; QByteArray bytes; qsizetype available; qsizetype expected; };
    const Case cases[] = {
        {"text", text, text.size(), text.size()},
        {"text with bytes behind it", text + "zz", text.size() + 2, text.size()},
        {"box", box, box.size(), 171},
        {"graphic", graphic, graphic.size(), graphic.size()},
        {"embedded", samples::embeddedRecord(), samples::embeddedRecord().size(), samples::embeddedRecord().size()},
        {"head cut", box.left(170), 170, -1},
        {"data cut", text.left(text.size() - 1), text.size() - 1, -1},
        {"DataSize huge", withSize(text, 0xFFFFFFFFu), text.size(), -1},
        {"DataSize just over", withSize(box, 1), box.size(), -1},
        {"text not terminated", with(text, text.size() - 1, 'x'), text.size(), -1},
        {"text without data", withSize(box, 0).replace(0, 1, "T"), 171, 171},
        {"unknown kind", with(box, 0, 'Z'), box.size(), -1},
        {"kind zero", with(box, 0, '\0'), box.size(), -1},
        {"graphic of another data kind", with(graphic, Rec::DataKind, 'T'), graphic.size(), -1},
        {"graphic without data", withSize(graphic.left(171), 0), 171, -1},
        {"nothing", QByteArray(), 0, -1},
    };
    for (const Case &c : cases)
        EXPECT_EQ(TObjectData::checkRecord(c.bytes.constData(), c.available), c.expected) << c.name;
}
