#include "layout/StockTemplates.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>

namespace layout {

namespace {

// Counts beyond this are no sheet of cards; they are treated as damage.
constexpr int64_t kMaxStockCount = 1000;
// Lengths beyond ten thousand inches are damage too.
constexpr double kMaxStockUnits = 1e6;

QString attribute(const QXmlStreamAttributes &a, QLatin1String name)
{
    return a.value(name).toString().simplified();
}

bool parseCount(const QString &text, int64_t *value)
{
    bool ok = false;
    const qlonglong v = text.toLongLong(&ok);
    if (!ok || v < 1 || v > kMaxStockCount)
        return false;
    *value = v;
    return true;
}

// An optional length: missing means zero.
bool parseOptionalLength(const QString &text, int64_t *units)
{
    if (text.isEmpty()) {
        *units = 0;
        return true;
    }
    return parseStockLength(text, units);
}

void readLayout(QXmlStreamReader &x, StockTemplate &t)
{
    ++t.layouts;
    if (t.labels == 1 && t.layouts == 1) {
        const QXmlStreamAttributes a = x.attributes();
        if (!parseCount(attribute(a, QLatin1String("nx")), &t.nx) || !parseCount(attribute(a, QLatin1String("ny")), &t.ny)
            || !parseOptionalLength(attribute(a, QLatin1String("x0")), &t.x0)
            || !parseOptionalLength(attribute(a, QLatin1String("y0")), &t.y0)
            || !parseOptionalLength(attribute(a, QLatin1String("dx")), &t.dx)
            || !parseOptionalLength(attribute(a, QLatin1String("dy")), &t.dy))
            t.malformed = true;
    }
    x.skipCurrentElement();
}

void readRectangle(QXmlStreamReader &x, StockTemplate &t)
{
    if (t.labels == 1) {
        const QXmlStreamAttributes a = x.attributes();
        if (!parseStockLength(attribute(a, QLatin1String("width")), &t.width)
            || !parseStockLength(attribute(a, QLatin1String("height")), &t.height))
            t.malformed = true;
    }
    while (x.readNextStartElement()) {
        if (x.name() == QLatin1String("Layout"))
            readLayout(x, t);
        else
            x.skipCurrentElement();
    }
}

StockTemplate readTemplate(QXmlStreamReader &x)
{
    StockTemplate t;
    const QXmlStreamAttributes a = x.attributes();
    t.brand = attribute(a, QLatin1String("brand"));
    t.part = attribute(a, QLatin1String("part"));
    if (t.brand.isEmpty() && t.part.isEmpty()) {
        // Older files name a template as "Maker product".
        const QString name = attribute(a, QLatin1String("name"));
        const qsizetype space = name.indexOf(QLatin1Char(' '));
        if (space > 0) {
            t.brand = name.left(space);
            t.part = name.mid(space + 1);
        }
    }
    t.equiv = attribute(a, QLatin1String("equiv"));
    t.description = attribute(a, QLatin1String("_description"));
    if (t.description.isEmpty())
        t.description = attribute(a, QLatin1String("description"));
    t.paper = attribute(a, QLatin1String("size"));

    while (x.readNextStartElement()) {
        const QStringView name = x.name();
        if (name == QLatin1String("Meta")) {
            const QStringView category = x.attributes().value(QLatin1String("category"));
            if (category == QLatin1String("card") || category == QLatin1String("business-card"))
                t.card = true;
            x.skipCurrentElement();
        } else if (name == QLatin1String("Label-rectangle")) {
            ++t.labels;
            readRectangle(x, t);
        } else if (name.startsWith(QLatin1String("Label-"))) {
            ++t.labels;
            t.rectangular = false;
            x.skipCurrentElement();
        } else {
            x.skipCurrentElement();
        }
    }
    return t;
}

// The paper table's type for a paper name of the library, or -1.
int paperTypeOf(const QString &name)
{
    static const struct {
        const char *name;
        int type;
    } kPapers[] = {
        {"US-Letter", 0}, {"US-Legal", 1}, {"US-Executive", 2}, {"A3", 3},  {"A4", 4},  {"A5", 5},
        {"number9", 6},   {"number10", 7}, {"number11", 8},     {"number12", 9}, {"monarch", 10},
        {"dl", 12},       {"c4", 13},      {"c5", 14},          {"c6", 15},
    };
    for (const auto &p : kPapers)
        if (name.compare(QLatin1String(p.name), Qt::CaseInsensitive) == 0)
            return p.type;
    return -1;
}

QString templateKey(const QString &brand, const QString &part) { return brand + QChar(0x1f) + part; }

StockVerdict resolve(const QList<StockTemplate> &all, const QHash<QString, int> &keys, int index, StockLayout *out)
{
    const StockTemplate &self = all[index];
    if (self.brand.isEmpty() || self.part.isEmpty())
        return StockVerdict::Broken;
    int current = index;
    QSet<int> seen{index};
    while (!all[current].equiv.isEmpty()) {
        const auto it = keys.constFind(templateKey(all[current].brand, all[current].equiv));
        if (it == keys.constEnd() || seen.contains(*it))
            return StockVerdict::BadEquiv;   // missing, or a loop
        seen.insert(*it);
        current = *it;
    }
    const StockTemplate &t = all[current];
    if (t.labels == 0)
        return StockVerdict::Broken;
    if (!t.rectangular)
        return StockVerdict::NotRectangular;
    if (t.labels > 1 || t.layouts > 1)
        return StockVerdict::SeveralLayouts;
    if (t.layouts == 0 || t.malformed || t.width <= 0 || t.height <= 0)
        return StockVerdict::Broken;
    const int paper = paperTypeOf(t.paper);
    if (paper < 0)
        return StockVerdict::UnknownPaper;
    // Gaps between neighbours only matter where there are neighbours.
    const int64_t columnSpace = t.nx > 1 ? t.dx - t.width : 0;
    const int64_t rowSpace = t.ny > 1 ? t.dy - t.height : 0;
    if (t.x0 < 0 || t.y0 < 0 || columnSpace < 0 || rowSpace < 0)
        return StockVerdict::NegativeSpacing;

    LayoutRecord r;
    r.setRows(uint32_t(t.ny));
    r.setColumns(uint32_t(t.nx));
    r.setWidth(uint32_t(t.width));
    r.setHeight(uint32_t(t.height));
    r.setTopMargin(uint32_t(t.y0));
    r.setLeftMargin(uint32_t(t.x0));
    r.setColumnSpace(uint32_t(columnSpace));
    r.setRowSpace(uint32_t(rowSpace));
    r.setRegionType(0);
    // Card stock is printed on both faces; labels only on their face.
    r.setBackPrintable((self.card || t.card) ? 1 : 0);
    r.setPaperType(uint8_t(paper));
    if (!regionSizeOk(r))
        return StockVerdict::RegionSize;

    out->maker = self.brand;
    out->part = self.part;
    out->description = self.description.isEmpty() ? t.description : self.description;
    out->equivalentOf = current == index ? QString() : t.part;
    r.setName(out->name());
    out->record = r;
    return StockVerdict::Usable;
}

void count(StockReadCounts &c, StockVerdict v)
{
    switch (v) {
    case StockVerdict::Usable: ++c.usable; break;
    case StockVerdict::SeveralLayouts: ++c.severalLayouts; break;
    case StockVerdict::NotRectangular: ++c.notRectangular; break;
    case StockVerdict::NegativeSpacing: ++c.negativeSpacing; break;
    case StockVerdict::UnknownPaper: ++c.unknownPaper; break;
    case StockVerdict::RegionSize: ++c.regionSize; break;
    case StockVerdict::BadEquiv: ++c.badEquiv; break;
    case StockVerdict::Broken: ++c.broken; break;
    case StockVerdict::Duplicate: ++c.duplicates; break;
    }
}

// Product codes in the order people expect: runs of digits compared by value.
int compareNatural(const QString &a, const QString &b)
{
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            qsizetype ei = i, ej = j;
            while (ei < a.size() && a[ei].isDigit())
                ++ei;
            while (ej < b.size() && b[ej].isDigit())
                ++ej;
            // Compare the runs without leading zeros: a longer run is the larger number.
            qsizetype si = i, sj = j;
            while (si + 1 < ei && a[si] == QLatin1Char('0'))
                ++si;
            while (sj + 1 < ej && b[sj] == QLatin1Char('0'))
                ++sj;
            if (ei - si != ej - sj)
                return ei - si < ej - sj ? -1 : 1;
            const int c = QStringView(a).mid(si, ei - si).compare(QStringView(b).mid(sj, ej - sj));
            if (c != 0)
                return c;
            i = ei;
            j = ej;
        } else {
            const int c = QString::compare(a.mid(i, 1), b.mid(j, 1), Qt::CaseInsensitive);
            if (c != 0)
                return c;
            ++i;
            ++j;
        }
    }
    if (i < a.size() || j < b.size())
        return i < a.size() ? 1 : -1;
    return QString::compare(a, b);
}

} // namespace

