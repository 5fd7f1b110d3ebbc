#pragma once
// Stock layouts: the sheet products of label and card makers, read from the XML template
// library that a free label program installs (system folders such as
// /usr/share/libglabels-3.0/templates, and the user's own template folders).
//
// A template names its maker (`brand`) and product code (`part`), its paper by name and
// one or more label shapes, each with its layouts (columns, rows, first label, pitch). A
// template may instead be `equiv` to another product of the same maker and take that
// one's sheet. Only templates that fit this program's layout model become layouts: one
// rectangular label with one layout, on a paper of the paper table, with no overlap and a
// region size the region size check accepts. Everything else is counted and left out.
//
// The reader trusts nothing in the files: a file that is not well-formed XML is skipped
// whole, sizes and counts are checked before use, and `equiv` chains that loop or lead
// nowhere are left out.

#include "layout/LayoutRecord.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <atomic>

namespace layout {

// Why a template did or did not become a layout.
enum class StockVerdict {
    Usable,
    SeveralLayouts,   // more than one label shape or more than one layout
    NotRectangular,   // round, elliptical, CD or other label shapes
    NegativeSpacing,  // labels overlap (pitch below the label size) or a margin below zero
    UnknownPaper,     // a paper the paper table does not have ("Other", A6, ...)
    RegionSize,       // labels smaller or larger than the region size check allows
    BadEquiv,         // `equiv` names a product that is missing, or the chain loops
    Broken,           // missing or malformed sizes, counts or units
    Duplicate,        // the same maker and product code defined again
};

// One template as the file states it, before `equiv` is followed.
struct StockTemplate {
    QString brand, part, equiv, description, paper;
    bool card = false;          // a Meta category "card" or "business-card"
    int labels = 0;             // Label-* elements
    bool rectangular = true;    // every label is a Label-rectangle
    int layouts = 0;            // Layout elements of all its labels
    bool malformed = false;     // a size, count or unit that does not read
    // The one rectangle and its one layout: sizes in hundredths of an inch (rounded to
    // the nearest), counts as read.
    int64_t width = 0, height = 0, x0 = 0, y0 = 0, dx = 0, dy = 0;
    int64_t nx = 0, ny = 0;
};

// One usable stock layout.
struct StockLayout {
    QString maker;         // the template's brand
    QString part;          // its product code
    QString description;   // from the template, or from the one it is equivalent to
    QString equivalentOf;  // the product code whose sheet it shares, empty when its own
    LayoutRecord record;   // named by name(), cut to the record's 49 characters
    // "Maker part description", e.g. "Avery 8371 Business Cards".
    QString name() const;
};

// What a read found.
struct StockReadCounts {
    int files = 0;          // template files read
    int brokenFiles = 0;    // files skipped because they are not well-formed or too large
    int templates = 0;      // templates in the files read
    int usable = 0;
    int severalLayouts = 0, notRectangular = 0, negativeSpacing = 0, unknownPaper = 0, regionSize = 0,
        badEquiv = 0, broken = 0, duplicates = 0;
    int leftOut() const
    {
        return severalLayouts + notRectangular + negativeSpacing + unknownPaper + regionSize + badEquiv + broken
            + duplicates;
    }
};

struct StockLibraryContents {
    // Sorted by maker (letter case ignored), then by product code with numbers compared
    // by value (5371 before 25371).
    QList<StockLayout> layouts;
    StockReadCounts counts;
    // The makers that have usable layouts, in the order of `layouts`.
    QStringList makers() const;
};

// ---- reading ----

// The files a template folder holds are XML of at most this size; larger ones are
// skipped as broken (the whole installed library is under a megabyte).
constexpr qsizetype kMaxStockFileSize = 16 * 1024 * 1024;
// At most this many templates are taken from all files together.
constexpr int kMaxStockTemplates = 200000;

enum class StockFileResult { Templates, NotTemplates, Broken };
// Reads the templates of one file's bytes into `out` (appended). A file whose root
// element is not a template list gives NotTemplates (the paper, maker and category lists
// of the library); a file that is not well-formed XML gives Broken and adds nothing.
StockFileResult parseStockTemplateFile(const QByteArray &xml, QList<StockTemplate> *out, int maxTemplates = kMaxStockTemplates);

// A length such as "3.5in", "88.9mm", "8.89cm", "252pt" or "252" (points) in hundredths
// of an inch, rounded to the nearest; false for anything else, including values beyond
// ten thousand inches.
bool parseStockLength(const QString &text, int64_t *units);

// The layout of template `index` after following `equiv` through `all`, or why there is
// none. `out` is filled only for Usable.
StockVerdict resolveStockTemplate(const QList<StockTemplate> &all, int index, StockLayout *out);

// Everything usable in the files' bytes, in the order given (an earlier definition of a
// maker and product code wins over a later one).
StockLibraryContents buildStockLibrary(const QList<QByteArray> &files);
// Every *.xml and *.template file directly in `folders`, earlier folders first. `cancel`,
// when given and set, stops the reading between files (the result is then partial).
StockLibraryContents readStockFolders(const QStringList &folders, const std::atomic_bool *cancel = nullptr);

// Where the library is looked for: OSTRAVEL_STOCK_TEMPLATES (folders separated by ':';
// set and empty means none) when set; otherwise the user's own template folders, then
// libglabels-3.0/templates in each system data folder. Folders that do not exist are left
// out.
QStringList defaultStockFolders();

// ---- finding layouts by typing ----

// True when every word of `query` (split at white space) occurs in `text`, letter case
// ignored. An empty query matches everything.
bool matchesSearch(const QString &text, const QString &query);

} // namespace layout
