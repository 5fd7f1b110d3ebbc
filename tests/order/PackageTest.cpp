// Order packages: the name rule, header and line layout, check values, encryption for the
// shop's key, products whose attachment is missing, and the shop's reader on bad bytes.

#include "OrderTestSupport.h"

#include "order/Package.h"
#include "platform/ByteIO.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace order;

namespace {

// A repeatable source for the ephemeral number.
Random15 counting(int start)
{
    auto n = std::make_shared<int>(start);
    return [n] { return (*n)++ * 7919 % 32768; };
}

Customer customer()
{
    Customer c;
    c.name = QStringLiteral("Ada Lovelace");
    c.addr1 = QStringLiteral("12 Analytical Row");
    c.city = QStringLiteral("London");
    c.state = QStringLiteral("LN");
    c.zip = QStringLiteral("12345");
    c.country = QStringLiteral("UK");
    c.email = QStringLiteral("ada@example.org");
    c.shipName = QStringLiteral("Charles Babbage");
    c.notes = QStringLiteral("Leave with the neighbour");
    c.cardType = 2;
    c.cardNumber = QStringLiteral("378282246310005");
    c.expiry = QStringLiteral("01/30");
    return c;
}

class PackageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        design = write(QStringLiteral("owzAbc123.bcp"), QByteArray(3000, 'D') + "design end");
        picture = write(QStringLiteral("logo.png"), QByteArray("PNG picture bytes, several times over ").repeated(40));
        catalogue = ordertest::sampleCatalogue(3);
    }
    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString p = dir.filePath(name);
        QFile f(p);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return p;
    }
    QVector<OrderLine> lines(const QString &second, int secondQuantity = 20)
    {
        return {priceLine(catalogue.products[0], LineChoice{250, 1, ShipStandard}, design),
                priceLine(catalogue.products[1], LineChoice{secondQuantity, 2, ShipExpress}, second),
                priceLine(catalogue.products[2], LineChoice{0, 0, ShipStandard}, QString())};
    }
    QByteArray readAll(const QString &p)
    {
        QFile f(p);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    QString design, picture;
    Catalogue catalogue;
};

} // namespace

