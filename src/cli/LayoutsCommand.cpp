// `ostravel layouts [--json] [--search TEXT]`: every layout the layouts dialog offers (the
// shipped and the user's layout files, then the stock layouts by maker), or those that
// match the search as the dialog's search box matches them.
#include "cli/Commands.h"

#include "layout/LayoutCatalogue.h"
#include "layout/StockLibrary.h"
#include "platform/ProgramFolder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

namespace cli {

namespace {

QJsonObject entryJson(const layout::CatalogueEntry &e)
{
    const layout::LayoutRecord &l = e.record;
    QJsonObject o;
    o[QStringLiteral("name")] = e.name;
    if (!e.note.isEmpty())
        o[QStringLiteral("note")] = e.note;
    o[QStringLiteral("source")] = layout::sourceName(e.source);
    o[QStringLiteral("collection")] = e.collection;
    o[QStringLiteral("Rows")] = double(l.Rows());
    o[QStringLiteral("Columns")] = double(l.Columns());
    o[QStringLiteral("Width")] = double(l.Width());
    o[QStringLiteral("Height")] = double(l.Height());
    o[QStringLiteral("TopMargin")] = double(l.TopMargin());
    o[QStringLiteral("LeftMargin")] = double(l.LeftMargin());
    o[QStringLiteral("ColumnSpace")] = double(l.ColumnSpace());
    o[QStringLiteral("RowSpace")] = double(l.RowSpace());
    o[QStringLiteral("RegionType")] = l.RegionType();
    o[QStringLiteral("BackPrintable")] = l.BackPrintable();
    o[QStringLiteral("PaperType")] = l.PaperType();
    return o;
}

QString inches(uint32_t units) { return QString::number(layout::UnitsToDisplay(units, false), 'f', 2); }

// One line a layout: name, where it comes from, and its sheet.
QString entryLine(const layout::CatalogueEntry &e)
{
    const layout::LayoutRecord &l = e.record;
    const QStringList papers = layout::paperNames();
    const QString paper = l.PaperType() < papers.size() ? papers[l.PaperType()]
                                                         : QStringLiteral("paper type %1").arg(l.PaperType());
    return QStringLiteral("%1\t%2: %3\t%4 x %5 of %6 x %7 in\t%8")
        .arg(e.name, layout::sourceName(e.source), e.collection)
        .arg(l.Columns())
        .arg(l.Rows())
        .arg(inches(l.Width()), inches(l.Height()), paper);
}

} // namespace

int runLayouts(const QStringList &args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    bool json = false;
    QString search;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--json")) {
            json = true;
        } else if (a == QLatin1String("--search") && i + 1 < args.size()) {
            search = args[++i];
        } else if (a.startsWith(QLatin1String("--search="))) {
            search = a.mid(9);
        } else {
            err << "Usage: ostravel layouts [--json] [--search TEXT]\n";
            return 1;
        }
    }

    layout::StockLibrary &stock = layout::StockLibrary::shared();
    const layout::StockLibraryContents &contents = stock.wait();
    QList<layout::CatalogueEntry> entries;
    for (const layout::CatalogueEntry &e : layout::layoutCatalogue(plat::ProgramFolder::current(), contents))
        if (e.matches(search))
            entries.append(e);

    if (json) {
        QJsonArray list;
        for (const layout::CatalogueEntry &e : entries)
            list.append(entryJson(e));
        out << QJsonDocument(QJsonObject{{QStringLiteral("layouts"), list}}).toJson(QJsonDocument::Indented);
    } else {
        for (const layout::CatalogueEntry &e : entries)
            out << entryLine(e) << "\n";
    }
    if (!stock.folders().isEmpty()) {
        const layout::StockReadCounts &c = contents.counts;
        err << QStringLiteral("Stock templates: %1 read, %2 usable, %3 left out; %4 of %5 files broken\n")
                   .arg(c.templates)
                   .arg(c.usable)
                   .arg(c.leftOut())
                   .arg(c.brokenFiles)
                   .arg(c.files);
        if (c.leftOut() > 0) {
            const std::pair<int, const char *> reasons[] = {
                {c.notRectangular, "labels not rectangular"}, {c.severalLayouts, "several layouts"},
                {c.unknownPaper, "paper not in the paper table"}, {c.regionSize, "label size outside 1.50 to 4.00 in"},
                {c.negativeSpacing, "overlapping labels or negative margins"}, {c.badEquiv, "equivalent of a missing product"},
                {c.broken, "damaged"}, {c.duplicates, "defined twice"},
            };
            QStringList parts;
            for (const auto &[n, what] : reasons)
                if (n > 0)
                    parts << QStringLiteral("%1 %2").arg(n).arg(QLatin1String(what));
            err << QStringLiteral("Left out: ") << parts.join(QStringLiteral(", ")) << "\n";
        }
    }
    return 0;
}

} // namespace cli
