#include "editing/PropertyRules.h"

#include "model/SurfaceItem.h"
#include "model/SurfaceModel.h"
#include "model/TObjectData.h"
#include "platform/bmp/BmpCodec.h"
#include "platform/bmp/Dib.h"
#include "platform/metafile/Metafile.h"
#include "pictures/PictureHelpers.h"
#include "vardata/TextSource.h"

#include <cmath>
#include <limits>

namespace editing {

QRect SelectionFrame(const QRect &b)
{
    return QRect(b.x() - 2, b.y() - 2, b.width() + 5, b.height() + 5);
}

// The zoom factor is formed in single precision (zoom and 0.01 as floats), as the designs
// this program reads were measured with: at zoom 27 it is a little below 0.27, so 100
// units give 26 pixels; at zoom 109 a little above 1.09, so 109 pixels show as 99; at 100
// it is exactly 1.
static double zoomFactor(int zoom)
{
    const float factor = float(zoom) * 0.01f;
    return double(factor);
}

int FrameUnits(int pixels, int zoom)
{
    const double factor = zoomFactor(zoom);
    if (factor <= 0)
        return 0;
    const double v = std::trunc(pixels / factor);
    if (v >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (v <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return int(v);
}

int FramePixels(long long units, int zoom)
{
    const double factor = zoomFactor(zoom);
    const double v = std::trunc(double(units) * factor);
    // Values far outside the surface are clamped rather than overflowing.
    constexpr double kLimit = 1 << 24;
    if (v > kLimit)
        return int(kLimit);
    if (v < -kLimit)
        return -int(kLimit);
    return int(v);
}

QString ColorDepthText(int bits, int *tableEntries, int *namedBits)
{
    int t = 0, b = 0;
    QString text;
    switch (bits) {
    case 1: b = 1; t = 2; text = QStringLiteral("1 bit (2 color)"); break;
    case 4: b = 4; t = 16; text = QStringLiteral("4 bit (16 colors)"); break;
    case 8: b = 8; t = 256; text = QStringLiteral("8 bit (256 Colors)"); break;
    case 15:
    case 16: b = 16; text = QStringLiteral("16 bit (HiColor)"); break;
    case 24: b = 24; text = QStringLiteral("24 bit (16 Million Colors)"); break;
    case 32: b = 32; text = QStringLiteral("32 bit (True Color)"); break;
    default: break;
    }
    if (tableEntries)
        *tableEntries = t;
    if (namedBits)
        *namedBits = b;
    return text;
}

PictureDescription DescribePicture(const plat::Picture &picture)
{
    PictureDescription d;
    if (picture.isNull())
        return d;
    if (picture.isBitmap()) {
        d.type = QStringLiteral("Bitmap (BMP)");
        d.bitmap = true;
        const QByteArray dib = plat::bmp::BitmapToDib(picture);
        plat::bmp::DibHeader h;
        if (!dib.isEmpty() && plat::bmp::parseDibHeader(dib.constData(), dib.size(), h)) {
            int t = 0, b = 0;
            d.colorDepth = ColorDepthText(h.bitCount, &t, &b);
            if (b != 0) {
                const int64_t size = ((int64_t(b) * h.width + 31) / 32) * 4 * int64_t(h.height) + t * 4 + 40;
                d.storeSize = QString::number(size) + QStringLiteral(" bytes");
            }
            d.size = QStringLiteral("%1 x %2").arg(h.width).arg(h.height);
        }
        return d;
    }
    const auto kind = plat::metafile::detectKind(picture.bytes());
    d.type = kind == plat::metafile::Kind::Emf ? QStringLiteral("Enhanced Metafile (EMF)")
                                               : QStringLiteral("Windows Metafile (WMF)");
    const QSize s = pictures::pictureSize(picture);
    d.size = QStringLiteral("%1 x %2").arg(s.width()).arg(s.height());
    return d;
}

int ThreeWayIndex(int32_t style)
{
    return style == 2 ? 2 : style == 1 ? 1 : 0;
}

namespace {

// The frame's SetBounds for one object: every edge of the object follows the frame's move
// and growth.
void setFrame(model::SurfaceItem *item, const QRect &newFrame)
{
    const QRect frame = SelectionFrame(item->bounds());
    item->setBounds(item->left() + newFrame.x() - frame.x(), item->top() + newFrame.y() - frame.y(),
                    item->width() + newFrame.width() - frame.width(),
                    item->height() + newFrame.height() - frame.height());
}

bool wholeNumber(const QString &text, long long *v)
{
    return vardata::ParseWholeNumber(text, v);
}

} // namespace

void ApplyFieldsToItem(model::SurfaceItem *item, const PropertyFields &f, int zoom)
{
    model::TObjectData *data = item ? item->data() : nullptr;
    if (!data)
        return;

    // The frame is locked as the object was when it was selected.
    if (!data->locked()) {
        const QString *edits[4] = {&f.left, &f.top, &f.width, &f.height};
        for (int i = 0; i < 4; ++i) {
            long long v = 0;
            if (!wholeNumber(*edits[i], &v))
                continue;
            QRect frame = SelectionFrame(item->bounds());
            const int px = FramePixels(v, zoom);
            switch (i) {
            case 0: frame.moveLeft(px); break;
            case 1: frame.moveTop(px); break;
            case 2: frame.setWidth(px); break;
            case 3: frame.setHeight(px); break;
            }
            setFrame(item, frame);
        }
    }
    data->Flags = (f.nonPrinting ? model::ObjectFlag::NonPrinting : 0u) | (f.locked ? model::ObjectFlag::Locked : 0u);

    if (data->isText()) {
        data->Lines = f.lines;
        plat::LogFont font = data->Font.value_or(plat::LogFont::fromPoints(QStringLiteral("Arial"), 12));
        if (!f.fontFace.isEmpty())
            font.setFace(f.fontFace);
        long long points = 0;
        if (wholeNumber(f.fontSize, &points) && points > -100000 && points < 100000)
            font.height = plat::LogFont::fromPoints(QString(), int(points)).height;
        data->ColorFG = f.textColor;
        data->ColorBG = f.shadowColor;
        data->ShadowDX = int8_t(f.shadowDXIndex - 10);
        data->ShadowDY = int8_t(f.shadowDYIndex - 10);
        long long degrees = 0;
        if (wholeNumber(f.rotation, &degrees) && degrees > -214748364 && degrees < 214748364)
            data->Rotation = int32_t(degrees * 10);
        data->TextStyle = f.textStyle;
        font.weight = f.bold ? 700 : 400;
        font.italic = f.italic ? 1 : 0;
        font.underline = f.underline ? 1 : 0;
        font.strikeOut = f.strikeOut ? 1 : 0;
        data->Font = font;
        data->Style = ThreeWayIndex(f.justification);
    } else if (data->isShape()) {
        if (data->Kind == model::ObjectKind::Line)
            data->LineType = f.lineType;
        else
            data->Style = ThreeWayIndex(f.shapeStyle);
        data->LineSize = f.lineSizeIndex + 1;
        data->ColorFG = f.shapeColor;
        data->ColorBG = f.shapeBackground;
    }
    if (item->surface())
        item->surface()->notifyItemChanged(item);
}

} // namespace editing
