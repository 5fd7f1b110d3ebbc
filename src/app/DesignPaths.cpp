#include "app/DesignPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace app {

namespace {
QString &lastFolder()
{
    static QString folder;
    return folder;
}

bool isFolder(const QString &path) { return !path.isEmpty() && QFileInfo(path).isDir(); }
} // namespace

QString absoluteDesignPath(const QString &path)
{
    if (path.isEmpty())
        return {};
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

bool sameDesignFile(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    if (absoluteDesignPath(a).compare(absoluteDesignPath(b), Qt::CaseInsensitive) == 0)
        return true;
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

QString designDialogFolder(const QString &designFile, const QString &documentsOption)
{
    if (!designFile.isEmpty()) {
        const QString own = QFileInfo(absoluteDesignPath(designFile)).absolutePath();
        if (isFolder(own))
            return own;
    }
    for (const QString &candidate :
         {documentsOption, lastFolder(), QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)})
        if (isFolder(candidate))
            return absoluteDesignPath(candidate);
    return QDir::homePath();
}

QString proposedDesignName(const QString &designFile, const QString &caption)
{
    if (!designFile.isEmpty())
        return QFileInfo(designFile).fileName();
    QString name = caption.trimmed();
    // A caption is no path: keep only what can be a file name.
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    if (name.isEmpty())
        name = QStringLiteral("Untitled");
    return name + QStringLiteral(".bcp");
}

QString lastDesignFolder() { return lastFolder(); }

void rememberDesignFolder(const QString &designFile)
{
    if (designFile.isEmpty())
        return;
    const QString folder = QFileInfo(absoluteDesignPath(designFile)).absolutePath();
    if (isFolder(folder))
        lastFolder() = folder;
}

} // namespace app
