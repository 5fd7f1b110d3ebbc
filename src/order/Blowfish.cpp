// OpenSSL 3 keeps Blowfish only for compatibility: through EVP it needs the "legacy"
// provider module to be found and loaded at run time, and the low-level BF_* functions
// (always inside libcrypto itself, no provider involved) are marked deprecated. This file
// uses the low-level functions, which work on any installation and take the two halves as
// native words, so the little-endian halves of the package need no byte swapping
// around a big-endian block interface. The deprecation warnings are silenced for this
// one file only.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/blowfish.h>
#include <openssl/crypto.h>

#include "order/Blowfish.h"

#include <QtGlobal>

namespace order {

struct Blowfish::Key {
    BF_KEY bf;
};

Blowfish::Blowfish(const QByteArray &key) : m_key(std::make_unique<Key>())
{
    // BF_set_key starts from the initial tables (the digits of pi) every time.
    BF_set_key(&m_key->bf, int(key.size()), reinterpret_cast<const unsigned char *>(key.constData()));
}

Blowfish::~Blowfish()
{
    OPENSSL_cleanse(&m_key->bf, sizeof m_key->bf);
}

void Blowfish::encryptBlock(uint32_t &left, uint32_t &right) const
{
    BF_LONG d[2] = {left, right};
    BF_encrypt(d, &m_key->bf);
    left = uint32_t(d[0]);
    right = uint32_t(d[1]);
}

void Blowfish::decryptBlock(uint32_t &left, uint32_t &right) const
{
    BF_LONG d[2] = {left, right};
    BF_decrypt(d, &m_key->bf);
    left = uint32_t(d[0]);
    right = uint32_t(d[1]);
}

namespace {

uint32_t loadLe(const char *p)
{
    const auto *u = reinterpret_cast<const unsigned char *>(p);
    return uint32_t(u[0]) | uint32_t(u[1]) << 8 | uint32_t(u[2]) << 16 | uint32_t(u[3]) << 24;
}

void storeLe(char *p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = char((v >> (8 * i)) & 0xFF);
}

template <typename Fn> void eachBlock(char *data, qsizetype size, Fn fn)
{
    for (qsizetype off = 0; off + 8 <= size; off += 8) {
        uint32_t l = loadLe(data + off), r = loadLe(data + off + 4);
        fn(l, r);
        storeLe(data + off, l);
        storeLe(data + off + 4, r);
    }
}

} // namespace

void Blowfish::encryptLe(char *data, qsizetype size) const
{
    eachBlock(data, size, [this](uint32_t &l, uint32_t &r) { encryptBlock(l, r); });
}

void Blowfish::decryptLe(char *data, qsizetype size) const
{
    eachBlock(data, size, [this](uint32_t &l, uint32_t &r) { decryptBlock(l, r); });
}

} // namespace order
