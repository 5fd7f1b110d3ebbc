#include "layout/LayoutCatalogue.h"

#include "platform/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>

namespace layout {

QString sourceName(LayoutSource source)
{
    switch (source) {
    case LayoutSource::Shipped: return QStringLiteral("shipped");
    case LayoutSource::User: return QStringLiteral("user");
    case LayoutSource::Stock: return QStringLiteral("stock");
    }
    return QString();
}

bool CatalogueEntry::matches(const QString &query) const
{
    return matchesSearch(note.isEmpty() ? name : name + QLatin1Char(' ') + note, query);
}

LayoutSource collectionSource(const plat::ProgramFolder &folder, const LayoutCollection &collection)
{
    const QString dir = QFileInfo(collection.path).absolutePath();
    return QDir(dir) == QDir(folder.writeFolder()) ? LayoutSource::User : LayoutSource::Shipped;
}

QList<CatalogueEntry> fileEntries(const LayoutCollection &collection, LayoutSource source,
                                  const QList<LayoutRecord> &records)
{
    QList<CatalogueEntry> out;
    for (const LayoutRecord &r : records) {
        if (!isPickable(r))
            continue;
        CatalogueEntry e;
        e.name = listText(r.Name());
        e.note = noteText(r.Name());
        e.collection = collection.name;
        e.source = source;
        e.record = r;
        out.append(e);
    }
    return out;
}

QList<CatalogueEntry> stockEntries(const StockLibraryContents &stock, const QString &maker)
{
    QList<CatalogueEntry> out;
    for (const StockLayout &l : stock.layouts) {
        if (!maker.isNull() && l.maker != maker)
            continue;
        CatalogueEntry e;
        e.name = l.name();
        e.collection = l.maker;
        e.source = LayoutSource::Stock;
        e.record = l.record;
        out.append(e);
    }
    return out;
}

QList<CatalogueEntry> layoutCatalogue(const plat::ProgramFolder &folder, const StockLibraryContents &stock)
{
    QList<CatalogueEntry> out;
    for (const LayoutCollection &c : findLayoutCollections(folder))
        out += fileEntries(c, collectionSource(folder, c), readLayoutFile(c.path));
    out += stockEntries(stock);
    return out;
}

} // namespace layout
