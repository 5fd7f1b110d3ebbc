// Reading a text object's Lines into the text-source controls and writing the counter
// edits back.
#include "vardata/TextSource.h"

#include <gtest/gtest.h>

using namespace vardata;

TEST(TextSource, CounterMarkerFollowsTheEditRules)
{
    const struct { const char *length, *start, *expected; } cases[] = {
        {"4", "42", "{-_0042_-}"},
        {"abc", "7", "{-_000007_-}"},          // not a number: 6 digits
        {"", "", "{-_000000_-}"},              // both empty: 6 digits from 0
        {"3", "x1", "{-_000_-}"},              // start not a number: 0
        {"2", "12345", "{-_12345_-}"},          // wider than the minimum: not cut
        {"5", "-42", "{-_-0042_-}"},            // the sign counts toward the width
        {" 3 ", " 9 ", "{-_009_-}"},            // blanks around a number are allowed
        {"0", "5", "{-_5_-}"},
        {"-4", "7", "{-_7   _-}"},              // negative width pads on the right
        {"3", "99999999999", "{-_000_-}"},      // start beyond 32 bits does not convert
    };
    for (const auto &c : cases)
        EXPECT_EQ(CounterMarker(QString::fromLatin1(c.length), QString::fromLatin1(c.start)),
                  QString::fromLatin1(c.expected))
            << c.length << " / " << c.start;

    // A length above 100 gives 100 digits.
    const QString wide = CounterMarker(QStringLiteral("250"), QStringLiteral("1"));
    EXPECT_EQ(wide.size(), 106);
    EXPECT_TRUE(wide.startsWith(QStringLiteral("{-_000")));
    EXPECT_TRUE(wide.endsWith(QStringLiteral("1_-}")));
}

TEST(TextSource, ReadingPicksTheSourceFromLines)
{
    TextSourceView v = ReadTextSource({QStringLiteral("a"), QStringLiteral("b")}, false);
    EXPECT_EQ(v.kind, TextSourceKind::List);
    EXPECT_EQ(v.memo, "a");

    v = ReadTextSource({QStringLiteral("{-_0042_-}")}, false);
    EXPECT_EQ(v.kind, TextSourceKind::Counter);
    EXPECT_EQ(v.counterLength, "4");
    EXPECT_EQ(v.counterStart, "42");

    v = ReadTextSource({QStringLiteral("{-_ab_-}")}, false);
    EXPECT_EQ(v.kind, TextSourceKind::Counter);
    EXPECT_EQ(v.counterLength, "2");
    EXPECT_EQ(v.counterStart, "0"); // digits that do not convert

    // A field marker is a field only with a linked data file.
    v = ReadTextSource({QStringLiteral("{-Name-}")}, false);
    EXPECT_EQ(v.kind, TextSourceKind::Single);
    EXPECT_EQ(v.memo, "{-Name-}");
    v = ReadTextSource({QStringLiteral("{-Name-}")}, true);
    EXPECT_EQ(v.kind, TextSourceKind::Field);
    EXPECT_EQ(v.fieldName, "Name");

    v = ReadTextSource({}, false);
    EXPECT_EQ(v.kind, TextSourceKind::Single);
    EXPECT_TRUE(v.memo.isEmpty());
}

TEST(TextSource, CounterWrittenThenReadKeepsItsValues)
{
    const QString marker = CounterMarker(QStringLiteral("8"), QStringLiteral("120"));
    const TextSourceView v = ReadTextSource({marker}, false);
    EXPECT_EQ(v.kind, TextSourceKind::Counter);
    EXPECT_EQ(v.counterLength, "8");
    EXPECT_EQ(v.counterStart, "120");
}
