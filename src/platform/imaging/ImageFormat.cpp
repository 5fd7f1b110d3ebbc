#include "platform/imaging/ImageFormat.h"

#include "platform/ByteIO.h"

namespace plat::imaging {

ImageFormat detectFormat(const QByteArray &head)
{
    LeReader r(head);
    auto startsWith = [&](const char *magic, qsizetype n) {
        return head.size() >= n && std::memcmp(head.constData(), magic, size_t(n)) == 0;
    };
    if (startsWith("\x89PNG\r\n\x1a\n", 8))
        return ImageFormat::Png;
    if (startsWith("\xFF\xD8\xFF", 3))
        return ImageFormat::Jpeg;
    if (startsWith("GIF87a", 6) || startsWith("GIF89a", 6))
        return ImageFormat::Gif;
    if (startsWith("II*\0", 4) || startsWith("MM\0*", 4))
        return ImageFormat::Tiff;
    if (startsWith("BM", 2) && r.has(14, 4)) {
        const uint32_t hs = r.u32At(14);
        if (hs == 12 || (hs >= 40 && hs <= 124))
            return ImageFormat::Bmp;
    }
    if (r.has(0, 4) && r.u32At(0) == 0x9AC6CDD7u)
        return ImageFormat::PlaceableWmf;
    if (r.has(0, 44) && r.u32At(0) == 1 && r.u32At(40) == 0x464D4520u)
        return ImageFormat::Emf;
    if (r.has(0, 18)) {
        const uint16_t type = r.u16At(0), headerWords = r.u16At(2), version = r.u16At(4);
        if ((type == 1 || type == 2) && headerWords == 9 && (version == 0x300 || version == 0x100))
            return ImageFormat::Wmf;
    }
    if (r.has(0, 128) && r.u8At(0) == 0x0A && r.u8At(1) <= 5 && r.u8At(2) <= 1) {
        const int bpp = r.u8At(3), planes = r.u8At(65);
        if ((bpp == 1 || bpp == 2 || bpp == 4 || bpp == 8) && planes >= 1 && planes <= 4)
            return ImageFormat::Pcx;
    }
    return ImageFormat::Unknown;
}

QString formatName(ImageFormat f)
{
    switch (f) {
    case ImageFormat::Bmp: return QStringLiteral("BMP");
    case ImageFormat::Jpeg: return QStringLiteral("JPEG");
    case ImageFormat::Png: return QStringLiteral("PNG");
    case ImageFormat::Gif: return QStringLiteral("GIF");
    case ImageFormat::Tiff: return QStringLiteral("TIFF");
    case ImageFormat::Pcx: return QStringLiteral("PCX");
    case ImageFormat::PlaceableWmf:
    case ImageFormat::Wmf: return QStringLiteral("WMF");
    case ImageFormat::Emf: return QStringLiteral("EMF");
    case ImageFormat::Unknown: break;
    }
    return {};
}

} // namespace plat::imaging
