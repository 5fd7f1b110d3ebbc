#pragma once
// Paints the shipped background pictures from their description in
// tools/templates/backgrounds.json. A background is a list of layers painted in order onto a
// card-sized image (1050 x 600 pixels: 3.5 x 2 inches at 300 pixels per inch, unless
// "size" says otherwise). Positions and lengths are fractions of the width (x, lengths)
// and height (y), so a background keeps its look at any size. Everything random comes
// from a seeded integer hash, so the same description always gives the same picture.
//
// Layers:
//   {"linear": {"angle": deg, "stops": [[0, "#rrggbb"], [1, "#rrggbb"]]}}
//   {"radial": {"center": [x, y], "radius": r, "stops": [...]}}
//   {"noise": {"scale": px, "octaves": n, "amount": a, "color": "#rrggbb", "stretch": [sx, sy],
//              "rings": f, "turbulence": t, "sharpness": e, "seed": n, "threshold": [lo, hi]}}
//   {"waves": {"count": n, "base": y, "spread": dy, "amplitude": a, "wavelength": l,
//              "colors": [...], "alpha": a, "side": "bottom"|"top", "tilt": dy, "seed": n}}
//   {"circles": {"count": n, "radius": [lo, hi], "colors": [...], "alpha": [lo, hi],
//                "area": [x0, y0, x1, y1], "soft": true, "ring": w, "seed": n}}
//   {"polygon": {"points": [[x, y], ...], "color": "#rrggbb", "alpha": a}}
//   {"frame": {"inset": f, "width": px, "color": "#rrggbb", "gap": px, "corner": f}}
//   {"stripes": {"angle": deg, "spacing": px, "width": px, "color": "#rrggbb", "alpha": a}}
//   {"blur": {"radius": px}}
//   {"vignette": {"amount": a, "color": "#rrggbb"}}

#include <QColor>
#include <QImage>
#include <QJsonArray>
#include <QJsonObject>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace backgrounds {

struct Error : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// "#rrggbb", or "#rrggbbaa" with an alpha.
inline QColor color(const QJsonValue &v)
{
    const QString text = v.toString();
    if (text.size() == 9 && text.startsWith(QLatin1Char('#'))) {
        bool ok = false;
        const uint rgba = text.mid(1).toUInt(&ok, 16);
        if (ok)
            return QColor(int(rgba >> 24), int((rgba >> 16) & 0xFF), int((rgba >> 8) & 0xFF), int(rgba & 0xFF));
    }
    const QColor c = QColor::fromString(text);
    if (!c.isValid())
        throw Error("bad colour " + v.toString().toStdString());
    return c;
}

// ---- deterministic randomness ----

inline uint32_t hash(uint32_t x)
{
    x ^= x >> 16;
    x *= 0x7feb352du;
    x ^= x >> 15;
    x *= 0x846ca68bu;
    x ^= x >> 16;
    return x;
}

inline double lattice(int x, int y, uint32_t seed)
{
    const uint32_t h = hash(uint32_t(x) * 0x8da6b343u ^ hash(uint32_t(y) * 0xd8163841u ^ seed * 0xcb1ab31fu));
    return (h & 0xFFFFFF) / double(0xFFFFFF);
}

class Random {
public:
    explicit Random(uint32_t seed) : m_state(hash(seed + 0x9e3779b9u)) {}
    double next()
    {
        m_state = hash(m_state + 0x9e3779b9u);
        return (m_state & 0xFFFFFF) / double(0xFFFFFF);
    }
    double range(double lo, double hi) { return lo + (hi - lo) * next(); }

private:
    uint32_t m_state;
};

// Value noise in [0, 1] with smooth interpolation.
inline double valueNoise(double x, double y, uint32_t seed)
{
    const int xi = int(std::floor(x)), yi = int(std::floor(y));
    const double fx = x - xi, fy = y - yi;
    const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const double a = lattice(xi, yi, seed), b = lattice(xi + 1, yi, seed);
    const double c = lattice(xi, yi + 1, seed), d = lattice(xi + 1, yi + 1, seed);
    return (a + (b - a) * sx) * (1 - sy) + (c + (d - c) * sx) * sy;
}

