#include "platform/bmp/BmpCodec.h"

#include "platform/ByteIO.h"

#include <algorithm>
#include <bit>

namespace plat::bmp {

namespace {

// Largest image the codec builds. Bounds the memory a hostile header can ask for.
constexpr int64_t kMaxPixels = int64_t(1) << 26;
constexpr int32_t kMaxDimension = 65535;

bool fail(QString *error, const char *text)
{
    if (error)
        *error = QString::fromLatin1(text);
    return false;
}

// One channel of a bit-field pixel, scaled to 8 bits.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
    void set(uint32_t m)
    {
        mask = m;
        shift = m ? std::countr_zero(m) : 0;
        bits = m ? std::popcount(m >> shift) : 0;
        if (bits > 8) { // keep the top 8 bits of wide channels
            shift += bits - 8;
            bits = 8;
        }
    }
    int value(uint32_t px) const
    {
        if (!mask || !bits)
            return 0;
        const uint32_t v = (px >> shift) & ((1u << bits) - 1);
        if (bits == 8)
            return int(v);
        // Replicate the high bits into the low ones so full scale maps to 255.
        int shift8 = 8 - bits;
        uint32_t out = v << shift8;
        while (shift8 > 0) {
            shift8 -= bits;
            out |= shift8 >= 0 ? (v << shift8) : (v >> -shift8);
        }
        return int(out & 0xFF);
    }
};

QImage newIndexedImage(int w, int h)
{
    if (int64_t(w) * h > kMaxPixels)
        return {};
    return QImage(w, h, QImage::Format_Indexed8);
}

// Decodes RLE8 or RLE4 data into an Indexed8 image (bottom-up). Pixels the stream never
// sets stay 0. Returns the highest index written (-1 when none).
int decodeRle(const uchar *src, qsizetype n, QImage &img, bool rle4)
{
    const int w = img.width();
    const int h = img.height();
    int x = 0, y = 0; // y counts rows from the bottom
    int maxIndex = -1;
    qsizetype i = 0;
    auto put = [&](int v) {
        if (x < w && y < h) {
            img.scanLine(h - 1 - y)[x] = uchar(v);
            maxIndex = std::max(maxIndex, v);
        }
        ++x;
    };
    while (i + 1 < n && y < h) {
        const int count = src[i];
        const int value = src[i + 1];
        i += 2;
        if (count > 0) {
            for (int k = 0; k < count && x < w; ++k)
                put(rle4 ? ((k & 1) ? (value & 0x0F) : (value >> 4)) : value);
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            ++y;
        } else if (value == 1) { // end of bitmap
            break;
        } else if (value == 2) { // delta
            if (i + 1 >= n)
                break;
            x += src[i];
            y += src[i + 1];
            i += 2;
        } else { // absolute run of `value` pixels
            const int pixels = value;
            const qsizetype bytes = rle4 ? (pixels + 1) / 2 : pixels;
            const qsizetype padded = (bytes + 1) & ~qsizetype(1);
            if (i + bytes > n)
                break;
            for (int k = 0; k < pixels; ++k) {
                const int b = src[i + (rle4 ? k / 2 : k)];
                put(rle4 ? ((k & 1) ? (b & 0x0F) : (b >> 4)) : b);
            }
            i += padded;
        }
    }
    return maxIndex;
}

void writeColorTable(LeWriter &w, const QVector<QRgb> &table, int entries)
{
    for (int i = 0; i < entries; ++i) {
        const QRgb c = i < table.size() ? table[i] : 0;
        w.u8(uint8_t(qBlue(c)));
        w.u8(uint8_t(qGreen(c)));
        w.u8(uint8_t(qRed(c)));
        w.u8(0);
    }
}

// An Indexed8 image whose indexes all fit `bitCount` bits, with its table.
QImage toIndexed(const QImage &image, int bitCount)
{
    const int maxColors = 1 << bitCount;
    if (image.format() == QImage::Format_Indexed8 && image.colorCount() <= maxColors) {
        bool fits = true;
        for (int y = 0; y < image.height() && fits; ++y) {
            const uchar *line = image.constScanLine(y);
            for (int x = 0; x < image.width(); ++x) {
                if (line[x] >= maxColors) {
                    fits = false;
                    break;
                }
            }
        }
        if (fits)
            return image;
    }
    if (bitCount == 8) {
        QImage rgb = image.convertToFormat(QImage::Format_RGB32);
        return rgb.convertToFormat(QImage::Format_Indexed8, Qt::AutoColor | Qt::DiffuseDither);
    }
    QVector<QRgb> table;
    if (bitCount == 1)
        table = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    else
        table = standardColors16();
    QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    return rgb.convertToFormat(QImage::Format_Indexed8, table, Qt::AutoColor | Qt::ThresholdDither);
}

} // namespace

