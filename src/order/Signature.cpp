#include "order/Signature.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSaveFile>

namespace order {

BigNum messageNumber(const QByteArray &message)
{
    // The 20 digest bytes as five little-endian words, least significant first, are the
    // little-endian integer of those bytes.
    return BigNum::fromLe(QCryptographicHash::hash(message, QCryptographicHash::Sha1));
}

bool verifySignature(const QByteArray &message, const Signature &sig, const Point &publicKey)
{
    const BigNum &n = curve::order();
    const BigNum one(1);
    if (sig.r < one || !(sig.r < n) || sig.s < one || !(sig.s < n))
        return false;
    if (publicKey.infinity || !curve::onCurve(publicKey))
        return false;
    const BigNum w = BigNum::modInverse(sig.s, n);
    if (w.isZero())
        return false;
    const BigNum u1 = BigNum::modMul(messageNumber(message), w, n);
    const BigNum u2 = BigNum::modMul(sig.r, w, n);
    const Point x = curve::add(curve::multiply(u1, curve::basePoint()), curve::multiply(u2, publicKey));
    if (x.infinity)
        return false;
    const auto xi = x.x.toIntegerLe();
    return BigNum::mod(BigNum::fromLe(xi.data(), int(xi.size())), n) == sig.r;
}

Signature signMessage(const QByteArray &message, const BigNum &privateKey)
{
    const BigNum &n = curve::order();
    const BigNum h = messageNumber(message);
    for (;;) {
        const BigNum k = BigNum::randomBelow(n);
        const Point p = curve::multiply(k, curve::basePoint());
        const auto xi = p.x.toIntegerLe();
        Signature sig;
        sig.r = BigNum::mod(BigNum::fromLe(xi.data(), int(xi.size())), n);
        if (sig.r.isZero())
            continue;
        // s = k^-1 (h + d r)
        sig.s = BigNum::modMul(BigNum::modInverse(k, n),
                               BigNum::modAdd(h, BigNum::modMul(privateKey, sig.r, n), n), n);
        if (!sig.s.isZero())
            return sig;
    }
}

BigNum generatePrivateKey()
{
    return BigNum::randomBelow(curve::order());
}

Point publicKeyOf(const BigNum &privateKey)
{
    return curve::multiply(privateKey, curve::basePoint());
}

QByteArray publicKeyBytes(const Point &publicKey)
{
    return curve::packBytes(publicKey, curve::kKeyBytes);
}

QByteArray bytesToHex(const QByteArray &bytes)
{
    return bytes.toHex();
}

QByteArray hexToKeyBytes(const QByteArray &hex)
{
    const QByteArray t = hex.trimmed();
    if (t.size() != 2 * curve::kKeyBytes)
        return {};
    for (char ch : t)
        if (!((ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'f') || (ch >= 'A' && ch <= 'F')))
            return {};
    return QByteArray::fromHex(t);
}

bool readPrivateKeyFile(const QString &path, BigNum *key, QString *error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read the key file %1").arg(path);
        return false;
    }
    // The number is the first line that is not empty and not a '#' comment.
    QByteArray line;
    for (const QByteArray &l : f.read(4096).split('\n')) {
        const QByteArray t = l.trimmed();
        if (!t.isEmpty() && !t.startsWith('#')) {
            line = t;
            break;
        }
    }
    BigNum d;
    if (!BigNum::fromHex(line, &d) || d.isZero() || !(d < curve::order())) {
        *error = QStringLiteral("%1 does not hold a private key (hexadecimal digits below the group order)").arg(path);
        return false;
    }
    *key = d;
    return true;
}

bool writePrivateKeyFile(const QString &path, const BigNum &key, QString *error)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    f.write(key.toHex() + '\n');
    if (!f.commit()) {
        *error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    // Only the owner reads a private key.
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return true;
}

} // namespace order
