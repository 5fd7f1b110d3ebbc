#include "TestSupport.h"

#include <QFile>
#include <QTemporaryDir>

namespace testsupport {

QString testDataDir() { return QStringLiteral(OSTRAVEL_TEST_DATA_DIR); }

QString fixture(const QString &relative) { return testDataDir() + QStringLiteral("/fixtures/") + relative; }

QByteArray readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}

namespace {
QTemporaryDir *homeDir = nullptr;
}

QString usePrivateHome()
{
    if (!homeDir) {
        static QTemporaryDir dir;
        homeDir = &dir;
        const QByteArray home = dir.path().toLocal8Bit();
        qputenv("OSTRAVEL_HOME", home);
        qputenv("XDG_CONFIG_HOME", home + "/config");
        qputenv("XDG_DATA_HOME", home + "/data");
    }
    return homeDir->path();
}

QString privateHome() { return homeDir ? homeDir->path() : QString(); }

} // namespace testsupport