TEST(PackageName, Rule)
{
    const QDateTime at(QDate(2024, 3, 5), QTime(9, 7, 3));
    const struct {
        const char *billing;
        const char *name;
    } cases[] = {
        {"Ada Lovelace", "AL05090703.owz"},
        {"Madonna", "Ma05090703.owz"},
        {"Mary Ann Evans", "ME05090703.owz"},
        // A name ending in blanks: the last word that has letters.
        {"John Smith ", "JS05090703.owz"},
        {"John Smith  42  ", "JS05090703.owz"},
        {"Cher   ", "Ch05090703.owz"},
        // Characters that do not belong in a file name become X.
        {"../etc passwd", "Xp05090703.owz"},
        {"Zo\u00eb \u00dcnal", "ZX05090703.owz"},
        {"A/ B", "AB05090703.owz"},
        {"Al /x", "AX05090703.owz"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(packageName(QString::fromUtf8(c.billing), at), QLatin1String(c.name)) << c.billing;
}

TEST(CheckValue, SumOfPositionTimesByte)
{
    EXPECT_EQ(checkValue(QByteArray::fromHex("01020304")), 1u * 1 + 2 * 2 + 3 * 3 + 4 * 4);
    EXPECT_EQ(checkValue(QByteArray::fromHex("ff")), 255u);
    // Modulo 2^32: 2^25 bytes of 0xFF sum to 255 x n (n + 1) / 2, which overflows.
    const QByteArray big(1 << 17, char(0xFF));
    const uint64_t n = uint64_t(big.size());
    EXPECT_EQ(checkValue(big), uint32_t((255 * n * (n + 1) / 2) & 0xFFFFFFFFu));
}

TEST_F(PackageTest, HeaderBlockAndLinesDecryptWithTheShopsKey)
{
    const QString path = dir.filePath(QStringLiteral("AL05090703.owz"));
    const PackageResult r = writePackage(path, customer(), catalogue.orderKey, 2, lines(picture), counting(1));
    ASSERT_EQ(r.error, 0);
    EXPECT_TRUE(r.messages.isEmpty());
    EXPECT_EQ(r.sent, 2);
    EXPECT_EQ(QFileInfo(path).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), QFileDevice::Permissions());

    const QByteArray bytes = readAll(path);
    const plat::LeReader h(bytes);
    const QByteArray compressed = compressBytes(customerRecord(customer()));
    const uint32_t c = uint32_t(compressed.size());
    EXPECT_EQ(h.u32At(0), 467824u);
    EXPECT_EQ(h.u32At(4), 110u);
    EXPECT_EQ(h.u8At(12), 1);
    EXPECT_EQ(h.u8At(13), 2);
    EXPECT_EQ(h.u32At(14), c);
    EXPECT_EQ(h.u32At(18), c + 64);
    EXPECT_EQ(h.u32At(22), 977u);
    EXPECT_EQ(h.u32At(26), 2u);
    EXPECT_EQ(h.u32At(8), checkValue(bytes.constData() + 30, 4));

    // The first line follows the block.
    const qsizetype line = 30 + c + 64;
    EXPECT_EQ(bytes.mid(line + 4, 9), QByteArray("Product 1"));
    EXPECT_EQ(h.u32At(line + 36), 250u);
    EXPECT_EQ(h.u8At(line + 40), 0);
    EXPECT_EQ(bytes.mid(line + 41, 7), QByteArray("Glossy\0", 7));
    EXPECT_EQ(h.u32At(line + 73), 10750000u);
    EXPECT_EQ(bytes.mid(line + 77, 4), QByteArray("bcp\0", 4));
    EXPECT_EQ(h.u8At(line + 87), 1);
    EXPECT_EQ(h.u32At(line + 92), 3010u);
    EXPECT_EQ(h.u32At(line), checkValue(bytes.constData() + line + 4, 92));

    OpenedPackage opened;
    QString error;
    ASSERT_TRUE(openPackage(bytes, ordertest::demoOrderKey(), &opened, &error)) << error.toStdString();
    EXPECT_EQ(opened.record, customerRecord(customer()));
    EXPECT_EQ(opened.customer.cardNumber, customer().cardNumber);
    EXPECT_EQ(opened.customer.cardType, 2);
    EXPECT_EQ(opened.orderedCount, 2);
    ASSERT_EQ(opened.lines.size(), 2);
    EXPECT_EQ(opened.lines[0].data, readAll(design));
    EXPECT_EQ(opened.lines[1].data, readAll(picture));
    EXPECT_EQ(opened.lines[1].type, QStringLiteral("png"));
    EXPECT_EQ(opened.lines[1].shipment, 1);
    EXPECT_EQ(opened.lines[1].optionName, QStringLiteral("Rounded corners"));
    EXPECT_EQ(opened.lines[1].total, 20u * 50000 + 1500000 + 500000);

    // Another key does not open it.
    EXPECT_FALSE(openPackage(bytes, ordertest::demoSigningKey(), &opened, &error));
}

TEST_F(PackageTest, HeaderCheckValueDependsOnlyOnTheEphemeralPointsFirstBytes)
{
    // The same ephemeral number for two customers: the blocks differ after the packed
    // point, the header check values do not.
    Customer other = customer();
    other.name = QStringLiteral("Grace Hopper");
    const QString a = dir.filePath(QStringLiteral("a.owz")), b = dir.filePath(QStringLiteral("b.owz"));
    ASSERT_EQ(writePackage(a, customer(), catalogue.orderKey, 1, lines(picture, 0), counting(5)).error, 0);
    ASSERT_EQ(writePackage(b, other, catalogue.orderKey, 1, lines(picture, 0), counting(5)).error, 0);
    const QByteArray pa = readAll(a), pb = readAll(b);
    EXPECT_EQ(pa.mid(30, 64), pb.mid(30, 64));
    EXPECT_NE(pa.mid(94, 20), pb.mid(94, 20));
    EXPECT_EQ(pa.mid(8, 4), pb.mid(8, 4));

    // Changing a later byte of the block leaves the check value; changing one of the
    // first four changes it.
    QByteArray block = pa.mid(30, plat::LeReader(pa).u32At(18));
    const uint32_t v = checkValue(block.constData(), 4);
    block[4] = char(block[4] ^ 0xFF);
    block[block.size() - 1] = char(block[block.size() - 1] ^ 0xFF);
    EXPECT_EQ(checkValue(block.constData(), 4), v);
    block[3] = char(block[3] ^ 0x01);
    EXPECT_NE(checkValue(block.constData(), 4), v);

    // Another ephemeral number, another point.
    const QString c = dir.filePath(QStringLiteral("c.owz"));
    ASSERT_EQ(writePackage(c, customer(), catalogue.orderKey, 1, lines(picture, 0), counting(900)).error, 0);
    EXPECT_NE(readAll(c).mid(30, 64), pa.mid(30, 64));
}

TEST_F(PackageTest, TailOfTheCompressedRecordStaysUnencrypted)
{
    // Find notes whose compressed record has c mod 8 = 5.
    Customer cust = customer();
    QByteArray compressed;
    for (int i = 0; i < 200; ++i) {
        cust.notes = QStringLiteral("Note %1 ").arg(i).repeated(1 + i % 7) + QString::number(i * 7919, 36);
        compressed = compressBytes(customerRecord(cust));
        if (compressed.size() % 8 == 5)
            break;
    }
    ASSERT_EQ(compressed.size() % 8, 5);
    const QString p = dir.filePath(QStringLiteral("t.owz"));
    ASSERT_EQ(writePackage(p, cust, catalogue.orderKey, 1, lines(picture, 0), counting(2)).error, 0);
    const QByteArray bytes = readAll(p);
    const qsizetype c = compressed.size();
    const QByteArray block = bytes.mid(30, c + 64);
    EXPECT_EQ(block.right(5), compressed.right(5));
    EXPECT_NE(block.mid(64, c - 5), compressed.left(c - 5));
}

TEST_F(PackageTest, MissingAttachmentsLeaveTheirProductOut)
{
    // Two products ordered, the second attachment missing: 8006, one line, offset 26 still 2.
    const QString p = dir.filePath(QStringLiteral("m.owz"));
    PackageResult r = writePackage(p, customer(), catalogue.orderKey, 2,
                                   lines(dir.filePath(QStringLiteral("gone.png"))), counting(3));
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.messages, QVector<int>{MsgAttachmentUnreadable});
    EXPECT_EQ(r.sent, 1);
    OpenedPackage opened;
    QString error;
    const QByteArray bytes = readAll(p);
    ASSERT_TRUE(openPackage(bytes, ordertest::demoOrderKey(), &opened, &error)) << error.toStdString();
    EXPECT_EQ(opened.lines.size(), 1);
    EXPECT_EQ(plat::LeReader(bytes).u32At(26), 2u);

    // An empty attachment counts as missing too; with every attachment missing nothing
    // is left on disk.
    const QString empty = write(QStringLiteral("empty.png"), QByteArray());
    QVector<OrderLine> none = lines(empty);
    none[0].attachment = dir.filePath(QStringLiteral("gone.bcp"));
    r = writePackage(p, customer(), catalogue.orderKey, 2, none, counting(3));
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.messages, (QVector<int>{MsgAttachmentUnreadable, MsgAttachmentUnreadable}));
    EXPECT_EQ(r.sent, 0);
    EXPECT_FALSE(QFile::exists(p));
}

