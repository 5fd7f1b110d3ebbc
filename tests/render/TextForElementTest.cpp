// The text a text object draws for each element: lists, counters and field markers.

#include "vardata/TextForElement.h"

#include <gtest/gtest.h>

using namespace vardata;

TEST(TextForElement, SourcesByElement)
{
    struct Case {
        QStringList lines;
        int index;
        const char *expected;
    };
    const QStringList abc{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")};
    const Case cases[] = {
        {abc, 1, "A"},
        {abc, 3, "C"},
        {abc, 4, ""}, // a list shorter than the positions leaves the rest empty
        {abc, 0, ""},
        {{QStringLiteral("only\r\nline")}, 7, "only\r\nline"}, // one text for every element
        {{}, 1, ""},
        {{QStringLiteral("{-_0001_-}")}, 1, "0001"},
        {{QStringLiteral("{-_0001_-}")}, 2, "0002"},
        {{QStringLiteral("{-_0001_-}")}, 10, "0010"},
        {{QStringLiteral("{-_0001_-}")}, 12, "0012"},
        {{QStringLiteral("{-_0001_-}")}, 10000, "10000"}, // more digits than the minimum
        {{QStringLiteral("{-_98_-}")}, 3, "100"},
        {{QStringLiteral("{-_0005_-}")}, 3, "0007"},
        {{QStringLiteral("{-_ab_-}")}, 1, "00"}, // digits that do not convert count from 0
        {{QStringLiteral("{-_-}")}, 4, "3"},     // no digits: no padding
        {{QStringLiteral("{-__-}")}, 1, "0"},
        {{QStringLiteral("{-_-5_-}")}, 1, "-5"},
        {{QStringLiteral("{-COMPANY-}")}, 5, "{-COMPANY-}"}, // field markers are drawn literally
        {{QStringLiteral("{-_0001_-}"), QStringLiteral("x")}, 1, "{-_0001_-}"}, // a list is never a counter
    };
    for (const Case &c : cases)
        EXPECT_EQ(TextForElement(c.lines, c.index), QString::fromLatin1(c.expected))
            << c.lines.join(QLatin1Char('|')).toStdString() << " @" << c.index;
}

TEST(TextForElement, HundredDigitCounterAndHugeIndex)
{
    const QString digits = QString(99, QLatin1Char('0')) + QLatin1Char('1');
    const QString s = TextForElement({QStringLiteral("{-_") + digits + QStringLiteral("_-}")}, 3);
    EXPECT_EQ(s.size(), 100);
    EXPECT_TRUE(s.endsWith(QLatin1String("003")));
    // A start that does not fit in 64 bits counts from 0 instead of overflowing.
    const QString big = QStringLiteral("{-_") + QString(30, QLatin1Char('9')) + QStringLiteral("_-}");
    EXPECT_EQ(TextForElement({big}, 2), QString(29, QLatin1Char('0')) + QLatin1Char('1'));
}

TEST(TextForElement, Recognition)
{
    struct Case {
        const char *s;
        bool counter, field;
    };
    for (const Case c : {Case{"{-_0001_-}", true, false}, Case{"{-_-}", true, false}, Case{"{-NAME-}", false, true},
                         Case{"{--}", false, true}, Case{"{-}", false, true}, Case{"{-_0001", false, false},
                         Case{"_0001_-}", false, false}, Case{"plain", false, false}, Case{"", false, false}}) {
        EXPECT_EQ(IsCounter(QString::fromLatin1(c.s)), c.counter) << c.s;
        EXPECT_EQ(IsFieldMarker(QString::fromLatin1(c.s)), c.field) << c.s;
    }
}
