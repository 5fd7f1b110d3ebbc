#pragma once
// Makes the desktop know the program: a per-user application entry, the design file
// type (*.bcp) and the application icon, each written only when it is missing. Run at
// every start; nothing here can stop the program from starting.

#include <QString>
#include <QStringList>

namespace app {

// The MIME type of design files.
inline QString DesignMimeType() { return QStringLiteral("application/x-ostravel-design"); }

struct DesktopIntegrationOptions {
    QString dataHome;         // empty: $XDG_DATA_HOME, or ~/.local/share
    QString executable;       // empty: this program's executable
    bool runUpdateTools = true;   // refresh the desktop's caches when something was written
};

struct DesktopIntegrationResult {
    QStringList written;      // files created this time
    QStringList failed;       // files that could not be written
    QStringList toolsStarted; // cache tools started (only those present on the system)
};

// The per-user data folder of the desktop: $XDG_DATA_HOME when it is an absolute path,
// otherwise ~/.local/share.
QString XdgDataHome();

// Quotes a program path for the Exec key of a desktop entry.
QString DesktopExecQuote(const QString &program);

DesktopIntegrationResult InstallDesktopIntegration(const DesktopIntegrationOptions &options = {});

} // namespace app
