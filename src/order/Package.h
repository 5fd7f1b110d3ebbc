#pragma once
// The order package (.owz): a 30-byte header, the customer record compressed with zlib and
// encrypted for the shop's order key, then one 96-byte line per ordered product, each
// followed by its attachment compressed with zlib. Little-endian throughout.
//
// Encryption: an ephemeral number r gives R = r G (packed into the first 64 bytes of the
// encrypted block) and S = r Q for the shop's key Q; the low 160 bits of int(x of S),
// as five little-endian words, are the Blowfish key for the compressed record.

#include "order/BigNum.h"
#include "order/Catalogue.h"
#include "order/Curve.h"
#include "order/Customer.h"
#include "order/Pricing.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVector>
#include <functional>

namespace order {

namespace pkg {
constexpr uint32_t kMagic = 467824;
constexpr uint32_t kVersion = 110;
constexpr int kHeaderSize = 30;
constexpr int kLineSize = 96;
constexpr uint8_t kCipherBlowfish = 2;
// A package attachment beyond this size is refused when a package is opened.
constexpr qint64 kMaxAttachment = 512LL * 1024 * 1024;
} // namespace pkg

// Messages of the submission.
enum OrderMessage {
    MsgNoProducts = 8001,
    MsgBillingMissing = 8002,
    MsgCardInvalid = 8003,
    MsgUnreachable = 8004,
    MsgCatalogueUnreadable = 8005,
    MsgAttachmentUnreadable = 8006,
    MsgWriteError = 8007,
    MsgProcessingError = 8008,
    MsgSubmitted = 8009,
};
QString orderMessageText(int id);

// The sum of (i + 1) x b[i] over the bytes, unsigned, modulo 2^32.
uint32_t checkValue(const char *data, qsizetype size);
inline uint32_t checkValue(const QByteArray &b) { return checkValue(b.constData(), b.size()); }

// "%c%c%02d%02d%02d%02d.owz": the first letter of the billing name, the letter after its
// last blank (or its second letter), day, hour, minute and second.
QString packageName(const QString &billingName, const QDateTime &localTime);

// zlib at the default level; empty on failure.
QByteArray compressBytes(const QByteArray &data);
// Inflates exactly `expectedSize` bytes; false on anything else.
bool uncompressBytes(const QByteArray &data, qint64 expectedSize, QByteArray *out);

// A source of values 0..32767 (the ephemeral number is built from them).
using Random15 = std::function<int()>;
Random15 systemRandom15();
// r in [2, N - 2]: r = 0; while r < N: r = r 2^15 + random; then 2 + r mod (N - 3).
BigNum ephemeralNumber(const Random15 &random);

// The encrypted block for a compressed record, or empty when the key is no point.
QByteArray encryptRecord(const QByteArray &compressed, const QByteArray &orderKey, const BigNum &r);
// The shop's side: the compressed record from an encrypted block.
bool decryptRecord(const QByteArray &block, const BigNum &privateKey, QByteArray *compressed);
// The 20-byte Blowfish key of a shared point.
QByteArray sharedKey(const Point &s);

// One ordered product: the order line fields and the file that goes with it.
struct OrderLine {
    QByteArray productName; // as in the catalogue
    int quantity = 0;
    int shipment = ShipStandard;
    QString optionName;
    uint32_t total = 0;     // 1/100000 dollar (a total beyond 32 bits is kept at the top)
    QString attachment;     // file path
};
OrderLine priceLine(const Product &p, const LineChoice &choice, const QString &attachment);

struct PackageResult {
    int error = 0;              // 8007 or 8008 when the package could not be made
    QVector<int> messages;      // shown in order: 8006 / 8007 for products left out
    int sent = 0;               // products whose line and attachment were written
    QString path;
};

// Writes the package at `path` (replacing any file of that name): customer record
// encrypted for `orderKey`, `orderedCount` in the header, and a line for every entry of
// `lines` whose quantity is not 0. The file is only readable by its owner. A package that
// failed, or that holds no product, is removed again.
PackageResult writePackage(const QString &path, const Customer &customer, const QByteArray &orderKey,
                           int orderedCount, const QVector<OrderLine> &lines, const Random15 &random);

// The shop's side: an opened package.
struct OpenedLine {
    QByteArray productName;
    int quantity = 0;
    int shipment = 0;
    QString optionName;
    uint32_t total = 0;
    QString type;
    QByteArray data;            // the attachment, uncompressed
};
struct OpenedPackage {
    int orderedCount = 0;
    QByteArray record;          // the 977-byte customer record
    Customer customer;
    QVector<OpenedLine> lines;
};
bool openPackage(const QByteArray &bytes, const BigNum &privateKey, OpenedPackage *out, QString *error);

} // namespace order
