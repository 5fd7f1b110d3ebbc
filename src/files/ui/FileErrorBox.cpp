#include "files/ui/FileErrorBox.h"

#include <QDir>
#include <QLabel>
#include <QMessageBox>

namespace files {

void showFileError(QWidget *parent, const QString &title, const QString &message, const QString &fileName)
{
    QMessageBox box(QMessageBox::Critical, title, message, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("FileErrorBox"));
    box.setTextFormat(Qt::PlainText);
    if (!fileName.isEmpty()) {
        box.setInformativeText(QDir::toNativeSeparators(fileName));
        // A file name is plain text, whatever characters it holds.
        if (auto *line = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel")))
            line->setTextFormat(Qt::PlainText);
    }
    box.exec();
}

} // namespace files