// Fractal sum of octaves, normalised to [0, 1].
inline double fbm(double x, double y, int octaves, uint32_t seed)
{
    double sum = 0, amp = 1, norm = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += amp * valueNoise(x, y, seed + uint32_t(i) * 101u);
        norm += amp;
        amp *= 0.5;
        x *= 2.03;
        y *= 2.03;
    }
    return sum / norm;
}

// ---- layers ----

inline QGradientStops stops(const QJsonValue &v)
{
    QGradientStops out;
    for (const QJsonValue &s : v.toArray()) {
        const QJsonArray pair = s.toArray();
        out.append({pair.at(0).toDouble(), color(pair.at(1))});
    }
    if (out.isEmpty())
        throw Error("a gradient needs stops");
    return out;
}

inline void linear(QImage &img, const QJsonObject &o)
{
    const double w = img.width(), h = img.height();
    const double a = qDegreesToRadians(o.value(QStringLiteral("angle")).toDouble(90));
    // The gradient line runs through the centre in the direction of the angle, long enough
    // to cover the corners.
    const double dx = std::cos(a), dy = std::sin(a);
    const double half = (std::abs(dx) * w + std::abs(dy) * h) / 2;
    QLinearGradient g(w / 2 - dx * half, h / 2 - dy * half, w / 2 + dx * half, h / 2 + dy * half);
    g.setStops(stops(o.value(QStringLiteral("stops"))));
    QPainter p(&img);
    p.fillRect(img.rect(), g);
}

inline void radial(QImage &img, const QJsonObject &o)
{
    const QJsonArray c = o.value(QStringLiteral("center")).toArray();
    const double w = img.width(), h = img.height();
    QRadialGradient g(QPointF(c.at(0).toDouble(0.5) * w, c.at(1).toDouble(0.5) * h),
                      o.value(QStringLiteral("radius")).toDouble(0.7) * w);
    g.setStops(stops(o.value(QStringLiteral("stops"))));
    QPainter p(&img);
    p.fillRect(img.rect(), g);
}

// Blends `c` over the pixel with weight t.
inline QRgb mix(QRgb base, const QColor &c, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    auto ch = [t](int a, int b) { return int(std::lround(a + (b - a) * t)); };
    return qRgb(ch(qRed(base), c.red()), ch(qGreen(base), c.green()), ch(qBlue(base), c.blue()));
}

inline void noise(QImage &img, const QJsonObject &o)
{
    const double scale = o.value(QStringLiteral("scale")).toDouble(64);
    const int octaves = o.value(QStringLiteral("octaves")).toInt(4);
    const double amount = o.value(QStringLiteral("amount")).toDouble(0.1);
    const QColor c = color(o.value(QStringLiteral("color")));
    const QJsonArray stretch = o.value(QStringLiteral("stretch")).toArray();
    const double sx = stretch.size() == 2 ? stretch.at(0).toDouble() : 1.0;
    const double sy = stretch.size() == 2 ? stretch.at(1).toDouble() : 1.0;
    const double rings = o.value(QStringLiteral("rings")).toDouble(0);
    const double turbulence = o.value(QStringLiteral("turbulence")).toDouble(0);
    const double sharpness = o.value(QStringLiteral("sharpness")).toDouble(6);
    const uint32_t seed = uint32_t(o.value(QStringLiteral("seed")).toInt(1));
    const QJsonArray threshold = o.value(QStringLiteral("threshold")).toArray();
    const bool thresholded = threshold.size() == 2;
    const double lo = thresholded ? threshold.at(0).toDouble() : 0, hi = thresholded ? threshold.at(1).toDouble() : 1;
    for (int y = 0; y < img.height(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const double nx = x / (scale * sx), ny = y / (scale * sy);
            double v = fbm(nx, ny, octaves, seed);
            if (turbulence > 0) {
                // Marble: veins where a sine of the position, disturbed by the noise, is near 0.
                const double s = std::sin((nx * 0.6 + ny * 0.35) * 3.0 + v * turbulence);
                v = std::pow(1.0 - std::abs(s), sharpness);
            } else if (rings > 0) {
                // Wood: growth rings from the noise.
                const double r = v * rings;
                v = std::pow(r - std::floor(r), 2.2);
            }
            if (thresholded)
                v = std::clamp((v - lo) / (hi - lo), 0.0, 1.0);
            line[x] = mix(line[x], c, v * amount);
        }
    }
}

