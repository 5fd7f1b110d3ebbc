#pragma once
// Shared bits of the file-format suite: a fresh design to read into, and the fixtures.
#include "DesignSamples.h"
#include "TestSupport.h"

#include "files/DesignFile.h"

#include <QDir>
#include <memory>

namespace filetests {

struct Opened {
    model::SurfaceModel surface;
    model::TObjectManager m{&surface};
    layout::LayoutRecord layout;
    QString dataFile;
    int zoom = -1;
    int result = 0;

    int read(const QByteArray &bytes)
    {
        result = files::readDesignBytes(m, bytes, &layout, &dataFile, &zoom);
        return result;
    }
    int open(const QString &path)
    {
        result = files::ReadDesign(m, path, &layout, &dataFile, &zoom);
        return result;
    }
    // Writes the design back as the document window would: the region on screen is the
    // one the reader loaded.
    QByteArray write(bool templateFlag = false)
    {
        return files::designBytes(m, layout, dataFile, zoom, m.currentSide(), m.currentRegion(), templateFlag);
    }
};

inline QString fixturePath(const QString &name) { return testsupport::fixture(QStringLiteral("files/") + name); }
inline QByteArray fixtureBytes(const QString &name) { return testsupport::readFile(fixturePath(name)); }

} // namespace filetests
