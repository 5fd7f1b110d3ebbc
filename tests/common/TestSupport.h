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

// Points the program folder (OSTRAVEL_HOME) and the user's settings and data folders at one
// private temporary folder for the rest of the process, so tests never read or write the
// user's own settings; returns that folder. The widget suites call it before the
// application object exists.
QString usePrivateHome();
// The folder usePrivateHome() set up (empty before it was called).
QString privateHome();

} // namespace testsupport
