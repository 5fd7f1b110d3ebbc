#include "platform/Ansi.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace plat {

namespace {
// Windows-1252 bytes 0x80..0x9F; the five undefined bytes map to the C1 controls, as
// Windows itself does.
constexpr char16_t kHighTable[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
} // namespace

// The table is small and fixed, so it is decoded here directly rather than through a
// codec lookup that depends on how Qt was built.
QString fromAnsi(const char *data, qsizetype size)
{
    QString out;
    out.reserve(size);
    for (qsizetype i = 0; i < size; ++i) {
        const auto b = static_cast<unsigned char>(data[i]);
        if (b >= 0x80 && b < 0xA0)
            out.append(QChar(kHighTable[b - 0x80]));
        else
            out.append(QChar(char16_t(b)));
    }
    return out;
}

QString fromAnsi(const QByteArray &bytes)
{
    return fromAnsi(bytes.constData(), bytes.size());
}

QByteArray toAnsi(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            out.append(static_cast<char>(u));
            continue;
        }
        char mapped = '?';
        for (int i = 0; i < 32; ++i) {
            if (kHighTable[i] == u) {
                mapped = static_cast<char>(0x80 + i);
                break;
            }
        }
        out.append(mapped);
    }
    return out;
}

} // namespace plat
