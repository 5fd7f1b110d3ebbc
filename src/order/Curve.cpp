#include "order/Curve.h"

namespace order::curve {

namespace {

// The group order N (209 bits, prime) and the packed base point; see deriveBasePoint.
const char kOrderHex[] = "105197f7d734041465fdf5cd01052d5986e1703ce8f6834f51511";
const char kBasePointHex[] = "18ff5b66461f1297404ecf5ad15b74dbc8e76b630db6b6c5031298c8";

// The y of a point with this x whose y / x has the given bit 0, when x lies on the curve.
bool solveY(const Elem &x, bool yBit, Elem *y)
{
    if (x.isZero()) {
        *y = b().sqrt();
        return true;
    }
    // y = x z turns y^2 + xy = x^3 + b into z^2 + z = x + b / x^2.
    const Elem beta = x + b() * x.square().inverse();
    if (beta.trace() != 0)
        return false;
    Elem z = beta.halfTrace();
    if (z.bit0() != yBit)
        z += Elem::constant(1);
    *y = x * z;
    return true;
}

} // namespace

const Elem &b()
{
    static const Elem v = Elem::constant(kB);
    return v;
}

const BigNum &order()
{
    static const BigNum n = [] {
        BigNum v;
        BigNum::fromHex(QByteArray(kOrderHex), &v);
        return v;
    }();
    return n;
}

const Point &basePoint()
{
    static const Point g = [] {
        BigNum packed;
        Point p;
        if (!BigNum::fromHex(QByteArray(kBasePointHex), &packed) || !unpack(packed, &p))
            p = deriveBasePoint();
        return p;
    }();
    return g;
}

Point deriveBasePoint()
{
    for (uint32_t v = gf13::kSize;; ++v) {
        const uint8_t bytes[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
        Elem x;
        Elem::fromIntegerLe(bytes, 4, &x);
        Elem y;
        if (!solveY(x, false, &y))
            continue;
        const Point g = multiply(BigNum(kCofactor), Point::at(x, y));
        if (!g.infinity)
            return g;
    }
}

bool onCurve(const Point &p)
{
    if (p.infinity)
        return true;
    // y^2 + xy == x^3 + b
    return p.y.square() + p.x * p.y == p.x.square() * p.x + b();
}

Point negate(const Point &p)
{
    if (p.infinity)
        return p;
    return Point::at(p.x, p.x + p.y);
}

Point twice(const Point &p)
{
    if (p.infinity || p.x.isZero())
        return Point(); // (0, sqrt b) has order two
    const Elem lambda = p.x + p.y * p.x.inverse();
    const Elem x3 = lambda.square() + lambda;
    const Elem y3 = p.x.square() + (lambda + Elem::constant(1)) * x3;
    return Point::at(x3, y3);
}

Point add(const Point &p, const Point &q)
{
    if (p.infinity)
        return q;
    if (q.infinity)
        return p;
    if (p.x == q.x)
        return p.y == q.y ? twice(p) : Point(); // q = -p when the x agree and the y differ
    const Elem lambda = (p.y + q.y) * (p.x + q.x).inverse();
    const Elem x3 = lambda.square() + lambda + p.x + q.x;
    const Elem y3 = lambda * (p.x + x3) + x3 + p.y;
    return Point::at(x3, y3);
}

Point multiply(const BigNum &k, const Point &p)
{
    Point r;
    for (int i = k.bits() - 1; i >= 0; --i) {
        r = twice(r);
        if (k.bit(i))
            r = add(r, p);
    }
    return r;
}

BigNum pack(const Point &p)
{
    if (p.infinity)
        return BigNum(0);
    if (p.x.isZero())
        return BigNum(p.y.isZero() ? 0 : 1);
    const auto xi = p.x.toIntegerLe();
    const Elem quotient = p.y * p.x.inverse();
    return BigNum::fromLe(xi.data(), int(xi.size())).shiftedLeft(1) + BigNum(quotient.bit0() ? 1 : 0);
}

bool unpack(const BigNum &packed, Point *out)
{
    if (packed.isNegative() || packed.bits() > Elem::kBits + 1)
        return false;
    const bool yBit = packed.bit(0);
    const QByteArray xi = packed.shiftedRight(1).toLe(Elem::kBytes);
    Elem x;
    if (xi.isEmpty() || !Elem::fromIntegerLe(reinterpret_cast<const uint8_t *>(xi.constData()), int(xi.size()), &x))
        return false;
    if (x.isZero()) {
        *out = yBit ? Point::at(x, b().sqrt()) : Point();
        return true;
    }
    Elem y;
    if (!solveY(x, yBit, &y))
        return false;
    *out = Point::at(x, y);
    return true;
}

QByteArray packBytes(const Point &p, int size)
{
    return pack(p).toLe(size);
}

bool unpackBytes(const QByteArray &bytes, Point *out)
{
    return unpack(BigNum::fromLe(bytes), out);
}

bool isValidPublicKey(const Point &q)
{
    return !q.infinity && onCurve(q) && multiply(order(), q).infinity;
}

} // namespace order::curve
