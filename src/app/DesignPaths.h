#pragma once
// How the program names design files and where its file dialogs start.
//
// Every design path the program keeps (document windows, the recent list, files named on
// the command line or handed over by a second start) is absolute and clean, so the same
// file is always recognised as the same.

#include <QString>

namespace app {

// The absolute, clean form of `path` (relative paths count from the current folder).
// An empty path stays empty.
QString absoluteDesignPath(const QString &path);

// Whether two paths name the same design: the same absolute path in any letter case, or
// two paths that lead to the same existing file (through links or "..").
bool sameDesignFile(const QString &a, const QString &b);

// The folder the Open and Save As dialogs start in: the folder of `designFile` (the active
// design's file, may be empty), else the documents folder option, else the folder last
// used for a design, else ~/Documents, else the home folder. Only existing folders count.
QString designDialogFolder(const QString &designFile, const QString &documentsOption);

// The file name Save As proposes: the design's own file name, or its caption ("Untitled 1")
// with the design extension.
QString proposedDesignName(const QString &designFile, const QString &caption);

// The folder last used for a design in this run of the program (empty when none).
QString lastDesignFolder();
// Remembers the folder of a design file that was opened or saved.
void rememberDesignFolder(const QString &designFile);

} // namespace app
