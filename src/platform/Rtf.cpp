#include "platform/Rtf.h"

#include "platform/Ansi.h"

#include <QColor>
#include <QFile>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <optional>
#include <vector>

namespace plat {

namespace {

constexpr qint64 MaxRtfFileSize = 16 * 1024 * 1024;
// Groups nested deeper than this share the state of the deepest tracked group.
constexpr size_t MaxDepth = 200;
constexpr int MaxColors = 4096;
constexpr int DefaultHalfPoints = 24;   // 12 pt, the format's default size

enum class Dest { Text, Skip, ColorTable };

struct State {
    Dest dest = Dest::Text;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int halfPoints = DefaultHalfPoints;
    int color = 0;                       // index into the colour table; 0 = automatic
    int ucSkip = 1;                      // fallback characters after \uN
    Qt::Alignment align = Qt::AlignLeft;
};

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
int hexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Destinations whose text is not shown.
bool isSkippedDestination(const QByteArray &word)
{
    static const char *const names[] = {
        "fonttbl", "stylesheet", "info", "pict", "object", "header", "headerl", "headerr", "headerf",
        "footer", "footerl", "footerr", "footerf", "footnote", "fldinst", "xe", "tc", "listtable",
        "listoverridetable", "rsidtbl", "generator", "themedata", "colorschememapping", "latentstyles",
        "datastore", "filetbl", "revtbl", "pn", "pntext", "pntxta", "pntxtb", "bkmkstart", "bkmkend",
        "nonshppict", "shppict", "template", "userprops", "xmlnstbl", "mmathPr", "annotation",
        "atnid", "atnauthor", "comment", "doccomm", "keywords", "operator", "title", "subject",
        "author", "company", "category", "buptim", "creatim", "printim", "revtim"};
    return std::any_of(std::begin(names), std::end(names), [&](const char *n) { return word == n; });
}

class Reader {
public:
    Reader(const QByteArray &bytes, QTextDocument &doc) : m_data(bytes), m_cursor(&doc)
    {
        m_stack.push_back(State{});
    }

    // Reads from `start`, the document's opening brace.
    void run(qsizetype start)
    {
        m_pos = start;
        const qsizetype n = m_data.size();
        while (m_pos < n) {
            const char c = m_data[m_pos];
            if (c == '{') {
                ++m_pos;
                m_skipFallback = 0;
                pushGroup();
            } else if (c == '}') {
                ++m_pos;
                m_skipFallback = 0;
                if (m_overflow == 0 && m_stack.size() <= 2)
                    break;   // the document's outer group is closed: nothing after it counts
                popGroup();
            } else if (c == '\\') {
                ++m_pos;
                controlSequence();
            } else if (c == '\r' || c == '\n') {
                ++m_pos;
            } else {
                ++m_pos;
                if (consumeFallback())
                    continue;
                plainChar(c);
            }
        }
        endParagraph(false, m_blockAlign);
    }

private:
    State &state() { return m_stack.back(); }

    void pushGroup()
    {
        if (m_stack.size() >= MaxDepth) {
            ++m_overflow;
            return;
        }
        m_stack.push_back(m_stack.back());
    }

    void popGroup()
    {
        if (m_overflow > 0) {
            --m_overflow;
            return;
        }
        if (m_stack.size() <= 1)
            return;
        if (state().dest == Dest::ColorTable && m_stack[m_stack.size() - 2].dest != Dest::ColorTable)
            finishColorEntryIfPending();
        m_stack.pop_back();
    }

    // After \uN, the next ucSkip characters are the fallback for readers that do not
    // know Unicode; this reader drops them.
    bool consumeFallback()
    {
        if (m_skipFallback <= 0)
            return false;
        --m_skipFallback;
        return true;
    }

    void plainChar(char c)
    {
        switch (state().dest) {
        case Dest::Skip:
            return;
        case Dest::ColorTable:
            if (c == ';')
                finishColorEntry();
            return;
        case Dest::Text:
            if (c == '\t')
                text(QStringLiteral("\t"));
            else if (static_cast<unsigned char>(c) >= 0x20)
                text(fromAnsi(&c, 1));   // other control bytes are not text
            return;
        }
    }

