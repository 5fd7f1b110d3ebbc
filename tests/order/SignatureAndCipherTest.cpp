// Catalogue signatures with the demo key, the built-in verification key, and Blowfish as
// the order package uses it.

#include "OrderTestSupport.h"

#include "order/Blowfish.h"
#include "order/OrderService.h"
#include "order/Signature.h"

#include <gtest/gtest.h>

using namespace order;

TEST(Signature, DemoKeySignsAndEveryFlippedBitFails)
{
    const BigNum d = ordertest::demoSigningKey();
    const Point q = publicKeyOf(d);
    ASSERT_TRUE(curve::isValidPublicKey(q));

    const QByteArray message = catalogueBody(ordertest::sampleCatalogue(1));
    const Signature sig = signMessage(message, d);
    EXPECT_TRUE(verifySignature(message, sig, q));

    // One flipped bit anywhere in the signed bytes: first, last, inside the header, the
    // order key and the product record.
    for (const qsizetype byte : {qsizetype(0), qsizetype(3), qsizetype(300), qsizetype(606), qsizetype(620),
                                 qsizetype(700), qsizetype(2700), message.size() - 1}) {
        for (const int bit : {0, 7}) {
            QByteArray m = message;
            m[byte] = char(m[byte] ^ (1 << bit));
            EXPECT_FALSE(verifySignature(m, sig, q)) << "byte " << byte << " bit " << bit;
        }
    }
    // One flipped bit of r or s, low and high.
    for (const int bit : {0, 100, 200}) {
        Signature r = sig, s = sig;
        BN_is_bit_set(r.r.get(), bit) ? BN_clear_bit(r.r.get(), bit) : BN_set_bit(r.r.get(), bit);
        BN_is_bit_set(s.s.get(), bit) ? BN_clear_bit(s.s.get(), bit) : BN_set_bit(s.s.get(), bit);
        EXPECT_FALSE(verifySignature(message, r, q)) << "r bit " << bit;
        EXPECT_FALSE(verifySignature(message, s, q)) << "s bit " << bit;
    }
    // Out of range values and another key.
    EXPECT_FALSE(verifySignature(message, Signature{BigNum(0), sig.s}, q));
    EXPECT_FALSE(verifySignature(message, Signature{sig.r, sig.s + curve::order()}, q));
    EXPECT_FALSE(verifySignature(message, sig, publicKeyOf(ordertest::demoOrderKey())));
}

TEST(Signature, BuiltInKeyIsTheDemoKeyUnlessTheBuildNamesAnother)
{
    const QByteArray builtIn = builtInVerificationKey();
    ASSERT_EQ(builtIn.size(), 32);
    Point q;
    ASSERT_TRUE(curve::unpackBytes(builtIn, &q));
    EXPECT_TRUE(curve::isValidPublicKey(q));
    if (builtIn != ordertest::publicBytes(ordertest::demoSigningKey()))
        GTEST_SKIP() << "built with a shop's own verification key";
    // The key is printed and configured as the 32 bytes in file order.
    EXPECT_EQ(bytesToHex(builtIn), QByteArray("727ef29bf546f9895ffc86f48d3108e4239ca3a8b8468b1d0082902e00000000"));
    EXPECT_EQ(hexToKeyBytes(bytesToHex(builtIn)), builtIn);
    EXPECT_TRUE(hexToKeyBytes("727ef29b").isEmpty());
    EXPECT_TRUE(hexToKeyBytes(QByteArray(64, 'g')).isEmpty());
}

namespace {

uint32_t be32(const QByteArray &hex)
{
    return uint32_t(hex.toULong(nullptr, 16));
}

} // namespace

TEST(Blowfish, PublishedVectors)
{
    // Key, plain text, cipher text, as published (the first four bytes of each block are
    // the left half, most significant byte first).
    const struct {
        const char *key, *plain, *cipher;
    } vectors[] = {
        {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
        {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
        {"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
        {"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
        {"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
        {"1111111111111111", "0123456789ABCDEF", "7D0CC630AFDA1EC7"},
        {"FEDCBA9876543210", "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
        {"7CA110454A1A6E57", "01A1D6D039776742", "59C68245EB05282B"},
        {"0131D9619DC1376E", "5CD54CA83DEF57DA", "B1B8CC0B250F09A0"},
        {"1C587F1C13924FEF", "305532286D6F295A", "55CB3774D13EF201"},
    };
    for (const auto &v : vectors) {
        SCOPED_TRACE(v.key);
        const Blowfish bf(QByteArray::fromHex(v.key));
        const QByteArray plain(v.plain), cipher(v.cipher);
        uint32_t l = be32(plain.left(8)), r = be32(plain.mid(8));
        bf.encryptBlock(l, r);
        EXPECT_EQ(l, be32(cipher.left(8)));
        EXPECT_EQ(r, be32(cipher.mid(8)));
        bf.decryptBlock(l, r);
        EXPECT_EQ(l, be32(plain.left(8)));
        EXPECT_EQ(r, be32(plain.mid(8)));
    }
}

TEST(Blowfish, LittleEndianHalvesAndUntouchedTail)
{
    // 0123456789ABCDEF under FEDCBA9876543210 gives 0ACEAB0F C6A0A28D; in a package the
    // halves are little-endian words, so the bytes are those of each half reversed.
    const Blowfish bf(QByteArray::fromHex("FEDCBA9876543210"));
    const QByteArray tail = QByteArray::fromHex("0102030405");
    QByteArray data = QByteArray::fromHex("67452301EFCDAB89") + tail; // 13 bytes: c mod 8 = 5
    bf.encryptLe(data.data(), data.size());
    EXPECT_EQ(data.left(8).toHex(), QByteArray("0fabce0a8da2a0c6"));
    EXPECT_EQ(data.mid(8), tail);
    bf.decryptLe(data.data(), data.size());
    EXPECT_EQ(data.left(8).toHex(), QByteArray("67452301efcdab89"));

    // A 20-byte key (as the package uses) round-trips every whole block and only those.
    const Blowfish key20(QByteArray("0123456789abcdefghij"));
    const QByteArray original = QByteArray("The quick brown fox jumps over the lazy dog"); // 43 bytes
    QByteArray enc = original;
    key20.encryptLe(enc.data(), enc.size());
    EXPECT_NE(enc.left(40), original.left(40));
    EXPECT_EQ(enc.mid(40), original.mid(40));
    key20.decryptLe(enc.data(), enc.size());
    EXPECT_EQ(enc, original);
}
