#pragma once
// Signatures over the order curve (ECDSA-style) and the keys behind them.
//
// The signed number h is the SHA-1 digest of the message read as five little-endian
// 32-bit words, least significant first. A signature (r, s) is valid for the public key
// Q when 1 <= r, s < N and, with w = s^-1, u1 = h w and u2 = r w (mod N), the point
// u1 G + u2 Q has an x whose integer form, reduced mod N, equals r.

#include "order/BigNum.h"
#include "order/Curve.h"

#include <QByteArray>

namespace order {

struct Signature {
    BigNum r, s;
};

BigNum messageNumber(const QByteArray &message);
bool verifySignature(const QByteArray &message, const Signature &sig, const Point &publicKey);
// Signs with the private number d (the shop's side); a fresh random k each time.
Signature signMessage(const QByteArray &message, const BigNum &privateKey);

// Keys: a private number d in [1, N - 1] and its public point d G.
BigNum generatePrivateKey();
Point publicKeyOf(const BigNum &privateKey);
// The public key as the 32 bytes that catalogues and the build settings carry (the
// packed point, little-endian), and those bytes as 64 hexadecimal digits in file order.
QByteArray publicKeyBytes(const Point &publicKey);
QByteArray bytesToHex(const QByteArray &bytes);
// 64 hex digits in file order -> 32 bytes; empty on anything else.
QByteArray hexToKeyBytes(const QByteArray &hex);

// A key file holds the private number as hexadecimal digits on one line ('#' lines are
// comments).
bool readPrivateKeyFile(const QString &path, BigNum *key, QString *error);
bool writePrivateKeyFile(const QString &path, const BigNum &key, QString *error);

} // namespace order
