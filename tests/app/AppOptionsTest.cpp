#include "app/AppOptions.h"
#include "app/Product.h"
#include "platform/Registry.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using app::TAppOptions;
using plat::Registry;

namespace {

QString key(const char *sub) { return app::OptionsKey() + "\\" + sub; }

// Options that differ from the defaults in every field.
TAppOptions everythingChanged()
{
    TAppOptions o;
    o.PromptOnDelete = false;
    o.SelectReturn = false;
    o.MetricUnits = true;
    o.ReduceColor = true;
    o.ShowDesignWizard = false;
    o.SaveProperties = false;
    o.GridSize = 17;
    o.ShowGrid = true;
    o.SnapToGrid = true;
    o.CropMarks = true;
    o.SetOrientation = false;
    o.GraphicFolder = "/home/me/Pictures";
    o.DocumentsFolder = QString::fromUtf8("/home/me/Cärds \"2\"");
    o.CustomTexts = {"first", "", "multi\r\nline"};
    for (int i = 0; i < 16; ++i)
        o.CustomColors[size_t(i)] = uint32_t(i * 0x10101);
    return o;
}

} // namespace

TEST(AppOptions, FirstStartWithoutSettingsGivesTheDefaults)
{
    Registry reg;
    TAppOptions o = everythingChanged();
    app::LoadOptions(o, reg);
    EXPECT_EQ(o, TAppOptions{});
    EXPECT_EQ(o.GridSize, 4);
    EXPECT_FALSE(o.ShowGrid);
    EXPECT_FALSE(o.SnapToGrid);
    EXPECT_FALSE(o.MetricUnits);
    EXPECT_TRUE(o.ShowDesignWizard);
    EXPECT_TRUE(o.PromptOnDelete);
    EXPECT_FALSE(o.ReduceColor) << "photographs are not posterised unless asked for";
    EXPECT_TRUE(o.CustomTexts.isEmpty());
    EXPECT_EQ(o.CustomColors[15], 0xFFFFFFu);
}

TEST(AppOptions, SaveThenLoadGivesBackEveryField)
{
    Registry reg;
    const TAppOptions saved = everythingChanged();
    app::SaveOptions(saved, reg);
    EXPECT_EQ(app::OptionsKey(), "Software\\Dravmont\\Pelloran\\Ostravel\\Options");
    EXPECT_EQ(reg.readDword(key("General"), "PromptOnDelete"), 0u);
    EXPECT_EQ(reg.readDword(key("General"), "MetricUnits"), 1u);
    EXPECT_EQ(reg.readDword(key("Grid"), "GridSize"), 17u);
    EXPECT_EQ(reg.readString(key("Folders"), "Favorites"), saved.DocumentsFolder);
    EXPECT_EQ(reg.readDword(key("Custom"), "Count"), 3u);
    EXPECT_EQ(reg.readString(key("Custom"), "Field02"), QString("multi\r\nline"));
    EXPECT_EQ(reg.readDword(key("CustomColors"), "15"), 15u * 0x10101);

    // Through the text file as well.
    Registry back;
    back.fromText(reg.toText());
    TAppOptions loaded;
    app::LoadOptions(loaded, back);
    EXPECT_EQ(loaded, saved);
}

// In General, the first boolean that is missing or has another type ends the key: the
// fields before it are read, it and the ones after keep their defaults.
struct GeneralCase {
    int broken;          // index of the damaged value, 6 = none
    bool wrongType;      // stored as a string instead of being missing
};

class GeneralKeyRule : public ::testing::TestWithParam<GeneralCase> {};

