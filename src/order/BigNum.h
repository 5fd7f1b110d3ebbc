#pragma once
// A value-type wrapper around libcrypto's BIGNUM, for the arithmetic modulo the order of
// the curve's group (signatures, key agreement) and for the integer forms of points.

#include <QByteArray>
#include <cstdint>
#include <memory>

#include <openssl/bn.h>

namespace order {

class BigNum {
public:
    BigNum();
    explicit BigNum(uint64_t v);
    BigNum(const BigNum &o);
    BigNum(BigNum &&o) noexcept = default;
    BigNum &operator=(const BigNum &o);
    BigNum &operator=(BigNum &&o) noexcept = default;
    ~BigNum() = default;

    // Little-endian bytes (any length) and hexadecimal digits (most significant first;
    // false on anything else).
    static BigNum fromLe(const void *bytes, int size);
    static BigNum fromLe(const QByteArray &bytes) { return fromLe(bytes.constData(), int(bytes.size())); }
    static bool fromHex(const QByteArray &hex, BigNum *out);
    // The value as `size` little-endian bytes; empty when it does not fit.
    QByteArray toLe(int size) const;
    // Lower-case hexadecimal digits, most significant first, no leading zeros ("0" for 0).
    QByteArray toHex() const;

    BIGNUM *get() { return m_bn.get(); }
    const BIGNUM *get() const { return m_bn.get(); }

    int bits() const { return BN_num_bits(m_bn.get()); }
    bool bit(int i) const { return BN_is_bit_set(m_bn.get(), i) == 1; }
    bool isZero() const { return BN_is_zero(m_bn.get()); }
    bool isNegative() const { return BN_is_negative(m_bn.get()); }

    friend bool operator==(const BigNum &a, const BigNum &b) { return BN_cmp(a.get(), b.get()) == 0; }
    friend bool operator!=(const BigNum &a, const BigNum &b) { return !(a == b); }
    friend bool operator<(const BigNum &a, const BigNum &b) { return BN_cmp(a.get(), b.get()) < 0; }
    friend bool operator<=(const BigNum &a, const BigNum &b) { return BN_cmp(a.get(), b.get()) <= 0; }

    friend BigNum operator+(const BigNum &a, const BigNum &b);
    friend BigNum operator-(const BigNum &a, const BigNum &b);
    friend BigNum operator*(const BigNum &a, const BigNum &b);
    BigNum shiftedLeft(int n) const;
    BigNum shiftedRight(int n) const;

    // Non-negative residue of a modulo m.
    static BigNum mod(const BigNum &a, const BigNum &m);
    static BigNum modMul(const BigNum &a, const BigNum &b, const BigNum &m);
    static BigNum modAdd(const BigNum &a, const BigNum &b, const BigNum &m);
    // a^-1 mod m, or zero when a has no inverse.
    static BigNum modInverse(const BigNum &a, const BigNum &m);
    static BigNum power(const BigNum &a, const BigNum &e);
    // A uniformly random number in [1, m - 1] from the system's secure source.
    static BigNum randomBelow(const BigNum &m);
    // Probabilistic primality (libcrypto's test).
    bool isProbablePrime() const;

private:
    struct Free {
        void operator()(BIGNUM *p) const { BN_clear_free(p); }
    };
    std::unique_ptr<BIGNUM, Free> m_bn;
};

} // namespace order
