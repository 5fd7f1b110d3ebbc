#include "files/LegacyImport.h"

#include "files/DesignFile.h"
#include "platform/ByteIO.h"
#include "platform/CompoundFile.h"
#include "platform/Picture.h"
#include "platform/bmp/Dib.h"
#include "platform/metafile/Metafile.h"

#include <QFile>
#include <QFileInfo>

#include <cstring>
#include <new>
#include <vector>

namespace files {

namespace {

namespace Rec = model::Rec;

constexpr int kBcoHeaderSize = 56;
constexpr int kBcoRecordSize = 248;
constexpr int kBcoOldLayoutSize = 72; // the layout from its offset 50 on, below version 500
constexpr int kBcdOldHeaderSize = 14;
constexpr int kBcdOldRecordSize = 161;
constexpr int kBcd40HeaderSize = 28;
constexpr int kBcd40RecordSize = 184;
constexpr int kBcd40LayoutSize = 116;
constexpr int kListSlot = 75;
constexpr uint32_t kPlaceableKey = 0x9AC6CDD7u;

// One old object record, whatever format it came from.
struct OldObject {
    char kind = 0;
    QByteArray text;              // the record's own string, without its terminator
    uint8_t fg[3] = {0, 0, 0};    // red, green, blue
    uint8_t bg[3] = {0, 0, 0};
    QByteArray logFont;           // 60 bytes of LOGFONTA
    int64_t gLeft = 0, gRight = 0, gTop = 0, gBottom = 0; // graphic rectangle
    int64_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;               // text and shape points
    uint8_t lineSize = 0;
    int32_t dataSize = 0;         // graphic bytes (graphics) or list bytes (texts)
    uint32_t style = 0;
    uint32_t flags = 0;
    int8_t dx = 0, dy = 0;

