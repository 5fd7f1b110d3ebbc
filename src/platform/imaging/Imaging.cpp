#include "platform/imaging/Imaging.h"

#include "platform/ByteIO.h"
#include "platform/bmp/BmpCodec.h"
#include "platform/imaging/PcxReader.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPainter>

namespace plat::imaging {

namespace {

// Reads TIFF's first directory for size, bits per sample, samples per pixel and the
// photometric interpretation. Every offset is checked.
bool tiffInfo(const QByteArray &b, FileInfo &info)
{
    const bool big = b.startsWith("MM");
    const auto *p = reinterpret_cast<const uchar *>(b.constData());
    const qsizetype n = b.size();
    auto u16 = [&](qsizetype o) -> uint32_t {
        if (o < 0 || o + 2 > n)
            return 0;
        return big ? (uint32_t(p[o]) << 8 | p[o + 1]) : (uint32_t(p[o + 1]) << 8 | p[o]);
    };
    auto u32 = [&](qsizetype o) -> uint32_t {
        if (o < 0 || o + 4 > n)
            return 0;
        return big ? (uint32_t(p[o]) << 24 | uint32_t(p[o + 1]) << 16 | uint32_t(p[o + 2]) << 8 | p[o + 3])
                   : (uint32_t(p[o + 3]) << 24 | uint32_t(p[o + 2]) << 16 | uint32_t(p[o + 1]) << 8 | p[o]);
    };
    const qsizetype ifd = u32(4);
    if (ifd < 8 || ifd + 2 > n)
        return false;
    const uint32_t count = u16(ifd);
    if (ifd + 2 + qsizetype(count) * 12 > n)
        return false;
    uint32_t bps = 1, spp = 1, photometric = 1;
    for (uint32_t i = 0; i < count; ++i) {
        const qsizetype e = ifd + 2 + qsizetype(i) * 12;
        const uint32_t tag = u16(e), type = u16(e + 2), cnt = u32(e + 4);
        auto value = [&]() -> uint32_t { return type == 3 ? u16(e + 8) : u32(e + 8); };
        switch (tag) {
        case 256: info.width = int(value()); break;
        case 257: info.height = int(value()); break;
        case 258:
            bps = (cnt <= (type == 3 ? 2u : 1u)) ? value() : (type == 3 ? u16(u32(e + 8)) : u32(u32(e + 8)));
            break;
        case 262: photometric = value(); break;
        case 277: spp = value(); break;
        default: break;
        }
    }
    if (bps == 0 || bps > 32 || spp == 0 || spp > 8)
        return false;
    info.bitDepth = int(bps * spp);
    info.colorMapped = photometric == 3 ? 1 : 0;
    return true;
}

bool jpegInfo(const QByteArray &b, FileInfo &info)
{
    const auto *p = reinterpret_cast<const uchar *>(b.constData());
    const qsizetype n = b.size();
    qsizetype i = 2;
    while (i + 4 <= n) {
        if (p[i] != 0xFF)
            return false;
        const int m = p[i + 1];
        if (m == 0xFF) { // fill byte
            ++i;
            continue;
        }
        if (m == 0xD8 || m == 0x01 || (m >= 0xD0 && m <= 0xD7)) {
            i += 2;
            continue;
        }
        const qsizetype len = (qsizetype(p[i + 2]) << 8) | p[i + 3];
        if (len < 2)
            return false;
        const bool sof = m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
        if (sof) {
            if (i + 10 > n)
                return false;
            const int precision = p[i + 4];
            info.height = (p[i + 5] << 8) | p[i + 6];
            info.width = (p[i + 7] << 8) | p[i + 8];
            info.bitDepth = precision * p[i + 9];
            return info.bitDepth > 0;
        }
        if (m == 0xDA || m == 0xD9)
            return false;
        i += 2 + len;
    }
    return false;
}

int dibDepthFor(int bitDepth)
{
    if (bitDepth <= 1)
        return 1;
    if (bitDepth <= 4)
        return 4;
    if (bitDepth <= 8)
        return 8;
    if (bitDepth <= 24 || bitDepth == 48)
        return 24;
    return 32;
}

// Puts transparent and half-transparent pixels on white; indexed images keep their
// indexes (only the table changes).
QImage onWhite(const QImage &image)
{
    if (!image.hasAlphaChannel())
        return image;
    if (image.format() == QImage::Format_Indexed8) {
        QImage out = image;
        QVector<QRgb> table = out.colorTable();
        for (QRgb &c : table) {
            const int a = qAlpha(c);
            c = qRgb((qRed(c) * a + 255 * (255 - a)) / 255, (qGreen(c) * a + 255 * (255 - a)) / 255,
                     (qBlue(c) * a + 255 * (255 - a)) / 255);
        }
        out.setColorTable(table);
        return out;
    }
    QImage out(image.size(), QImage::Format_RGB32);
    if (out.isNull())
        return {};
    out.fill(Qt::white);
    QPainter painter(&out);
    painter.drawImage(0, 0, image);
    painter.end();
    return out;
}

} // namespace

bool fileInfo(const QByteArray &bytes, FileInfo &info)
{
    info = FileInfo{};
    info.format = detectFormat(bytes.left(128));
    info.formatName = formatName(info.format);
    LeReader r(bytes);
    switch (info.format) {
    case ImageFormat::Bmp: {
        bmp::DibHeader h;
        if (!bmp::parseDibHeader(bytes.constData() + 14, bytes.size() - 14, h))
            return false;
        info.width = h.width;
        info.height = h.height;
        info.bitDepth = h.bitCount;
        info.colorMapped = h.bitCount <= 8 ? 1 : 0;
        return true;
    }
    case ImageFormat::Png: {
        if (!r.has(0, 33))
            return false;
        const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
        info.width = int((uint32_t(p[16]) << 24) | (p[17] << 16) | (p[18] << 8) | p[19]);
        info.height = int((uint32_t(p[20]) << 24) | (p[21] << 16) | (p[22] << 8) | p[23]);
        const int depth = p[24], type = p[25];
        const int channels = type == 0 ? 1 : type == 2 ? 3 : type == 3 ? 1 : type == 4 ? 2 : type == 6 ? 4 : 0;
        if (!channels || !depth)
            return false;
        info.bitDepth = depth * channels;
        info.colorMapped = type == 3 ? 1 : 0;
        return true;
    }
    case ImageFormat::Jpeg:
        return jpegInfo(bytes, info);
    case ImageFormat::Gif:
        if (!r.has(0, 13))
            return false;
        info.width = r.u16At(6);
        info.height = r.u16At(8);
        info.bitDepth = 8;
        info.colorMapped = 1;
        return true;
    case ImageFormat::Tiff:
        return tiffInfo(bytes, info);
    case ImageFormat::Pcx: {
        info.width = r.u16At(8) - r.u16At(4) + 1;
        info.height = r.u16At(10) - r.u16At(6) + 1;
        info.bitDepth = pcxBitDepth(bytes);
        info.colorMapped = r.u8At(65) == 3 || r.u8At(65) == 4 ? 0 : 1;
        return info.width > 0 && info.height > 0 && info.bitDepth > 0;
    }
    case ImageFormat::PlaceableWmf:
    case ImageFormat::Wmf:
    case ImageFormat::Emf:
        return true; // metafiles have no bit depth
    case ImageFormat::Unknown:
        break;
    }
    return false;
}

bool fileInfo(const QString &path, FileInfo &info)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    return fileInfo(f.readAll(), info);
}

