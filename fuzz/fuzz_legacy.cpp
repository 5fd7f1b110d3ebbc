// Fuzz target for the import of designs of the earlier generations. Input that starts
// like a compound file is read as a whole `.bco` file (through the compound-file
// reader); any other input goes to both the `.bco` stream reader and the `.bcd` reader.
// Each must give one of the importer's result codes without a sanitizer report, and an
// imported design must be written as a design that reads back.
#include "files/DesignFile.h"
#include "files/LegacyImport.h"
#include "model/SurfaceModel.h"
#include "model/TObjectManager.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void check(int (*import)(model::TObjectManager &, const QByteArray &, layout::LayoutRecord *), const QByteArray &bytes)
{
    model::SurfaceModel surface;
    model::TObjectManager manager(&surface);
    layout::LayoutRecord layout;
    const int r = import(manager, bytes, &layout);
    if (r != files::ResultOk && r != files::ResultImportError && r != files::ResultImportBadVersion)
        std::abort();
    if (r != files::ResultOk)
        return;
    const QByteArray design = files::designBytes(manager, layout, QString(), 100, 0, 0, false);
    model::SurfaceModel s2;
    model::TObjectManager m2(&s2);
    if (files::readDesignBytes(m2, design, nullptr, nullptr, nullptr) != files::ResultOk)
        std::abort();
    if (s2.count() != surface.count())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    static const char kCompoundSignature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    if (size >= 8 && std::memcmp(data, kCompoundSignature, 8) == 0) {
        check(files::importBcoFileBytes, bytes);
    } else {
        check(files::importBcoStream, bytes);
        check(files::importBcdBytes, bytes);
    }
    return 0;
}
