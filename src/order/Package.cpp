#include "order/Package.h"

#include "order/Blowfish.h"
#include "platform/Ansi.h"
#include "platform/ByteIO.h"

#include <QFile>
#include <QRandomGenerator>
#include <QStringList>
#include <zlib.h>

#include <cstring>

namespace order {

QString orderMessageText(int id)
{
    switch (id) {
    case MsgNoProducts:
        return QStringLiteral("You must specify a quantity and choose a data file for each product ordered.\n\n"
                              "Take note of minimum quantity requirements if you already entered a quantity.\n\n"
                              "If you are not ordering a product make sure its quantity is blank.");
    case MsgBillingMissing:
        return QStringLiteral("You must enter the required fields.");
    case MsgCardInvalid:
        return QStringLiteral("Invalid Credit Card information.\n\nPlease make sure you enter your credit card "
                              "number and expiration date exactly as shown on your credit card.");
    case MsgUnreachable:
        return QStringLiteral("Unable to contact the server.\n\nPlease try again later.");
    case MsgCatalogueUnreadable:
        return QStringLiteral("Error reading data file.\n\nPlease try again.");
    case MsgAttachmentUnreadable:
        return QStringLiteral("Error reading attachment file.\n\nPlease make sure the attachment is located in the "
                              "folder specified and that it is not in use by another process.");
    case MsgWriteError:
        return QStringLiteral("Error writing information.\n\nPlease make sure you have write permission on the "
                              "drive you are running from.");
    case MsgProcessingError:
        return QStringLiteral("Error processing data.\n\nAn internal error occurred.\n\nPlease try again.");
    case MsgSubmitted:
        return QStringLiteral("Your order has been successfully submitted.\n\nYou will receive an e-mail confirming "
                              "your order in a few business days.");
    default:
        return {};
    }
}

uint32_t checkValue(const char *data, qsizetype size)
{
    uint32_t sum = 0;
    for (qsizetype i = 0; i < size; ++i)
        sum += uint32_t(i + 1) * uint32_t(static_cast<unsigned char>(data[i]));
    return sum;
}

namespace {

// Package names travel to the shop's server: only ASCII letters and digits are used,
// anything else becomes 'X'.
QChar safeLetter(const QString &s, qsizetype i)
{
    if (i < 0 || i >= s.size())
        return QLatin1Char('X');
    const QChar c = s.at(i);
    if (c.unicode() < 128 && c.isLetterOrNumber())
        return c;
    return QLatin1Char('X');
}

bool hasLetter(QStringView word)
{
    for (QChar c : word)
        if (c.isLetter())
            return true;
    return false;
}

} // namespace

QString packageName(const QString &billingName, const QDateTime &localTime)
{
    QString name = billingName;
    if (name.endsWith(QLatin1Char(' '))) {
        // The letter after the last blank would be the end of the name: the name is taken
        // up to the end of its last word that has letters.
        qsizetype end = -1;
        qsizetype i = name.size();
        while (i > 0) {
            while (i > 0 && name.at(i - 1) == QLatin1Char(' '))
                --i;
            const qsizetype wordEnd = i;
            while (i > 0 && name.at(i - 1) != QLatin1Char(' '))
                --i;
            if (wordEnd > i && hasLetter(QStringView(name).mid(i, wordEnd - i))) {
                end = wordEnd;
                break;
            }
        }
        name = end > 0 ? name.left(end) : name.trimmed();
    }
    qsizetype second = 1;
    for (qsizetype i = name.size() - 1; i >= 1; --i) {
        if (name.at(i) == QLatin1Char(' ')) {
            second = i + 1;
            break;
        }
    }
    const QDate d = localTime.date();
    const QTime t = localTime.time();
    return QString(safeLetter(name, 0)) + safeLetter(name, second)
           + QString::asprintf("%02d%02d%02d%02d.owz", d.day(), t.hour(), t.minute(), t.second());
}

QByteArray compressBytes(const QByteArray &data)
{
    uLongf capacity = compressBound(uLong(data.size()));
    QByteArray out(qsizetype(capacity), '\0');
    if (compress2(reinterpret_cast<Bytef *>(out.data()), &capacity, reinterpret_cast<const Bytef *>(data.constData()),
                  uLong(data.size()), Z_DEFAULT_COMPRESSION)
        != Z_OK)
        return {};
    out.resize(qsizetype(capacity));
    return out;
}

bool uncompressBytes(const QByteArray &data, qint64 expectedSize, QByteArray *out)
{
    if (expectedSize < 0 || expectedSize > pkg::kMaxAttachment)
        return false;
    QByteArray buf(qsizetype(expectedSize), '\0');
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK)
        return false;
    zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    zs.avail_in = uInt(data.size());
    zs.next_out = reinterpret_cast<Bytef *>(buf.data());
    zs.avail_out = uInt(buf.size());
    const int rc = inflate(&zs, Z_FINISH);
    const bool ok = rc == Z_STREAM_END && zs.total_out == uLong(expectedSize) && zs.avail_in == 0;
    inflateEnd(&zs);
    if (ok)
        *out = buf;
    return ok;
}

