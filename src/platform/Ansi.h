#pragma once
// 8-bit text in files and on the clipboard is Windows-1252. Everything that turns such
// bytes into a QString, or back, goes through these two functions.

#include <QByteArray>
#include <QString>

namespace plat {

QString fromAnsi(const QByteArray &bytes);
QString fromAnsi(const char *data, qsizetype size);
// Characters that Windows-1252 cannot hold become '?'.
QByteArray toAnsi(const QString &text);

} // namespace plat
