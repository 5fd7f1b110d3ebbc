#include "app/DesktopIntegration.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace app;

namespace {

QString entryValue(const QByteArray &desktop, const QString &key)
{
    for (const QString &line : QString::fromUtf8(desktop).split('\n'))
        if (line.startsWith(key + "="))
            return line.mid(key.size() + 1);
    return {};
}

} // namespace

TEST(DesktopIntegration, WritesEntryMimeTypeAndIconOnlyWhenMissing)
{
    QTemporaryDir tmp;
    const QString home = tmp.path() + "/data";
    DesktopIntegrationOptions o{home, "/opt/My Apps/ostravel", false};
    const DesktopIntegrationResult first = InstallDesktopIntegration(o);
    const QString desktopPath = home + "/applications/ostravel.desktop";
    const QString mimePath = home + "/mime/packages/ostravel.xml";
    const QString iconPath = home + "/icons/hicolor/scalable/apps/ostravel.svg";
    EXPECT_EQ(first.written, (QStringList{desktopPath, mimePath, iconPath}));
    EXPECT_TRUE(first.failed.isEmpty());
    EXPECT_TRUE(first.toolsStarted.isEmpty());

    const QByteArray desktop = testsupport::readFile(desktopPath);
    EXPECT_TRUE(desktop.startsWith("[Desktop Entry]\n"));
    EXPECT_EQ(entryValue(desktop, "Exec"), "\"/opt/My Apps/ostravel\" %F");
    EXPECT_EQ(entryValue(desktop, "MimeType"), DesignMimeType() + ";");
    EXPECT_EQ(entryValue(desktop, "Name"), "Ostravel");
    EXPECT_EQ(entryValue(desktop, "Icon"), "ostravel");

    const QByteArray mime = testsupport::readFile(mimePath);
    EXPECT_TRUE(mime.contains("<mime-type type=\"application/x-ostravel-design\">"));
    EXPECT_TRUE(mime.contains("<glob pattern=\"*.bcp\"/>"));
    EXPECT_TRUE(mime.contains("<comment>Ostravel Document</comment>"));
    EXPECT_TRUE(testsupport::readFile(iconPath).contains("<svg"));

    // Present files are left as the user (or an earlier start) made them.
    ASSERT_TRUE(testsupport::writeFile(desktopPath, "[Desktop Entry]\nName=Mine\n"));
    QFile::remove(iconPath);
    const DesktopIntegrationResult second = InstallDesktopIntegration(o);
    EXPECT_EQ(second.written, QStringList{iconPath});
    EXPECT_EQ(testsupport::readFile(desktopPath), "[Desktop Entry]\nName=Mine\n");
}

TEST(DesktopIntegration, FollowsXdgDataHomeAndNeverFails)
{
    QTemporaryDir tmp;
    const QByteArray old = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", tmp.path().toUtf8());
    EXPECT_EQ(XdgDataHome(), tmp.path());
    const DesktopIntegrationResult r = InstallDesktopIntegration({{}, "/usr/bin/ostravel", false});
    EXPECT_EQ(r.written.size(), 3);
    EXPECT_TRUE(QFile::exists(tmp.path() + "/applications/ostravel.desktop"));

    qputenv("XDG_DATA_HOME", "relative/path");   // not absolute: ignored
    EXPECT_EQ(XdgDataHome(), QDir::homePath() + "/.local/share");

    // A data folder that cannot be created: every file fails, nothing throws.
    const QString blocker = tmp.path() + "/blocker";
    ASSERT_TRUE(testsupport::writeFile(blocker, "a file, not a folder"));
    const DesktopIntegrationResult bad = InstallDesktopIntegration({blocker, "/usr/bin/ostravel", true});
    EXPECT_TRUE(bad.written.isEmpty());
    EXPECT_EQ(bad.failed.size(), 3);
    EXPECT_TRUE(bad.toolsStarted.isEmpty());
    if (old.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", old);
}

TEST(DesktopIntegration, ExecQuoting)
{
    const struct { const char *path, *quoted; } cases[] = {
        {"/usr/bin/ostravel", "\"/usr/bin/ostravel\""},
        {"/a b/c", "\"/a b/c\""},
        {"/x\"y", "\"/x\\\"y\""},
        {"/$HOME/`a`", "\"/\\$HOME/\\`a\\`\""},
        {"/back\\slash", "\"/back\\\\slash\""},
        {"/100%", "\"/100%%\""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(DesktopExecQuote(c.path), c.quoted);
    }
    // In the file the backslashes of the quoting are escaped once more.
    QTemporaryDir tmp;
    InstallDesktopIntegration({tmp.path(), "/back\\slash", false});
    EXPECT_EQ(entryValue(testsupport::readFile(tmp.path() + "/applications/ostravel.desktop"), "Exec"),
              "\"/back\\\\\\\\slash\" %F");
}

TEST(DesktopIntegration, CacheToolsRunOnlyWhenPresentAndSomethingWasWritten)
{
    QTemporaryDir tmp;
    const QString bin = tmp.path() + "/bin";
    QDir().mkpath(bin);
    const QString marker = tmp.path() + "/ran";
    // A stand-in for the mime cache tool that records its argument.
    const QString tool = bin + "/update-mime-database";
    ASSERT_TRUE(testsupport::writeFile(tool, ("#!/bin/sh\necho \"$1\" > '" + marker + "'\n").toUtf8()));
    QFile::setPermissions(tool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", bin.toUtf8());            // update-desktop-database is absent here

    const QString home = tmp.path() + "/data";
    const DesktopIntegrationResult r = InstallDesktopIntegration({home, "/usr/bin/ostravel", true});
    EXPECT_EQ(r.toolsStarted, QStringList{"update-mime-database"});
    for (int i = 0; i < 200 && !QFile::exists(marker); ++i)
        QThread::msleep(10);
    EXPECT_EQ(testsupport::readFile(marker).trimmed(), (home + "/mime").toUtf8());

    const DesktopIntegrationResult again = InstallDesktopIntegration({home, "/usr/bin/ostravel", true});
    EXPECT_TRUE(again.written.isEmpty());
    EXPECT_TRUE(again.toolsStarted.isEmpty());
    qputenv("PATH", oldPath);
}
