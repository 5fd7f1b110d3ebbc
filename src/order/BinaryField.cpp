#include "order/BinaryField.h"

#include <utility>

namespace order {

namespace gf13 {

// Log and antilog tables. 2^13 - 1 = 8191 is prime, so every element other than 0 and
// 1 generates the multiplicative group; the tables use x (the value 2).
Tables::Tables()
{
    uint32_t v = 1;
    for (int i = 0; i < kSize - 1; ++i) {
        exp[i] = uint16_t(v);
        exp[i + kSize - 1] = uint16_t(v);
        log[v] = int16_t(i);
        v <<= 1;
        if (v & kSize)
            v ^= kPoly;
    }
    log[0] = -1;
}

const Tables &logTables()
{
    static const Tables t;
    return t;
}

uint16_t mul(uint16_t a, uint16_t b)
{
    if (a == 0 || b == 0)
        return 0;
    const Tables &t = logTables();
    return t.exp[t.log[a] + t.log[b]];
}

uint16_t inv(uint16_t a)
{
    if (a == 0)
        return 0;
    const Tables &t = logTables();
    return t.exp[(kSize - 1 - t.log[a]) % (kSize - 1)];
}

uint16_t square(uint16_t a)
{
    return mul(a, a);
}

int trace(uint16_t a)
{
    uint16_t sum = 0, p = a;
    for (int i = 0; i < kBits; ++i) {
        sum ^= p;
        p = square(p);
    }
    return sum & 1;
}

} // namespace gf13

namespace {

// Reduces a product polynomial of degree <= 32 by t^17 = t^3 + 1.
Elem reduce(std::array<uint16_t, 2 * Elem::kDegree - 1> &w)
{
    for (int i = 2 * Elem::kDegree - 2; i >= Elem::kDegree; --i) {
        const uint16_t v = w[i];
        if (!v)
            continue;
        w[i] = 0;
        w[i - Elem::kDegree] ^= v;     // t^i = t^(i-17) * (t^3 + 1)
        w[i - Elem::kDegree + 3] ^= v;
    }
    Elem r;
    for (int i = 0; i < Elem::kDegree; ++i)
        r.c[i] = w[i];
    return r;
}

// Polynomials over GF(2^13) of degree <= 17, for the inversion.
using Poly = std::array<uint16_t, Elem::kDegree + 1>;

int degree(const Poly &p)
{
    for (int i = Elem::kDegree; i >= 0; --i)
        if (p[i])
            return i;
    return -1;
}

// p += coef * t^shift * q (terms beyond degree 17 cannot occur in the callers).
void subtractScaled(Poly &p, const Poly &q, uint16_t coef, int shift)
{
    for (int i = 0; i + shift <= Elem::kDegree; ++i)
        if (q[i])
            p[i + shift] ^= gf13::mul(coef, q[i]);
}

} // namespace

bool Elem::fromIntegerLe(const uint8_t *bytes, int size, Elem *out)
{
    Elem e;
    for (int bit = 0; bit < size * 8; ++bit) {
        if (!((bytes[bit / 8] >> (bit % 8)) & 1))
            continue;
        if (bit >= kBits)
            return false;
        e.c[bit / gf13::kBits] |= uint16_t(1u << (bit % gf13::kBits));
    }
    *out = e;
    return true;
}

std::array<uint8_t, Elem::kBytes> Elem::toIntegerLe() const
{
    std::array<uint8_t, kBytes> out{};
    for (int bit = 0; bit < kBits; ++bit)
        if ((c[bit / gf13::kBits] >> (bit % gf13::kBits)) & 1)
            out[bit / 8] |= uint8_t(1u << (bit % 8));
    return out;
}

bool Elem::isZero() const
{
    for (uint16_t v : c)
        if (v)
            return false;
    return true;
}

Elem Elem::operator+(const Elem &o) const
{
    Elem r = *this;
    r += o;
    return r;
}

Elem &Elem::operator+=(const Elem &o)
{
    for (int i = 0; i < kDegree; ++i)
        c[i] ^= o.c[i];
    return *this;
}

Elem Elem::operator*(const Elem &o) const
{
    // Schoolbook product over the log tables, with each operand's logarithms looked up once.
    const auto &t = gf13::logTables();
    int la[kDegree], lb[kDegree];
    for (int i = 0; i < kDegree; ++i) {
        la[i] = t.log[c[i]];
        lb[i] = t.log[o.c[i]];
    }
    std::array<uint16_t, 2 * kDegree - 1> w{};
    for (int i = 0; i < kDegree; ++i) {
        if (la[i] < 0)
            continue;
        const uint16_t *e = t.exp + la[i];
        for (int j = 0; j < kDegree; ++j)
            if (lb[j] >= 0)
                w[i + j] ^= e[lb[j]];
    }
    return reduce(w);
}

Elem Elem::square() const
{
    // In characteristic two the cross terms cancel: (sum c_i t^i)^2 = sum c_i^2 t^(2i).
    std::array<uint16_t, 2 * kDegree - 1> w{};
    for (int i = 0; i < kDegree; ++i)
        w[2 * i] = gf13::square(c[i]);
    return reduce(w);
}

Elem Elem::inverse() const
{
    if (isZero())
        return Elem();
    // Extended Euclid: s_i * this == r_i (mod f) holds for both rows throughout.
    Poly r0{}, r1{}, s0{}, s1{};
    r0[0] = 1;
    r0[3] = 1;
    r0[kDegree] = 1; // f = t^17 + t^3 + 1
    for (int i = 0; i < kDegree; ++i)
        r1[i] = c[i];
    s1[0] = 1;
    int d1 = degree(r1);
    while (d1 > 0) {
        int d0 = degree(r0);
        const uint16_t leadInv = gf13::inv(r1[d1]);
        while (d0 >= d1) {
            const uint16_t coef = gf13::mul(r0[d0], leadInv);
            subtractScaled(r0, r1, coef, d0 - d1);
            subtractScaled(s0, s1, coef, d0 - d1);
            d0 = degree(r0);
        }
        std::swap(r0, r1);
        std::swap(s0, s1);
        d1 = degree(r1);
    }
    // r1 is a non-zero constant (f is irreducible): the inverse is s1 / r1.
    const uint16_t k = gf13::inv(r1[0]);
    Elem out;
    for (int i = 0; i < kDegree; ++i)
        out.c[i] = gf13::mul(s1[i], k);
    return out;
}

int Elem::trace() const
{
    Elem sum, p = *this;
    for (int i = 0; i < kBits; ++i) {
        sum += p;
        p = p.square();
    }
    return sum.c[0] & 1;
}

Elem Elem::sqrt() const
{
    Elem p = *this;
    for (int i = 0; i < kBits - 1; ++i)
        p = p.square();
    return p;
}

Elem Elem::halfTrace() const
{
    // sum of a^(4^i), i = 0..110
    Elem sum, p = *this;
    for (int i = 0; i <= (kBits - 1) / 2; ++i) {
        sum += p;
        p = p.square().square();
    }
    return sum;
}

} // namespace order
