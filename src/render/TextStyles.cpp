#include "render/TextStyles.h"

#include "render/BarCode.h"

#include <cmath>

namespace render {

namespace {

constexpr double kDegToRad = 0.0174533;
constexpr double kRadToDeg = 57.29578;

int truncToInt(double v) { return static_cast<int>(std::trunc(v)); }

} // namespace

// ---- plain text ----

int LayoutDegrees(int rotation)
{
    int d = rotation / 10;
    if (d >= 360)
        d %= 360;
    return d;
}

QRect ShadowRect(const QRect &rect, int dx, int dy, int zoom)
{
    const int l = truncToInt(rect.x() + dx * zoom / 100.0);
    const int r = truncToInt(gdiRight(rect) + dx * zoom / 100.0);
    const int t = truncToInt(rect.y() + dy * zoom / 100.0);
    const int b = truncToInt(gdiBottom(rect) + dy * zoom / 100.0);
    return gdiRect(l, t, r, b);
}

RotatedLines BreakRotatedLines(gdi::Canvas &canvas, const QString &text, int limit, bool wordBreak)
{
    RotatedLines out;
    const qsizetype len = text.size();
    auto isBreak = [&](qsizetype i) { return text[i] == QLatin1Char('\r') || text[i] == QLatin1Char('\n'); };
    qsizetype pos = 0;
    while (pos < len) {
        QString line;
        bool full = false;
        while (pos < len && !isBreak(pos) && !full) {
            const qsizetype savedPos = pos;
            const qsizetype savedLen = line.size();
            while (pos < len && !isBreak(pos) && !(wordBreak && text[pos] == QLatin1Char(' '))
                   && line.size() < kMaxRotatedLine)
                line += text[pos++];
            if (line.size() >= kMaxRotatedLine)
                full = true; // an over-long line continues on the next one
            const QSize e = canvas.textExtent(line);
            out.lastHeight = e.height();
            if (e.width() > limit) {
                full = true;
                if (wordBreak && savedLen > 0) {
                    // The word that did not fit starts the next line.
                    pos = savedPos;
                    line.truncate(savedLen);
                }
            }
            if (pos < len && text[pos] == QLatin1Char(' ') && line.size() < kMaxRotatedLine) {
                line += QLatin1Char(' ');
                ++pos;
            }
        }
        if (pos < len && text[pos] == QLatin1Char('\r')) {
            ++pos;
            if (pos < len && text[pos] == QLatin1Char('\n'))
                ++pos;
        } else if (pos < len && text[pos] == QLatin1Char('\n')) {
            ++pos;
        }
        out.lines << line;
    }
    return out;
}

QPoint RotatedBlockStart(int d, const QRect &rect, int n, int h)
{
    const int L = rect.x(), T = rect.y(), R = gdiRight(rect), B = gdiBottom(rect);
    const double a = d * kDegToRad;
    if (d < 90)
        return QPoint(L, truncToInt(B - std::cos(a) * n * h));
    if (d < 180)
        return QPoint(truncToInt(R - std::sin(a) * n * h), B);
    if (d < 270)
        return QPoint(R, truncToInt(T - std::cos(a) * n * h));
    return QPoint(truncToInt(L - std::sin(a) * n * h), T);
}

void DrawTextBlock(gdi::Canvas &canvas, int rotation, QRect rect, const QString &text, unsigned flags)
{
    flags |= kTextNoPrefix;
    const int d = LayoutDegrees(rotation);
    if (d == 0) {
        QRect r = rect;
        canvas.drawText(text, r, flags);
        return;
    }
    const int limit = (d == 180) ? rect.width() : rect.height();
    const bool wordBreak = (flags & kTextWordBreak) != 0;
    const RotatedLines block = BreakRotatedLines(canvas, text, limit, wordBreak);
    const int n = int(block.lines.size());
    QPoint p = RotatedBlockStart(d, rect, n, block.lastHeight);
    int x = p.x(), y = p.y();
    const double a = d * kDegToRad;
    for (const QString &line : block.lines) {
        canvas.textOut(x, y, line);
        const int hi = canvas.textExtent(line.isEmpty() ? QStringLiteral("]") : line).height();
        switch (d) {
        case 90: x += hi; break;
        case 180: y -= hi; break;
        case 270: x -= hi; break;
        default:
            y = truncToInt(std::cos(a) * hi + y);
            x = truncToInt(std::sin(a) * hi + x);
            break;
        }
    }
}

// ---- styled text ----

void DrawStyledText(gdi::Canvas &canvas, int rotation, QRect rect, unsigned flags, const QString &text,
                    gdi::ColorRef color, uint32_t style, int dx, int dy, gdi::ColorRef shadowColor, int zoom)
{
    const int s0 = int(style & 0xFF);
    const int s1 = int((style >> 8) & 0xFF);
    const int s2 = int(static_cast<int8_t>((style >> 16) & 0xFF));

    // The font, text colour and background mode come back when this returns.
    gdi::StateSaver saver(canvas);
    plat::LogFont font = canvas.font();
    const bool plain = (s0 == TextStyleWrap || s0 == TextStyleNoWrap);
    font.escapement = plain ? rotation : 0;
    font.orientation = font.escapement;
    canvas.setFont(font);
    canvas.setBkMode(gdi::BkMode::Transparent);

    const bool shadow = dx != 0 || dy != 0;
    const QRect shadowRect = shadow ? ShadowRect(rect, dx, dy, zoom) : rect;

    switch (s0) {
    case TextStyleWrap:
    case TextStyleNoWrap: {
        const unsigned f = flags | (s0 == TextStyleWrap ? kTextWordBreak : 0u);
        if (shadow) {
            canvas.setTextColor(shadowColor);
            DrawTextBlock(canvas, rotation, shadowRect, text, f);
        }
        canvas.setTextColor(color);
        DrawTextBlock(canvas, rotation, rect, text, f);
        break;
    }
    case TextStyleBarCode:
        if (s2 != 0 && shadow) {
            // The shadow falls behind the human-readable text only, never the bars.
            canvas.setTextColor(shadowColor);
            DrawBarCode(canvas, shadowRect.x(), shadowRect.y(), gdiRight(shadowRect), gdiBottom(shadowRect), text,
                        s1, flags, false, true, zoom, shadowColor);
            canvas.setTextColor(color);
            DrawBarCode(canvas, rect.x(), rect.y(), gdiRight(rect), gdiBottom(rect), text, s1, flags, true, true,
                        zoom, color);
        } else {
            canvas.setTextColor(color);
            DrawBarCode(canvas, rect.x(), rect.y(), gdiRight(rect), gdiBottom(rect), text, s1, flags, true, s2 != 0,
                        zoom, color);
        }
        break;
    case TextStyleArc:
        if (shadow) {
            canvas.setTextColor(shadowColor);
            DrawArcText(canvas, shadowRect.x(), shadowRect.y(), gdiRight(shadowRect), gdiBottom(shadowRect), text, s1,
                        s2);
        }
        canvas.setTextColor(color);
        DrawArcText(canvas, rect.x(), rect.y(), gdiRight(rect), gdiBottom(rect), text, s1, s2);
        break;
    default:
        break; // an unknown style draws nothing
    }
}

// ---- arc text ----

ArcLayout ArcTextLayout(gdi::Canvas &canvas, int L, int T, int R, int B, const QString &text, int subStyle,
                        int startStep)
{
    ArcLayout out;
    const int n = int(text.size());
    if (n < 2)
        return out;
    const QSize w = canvas.textExtent(QStringLiteral("W"));
    const int wW = w.width(), hW = w.height();
    const int span = subStyle == 0 ? 360 : subStyle == 1 ? 180 : 90;
    const int g = startStep * 15;

    int r = (R - L - 2 * hW) / 2;
    int cx = L + hW + r;
    int cy = T + hW + (B - T - 2 * hW) / 2;
    if (span <= 180) {
        // Half and quarter arcs lie against the edge the start angle names.
        if (g == 0 || g == 180) {
            cy = T + hW;
        } else if (g == -180) {
            cy = B - hW;
        } else if (g == -90) {
            cx = L + hW;
            r = (B - T - 2 * hW) / 2;
        } else if (g == 90) {
            cx = R - hW;
            r = (B - T - 2 * hW) / 2;
        }
    }
    out.cx = cx;
    out.cy = cy;
    out.r = r;
    if (wW >= r)
        return out;
    const double a = std::asin(wW * 0.5 / r) * kRadToDeg;
    out.halfW = a;

    for (int i = 1; i <= n; ++i) {
        const double q = double(i - 1) / double(n - 1);
        const int theta = truncToInt(g == 180 ? g - q * (span - a) : g + q * (span - a));
        const double x = double(span) / double(n - 1) * double(i - 1);
        double e;
        // Tops face away from the centre, except from 180 where they face it.
        switch (g) {
        case 0: e = (-90 - x) * 10; break;
        case -90: e = x * -10; break;
        case -180: e = (90 - x) * 10; break;
        case 90: e = (180 - x) * 10; break;
        case 180: e = (90 - x) * -10; break;
        default: e = (-90 - g - x) * 10; break; // start steps the lists do not offer
        }
        ArcGlyph gl;
        gl.ch = text[i - 1];
        gl.angle = theta;
        gl.escapement = truncToInt(e);
        gl.pos = QPoint(cx + truncToInt(std::cos(theta * kDegToRad) * r),
                        cy + truncToInt(std::sin(theta * kDegToRad) * r));
        out.glyphs << gl;
    }
    return out;
}

void DrawArcText(gdi::Canvas &canvas, int L, int T, int R, int B, const QString &text, int subStyle, int startStep)
{
    const ArcLayout layout = ArcTextLayout(canvas, L, T, R, B, text, subStyle, startStep);
    if (layout.glyphs.isEmpty())
        return;
    const plat::LogFont previous = canvas.font();
    plat::LogFont f = previous;
    for (const ArcGlyph &g : layout.glyphs) {
        f.escapement = g.escapement;
        f.orientation = g.escapement;
        canvas.setFont(f);
        canvas.textOut(g.pos.x(), g.pos.y(), QString(g.ch));
    }
    canvas.setFont(previous);
}

// ---- style controls ----

void ComboModel::clear()
{
    items.clear();
    values.clear();
    currentIndex = -1;
}

void ComboModel::add(const QString &text, int value)
{
    items << text;
    values << value;
}

void ComboModel::setCurrentIndex(int index)
{
    currentIndex = (index >= 0 && index < items.size()) ? index : -1;
}

QString ComboModel::currentText() const
{
    return (currentIndex >= 0 && currentIndex < items.size()) ? items.at(currentIndex) : QString();
}

int ComboModel::currentValue() const
{
    return (currentIndex >= 0 && currentIndex < values.size()) ? values.at(currentIndex) : 0;
}

namespace {

void setNone(ComboModel &combo, LabelModel &label, const QString &item, int index)
{
    label.text.clear();
    label.visible = false;
    combo.add(item, 0);
    combo.setCurrentIndex(index);
    combo.visible = false;
}

} // namespace

void FillTextStyleControls(TextStyleControls &c, uint32_t style)
{
    c.TextStyleCombo.clear();
    for (const char *s : {"Text (Wrap)", "Text (No Wrap)", "Bar Code", "Arc Text"})
        c.TextStyleCombo.add(QString::fromLatin1(s));
    c.TextStyleCombo.setCurrentIndex(int(style & 0xFF));
    SetupTextStyleParams(c, int((style >> 8) & 0xFF), int(static_cast<int8_t>((style >> 16) & 0xFF)),
                         int(static_cast<int8_t>((style >> 24) & 0xFF)));
}

void SetupTextStyleParams(TextStyleControls &c, int firstIndex, int secondValue, int /*thirdValue*/)
{
    const int style = c.TextStyleCombo.currentIndex;
    c.TextParam1Combo.clear();
    c.TextParam2Combo.clear();
    c.TextParam3Combo.clear();
    switch (style) {
    case TextStyleWrap:
    case TextStyleNoWrap:
        setNone(c.TextParam1Combo, c.TextParam1Label, QStringLiteral("<<None>>"), firstIndex);
        setNone(c.TextParam2Combo, c.TextParam2Label, QStringLiteral("0"), 0);
        setNone(c.TextParam3Combo, c.TextParam3Label, QStringLiteral("0"), 0);
        break;
    case TextStyleBarCode:
        c.TextParam1Label = {QStringLiteral("Type:"), true};
        for (const char *s : {"PostNet", "UPC A", "Code 39"})
            c.TextParam1Combo.add(QString::fromLatin1(s));
        c.TextParam1Combo.setCurrentIndex(firstIndex);
        c.TextParam1Combo.visible = true;
        c.TextParam2Label = {QStringLiteral("Show Text:"), true};
        c.TextParam2Combo.add(QStringLiteral("No"), 0);
        c.TextParam2Combo.add(QStringLiteral("Yes"), 1);
        c.TextParam2Combo.setCurrentIndex(secondValue == -1 ? 0 : secondValue);
        c.TextParam2Combo.visible = true;
        setNone(c.TextParam3Combo, c.TextParam3Label, QStringLiteral("0"), 0);
        break;
    case TextStyleArc: {
        c.TextParam1Label = {QStringLiteral("Sub-Style:"), true};
        for (const char *s : {"Full Circle", "1/2 Circle", "1/4 Circle"})
            c.TextParam1Combo.add(QString::fromLatin1(s));
        c.TextParam1Combo.setCurrentIndex(firstIndex);
        c.TextParam1Combo.visible = true;
        c.TextParam2Label = {QStringLiteral("Start Degrees"), true};
        for (int deg : {-180, -90, 0, 90, 180})
            c.TextParam2Combo.add(QString::number(deg), deg / 15);
        const QString want = QString::number((secondValue == -1 ? -12 : secondValue) * 15);
        c.TextParam2Combo.setCurrentIndex(int(c.TextParam2Combo.items.indexOf(want)));
        c.TextParam2Combo.visible = true;
        setNone(c.TextParam3Combo, c.TextParam3Label, QStringLiteral("0"), 0);
        break;
    }
    default:
        break; // the lists stay empty
    }
}

uint32_t ReadTextStyle(const ComboModel &styleCombo, const ComboModel &param1, const ComboModel &param2,
                       const ComboModel &param3)
{
    // Nothing selected counts as the first entry, so the word always names a style.
    const uint32_t b0 = uint32_t(std::max(0, styleCombo.currentIndex)) & 0xFF;
    const uint32_t b1 = uint32_t(std::max(0, param1.currentIndex)) & 0xFF;
    const uint32_t b2 = uint32_t(param2.currentValue()) & 0xFF;
    bool ok = false;
    const int third = param3.currentText().left(10).trimmed().toInt(&ok);
    const uint32_t b3 = uint32_t(ok ? third : 0) & 0xFF;
    return b0 | (b1 << 8) | (b2 << 16) | (b3 << 24);
}

} // namespace render