    void controlSequence()
    {
        const qsizetype n = m_data.size();
        if (m_pos >= n)
            return;   // a lone backslash at the end
        const char c = m_data[m_pos];
        if (!isLetter(c)) {
            ++m_pos;
            controlSymbol(c);
            return;
        }
        // Control word: letters, an optional signed number, an optional space delimiter.
        const qsizetype start = m_pos;
        while (m_pos < n && isLetter(m_data[m_pos]))
            ++m_pos;
        const QByteArray word = m_data.mid(start, std::min<qsizetype>(m_pos - start, 32));
        std::optional<int> param;
        bool negative = false;
        if (m_pos < n && m_data[m_pos] == '-' && m_pos + 1 < n && isDigit(m_data[m_pos + 1])) {
            negative = true;
            ++m_pos;
        }
        if (m_pos < n && isDigit(m_data[m_pos])) {
            qint64 v = 0;
            while (m_pos < n && isDigit(m_data[m_pos])) {
                v = std::min<qint64>(v * 10 + (m_data[m_pos] - '0'), qint64(1) << 40);
                ++m_pos;
            }
            v = negative ? -v : v;
            param = int(std::clamp<qint64>(v, INT32_MIN, INT32_MAX));
        }
        if (m_pos < n && m_data[m_pos] == ' ')
            ++m_pos;

        if (word == "bin") {
            // Binary data: skip exactly that many bytes (never beyond the end).
            const qint64 count = std::max(0, param.value_or(0));
            m_pos = qsizetype(std::min<qint64>(qint64(m_pos) + count, n));
            return;
        }
        if (consumeFallback())
            return;
        controlWord(word, param);
    }

    void controlSymbol(char c)
    {
        switch (c) {
        case '\'': {
            const qsizetype n = m_data.size();
            int value = -1;
            if (m_pos + 1 < n) {
                const int hi = hexValue(m_data[m_pos]), lo = hexValue(m_data[m_pos + 1]);
                if (hi >= 0 && lo >= 0)
                    value = hi * 16 + lo;
            }
            if (value < 0) {
                if (m_pos + 1 >= n)
                    m_pos = n;   // cut off inside the escape: the text ends here
                return;          // malformed escape: dropped
            }
            m_pos += 2;
            if (consumeFallback())
                return;
            const char byte = char(value);
            if (state().dest == Dest::Text && value >= 0x20)
                text(fromAnsi(&byte, 1));
            return;
        }
        case '*':
            // An ignorable destination: this reader shows none of them.
            state().dest = Dest::Skip;
            return;
        default:
            break;
        }
        if (consumeFallback())
            return;
        if (state().dest == Dest::ColorTable && c == ';')
            return;
        if (state().dest != Dest::Text)
            return;
        switch (c) {
        case '\\': case '{': case '}':
            text(QString(QLatin1Char(c)));
            break;
        case '~':
            text(QString(QChar(0x00A0)));
            break;
        case '_':
            text(QString(QChar(0x2011)));
            break;
        case '\r': case '\n':
            endParagraph(true, state().align);   // a backslash before a line end means \par
            break;
        case '\t':
            text(QStringLiteral("\t"));
            break;
        default:
            break;   // "\-" (optional hyphen), "\:" and unknown symbols show nothing
        }
    }

    void controlWord(const QByteArray &w, std::optional<int> param)
    {
        State &s = state();
        const int p = param.value_or(1);

        if (w == "colortbl") { s.dest = Dest::ColorTable; m_colorPending = false; return; }
        if (isSkippedDestination(w)) { s.dest = Dest::Skip; return; }
        if (w == "uc") { s.ucSkip = std::clamp(p, 0, 255); return; }
        if (w == "u") {
            if (param && s.dest == Dest::Text) {
                int v = *param;
                if (v < 0)
                    v += 65536;
                if (v >= 0 && v <= 0xFFFF)
                    text(QString(QChar(char16_t(v))));
            }
            m_skipFallback = s.ucSkip;
            return;
        }

        if (s.dest == Dest::ColorTable) {
            const int v = std::clamp(p, 0, 255);
            if (w == "red") { m_colorR = v; m_colorPending = true; }
            else if (w == "green") { m_colorG = v; m_colorPending = true; }
            else if (w == "blue") { m_colorB = v; m_colorPending = true; }
            return;
        }
        if (s.dest == Dest::Skip)
            return;

        // Character formatting.
        if (w == "b") { s.bold = p != 0; return; }
        if (w == "i") { s.italic = p != 0; return; }
        if (w == "ul") { s.underline = p != 0; return; }
        if (w == "ulnone") { s.underline = false; return; }
        if (w == "fs") { if (param && *param > 0 && *param <= 3276) s.halfPoints = *param; return; }
        if (w == "cf") { s.color = std::max(0, p); return; }
        if (w == "plain") {
            s.bold = s.italic = s.underline = false;
            s.halfPoints = DefaultHalfPoints;
            s.color = 0;
            return;
        }
        // Paragraph formatting.
        if (w == "pard") { s.align = Qt::AlignLeft; return; }
        if (w == "ql") { s.align = Qt::AlignLeft; return; }
        if (w == "qr") { s.align = Qt::AlignRight; return; }
        if (w == "qc") { s.align = Qt::AlignHCenter; return; }
        if (w == "qj") { s.align = Qt::AlignJustify; return; }
        // Breaks and special characters.
        if (w == "par" || w == "sect" || w == "page") { endParagraph(true, s.align); return; }
        if (w == "line") { text(QString(QChar(QChar::LineSeparator))); return; }
        if (w == "tab") { text(QStringLiteral("\t")); return; }
        struct Special { const char *word; char16_t ch; };
        static const Special specials[] = {
            {"emdash", 0x2014}, {"endash", 0x2013}, {"bullet", 0x2022}, {"lquote", 0x2018},
            {"rquote", 0x2019}, {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"emspace", 0x2003},
            {"enspace", 0x2002}};
        for (const Special &sp : specials)
            if (w == sp.word) {
                text(QString(QChar(sp.ch)));
                return;
            }
        // Everything else is formatting this reader does not show.
    }