TEST_F(PackageTest, LineCheckValueCoversOffsets4To95)
{
    const QString p = dir.filePath(QStringLiteral("l.owz"));
    ASSERT_EQ(writePackage(p, customer(), catalogue.orderKey, 1, lines(picture, 0), counting(4)).error, 0);
    const QByteArray bytes = readAll(p);
    const qsizetype line = 30 + plat::LeReader(bytes).u32At(18);
    const QByteArray l = bytes.mid(line, 96);
    const uint32_t v = plat::getU32(l.constData());
    ASSERT_EQ(v, checkValue(l.constData() + 4, 92));
    for (const int at : {4, 36, 73, 95}) {
        QByteArray changed = l;
        changed[at] = char(changed[at] ^ 0x10);
        EXPECT_NE(checkValue(changed.constData() + 4, 92), v) << at;
    }
    // The attachment bytes after the line are not covered: the shop's reader still finds
    // the line intact when they change (and then fails on the data itself).
    QByteArray damaged = bytes;
    damaged[line + 96 + 10] = char(damaged[line + 96 + 10] ^ 0xFF);
    OpenedPackage opened;
    QString error;
    EXPECT_FALSE(openPackage(damaged, ordertest::demoOrderKey(), &opened, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("inflate"))) << error.toStdString();
    damaged = bytes;
    damaged[line + 50] = char(damaged[line + 50] ^ 0xFF);
    EXPECT_FALSE(openPackage(damaged, ordertest::demoOrderKey(), &opened, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("check value"))) << error.toStdString();
}

TEST_F(PackageTest, ShopsReaderRefusesDamagedPackages)
{
    const QString p = dir.filePath(QStringLiteral("h.owz"));
    ASSERT_EQ(writePackage(p, customer(), catalogue.orderKey, 2, lines(picture), counting(6)).error, 0);
    const QByteArray good = readAll(p);
    const BigNum key = ordertest::demoOrderKey();
    OpenedPackage opened;
    QString error;
    ASSERT_TRUE(openPackage(good, key, &opened, &error));

    auto patched = [&good](qsizetype at, uint32_t v) {
        QByteArray b = good;
        plat::putU32(b.data() + at, v);
        return b;
    };
    const qsizetype line = 30 + plat::LeReader(good).u32At(18);
    const struct {
        const char *name;
        QByteArray bytes;
    } cases[] = {
        {"empty", QByteArray()},
        {"header only", good.left(30)},
        {"wrong magic", patched(0, 1)},
        {"wrong version", patched(4, 111)},
        {"block size disagrees", patched(18, 5)},
        {"huge compressed size", patched(14, 0xFFFFFFC0)},
        {"header check value", patched(8, 12345)},
        {"cut line", good.left(line + 50)},
        {"cut attachment", good.left(line + 96 + 5)},
        {"attachment size beyond the file", patched(line + 88, 0x7FFFFFFF)},
        {"impossible original size", patched(line + 92, 0xFFFFFFFF)},
        {"trailing bytes", good + "xyz"},
    };
    for (const auto &c : cases)
        EXPECT_FALSE(openPackage(c.bytes, key, &opened, &error)) << c.name;
}
