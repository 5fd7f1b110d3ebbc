#pragma once
// The field of the order curve: GF(2^13) (reduction polynomial x^13 + x^4 + x^3 + x + 1)
// and its degree-17 extension GF(2^221) = GF(2^13)[t] / (t^17 + t^3 + 1). An element of
// the big field is a polynomial in t of degree below 17 whose coefficients are 13-bit
// values of the small field; its integer form is the sum of c_i * 2^(13 i), c0 least
// significant.

#include <QByteArray>
#include <array>
#include <cstdint>

namespace order {

// GF(2^13): elements are the integers 0..8191; multiplication through log tables.
namespace gf13 {
constexpr int kBits = 13;
constexpr uint16_t kSize = 1 << kBits;   // 8192 elements
constexpr uint16_t kPoly = 0x201B;       // x^13 + x^4 + x^3 + x + 1
uint16_t mul(uint16_t a, uint16_t b);
uint16_t inv(uint16_t a);                // a != 0
uint16_t square(uint16_t a);
// The absolute trace, 0 or 1.
int trace(uint16_t a);
// exp[i] = x^i (twice over, so sums of two logarithms need no reduction); log[0] = -1.
struct Tables {
    uint16_t exp[2 * (kSize - 1)];
    int16_t log[kSize];
    Tables();
};
const Tables &logTables();
} // namespace gf13

// GF(2^221).
class Elem {
public:
    static constexpr int kDegree = 17;                    // coefficients c0..c16
    static constexpr int kBits = kDegree * gf13::kBits;   // 221
    static constexpr int kBytes = (kBits + 7) / 8;        // 28

    Elem() { c.fill(0); }
    static Elem constant(uint16_t v)
    {
        Elem e;
        e.c[0] = v & (gf13::kSize - 1);
        return e;
    }
    // From the integer form, little-endian bytes; bits above 221 must be zero (else false).
    static bool fromIntegerLe(const uint8_t *bytes, int size, Elem *out);
    // The integer form as 28 little-endian bytes.
    std::array<uint8_t, kBytes> toIntegerLe() const;
    bool bit0() const { return c[0] & 1; }

    bool isZero() const;
    bool operator==(const Elem &o) const { return c == o.c; }
    bool operator!=(const Elem &o) const { return c != o.c; }
    Elem operator+(const Elem &o) const;
    Elem &operator+=(const Elem &o);
    Elem operator*(const Elem &o) const;
    Elem square() const;
    // The multiplicative inverse (extended Euclid over GF(2^13)[t]); zero has none and
    // gives zero.
    Elem inverse() const;
    // The absolute trace to GF(2): 0 or 1.
    int trace() const;
    // The square root (the Frobenius map applied 220 times).
    Elem sqrt() const;
    // For an element of trace 0: a z with z^2 + z = this (the half-trace, since 221 is odd).
    Elem halfTrace() const;

    std::array<uint16_t, kDegree> c;
};

} // namespace order
