#include "model/TObjectData.h"

#include "model/SurfaceItem.h"
#include "model/SurfaceModel.h"
#include "platform/Ansi.h"
#include "platform/ByteIO.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace model {

int unitsToPixels(int64_t units, int zoom)
{
    return static_cast<int>(units * zoom / 100);
}

int pixelsToUnits(int64_t pixels, int zoom)
{
    if (zoom == 0)
        return 0;
    return static_cast<int>(pixels * 100 / zoom);
}

TObjectData::TObjectData(SurfaceItem *control, char kind) : Control(control), Kind(kind)
{
    if (kind == ObjectKind::Text) {
        Font = plat::LogFont::fromPoints(QStringLiteral("Arial"), 12);
        Lines = QStringList{QStringLiteral("Text")};
        TextStyle = 1;
    }
}

qsizetype TObjectData::checkRecord(const char *record, qsizetype available)
{
    plat::LeReader r(record, available);
    if (!r.has(0, Rec::HeadSize))
        return -1;
    const uint32_t dataSize = r.u32At(Rec::DataSize);
    if (int64_t(dataSize) > int64_t(available) - Rec::HeadSize)
        return -1;
    const char kind = static_cast<char>(r.u8At(Rec::Kind));
    const char dataKind = static_cast<char>(r.u8At(Rec::DataKind));
    switch (kind) {
    case ObjectKind::Text: case ObjectKind::Graphic: case ObjectKind::Line: case ObjectKind::Box:
    case ObjectKind::RoundBox: case ObjectKind::Ellipse: case ObjectKind::Embedded:
        break;
    default:
        return -1;
    }
    if (kind == ObjectKind::Graphic && (dataSize == 0 || (dataKind != 'B' && dataKind != 'M')))
        return -1;
    if (kind == ObjectKind::Text && dataSize > 0) {
        // The strings must end inside the data: the last byte of the data is a zero.
        if (record[Rec::HeadSize + dataSize - 1] != '\0')
            return -1;
    }
    return Rec::HeadSize + qsizetype(dataSize);
}

TObjectData::TObjectData(SurfaceItem *control, const char *record, int zoom, bool keepInView)
    : Control(control)
{
    plat::LeReader r(record, Rec::HeadSize);
    const int left = r.i32At(Rec::Left), top = r.i32At(Rec::Top);
    const int height = r.i32At(Rec::Height), width = r.i32At(Rec::Width);
    if (Control) {
        int x = unitsToPixels(left, zoom), y = unitsToPixels(top, zoom);
        const int w = unitsToPixels(width, zoom), h = unitsToPixels(height, zoom);
        if (keepInView && Control->surface()) {
            // 64-bit, so hostile sizes cannot overflow; setBounds clamps the result.
            const int64_t W = Control->surface()->width(), H = Control->surface()->height();
            if (x > W - 5)
                x = static_cast<int>(std::clamp<int64_t>(W - w - 25, INT32_MIN / 2, INT32_MAX / 2));
            if (y > H - 5)
                y = static_cast<int>(std::clamp<int64_t>(H - h - 25, INT32_MIN / 2, INT32_MAX / 2));
        }
        Control->setBounds(x, y, w, h);
    }
    Kind = static_cast<char>(r.u8At(Rec::Kind));
    Flags = r.u32At(Rec::Flags);
    Style = r.i32At(Rec::Style);
    ColorFG = r.u32At(Rec::ColorFG);
    ColorBG = r.u32At(Rec::ColorBG);
    LineSize = static_cast<int8_t>(r.u8At(Rec::LineSize));
    Reserved = static_cast<int8_t>(r.u8At(Rec::Reserved));
    LineType = static_cast<int8_t>(r.u8At(Rec::LineType));
    TextStyle = r.u32At(Rec::TextStyle);
    ShadowDX = static_cast<int8_t>(r.u8At(Rec::ShadowDX));
    ShadowDY = static_cast<int8_t>(r.u8At(Rec::ShadowDY));

    const uint32_t dataSize = r.u32At(Rec::DataSize);
    const char dataKind = static_cast<char>(r.u8At(Rec::DataKind));
    const char *data = record + Rec::HeadSize;

    switch (Kind) {
    case ObjectKind::Graphic:
        if (Control) {
            const QByteArray bytes(data, dataSize);
            if (dataKind == 'B')
                Control->setPicture(plat::Picture::bitmap(bytes));
            else if (dataKind == 'M')
                Control->setPicture(plat::Picture::metafile(bytes));
            else
                Control->setPicture(plat::Picture());
        }
        break;
    case ObjectKind::Embedded:
        EmbeddedData = QByteArray(data, dataSize);
        EmbeddedHead = QByteArray(record, Rec::HeadSize);
        break;
    case ObjectKind::Text: {
        Font = plat::LogFont::fromBytes(record + Rec::LogFont, plat::LogFont::kSize);
        Rotation = Font->escapement;
        Lines.clear();
        // Strings start at offset 0 while the offset is below DataSize - 1.
        int64_t off = 0;
        while (off < int64_t(dataSize) - 1) {
            const char *s = data + off;
            const size_t maxLen = size_t(dataSize - off);
            const void *zero = std::memchr(s, 0, maxLen);
            const size_t len = zero ? size_t(static_cast<const char *>(zero) - s) : maxLen;
            Lines.append(plat::fromAnsi(s, qsizetype(len)));
            off += int64_t(len) + 1;
        }
        break;
    }
    default:
        break;
    }
}