    void finishColorEntry()
    {
        if (m_colors.size() < MaxColors) {
            if (m_colorPending)
                m_colors.push_back(QColor(m_colorR, m_colorG, m_colorB));
            else
                m_colors.push_back(std::nullopt);   // an empty entry means "automatic"
        }
        m_colorPending = false;
        m_colorR = m_colorG = m_colorB = 0;
        m_cachedKey.reset();
    }
    void finishColorEntryIfPending()
    {
        if (m_colorPending)
            finishColorEntry();
    }

    QTextCharFormat currentFormat()
    {
        const State &s = m_stack.back();
        const FormatKey key{s.bold, s.italic, s.underline, s.halfPoints, s.color};
        if (m_cachedKey && *m_cachedKey == key)
            return m_cachedFormat;
        m_cachedKey = key;
        QTextCharFormat &f = m_cachedFormat;
        f = QTextCharFormat();
        f.setFontWeight(s.bold ? QFont::Bold : QFont::Normal);
        f.setFontItalic(s.italic);
        f.setFontUnderline(s.underline);
        f.setFontPointSize(s.halfPoints / 2.0);
        if (s.color > 0 && s.color < int(m_colors.size()) && m_colors[size_t(s.color)])
            f.setForeground(*m_colors[size_t(s.color)]);
        return f;
    }

    void text(const QString &t)
    {
        const QTextCharFormat f = currentFormat();
        if (!m_pending.isEmpty() && f != m_pendingFormat)
            flush();
        m_pendingFormat = f;
        m_pending += t;
        m_blockAlign = state().align;
    }

    void flush()
    {
        if (m_pending.isEmpty())
            return;
        // A surrogate without its partner would make the text invalid UTF-16.
        for (qsizetype i = 0; i < m_pending.size(); ++i) {
            const QChar ch = m_pending[i];
            if (ch.isHighSurrogate() && i + 1 < m_pending.size() && m_pending[i + 1].isLowSurrogate())
                ++i;
            else if (ch.isSurrogate())
                m_pending[i] = QChar::ReplacementCharacter;
        }
        m_cursor.insertText(m_pending, m_pendingFormat);
        m_pending.clear();
    }

    // Ends the current paragraph with the alignment in force where it ends.
    void endParagraph(bool startNext, Qt::Alignment align)
    {
        flush();
        QTextBlockFormat bf = m_cursor.blockFormat();
        bf.setAlignment(align);
        m_cursor.setBlockFormat(bf);
        if (startNext) {
            m_cursor.insertBlock(QTextBlockFormat(), currentFormat());
        }
    }

    const QByteArray &m_data;
    qsizetype m_pos = 0;
    QTextCursor m_cursor;
    std::vector<State> m_stack;
    size_t m_overflow = 0;
    int m_skipFallback = 0;
    std::vector<std::optional<QColor>> m_colors;
    bool m_colorPending = false;
    int m_colorR = 0, m_colorG = 0, m_colorB = 0;
    struct FormatKey {
        bool bold, italic, underline;
        int halfPoints, color;
        bool operator==(const FormatKey &) const = default;
    };
    std::optional<FormatKey> m_cachedKey;
    QTextCharFormat m_cachedFormat;
    QString m_pending;
    QTextCharFormat m_pendingFormat;
    Qt::Alignment m_blockAlign = Qt::AlignLeft;
};

qsizetype headerStart(const QByteArray &bytes)
{
    qsizetype i = 0;
    while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n'))
        ++i;
    return bytes.mid(i, 5) == "{\\rtf" ? i : -1;
}

} // namespace

bool looksLikeRtf(const QByteArray &bytes) { return headerStart(bytes) >= 0; }

bool readRtf(const QByteArray &rtf, QTextDocument &document)
{
    document.clear();
    const qsizetype start = headerStart(rtf);
    if (start < 0)
        return false;
    Reader(rtf, document).run(start);
    return true;
}

bool readRtfFile(const QString &path, QTextDocument &document)
{
    document.clear();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() > MaxRtfFileSize)
        return false;
    const QByteArray bytes = f.read(MaxRtfFileSize + 1);
    if (bytes.size() > MaxRtfFileSize)
        return false;
    return readRtf(bytes, document);
}

} // namespace plat
