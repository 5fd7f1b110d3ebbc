#include "platform/Registry.h"
#include "TestSupport.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using plat::Registry;
using plat::RegType;

namespace {
const QString Key = QStringLiteral("Software\\Dravmont\\Pelloran\\Ostravel\\Options\\General");
}

TEST(Registry, TypesAreKeptApart)
{
    Registry r;
    ASSERT_TRUE(r.createKey(Key));
    ASSERT_TRUE(r.writeDword(Key, "PromptOnDelete", 1));
    ASSERT_TRUE(r.writeString(Key, "Graphic", "/tmp"));
    ASSERT_TRUE(r.writeBinary(Key, "State", QByteArray("\x00\x01", 2)));

    EXPECT_EQ(r.valueType(Key, "PromptOnDelete"), RegType::Dword);
    EXPECT_EQ(r.readDword(Key, "PromptOnDelete"), 1u);
    EXPECT_FALSE(r.readString(Key, "PromptOnDelete"));
    EXPECT_FALSE(r.readBinary(Key, "PromptOnDelete"));
    EXPECT_FALSE(r.readDword(Key, "Graphic"));
    EXPECT_EQ(r.readString(Key, "Graphic"), QString("/tmp"));
    EXPECT_FALSE(r.readDword(Key, "State"));
    EXPECT_EQ(r.readBinary(Key, "State"), QByteArray("\x00\x01", 2));
    EXPECT_EQ(r.valueType(Key, "Missing"), RegType::None);

    // Rewriting a value with another type replaces it.
    ASSERT_TRUE(r.writeString(Key, "PromptOnDelete", "1"));
    EXPECT_FALSE(r.readDword(Key, "PromptOnDelete"));
    EXPECT_EQ(r.valueType(Key, "PromptOnDelete"), RegType::String);
}

