// Fuzz target for the design reader. Any input must give one of the reader's result
// codes without a sanitizer report; an accepted design is visited region by region,
// written, and must read back.
#include "files/DesignFile.h"
#include "model/SurfaceModel.h"
#include "model/TObjectManager.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    model::SurfaceModel surface;
    model::TObjectManager manager(&surface);
    layout::LayoutRecord layout;
    QString dataFile;
    int zoom = 0;
    const int r = files::readDesignBytes(manager, bytes, &layout, &dataFile, &zoom);
    if (r != files::ResultOk && r != files::ResultLoadError && r != files::ResultBadVersion
        && r != files::ResultNoMemory)
        std::abort();
    if (r != files::ResultOk)
        return 0;
    if (zoom < 25 || zoom > 10000)
        std::abort();
    for (int side = 0; side < 2; ++side)
        for (int region = 0; region < 4; ++region)
            manager.SwitchRegion(manager.currentSide(), manager.currentRegion(), side, region, zoom);
    // Exercise undo and redo on whatever the last region holds.
    if (surface.count() > 0) {
        model::SurfaceItem *item = surface.itemAt(0);
        const QByteArray old = item->data()->toRecord(zoom);
        manager.RecordDelete(item, zoom);
        surface.removeItem(item);
        manager.Undo(zoom);
        manager.Redo(zoom);
        manager.Undo(zoom);
        if (surface.count() > 0)
            manager.RecordProperties(surface.itemAt(surface.count() - 1), old, zoom);
        manager.Undo(zoom);
    }
    for (bool templateFlag : {false, true}) {
        const QByteArray again = files::designBytes(manager, layout, dataFile, zoom, manager.currentSide(),
                                                    manager.currentRegion(), templateFlag);
        model::SurfaceModel s2;
        model::TObjectManager m2(&s2);
        if (files::readDesignBytes(m2, again, nullptr, nullptr, nullptr) != files::ResultOk)
            std::abort();
    }
    return 0;
}