int requestedBitDepth(const FileInfo &info, bool reduce)
{
    if (reduce && info.colorMapped == 0)
        return 8;
    return info.bitDepth;
}

QByteArray readDib(const QByteArray &bytes, const QString &formatName, int bitDepth, QString *error)
{
    const QString name = formatName.toUpper();
    const int depth = dibDepthFor(bitDepth);
    QImage image;
    if (name == QLatin1String("BMP")) {
        bmp::DibHeader h;
        const QByteArray dib = bmp::bmpFileToDib(bytes);
        if (dib.isEmpty()) {
            if (error)
                *error = QStringLiteral("not a readable bitmap");
            return {};
        }
        if (bmp::parseDibHeader(dib.constData(), dib.size(), h) && h.bitCount == depth)
            return dib; // already what was asked for: keep the file's own encoding
        image = bmp::decodeDib(dib, error);
    } else if (name == QLatin1String("PCX")) {
        image = readPcx(bytes, error);
    } else if (name == QLatin1String("JPEG") || name == QLatin1String("PNG") || name == QLatin1String("GIF")
               || name == QLatin1String("TIFF")) {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, name.toLower().toLatin1());
        reader.setDecideFormatFromContent(false);
        image = reader.read(); // the first frame of animated pictures
        if (image.isNull() && error)
            *error = reader.errorString();
    } else {
        if (error)
            *error = QStringLiteral("format %1 is not read").arg(formatName);
        return {};
    }
    if (image.isNull())
        return {};
    if (image.format() == QImage::Format_Mono || image.format() == QImage::Format_MonoLSB)
        image = image.convertToFormat(QImage::Format_Indexed8);
    image = onWhite(image);
    if (image.isNull())
        return {};
    if (depth == 8)
        image = reduceTo256Colors(image);
    return bmp::encodeDib(image, depth);
}

QImage reduceTo256Colors(const QImage &image)
{
    if (image.format() == QImage::Format_Indexed8)
        return image;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    return rgb.convertToFormat(QImage::Format_Indexed8, Qt::AutoColor | Qt::DiffuseDither);
}

QImage rotateQuarter(const QImage &image, bool clockwise)
{
    if (image.isNull())
        return {};
    const bool indexed = image.format() == QImage::Format_Indexed8;
    const QImage src = indexed ? image
                               : image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                                               : QImage::Format_RGB32);
    const int w = src.width(), h = src.height();
    QImage out(h, w, src.format());
    if (out.isNull())
        return {};
    if (indexed)
        out.setColorTable(src.colorTable());
    out.setDotsPerMeterX(src.dotsPerMeterY());
    out.setDotsPerMeterY(src.dotsPerMeterX());
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            // Clockwise: (x, y) goes to (h-1-y, x); counter-clockwise to (y, w-1-x).
            const int nx = clockwise ? h - 1 - y : y;
            const int ny = clockwise ? x : w - 1 - x;
            if (indexed)
                out.scanLine(ny)[nx] = src.constScanLine(y)[x];
            else
                reinterpret_cast<QRgb *>(out.scanLine(ny))[nx] = reinterpret_cast<const QRgb *>(src.constScanLine(y))[x];
        }
    }
    return out;
}

bool RotateDib90(QByteArray &dib, int direction)
{
    bmp::DibHeader h;
    if (!bmp::parseDibHeader(dib.constData(), dib.size(), h))
        return false;
    const QImage image = bmp::decodeDib(dib);
    if (image.isNull())
        return false;
    const QImage turned = rotateQuarter(image, direction == 0);
    if (turned.isNull())
        return false;
    const bool r565 = h.bitCount == 16 && h.compression == bmp::BI_BITFIELDS && h.masks[1] == 0x07E0;
    QByteArray out = bmp::encodeDib(turned, h.bitCount, r565 ? bmp::Rgb16::R565 : bmp::Rgb16::X555, h.topDown);
    if (out.isEmpty())
        return false;
    dib = std::move(out);
    return true;
}

} // namespace plat::imaging
