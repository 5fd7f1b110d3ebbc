#include "app/DesktopIntegration.h"

#include "app/Product.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

namespace app {

namespace {

const char IconSvg[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64" viewBox="0 0 64 64">
  <rect x="10" y="14" width="48" height="30" rx="2" fill="#c9d6e8" stroke="#4a5d78" stroke-width="2"/>
  <rect x="4" y="22" width="48" height="30" rx="2" fill="#ffffff" stroke="#2b3a52" stroke-width="2"/>
  <rect x="9" y="28" width="10" height="10" fill="#d9432f"/>
  <rect x="23" y="29" width="24" height="3" fill="#2b3a52"/>
  <rect x="23" y="35" width="18" height="2" fill="#6b7b93"/>
  <rect x="9" y="43" width="32" height="2" fill="#6b7b93"/>
</svg>
)";

QString iconName() { return ProductName().toLower(); }

// Escapes a value for a desktop entry's string.
QString desktopString(const QString &s)
{
    QString out;
    for (QChar c : s) {
        switch (c.unicode()) {
        case '\\': out += QLatin1String("\\\\"); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\r': out += QLatin1String("\\r"); break;
        case '\t': out += QLatin1String("\\t"); break;
        default: out += c;
        }
    }
    return out;
}

QByteArray desktopEntry(const QString &executable)
{
    QString text;
    text += QLatin1String("[Desktop Entry]\n");
    text += QLatin1String("Type=Application\n");
    text += QLatin1String("Version=1.0\n");
    text += QLatin1String("Name=") + ProductName() + QLatin1Char('\n');
    text += QLatin1String("GenericName=Business Card Designer\n");
    text += QLatin1String("Comment=Design and print business cards, folded cards and greeting cards\n");
    text += QLatin1String("Exec=") + desktopString(DesktopExecQuote(executable)) + QLatin1String(" %F\n");
    text += QLatin1String("Icon=") + iconName() + QLatin1Char('\n');
    text += QLatin1String("Terminal=false\n");
    text += QLatin1String("MimeType=") + DesignMimeType() + QLatin1String(";\n");
    text += QLatin1String("Categories=Graphics;Office;\n");
    return text.toUtf8();
}

QByteArray mimePackage()
{
    QString text;
    text += QLatin1String("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    text += QLatin1String("<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n");
    text += QLatin1String("  <mime-type type=\"") + DesignMimeType() + QLatin1String("\">\n");
    text += QLatin1String("    <comment>") + ProductName().toHtmlEscaped() + QLatin1String(" Document</comment>\n");
    text += QLatin1String("    <icon name=\"") + iconName() + QLatin1String("\"/>\n");
    text += QLatin1String("    <glob pattern=\"*.bcp\"/>\n");
    text += QLatin1String("  </mime-type>\n");
    text += QLatin1String("</mime-info>\n");
    return text.toUtf8();
}

// Writes `bytes` to `path` unless the file is already there. Returns true when written.
bool writeIfMissing(const QString &path, const QByteArray &bytes, DesktopIntegrationResult &result)
{
    if (QFileInfo::exists(path))
        return false;
    bool ok = QDir().mkpath(QFileInfo(path).absolutePath());
    if (ok) {
        QSaveFile f(path);
        ok = f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.commit();
    }
    (ok ? result.written : result.failed).append(path);
    return ok;
}

void startTool(const QString &tool, const QStringList &args, DesktopIntegrationResult &result)
{
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty())
        return;
    // Detached: the desktop's caches are refreshed while the program goes on starting.
    if (QProcess::startDetached(program, args))
        result.toolsStarted.append(tool);
}

} // namespace

QString XdgDataHome()
{
    const QString env = qEnvironmentVariable("XDG_DATA_HOME");
    if (!env.isEmpty() && QDir::isAbsolutePath(env))
        return QDir::cleanPath(env);
    return QDir::homePath() + QStringLiteral("/.local/share");
}

QString DesktopExecQuote(const QString &program)
{
    // Inside double quotes, '"', '`', '$' and '\' are escaped with a backslash; a
    // literal '%' is written "%%".
    QString out = QStringLiteral("\"");
    for (QChar c : program) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            out += QLatin1Char('\\');
        if (c == QLatin1Char('%'))
            out += QLatin1Char('%');
        out += c;
    }
    out += QLatin1Char('"');
    return out;
}

DesktopIntegrationResult InstallDesktopIntegration(const DesktopIntegrationOptions &options)
{
    DesktopIntegrationResult result;
    const QString home = options.dataHome.isEmpty() ? XdgDataHome() : options.dataHome;
    QString exe = options.executable;
    if (exe.isEmpty())
        exe = QCoreApplication::applicationFilePath();
    if (home.isEmpty() || exe.isEmpty())
        return result;

    const QString name = iconName();
    const bool desktop = writeIfMissing(home + QStringLiteral("/applications/") + name + QStringLiteral(".desktop"),
                                        desktopEntry(exe), result);
    const bool mime = writeIfMissing(home + QStringLiteral("/mime/packages/") + name + QStringLiteral(".xml"),
                                     mimePackage(), result);
    const QByteArray svg(IconSvg);
    writeIfMissing(home + QStringLiteral("/icons/hicolor/scalable/apps/") + name + QStringLiteral(".svg"), svg,
                   result);

    if (options.runUpdateTools) {
        if (mime)
            startTool(QStringLiteral("update-mime-database"), {home + QStringLiteral("/mime")}, result);
        if (desktop)
            startTool(QStringLiteral("update-desktop-database"), {home + QStringLiteral("/applications")}, result);
    }
    return result;
}

} // namespace app
