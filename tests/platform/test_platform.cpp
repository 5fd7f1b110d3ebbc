// Byte I/O bounds, Windows-1252 text, the LOGFONT value and picture measuring.
#include "platform/Ansi.h"
#include "platform/ByteIO.h"
#include "platform/LogFont.h"
#include "platform/Picture.h"

#include <gtest/gtest.h>

#include <climits>
#include <limits>

using namespace plat;

// ---------------------------------------------------------------- byte I/O

TEST(LeReader, ReadsLittleEndianAndSignedFields)
{
    const QByteArray b = QByteArray::fromHex("feffffff" "1c118fa7" "80" "ff7f");
    LeReader r(b);
    EXPECT_EQ(r.i32(), -2);
    EXPECT_EQ(r.u32(), 0xA78F111Cu);
    EXPECT_EQ(r.i8(), -128);
    EXPECT_EQ(r.u16(), 0x7FFF);
    EXPECT_FALSE(r.failed());
    EXPECT_TRUE(r.atEnd());
}

TEST(LeReader, ReadPastEndFailsStickyAndNeverTouchesOutsideBytes)
{
    // The buffer is a view of the first 3 bytes of a larger array: the bytes behind it
    // must not leak into any value.
    const QByteArray big = QByteArray::fromHex("010203ffffffff");
    LeReader r(big.constData(), 3);
    EXPECT_EQ(r.u16(), 0x0201);
    EXPECT_EQ(r.u16(), 0); // one byte left: fails
    EXPECT_TRUE(r.failed());
    EXPECT_EQ(r.u8(), 0);  // sticky: the cursor went to the end
    EXPECT_TRUE(r.failed());
    EXPECT_EQ(r.u32At(0), 0u); // a peek that does not fit gives 0
    EXPECT_EQ(r.u16At(1), 0x0302);
    EXPECT_EQ(r.u8At(3), 0);
}

