#include "order/BigNum.h"

#include <new>

#include <openssl/err.h>

namespace order {

namespace {

struct CtxFree {
    void operator()(BN_CTX *c) const { BN_CTX_free(c); }
};

// A scratch context per call; the arithmetic here is far too small for reuse to matter.
std::unique_ptr<BN_CTX, CtxFree> context()
{
    std::unique_ptr<BN_CTX, CtxFree> c(BN_CTX_new());
    if (!c)
        throw std::bad_alloc();
    return c;
}

BIGNUM *checked(BIGNUM *p)
{
    if (!p)
        throw std::bad_alloc();
    return p;
}

void ok(int result)
{
    // libcrypto fails these operations only when memory runs out (or on a zero modulus,
    // which no caller passes).
    if (result != 1)
        throw std::bad_alloc();
}

} // namespace

BigNum::BigNum() : m_bn(checked(BN_new())) {}

BigNum::BigNum(uint64_t v) : BigNum()
{
    unsigned char b[8];
    for (int i = 0; i < 8; ++i)
        b[i] = static_cast<unsigned char>(v >> (8 * i));
    checked(BN_lebin2bn(b, 8, m_bn.get()));
}

BigNum::BigNum(const BigNum &o) : m_bn(checked(BN_dup(o.get()))) {}

BigNum &BigNum::operator=(const BigNum &o)
{
    if (this != &o)
        checked(BN_copy(m_bn.get(), o.get()));
    return *this;
}

BigNum BigNum::fromLe(const void *bytes, int size)
{
    BigNum r;
    checked(BN_lebin2bn(static_cast<const unsigned char *>(bytes), size, r.get()));
    return r;
}

bool BigNum::fromHex(const QByteArray &hex, BigNum *out)
{
    const QByteArray t = hex.trimmed();
    if (t.isEmpty() || t.size() > 4096)
        return false;
    for (char ch : t)
        if (!((ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'f') || (ch >= 'A' && ch <= 'F')))
            return false;
    BIGNUM *p = out->get();
    return BN_hex2bn(&p, t.constData()) == int(t.size());
}

QByteArray BigNum::toLe(int size) const
{
    if (isNegative() || BN_num_bytes(get()) > size)
        return {};
    QByteArray out(size, '\0');
    BN_bn2lebinpad(get(), reinterpret_cast<unsigned char *>(out.data()), size);
    return out;
}

QByteArray BigNum::toHex() const
{
    char *s = BN_bn2hex(get());
    if (!s)
        throw std::bad_alloc();
    QByteArray out(s);
    OPENSSL_free(s);
    out = out.toLower();
    // BN_bn2hex pads to whole bytes; drop a leading zero digit.
    while (out.size() > 1 && out.startsWith('0'))
        out.remove(0, 1);
    return out;
}

BigNum operator+(const BigNum &a, const BigNum &b)
{
    BigNum r;
    ok(BN_add(r.get(), a.get(), b.get()));
    return r;
}

BigNum operator-(const BigNum &a, const BigNum &b)
{
    BigNum r;
    ok(BN_sub(r.get(), a.get(), b.get()));
    return r;
}

BigNum operator*(const BigNum &a, const BigNum &b)
{
    BigNum r;
    auto ctx = context();
    ok(BN_mul(r.get(), a.get(), b.get(), ctx.get()));
    return r;
}

BigNum BigNum::shiftedLeft(int n) const
{
    BigNum r;
    ok(BN_lshift(r.get(), get(), n));
    return r;
}

BigNum BigNum::shiftedRight(int n) const
{
    BigNum r;
    ok(BN_rshift(r.get(), get(), n));
    return r;
}

BigNum BigNum::mod(const BigNum &a, const BigNum &m)
{
    BigNum r;
    auto ctx = context();
    ok(BN_nnmod(r.get(), a.get(), m.get(), ctx.get()));
    return r;
}

BigNum BigNum::modMul(const BigNum &a, const BigNum &b, const BigNum &m)
{
    BigNum r;
    auto ctx = context();
    ok(BN_mod_mul(r.get(), a.get(), b.get(), m.get(), ctx.get()));
    return r;
}

BigNum BigNum::modAdd(const BigNum &a, const BigNum &b, const BigNum &m)
{
    BigNum r;
    auto ctx = context();
    ok(BN_mod_add(r.get(), a.get(), b.get(), m.get(), ctx.get()));
    return r;
}

BigNum BigNum::modInverse(const BigNum &a, const BigNum &m)
{
    BigNum r;
    auto ctx = context();
    if (!BN_mod_inverse(r.get(), a.get(), m.get(), ctx.get())) {
        ERR_clear_error(); // "no inverse" is an answer here, not an error to keep
        return BigNum();
    }
    return r;
}

BigNum BigNum::power(const BigNum &a, const BigNum &e)
{
    BigNum r;
    auto ctx = context();
    ok(BN_exp(r.get(), a.get(), e.get(), ctx.get()));
    return r;
}

BigNum BigNum::randomBelow(const BigNum &m)
{
    // [1, m - 1]: draw from [0, m - 2] and add one.
    const BigNum span = m - BigNum(1);
    BigNum r;
    ok(BN_priv_rand_range(r.get(), span.get()));
    return r + BigNum(1);
}

bool BigNum::isProbablePrime() const
{
    auto ctx = context();
    return BN_check_prime(get(), ctx.get(), nullptr) == 1;
}

} // namespace order