bool TObjectData::isShape() const
{
    return Kind == ObjectKind::Line || Kind == ObjectKind::Box || Kind == ObjectKind::RoundBox
           || Kind == ObjectKind::Ellipse;
}

QByteArray TObjectData::variableData(char *dataKind) const
{
    *dataKind = 0;
    switch (Kind) {
    case ObjectKind::Graphic:
        if (Control && !Control->picture().isNull()) {
            *dataKind = Control->picture().isBitmap() ? 'B' : 'M';
            return Control->picture().bytes();
        }
        return {};
    case ObjectKind::Embedded:
        *dataKind = 'O';
        return EmbeddedData;
    case ObjectKind::Text: {
        QByteArray out;
        for (const QString &s : Lines) {
            // A zero inside a string would end it early on reading; drop such bytes.
            QByteArray b = plat::toAnsi(s);
            b.replace('\0', QByteArray());
            out.append(b);
            out.append('\0');
        }
        out.append('\0');
        *dataKind = 'T';
        return out;
    }
    default:
        return {};
    }
}

int TObjectData::RecordSize() const
{
    char dk = 0;
    return Rec::HeadSize + int(variableData(&dk).size());
}

int TObjectData::WriteRecord(char *buffer, int zoom) const
{
    if (Kind == ObjectKind::Embedded && EmbeddedHead.size() == Rec::HeadSize)
        std::memcpy(buffer, EmbeddedHead.constData(), Rec::HeadSize);
    else
        std::memset(buffer, 0, Rec::HeadSize);
    buffer[Rec::Kind] = Kind;
    if (Control) {
        plat::putU32(buffer + Rec::Left, uint32_t(pixelsToUnits(Control->left(), zoom)));
        plat::putU32(buffer + Rec::Top, uint32_t(pixelsToUnits(Control->top(), zoom)));
        plat::putU32(buffer + Rec::Width, uint32_t(pixelsToUnits(Control->width(), zoom)));
        plat::putU32(buffer + Rec::Height, uint32_t(pixelsToUnits(Control->height(), zoom)));
    }
    plat::putU32(buffer + Rec::Flags, Flags);
    plat::putU32(buffer + Rec::Style, uint32_t(Style));
    plat::putU32(buffer + Rec::ColorFG, ColorFG);
    plat::putU32(buffer + Rec::ColorBG, ColorBG);
    buffer[Rec::LineSize] = static_cast<char>(LineSize & 0xFF);
    buffer[Rec::Reserved] = static_cast<char>(Reserved & 0xFF);
    buffer[Rec::LineType] = static_cast<char>(LineType & 0xFF);
    if (Kind == ObjectKind::Text) {
        plat::LogFont lf = Font.value_or(plat::LogFont::fromPoints(QStringLiteral("Arial"), 12));
        lf.escapement = Rotation;
        lf.orientation = Rotation;
        lf.writeTo(buffer + Rec::LogFont);
        plat::putU32(buffer + Rec::TextStyle, TextStyle);
        buffer[Rec::ShadowDX] = static_cast<char>(ShadowDX);
        buffer[Rec::ShadowDY] = static_cast<char>(ShadowDY);
    }
    char dataKind = 0;
    const QByteArray data = variableData(&dataKind);
    plat::putU32(buffer + Rec::DataSize, uint32_t(data.size()));
    if (Kind != ObjectKind::Embedded || EmbeddedHead.size() != Rec::HeadSize)
        buffer[Rec::DataKind] = dataKind;
    if (!data.isEmpty())
        std::memcpy(buffer + Rec::HeadSize, data.constData(), size_t(data.size()));
    return Rec::HeadSize + int(data.size());
}

QByteArray TObjectData::toRecord(int zoom) const
{
    QByteArray out(RecordSize(), '\0');
    WriteRecord(out.data(), zoom);
    return out;
}

} // namespace model
