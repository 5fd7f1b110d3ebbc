#include "app/RecentFiles.h"

#include "app/DesignPaths.h"
#include "platform/Registry.h"

#include <QFileInfo>

namespace app {

bool RecentFiles::add(const QString &path)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        return false;
    const QString absolute = absoluteDesignPath(path);
    m_paths.removeAll(absolute);
    m_paths.prepend(absolute);
    while (m_paths.size() > kMaxEntries)
        m_paths.removeLast();
    return true;
}

bool RecentFiles::remove(const QString &path)
{
    return m_paths.removeAll(path) + (path.isEmpty() ? 0 : m_paths.removeAll(absoluteDesignPath(path))) > 0;
}

QString RecentFiles::caption(const QString &path) { return QFileInfo(path).fileName(); }

void RecentFiles::load(const plat::Registry &reg, const QString &productKey)
{
    m_paths.clear();
    const QString key = productKey + QStringLiteral("\\History");
    for (int i = 0; i < kMaxEntries; ++i) {
        const auto v = reg.readString(key, QStringLiteral("File") + QString::number(i));
        if (!v || v->isEmpty())
            break;
        if (!m_paths.contains(*v))
            m_paths.append(*v);
    }
}

void RecentFiles::save(plat::Registry &reg, const QString &productKey) const
{
    const QString key = productKey + QStringLiteral("\\History");
    reg.createKey(key);
    for (int i = 0; i < kMaxEntries; ++i) {
        const QString file = QStringLiteral("File") + QString::number(i);
        const QString name = QStringLiteral("Name") + QString::number(i);
        if (i < m_paths.size()) {
            reg.writeString(key, file, m_paths.at(i));
            reg.writeString(key, name, caption(m_paths.at(i)));
        } else {
            reg.deleteValue(key, file);
            reg.deleteValue(key, name);
        }
    }
}

} // namespace app
