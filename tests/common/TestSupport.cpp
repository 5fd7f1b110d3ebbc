#include "TestSupport.h"

#include <QFile>

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

} // namespace testsupport
