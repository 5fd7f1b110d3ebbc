#pragma once
// Every layout a user can choose, wherever it comes from: the layout files shipped with
// the program, the user's own layout files, and the stock layouts of the installed
// template library. The layouts dialog searches it as the user types; `ostravel layouts`
// prints it.

#include "layout/LayoutFile.h"
#include "layout/StockTemplates.h"

#include <QList>
#include <QString>

namespace plat { class ProgramFolder; }

namespace layout {

enum class LayoutSource { Shipped, User, Stock };
// "shipped", "user" or "stock".
QString sourceName(LayoutSource source);

struct CatalogueEntry {
    QString name;         // as the list shows it (a file layout without its note)
    QString note;         // the text after "<>", empty for stock layouts
    QString collection;   // the layout file's name, or the maker
    LayoutSource source = LayoutSource::Shipped;
    LayoutRecord record;
    // What typing is matched against: name and note (a stock layout's name holds its
    // maker, product code and description).
    bool matches(const QString &query) const;
};

// Whether a layout file is the user's own (in the program folder's write folder) or
// shipped with the program.
LayoutSource collectionSource(const plat::ProgramFolder &folder, const LayoutCollection &collection);
// The layouts of a layout file's records that can be chosen (headings and blank lines left
// out), in file order.
QList<CatalogueEntry> fileEntries(const LayoutCollection &collection, LayoutSource source,
                                  const QList<LayoutRecord> &records);
// The stock layouts, all of them or those of one maker, in the library's order.
QList<CatalogueEntry> stockEntries(const StockLibraryContents &stock, const QString &maker = QString());
// The layout files of `folder` in the order the dialog lists them, then the stock layouts.
QList<CatalogueEntry> layoutCatalogue(const plat::ProgramFolder &folder, const StockLibraryContents &stock);

} // namespace layout
