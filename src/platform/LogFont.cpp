#include "platform/LogFont.h"

#include "platform/Ansi.h"
#include "platform/ByteIO.h"

#include <QFontMetricsF>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace plat {

LogFont LogFont::fromPoints(const QString &face, int points)
{
    LogFont f;
    // MulDiv(points, 96, 72) rounded, negative for a character height.
    f.height = -static_cast<int32_t>(std::lround(points * double(kReferenceDpi) / 72.0));
    f.weight = 400;
    f.setFace(face);
    return f;
}

QString LogFont::face() const { return fromAnsi(faceName); }

void LogFont::setFace(const QString &face)
{
    faceName = toAnsi(face).left(kFaceSize - 1);
}

int LogFont::points() const
{
    // 64-bit: the height comes from files and may be INT32_MIN.
    const int64_t h = std::abs(int64_t(height));
    return static_cast<int>(std::lround(double(h) * 72.0 / kReferenceDpi));
}

LogFont LogFont::fromBytes(const char *data, qsizetype size)
{
    LogFont f;
    if (size < kSize || !data)
        return f;
    LeReader r(data, kSize);
    f.height = r.i32();
    f.width = r.i32();
    f.escapement = r.i32();
    f.orientation = r.i32();
    f.weight = r.i32();
    f.italic = r.u8();
    f.underline = r.u8();
    f.strikeOut = r.u8();
    f.charSet = r.u8();
    f.outPrecision = r.u8();
    f.clipPrecision = r.u8();
    f.quality = r.u8();
    f.pitchAndFamily = r.u8();
    f.faceName = r.fixedString(kFaceSize);
    return f;
}

void LogFont::writeTo(char *dest) const
{
    QByteArray b = toBytes();
    std::memcpy(dest, b.constData(), kSize);
}

QByteArray LogFont::toBytes() const
{
    QByteArray out;
    LeWriter w(&out);
    w.i32(height);
    w.i32(width);
    w.i32(escapement);
    w.i32(orientation);
    w.i32(weight);
    w.u8(italic);
    w.u8(underline);
    w.u8(strikeOut);
    w.u8(charSet);
    w.u8(outPrecision);
    w.u8(clipPrecision);
    w.u8(quality);
    w.u8(pitchAndFamily);
    w.fixedString(faceName, kFaceSize);
    return out;
}

QFont LogFont::toQFont(int pixelHeight) const
{
    QFont f(face().isEmpty() ? QStringLiteral("Arial") : face());
    // Heights come from files: keep them to sizes a font engine can render.
    f.setPixelSize(std::clamp(pixelHeight, 1, kMaxPixelHeight));
    f.setWeight(static_cast<QFont::Weight>(std::clamp(weight <= 0 ? 400 : int(weight), 1, 1000)));
    f.setItalic(italic != 0);
    f.setUnderline(underline != 0);
    f.setStrikeOut(strikeOut != 0);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

QFont LogFont::toQFont() const
{
    if (height > 0) {
        // A positive height is the cell height (ascent + descent); find the character
        // height that gives that cell in this face.
        QFont probe = toQFont(100);
        const QFontMetricsF m(probe);
        const double cell = m.ascent() + m.descent();
        const double px = cell > 0 ? std::round(height * 100.0 / cell) : double(height);
        return toQFont(static_cast<int>(std::min<double>(px, kMaxPixelHeight)));
    }
    return toQFont(height == 0 ? 16 : static_cast<int>(std::min<int64_t>(-int64_t(height), kMaxPixelHeight)));
}

LogFont LogFont::fromQFont(const QFont &font)
{
    LogFont f;
    if (font.pixelSize() > 0)
        f.height = -font.pixelSize();
    else
        f.height = -static_cast<int32_t>(std::lround(font.pointSizeF() * kReferenceDpi / 72.0));
    f.weight = font.weight();
    f.italic = font.italic() ? 1 : 0;
    f.underline = font.underline() ? 1 : 0;
    f.strikeOut = font.strikeOut() ? 1 : 0;
    f.setFace(font.family());
    return f;
}

bool LogFont::operator==(const LogFont &o) const
{
    return toBytes() == o.toBytes();
}

} // namespace plat
