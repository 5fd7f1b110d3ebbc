#include "platform/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>

#include <algorithm>

namespace plat {

namespace {

QString cleanFolder(const QString &folder)
{
    if (folder.isEmpty())
        return {};
    return QDir::cleanPath(QDir(folder).absolutePath());
}

QString join(const QString &folder, const QString &relative)
{
    if (relative.isEmpty())
        return folder;
    return QDir::cleanPath(folder + QLatin1Char('/') + relative);
}

// The path of `relative` inside `folder`: exactly as written when that exists,
// otherwise with each component matched ignoring letter case (names that came from a
// system whose file names ignore case, such as "License.RTF" or "*.LYT"). Empty when
// nothing matches.
QString resolve(const QString &folder, const QString &relative)
{
    const QString exact = join(folder, relative);
    if (QFileInfo::exists(exact))
        return exact;
    QString path = folder;
    const QStringList parts = QString(relative).replace(QLatin1Char('\\'), QLatin1Char('/'))
                                  .split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        if (part == QLatin1String("."))
            continue;
        const QString direct = path + QLatin1Char('/') + part;
        if (QFileInfo::exists(direct)) {
            path = direct;
            continue;
        }
        const QStringList entries =
            QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
        QString match;
        for (const QString &e : entries)
            if (e.compare(part, Qt::CaseInsensitive) == 0) {
                match = e;
                break;
            }
        if (match.isEmpty())
            return {};
        path += QLatin1Char('/') + match;
    }
    return path;
}

} // namespace

ProgramFolder ProgramFolder::current()
{
    const QString home = qEnvironmentVariable("OSTRAVEL_HOME");
    QString user;
    if (home.isEmpty())
        user = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return fromFolders(home, user, QStringLiteral(OSTRAVEL_INSTALL_DATA_DIR),
                       QStringLiteral(OSTRAVEL_SOURCE_DATA_DIR));
}

ProgramFolder ProgramFolder::fromFolders(const QString &home, const QString &userData,
                                         const QString &installData, const QString &sourceData)
{
    ProgramFolder pf;
    if (!home.isEmpty()) {
        pf.m_write = cleanFolder(home);
        pf.m_read = {pf.m_write};
        return pf;
    }
    pf.m_write = cleanFolder(userData);
    if (!pf.m_write.isEmpty())
        pf.m_read.append(pf.m_write);
    for (const QString &f : {installData, sourceData}) {
        const QString c = cleanFolder(f);
        if (!c.isEmpty() && QFileInfo(c).isDir() && !pf.m_read.contains(c))
            pf.m_read.append(c);
    }
    return pf;
}

bool ProgramFolder::isSafeRelative(const QString &relative)
{
    if (relative.isEmpty())
        return true;
    if (relative.startsWith(QLatin1Char('/')) || relative.startsWith(QLatin1Char('\\')) ||
        QDir::isAbsolutePath(relative))
        return false;
    const QStringList parts = QString(relative).replace(QLatin1Char('\\'), QLatin1Char('/'))
                                  .split(QLatin1Char('/'), Qt::SkipEmptyParts);
    return std::none_of(parts.begin(), parts.end(),
                        [](const QString &p) { return p == QLatin1String(".."); });
}

QString ProgramFolder::find(const QString &relative) const
{
    if (!isSafeRelative(relative))
        return {};
    for (const QString &folder : m_read) {
        const QString path = resolve(folder, relative);
        if (!path.isEmpty() && QFileInfo::exists(path))
            return path;
    }
    return {};
}

QString ProgramFolder::findFile(const QString &relative) const
{
    if (!isSafeRelative(relative))
        return {};
    for (const QString &folder : m_read) {
        const QString path = resolve(folder, relative);
        if (!path.isEmpty() && QFileInfo(path).isFile())
            return path;
    }
    return {};
}

QString ProgramFolder::findFolder(const QString &relative) const
{
    if (!isSafeRelative(relative))
        return {};
    for (const QString &folder : m_read) {
        const QString path = resolve(folder, relative);
        if (!path.isEmpty() && QFileInfo(path).isDir())
            return path;
    }
    return {};
}

namespace {

QStringList listShadowed(const QStringList &folders, const QString &relativeFolder,
                         const QStringList &patterns, QDir::Filters filters)
{
    QSet<QString> seen;
    QList<QFileInfo> found;
    for (const QString &folder : folders) {
        const QString path = resolve(folder, relativeFolder);
        QDir dir(path);
        if (path.isEmpty() || !dir.exists())
            continue;
        dir.setNameFilters(patterns);
        dir.setFilter(filters);   // no QDir::CaseSensitive: patterns ignore letter case
        const QFileInfoList entries = dir.entryInfoList();
        for (const QFileInfo &fi : entries) {
            const QString key = fi.fileName().toCaseFolded();
            if (seen.contains(key))
                continue;
            seen.insert(key);
            found.append(fi);
        }
    }
    std::sort(found.begin(), found.end(), [](const QFileInfo &a, const QFileInfo &b) {
        const int c = a.fileName().compare(b.fileName(), Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a.fileName() < b.fileName();
    });
    QStringList out;
    out.reserve(found.size());
    for (const QFileInfo &fi : found)
        out.append(fi.absoluteFilePath());
    return out;
}

} // namespace

QStringList ProgramFolder::listFiles(const QString &relativeFolder, const QStringList &patterns) const
{
    if (!isSafeRelative(relativeFolder))
        return {};
    return listShadowed(m_read, relativeFolder, patterns, QDir::Files);
}

QStringList ProgramFolder::listFolders(const QString &relativeFolder) const
{
    if (!isSafeRelative(relativeFolder))
        return {};
    return listShadowed(m_read, relativeFolder, {}, QDir::Dirs | QDir::NoDotAndDotDot);
}

QString ProgramFolder::writablePath(const QString &relative) const
{
    if (m_write.isEmpty() || relative.isEmpty() || !isSafeRelative(relative))
        return {};
    const QString path = join(m_write, relative);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return {};
    return path;
}

} // namespace plat
