// Design paths as the program keeps them, where its file dialogs start, and where the main
// window opens.
#include "app/DesignPaths.h"
#include "app/RecentFiles.h"
#include "app/WindowPlacement.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "TestSupport.h"

namespace {

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

// Runs with `folder` as the current folder.
class InFolder {
public:
    explicit InFolder(const QString &folder) : m_old(QDir::currentPath()) { QDir::setCurrent(folder); }
    ~InFolder() { QDir::setCurrent(m_old); }

private:
    QString m_old;
};

QString touch(const QString &path)
{
    EXPECT_TRUE(testsupport::writeFile(path, "x")) << path.toStdString();
    return path;
}

} // namespace

TEST(DesignPaths, RelativeNamesBecomeAbsoluteAndTheSameFileIsRecognised)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));
    const QString card = touch(dir.filePath("sub/card.bcp"));
    ASSERT_TRUE(QFile::link(card, dir.filePath("link.bcp")));
    InFolder here(dir.path());

    EXPECT_EQ(app::absoluteDesignPath("sub/card.bcp"), card);
    EXPECT_EQ(app::absoluteDesignPath("./sub/../sub/card.bcp"), card);
    EXPECT_EQ(app::absoluteDesignPath(card), card);
    EXPECT_EQ(app::absoluteDesignPath(QString()), QString());

    const struct {
        const char *a, *b;
        bool same;
    } cases[] = {
        {"sub/card.bcp", "", true},            // "" stands for the absolute path
        {"sub/CARD.BCP", "", true},            // letter case ignored, as the program always did
        {"sub/x/../card.bcp", "", true},
        {"link.bcp", "", true},                // one file through a link
        {"sub/other.bcp", "", false},
        {"", "", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.a) + " / " + c.b);
        const QString b = *c.b ? QString::fromLatin1(c.b) : card;
        EXPECT_EQ(app::sameDesignFile(QString::fromLatin1(c.a), b), c.same);
    }
    EXPECT_FALSE(app::sameDesignFile(card, QString()));
}

TEST(DesignPaths, RecentListKeepsAbsolutePathsAndForgetsOnRequest)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString a = touch(dir.filePath("a.bcp"));
    const QString b = touch(dir.filePath("b.bcp"));
    InFolder here(dir.path());
    app::RecentFiles recent;
    EXPECT_TRUE(recent.add("a.bcp"));
    EXPECT_TRUE(recent.add(b));
    EXPECT_TRUE(recent.add("./a.bcp"));
    EXPECT_EQ(recent.paths(), (QStringList{a, b})) << "one entry per file, always absolute";
    EXPECT_TRUE(recent.remove("a.bcp"));
    EXPECT_EQ(recent.paths(), QStringList{b});
    EXPECT_FALSE(recent.remove("a.bcp"));
}

TEST(DesignPaths, DialogsStartInTheDesignsFolderThenTheOptionThenTheLastUsed)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char *f : {"own", "option", "last"})
        ASSERT_TRUE(QDir(dir.path()).mkdir(f));
    const QString own = dir.filePath("own"), option = dir.filePath("option"), last = dir.filePath("last");
    app::rememberDesignFolder(touch(last + "/used.bcp"));
    EXPECT_EQ(app::lastDesignFolder(), last);
    app::rememberDesignFolder(dir.filePath("gone/never.bcp"));
    EXPECT_EQ(app::lastDesignFolder(), last) << "a folder that does not exist is not remembered";

    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString fallback = QFileInfo(docs).isDir() ? docs : QDir::homePath();
    const struct {
        const char *what;
        QString design, option, expected;
    } cases[] = {
        {"the design's own folder", own + "/card.bcp", option, own},
        {"a design whose folder is gone", dir.filePath("gone/card.bcp"), option, option},
        {"untitled with the option", QString(), option, option},
        {"an option naming no folder", QString(), dir.filePath("missing"), last},
        {"untitled without the option", QString(), QString(), last},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(app::designDialogFolder(c.design, c.option), c.expected);
    }
    // With nothing remembered: the Documents folder when there is one, else home. Never a
    // folder that does not exist (the dialog would take its name for a file name).
    app::rememberDesignFolder(touch(dir.filePath("x.bcp")));
    dir.remove();
    EXPECT_EQ(app::designDialogFolder(QString(), QString()), fallback);
    EXPECT_TRUE(QFileInfo(app::designDialogFolder(QString(), QString())).isDir());
}

TEST(DesignPaths, SaveAsProposesTheDesignsName)
{
    EXPECT_EQ(app::proposedDesignName("/cards/Acme.bcp", "/cards/Acme.bcp"), "Acme.bcp");
    EXPECT_EQ(app::proposedDesignName("/cards/Plain.cct", "/cards/Plain.cct"), "Plain.cct");
    EXPECT_EQ(app::proposedDesignName(QString(), "Untitled 3"), "Untitled 3.bcp");
    EXPECT_EQ(app::proposedDesignName(QString(), "a/b"), "a_b.bcp");
    EXPECT_EQ(app::proposedDesignName(QString(), QString()), "Untitled.bcp");
}

TEST(WindowPlacement, FirstStartTakesFourFifthsOfTheScreenCentred)
{
    const struct {
        QRect available;
        QRect expected;
    } cases[] = {
        {{0, 0, 1600, 1000}, {160, 100, 1280, 800}},
        {{0, 28, 1920, 1052}, {192, 133, 1536, 841}},          // a panel on top
        {{1600, 0, 1280, 1024}, {1728, 102, 1024, 819}},       // the second of two screens
        {{0, 0, 450, 420}, {25, 10, 400, 400}},                // never below the minimum ...
        {{0, 0, 300, 200}, {0, 0, 300, 200}},                  // ... nor beyond the screen
    };
    for (const auto &c : cases) {
        const QRect r = app::firstStartGeometry(c.available);
        EXPECT_EQ(r, c.expected) << c.available.width() << "x" << c.available.height();
        EXPECT_TRUE(c.available.contains(r));
    }
}
