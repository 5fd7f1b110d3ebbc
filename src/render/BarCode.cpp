#include "render/BarCode.h"

#include <array>

namespace render {

namespace {

// POSTNET: five bars per digit, F full and H half.
constexpr std::array<const char *, 10> kPostNet = {
    "FFHHH", "HHHFF", "HHFHF", "HHFFH", "HFHHF", "HFHFH", "HFFHH", "FHHHF", "FHHFH", "FHFHH"};

// UPC-A left-hand (odd parity) codes, seven modules, 1 = bar. Right-hand codes are their
// complements.
constexpr std::array<const char *, 10> kUpcLeft = {
    "0001101", "0011001", "0010011", "0111101", "0100011",
    "0110001", "0101111", "0111011", "0110111", "0001011"};

// Code 39: nine elements per character, bar and space alternating from a bar; w wide, n
// narrow.
struct Code39Char {
    char c;
    const char *elements;
};
constexpr std::array<Code39Char, 44> kCode39 = {{
    {'0', "nnnwwnwnn"}, {'1', "wnnwnnnnw"}, {'2', "nnwwnnnnw"}, {'3', "wnwwnnnnn"},
    {'4', "nnnwwnnnw"}, {'5', "wnnwwnnnn"}, {'6', "nnwwwnnnn"}, {'7', "nnnwnnwnw"},
    {'8', "wnnwnnwnn"}, {'9', "nnwwnnwnn"}, {'A', "wnnnnwnnw"}, {'B', "nnwnnwnnw"},
    {'C', "wnwnnwnnn"}, {'D', "nnnnwwnnw"}, {'E', "wnnnwwnnn"}, {'F', "nnwnwwnnn"},
    {'G', "nnnnnwwnw"}, {'H', "wnnnnwwnn"}, {'I', "nnwnnwwnn"}, {'J', "nnnnwwwnn"},
    {'K', "wnnnnnnww"}, {'L', "nnwnnnnww"}, {'M', "wnwnnnnwn"}, {'N', "nnnnwnnww"},
    {'O', "wnnnwnnwn"}, {'P', "nnwnwnnwn"}, {'Q', "nnnnnnwww"}, {'R', "wnnnnnwwn"},
    {'S', "nnwnnnwwn"}, {'T', "nnnnwnwwn"}, {'U', "wwnnnnnnw"}, {'V', "nwwnnnnnw"},
    {'W', "wwwnnnnnn"}, {'X', "nwnnwnnnw"}, {'Y', "wwnnwnnnn"}, {'Z', "nwwnwnnnn"},
    {'-', "nwnnnnwnw"}, {'.', "wwnnnnwnn"}, {' ', "nwwnnnwnn"}, {'$', "nwnwnwnnn"},
    {'/', "nwnwnnnwn"}, {'+', "nwnnnwnwn"}, {'%', "nnnwnwnwn"}, {'*', "nwnnwnwnn"},
}};
constexpr char kCode39StartStop = '*';

// The twelve modules of one Code 39 character: narrow one module, wide two.
QString code39Modules(const char *elements)
{
    QString out;
    for (int i = 0; i < 9; ++i) {
        const QChar m = (i % 2 == 0) ? QLatin1Char('2') : QLatin1Char('0');
        out += m;
        if (elements[i] == 'w')
            out += m;
    }
    return out;
}

const char *code39Lookup(QChar c)
{
    const char16_t u = c.toUpper().unicode();
    for (const Code39Char &e : kCode39)
        if (e.c != kCode39StartStop && char16_t(e.c) == u)
            return e.elements;
    return nullptr;
}

const char *code39StartStop()
{
    for (const Code39Char &e : kCode39)
        if (e.c == kCode39StartStop)
            return e.elements;
    return nullptr;
}

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

} // namespace

BarCodePattern EncodePostNet(const QString &text)
{
    BarCodePattern r;
    QList<int> digits;
    for (QChar c : text)
        if (isDigit(c))
            digits << (c.unicode() - '0');
    if (digits.size() != 5 && digits.size() != 9 && digits.size() != 11)
        return r;
    int sum = 0;
    for (int d : digits)
        sum += d;
    digits << (10 - sum % 10) % 10;

    r.modules = QStringLiteral("22000");
    for (int d : digits)
        for (const char *b = kPostNet[size_t(d)]; *b; ++b)
            r.modules += (*b == 'F') ? QStringLiteral("22000") : QStringLiteral("11000");
    r.modules += QStringLiteral("22");
    r.ok = true;
    r.moduleWidth = 1;
    r.halfHeight = 5;
    r.fullHeight = 11;
    return r;
}

BarCodePattern EncodeUPCA(const QString &textIn)
{
    BarCodePattern r;
    QString text = textIn;
    if (text.size() == 11) {
        int odd = 0, even = 0;
        for (int i = 0; i < 11; ++i) {
            if (!isDigit(text[i]))
                return r;
            const int d = text[i].unicode() - '0';
            if (i % 2 == 0)
                odd += d; // positions 1, 3, ..., 11
            else
                even += d;
        }
        text += QChar(u'0' + (10 - (3 * odd + even) % 10) % 10);
    }
    if (text.size() < 12)
        return r;
    for (int i = 0; i < 12; ++i)
        if (!isDigit(text[i]))
            return r;

    r.modules = QStringLiteral("202");
    for (int i = 0; i < 12; ++i) {
        if (i == 6)
            r.modules += QStringLiteral("02020");
        const char *code = kUpcLeft[size_t(text[i].unicode() - '0')];
        for (int k = 0; k < 7; ++k) {
            const bool bar = (code[k] == '1') == (i < 6); // the right half is the complement
            r.modules += bar ? QLatin1Char('2') : QLatin1Char('0');
        }
    }
    r.modules += QStringLiteral("202");
    r.ok = true;
    return r;
}

BarCodePattern EncodeCode39(const QString &text)
{
    BarCodePattern r;
    const QString startStop = code39Modules(code39StartStop());
    QString modules = startStop + QLatin1Char('0');
    for (QChar c : text) {
        const char *e = code39Lookup(c);
        if (!e)
            return r;
        modules += code39Modules(e);
        modules += QLatin1Char('0');
    }
    modules += startStop;
    r.modules = modules;
    r.ok = true;
    return r;
}

BarCodePattern EncodeBarCode(const QString &text, int type)
{
    switch (type) {
    case BarCodePostNet: return EncodePostNet(text);
    case BarCodeUPCA: return EncodeUPCA(text);
    case BarCodeCode39: return EncodeCode39(text);
    default: return {};
    }
}

bool DrawBarCode(gdi::Canvas &canvas, int L, int T, int R, int B, const QString &text, int type,
                 unsigned flags, bool drawBars, bool drawText, int zoom, gdi::ColorRef color)
{
    const int W = R - L, H = B - T;
    const gdi::Pen previousPen = canvas.pen();
    canvas.setTextColor(color);
    const BarCodePattern p = EncodeBarCode(text, type);

    if (!p.ok) {
        canvas.setPen(gdi::Pen{gdi::PenStyle::Solid, 1, color});
        canvas.rectangle(L, T, R, B);
        const QString placeholder = QString::fromLatin1(kBarCodePlaceholder);
        const int th = canvas.textExtent(placeholder).height();
        canvas.textOut(L + 10, T + H / 2 - th / 2, placeholder);
        canvas.setPen(previousPen);
        return false;
    }

    const int n = int(p.modules.size());
    int tw = 0, th = 0;
    if (drawText) {
        const QSize e = canvas.textExtent(text);
        tw = e.width();
        th = e.height();
    }
    int textX = L + 10;
    if (flags & gdi::DT_RIGHT)
        textX = R - 10 - tw;
    else if (flags & gdi::DT_CENTER)
        textX = L + W / 2 - tw / 2;

    int m, half, full;
    if (p.moduleWidth == 0) {
        const int room = W - 20;
        m = (n > 0 && room > n) ? (room - 1) / n : 1; // largest m with n * m < W - 20
        full = H - th - 30;
        half = full / 2;
    } else {
        m = p.moduleWidth * zoom / 100;
        half = p.halfHeight * zoom / 100;
        full = p.fullHeight * zoom / 100;
    }

    const int y0 = T + 10;
    const int g = n * m;
    int x0 = L + 10;
    if (flags & gdi::DT_RIGHT)
        x0 = R - 10 - g;
    else if (flags & gdi::DT_CENTER)
        x0 = L + W / 2 - g / 2;

    if (drawBars && full > 0) {
        // Each bar module is the m pixels from its x; a module width of 0 (PostNet below
        // 100 %) still shows as one pixel.
        const int bw = std::max(1, m);
        const gdi::Brush ink{gdi::BrushStyle::Solid, color, 0};
        for (int i = 0; i < n; ++i) {
            const QChar c = p.modules[i];
            if (c == QLatin1Char('0'))
                continue;
            const int x = x0 + i * m;
            // Join a run of equal modules into one bar.
            int run = 1;
            while (m > 0 && i + run < n && p.modules[i + run] == c)
                ++run;
            const int top = (c == QLatin1Char('2')) ? y0 : y0 + full - half;
            canvas.fillRect(QRect(x, top, std::max(bw, run * m), y0 + full - top), ink);
            if (m > 0)
                i += run - 1;
        }
    }
    if (drawText)
        canvas.textOut(textX, y0 + full + 10, text);
    canvas.setPen(previousPen);
    return true;
}

} // namespace render