    bool isGraphic() const { return kind == model::ObjectKind::Graphic; }
    bool isText() const { return kind == model::ObjectKind::Text; }
    bool isShape() const
    {
        return kind == model::ObjectKind::Line || kind == model::ObjectKind::Box
               || kind == model::ObjectKind::RoundBox || kind == model::ObjectKind::Ellipse;
    }
};

// What an import puts on the surface, gathered before the surface is touched.
struct Imported {
    QByteArray layout;            // 122 bytes
    int32_t margins[4] = {0, 0, 0, 0}; // left, right, top, bottom
    std::vector<QByteArray> records;
    plat::Picture background;
};

// The zero-terminated string in a field of at most `size` bytes.
QByteArray fieldString(const char *p, qsizetype size)
{
    if (size <= 0)
        return {};
    const void *zero = std::memchr(p, 0, size_t(size));
    return QByteArray(p, zero ? static_cast<const char *>(zero) - p : size);
}

int64_t distance(int64_t a, int64_t b) { return a > b ? a - b : b - a; }

// The object property record of one old object. `data` is the graphic's share of the
// graphic data, or for texts the strings to store.
QByteArray makeRecord(const OldObject &o, const QByteArray &graphic, const std::vector<QByteArray> &strings)
{
    QByteArray data;
    char dataKind = 0;
    if (o.isGraphic()) {
        // The share is a packed bitmap; a file header in front makes it a BMP file. A
        // bitmap that decodes gets a header that states its size and pixel offset, so
        // the picture is a well-formed file wherever it is written later; one that does
        // not keeps the bare "BM" header of the old format.
        const plat::Picture bmp = plat::bmp::DibToBitmap(graphic);
        if (!bmp.isNull()) {
            data = bmp.bytes();
        } else {
            data = QByteArray(14, '\0');
            data[0] = 'B';
            data[1] = 'M';
            data.append(graphic);
        }
        dataKind = 'B';
    } else if (o.isText()) {
        for (const QByteArray &s : strings) {
            data.append(s);
            data.append('\0');
        }
        data.append('\0');
        dataKind = 'T';
    }

    QByteArray rec(Rec::HeadSize + data.size(), '\0');
    char *p = rec.data();
    p[Rec::Kind] = o.kind;
    int64_t left, top, width, height;
    if (o.isGraphic()) {
        left = o.gLeft;
        top = o.gTop;
        height = distance(o.gBottom, o.gTop) + 5;
        width = distance(o.gRight, o.gLeft) + 5;
    } else {
        left = o.x1;
        top = o.y1;
        height = distance(o.y2, o.y1) + 5;
        width = distance(o.x2, o.x1) + 5;
    }
    plat::putU32(p + Rec::Left, uint32_t(left));
    plat::putU32(p + Rec::Top, uint32_t(top));
    plat::putU32(p + Rec::Height, uint32_t(height));
    plat::putU32(p + Rec::Width, uint32_t(width));
    plat::putU32(p + Rec::Flags, o.flags);
    plat::putU32(p + Rec::Style, o.style);
    if (!o.isGraphic()) {
        plat::putU32(p + Rec::ColorFG, uint32_t(o.fg[0]) | uint32_t(o.fg[1]) << 8 | uint32_t(o.fg[2]) << 16);
        plat::putU32(p + Rec::ColorBG, uint32_t(o.bg[0]) | uint32_t(o.bg[1]) << 8 | uint32_t(o.bg[2]) << 16);
    }
    if (o.isText()) {
        std::memcpy(p + Rec::LogFont, o.logFont.constData(), size_t(std::min<qsizetype>(o.logFont.size(), 60)));
        plat::putU32(p + Rec::TextStyle, 1); // "Text (No Wrap)"
        p[Rec::ShadowDX] = static_cast<char>(o.dx);
        p[Rec::ShadowDY] = static_cast<char>(o.dy);
    }
    if (o.isShape()) {
        p[Rec::LineSize] = static_cast<char>(o.lineSize);
        p[Rec::Reserved] = 0;
        int lineType = 3;
        if (o.y1 == o.y2)
            lineType = 0;
        else if (o.x1 == o.x2)
            lineType = 1;
        else if (o.y2 < o.y1)
            lineType = 2;
        p[Rec::LineType] = static_cast<char>(lineType);
    }
    plat::putU32(p + Rec::DataSize, uint32_t(data.size()));
    p[Rec::DataKind] = dataKind;
    if (!data.isEmpty())
        std::memcpy(p + Rec::HeadSize, data.constData(), size_t(data.size()));
    return rec;
}

// The strings of a text: its own string, or those of its 75-byte list slots.
std::vector<QByteArray> textStrings(const OldObject &o, const char *list, qsizetype listSize, bool withLists)
{
    if (!withLists || o.dataSize == 0)
        return {o.text};
    if (o.text.isEmpty())
        return {fieldString(list, std::min<qsizetype>(listSize, kListSlot))};
    std::vector<QByteArray> out;
    for (qsizetype slot = 0; slot < listSize / kListSlot; ++slot)
        out.push_back(fieldString(list + slot * kListSlot, kListSlot));
    return out;
}

// Reads the graphic data (and, with lists, the text-list data) behind the records and
// converts every object. False when a size is negative or a block is cut short.
bool convertObjects(plat::LeReader &r, const std::vector<OldObject> &objects, bool withLists,
                    std::vector<QByteArray> *records)
{
    int64_t graphicTotal = 0, listTotal = 0;
    for (const OldObject &o : objects) {
        if (o.isGraphic() || (withLists && o.isText())) {
            if (o.dataSize < 0)
                return false;
            (o.isGraphic() ? graphicTotal : listTotal) += o.dataSize;
        }
    }
    if (graphicTotal > r.remaining() || listTotal > r.remaining() - graphicTotal)
        return false;
    const char *graphics = r.data() + r.pos();
    const char *lists = graphics + graphicTotal;
    r.skip(graphicTotal + listTotal);

    records->reserve(objects.size());
    for (const OldObject &o : objects) {
        if (o.isGraphic()) {
            records->push_back(makeRecord(o, QByteArray(graphics, o.dataSize), {}));
            graphics += o.dataSize;
        } else if (o.isText()) {
            const bool hasList = withLists && o.dataSize > 0;
            records->push_back(makeRecord(o, {}, textStrings(o, lists, hasList ? o.dataSize : 0, withLists)));
            if (hasList)
                lists += o.dataSize;
        } else if (o.isShape()) {
            records->push_back(makeRecord(o, {}, {}));
        }
        // Other kind letters (the embedded objects of old designs among them) carry
        // nothing that could be shown and take no share of the data: they are left out.
    }
    return true;
}

// A Windows metafile's records behind a placeable header whose only fields are its key
// and checksum, turned into the enhanced metafile every kept metafile is.
plat::Picture metafileBackground(const QByteArray &records)
{
    QByteArray wmf;
    plat::LeWriter w(&wmf);
    w.u32(kPlaceableKey);
    w.zeros(16);
    uint16_t checksum = 0;
    for (int i = 0; i < 10; ++i)
        checksum ^= plat::getU16(wmf.constData() + 2 * i);
    w.u16(checksum);
    w.bytes(records);
    const QByteArray emf = plat::metafile::toEmf(wmf);
    if (emf.isEmpty())
        return {};
    return plat::Picture::metafile(emf);
}

void readMargins16(plat::LeReader &r, int32_t *m)
{
    for (int i = 0; i < 4; ++i)
        m[i] = r.i16();
}

// The layout a `.bco` file gets whatever it stored: a flat card with a printable back,
// the two reserved words cleared.
void finishBcoLayout(QByteArray &raw)
{
    std::memset(raw.data() + layout::LayoutRecord::Reserved1Off, 0, 8);
    raw[layout::LayoutRecord::RegionTypeOff] = 0;
    raw[layout::LayoutRecord::BackPrintableOff] = 1;
}

QByteArray nameField(const QByteArray &name)
{
    QByteArray raw(layout::LayoutRecord::kSize, '\0');
    std::memcpy(raw.data(), name.constData(), size_t(std::min<qsizetype>(name.size(), layout::LayoutRecord::kNameSize - 1)));
    return raw;
}

// Puts an import on the surface: margins, size, objects in stacking order, background.
void apply(model::TObjectManager &manager, const Imported &in, layout::LayoutRecord *layoutOut)
{
    layout::LayoutRecord layout;
    layout::LayoutRecord::fromBytes(in.layout.constData(), in.layout.size(), &layout);
    if (layoutOut)
        *layoutOut = layout;
    model::SurfaceModel *surface = manager.panel();
    surface->setMargins(in.margins[0], in.margins[1], in.margins[2], in.margins[3]);
    int w = 0, h = 0;
    layout::GetRegionInfo(0, 0, layout.Width(), layout.Height(), nullptr, &w, &h, nullptr, nullptr, nullptr);
    surface->setSize(QSize(w, h));
    for (const QByteArray &rec : in.records)
        if (model::TObjectData::checkRecord(rec.constData(), rec.size()) >= 0)
            manager.LoadObject(rec.constData(), 100);
    if (!in.background.isNull())
        surface->setBackground(in.background);
}

} // namespace

QString upperExtension(const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix();
    return suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix.toUpper();
}

bool isLegacyDesignName(const QString &fileName)
{
    const QString ext = upperExtension(fileName);
    return ext == QLatin1String(".BCO") || ext == QLatin1String(".BCD");
}

int importBcoStream(model::TObjectManager &manager, const QByteArray &stream, layout::LayoutRecord *layoutOut)
{
    plat::LeReader r(stream);
    if (stream.size() < kBcoHeaderSize)
        return ResultImportBadVersion;
    const uint32_t version = r.u32At(0);
    if (version < 450 || version > 550)
        return ResultImportBadVersion;
    const uint32_t count = r.u32At(4);
    const int32_t backgroundSize = r.i32At(16);
    const int32_t backgroundType = r.i32At(20);
    r.seek(kBcoHeaderSize);

    Imported in;
    for (int32_t &m : in.margins)
        m = r.i32();

    if (version >= 500) {
        in.layout = r.bytes(layout::LayoutRecord::kSize);
    } else {
        in.layout = nameField("Business Card");
        const QByteArray tail = r.bytes(kBcoOldLayoutSize);
        std::memcpy(in.layout.data() + layout::LayoutRecord::RowsOff, tail.constData(), size_t(tail.size()));
    }
    if (r.failed())
        return ResultImportBadVersion;
    finishBcoLayout(in.layout);

    // Every record must be there before any is looked at.
    if (int64_t(count) * kBcoRecordSize > r.remaining())
        return ResultImportBadVersion;
    std::vector<OldObject> objects(count);
    for (OldObject &o : objects) {
        const plat::LeReader rec(r.data() + r.pos(), kBcoRecordSize);
        const char *p = rec.data();
        o.kind = static_cast<char>(rec.u8At(0));
        o.text = fieldString(p + 1, 75);
        for (int i = 0; i < 3; ++i) {
            o.fg[i] = rec.u8At(76 + 4 * i);
            o.bg[i] = rec.u8At(88 + 4 * i);
        }
        o.logFont = QByteArray(p + 100, 60);
        o.gLeft = rec.i32At(160);
        o.gRight = rec.i32At(164);
        o.gTop = rec.i32At(168);
        o.gBottom = rec.i32At(172);
        o.x1 = rec.i32At(176);
        o.y1 = rec.i32At(180);
        o.x2 = rec.i32At(184);
        o.y2 = rec.i32At(188);
        o.lineSize = rec.u8At(192);
        o.dataSize = rec.i32At(196);
        o.style = rec.u32At(204);
        o.flags = rec.u32At(208);
        o.dx = static_cast<int8_t>(rec.u8At(216));
        o.dy = static_cast<int8_t>(rec.u8At(217));
        r.skip(kBcoRecordSize);
    }
    if (!convertObjects(r, objects, version >= 451, &in.records))
        return ResultImportBadVersion;

    if (backgroundType != 0 && backgroundSize != 0) {
        if (backgroundSize < 0 || backgroundSize > r.remaining())
            return ResultImportBadVersion;
        const QByteArray bytes = r.bytes(backgroundSize);
        if (backgroundType == 1)
            in.background = metafileBackground(bytes);
        else if (backgroundType == 2)
            in.background = plat::bmp::DibToBitmap(bytes);
    }

    apply(manager, in, layoutOut);
    return ResultOk;
}

int importBcdBytes(model::TObjectManager &manager, const QByteArray &bytes, layout::LayoutRecord *layoutOut)
{
    plat::LeReader r(bytes);
    if (bytes.size() < 2)
        return ResultImportBadVersion;
    const uint16_t version = r.u16At(0);
    if (version < 21 || version > 40)
        return ResultImportBadVersion;

    Imported in;
    int64_t count = 0;
    int recordSize = 0;
    if (version < 40) {
        if (bytes.size() < kBcdOldHeaderSize)
            return ResultImportError;
        count = r.i16At(2);
        if (count < 0)
            return ResultImportBadVersion;
        r.seek(kBcdOldHeaderSize);
        readMargins16(r, in.margins);
        in.layout = nameField("Business Card");
        layout::LayoutRecord l;
        layout::LayoutRecord::fromBytes(in.layout.constData(), in.layout.size(), &l);
        l.setRows(5);
        l.setColumns(2);
        l.setWidth(350);
        l.setHeight(200);
        l.setTopMargin(50);
        l.setLeftMargin(75);
        l.setBackPrintable(1);
        in.layout = l.toBytes();
        recordSize = kBcdOldRecordSize;
    } else {
        if (bytes.size() < kBcd40HeaderSize)
            return ResultImportError;
        count = r.u16At(2);
        r.seek(kBcd40HeaderSize);
        readMargins16(r, in.margins);
        const qsizetype block = r.pos();
        if (!r.skip(kBcd40LayoutSize))
            return ResultImportBadVersion;
        in.layout = nameField(fieldString(r.data() + block, layout::LayoutRecord::kNameSize));
        layout::LayoutRecord l;
        layout::LayoutRecord::fromBytes(in.layout.constData(), in.layout.size(), &l);
        const qsizetype v = block + layout::LayoutRecord::kNameSize;
        l.setRows(r.u16At(v));
        l.setColumns(r.u16At(v + 2));
        l.setWidth(r.u16At(v + 4));
        l.setHeight(r.u16At(v + 6));
        l.setTopMargin(r.u16At(v + 8));
        l.setLeftMargin(r.u16At(v + 10));
        l.setColumnSpace(r.u16At(v + 12));
        l.setRowSpace(r.u16At(v + 14));
        l.setBackPrintable(1);
        in.layout = l.toBytes();
        recordSize = kBcd40RecordSize;
    }
    if (r.failed())
        return ResultImportBadVersion;

    if (count * recordSize > r.remaining())
        return ResultImportBadVersion;
    std::vector<OldObject> objects(static_cast<size_t>(count));
    const bool v40 = version == 40;
    for (OldObject &o : objects) {
        const plat::LeReader rec(r.data() + r.pos(), recordSize);
        const char *p = rec.data();
        o.kind = static_cast<char>(rec.u8At(0));
        const int colours = v40 ? 76 : 51;
        o.text = fieldString(p + 1, colours - 1);
        for (int i = 0; i < 3; ++i) {
            o.fg[i] = rec.u8At(colours + 2 * i);
            o.bg[i] = rec.u8At(colours + 6 + 2 * i);
        }
        // The 16-bit LOGFONT: five 16-bit values, eight bytes, the face name.
        const int font = v40 ? 88 : 63;
        QByteArray lf;
        plat::LeWriter w(&lf);
        for (int i = 0; i < 5; ++i)
            w.i32(rec.i16At(font + 2 * i));
        w.bytes(p + font + 10, 8 + 32);
        o.logFont = lf;
        auto value = [&](int off) -> int64_t { return v40 ? int64_t(rec.u16At(off)) : int64_t(rec.i16At(off)); };
        const int rect = v40 ? 138 : 113;
        o.gLeft = value(rect);
        o.gRight = value(rect + 2);
        o.gTop = value(rect + 4);
        o.gBottom = value(rect + 6);
        o.x1 = value(rect + 8);
        o.y1 = value(rect + 10);
        o.x2 = value(rect + 12);
        o.y2 = value(rect + 14);
        o.lineSize = rec.u8At(v40 ? 154 : 131);
        o.dataSize = rec.i32At(v40 ? 156 : 133);
        o.style = uint32_t(v40 ? int32_t(rec.u16At(162)) : int32_t(rec.i16At(129)));
        o.flags = v40 ? rec.u16At(164) : 0;
        r.skip(recordSize);
    }
    if (!convertObjects(r, objects, false, &in.records))
        return ResultImportBadVersion;

    apply(manager, in, layoutOut);
    return ResultOk;
}

int importBcoFileBytes(model::TObjectManager &manager, const QByteArray &file, layout::LayoutRecord *layout)
{
    QByteArray stream;
    if (plat::readCompoundStreamFromBytes(file, QString::fromLatin1(kBcoStreamName), &stream) != plat::CompoundResult::Ok)
        return ResultImportError;
    return importBcoStream(manager, stream, layout);
}

int ImportLegacy(model::TObjectManager &manager, const QString &fileName, layout::LayoutRecord *layout,
                 QString *dataFileName, const QString &extension)
{
    if (dataFileName)
        dataFileName->clear();
    const bool bco = extension == QLatin1String(".BCO");
    if (!bco && extension != QLatin1String(".BCD"))
        return ResultImportUnsupported;
    try {
        if (bco) {
            QByteArray stream;
            if (plat::readCompoundStream(fileName, QString::fromLatin1(kBcoStreamName), &stream) != plat::CompoundResult::Ok)
                return ResultImportError;
            return importBcoStream(manager, stream, layout);
        }
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly))
            return ResultImportError;
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            return ResultImportError;
        return importBcdBytes(manager, bytes, layout);
    } catch (const std::bad_alloc &) {
        return ResultNoMemory;
    }
}

} // namespace files
