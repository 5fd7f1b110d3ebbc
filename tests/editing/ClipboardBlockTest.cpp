// The private clipboard block: its head, round trip of real records, and hostile blocks.
#include "model/ClipboardBlock.h"
#include "model/SurfaceModel.h"
#include "model/TObjectManager.h"
#include "platform/ByteIO.h"

#include <gtest/gtest.h>

namespace cb = model::ClipboardBlock;

namespace {
QList<QByteArray> sampleRecords()
{
    model::SurfaceModel surface;
    surface.setSize(QSize(350, 200));
    model::TObjectManager m(&surface);
    model::SurfaceItem *t = m.NewText(20, 30);
    t->data()->Lines = QStringList{QStringLiteral("Hello")};
    model::SurfaceItem *b = m.NewBox(40, 50);
    return {t->data()->toRecord(200), b->data()->toRecord(200)};
}

void put32(QByteArray &b, int at, int32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((uint32_t(v) >> (8 * i)) & 0xFF);
}
} // namespace

TEST(ClipboardBlock, HeadAndRoundTrip)
{
    const QList<QByteArray> records = sampleRecords();
    const QByteArray block = cb::build(records);
    plat::LeReader r(block.constData(), block.size());
    EXPECT_EQ(r.i32At(0), 600);
    EXPECT_EQ(r.i32At(4), 2);
    EXPECT_EQ(r.i32At(8), block.size());
    EXPECT_EQ(block.size(), 12 + records[0].size() + records[1].size());
    QList<QByteArray> back;
    ASSERT_EQ(cb::parse(block, &back), cb::ParseResult::Ok);
    EXPECT_EQ(back, records);
    EXPECT_EQ(cb::MimeType, QLatin1String("application/x-dravmont-objects"));

    QList<QByteArray> none;
    EXPECT_EQ(cb::parse(cb::build({}), &none), cb::ParseResult::Ok);
    EXPECT_TRUE(none.isEmpty());
}

TEST(ClipboardBlock, HostileBlocksYieldNothing)
{
    const QByteArray good = cb::build(sampleRecords());
    struct Case { const char *what; QByteArray block; cb::ParseResult result; };
    QByteArray wrongVersion = good;
    put32(wrongVersion, 0, 601);
    QByteArray totalTooLarge = good;
    put32(totalTooLarge, 8, good.size() + 1);
    QByteArray totalTooSmall = good;
    put32(totalTooSmall, 8, 11);
    QByteArray negativeCount = good;
    put32(negativeCount, 4, -1);
    QByteArray countTooLarge = good;
    put32(countTooLarge, 4, 3);
    QByteArray hugeCount = good;
    put32(hugeCount, 4, 0x7FFFFFFF);
    QByteArray cutRecord = good;
    put32(cutRecord, 8, good.size() - 1);
    QByteArray badKind = good;
    badKind[12] = 'Z';
    const Case cases[] = {
        {"empty", QByteArray(), cb::ParseResult::Unusable},
        {"short head", good.left(8), cb::ParseResult::Unusable},
        {"wrong version", wrongVersion, cb::ParseResult::WrongVersion},
        {"total beyond the data", totalTooLarge, cb::ParseResult::Unusable},
        {"total inside the head", totalTooSmall, cb::ParseResult::Unusable},
        {"negative count", negativeCount, cb::ParseResult::Unusable},
        {"more records than there are", countTooLarge, cb::ParseResult::Unusable},
        {"huge count", hugeCount, cb::ParseResult::Unusable},
        {"last record cut short", cutRecord, cb::ParseResult::Unusable},
        {"unknown kind", badKind, cb::ParseResult::Unusable},
    };
    for (const Case &c : cases) {
        QList<QByteArray> records{QByteArray("stale")};
        EXPECT_EQ(cb::parse(c.block, &records), c.result) << c.what;
        EXPECT_TRUE(records.isEmpty()) << c.what;
    }
}
