// Writes the design-file fixtures of the test suite: sample designs and a template made
// with the real writer, and damaged copies of the sample for the reader's error paths.
//
//   make_design_fixtures <tests/fixtures/files>
#include "DesignSamples.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_design_fixtures OUTPUT_FOLDER\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    for (const auto &[name, bytes] : samples::designFixtures()) {
        const QString path = root + QLatin1Char('/') + name;
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        std::printf("%s (%lld bytes)\n", qPrintable(name), static_cast<long long>(bytes.size()));
    }
    return 0;
}