inline void waves(QImage &img, const QJsonObject &o)
{
    const double w = img.width(), h = img.height();
    const int count = o.value(QStringLiteral("count")).toInt(3);
    const double base = o.value(QStringLiteral("base")).toDouble(0.7);
    const double spread = o.value(QStringLiteral("spread")).toDouble(0.08);
    const double amplitude = o.value(QStringLiteral("amplitude")).toDouble(0.06);
    const double wavelength = o.value(QStringLiteral("wavelength")).toDouble(0.9);
    const double tilt = o.value(QStringLiteral("tilt")).toDouble(0);
    const double alpha = o.value(QStringLiteral("alpha")).toDouble(1);
    const bool top = o.value(QStringLiteral("side")).toString() == QLatin1String("top");
    const QJsonArray colors = o.value(QStringLiteral("colors")).toArray();
    Random rnd(uint32_t(o.value(QStringLiteral("seed")).toInt(1)));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < count; ++i) {
        const double phase = rnd.range(0, 2 * M_PI);
        const double len = wavelength * rnd.range(0.8, 1.25) * w;
        const double amp = amplitude * rnd.range(0.7, 1.2) * h;
        const double y0 = (base + (top ? -1 : 1) * spread * i) * h;
        QPainterPath path;
        const int steps = 120;
        for (int s = 0; s <= steps; ++s) {
            const double x = -10 + (w + 20) * s / steps;
            const double y = y0 + tilt * h * (x / w - 0.5) + amp * std::sin(2 * M_PI * x / len + phase) +
                             amp * 0.35 * std::sin(2 * M_PI * x / (len * 0.47) + phase * 1.7);
            if (s == 0)
                path.moveTo(x, y);
            else
                path.lineTo(x, y);
        }
        const double edge = top ? -10 : h + 10;
        path.lineTo(w + 10, edge);
        path.lineTo(-10, edge);
        path.closeSubpath();
        QColor c = color(colors.at(i % std::max<qsizetype>(1, colors.size())));
        c.setAlphaF(float(alpha));
        p.setBrush(c);
        p.drawPath(path);
    }
}

inline void circles(QImage &img, const QJsonObject &o)
{
    const double w = img.width(), h = img.height();
    const int count = o.value(QStringLiteral("count")).toInt(20);
    const QJsonArray radius = o.value(QStringLiteral("radius")).toArray();
    const QJsonArray alpha = o.value(QStringLiteral("alpha")).toArray();
    const QJsonArray area = o.value(QStringLiteral("area")).toArray();
    const QJsonArray colors = o.value(QStringLiteral("colors")).toArray();
    const bool soft = o.value(QStringLiteral("soft")).toBool();
    const double ring = o.value(QStringLiteral("ring")).toDouble(0);
    const bool squares = o.value(QStringLiteral("confetti")).toBool();
    Random rnd(uint32_t(o.value(QStringLiteral("seed")).toInt(1)));
    const double x0 = area.size() == 4 ? area.at(0).toDouble() : 0, y0 = area.size() == 4 ? area.at(1).toDouble() : 0;
    const double x1 = area.size() == 4 ? area.at(2).toDouble() : 1, y1 = area.size() == 4 ? area.at(3).toDouble() : 1;
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < count; ++i) {
        const QPointF c(rnd.range(x0, x1) * w, rnd.range(y0, y1) * h);
        const double r = rnd.range(radius.at(0).toDouble(0.01), radius.at(1).toDouble(0.05)) * w;
        QColor col = color(colors.at(int(rnd.next() * colors.size()) % std::max<qsizetype>(1, colors.size())));
        col.setAlphaF(float(rnd.range(alpha.at(0).toDouble(0.3), alpha.at(1).toDouble(0.6))));
        const double turn = rnd.range(0, 180);
        if (squares) {
            p.save();
            p.translate(c);
            p.rotate(turn);
            p.setPen(Qt::NoPen);
            p.setBrush(col);
            p.drawRoundedRect(QRectF(-r, -r * 0.45, 2 * r, r * 0.9), r * 0.2, r * 0.2);
            p.restore();
        } else if (soft) {
            QRadialGradient g(c, r);
            QColor edge = col;
            edge.setAlphaF(0);
            QColor mid = col;
            mid.setAlphaF(col.alphaF() * 0.85f);
            g.setColorAt(0, col);
            g.setColorAt(0.7, mid);
            g.setColorAt(1, edge);
            p.setPen(Qt::NoPen);
            p.setBrush(g);
            p.drawEllipse(c, r, r);
        } else if (ring > 0) {
            p.setPen(QPen(col, ring));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(c, r, r);
        } else {
            p.setPen(Qt::NoPen);
            p.setBrush(col);
            p.drawEllipse(c, r, r);
        }
    }
}

