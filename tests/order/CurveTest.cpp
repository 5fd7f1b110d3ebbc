// The order curve: group orders, the base point, point packing and the field behind it.

#include "order/BigNum.h"
#include "order/BinaryField.h"
#include "order/Curve.h"

#include <gtest/gtest.h>

#include <random>

using namespace order;

namespace {

Elem randomElem(std::mt19937 &rng)
{
    Elem e;
    for (auto &c : e.c)
        c = uint16_t(rng() % gf13::kSize);
    return e;
}

// A point of the curve from a random x (trying until one lies on the curve).
Point randomPoint(std::mt19937 &rng)
{
    for (;;) {
        const Elem x = randomElem(rng);
        const auto xi = x.toIntegerLe();
        const BigNum packed = BigNum::fromLe(xi.data(), int(xi.size())).shiftedLeft(1) + BigNum(rng() & 1);
        Point p;
        if (curve::unpack(packed, &p))
            return p;
    }
}

} // namespace

TEST(Curve, SmallFieldCurveHas8032PointsTrace161)
{
    // One point at infinity, (0, sqrt b), and two points for every x != 0 where
    // z^2 + z = x + b / x^2 has a solution, that is where that value has trace 0.
    int points = 2;
    for (uint32_t x = 1; x < gf13::kSize; ++x) {
        const uint16_t x2 = gf13::mul(uint16_t(x), uint16_t(x));
        const uint16_t beta = uint16_t(x) ^ gf13::mul(curve::kB, gf13::inv(x2));
        if (gf13::trace(beta) == 0)
            points += 2;
    }
    EXPECT_EQ(points, curve::kSmallCurveOrder);
    EXPECT_EQ(int(gf13::kSize) + 1 - points, 161);
}

TEST(Curve, BigFieldGroupOrderIsCofactorTimesPrimeN)
{
    // Weil: with t_1 = 161 over GF(2^13), the trace over GF(2^(13 k)) follows
    // t_k = t_1 t_(k-1) - q t_(k-2), t_0 = 2; the group over GF(2^221) has q^17 + 1 - t_17 points.
    const BigNum q(gf13::kSize);
    BigNum prev(2), cur(161);
    for (int k = 2; k <= 17; ++k) {
        BigNum next = BigNum(161) * cur - q * prev;
        prev = cur;
        cur = next;
    }
    const BigNum count = BigNum::power(q, BigNum(17)) + BigNum(1) - cur;
    const BigNum &n = curve::order();
    EXPECT_EQ(count, BigNum(curve::kCofactor) * n);
    EXPECT_EQ(n.toHex(), QByteArray("105197f7d734041465fdf5cd01052d5986e1703ce8f6834f51511"));
    EXPECT_EQ(n.bits(), 209);
    EXPECT_TRUE(n.isProbablePrime());

    // Random points of the curve are annihilated by the group order, but not by N alone.
    std::mt19937 rng(7);
    for (int i = 0; i < 3; ++i) {
        const Point p = randomPoint(rng);
        ASSERT_TRUE(curve::onCurve(p));
        EXPECT_TRUE(curve::multiply(count, p).infinity);
        EXPECT_FALSE(curve::multiply(n, p).infinity);
    }
}

TEST(Curve, BasePointHasOrderNAndIsTheDocumentedChoice)
{
    const Point &g = curve::basePoint();
    EXPECT_FALSE(g.infinity);
    EXPECT_TRUE(curve::onCurve(g));
    EXPECT_TRUE(curve::multiply(curve::order(), g).infinity);
    EXPECT_EQ(g, curve::deriveBasePoint());
    // (N + 1) G = G, and N - 1 gives -G.
    EXPECT_EQ(curve::multiply(curve::order() + BigNum(1), g), g);
    EXPECT_EQ(curve::multiply(curve::order() - BigNum(1), g), curve::negate(g));
}

TEST(Curve, PackAndUnpackRoundTrip)
{
    const Point &g = curve::basePoint();
    const Point zeroX = Point::at(Elem(), curve::b().sqrt());
    ASSERT_TRUE(curve::onCurve(zeroX));
    std::mt19937 rng(11);
    const struct {
        const char *name;
        Point p;
    } cases[] = {
        {"G", g},
        {"-G", curve::negate(g)},
        {"2G", curve::twice(g)},
        {"12345 G", curve::multiply(BigNum(12345), g)},
        {"random", randomPoint(rng)},
        {"x = 0", zeroX},
        {"infinity", Point()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray bytes = curve::packBytes(c.p, curve::kKeyBytes);
        ASSERT_EQ(bytes.size(), curve::kKeyBytes);
        Point back;
        ASSERT_TRUE(curve::unpackBytes(bytes, &back));
        EXPECT_EQ(back, c.p);
    }
    // The two x = 0 packings.
    EXPECT_EQ(curve::pack(zeroX), BigNum(1));
    EXPECT_EQ(curve::pack(Point()), BigNum(0));
    // A point and its negative differ only in the y bit.
    EXPECT_EQ(curve::pack(curve::negate(g)).shiftedRight(1), curve::pack(g).shiftedRight(1));
    EXPECT_NE(curve::pack(curve::negate(g)).bit(0), curve::pack(g).bit(0));
}

TEST(Curve, UnpackRefusesValuesThatAreNoPoint)
{
    // Above 2^222 there is no x.
    Point none;
    EXPECT_FALSE(curve::unpack(BigNum(1).shiftedLeft(222), &none));
    // About half of all x have no point; find one and check both y bits fail.
    int refused = 0;
    for (uint32_t x = 1; x < 40; ++x) {
        Point p;
        const bool ok0 = curve::unpack(BigNum(x).shiftedLeft(1), &p);
        const bool ok1 = curve::unpack(BigNum(x).shiftedLeft(1) + BigNum(1), &p);
        EXPECT_EQ(ok0, ok1);
        if (!ok0)
            ++refused;
        else
            EXPECT_TRUE(curve::onCurve(p));
    }
    EXPECT_GT(refused, 5);
    EXPECT_LT(refused, 35);
}

TEST(Curve, FieldArithmetic)
{
    std::mt19937 rng(3);
    const Elem one = Elem::constant(1);
    for (int i = 0; i < 20; ++i) {
        const Elem a = randomElem(rng), b = randomElem(rng), c = randomElem(rng);
        EXPECT_EQ(a * (b + c), a * b + a * c);
        EXPECT_EQ((a * b) * c, a * (b * c));
        EXPECT_EQ(a.square(), a * a);
        EXPECT_EQ(a * a.inverse(), one);
        EXPECT_EQ(a.sqrt().square(), a);
        if (a.trace() == 0) {
            const Elem z = a.halfTrace();
            EXPECT_EQ(z.square() + z, a);
        }
    }
    // t^17 = t^3 + 1.
    Elem t;
    t.c[1] = 1;
    Elem t17 = one;
    for (int i = 0; i < 17; ++i)
        t17 = t17 * t;
    Elem t3p1 = one;
    t3p1.c[3] = 1;
    EXPECT_EQ(t17, t3p1);
    // The integer form: c_i sits at bit 13 i.
    Elem e;
    e.c[1] = 1;
    e.c[16] = 0x1000;
    const auto bytes = e.toIntegerLe();
    EXPECT_EQ(bytes[1], 0x20); // bit 13
    EXPECT_EQ(bytes[27], 0x10); // bit 220
}
