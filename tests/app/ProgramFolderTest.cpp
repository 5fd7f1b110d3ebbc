#include "platform/ProgramFolder.h"
#include "TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using plat::ProgramFolder;
using testsupport::readFile;
using testsupport::writeFile;

namespace {

// Three folders standing for the user's copy, the installed data and the source data.
struct Folders {
    QTemporaryDir tmp;
    QString user, install, source;
    Folders()
    {
        user = tmp.path() + "/user";
        install = tmp.path() + "/install";
        source = tmp.path() + "/source";
        for (const QString &f : {user, install, source})
            QDir().mkpath(f + "/Template/Standard");
    }
    void put(const QString &folder, const QString &relative, const QByteArray &bytes)
    {
        QDir().mkpath(QFileInfo(folder + "/" + relative).absolutePath());
        ASSERT_TRUE(writeFile(folder + "/" + relative, bytes));
    }
    ProgramFolder pf() const { return ProgramFolder::fromFolders({}, user, install, source); }
};

QStringList names(const QStringList &paths)
{
    QStringList out;
    for (const QString &p : paths)
        out << QFileInfo(p).fileName();
    return out;
}

} // namespace

TEST(ProgramFolder, ReadOrderIsUserThenInstalledThenSource)
{
    Folders f;
    f.put(f.source, "a.LYT", "source-a");
    f.put(f.install, "a.LYT", "install-a");
    f.put(f.source, "b.LYT", "source-b");
    f.put(f.user, "c.LYT", "user-c");
    f.put(f.install, "c.LYT", "install-c");
    const ProgramFolder pf = f.pf();
    EXPECT_EQ(pf.readFolders(), (QStringList{f.user, f.install, f.source}));
    EXPECT_EQ(readFile(pf.findFile("a.LYT")), "install-a");
    EXPECT_EQ(readFile(pf.findFile("b.LYT")), "source-b");
    EXPECT_EQ(readFile(pf.findFile("c.LYT")), "user-c");
    EXPECT_TRUE(pf.findFile("missing.LYT").isEmpty());
    // A folder is not a file, and a file is not a folder.
    EXPECT_TRUE(pf.findFile("Template").isEmpty());
    EXPECT_EQ(pf.findFolder("Template/Standard"), f.user + "/Template/Standard");
    EXPECT_TRUE(pf.findFolder("a.LYT").isEmpty());
}

TEST(ProgramFolder, MissingShippedFoldersAreLeftOutAndUserFolderAlwaysWrites)
{
    QTemporaryDir tmp;
    const QString user = tmp.path() + "/not-yet-created";
    const ProgramFolder pf = ProgramFolder::fromFolders({}, user, tmp.path() + "/nope", tmp.path());
    EXPECT_EQ(pf.readFolders(), (QStringList{user, tmp.path()}));
    EXPECT_EQ(pf.writeFolder(), user);
    const QString w = pf.writablePath("Template/Standard/Mine/x.cct");
    EXPECT_EQ(w, user + "/Template/Standard/Mine/x.cct");
    EXPECT_TRUE(QFileInfo(user + "/Template/Standard/Mine").isDir());
}

TEST(ProgramFolder, HomeMakesOneFolderTheWholeProgramFolder)
{
    Folders f;
    f.put(f.install, "a.LYT", "install-a");
    const QString home = f.tmp.path() + "/home";
    QDir().mkpath(home);
    const ProgramFolder pf = ProgramFolder::fromFolders(home, f.user, f.install, f.source);
    EXPECT_EQ(pf.readFolders(), QStringList{home});
    EXPECT_EQ(pf.writeFolder(), home);
    EXPECT_TRUE(pf.findFile("a.LYT").isEmpty());
    EXPECT_EQ(pf.writablePath("Personal Data.dat"), home + "/Personal Data.dat");
}

