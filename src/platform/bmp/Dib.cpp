#include "platform/bmp/Dib.h"

#include "platform/bmp/BmpCodec.h"

namespace plat::bmp {

QByteArray BitmapToDib(const Picture &bitmap)
{
    if (!bitmap.isBitmap())
        return {};
    return bmpFileToDib(bitmap.bytes());
}

Picture DibToBitmap(QByteArray dib)
{
    if (decodeDib(dib).isNull())
        return {};
    QByteArray file = dibToBmpFile(dib);
    if (file.isEmpty())
        return {};
    return Picture::bitmap(std::move(file));
}

bool GetDibInfo(const QByteArray &dib, DibInfo &info)
{
    DibHeader h;
    if (!parseDibHeader(dib.constData(), dib.size(), h))
        return false;
    info.width = h.width;
    info.height = h.height;
    info.colors = h.bitCount == 1 ? 2 : h.bitCount == 4 ? 16 : h.bitCount == 8 ? 256 : 0;
    info.size = qsizetype(h.stride() * h.height + info.colors * 4 + kInfoHeaderSize);
    return true;
}

std::optional<QVector<QRgb>> DibPalette(const QByteArray &dib)
{
    DibHeader h;
    if (!parseDibHeader(dib.constData(), dib.size(), h) || h.colorEntries == 0)
        return std::nullopt;
    QVector<QRgb> pal;
    pal.reserve(h.colorEntries);
    const auto *p = reinterpret_cast<const uchar *>(dib.constData());
    for (int i = 0; i < h.colorEntries; ++i) {
        const qsizetype o = h.colorTableOffset + qsizetype(i) * h.colorEntrySize;
        pal.append(qRgb(p[o + 2], p[o + 1], p[o])); // stored blue, green, red
    }
    return pal;
}

std::optional<QVector<QRgb>> CreateDibPalette(const gdi::Canvas &, const QByteArray &)
{
    return std::nullopt;
}

bool DrawDib(gdi::Canvas &canvas, const QByteArray &dib, int x, int y, int width, int height,
             const std::optional<QVector<QRgb>> &, bool)
{
    const QImage image = decodeDib(dib);
    if (image.isNull())
        return false;
    canvas.stretchDIBits(QRect(x, y, width, height), image.rect(), image, gdi::RasterOp::SrcCopy);
    return true;
}

} // namespace plat::bmp