QString StockLayout::name() const
{
    QString n = maker + QLatin1Char(' ') + part;
    if (!description.isEmpty())
        n += QLatin1Char(' ') + description;
    return n;
}

QStringList StockLibraryContents::makers() const
{
    QStringList out;
    for (const StockLayout &l : layouts)
        if (out.isEmpty() || out.last() != l.maker)
            out.append(l.maker);
    return out;
}

bool parseStockLength(const QString &text, int64_t *units)
{
    const QString s = text.trimmed();
    qsizetype end = s.size();
    while (end > 0 && s[end - 1].isLetter())
        --end;
    const QString unit = s.mid(end).toLower();
    double perInch = 0;
    if (unit.isEmpty() || unit == QLatin1String("pt"))
        perInch = 72.0;
    else if (unit == QLatin1String("in"))
        perInch = 1.0;
    else if (unit == QLatin1String("mm"))
        perInch = 25.4;
    else if (unit == QLatin1String("cm"))
        perInch = 2.54;
    else
        return false;
    bool ok = false;
    const double value = QLocale::c().toDouble(QStringView(s).left(end).trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return false;
    const double v = value / perInch * 100.0;
    if (!(std::fabs(v) <= kMaxStockUnits))
        return false;
    *units = std::llround(v);
    return true;
}

StockFileResult parseStockTemplateFile(const QByteArray &xml, QList<StockTemplate> *out, int maxTemplates)
{
    if (xml.size() > kMaxStockFileSize)
        return StockFileResult::Broken;
    QXmlStreamReader x(xml);
    if (!x.readNextStartElement())
        return StockFileResult::Broken;
    if (x.name() != QLatin1String("Glabels-templates"))
        return StockFileResult::NotTemplates;
    QList<StockTemplate> found;
    while (x.readNextStartElement()) {
        if (x.name() == QLatin1String("Template") && out->size() + found.size() < maxTemplates)
            found.append(readTemplate(x));
        else
            x.skipCurrentElement();   // other elements, and templates beyond the limit
    }
    // Whatever follows the root must be well-formed too.
    while (!x.atEnd() && !x.hasError())
        x.readNext();
    if (x.hasError())
        return StockFileResult::Broken;
    out->append(found);
    return StockFileResult::Templates;
}

StockLibraryContents buildStockLibrary(const QList<QByteArray> &files)
{
    StockLibraryContents result;
    StockReadCounts &c = result.counts;
    QList<StockTemplate> all;
    for (const QByteArray &f : files) {
        switch (parseStockTemplateFile(f, &all)) {
        case StockFileResult::Templates: ++c.files; break;
        case StockFileResult::Broken: ++c.files; ++c.brokenFiles; break;
        case StockFileResult::NotTemplates: break;
        }
    }
    c.templates = int(all.size());

    QHash<QString, int> keys;
    keys.reserve(all.size());
    QList<bool> duplicate(all.size(), false);
    for (int i = 0; i < all.size(); ++i) {
        const QString key = templateKey(all[i].brand, all[i].part);
        if (keys.contains(key))
            duplicate[i] = true;
        else
            keys.insert(key, i);
    }
    for (int i = 0; i < all.size(); ++i) {
        StockLayout layout;
        const StockVerdict v = duplicate[i] ? StockVerdict::Duplicate : resolve(all, keys, i, &layout);
        count(c, v);
        if (v == StockVerdict::Usable)
            result.layouts.append(std::move(layout));
    }
    std::stable_sort(result.layouts.begin(), result.layouts.end(), [](const StockLayout &a, const StockLayout &b) {
        const int m = QString::compare(a.maker, b.maker, Qt::CaseInsensitive);
        if (m != 0)
            return m < 0;
        return compareNatural(a.part, b.part) < 0;
    });
    return result;
}

StockLibraryContents readStockFolders(const QStringList &folders, const std::atomic_bool *cancel)
{
    QList<QByteArray> files;
    for (const QString &folder : folders) {
        const QDir dir(folder);
        const QStringList names = dir.entryList({QStringLiteral("*.xml"), QStringLiteral("*.template")},
                                                QDir::Files | QDir::Readable, QDir::Name);
        for (const QString &name : names) {
            if (cancel && cancel->load())
                return buildStockLibrary(files);
            QFile f(dir.filePath(name));
            if (!f.open(QIODevice::ReadOnly))
                continue;
            // An oversized file is not read into memory; an empty stand-in counts it as broken.
            files.append(f.size() > kMaxStockFileSize ? QByteArray() : f.read(kMaxStockFileSize + 1));
        }
    }
    return buildStockLibrary(files);
}

QStringList defaultStockFolders()
{
    QStringList candidates;
    if (qEnvironmentVariableIsSet("OSTRAVEL_STOCK_TEMPLATES")) {
        candidates = qEnvironmentVariable("OSTRAVEL_STOCK_TEMPLATES").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    } else {
        candidates << QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                          + QStringLiteral("/libglabels/templates")
                   << QDir::homePath() + QStringLiteral("/.glabels");
        for (const QString &d : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
            candidates << d + QStringLiteral("/libglabels-3.0/templates");
    }
    QStringList out;
    QSet<QString> seen;
    for (const QString &c : candidates) {
        const QFileInfo info(c);
        if (!info.isDir())
            continue;
        const QString canonical = info.canonicalFilePath();
        if (seen.contains(canonical))
            continue;
        seen.insert(canonical);
        out << canonical;
    }
    return out;
}

bool matchesSearch(const QString &text, const QString &query)
{
    static const QRegularExpression space(QStringLiteral("\\s+"));
    const QStringList words = query.split(space, Qt::SkipEmptyParts);
    return std::all_of(words.begin(), words.end(),
                       [&text](const QString &w) { return text.contains(w, Qt::CaseInsensitive); });
}

} // namespace layout