Random15 systemRandom15()
{
    return [] { return int(QRandomGenerator::system()->bounded(32768)); };
}

BigNum ephemeralNumber(const Random15 &random)
{
    const BigNum &n = curve::order();
    BigNum r(0);
    while (r < n)
        r = r.shiftedLeft(15) + BigNum(uint64_t(random() & 0x7FFF));
    return BigNum::mod(r, n - BigNum(3)) + BigNum(2);
}

QByteArray sharedKey(const Point &s)
{
    const auto xi = s.x.toIntegerLe();
    return QByteArray(reinterpret_cast<const char *>(xi.data()), 20);
}

QByteArray encryptRecord(const QByteArray &compressed, const QByteArray &orderKey, const BigNum &r)
{
    Point q;
    if (!curve::unpackBytes(orderKey, &q) || !curve::isValidPublicKey(q))
        return {};
    const QByteArray packedR = curve::packBytes(curve::multiply(r, curve::basePoint()), curve::kPointBytes);
    const Point s = curve::multiply(r, q);
    if (packedR.isEmpty() || s.infinity)
        return {};
    QByteArray block = packedR + compressed;
    Blowfish(sharedKey(s)).encryptLe(block.data() + curve::kPointBytes, compressed.size());
    return block;
}

bool decryptRecord(const QByteArray &block, const BigNum &privateKey, QByteArray *compressed)
{
    if (block.size() < curve::kPointBytes)
        return false;
    Point r;
    if (!curve::unpackBytes(block.left(curve::kPointBytes), &r) || r.infinity)
        return false;
    const Point s = curve::multiply(privateKey, r);
    if (s.infinity)
        return false;
    QByteArray data = block.mid(curve::kPointBytes);
    Blowfish(sharedKey(s)).decryptLe(data.data(), data.size());
    *compressed = data;
    return true;
}

OrderLine priceLine(const Product &p, const LineChoice &choice, const QString &attachment)
{
    OrderLine line;
    line.productName = p.nameBytes.isEmpty() ? plat::toAnsi(p.name) : p.nameBytes;
    line.quantity = choice.quantity;
    line.shipment = choice.shipment;
    if (choice.option >= 0 && choice.option < p.options.size())
        line.optionName = p.options[choice.option].name;
    const int64_t total = lineTotal(p, choice);
    // The field holds 32 bits; a larger total is kept at the top of its range.
    line.total = total > int64_t(UINT32_MAX) ? UINT32_MAX : uint32_t(std::max<int64_t>(total, 0));
    line.attachment = attachment;
    return line;
}

namespace {

QByteArray lineBytes(const OrderLine &l, const QByteArray &compressed, qint64 originalSize)
{
    QByteArray out(pkg::kLineSize, '\0');
    plat::LeWriter w(&out);
    std::memcpy(out.data() + 4, l.productName.constData(), size_t(std::min<qsizetype>(l.productName.size(), 32)));
    w.putU32At(36, uint32_t(l.quantity));
    w.putU8At(40, uint8_t(l.shipment));
    const QByteArray option = plat::toAnsi(l.optionName);
    std::memcpy(out.data() + 41, option.constData(), size_t(std::min<qsizetype>(option.size(), 31)));
    w.putU32At(73, l.total);
    const QByteArray type = plat::toAnsi(l.attachment.right(3));
    std::memcpy(out.data() + 77, type.constData(), size_t(std::min<qsizetype>(type.size(), 9)));
    w.putU8At(87, 1);
    w.putU32At(88, uint32_t(compressed.size()));
    w.putU32At(92, uint32_t(originalSize));
    w.putU32At(0, checkValue(out.constData() + 4, pkg::kLineSize - 4));
    return out;
}

// Reads a whole attachment: false when it cannot be opened, is empty, too large for a
// package or cannot be read whole.
bool readAttachment(const QString &path, QByteArray *data)
{
    QFile f(path);
    if (path.isEmpty() || !f.open(QIODevice::ReadOnly))
        return false;
    const qint64 size = f.size();
    if (size <= 0 || size > pkg::kMaxAttachment)
        return false;
    *data = f.readAll();
    return data->size() == size;
}

bool writeAll(QFile &f, const QByteArray &bytes)
{
    return f.write(bytes) == bytes.size();
}

} // namespace