TEST(ProgramFolder, CurrentFollowsTheEnvironment)
{
    QTemporaryDir tmp;
    const QByteArray old = qgetenv("OSTRAVEL_HOME");
    qputenv("OSTRAVEL_HOME", tmp.path().toUtf8());
    const ProgramFolder pf = ProgramFolder::current();
    EXPECT_EQ(pf.readFolders(), QStringList{tmp.path()});
    EXPECT_EQ(pf.writeFolder(), tmp.path());
    qunsetenv("OSTRAVEL_HOME");
    const ProgramFolder user = ProgramFolder::current();
    EXPECT_FALSE(user.writeFolder().isEmpty());
    EXPECT_NE(user.writeFolder(), tmp.path());
    EXPECT_EQ(user.readFolders().value(0), user.writeFolder());
    if (!old.isNull())
        qputenv("OSTRAVEL_HOME", old);
}

TEST(ProgramFolder, ListingShadowsShippedFilesWithUserCopies)
{
    Folders f;
    f.put(f.install, "Layouts.LYT", "install");
    f.put(f.user, "layouts.lyt", "user");       // same name, other letter case
    f.put(f.source, "Extra.LYT", "source");
    f.put(f.install, "Notes.txt", "not a layout");
    f.put(f.user, "Sub/Hidden.LYT", "in a sub-folder, not listed");
    const ProgramFolder pf = f.pf();
    const QStringList all = pf.listFiles("", {"*.LYT"});
    EXPECT_EQ(names(all), (QStringList{"Extra.LYT", "layouts.lyt"}));
    EXPECT_EQ(readFile(all.value(1)), "user");

    f.put(f.install, "Template/Standard/Cards/one.cct", "");
    f.put(f.source, "Template/Standard/Folded/two.cct", "");
    f.put(f.user, "Template/Standard/Cards/mine.cct", "");
    EXPECT_EQ(names(pf.listFolders("Template/Standard")), (QStringList{"Cards", "Folded"}));
    EXPECT_EQ(names(pf.listFiles("Template/Standard/Cards", {"*.cct"})), (QStringList{"mine.cct", "one.cct"}));
}

TEST(ProgramFolder, NamesThatLeaveTheFolderAreRefused)
{
    Folders f;
    f.put(f.tmp.path(), "secret.txt", "outside");
    const ProgramFolder pf = f.pf();
    for (const char *bad : {"../secret.txt", "/etc/passwd", "a/../../secret.txt"}) {
        SCOPED_TRACE(bad);
        EXPECT_TRUE(pf.find(bad).isEmpty());
        EXPECT_TRUE(pf.writablePath(bad).isEmpty());
        EXPECT_TRUE(pf.listFiles(bad, {"*"}).isEmpty());
    }
    EXPECT_TRUE(pf.writablePath("").isEmpty());
}

TEST(ProgramFolder, NamesFromCaseBlindSystemsFindFilesInAnyLetterCase)
{
    Folders f;
    f.put(f.install, "License.rtf", "licence");
    f.put(f.install, "Template/Standard/Cards/x.cct", "x");
    f.put(f.source, "OWIZ.INI", "source ini");
    f.put(f.install, "owiz.ini", "installed ini");
    const ProgramFolder pf = f.pf();
    EXPECT_EQ(readFile(pf.findFile("License.RTF")), "licence");
    EXPECT_EQ(readFile(pf.findFile("template/STANDARD/cards/X.CCT")), "x");
    EXPECT_EQ(pf.findFolder("TEMPLATE/standard"), f.user + "/Template/Standard");
    // The earlier folder still wins, whatever the letter case.
    EXPECT_EQ(readFile(pf.findFile("Owiz.ini")), "installed ini");
    EXPECT_EQ(readFile(pf.findFile("OWIZ.INI")), "installed ini");
    EXPECT_EQ(names(pf.listFiles("TEMPLATE/Standard/CARDS", {"*.CCT"})), QStringList{"x.cct"});
    EXPECT_TRUE(pf.findFile("License.RTF/x").isEmpty());
}
