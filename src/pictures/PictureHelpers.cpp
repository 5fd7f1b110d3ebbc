#include "pictures/PictureHelpers.h"

#include "platform/bmp/BmpCodec.h"
#include "platform/bmp/Dib.h"
#include "platform/gdi/PainterCanvas.h"
#include "platform/imaging/Imaging.h"
#include "platform/metafile/Metafile.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>

namespace pictures {

namespace {

QByteArray readWholeFile(const QString &fileName)
{
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

// Decodes a bitmap picture with its header, so an edit can write it back at its depth.
bool decodeBitmap(const plat::Picture &bitmap, QImage &image, plat::bmp::DibHeader &header)
{
    if (!bitmap.isBitmap())
        return false;
    const QByteArray dib = plat::bmp::BitmapToDib(bitmap);
    if (dib.isEmpty() || !plat::bmp::parseDibHeader(dib.constData(), dib.size(), header))
        return false;
    image = plat::bmp::decodeDib(dib);
    return !image.isNull();
}

plat::Picture encodeLike(const QImage &image, const plat::bmp::DibHeader &h)
{
    const bool r565 = h.bitCount == 16 && h.compression == plat::bmp::BI_BITFIELDS && h.masks[1] == 0x07E0;
    QByteArray dib = plat::bmp::encodeDib(image, h.bitCount, r565 ? plat::bmp::Rgb16::R565 : plat::bmp::Rgb16::X555,
                                          h.topDown);
    if (dib.isEmpty())
        return {};
    return plat::bmp::DibToBitmap(std::move(dib));
}

} // namespace

plat::Picture LoadPicture(const QString &fileName, bool reduceColors)
{
    const QString ext = QLatin1Char('.') + QFileInfo(fileName).suffix().toUpper();
    static const QStringList accepted = {QStringLiteral(".BMP"), QStringLiteral(".PCX"), QStringLiteral(".JPG"),
                                         QStringLiteral(".PNG"), QStringLiteral(".GIF"), QStringLiteral(".TIF"),
                                         QStringLiteral(".WMF"), QStringLiteral(".EMF")};
    if (!accepted.contains(ext))
        return {};
    const QByteArray bytes = readWholeFile(fileName);
    if (bytes.isEmpty())
        return {};
    if (ext == QLatin1String(".WMF") || ext == QLatin1String(".EMF")) {
        QByteArray emf = plat::metafile::toEmf(bytes);
        if (emf.isEmpty())
            return {};
        return plat::Picture::metafile(std::move(emf));
    }
    plat::imaging::FileInfo info;
    if (!plat::imaging::fileInfo(bytes, info))
        return {};
    switch (info.format) {
    case plat::imaging::ImageFormat::Tiff:
    case plat::imaging::ImageFormat::Pcx:
    case plat::imaging::ImageFormat::Png:
    case plat::imaging::ImageFormat::Jpeg:
    case plat::imaging::ImageFormat::Bmp:
    case plat::imaging::ImageFormat::Gif:
        break;
    default:
        return {}; // a metafile or anything else under a bitmap's name
    }
    QByteArray dib = plat::imaging::readDib(bytes, info.formatName, plat::imaging::requestedBitDepth(info, reduceColors));
    if (dib.isEmpty())
        return {};
    return plat::bmp::DibToBitmap(std::move(dib));
}

plat::Picture RotateBitmap(const plat::Picture &bitmap)
{
    QByteArray dib = plat::bmp::BitmapToDib(bitmap);
    if (dib.isEmpty() || !plat::imaging::RotateDib90(dib, 0))
        return {};
    return plat::bmp::DibToBitmap(std::move(dib));
}

plat::Picture MirrorVertical(const plat::Picture &bitmap)
{
    QImage img;
    plat::bmp::DibHeader h;
    if (!decodeBitmap(bitmap, img, h))
        return {};
    return encodeLike(img.mirrored(true, false), h);
}

plat::Picture MirrorHorizontal(const plat::Picture &bitmap)
{
    QImage img;
    plat::bmp::DibHeader h;
    if (!decodeBitmap(bitmap, img, h))
        return {};
    return encodeLike(img.mirrored(false, true), h);
}

plat::Picture CropBitmap(const plat::Picture &bitmap, const QRect &part)
{
    QImage img;
    plat::bmp::DibHeader h;
    if (!decodeBitmap(bitmap, img, h))
        return {};
    const QRect cut = part.intersected(img.rect());
    if (cut.isEmpty())
        return {};
    return encodeLike(img.copy(cut), h);
}

QRect cropRectFromView(const QRect &cropRect, QSize viewSize, QSize bitmapSize)
{
    if (viewSize.width() <= 0 || viewSize.height() <= 0)
        return {};
    const double sx = double(bitmapSize.width()) / viewSize.width();
    const double sy = double(bitmapSize.height()) / viewSize.height();
    return QRect(int((cropRect.left() - 4) * sx), int((cropRect.top() - 4) * sy), int(cropRect.width() * sx),
                 int(cropRect.height() * sy));
}

QSize pictureSize(const plat::Picture &picture)
{
    if (picture.isBitmap()) {
        plat::bmp::DibInfo info;
        if (!plat::bmp::GetDibInfo(plat::bmp::BitmapToDib(picture), info))
            return {};
        return QSize(info.width, info.height);
    }
    if (picture.isMetafile())
        return plat::metafile::naturalSize(picture.bytes());
    return {};
}

QImage decodePicture(const plat::Picture &picture)
{
    if (picture.isBitmap())
        return plat::bmp::decodeBmpFile(picture.bytes());
    if (!picture.isMetafile())
        return {};
    const QSize size = pictureSize(picture);
    if (size.isEmpty() || qint64(size.width()) * size.height() > (qint64(1) << 26))
        return {};
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return {};
    image.fill(Qt::transparent);
    bool ok = false;
    {
        QPainter painter(&image);
        gdi::PainterCanvas canvas(painter);
        ok = plat::metafile::playMetafile(canvas, picture.bytes(), QRectF(QPointF(0, 0), QSizeF(size)));
    }
    return ok ? image : QImage();
}

bool drawPicture(gdi::Canvas &canvas, const plat::Picture &picture, const QRect &dest)
{
    if (picture.isBitmap()) {
        const QImage image = plat::bmp::decodeBmpFile(picture.bytes());
        if (image.isNull())
            return false;
        canvas.stretchDIBits(dest, image.rect(), image, gdi::RasterOp::SrcCopy);
        return true;
    }
    if (picture.isMetafile())
        return plat::metafile::playMetafile(canvas, picture.bytes(), QRectF(dest));
    return false;
}

} // namespace pictures