PackageResult writePackage(const QString &path, const Customer &customer, const QByteArray &orderKey,
                           int orderedCount, const QVector<OrderLine> &lines, const Random15 &random)
{
    PackageResult result;
    result.path = path;
    QFile::remove(path);
    QFile f(path);
    // The package holds card data: only its owner may read it.
    if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        result.error = MsgWriteError;
        return result;
    }
    auto fail = [&](int message) {
        f.close();
        QFile::remove(path);
        result.error = message;
        result.sent = 0;
        return result;
    };

    const QByteArray record = customerRecord(customer);
    const QByteArray compressed = compressBytes(record);
    if (compressed.isEmpty())
        return fail(MsgProcessingError);
    const QByteArray block = encryptRecord(compressed, orderKey, ephemeralNumber(random));
    if (block.isEmpty())
        return fail(MsgProcessingError);

    QByteArray header;
    plat::LeWriter h(&header);
    h.u32(pkg::kMagic);
    h.u32(pkg::kVersion);
    h.u32(checkValue(block.constData(), 4));
    h.u8(1);
    h.u8(pkg::kCipherBlowfish);
    h.u32(uint32_t(compressed.size()));
    h.u32(uint32_t(block.size()));
    h.u32(kCustomerRecordSize);
    h.u32(uint32_t(orderedCount));
    if (!writeAll(f, header) || !writeAll(f, block) || !f.flush())
        return fail(MsgWriteError);

    for (const OrderLine &line : lines) {
        if (line.quantity == 0)
            continue;
        QByteArray data;
        if (!readAttachment(line.attachment, &data)) {
            result.messages << MsgAttachmentUnreadable;
            continue;
        }
        const QByteArray packed = compressBytes(data);
        if (packed.isEmpty()) {
            result.messages << MsgProcessingError;
            continue;
        }
        const qint64 start = f.pos();
        if (!writeAll(f, lineBytes(line, packed, data.size())) || !writeAll(f, packed) || !f.flush()) {
            // A half-written line would shift every later one: the package is cut back to
            // where this product began.
            f.resize(start);
            f.seek(start);
            result.messages << MsgWriteError;
            continue;
        }
        ++result.sent;
    }
    f.close();
    if (f.error() != QFileDevice::NoError)
        return fail(MsgWriteError);
    if (result.sent == 0)
        QFile::remove(path); // nothing to upload, and no card data left on disk
    return result;
}

bool openPackage(const QByteArray &bytes, const BigNum &privateKey, OpenedPackage *out, QString *error)
{
    auto bad = [error](const QString &why) {
        *error = why;
        return false;
    };
    const plat::LeReader r(bytes);
    if (bytes.size() < pkg::kHeaderSize || r.u32At(0) != pkg::kMagic)
        return bad(QStringLiteral("not an order package"));
    if (r.u32At(4) != pkg::kVersion || r.u8At(12) != 1 || r.u8At(13) != pkg::kCipherBlowfish)
        return bad(QStringLiteral("unknown package version or cipher"));
    const uint32_t c = r.u32At(14);
    const uint32_t blockSize = r.u32At(18);
    if (blockSize != uint64_t(c) + curve::kPointBytes || r.u32At(22) != uint32_t(kCustomerRecordSize)
        || !r.has(pkg::kHeaderSize, blockSize))
        return bad(QStringLiteral("damaged package header"));
    const QByteArray block = bytes.mid(pkg::kHeaderSize, blockSize);
    if (checkValue(block.constData(), 4) != r.u32At(8))
        return bad(QStringLiteral("the header check value does not match"));
    QByteArray compressed;
    if (!decryptRecord(block, privateKey, &compressed) || !uncompressBytes(compressed, kCustomerRecordSize, &out->record))
        return bad(QStringLiteral("the customer record does not decrypt with this key"));
    out->customer = customerFromRecord(out->record);
    out->orderedCount = int(r.u32At(26));
    out->lines.clear();

    qsizetype pos = pkg::kHeaderSize + blockSize;
    while (pos < bytes.size()) {
        if (!r.has(pos, pkg::kLineSize))
            return bad(QStringLiteral("a cut order line at offset %1").arg(pos));
        const char *line = bytes.constData() + pos;
        if (checkValue(line + 4, pkg::kLineSize - 4) != plat::getU32(line))
            return bad(QStringLiteral("the check value of the order line at offset %1 does not match").arg(pos));
        const uint32_t a = plat::getU32(line + 88);
        const uint32_t size = plat::getU32(line + 92);
        if (!r.has(pos + pkg::kLineSize, a))
            return bad(QStringLiteral("the attachment at offset %1 is cut").arg(pos));
        // zlib cannot expand more than about 1032 : 1; a larger promise is a lie.
        if (qint64(size) > qint64(a) * 1032 + 64)
            return bad(QStringLiteral("the attachment at offset %1 claims an impossible size").arg(pos));
        OpenedLine l;
        plat::LeReader name(line + 4, 32), option(line + 41, 32), type(line + 77, 10);
        l.productName = name.fixedString(32);
        l.quantity = int(plat::getU32(line + 36));
        l.shipment = static_cast<unsigned char>(line[40]);
        l.optionName = plat::fromAnsi(option.fixedString(32));
        l.total = plat::getU32(line + 73);
        l.type = plat::fromAnsi(type.fixedString(10));
        if (!uncompressBytes(bytes.mid(pos + pkg::kLineSize, a), size, &l.data))
            return bad(QStringLiteral("the attachment at offset %1 does not inflate").arg(pos));
        out->lines.append(l);
        pos += pkg::kLineSize + a;
    }
    return true;
}

} // namespace order
