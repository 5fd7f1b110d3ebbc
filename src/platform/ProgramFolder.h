#pragma once
// The program folder: where layouts, templates, backgrounds, the personal data file and
// order settings live. The installed data is read-only, so the folder is split in two:
//
//   read  - the user's data folder first, then the installed data folder, then (when
//           running from a build tree) the source tree's data/ folder;
//   write - always the user's data folder, so an edited shipped file becomes a user copy
//           that shadows the shipped one.
//
// OSTRAVEL_HOME=<folder> makes that one folder the whole program folder, for reading
// and writing (portable use and tests).

#include <QString>
#include <QStringList>

namespace plat {

class ProgramFolder {
public:
    // The folders as the environment sets them now (OSTRAVEL_HOME, the user's data
    // location, the installed and source data folders that exist).
    static ProgramFolder current();

    // The split from explicit folders. `home` non-empty wins over everything else;
    // folders that do not exist (except the user folder) are dropped from the read
    // list, and duplicates are kept once.
    static ProgramFolder fromFolders(const QString &home, const QString &userData,
                                     const QString &installData, const QString &sourceData);

    // Read folders, in lookup order; the write folder is always the first of them.
    const QStringList &readFolders() const { return m_read; }
    const QString &writeFolder() const { return m_write; }

    // Absolute path of the first file (or folder) called `relative` in the read folders,
    // or an empty string when none holds it. `relative` uses '/' separators. Within each
    // folder the exact name wins; otherwise a name that differs only in letter case is
    // taken (the data comes from a system whose file names ignore case).
    QString find(const QString &relative) const;
    QString findFile(const QString &relative) const;
    QString findFolder(const QString &relative) const;

    // Files directly inside `relativeFolder` ("" for the top; letter case of the folder
    // names ignored as for find) whose names match one of
    // the wildcard patterns (letter case ignored), over all read folders. A file in an
    // earlier folder shadows one with the same name (letter case ignored) in a later
    // folder. Absolute paths, sorted by file name.
    QStringList listFiles(const QString &relativeFolder, const QStringList &patterns) const;
    // Sub-folders of `relativeFolder` over all read folders, shadowed the same way.
    QStringList listFolders(const QString &relativeFolder) const;

    // Where to write `relative`: always inside the write folder. The parent folder is
    // created; an empty string means it could not be created or the name tries to leave
    // the folder ("..", absolute paths).
    QString writablePath(const QString &relative) const;

private:
    static bool isSafeRelative(const QString &relative);

    QStringList m_read;
    QString m_write;
};

} // namespace plat
