// `ostravel convert OLD... [--to FOLDER] [--force]`: imports designs of the earlier
// generations (.bco, .bcd) and saves each as a design (.bcp) beside it or in FOLDER.
// One line per file: `OLD -> NEW` on standard output, `OLD: message` on standard error.
#include "cli/Commands.h"

#include "document/DesignDocument.h"
#include "files/DesignFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QTextStream>

namespace cli {

namespace {

const char kUsage[] = "Usage: ostravel convert OLD... [--to FOLDER] [--force]\n";

// The program's messages hold paragraph breaks; a report line keeps them on one line.
QString oneLine(QString text)
{
    text.replace(QLatin1String("\n\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

} // namespace

int runConvert(const QStringList &args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList inputs;
    QString folder;
    bool force = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == QLatin1String("--to")) {
            if (i + 1 >= args.size()) {
                err << "convert: --to needs a folder\n" << kUsage;
                return 1;
            }
            folder = args.at(++i);
        } else if (a == QLatin1String("--force")) {
            force = true;
        } else if (a.startsWith(QLatin1String("--"))) {
            err << "convert: unknown option " << a << '\n' << kUsage;
            return 1;
        } else {
            inputs << a;
        }
    }
    if (inputs.isEmpty()) {
        err << kUsage;
        return 1;
    }

    bool allConverted = true;
    QSet<QString> written; // targets written by this run
    for (const QString &input : std::as_const(inputs)) {
        const QFileInfo in(input);
        const QDir targetDir(folder.isEmpty() ? in.path() : folder);
        const QString target = QDir::cleanPath(targetDir.filePath(in.completeBaseName() + QStringLiteral(".bcp")));
        const QString targetKey = QFileInfo(target).absoluteFilePath();
        auto fail = [&](const QString &message) {
            err << input << ": " << message << '\n';
            err.flush();
            allConverted = false;
        };
        // Two old files of one name (card.bco and card.bcd) would write one design: the
        // second never replaces the first, --force or not.
        if (written.contains(targetKey)) {
            fail(target + QStringLiteral(" was written from another file of this run"));
            continue;
        }
        if (!force && QFileInfo::exists(target)) {
            fail(target + QStringLiteral(" exists (--force replaces it)"));
            continue;
        }
        document::DesignDocument doc;
        const int result = doc.importLegacy(input, 1);
        if (result != files::ResultOk) {
            fail(oneLine(document::DesignDocument::messageFor(result)));
            continue;
        }
        // The folder is made when the first design goes into it.
        if (!folder.isEmpty() && !QDir().mkpath(folder)) {
            fail(QStringLiteral("cannot create the folder ") + folder);
            continue;
        }
        if (!doc.save(target)) {
            fail(oneLine(files::resultMessage(files::ResultSaveError)));
            continue;
        }
        written.insert(targetKey);
        out << input << " -> " << target << '\n';
        out.flush();
    }
    return allConverted ? 0 : 1;
}

} // namespace cli
