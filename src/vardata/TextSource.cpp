#include "vardata/TextSource.h"

#include "vardata/TextForElement.h"

#include <limits>

namespace vardata {

bool ParseWholeNumber(const QString &text, long long *value)
{
    bool ok = false;
    const long long v = text.trimmed().toLongLong(&ok, 10);
    if (ok && value)
        *value = v;
    return ok;
}

TextSourceView ReadTextSource(const QStringList &lines, bool hasDataFile)
{
    TextSourceView view;
    view.memo = lines.value(0);
    if (lines.size() >= 2) {
        view.kind = TextSourceKind::List;
        return view;
    }
    const QString &s = view.memo;
    if (lines.size() == 1 && IsCounter(s)) {
        view.kind = TextSourceKind::Counter;
        const qsizetype n = s.size() - 6;
        view.counterLength = QString::number(n);
        long long start = 0;
        if (n <= 0 || !ParseWholeNumber(s.mid(3, n), &start))
            start = 0;
        view.counterStart = QString::number(start);
        return view;
    }
    if (lines.size() == 1 && IsFieldMarker(s) && hasDataFile) {
        view.kind = TextSourceKind::Field;
        view.fieldName = s.mid(2, s.size() - 4);
        return view;
    }
    view.kind = TextSourceKind::Single;
    return view;
}

QString CounterMarker(const QString &lengthText, const QString &startText)
{
    long long n = 6;
    if (!ParseWholeNumber(lengthText, &n) || n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max())
        n = 6;
    if (n > 100)
        n = 100;
    long long start = 0;
    // The edit takes a 32-bit integer; anything else counts as not converting.
    if (!ParseWholeNumber(startText, &start) || start < std::numeric_limits<int32_t>::min()
        || start > std::numeric_limits<int32_t>::max())
        start = 0;

    QString digits = QString::number(start);
    if (n >= 0) {
        // Zero padding after the sign up to n characters in all.
        const bool negative = start < 0;
        QString mag = negative ? digits.mid(1) : digits;
        const qsizetype room = n - (negative ? 1 : 0);
        if (mag.size() < room)
            mag.prepend(QString(room - mag.size(), QLatin1Char('0')));
        digits = negative ? QLatin1Char('-') + mag : mag;
    } else {
        // "%0-5ld": the minus flag wins, the field is padded with blanks on the right
        // (n is at least INT_MIN here, so the width stays within int).
        const qsizetype width = qsizetype(-n);
        if (digits.size() < width && width <= 1000)
            digits.append(QString(width - digits.size(), QLatin1Char(' ')));
    }
    return QStringLiteral("{-_") + digits + QStringLiteral("_-}");
}

QString FieldMarker(const QString &fieldName)
{
    return QStringLiteral("{-") + fieldName + QStringLiteral("-}");
}

} // namespace vardata