TEST(LeReader, HasRejectsNegativeHugeAndOverflowingRanges)
{
    const QByteArray b(10, 'x');
    LeReader r(b);
    struct Case { qsizetype off, count; bool ok; };
    const Case cases[] = {
        {0, 10, true}, {10, 0, true}, {9, 1, true}, {9, 2, false}, {11, 0, false},
        {-1, 1, false}, {0, -1, false}, {1, std::numeric_limits<qsizetype>::max(), false},
        {std::numeric_limits<qsizetype>::max(), 1, false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(r.has(c.off, c.count), c.ok) << c.off << "+" << c.count;
}

TEST(LeReader, BytesSeekAndFixedString)
{
    const QByteArray b("abc\0def" "ghij", 11);
    LeReader r(b);
    EXPECT_EQ(r.fixedString(7), QByteArray("abc"));
    EXPECT_EQ(r.fixedString(4), QByteArray("ghij")); // no terminator: the whole field
    EXPECT_FALSE(r.failed());
    EXPECT_TRUE(r.seek(0));
    EXPECT_TRUE(r.bytes(std::numeric_limits<int32_t>::max()).isEmpty());
    EXPECT_TRUE(r.failed());
    LeReader r2(b);
    EXPECT_FALSE(r2.seek(12));
    EXPECT_FALSE(r2.seek(-1));
    EXPECT_TRUE(r2.failed());
    LeReader empty(nullptr, -5);
    EXPECT_EQ(empty.size(), 0);
    EXPECT_EQ(empty.u8(), 0);
    EXPECT_TRUE(empty.failed());
}

TEST(LeWriter, WritesFieldsAndPatchesInPlace)
{
    QByteArray out;
    LeWriter w(&out);
    w.i32(-2);
    w.u16(0x1234);
    w.i8(-1);
    w.fixedString("toolong", 5);
    w.fixedString("ab", 4);
    w.putU32At(0, 600);
    w.putU8At(20, 7); // grows with zeros
    EXPECT_EQ(out.toHex().toStdString(), "58020000" "3412" "ff" "746f6f6c00" "61620000" "00000000" "07");
}

// ---------------------------------------------------------------- Windows-1252

TEST(Ansi, AllBytesRoundTrip)
{
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(char(i));
    const QString text = fromAnsi(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(toAnsi(text), all);
}

TEST(Ansi, KnownMappingsBothWays)
{
    struct Case { unsigned char byte; char16_t unicode; };
    const Case cases[] = {
        {0x41, u'A'}, {0x80, 0x20AC}, {0x85, 0x2026}, {0x8A, 0x0160}, {0x81, 0x0081},
        {0x9F, 0x0178}, {0xA0, 0x00A0}, {0xE9, 0x00E9}, {0xFF, 0x00FF}, {0x00, 0x0000},
    };
    for (const Case &c : cases) {
        const QString s = fromAnsi(QByteArray(1, char(c.byte)));
        ASSERT_EQ(s.size(), 1);
        EXPECT_EQ(s.at(0).unicode(), c.unicode) << int(c.byte);
        EXPECT_EQ(toAnsi(QString(QChar(c.unicode))), QByteArray(1, char(c.byte))) << int(c.byte);
    }
    // Characters Windows-1252 cannot hold become '?'.
    EXPECT_EQ(toAnsi(QStringLiteral("a\u03A9\u4E2D\U0001F600b")), QByteArray("a???" "?b"));
}

// ---------------------------------------------------------------- LOGFONT

TEST(LogFont, BytesRoundTripEveryField)
{
    QByteArray raw(LogFont::kSize, '\0');
    for (int i = 0; i < 28; ++i)
        raw[i] = char(0x91 + i * 5); // every numeric field, with high bits set
    const QByteArray face("Thirty-one characters long face"); // 31 bytes
    ASSERT_EQ(face.size(), 31);
    raw.replace(28, 31, face);
    const LogFont f = LogFont::fromBytes(raw);
    EXPECT_EQ(f.toBytes(), raw);
    EXPECT_EQ(f.height, int32_t(plat::getU32(raw.constData())));
    EXPECT_LT(f.height, 0);
    EXPECT_EQ(f.faceName, face);

    char out[LogFont::kSize];
    f.writeTo(out);
    EXPECT_EQ(QByteArray(out, LogFont::kSize), raw);
}

TEST(LogFont, ShortBufferGivesDefaultFont)
{
    const QByteArray raw(LogFont::kSize - 1, '\x55');
    const LogFont f = LogFont::fromBytes(raw);
    EXPECT_EQ(f, LogFont());
    EXPECT_EQ(LogFont::fromBytes(nullptr, 100), LogFont());
}

TEST(LogFont, FaceWithoutTerminatorIsCutToThirtyOneBytes)
{
    QByteArray raw(LogFont::kSize, 'F');
    const LogFont f = LogFont::fromBytes(raw);
    EXPECT_EQ(f.faceName.size(), 32);
    const QByteArray written = f.toBytes();
    EXPECT_EQ(written.size(), LogFont::kSize);
    EXPECT_EQ(written.at(LogFont::kSize - 1), '\0');
}

TEST(LogFont, PointsAndQFontAtTheReferenceResolution)
{
    const LogFont f = LogFont::fromPoints(QStringLiteral("Arial"), 12);
    EXPECT_EQ(f.height, -16);
    EXPECT_EQ(f.points(), 12);
    EXPECT_EQ(f.weight, 400);
    const QByteArray b = f.toBytes();
    EXPECT_EQ(b.mid(28, 6), QByteArray("Arial\0", 6));

    LogFont bold = f;
    bold.weight = 700;
    bold.italic = 1;
    bold.underline = 1;
    const QFont q = bold.toQFont();
    EXPECT_EQ(q.pixelSize(), 16);
    EXPECT_TRUE(q.italic());
    EXPECT_TRUE(q.underline());
    EXPECT_FALSE(q.strikeOut());
    EXPECT_EQ(q.weight(), QFont::Bold);

    const LogFont back = LogFont::fromQFont(q);
    EXPECT_EQ(back.height, -16);
    EXPECT_EQ(back.weight, 700);
    EXPECT_EQ(back.italic, 1);
    EXPECT_EQ(back.underline, 1);
    EXPECT_EQ(back.face(), QStringLiteral("Arial"));
}

// ---------------------------------------------------------------- pictures

namespace {
QByteArray bmp24(int w, int h, uint32_t declaredSize = 0)
{
    const int stride = ((w * 24 + 31) / 32) * 4;
    QByteArray out;
    LeWriter wr(&out);
    wr.u8('B');
    wr.u8('M');
    wr.u32(declaredSize ? declaredSize : uint32_t(54 + stride * h));
    wr.u32(0);
    wr.u32(54);
    wr.u32(40);
    wr.i32(w);
    wr.i32(h);
    wr.u16(1);
    wr.u16(24);
    wr.zeros(24);
    wr.zeros(stride * h);
    return out;
}

QByteArray emf(uint32_t nBytes, qsizetype total)
{
    QByteArray out(total, '\0');
    putU32(out.data(), 1);
    putU32(out.data() + 4, 88);
    putU32(out.data() + 40, 0x464D4520u);
    putU32(out.data() + 48, nBytes);
    return out;
}
} // namespace

TEST(Picture, MeasureBmp)
{
    struct Case { const char *name; QByteArray bytes; qsizetype available; qsizetype expected; };
    const QByteArray ok = bmp24(3, 2); // stride 12: 54 + 24
    QByteArray badMagic = ok;
    badMagic[0] = 'X';
    QByteArray badDepth = ok;
    putU16(badDepth.data() + 28, 7);
    QByteArray tall = ok;
    putU32(tall.data() + 22, 1000);
    QByteArray zeroWidth = ok;
    putU32(zeroWidth.data() + 18, 0);
    QByteArray topDown = ok;
    putU32(topDown.data() + 22, uint32_t(-2));
    QByteArray hugeHeader = ok;
    putU32(hugeHeader.data() + 14, 0x7FFFFFFF);
    const Case cases[] = {
        {"valid", ok, ok.size(), 78},
        {"valid with bytes behind it", ok + QByteArray(10, 'z'), ok.size() + 10, 78},
        {"declared size beyond the bytes", bmp24(3, 2, 5000), 78, -1},
        {"pixels beyond the bytes", tall, tall.size(), -1},
        {"not a bitmap", badMagic, badMagic.size(), -1},
        {"unknown depth", badDepth, badDepth.size(), -1},
        {"zero width", zeroWidth, zeroWidth.size(), -1},
        {"top-down", topDown, topDown.size(), 78},
        {"header size absurd", hugeHeader, hugeHeader.size(), -1},
        {"cut inside the headers", ok.left(20), 20, -1},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Picture::measureBmp(c.bytes.constData(), c.available), c.expected) << c.name;
}

TEST(Picture, MeasureEmf)
{
    QByteArray badSig = emf(100, 100);
    putU32(badSig.data() + 40, 0x12345678);
    QByteArray badType = emf(100, 100);
    putU32(badType.data(), 2);
    struct Case { const char *name; QByteArray bytes; qsizetype expected; };
    const Case cases[] = {
        {"valid", emf(100, 100), 100},
        {"valid, bytes behind", emf(100, 150), 100},
        {"nBytes beyond the bytes", emf(0x7FFFFFFF, 100), -1},
        {"nBytes below the header", emf(40, 100), -1},
        {"wrong signature", badSig, -1},
        {"not a header record", badType, -1},
        {"shorter than a header", emf(80, 80), -1},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Picture::measureEmf(c.bytes.constData(), c.bytes.size()), c.expected) << c.name;
}

TEST(Picture, ValueSemanticsAndKindLetters)
{
    const Picture none;
    EXPECT_TRUE(none.isNull());
    EXPECT_EQ(none.kindLetter(), ' ');
    EXPECT_TRUE(Picture::bitmap(QByteArray()).isNull());
    const Picture b = Picture::bitmap(bmp24(1, 1));
    const Picture m = Picture::metafile(emf(100, 100));
    EXPECT_EQ(b.kindLetter(), 'B');
    EXPECT_EQ(m.kindLetter(), 'M');
    Picture copy = b;
    EXPECT_EQ(copy, b);
    EXPECT_NE(copy, m);
    EXPECT_EQ(copy.bytes(), bmp24(1, 1));
}

TEST(LogFont, HostileHeightsStayRenderable)
{
    struct Case { int32_t height; int pixels; };
    const Case cases[] = {
        {INT32_MIN, kMaxPixelHeight}, {-2000000000, kMaxPixelHeight}, {-1, 1}, {0, 16},
    };
    for (const Case &c : cases) {
        LogFont f;
        f.height = c.height;
        f.setFace(QStringLiteral("Arial"));
        EXPECT_EQ(f.toQFont().pixelSize(), c.pixels) << c.height;
        EXPECT_GE(f.points(), 0) << c.height;
    }
    LogFont tall;
    tall.height = INT32_MAX; // a cell height
    EXPECT_LE(tall.toQFont().pixelSize(), kMaxPixelHeight);
    EXPECT_GE(tall.toQFont().pixelSize(), 1);
}