TEST_P(GeneralKeyRule, ReadingStopsAtTheDamagedValue)
{
    const char *names[6] = {"PromptOnDelete", "SelectReturn", "MetricUnits",
                            "ReduceColor", "ShowDesignWizard", "SaveProperties"};
    const GeneralCase c = GetParam();
    const TAppOptions changed = everythingChanged();
    Registry reg;
    app::SaveOptions(changed, reg);
    if (c.broken < 6) {
        if (c.wrongType)
            reg.writeString(key("General"), names[c.broken], "0");
        else
            reg.deleteValue(key("General"), names[c.broken]);
    }
    TAppOptions o;
    app::LoadOptions(o, reg);
    const TAppOptions def;
    const bool TAppOptions::*fields[6] = {&TAppOptions::PromptOnDelete, &TAppOptions::SelectReturn,
                                          &TAppOptions::MetricUnits, &TAppOptions::ReduceColor,
                                          &TAppOptions::ShowDesignWizard, &TAppOptions::SaveProperties};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(names[i]);
        EXPECT_EQ(o.*fields[i], i < c.broken ? changed.*fields[i] : def.*fields[i]);
    }
    // Other keys are not affected.
    EXPECT_EQ(o.GridSize, 17);
    EXPECT_EQ(o.CustomTexts, changed.CustomTexts);
}

INSTANTIATE_TEST_SUITE_P(Cases, GeneralKeyRule,
                         ::testing::Values(GeneralCase{0, false}, GeneralCase{5, false}, GeneralCase{2, false},
                                           GeneralCase{0, true}, GeneralCase{3, true}, GeneralCase{6, false}));

TEST(AppOptions, GridKeyStopsAtAWrongTypeAndStoredSizesAreClamped)
{
    Registry reg;
    app::SaveOptions(everythingChanged(), reg);
    reg.writeString(key("Grid"), "GridSize", "12");
    TAppOptions o;
    app::LoadOptions(o, reg);
    EXPECT_EQ(o.GridSize, 4);
    EXPECT_FALSE(o.ShowGrid);          // after the damaged value: default
    EXPECT_TRUE(o.CropMarks);          // next key read normally

    const struct { uint32_t stored; int expected; } sizes[] = {
        {0, 1}, {uint32_t(-3), 1}, {1, 1}, {32, 32}, {33, 32}, {0x7FFFFFFF, 32}, {0x80000000u, 1}};
    for (const auto &s : sizes) {
        SCOPED_TRACE(s.stored);
        reg.writeDword(key("Grid"), "GridSize", s.stored);
        app::LoadOptions(o, reg);
        EXPECT_EQ(o.GridSize, s.expected);
        EXPECT_TRUE(o.ShowGrid);
    }
}

TEST(AppOptions, FolderStringsMissingReadEmptyButAnotherTypeEndsTheKey)
{
    Registry reg;
    app::SaveOptions(everythingChanged(), reg);
    reg.deleteValue(key("Folders"), "Graphic");
    TAppOptions o;
    app::LoadOptions(o, reg);
    EXPECT_EQ(o.GraphicFolder, "");
    EXPECT_EQ(o.DocumentsFolder, everythingChanged().DocumentsFolder);

    reg.writeDword(key("Folders"), "Graphic", 5);
    app::LoadOptions(o, reg);
    EXPECT_EQ(o.GraphicFolder, "");
    EXPECT_EQ(o.DocumentsFolder, "");
}

TEST(AppOptions, CustomTextsFollowCountWithGapsAndDamage)
{
    Registry reg;
    const QString k = key("Custom");
    reg.createKey(k);
    reg.writeDword(k, "Count", 3);
    reg.writeString(k, "Field00", "a");
    reg.writeString(k, "Field02", "c");
    TAppOptions o;
    app::LoadOptions(o, reg);
    EXPECT_EQ(o.CustomTexts, (QStringList{"a", "", "c"}));

    // A text stored as a number ends the key; what was read stays.
    reg.writeDword(k, "Field01", 9);
    app::LoadOptions(o, reg);
    EXPECT_EQ(o.CustomTexts, QStringList{"a"});

    // Count missing, of another type, or negative: no texts.
    for (int variant = 0; variant < 3; ++variant) {
        SCOPED_TRACE(variant);
        if (variant == 0) reg.deleteValue(k, "Count");
        if (variant == 1) reg.writeString(k, "Count", "3");
        if (variant == 2) reg.writeDword(k, "Count", uint32_t(-2));
        app::LoadOptions(o, reg);
        EXPECT_TRUE(o.CustomTexts.isEmpty());
    }

    // A damaged huge count does not make a list of two thousand million entries.
    reg.writeDword(k, "Count", 0x7FFFFFFF);
    reg.writeString(k, "Field01", "b");
    app::LoadOptions(o, reg);
    EXPECT_EQ(o.CustomTexts.size(), 1000);
    EXPECT_EQ(o.CustomTexts.mid(0, 3), (QStringList{"a", "b", "c"}));
}

