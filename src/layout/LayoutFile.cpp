#include "layout/LayoutFile.h"

#include "platform/ProgramFolder.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <utility>

namespace layout {

namespace {

// A layout file larger than this many records is not a layout file anyone made; reading
// stops there instead of filling memory.
constexpr qsizetype kMaxRecords = 100000;

} // namespace

// ---- layout files ----

QList<LayoutRecord> parseLayoutFile(const QByteArray &bytes)
{
    QList<LayoutRecord> out;
    const qsizetype count = std::min(bytes.size() / LayoutRecord::kSize, kMaxRecords);
    out.reserve(count);
    for (qsizetype i = 0; i < count; ++i) {
        LayoutRecord r;
        LayoutRecord::fromBytes(bytes.constData() + i * LayoutRecord::kSize, LayoutRecord::kSize, &r);
        out.append(r);
    }
    return out;
}

QList<LayoutRecord> readLayoutFile(const QString &path, bool *ok)
{
    if (ok)
        *ok = false;
    QList<LayoutRecord> out;
    QFile f(path);
    if (path.isEmpty() || !f.open(QIODevice::ReadOnly))
        return out;
    char buffer[LayoutRecord::kSize];
    for (;;) {
        const qint64 got = f.read(buffer, LayoutRecord::kSize);
        if (got < 0)
            return out;                      // a read error: keep what was read
        if (got < LayoutRecord::kSize)
            break;                           // the end, or a trailing partial record
        if (out.size() >= kMaxRecords)
            return out;
        LayoutRecord r;
        LayoutRecord::fromBytes(buffer, got, &r);
        out.append(r);
    }
    if (ok)
        *ok = true;
    return out;
}

QByteArray layoutFileBytes(const QList<LayoutRecord> &records)
{
    QByteArray out;
    out.reserve(records.size() * LayoutRecord::kSize);
    for (const LayoutRecord &r : records)
        out.append(r.raw().data(), LayoutRecord::kSize);
    return out;
}

bool writeLayoutFile(const QString &path, const QList<LayoutRecord> &records)
{
    if (path.isEmpty())
        return false;
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = layoutFileBytes(records);
    if (f.write(bytes) != bytes.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

// ---- the library ----

QList<LayoutCollection> findLayoutCollections(const plat::ProgramFolder &folder)
{
    QList<LayoutCollection> out;
    const QStringList files = folder.listFiles(QString(), {QStringLiteral("*.LYT")});
    for (const QString &path : files) {
        const QString fileName = QFileInfo(path).fileName();
        if (fileName.size() <= 4)
            continue;                        // ".LYT" alone has no collection name
        out.append({fileName.left(fileName.size() - 4), path});
    }
    std::stable_sort(out.begin(), out.end(), [](const LayoutCollection &a, const LayoutCollection &b) {
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });
    return out;
}

QString layoutSavePath(const plat::ProgramFolder &folder, const QString &loadedPath)
{
    const QString fileName = QFileInfo(loadedPath).fileName();
    if (fileName.isEmpty())
        return {};
    return folder.writablePath(fileName);
}

// ---- names ----

LayoutEntryKind entryKind(const QString &name)
{
    if (name.startsWith(QLatin1String("=====")) || name.startsWith(QLatin1String("-----")))
        return LayoutEntryKind::Heading;
    if (name.startsWith(QLatin1String(".....")))
        return LayoutEntryKind::Blank;
    return LayoutEntryKind::Layout;
}

QString listText(const QString &name)
{
    switch (entryKind(name)) {
    case LayoutEntryKind::Heading:
        return name;
    case LayoutEntryKind::Blank:
        return QString();
    case LayoutEntryKind::Layout:
        break;
    }
    const qsizetype at = name.indexOf(QLatin1String("<>"));
    return at < 0 ? name : name.left(at);
}

QString noteText(const QString &name)
{
    if (entryKind(name) != LayoutEntryKind::Layout)
        return QString();
    const qsizetype at = name.indexOf(QLatin1String("<>"));
    return at < 0 ? QString() : name.mid(at + 2);
}

QString notALayoutMessage(const LayoutRecord *selected)
{
    if (!selected)
        return QStringLiteral("Please select a layout in the list first.");
    if (entryKind(selected->Name()) == LayoutEntryKind::Heading)
        return QStringLiteral("\"%1\" is a heading, not a layout. Please select one of the layouts listed below it.")
            .arg(selected->Name().trimmed());
    return QStringLiteral("The selected line is empty, not a layout. Please select a layout in the list.");
}

// ---- opposite orientation ----

LayoutRecord rotated(const LayoutRecord &record)
{
    LayoutRecord r = record;
    r.setRows(record.Columns());
    r.setColumns(record.Rows());
    r.setWidth(record.Height());
    r.setHeight(record.Width());
    r.setTopMargin(record.LeftMargin());
    r.setLeftMargin(record.TopMargin());
    r.setColumnSpace(record.RowSpace());
    r.setRowSpace(record.ColumnSpace());
    switch (record.RegionType()) {
    case 1: r.setRegionType(2); break;
    case 2: r.setRegionType(1); break;
    case 3: r.setRegionType(4); break;
    case 4: r.setRegionType(3); break;
    default: break;
    }
    return r;
}

// ---- the miniature sheet ----

QString sizeText(const LayoutRecord &record, bool metric)
{
    const QString unit = metric ? QStringLiteral(" mm") : QStringLiteral(" in");
    const QLocale locale;
    return locale.toString(UnitsToDisplay(record.Width(), metric), 'f', 2) + unit + QStringLiteral(" x ")
           + locale.toString(UnitsToDisplay(record.Height(), metric), 'f', 2) + unit;
}

LayoutPreview layoutPreview(const LayoutRecord &record, bool opposite, bool metric, QSize box)
{
    LayoutPreview p;
    if (!isPickable(record))
        return p;
    LayoutRecord c = record;
    int pw = 0, ph = 0;
    GetPaperInfo(c.PaperType(), nullptr, &pw, &ph);
    if (pw < c.sheetExtentWidth())
        std::swap(pw, ph);
    if (opposite) {
        c = rotated(c);
        std::swap(pw, ph);
    }
    p.shown = true;
    p.note = noteText(c.Name());
    p.size = sizeText(c, metric);
    p.paper = QSize(pw, ph);

    const int spw = pw / 6, sph = ph / 6;
    const int64_t w = c.Width() / 6, h = c.Height() / 6;
    const int64_t top = c.TopMargin() / 6, left = c.LeftMargin() / 6;
    const int x0 = static_cast<int>((box.width() - spw) * 0.5);
    const int y0 = static_cast<int>((box.height() - sph) * 0.5);
    p.sheet = QRect(x0, y0, spw + 1, sph + 1);

    // Steps per element in preview pixels (the gaps are scaled without truncation).
    const double stepX = double(w) + c.ColumnSpace() / 6.0;
    const double stepY = double(h) + c.RowSpace() / 6.0;
    constexpr uint32_t kMaxPerAxis = 1000;
    const uint32_t rows = std::min(c.Rows(), kMaxPerAxis);
    const uint32_t columns = std::min(c.Columns(), kMaxPerAxis);
    const double limitX = std::max(box.width(), x0 + spw + 1);
    const double limitY = std::max(box.height(), y0 + sph + 1);
    for (uint32_t r = 0; r < rows; ++r) {
        const double y = std::trunc(stepY * r + y0 + double(top) + 1);
        if (y > limitY)
            break;
        for (uint32_t col = 0; col < columns; ++col) {
            const double x = std::trunc(stepX * col + x0 + double(left) + 1);
            if (x > limitX)
                break;
            if (w <= 0 || h <= 0)
                continue;
            p.elements.append(QRect(int(x), int(y), int(std::min<int64_t>(w, 1 << 20)),
                                    int(std::min<int64_t>(h, 1 << 20))));
        }
    }
    return p;
}

// ---- printing extent ----

QSize printSheet(const LayoutRecord &record)
{
    int pw = 0, ph = 0;
    GetPaperInfo(record.PaperType(), nullptr, &pw, &ph);
    // Wide enough for any stored values: two 32-bit fields multiplied can overflow 64 bits.
    const __int128 need = __int128(record.Columns()) * record.Width()
                          + (__int128(record.Columns()) - 1) * record.ColumnSpace() + 2 * __int128(record.LeftMargin());
    if (need > pw + 25)
        std::swap(pw, ph);
    return QSize(pw, ph);
}

bool elementsFitSheet(const LayoutRecord &record)
{
    const QSize sheet = printSheet(record);
    return record.sheetExtentWidth() <= sheet.width() && record.sheetExtentHeight() <= sheet.height();
}

// ---- the layout dialog's fields ----

namespace {

QString lengthText(uint32_t units, bool metric)
{
    return QLocale().toString(UnitsToDisplay(units, metric), 'f', 4);
}

// A length typed by the user: a number in the locale's notation that gives zero or more units.
bool parseLength(const QString &text, bool metric, uint32_t *units)
{
    int32_t v = 0;
    if (!DisplayTextToUnits(text, metric, &v) || v < 0)
        return false;
    *units = static_cast<uint32_t>(v);
    return true;
}

// A count typed by the user: a decimal integer from 0 to the largest signed 32-bit value.
bool parseCount(const QString &text, uint32_t *count)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok, 10);
    if (!ok || v < 0)
        return false;
    *count = static_cast<uint32_t>(v);
    return true;
}

} // namespace

LayoutFields layoutFields(const LayoutRecord &record, bool metric)
{
    LayoutFields f;
    f.name = record.Name();
    f.paperIndex = record.PaperType() < paperNames().size() ? record.PaperType() : -1;
    f.width = record.Width() ? lengthText(record.Width(), metric) : QString();
    f.height = record.Height() ? lengthText(record.Height(), metric) : QString();
    f.rows = record.Rows() ? QString::number(record.Rows()) : QString();
    f.columns = record.Columns() ? QString::number(record.Columns()) : QString();
    f.topMargin = lengthText(record.TopMargin(), metric);
    f.leftMargin = lengthText(record.LeftMargin(), metric);
    f.columnSpace = lengthText(record.ColumnSpace(), metric);
    f.rowSpace = lengthText(record.RowSpace(), metric);
    f.regionType = record.RegionType();
    f.backPrintable = record.BackPrintable() == 1;
    f.metric = metric;
    return f;
}

LayoutFieldsResult applyLayoutFields(const LayoutFields &fields, LayoutRecord *record, LayoutField *badField)
{
    LayoutRecord c = *record;
    c.setName(fields.name);
    c.setPaperType(fields.paperIndex >= 0 && fields.paperIndex < paperNames().size()
                       ? uint8_t(fields.paperIndex) : uint8_t(255));
    auto invalid = [&](LayoutField f) {
        if (badField)
            *badField = f;
        return LayoutFieldsResult::InvalidNumber;
    };
    if (badField)
        *badField = LayoutField::None;

    uint32_t width = 0, height = 0;
    if (!parseLength(fields.width, fields.metric, &width))
        return invalid(LayoutField::Width);
    if (!parseLength(fields.height, fields.metric, &height))
        return invalid(LayoutField::Height);
    c.setWidth(width);
    c.setHeight(height);
    if (fields.regionType >= 0 && fields.regionType <= 4)
        c.setRegionType(uint8_t(fields.regionType));   // else the stored type stays (and fails the check)
    if (!regionSizeOk(c))
        return LayoutFieldsResult::RegionSize;

    uint32_t rows = 0, columns = 0, top = 0, left = 0, rowSpace = 0, columnSpace = 0;
    if (!parseCount(fields.rows, &rows))
        return invalid(LayoutField::Rows);
    if (!parseCount(fields.columns, &columns))
        return invalid(LayoutField::Columns);
    if (!parseLength(fields.topMargin, fields.metric, &top))
        return invalid(LayoutField::TopMargin);
    if (!parseLength(fields.leftMargin, fields.metric, &left))
        return invalid(LayoutField::LeftMargin);
    if (!parseLength(fields.rowSpace, fields.metric, &rowSpace))
        return invalid(LayoutField::RowSpace);
    if (!parseLength(fields.columnSpace, fields.metric, &columnSpace))
        return invalid(LayoutField::ColumnSpace);
    c.setRows(rows);
    c.setColumns(columns);
    c.setTopMargin(top);
    c.setLeftMargin(left);
    c.setRowSpace(rowSpace);
    c.setColumnSpace(columnSpace);
    c.setBackPrintable(fields.backPrintable ? 1 : 0);
    *record = c;
    return LayoutFieldsResult::Ok;
}

QString invalidLayoutMessage()
{
    return QStringLiteral("Please enter valid layout settings before clicking OK.");
}

QString invalidLayoutMessage(LayoutField field)
{
    QString what;
    switch (field) {
    case LayoutField::None: return invalidLayoutMessage();
    case LayoutField::Width: what = QStringLiteral("The width must be a number of 0 or more."); break;
    case LayoutField::Height: what = QStringLiteral("The height must be a number of 0 or more."); break;
    case LayoutField::Rows: what = QStringLiteral("Rows must be a whole number of 0 or more."); break;
    case LayoutField::Columns: what = QStringLiteral("Columns must be a whole number of 0 or more."); break;
    case LayoutField::TopMargin: what = QStringLiteral("The top margin must be a number of 0 or more."); break;
    case LayoutField::LeftMargin: what = QStringLiteral("The left margin must be a number of 0 or more."); break;
    case LayoutField::ColumnSpace:
        what = QStringLiteral("The space between columns must be a number of 0 or more.");
        break;
    case LayoutField::RowSpace: what = QStringLiteral("The space between rows must be a number of 0 or more."); break;
    }
    return invalidLayoutMessage() + QStringLiteral("\n\n") + what;
}

} // namespace layout
