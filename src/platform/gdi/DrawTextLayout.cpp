#include "platform/gdi/DrawTextLayout.h"

#include "platform/gdi/Canvas.h"

#include <QStringList>

namespace gdi {

namespace {

// Removes the "&" prefix characters DrawText interprets when DT_NOPREFIX is absent: "&&"
// becomes "&", a single "&" disappears (the mnemonic underline is not drawn).
QString stripPrefix(const QString &s)
{
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == QLatin1Char('&')) {
            if (i + 1 < s.size() && s[i + 1] == QLatin1Char('&'))
                out += QLatin1Char('&');
            ++i;
            if (i < s.size() && s[i] != QLatin1Char('&'))
                out += s[i];
            continue;
        }
        out += s[i];
    }
    return out;
}

QString expandTabs(const QString &s)
{
    QString out;
    for (QChar c : s) {
        if (c == QLatin1Char('\t')) {
            do
                out += QLatin1Char(' ');
            while (out.size() % 8 != 0);
        } else {
            out += c;
        }
    }
    return out;
}

// CR LF, CR or LF each end a paragraph.
QStringList splitParagraphs(const QString &text)
{
    QStringList paragraphs;
    QString cur;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            paragraphs << cur;
            cur.clear();
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
        } else {
            cur += c;
        }
    }
    paragraphs << cur;
    return paragraphs;
}

// Greedy word wrap at spaces: a line takes words while they fit; the spaces at a break
// are dropped; a word wider than the limit stands alone, unbroken.
void wrapParagraph(const QString &para, int limit, const std::function<QSize(const QString &)> &measure,
                   QStringList &lines)
{
    const qsizetype n = para.size();
    if (n == 0) {
        lines << para;
        return;
    }
    auto nextWordEnd = [&](qsizetype from) {
        while (from < n && para[from] == QLatin1Char(' '))
            ++from;
        while (from < n && para[from] != QLatin1Char(' '))
            ++from;
        return from;
    };
    qsizetype pos = 0;
    while (pos < n) {
        qsizetype fit = nextWordEnd(pos);
        for (;;) {
            const qsizetype next = nextWordEnd(fit);
            if (next == fit || measure(para.mid(pos, next - pos)).width() > limit)
                break;
            fit = next;
        }
        lines << para.mid(pos, fit - pos);
        pos = fit;
        while (pos < n && para[pos] == QLatin1Char(' '))
            ++pos;
    }
}

} // namespace

DrawTextLayout layoutDrawText(const QString &textIn, const QRect &rect, unsigned flags,
                              const std::function<QSize(const QString &)> &measure)
{
    QString text = textIn;
    if (flags & DT_EXPANDTABS)
        text = expandTabs(text);
    if (!(flags & DT_NOPREFIX))
        text = stripPrefix(text);

    const int left = rect.x(), top = rect.y();
    const int right = rect.x() + rect.width(), bottom = rect.y() + rect.height();
    const int limit = right - left;

    const bool single = flags & DT_SINGLELINE;
    const QStringList paragraphs = single ? QStringList{text} : splitParagraphs(text);
    QStringList lines;
    const bool wrap = (flags & DT_WORDBREAK) && !single;
    for (const QString &para : paragraphs) {
        if (wrap)
            wrapParagraph(para, limit, measure, lines);
        else
            lines << para;
    }

    DrawTextLayout out;
    out.lineHeight = measure(QStringLiteral("]")).height();
    out.totalHeight = out.lineHeight * int(lines.size());
    int y = top;
    if (single) {
        if (flags & DT_VCENTER)
            y = top + (bottom - top - out.lineHeight) / 2;
        else if (flags & DT_BOTTOM)
            y = bottom - out.lineHeight;
    }
    for (const QString &l : lines) {
        const int w = measure(l).width();
        out.maxWidth = std::max(out.maxWidth, w);
        int x = left;
        if (flags & DT_CENTER)
            x = left + (limit - w) / 2;
        else if (flags & DT_RIGHT)
            x = right - w;
        out.lines.push_back({l, x, y});
        y += out.lineHeight;
    }
    return out;
}

} // namespace gdi
