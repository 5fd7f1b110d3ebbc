// Texts the program ships and shows: the licence and readme files of About, and the
// spelling of its messages.
#include "platform/ProgramFolder.h"
#include "platform/Rtf.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextDocument>
#include <gtest/gtest.h>

#include "TestSupport.h"

namespace {
QString repository() { return QDir(testsupport::testDataDir() + QStringLiteral("/..")).absolutePath(); }
} // namespace

// The project's licence is the GNU GPL, version 3, and About shows it.
TEST(ShippedTexts, LicenceAndReadmeAreReadableFromTheProgramFolder)
{
    const QByteArray licence = testsupport::readFile(repository() + QStringLiteral("/LICENSE"));
    EXPECT_TRUE(licence.contains("GNU GENERAL PUBLIC LICENSE")) << "LICENSE holds the licence text";
    EXPECT_TRUE(licence.contains("Version 3, 29 June 2007"));

    const plat::ProgramFolder folder =
        plat::ProgramFolder::fromFolders(QString(), QString(), QString(), QStringLiteral(OSTRAVEL_SOURCE_DATA_DIR));
    const struct {
        const char *file, *mustShow;
    } cases[] = {
        {"License.rtf", "TERMS AND CONDITIONS"},   // About asks in this letter case
        {"Readme.rtf", "Set-up on a fresh Debian 12 machine"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        const QString path = folder.findFile(QLatin1String(c.file));
        ASSERT_FALSE(path.isEmpty());
        QTextDocument doc;
        ASSERT_TRUE(plat::readRtfFile(path, doc));
        EXPECT_TRUE(doc.toPlainText().contains(QLatin1String(c.mustShow)));
        EXPECT_FALSE(doc.toPlainText().contains(QLatin1String("\\"))) << "no RTF control word shows as text";
    }
}

// The shipped files are what tools/make_rtf.py makes of LICENSE and README.md: nobody edited
// one side without the other.
TEST(ShippedTexts, RtfFilesMatchTheirSources)
{
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty())
        GTEST_SKIP() << "python3 is not available";
    QTemporaryDir out;
    ASSERT_TRUE(out.isValid());
    QProcess gen;
    gen.start(python, {repository() + QStringLiteral("/tools/make_rtf.py"), QStringLiteral("--out"), out.path()});
    ASSERT_TRUE(gen.waitForFinished(60000));
    ASSERT_EQ(gen.exitCode(), 0) << gen.readAllStandardError().toStdString();
    for (const char *name : {"License.RTF", "Readme.RTF"}) {
        SCOPED_TRACE(name);
        const QByteArray made = testsupport::readFile(out.filePath(QLatin1String(name)));
        EXPECT_FALSE(made.isEmpty());
        EXPECT_TRUE(made == testsupport::readFile(QStringLiteral(OSTRAVEL_SOURCE_DATA_DIR "/") + QLatin1String(name)))
            << "run tools/make_rtf.py";
    }
}

// Misspellings once found in the program's messages stay out of its sources and tests.
TEST(ShippedTexts, KnownMisspellingsAreGone)
{
    // Spelled in halves so that this file does not hold them.
    const QStringList wrong = {QStringLiteral("Are your") + QStringLiteral(" sure"), QStringLiteral("qua") + QStringLiteral("tity"),
                               QStringLiteral("Cirl") + QStringLiteral("ce"), QStringLiteral("Seper") + QStringLiteral("ated"),
                               QStringLiteral("persm") + QStringLiteral("ission"), QStringLiteral("suces") + QStringLiteral("sfully")};
    QStringList found;
    int files = 0;
    for (const char *top : {"src", "tests", "tools", "resources"}) {
        QDirIterator it(repository() + QLatin1Char('/') + QLatin1String(top), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (path.contains(QLatin1String("/fixtures/")))
                continue;
            ++files;
            const QString text = QString::fromUtf8(testsupport::readFile(path));
            for (const QString &w : wrong)
                if (text.contains(w, Qt::CaseInsensitive))
                    found << QDir(repository()).relativeFilePath(path) + QStringLiteral(": ") + w;
        }
    }
    EXPECT_GT(files, 50) << "the sources were found";
    EXPECT_TRUE(found.isEmpty()) << found.join(QLatin1Char('\n')).toStdString();
}
