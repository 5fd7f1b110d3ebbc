// Reads the installed stock template library the way the layouts dialog does (every file
// of the template folders, parsed and resolved) and reports the time one reading takes,
// and how long `ostravel layouts --json` takes as a whole process.
//
//   bench_stock [repeats]     (default 20)
#include "layout/StockTemplates.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTextStream>

#include <algorithm>
#include <vector>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int repeats = std::max(1, argc > 1 ? QByteArray(argv[1]).toInt() : 20);
    QTextStream out(stdout);
    const QStringList folders = layout::defaultStockFolders();
    if (folders.isEmpty()) {
        out << "No stock template folder found.\n";
        return 1;
    }
    out << "Folders: " << folders.join(QStringLiteral(", ")) << "\n";

    std::vector<double> ms;
    layout::StockLibraryContents lib;
    for (int i = 0; i < repeats; ++i) {
        QElapsedTimer t;
        t.start();
        lib = layout::readStockFolders(folders);
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    out << "Templates: " << lib.counts.templates << ", usable: " << lib.counts.usable
        << ", left out: " << lib.counts.leftOut() << "\n";
    out << "Reading: median " << QString::number(ms[ms.size() / 2], 'f', 1) << " ms, min "
        << QString::number(ms.front(), 'f', 1) << " ms, max " << QString::number(ms.back(), 'f', 1) << " ms ("
        << repeats << " runs)\n";

    QElapsedTimer t;
    t.start();
    QProcess p;
    p.start(QStringLiteral(OSTRAVEL_EXECUTABLE), {QStringLiteral("layouts"), QStringLiteral("--json")});
    p.waitForFinished(60000);
    out << "ostravel layouts --json: " << t.elapsed() << " ms, " << p.readAllStandardOutput().size()
        << " bytes\n";
    return 0;
}
