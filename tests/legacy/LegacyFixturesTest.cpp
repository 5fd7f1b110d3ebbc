// The committed fixtures of the import (the fuzz corpus) are what the generator writes,
// and every input the fuzz target once failed on is replayed here.
#include "LegacySamples.h"

#include "files/DesignFile.h"
#include "files/LegacyImport.h"
#include "model/SurfaceModel.h"
#include "model/TObjectManager.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include "TestSupport.h"

TEST(LegacyFixtures, CommittedFilesAreWhatTheGeneratorWrites)
{
    for (const auto &[name, bytes] : legacysamples::legacyFixtures()) {
        const QByteArray committed = testsupport::readFile(testsupport::fixture(QStringLiteral("legacy/") + name));
        EXPECT_EQ(committed, bytes) << name.toStdString()
                                    << ": run make_legacy_fixtures tests/fixtures/legacy after a deliberate change";
    }
}

TEST(LegacyFixtures, FuzzFindingsImportSafely)
{
    const QDir crashes(testsupport::fixture(QStringLiteral("legacy/fuzz")));
    const QStringList names = crashes.entryList(QDir::Files);
    ASSERT_FALSE(names.isEmpty()) << qPrintable(crashes.path());
    for (const QString &name : names) {
        const QByteArray bytes = testsupport::readFile(crashes.filePath(name));
        // Each finding goes through every reader the fuzz target drives.
        for (int reader = 0; reader < 3; ++reader) {
            model::SurfaceModel surface;
            model::TObjectManager manager(&surface);
            const int r = reader == 0   ? files::importBcoStream(manager, bytes, nullptr)
                          : reader == 1 ? files::importBcdBytes(manager, bytes, nullptr)
                                        : files::importBcoFileBytes(manager, bytes, nullptr);
            EXPECT_TRUE(r == files::ResultOk || r == files::ResultImportError || r == files::ResultImportBadVersion)
                << name.toStdString() << " reader " << reader << ": " << r;
        }
    }
}
