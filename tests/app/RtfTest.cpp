#include "platform/Rtf.h"
#include "TestSupport.h"

#include <QRandomGenerator>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <gtest/gtest.h>

namespace {

QString plain(const QByteArray &rtf)
{
    QTextDocument doc;
    EXPECT_TRUE(plat::readRtf(rtf, doc)) << rtf.constData();
    // The raw text keeps no-break spaces; paragraphs are shown as '\n'.
    return doc.toRawText().replace(QChar::ParagraphSeparator, '\n');
}

// The character format of the fragment holding `needle`.
QTextCharFormat formatOf(const QTextDocument &doc, const QString &needle)
{
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().text().contains(needle))
                return it.fragment().charFormat();
    ADD_FAILURE() << "no fragment holds " << needle.toStdString();
    return {};
}

} // namespace

TEST(Rtf, ReadsTheSampleFileWithItsFormatting)
{
    QTextDocument doc;
    ASSERT_TRUE(plat::readRtfFile(testsupport::fixture("app/sample.rtf"), doc));
    const QStringList paragraphs = doc.toRawText().split(QChar::ParagraphSeparator);
    ASSERT_EQ(paragraphs.size(), 4) << doc.toPlainText().toStdString();
    EXPECT_EQ(paragraphs[0], "Important Information");
    EXPECT_EQ(paragraphs[1], QString::fromUtf8("Café costs 5 € today."));
    EXPECT_EQ(paragraphs[2], "italic, underlined, red and navy.");
    EXPECT_EQ(paragraphs[3], QString("Last line") + QChar(QChar::LineSeparator) + "second half\tend");

    EXPECT_EQ(doc.begin().blockFormat().alignment(), Qt::AlignHCenter);
    EXPECT_EQ(doc.begin().next().blockFormat().alignment(), Qt::AlignLeft);

    const QTextCharFormat title = formatOf(doc, "Important");
    EXPECT_EQ(title.fontWeight(), QFont::Bold);
    EXPECT_DOUBLE_EQ(title.fontPointSize(), 16.0);
    const QTextCharFormat body = formatOf(doc, "Caf");
    EXPECT_EQ(body.fontWeight(), QFont::Normal);
    EXPECT_DOUBLE_EQ(body.fontPointSize(), 10.0);
    EXPECT_FALSE(body.hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_TRUE(formatOf(doc, "italic").fontItalic());
    EXPECT_FALSE(formatOf(doc, "underlined").fontItalic());
    EXPECT_TRUE(formatOf(doc, "underlined").fontUnderline());
    EXPECT_EQ(formatOf(doc, "red").foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(formatOf(doc, "navy").foreground().color(), QColor(0, 0, 128));
    EXPECT_FALSE(formatOf(doc, " and ").hasProperty(QTextFormat::ForegroundBrush));
}

TEST(Rtf, TextRules)
{
    const QChar nbsp(0x00A0);
    const struct { const char *rtf; QString expected; } cases[] = {
        // escapes and Windows-1252
        {R"({\rtf1 a\\b\{c\}d})", "a\\b{c}d"},
        {R"({\rtf1 \'93quoted\'94 \'80 \'e9})", QString::fromUtf8("“quoted” € é")},
        {R"({\rtf1 x\'zzy})", "xzzy"},                      // malformed escape dropped
        // \uN and its fallback
        {R"({\rtf1 \u8364?x})", QString::fromUtf8("€x")},
        {R"({\rtf1\uc2 \u8364??x})", QString::fromUtf8("€x")},
        {R"({\rtf1\uc0 \u8364 x})", QString::fromUtf8("€x")},
        {R"({\rtf1 \u-4064?})", QString(QChar(0xF020))},
        {R"({\rtf1 \u8364\'80x})", QString::fromUtf8("€x")},
        {R"({\rtf1 {\u8364}x})", QString::fromUtf8("€x")},  // a group end stops the skip
        {R"({\rtf1\uc1 \u-10179?\u-8704?})", QString::fromUtf8("😀")},
        {R"({\rtf1 \u55357?x})", QString(QChar::ReplacementCharacter) + "x"},
        // skipped destinations
        {R"({\rtf1 {\*\unknown hidden}shown})", "shown"},
        {R"({\rtf1 {\fonttbl{\f0 Arial;}}{\stylesheet{\s0 Normal;}}text})", "text"},
        {R"({\rtf1 {\field{\*\fldinst HYPERLINK "x"}{\fldrslt link}}})", "link"},
        {"{\\rtf1 a\\bin3 }}}b}", "ab"},
        // breaks and specials
        {R"({\rtf1 one\par two})", "one\ntwo"},
        {R"({\rtf1 a\~b\tab c\emdash d})", QString("a") + nbsp + "b\tc" + QChar(0x2014) + "d"},
        {"{\\rtf1 line\\\nnext}", "line\nnext"},
        {"{\\rtf1 raw\r\nbreaks\tand\x01" "control}", "rawbreaks\tandcontrol"},
        // damaged or truncated
        {R"({\rtf1 unclosed {\b group)", "unclosed group"},
        {R"({\rtf1 ends in a backslash\)", "ends in a backslash"},
        {R"({\rtf1 ends in an escape\'4)", "ends in an escape"},
        {R"({\rtf1 x}}}} after})", "x"},          // nothing after the outer group
        {R"({\rtf1 \bin99999999 gone})", ""},
        {R"({\rtf1 \fs99999999999999999999 \cf77 \uc-5 \u99999999 big})", "big"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.rtf);
        EXPECT_EQ(plain(c.rtf), c.expected);
    }
}

TEST(Rtf, GroupsRestoreFormattingAndPlainResetsIt)
{
    QTextDocument doc;
    ASSERT_TRUE(plat::readRtf(R"({\rtf1\fs40 {\b\i inner}outer \ul under\plain plain})", doc));
    EXPECT_EQ(doc.toPlainText(), "innerouter underplain");
    EXPECT_EQ(formatOf(doc, "inner").fontWeight(), QFont::Bold);
    EXPECT_TRUE(formatOf(doc, "inner").fontItalic());
    EXPECT_DOUBLE_EQ(formatOf(doc, "inner").fontPointSize(), 20.0);
    EXPECT_EQ(formatOf(doc, "outer").fontWeight(), QFont::Normal);
    EXPECT_FALSE(formatOf(doc, "outer").fontItalic());
    EXPECT_TRUE(formatOf(doc, "under").fontUnderline());
    EXPECT_FALSE(formatOf(doc, "plain").fontUnderline());
    EXPECT_DOUBLE_EQ(formatOf(doc, "plain").fontPointSize(), 12.0);
}

TEST(Rtf, NonRtfAndUnreadableFilesAreRefused)
{
    QTextDocument doc;
    doc.setPlainText("old");
    EXPECT_FALSE(plat::readRtf("plain text", doc));
    EXPECT_TRUE(doc.isEmpty());
    EXPECT_FALSE(plat::readRtf("", doc));
    EXPECT_FALSE(plat::readRtf("{\\rt", doc));
    EXPECT_TRUE(plat::readRtf("  \r\n{\\rtf1 ok}", doc));
    EXPECT_EQ(doc.toPlainText(), "ok");
    EXPECT_FALSE(plat::readRtfFile(testsupport::fixture("app/no-such-file.rtf"), doc));
    EXPECT_TRUE(doc.isEmpty());
}

TEST(Rtf, DeepNestingAndRandomBytesAreSafe)
{
    QByteArray deep = "{\\rtf1 start";
    deep += QByteArray(200000, '{');
    deep += "\\b deep";
    deep += QByteArray(200000, '}');
    deep += " end}";
    QTextDocument doc;
    ASSERT_TRUE(plat::readRtf(deep, doc));
    EXPECT_EQ(doc.toPlainText(), "startdeep end");

    QRandomGenerator rng(77);
    const QByteArray alphabet = "{}\\';*0123456789-abuclpardfsbinrtf \r\n";
    for (int round = 0; round < 400; ++round) {
        QByteArray text = "{\\rtf1 ";
        const int len = int(rng.bounded(300));
        for (int i = 0; i < len; ++i)
            text.append(round % 2 ? char(rng.bounded(256)) : alphabet[int(rng.bounded(int(alphabet.size())))]);
        QTextDocument d;
        ASSERT_TRUE(plat::readRtf(text, d));
    }
}