inline void polygon(QImage &img, const QJsonObject &o)
{
    QPolygonF poly;
    for (const QJsonValue &v : o.value(QStringLiteral("points")).toArray()) {
        const QJsonArray pt = v.toArray();
        poly << QPointF(pt.at(0).toDouble() * img.width(), pt.at(1).toDouble() * img.height());
    }
    QColor c = color(o.value(QStringLiteral("color")));
    c.setAlphaF(float(o.value(QStringLiteral("alpha")).toDouble(1)));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPolygon(poly);
}

inline void frame(QImage &img, const QJsonObject &o)
{
    const double w = img.width(), h = img.height();
    const double inset = o.value(QStringLiteral("inset")).toDouble(0.04) * w;
    const double width = o.value(QStringLiteral("width")).toDouble(3);
    const double gap = o.value(QStringLiteral("gap")).toDouble(0);
    const double corner = o.value(QStringLiteral("corner")).toDouble(0) * w;
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(color(o.value(QStringLiteral("color"))), width));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(inset, inset, w - 2 * inset, h - 2 * inset));
    if (gap > 0) {
        p.setPen(QPen(color(o.value(QStringLiteral("color"))), std::max(1.0, width / 2.5)));
        const double in = inset + gap;
        p.drawRect(QRectF(in, in, w - 2 * in, h - 2 * in));
    }
    if (corner > 0) {
        // A small diamond in each corner, where the frames meet.
        p.setPen(Qt::NoPen);
        p.setBrush(color(o.value(QStringLiteral("color"))));
        for (const QPointF &c : {QPointF(inset, inset), QPointF(w - inset, inset), QPointF(inset, h - inset),
                                 QPointF(w - inset, h - inset)}) {
            QPolygonF d;
            d << c + QPointF(0, -corner) << c + QPointF(corner, 0) << c + QPointF(0, corner) << c + QPointF(-corner, 0);
            p.drawPolygon(d);
        }
    }
}

inline void stripes(QImage &img, const QJsonObject &o)
{
    const double w = img.width(), h = img.height();
    const double spacing = o.value(QStringLiteral("spacing")).toDouble(24);
    QColor c = color(o.value(QStringLiteral("color")));
    c.setAlphaF(float(o.value(QStringLiteral("alpha")).toDouble(0.2)));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(c, o.value(QStringLiteral("width")).toDouble(2)));
    p.translate(w / 2, h / 2);
    p.rotate(o.value(QStringLiteral("angle")).toDouble(45));
    const double reach = std::hypot(w, h);
    for (double x = -reach; x <= reach; x += spacing)
        p.drawLine(QPointF(x, -reach), QPointF(x, reach));
}

