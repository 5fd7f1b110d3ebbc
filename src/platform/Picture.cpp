#include "platform/Picture.h"

#include "platform/ByteIO.h"

namespace plat {

char Picture::kindLetter() const
{
    switch (m_kind) {
    case Kind::Bitmap:
        return 'B';
    case Kind::Metafile:
        return 'M';
    case Kind::None:
        break;
    }
    return ' ';
}

qsizetype Picture::measureBmp(const char *data, qsizetype available)
{
    LeReader r(data, available);
    if (!r.has(0, 14 + 12) || r.u8At(0) != 'B' || r.u8At(1) != 'M')
        return -1;
    const uint32_t fileSize = r.u32At(2);
    const uint32_t bitsOffset = r.u32At(10);
    const uint32_t headerSize = r.u32At(14);
    if (headerSize < 12 || headerSize > 1024)
        return -1;
    int64_t width = 0, height = 0;
    uint32_t bitCount = 0, compression = 0, sizeImage = 0, clrUsed = 0;
    if (headerSize == 12) {
        width = r.u16At(18);
        height = r.u16At(20);
        bitCount = r.u16At(24);
    } else {
        if (!r.has(14, 40) || headerSize < 40)
            return -1;
        width = r.i32At(18);
        height = r.i32At(22);
        bitCount = r.u16At(28);
        compression = r.u32At(30);
        sizeImage = r.u32At(34);
        clrUsed = r.u32At(46);
    }
    if (width <= 0 || height == 0 || width > 65535 || height > 65535 || height < -65535)
        return -1;
    if (height < 0)
        height = -height;
    switch (bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32:
        break;
    default:
        return -1;
    }
    const int64_t stride = ((width * bitCount + 31) / 32) * 4;
    int64_t pixelBytes = stride * height;
    if (compression == 1 || compression == 2) // RLE8 / RLE4 carry their size in the header
        pixelBytes = sizeImage;
    int64_t paletteEntries = clrUsed ? clrUsed : (bitCount <= 8 ? (int64_t(1) << bitCount) : 0);
    if (paletteEntries > 256)
        return -1;
    const int64_t entrySize = headerSize == 12 ? 3 : 4;
    int64_t masks = (compression == 3 && headerSize == 40) ? 12 : 0;
    int64_t minimum = 14 + int64_t(headerSize) + masks + paletteEntries * entrySize + pixelBytes;
    if (bitsOffset >= 14 + headerSize)
        minimum = std::max<int64_t>(minimum, int64_t(bitsOffset) + pixelBytes);
    // The file header's size is what a bitmap writes for itself; trust it only when it
    // covers the headers and pixels, and never beyond the bytes present.
    const int64_t total = std::max<int64_t>(minimum, fileSize);
    if (total > available)
        return -1;
    return static_cast<qsizetype>(total);
}

qsizetype Picture::measureEmf(const char *data, qsizetype available)
{
    LeReader r(data, available);
    if (!r.has(0, 88))
        return -1;
    const uint32_t type = r.u32At(0);
    const uint32_t headerSize = r.u32At(4);
    const uint32_t signature = r.u32At(40);
    const uint32_t nBytes = r.u32At(48);
    if (type != 1 || signature != 0x464D4520u || headerSize < 88 || nBytes < headerSize)
        return -1;
    if (int64_t(nBytes) > available)
        return -1;
    return static_cast<qsizetype>(nBytes);
}

} // namespace plat
