#pragma once
// The recent-file list: at most five full paths, newest first. A path is added only when
// the file exists, always in its absolute form; adding a listed path moves it to the top
// (exact comparison).

#include <QStringList>

namespace plat {
class Registry;
}

namespace app {

class RecentFiles {
public:
    static constexpr int kMaxEntries = 5;

    const QStringList &paths() const { return m_paths; }
    // Returns true when the list changed.
    bool add(const QString &path);
    // Takes a path off the list (a file that could not be opened). Returns true when the
    // list changed.
    bool remove(const QString &path);
    void clear() { m_paths.clear(); }
    // Caption of an entry: the file name without its folder.
    static QString caption(const QString &path);

    // Stored under <productKey>\History as "File0".."File4" and "Name0".."Name4".
    void load(const plat::Registry &reg, const QString &productKey);
    void save(plat::Registry &reg, const QString &productKey) const;

private:
    QStringList m_paths;
};

} // namespace app
