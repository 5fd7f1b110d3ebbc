#pragma once
// The error box about a file: the program's message as it stands, the file it is about on
// the line below it.

#include <QString>

class QWidget;

namespace files {

void showFileError(QWidget *parent, const QString &title, const QString &message, const QString &fileName);

} // namespace files