TEST(Registry, KeysAndNamesIgnoreLetterCaseAndWritesNeverCreateKeys)
{
    Registry r;
    EXPECT_FALSE(r.writeDword(Key, "X", 1));
    EXPECT_FALSE(r.keyExists(Key));
    ASSERT_TRUE(r.createKey("\\" + Key + "\\"));
    EXPECT_TRUE(r.keyExists(Key.toUpper()));
    EXPECT_TRUE(r.keyExists("software\\dravmont"));
    ASSERT_TRUE(r.writeDword(Key.toLower(), "GridSize", 7));
    EXPECT_EQ(r.readDword(Key, "gridsize"), 7u);
    EXPECT_EQ(r.valueNames(Key), QStringList{"GridSize"});
    EXPECT_EQ(r.subKeys("SOFTWARE\\DRAVMONT\\PELLORAN\\OSTRAVEL\\OPTIONS"), QStringList{"General"});
    EXPECT_EQ(r.subKeys(""), QStringList{"Software"});

    for (const char *bad : {"", "\\", "a\\\\b", "a\nb"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(r.createKey(bad));
        EXPECT_FALSE(r.keyExists(bad));
    }
}

TEST(Registry, DeletingAKeyTakesItsSubKeysButNotItsNeighbours)
{
    Registry r;
    r.createKey("A\\B\\C");
    r.createKey("A\\BB");
    r.writeString("A\\B\\C", "v", "x");
    EXPECT_TRUE(r.deleteKey("a\\b"));
    EXPECT_FALSE(r.keyExists("A\\B"));
    EXPECT_FALSE(r.keyExists("A\\B\\C"));
    EXPECT_TRUE(r.keyExists("A\\BB"));
    EXPECT_EQ(r.subKeys("A"), QStringList{"BB"});
    r.writeString("A\\BB", "x", "1");
    EXPECT_TRUE(r.deleteValue("A\\BB", "X"));
    EXPECT_FALSE(r.deleteValue("A\\BB", "X"));
}

TEST(Registry, TextRoundTripKeepsEveryValueExactly)
{
    Registry r;
    const QString k2 = "Software\\Dravmont\\Pelloran\\Ostravel\\Custom";
    r.createKey(Key);
    r.createKey(k2);
    r.createKey("Software\\Empty Key [x]");
    r.writeDword(Key, "Max", 0xFFFFFFFFu);
    r.writeDword(Key, "Zero", 0);
    r.writeString(k2, "Field00", "line one\r\nline \"two\"\tC:\\path\\");
    r.writeString(k2, "Field01", QString::fromUtf8("Ünïcödé € ✓"));
    r.writeString(k2, "Field02", "");
    r.writeString(k2, "", "default value");
    r.writeString(k2, "Name \"quoted\" = x", "v");
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(char(i));
    r.writeBinary(Key, "Bytes", all);
    r.writeBinary(Key, "NoBytes", {});

    Registry back;
    back.fromText(r.toText());
    EXPECT_EQ(back.toText(), r.toText());
    EXPECT_EQ(back.readDword(Key, "Max"), 0xFFFFFFFFu);
    EXPECT_EQ(back.readDword(Key, "Zero"), 0u);
    EXPECT_EQ(back.readString(k2, "Field00"), QString("line one\r\nline \"two\"\tC:\\path\\"));
    EXPECT_EQ(back.readString(k2, "Field01"), QString::fromUtf8("Ünïcödé € ✓"));
    EXPECT_EQ(back.readString(k2, "Field02"), QString(""));
    EXPECT_EQ(back.readString(k2, ""), QString("default value"));
    EXPECT_EQ(back.readString(k2, "Name \"quoted\" = x"), QString("v"));
    EXPECT_EQ(back.readBinary(Key, "Bytes"), all);
    EXPECT_EQ(back.readBinary(Key, "NoBytes"), QByteArray());
    EXPECT_TRUE(back.keyExists("Software\\Empty Key [x]"));
}

TEST(Registry, DamagedLinesAreSkippedAndTheRestIsRead)
{
    QByteArray text =
        "\"Orphan\"=dword:00000001\n"            // before any key: ignored
        "[Good]\r\n"
        "\"A\"=dword:0000000a\r\n"
        "\"B\"=dword:xyz\n"                      // not hex
        "\"C\"=dword:123456789\n"                // too many digits
        "\"D\"=dword:\n"
        "\"E\"=\"unterminated\n"
        "\"F\"=\"bad escape \\q\"\n"
        "\"G\"=\"trailing\" junk\n"
        "\"H\"=hex:0,01\n"
        "\"I\"=hex:zz\n"
        "\"J\"=number:5\n"
        "\"K\"\n"
        "noquote=dword:00000001\n"
        "\"L\"=\"fine\"\n"
        "[Bad\\\\Path]\n"
        "\"M\"=dword:00000001\n"                 // under an invalid header: ignored
        "[Unclosed\n"
        "\"N\"=dword:00000001\n"
        "[Good]\n"
        "\"O\"=hex:ff,00\n";
    text += QByteArray("\xff\xfe\x00garbage\n", 11);
    text += "\"P\"=dword:0000000";               // last line without newline
    Registry r;
    r.fromText(text);
    EXPECT_EQ(r.valueNames("Good"), (QStringList{"A", "L", "O", "P"}));
    EXPECT_EQ(r.readDword("Good", "A"), 10u);
    EXPECT_EQ(r.readString("Good", "L"), QString("fine"));
    EXPECT_EQ(r.readBinary("Good", "O"), QByteArray("\xff\x00", 2));
    EXPECT_EQ(r.readDword("Good", "P"), 0u);
    EXPECT_EQ(r.subKeys(""), QStringList{"Good"});
}

TEST(Registry, RandomBytesNeverBreakTheReader)
{
    QRandomGenerator rng(1234);
    const QByteArray alphabet = "[]\\\"=@:;,0123456789abcdefhxwordABC \r\n\t";
    for (int round = 0; round < 300; ++round) {
        QByteArray text;
        const int len = int(rng.bounded(400));
        for (int i = 0; i < len; ++i)
            text.append(round % 2 ? char(rng.bounded(256)) : alphabet[int(rng.bounded(int(alphabet.size())))]);
        Registry r;
        r.fromText(text);
        // Whatever was read must write out and read back to the same thing.
        Registry again;
        again.fromText(r.toText());
        ASSERT_EQ(again.toText(), r.toText()) << text.toHex().constData();
    }
}

TEST(Registry, FileIsWrittenAtomicallyAndReadBack)
{
    QTemporaryDir tmp;
    const QString path = tmp.path() + "/deeper/settings.reg";
    Registry r(path);
    EXPECT_TRUE(r.load());                      // no file yet: empty store
    r.createKey(Key);
    r.writeDword(Key, "GridSize", 12);
    ASSERT_TRUE(r.save());
    EXPECT_TRUE(QDir(tmp.path() + "/deeper").entryList(QDir::Files) == QStringList{"settings.reg"});

    Registry back(path);
    ASSERT_TRUE(back.load());
    EXPECT_EQ(back.readDword(Key, "GridSize"), 12u);

    // A target that cannot be written fails and leaves the store's old file alone.
    Registry blocked(tmp.path() + "/deeper");   // a folder, not a file
    blocked.createKey("X");
    EXPECT_FALSE(blocked.save());
    EXPECT_FALSE(Registry().save());
}

TEST(Registry, DefaultFileFollowsProgramHome)
{
    const QByteArray old = qgetenv("OSTRAVEL_HOME");
    qputenv("OSTRAVEL_HOME", "/some/home");
    EXPECT_EQ(Registry::defaultFilePath(), QString("/some/home/settings.reg"));
    qunsetenv("OSTRAVEL_HOME");
    EXPECT_TRUE(Registry::defaultFilePath().endsWith("/settings.reg"));
    EXPECT_FALSE(Registry::defaultFilePath().startsWith("/some/home"));
    if (!old.isNull())
        qputenv("OSTRAVEL_HOME", old);
}
