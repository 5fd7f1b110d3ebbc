// Writes the fixtures of the legacy import: designs in the formats of the program's
// earlier generations, also the corpus of the import fuzz target.
//
//   make_legacy_fixtures <tests/fixtures/legacy>
#include "LegacySamples.h"

#include <QDir>
#include <QFile>
#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_legacy_fixtures OUTPUT_FOLDER\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(root);
    for (const auto &[name, bytes] : legacysamples::legacyFixtures()) {
        QFile f(root + QLatin1Char('/') + name);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(f.fileName()));
            return 1;
        }
        std::printf("%s (%lld bytes)\n", qPrintable(name), static_cast<long long>(bytes.size()));
    }
    return 0;
}