// Three passes of a box blur approximate a Gaussian blur.
inline void blur(QImage &img, const QJsonObject &o)
{
    const int r = o.value(QStringLiteral("radius")).toInt(4);
    if (r <= 0)
        return;
    const int w = img.width(), h = img.height();
    std::vector<int> buf(size_t(std::max(w, h)) * 3);
    for (int pass = 0; pass < 3; ++pass) {
        for (int horizontal = 1; horizontal >= 0; --horizontal) {
            const int lines = horizontal ? h : w, len = horizontal ? w : h;
            for (int l = 0; l < lines; ++l) {
                auto px = [&](int i) -> QRgb & {
                    return horizontal ? reinterpret_cast<QRgb *>(img.scanLine(l))[i]
                                      : reinterpret_cast<QRgb *>(img.scanLine(i))[l];
                };
                for (int i = 0; i < len; ++i) {
                    const QRgb c = px(i);
                    buf[size_t(i) * 3] = qRed(c);
                    buf[size_t(i) * 3 + 1] = qGreen(c);
                    buf[size_t(i) * 3 + 2] = qBlue(c);
                }
                int sr = 0, sg = 0, sb = 0;
                auto at = [&](int i, int ch) { return buf[size_t(std::clamp(i, 0, len - 1)) * 3 + size_t(ch)]; };
                for (int i = -r; i <= r; ++i) {
                    sr += at(i, 0);
                    sg += at(i, 1);
                    sb += at(i, 2);
                }
                const int n = 2 * r + 1;
                for (int i = 0; i < len; ++i) {
                    px(i) = qRgb(sr / n, sg / n, sb / n);
                    sr += at(i + r + 1, 0) - at(i - r, 0);
                    sg += at(i + r + 1, 1) - at(i - r, 1);
                    sb += at(i + r + 1, 2) - at(i - r, 2);
                }
            }
        }
    }
}

inline void vignette(QImage &img, const QJsonObject &o)
{
    const double amount = o.value(QStringLiteral("amount")).toDouble(0.3);
    const QColor c = o.contains(QStringLiteral("color")) ? color(o.value(QStringLiteral("color"))) : QColor(Qt::black);
    const double cx = img.width() / 2.0, cy = img.height() / 2.0;
    for (int y = 0; y < img.height(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const double dx = (x - cx) / cx, dy = (y - cy) / cy;
            const double d = std::sqrt(dx * dx * 0.8 + dy * dy * 0.8);
            line[x] = mix(line[x], c, std::pow(std::max(0.0, d - 0.35), 2.0) * amount);
        }
    }
}

// The picture of one background description.
inline QImage paint(const QJsonObject &description)
{
    const QJsonArray size = description.value(QStringLiteral("size")).toArray();
    const int w = size.size() == 2 ? size.at(0).toInt() : 1050;
    const int h = size.size() == 2 ? size.at(1).toInt() : 600;
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    for (const QJsonValue &v : description.value(QStringLiteral("layers")).toArray()) {
        const QJsonObject layer = v.toObject();
        if (layer.size() != 1)
            throw Error("a layer has exactly one kind");
        const QString kind = layer.begin().key();
        const QJsonObject o = layer.begin().value().toObject();
        if (kind == QLatin1String("linear"))
            linear(img, o);
        else if (kind == QLatin1String("radial"))
            radial(img, o);
        else if (kind == QLatin1String("noise"))
            noise(img, o);
        else if (kind == QLatin1String("waves"))
            waves(img, o);
        else if (kind == QLatin1String("circles"))
            circles(img, o);
        else if (kind == QLatin1String("polygon"))
            polygon(img, o);
        else if (kind == QLatin1String("frame"))
            frame(img, o);
        else if (kind == QLatin1String("stripes"))
            stripes(img, o);
        else if (kind == QLatin1String("blur"))
            blur(img, o);
        else if (kind == QLatin1String("vignette"))
            vignette(img, o);
        else
            throw Error("unknown layer " + kind.toStdString());
    }
    return img;
}

} // namespace backgrounds
