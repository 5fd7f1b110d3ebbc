#include "layout/LayoutRecord.h"

#include "platform/Ansi.h"
#include "platform/ByteIO.h"

#include <QLocale>
#include <climits>
#include <cmath>
#include <cstring>

namespace layout {

bool LayoutRecord::fromBytes(const char *data, qsizetype size, LayoutRecord *out)
{
    *out = LayoutRecord();
    if (!data || size < kSize)
        return false;
    std::memcpy(out->m_bytes.data(), data, kSize);
    return true;
}

QByteArray LayoutRecord::toBytes() const { return QByteArray(m_bytes.data(), kSize); }

QString LayoutRecord::Name() const
{
    const char *p = m_bytes.data();
    const void *zero = std::memchr(p, 0, kNameSize);
    const qsizetype len = zero ? static_cast<const char *>(zero) - p : kNameSize;
    return plat::fromAnsi(p, len);
}

void LayoutRecord::setName(const QString &name)
{
    const QByteArray b = plat::toAnsi(name).left(kNameSize - 1);
    std::memset(m_bytes.data(), 0, kNameSize);
    std::memcpy(m_bytes.data(), b.constData(), size_t(b.size()));
}

uint32_t LayoutRecord::u32(int off) const { return plat::getU32(m_bytes.data() + off); }

void LayoutRecord::setU32(int off, uint32_t v) { plat::putU32(m_bytes.data() + off, v); }

namespace {
// Sheet geometry is computed wide enough for any stored values (two unsigned 32-bit
// fields multiplied overflow int64) and clamped to the int64 range.
int64_t clamp64(__int128 v)
{
    if (v > INT64_MAX)
        return INT64_MAX;
    if (v < INT64_MIN)
        return INT64_MIN;
    return static_cast<int64_t>(v);
}

int64_t extent(uint32_t count, uint32_t size, uint32_t gap, uint32_t margin)
{
    return clamp64(__int128(count) * size + (__int128(count) - 1) * gap + margin);
}
} // namespace

int64_t LayoutRecord::sheetExtentWidth() const
{
    return extent(Columns(), Width(), ColumnSpace(), LeftMargin());
}

int64_t LayoutRecord::sheetExtentHeight() const
{
    return extent(Rows(), Height(), RowSpace(), TopMargin());
}

int64_t LayoutRecord::elementLeft(int column) const
{
    return clamp64(__int128(LeftMargin()) + __int128(column) * (__int128(Width()) + ColumnSpace()));
}

int64_t LayoutRecord::elementTop(int row) const
{
    return clamp64(__int128(TopMargin()) + __int128(row) * (__int128(Height()) + RowSpace()));
}

LayoutRecord businessCardLayout()
{
    LayoutRecord l;
    l.setName(QStringLiteral("Business Cards 2 x 5 (3.5 x 2 in)"));
    l.setRows(5);
    l.setColumns(2);
    l.setWidth(350);
    l.setHeight(200);
    l.setTopMargin(50);
    l.setLeftMargin(75);
    l.setPaperType(0);
    return l;
}

namespace {
constexpr PaperInfo kPapers[kPaperTypeCount] = {
    {1, 850, 1100}, {5, 850, 1400}, {7, 725, 1050}, {8, 1169, 1654}, {9, 827, 1169},
    {11, 583, 827}, {19, 388, 888}, {20, 413, 950}, {21, 450, 1038}, {22, 475, 1100},
    {37, 388, 750}, {38, 363, 650}, {27, 433, 866}, {30, 902, 1276}, {28, 638, 902},
    {31, 449, 638}, {32, 449, 902},
};
} // namespace

bool GetPaperInfo(int paperType, int *paperCode, int *width, int *height)
{
    const bool ok = paperType >= 0 && paperType < kPaperTypeCount;
    const PaperInfo &p = kPapers[ok ? paperType : 0];
    if (paperCode)
        *paperCode = p.code;
    if (width)
        *width = p.width;
    if (height)
        *height = p.height;
    return ok;
}

QStringList paperNames()
{
    return {QStringLiteral("Letter (8 1/2 x 11 in)"), QStringLiteral("Legal (8 1/2 x 14 in)"),
            QStringLiteral("Executive (7 1/4 x 10 1/2 in)"), QStringLiteral("A3 (297 x 420 mm)"),
            QStringLiteral("A4 (210 x 297 mm)"), QStringLiteral("A5 (148 x 210 mm)")};
}

QStringList regionTypeNames()
{
    return {QStringLiteral("None"), QStringLiteral("Side Fold Tall Business Card"),
            QStringLiteral("Top Fold Wide Business Card"), QStringLiteral("Side Fold Wide Business Card"),
            QStringLiteral("Top Fold Tall Business Card")};
}

int GetRegionInfo(int regionType, int secondSide, int64_t elementWidth, int64_t elementHeight,
                  QStringList *names, int *regionWidth, int *regionHeight, int *reserved,
                  int *sideFold, int *flat)
{
    if (names)
        names->clear();
    if (regionType < 0 || regionType > 4)
        return 0;
    if (names) {
        if (regionType == 0)
            *names << QStringLiteral("Front") << QStringLiteral("Back");
        else
            *names << QStringLiteral("Inside") << QStringLiteral("Inside Cover") << QStringLiteral("Cover");
    }
    const bool side = regionType == 1 || regionType == 3;
    const bool top = regionType == 2 || regionType == 4;
    if (regionWidth)
        *regionWidth = static_cast<int>(side ? elementWidth / 2 : elementWidth);
    if (regionHeight)
        *regionHeight = static_cast<int>(top ? elementHeight / 2 : elementHeight);
    if (reserved)
        *reserved = 0;
    if (sideFold)
        *sideFold = side ? 1 : 0;
    if (flat)
        *flat = regionType == 0 ? 1 : 0;
    if (regionType == 0)
        return 1;
    return secondSide == 0 ? 2 : 1;
}

bool GetRegionSide(int regionType, int listIndex, int *side, int *region)
{
    int s = 0, r = 0;
    if (regionType == 0) {
        s = listIndex == 0 ? 0 : 1;
        r = 0;
    } else if (regionType >= 1 && regionType <= 4) {
        if (listIndex == 0) {
            s = 0;
            r = 1;
        } else if (listIndex == 1) {
            s = 0;
            r = 0;
        } else {
            s = 1;
            r = 0;
        }
    } else {
        return true;
    }
    if (side)
        *side = s;
    if (region)
        *region = r;
    return true;
}

QStringList regionListNames(const LayoutRecord &layout)
{
    QStringList names;
    GetRegionInfo(layout.RegionType(), 0, layout.Width(), layout.Height(), &names, nullptr, nullptr,
                  nullptr, nullptr, nullptr);
    if (layout.RegionType() == 0 && layout.BackPrintable() != 1 && names.size() > 1)
        names.removeLast();
    return names;
}

double UnitsToDisplay(uint32_t units, bool metric)
{
    return metric ? units * 0.254 : units * 0.01;
}

int32_t DisplayToUnits(double value, bool metric)
{
    double v = (value + 0.00001) * 100.0;
    if (metric)
        v *= 0.03937007874015748;
    if (std::isnan(v))
        return 0;
    if (v >= 2147483647.0)
        return INT32_MAX;
    if (v <= -2147483648.0)
        return INT32_MIN;
    return static_cast<int32_t>(v);
}

bool DisplayTextToUnits(const QString &text, bool metric, int32_t *units)
{
    bool ok = false;
    const double v = QLocale().toDouble(text.trimmed(), &ok);
    if (!ok)
        return false;
    if (units)
        *units = DisplayToUnits(v, metric);
    return true;
}

bool regionSizeOk(const LayoutRecord &layout)
{
    int w = 0, h = 0;
    if (GetRegionInfo(layout.RegionType(), 0, layout.Width(), layout.Height(), nullptr, &w, &h,
                      nullptr, nullptr, nullptr) == 0)
        return false;
    return w >= kMinRegionSize && w <= kMaxRegionSize && h >= kMinRegionSize && h <= kMaxRegionSize;
}

QString regionSizeDialogMessage(bool metric)
{
    return QStringLiteral("The width and height or each region must be between ")
           + QString::number(UnitsToDisplay(kMinRegionSize, metric), 'f', 2) + QStringLiteral(" and ")
           + QString::number(UnitsToDisplay(kMaxRegionSize, metric), 'f', 2);
}

QString regionSizeDocumentMessage()
{
    return QStringLiteral("The width and height must be between ")
           + QString::number(UnitsToDisplay(kMinRegionSize, false), 'f', 2) + QStringLiteral(" and ")
           + QString::number(UnitsToDisplay(kMaxRegionSize, false), 'f', 2) + QStringLiteral(" inches");
}

} // namespace layout
