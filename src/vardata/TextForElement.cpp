#include "vardata/TextForElement.h"

#include <limits>

namespace vardata {

bool IsCounter(const QString &s)
{
    return s.startsWith(QLatin1String("{-")) && s.endsWith(QLatin1String("-}")) && s.size() >= 3
        && s[2] == QLatin1Char('_');
}

bool IsFieldMarker(const QString &s)
{
    return s.startsWith(QLatin1String("{-")) && s.endsWith(QLatin1String("-}")) && !IsCounter(s);
}

namespace {

// printf("%0*lld", width, value): the sign counts toward the width.
QString zeroPadded(long long value, qsizetype width)
{
    const bool negative = value < 0;
    // The magnitude as unsigned so the smallest value does not overflow.
    const unsigned long long mag = negative ? 0ULL - static_cast<unsigned long long>(value)
                                            : static_cast<unsigned long long>(value);
    QString digits = QString::number(mag);
    const qsizetype room = width - (negative ? 1 : 0);
    if (digits.size() < room)
        digits.prepend(QString(room - digits.size(), QLatin1Char('0')));
    return negative ? QLatin1Char('-') + digits : digits;
}

} // namespace

QString TextForElement(const QStringList &lines, int index)
{
    if (lines.isEmpty())
        return QString();
    if (lines.size() >= 2) {
        if (index >= 1 && index <= lines.size())
            return lines.at(index - 1);
        return QString();
    }
    const QString &s = lines.first();
    if (!IsCounter(s))
        return s;

    // The digits sit between "{-_" and "_-}"; their count is the minimum width. A counter
    // too short to hold any digit formats without padding and counts from 0.
    const qsizetype n = s.size() - 6;
    long long start = 0;
    if (n > 0) {
        bool ok = false;
        start = s.mid(3, n).toLongLong(&ok);
        if (!ok)
            start = 0;
    }
    long long value;
    if (__builtin_add_overflow(start, static_cast<long long>(index) - 1, &value))
        value = start; // cannot happen with the counters the editor writes
    return zeroPadded(value, n > 0 ? n : 0);
}

} // namespace vardata
