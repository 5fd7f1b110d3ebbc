#pragma once
// Helpers shared by the test suites.

#include <QByteArray>
#include <QString>

namespace testsupport {

// Folder holding the test sources (fixtures live beside the suites).
QString testDataDir();
QString fixture(const QString &relative);
QByteArray readFile(const QString &path);
bool writeFile(const QString &path, const QByteArray &bytes);

} // namespace testsupport