QVector<QRgb> standardColors16()
{
    return {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
            qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(128, 128, 128),
            qRgb(192, 192, 192), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
            qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
}

bool parseDibHeader(const char *data, qsizetype size, DibHeader &h, QString *error)
{
    h = DibHeader{};
    LeReader r(data, size);
    if (!r.has(0, 12))
        return fail(error, "bitmap header is truncated");
    h.headerSize = r.u32At(0);
    qsizetype afterHeader = 0;
    if (h.headerSize == 12) {
        h.width = r.u16At(4);
        const int32_t height = r.u16At(6);
        h.height = height;
        if (r.u16At(8) != 1)
            return fail(error, "bitmap planes must be 1");
        h.bitCount = r.u16At(10);
        h.colorEntrySize = 3;
        afterHeader = 12;
    } else {
        if (h.headerSize < 40 || h.headerSize > 1024 || !r.has(0, h.headerSize))
            return fail(error, "bitmap header has a bad size");
        h.width = r.i32At(4);
        const int64_t height = r.i32At(8);
        if (height < 0) {
            h.topDown = true;
            if (height < -int64_t(kMaxDimension))
                return fail(error, "bitmap is too large");
            h.height = int32_t(-height);
        } else {
            h.height = int32_t(std::min<int64_t>(height, int64_t(kMaxDimension) + 1));
        }
        if (r.u16At(12) != 1)
            return fail(error, "bitmap planes must be 1");
        h.bitCount = r.u16At(14);
        h.compression = r.u32At(16);
        h.sizeImage = r.u32At(20);
        h.xPelsPerMeter = r.i32At(24);
        h.yPelsPerMeter = r.i32At(28);
        h.clrUsed = r.u32At(32);
        afterHeader = h.headerSize;
        if (h.headerSize >= 52) {
            for (int i = 0; i < 3; ++i)
                h.masks[i] = r.u32At(40 + 4 * i);
            if (h.headerSize >= 56)
                h.masks[3] = r.u32At(52);
        } else if (h.compression == BI_BITFIELDS) {
            if (!r.has(40, 12))
                return fail(error, "bitmap colour masks are truncated");
            for (int i = 0; i < 3; ++i)
                h.masks[i] = r.u32At(40 + 4 * i);
            afterHeader += 12;
        }
    }
    if (h.width <= 0 || h.height <= 0 || h.width > kMaxDimension || h.height > kMaxDimension)
        return fail(error, "bitmap has bad dimensions");
    if (int64_t(h.width) * h.height > kMaxPixels)
        return fail(error, "bitmap is too large");
    switch (h.bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32:
        break;
    default:
        return fail(error, "bitmap has an unsupported bit depth");
    }
    switch (h.compression) {
    case BI_RGB:
        break;
    case BI_RLE8:
        if (h.bitCount != 8 || h.topDown)
            return fail(error, "bad RLE8 bitmap");
        break;
    case BI_RLE4:
        if (h.bitCount != 4 || h.topDown)
            return fail(error, "bad RLE4 bitmap");
        break;
    case BI_BITFIELDS:
        if (h.bitCount != 16 && h.bitCount != 32)
            return fail(error, "bit fields need 16 or 32 bits");
        break;
    default:
        return fail(error, "bitmap compression is not supported");
    }
    if (h.compression == BI_RGB && h.bitCount == 16) {
        h.masks[0] = 0x7C00; h.masks[1] = 0x03E0; h.masks[2] = 0x001F; h.masks[3] = 0;
    } else if (h.compression == BI_RGB && h.bitCount >= 24) {
        h.masks[0] = 0xFF0000; h.masks[1] = 0x00FF00; h.masks[2] = 0x0000FF; h.masks[3] = 0;
    }
    // Colour table: the used-colours count when given, otherwise the full table for the
    // indexed depths. True-colour bitmaps may carry a table too (for palette devices); it
    // is skipped.
    if (h.clrUsed > 65536)
        return fail(error, "bitmap colour count is not plausible");
    const int64_t stored = h.bitCount <= 8 ? (h.clrUsed ? int64_t(h.clrUsed) : (int64_t(1) << h.bitCount))
                                           : (h.headerSize == 12 ? 0 : int64_t(h.clrUsed));
    const int64_t tableBytes = stored * h.colorEntrySize;
    if (!r.has(afterHeader, tableBytes))
        return fail(error, "bitmap colour table is truncated");
    h.colorTableOffset = afterHeader;
    h.colorEntries = h.bitCount <= 8 ? int(std::min<int64_t>(stored, int64_t(1) << h.bitCount)) : 0;
    h.pixelOffset = afterHeader + tableBytes;
    return true;
}

QImage decodeDib(const char *data, qsizetype size, qsizetype pixelOffset, QString *error)
{
    DibHeader h;
    if (!parseDibHeader(data, size, h, error))
        return {};
    const qsizetype start = pixelOffset >= 0 ? pixelOffset : h.pixelOffset;
    if (start < 0 || start > size) {
        fail(error, "bitmap pixel offset is outside the data");
        return {};
    }
    const uchar *px = reinterpret_cast<const uchar *>(data) + start;
    const qsizetype avail = size - start;
    const int w = h.width;
    const int hgt = h.height;
    LeReader r(data, size);

    QImage img;
    if (h.compression == BI_RLE8 || h.compression == BI_RLE4) {
        qsizetype n = avail;
        if (h.sizeImage && h.sizeImage < uint64_t(n))
            n = h.sizeImage;
        // A stream of n bytes can set at most about 128 pixels a byte (runs of 255, or
        // absolute runs); deltas move without data, so bound the image by the input too.
        if (int64_t(w) * hgt > std::max<int64_t>(4096, int64_t(n) * 1024)) {
            fail(error, "compressed bitmap is implausibly large for its data");
            return {};
        }
        img = newIndexedImage(w, hgt);
        if (img.isNull()) {
            fail(error, "out of memory for the bitmap");
            return {};
        }
        img.fill(0);
        const int maxIndex = decodeRle(px, n, img, h.compression == BI_RLE4);
        QVector<QRgb> table;
        for (int i = 0; i < h.colorEntries; ++i) {
            const qsizetype o = h.colorTableOffset + qsizetype(i) * h.colorEntrySize;
            table.append(qRgb(r.u8At(o + 2), r.u8At(o + 1), r.u8At(o)));
        }
        while (table.size() <= maxIndex || table.isEmpty())
            table.append(qRgb(0, 0, 0));
        img.setColorTable(table);
    } else {
        const int64_t stride = h.stride();
        if (stride * hgt > avail) {
            fail(error, "bitmap pixel data is truncated");
            return {};
        }
        if (h.bitCount <= 8) {
            img = newIndexedImage(w, hgt);
            if (img.isNull()) {
                fail(error, "out of memory for the bitmap");
                return {};
            }
            int maxIndex = 0;
            for (int y = 0; y < hgt; ++y) {
                const uchar *row = px + stride * (h.topDown ? y : hgt - 1 - y);
                uchar *out = img.scanLine(y);
                for (int x = 0; x < w; ++x) {
                    int v;
                    switch (h.bitCount) {
                    case 1: v = (row[x >> 3] >> (7 - (x & 7))) & 1; break;
                    case 4: v = (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4); break;
                    default: v = row[x]; break;
                    }
                    out[x] = uchar(v);
                    maxIndex = std::max(maxIndex, v);
                }
            }
            QVector<QRgb> table;
            for (int i = 0; i < h.colorEntries; ++i) {
                const qsizetype o = h.colorTableOffset + qsizetype(i) * h.colorEntrySize;
                table.append(qRgb(r.u8At(o + 2), r.u8At(o + 1), r.u8At(o)));
            }
            // Indexes beyond the table show black, as on Windows.
            while (table.size() <= maxIndex)
                table.append(qRgb(0, 0, 0));
            img.setColorTable(table);
        } else {
            if (int64_t(w) * hgt > kMaxPixels) {
                fail(error, "bitmap is too large");
                return {};
            }
            img = QImage(w, hgt, QImage::Format_RGB32);
            if (img.isNull()) {
                fail(error, "out of memory for the bitmap");
                return {};
            }
            Channel cr, cg, cb;
            cr.set(h.masks[0]);
            cg.set(h.masks[1]);
            cb.set(h.masks[2]);
            for (int y = 0; y < hgt; ++y) {
                const uchar *row = px + stride * (h.topDown ? y : hgt - 1 - y);
                QRgb *out = reinterpret_cast<QRgb *>(img.scanLine(y));
                for (int x = 0; x < w; ++x) {
                    if (h.bitCount == 24) {
                        const uchar *p = row + 3 * x;
                        out[x] = qRgb(p[2], p[1], p[0]);
                        continue;
                    }
                    uint32_t v;
                    if (h.bitCount == 16)
                        v = uint32_t(row[2 * x]) | (uint32_t(row[2 * x + 1]) << 8);
                    else
                        v = getU32(reinterpret_cast<const char *>(row + 4 * x));
                    out[x] = qRgb(cr.value(v), cg.value(v), cb.value(v));
                }
            }
        }
    }
    if (h.xPelsPerMeter > 0)
        img.setDotsPerMeterX(h.xPelsPerMeter);
    if (h.yPelsPerMeter > 0)
        img.setDotsPerMeterY(h.yPelsPerMeter);
    return img;
}

QImage decodeDib(const QByteArray &dib, QString *error)
{
    return decodeDib(dib.constData(), dib.size(), -1, error);
}

QImage decodeBmpFile(const QByteArray &file, QString *error)
{
    LeReader r(file);
    if (!r.has(0, kFileHeaderSize) || r.u8At(0) != 'B' || r.u8At(1) != 'M') {
        fail(error, "not a BMP file");
        return {};
    }
    const char *dib = file.constData() + kFileHeaderSize;
    const qsizetype dibSize = file.size() - kFileHeaderSize;
    DibHeader h;
    if (!parseDibHeader(dib, dibSize, h, error))
        return {};
    // bfOffBits names where the rows start; zero (as some writers leave it) or a value
    // inside the headers means "right after the colour table".
    const uint32_t offBits = r.u32At(10);
    qsizetype pixelOffset = -1;
    if (offBits >= uint32_t(kFileHeaderSize + h.pixelOffset) && offBits <= uint64_t(file.size()))
        pixelOffset = qsizetype(offBits) - kFileHeaderSize;
    return decodeDib(dib, dibSize, pixelOffset, error);
}

int naturalBitCount(const QImage &image)
{
    if (image.format() == QImage::Format_Indexed8 || image.format() == QImage::Format_Mono
        || image.format() == QImage::Format_MonoLSB) {
        const int n = image.colorCount();
        return n <= 2 ? 1 : n <= 16 ? 4 : 8;
    }
    return image.hasAlphaChannel() ? 32 : 24;
}

QByteArray encodeDib(const QImage &source, int bitCount, Rgb16 layout16, bool topDown)
{
    if (source.isNull())
        return {};
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        return {};
    const int w = source.width();
    const int h = source.height();
    const int64_t stride = ((int64_t(w) * bitCount + 31) / 32) * 4;
    const bool bitfields = bitCount == 16 && layout16 == Rgb16::R565;
    const int entries = bitCount <= 8 ? (1 << bitCount) : 0;

    QImage img;
    if (bitCount <= 8)
        img = toIndexed(source, bitCount);
    else if (bitCount == 32 && source.hasAlphaChannel())
        img = source.convertToFormat(QImage::Format_ARGB32);
    else
        img = source.convertToFormat(QImage::Format_RGB32);
    if (img.isNull())
        return {};

    QByteArray out;
    out.reserve(kInfoHeaderSize + (bitfields ? 12 : 0) + entries * 4 + stride * h);
    LeWriter wr(&out);
    wr.u32(kInfoHeaderSize);
    wr.i32(w);
    wr.i32(topDown ? -h : h);
    wr.u16(1);
    wr.u16(uint16_t(bitCount));
    wr.u32(bitfields ? BI_BITFIELDS : BI_RGB);
    wr.u32(uint32_t(stride * h));
    wr.i32(source.dotsPerMeterX() > 0 ? source.dotsPerMeterX() : 0);
    wr.i32(source.dotsPerMeterY() > 0 ? source.dotsPerMeterY() : 0);
    wr.u32(0); // used colours: the whole table
    wr.u32(0); // important colours: all
    if (bitfields) {
        wr.u32(0xF800);
        wr.u32(0x07E0);
        wr.u32(0x001F);
    }
    if (entries)
        writeColorTable(wr, img.colorTable(), entries);

    QByteArray row(stride, '\0');
    for (int i = 0; i < h; ++i) {
        const int y = topDown ? i : h - 1 - i;
        row.fill('\0');
        uchar *o = reinterpret_cast<uchar *>(row.data());
        if (bitCount <= 8) {
            const uchar *in = img.constScanLine(y);
            for (int x = 0; x < w; ++x) {
                const int v = in[x];
                switch (bitCount) {
                case 1: o[x >> 3] |= uchar((v & 1) << (7 - (x & 7))); break;
                case 4: o[x >> 1] |= uchar((x & 1) ? (v & 0x0F) : ((v & 0x0F) << 4)); break;
                default: o[x] = uchar(v); break;
                }
            }
        } else {
            const QRgb *in = reinterpret_cast<const QRgb *>(img.constScanLine(y));
            for (int x = 0; x < w; ++x) {
                const QRgb c = in[x];
                if (bitCount == 16) {
                    uint16_t v;
                    if (bitfields)
                        v = uint16_t(((qRed(c) >> 3) << 11) | ((qGreen(c) >> 2) << 5) | (qBlue(c) >> 3));
                    else
                        v = uint16_t(((qRed(c) >> 3) << 10) | ((qGreen(c) >> 3) << 5) | (qBlue(c) >> 3));
                    o[2 * x] = uchar(v & 0xFF);
                    o[2 * x + 1] = uchar(v >> 8);
                } else if (bitCount == 24) {
                    o[3 * x] = uchar(qBlue(c));
                    o[3 * x + 1] = uchar(qGreen(c));
                    o[3 * x + 2] = uchar(qRed(c));
                } else {
                    o[4 * x] = uchar(qBlue(c));
                    o[4 * x + 1] = uchar(qGreen(c));
                    o[4 * x + 2] = uchar(qRed(c));
                    o[4 * x + 3] = img.hasAlphaChannel() ? uchar(qAlpha(c)) : 0;
                }
            }
        }
        out.append(row);
    }
    return out;
}

QByteArray dibToBmpFile(const QByteArray &dib)
{
    DibHeader h;
    if (!parseDibHeader(dib.constData(), dib.size(), h))
        return {};
    QByteArray file;
    file.reserve(kFileHeaderSize + dib.size());
    LeWriter w(&file);
    w.u8('B');
    w.u8('M');
    w.u32(uint32_t(kFileHeaderSize + dib.size()));
    w.u16(0);
    w.u16(0);
    w.u32(uint32_t(kFileHeaderSize + h.pixelOffset));
    w.bytes(dib);
    return file;
}

QByteArray encodeBmpFile(const QImage &image, int bitCount, Rgb16 layout16, bool topDown)
{
    return dibToBmpFile(encodeDib(image, bitCount, layout16, topDown));
}

QByteArray bmpFileToDib(const QByteArray &file)
{
    LeReader r(file);
    if (!r.has(0, kFileHeaderSize) || r.u8At(0) != 'B' || r.u8At(1) != 'M')
        return {};
    const QByteArray dib = file.mid(kFileHeaderSize);
    DibHeader h;
    if (!parseDibHeader(dib.constData(), dib.size(), h))
        return {};
    const uint32_t offBits = r.u32At(10);
    if (offBits > uint32_t(kFileHeaderSize + h.pixelOffset) && offBits <= uint64_t(file.size())) {
        // Close the gap between the colour table and the rows.
        QByteArray packed = dib.left(h.pixelOffset);
        packed.append(file.mid(offBits));
        if (decodeDib(packed).isNull())
            return {};
        return packed;
    }
    if (decodeDib(dib).isNull())
        return {};
    return dib;
}

} // namespace plat::bmp
