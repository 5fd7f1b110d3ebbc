// Fuzz target for the reader of the stock template library. The input is split at NUL
// bytes into up to four files (so `equiv` can cross files); any input must give a
// library whose counts add up and whose every layout passes the layout checks, without a
// sanitizer report.
#include "layout/StockTemplates.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    QList<QByteArray> files = bytes.split('\0');
    while (files.size() > 4) {
        files[3] += files.takeLast();
    }
    const layout::StockLibraryContents lib = layout::buildStockLibrary(files);
    const layout::StockReadCounts &c = lib.counts;
    if (c.usable + c.leftOut() != c.templates || c.usable != lib.layouts.size() || c.brokenFiles > c.files)
        std::abort();
    for (const layout::StockLayout &l : lib.layouts) {
        const layout::LayoutRecord &r = l.record;
        if (!layout::regionSizeOk(r) || r.Rows() < 1 || r.Columns() < 1 || r.PaperType() >= layout::kPaperTypeCount
            || l.maker.isEmpty() || l.part.isEmpty())
            std::abort();
    }
    int64_t units = 0;
    layout::parseStockLength(QString::fromUtf8(bytes.left(64)), &units);
    return 0;
}