TEST(AppOptions, ShorterListLeavesOldValuesUnread)
{
    Registry reg;
    TAppOptions o;
    o.CustomTexts = {"t0", "t1", "t2", "t3", "t4"};
    app::SaveOptions(o, reg);
    o.CustomTexts = {"n0", "n1"};
    app::SaveOptions(o, reg);
    const QString k = key("Custom");
    EXPECT_EQ(reg.readDword(k, "Count"), 2u);
    EXPECT_EQ(reg.readString(k, "Field04"), QString("t4"));
    TAppOptions back;
    app::LoadOptions(back, reg);
    EXPECT_EQ(back.CustomTexts, (QStringList{"n0", "n1"}));
}

TEST(AppOptions, CustomFieldNamesUseAtLeastTwoDigits)
{
    EXPECT_EQ(app::CustomFieldName(0), "Field00");
    EXPECT_EQ(app::CustomFieldName(9), "Field09");
    EXPECT_EQ(app::CustomFieldName(99), "Field99");
    EXPECT_EQ(app::CustomFieldName(100), "Field100");
    Registry reg;
    TAppOptions o;
    for (int i = 0; i < 105; ++i)
        o.CustomTexts << QString::number(i);
    app::SaveOptions(o, reg);
    EXPECT_EQ(reg.readString(key("Custom"), "Field104"), QString("104"));
    TAppOptions back;
    app::LoadOptions(back, reg);
    EXPECT_EQ(back.CustomTexts, o.CustomTexts);
}

TEST(AppOptions, CustomColorsStopAtTheFirstMissingEntry)
{
    Registry reg;
    app::SaveOptions(everythingChanged(), reg);
    reg.deleteValue(key("CustomColors"), "03");
    TAppOptions o;
    app::LoadOptions(o, reg);
    EXPECT_EQ(o.CustomColors[2], 2u * 0x10101);
    EXPECT_EQ(o.CustomColors[3], 0xFFFFFFu);
    EXPECT_EQ(o.CustomColors[4], 0xFFFFFFu);
}

// The Options dialog takes whole numbers from 1 to 32 and refuses everything else (it
// used to turn "abc" into 8 without a word).
TEST(AppOptions, DialogGridSizeRule)
{
    const struct { const char *text; std::optional<int> expected; } cases[] = {
        {"abc", std::nullopt}, {"0", std::nullopt}, {"-3", std::nullopt}, {"", std::nullopt},
        {"4x", std::nullopt}, {"99999999999", std::nullopt}, {"33", std::nullopt}, {"1000", std::nullopt},
        {"1", 1}, {"32", 32}, {"12", 12}, {" 7 ", 7}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(app::GridSizeFromText(c.text), c.expected);
    }
    EXPECT_EQ(app::GridSizeMessage(), "Please enter a grid size between 1 and 32 pixels.");
}

TEST(AppOptions, UserStoreIsWrittenToTheSettingsFile)
{
    QTemporaryDir home;
    const QByteArray old = qgetenv("OSTRAVEL_HOME");
    qputenv("OSTRAVEL_HOME", home.path().toUtf8());
    const TAppOptions saved = everythingChanged();
    ASSERT_TRUE(app::SaveOptions(saved));
    Registry file(home.path() + "/settings.reg");
    ASSERT_TRUE(file.load());
    TAppOptions loaded;
    app::LoadOptions(loaded, file);
    EXPECT_EQ(loaded, saved);
    TAppOptions fromUser;
    app::LoadOptions(fromUser);
    EXPECT_EQ(fromUser, saved);
    if (old.isNull())
        qunsetenv("OSTRAVEL_HOME");
    else
        qputenv("OSTRAVEL_HOME", old);
}
