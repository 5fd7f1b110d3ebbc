#include "platform/imaging/PcxReader.h"

#include "platform/ByteIO.h"

#include <vector>

namespace plat::imaging {

namespace {

constexpr int kHeaderSize = 128;
constexpr int64_t kMaxPixels = int64_t(1) << 26;

QImage failed(QString *error, const char *text)
{
    if (error)
        *error = QString::fromLatin1(text);
    return {};
}

QVector<QRgb> headerPalette(const LeReader &r, int count)
{
    QVector<QRgb> table;
    for (int i = 0; i < count; ++i)
        table << qRgb(r.u8At(16 + 3 * i), r.u8At(17 + 3 * i), r.u8At(18 + 3 * i));
    return table;
}

bool allSame(const QVector<QRgb> &t)
{
    for (QRgb c : t)
        if (c != t.first())
            return false;
    return true;
}

} // namespace

int pcxBitDepth(const QByteArray &file)
{
    LeReader r(file);
    if (!r.has(0, kHeaderSize) || r.u8At(0) != 0x0A)
        return 0;
    return r.u8At(3) * r.u8At(65);
}

QImage readPcx(const QByteArray &file, QString *error)
{
    LeReader r(file);
    if (!r.has(0, kHeaderSize) || r.u8At(0) != 0x0A)
        return failed(error, "not a PCX file");
    const int encoding = r.u8At(2);
    const int bpp = r.u8At(3);
    const int xmin = r.u16At(4), ymin = r.u16At(6), xmax = r.u16At(8), ymax = r.u16At(10);
    const int planes = r.u8At(65);
    const int bytesPerLine = r.u16At(66);
    if (encoding > 1)
        return failed(error, "unknown PCX encoding");
    if (xmax < xmin || ymax < ymin)
        return failed(error, "PCX window is empty");
    const int width = xmax - xmin + 1;
    const int height = ymax - ymin + 1;
    const bool planar1 = bpp == 1 && planes >= 1 && planes <= 4;
    const bool chunky = (bpp == 2 || bpp == 4 || bpp == 8) && planes == 1;
    const bool rgb = bpp == 8 && (planes == 3 || planes == 4);
    if (!planar1 && !chunky && !rgb)
        return failed(error, "unsupported PCX depth");
    if (bytesPerLine == 0 || int64_t(bytesPerLine) * 8 < int64_t(width) * bpp)
        return failed(error, "PCX line length does not cover the width");
    if (int64_t(width) * height > kMaxPixels)
        return failed(error, "PCX picture is too large");

    // 256-colour pictures keep their palette in the last 769 bytes (0x0C, then RGB).
    qsizetype dataEnd = file.size();
    QVector<QRgb> table;
    if (bpp == 8 && planes == 1) {
        if (file.size() >= kHeaderSize + 769 && r.u8At(file.size() - 769) == 0x0C) {
            dataEnd = file.size() - 769;
            for (int i = 0; i < 256; ++i) {
                const qsizetype o = dataEnd + 1 + 3 * i;
                table << qRgb(r.u8At(o), r.u8At(o + 1), r.u8At(o + 2));
            }
        } else {
            for (int i = 0; i < 256; ++i)
                table << qRgb(i, i, i);
        }
    } else if (!rgb) {
        const int colors = 1 << (bpp * planes);
        table = headerPalette(r, colors);
        if (allSame(table)) { // writers that leave the header palette empty
            if (colors == 2)
                table = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
            else
                for (int i = 0; i < colors; ++i)
                    table[i] = qRgb(i * 255 / (colors - 1), i * 255 / (colors - 1), i * 255 / (colors - 1));
        }
    }

    const int64_t lineBytes = int64_t(bytesPerLine) * planes;
    const int64_t total = lineBytes * height;
    const qsizetype dataSize = dataEnd - kHeaderSize;
    // A run byte pair yields at most 63 bytes; refuse promises the data cannot keep
    // before allocating for them.
    if (encoding == 1 ? total > int64_t(dataSize) * 32 : total > dataSize)
        return failed(error, "PCX picture data is truncated");
    std::vector<uchar> buf(size_t(total), 0);
    const auto *src = reinterpret_cast<const uchar *>(file.constData());
    qsizetype i = kHeaderSize;
    int64_t o = 0;
    if (encoding == 0) {
        std::memcpy(buf.data(), src + i, size_t(total));
    } else {
        while (o < total) {
            if (i >= dataEnd)
                return failed(error, "PCX picture data is truncated");
            const uchar b = src[i++];
            if ((b & 0xC0) == 0xC0) {
                if (i >= dataEnd)
                    return failed(error, "PCX picture data is truncated");
                const int count = b & 0x3F;
                const uchar v = src[i++];
                for (int k = 0; k < count && o < total; ++k)
                    buf[size_t(o++)] = v;
            } else {
                buf[size_t(o++)] = b;
            }
        }
    }

    QImage img;
    if (rgb) {
        img = QImage(width, height, QImage::Format_RGB32);
        if (img.isNull())
            return failed(error, "out of memory for the PCX picture");
        for (int y = 0; y < height; ++y) {
            const uchar *line = buf.data() + lineBytes * y;
            QRgb *out = reinterpret_cast<QRgb *>(img.scanLine(y));
            for (int x = 0; x < width; ++x)
                out[x] = qRgb(line[x], line[bytesPerLine + x], line[2 * bytesPerLine + x]);
        }
    } else {
        img = QImage(width, height, QImage::Format_Indexed8);
        if (img.isNull())
            return failed(error, "out of memory for the PCX picture");
        for (int y = 0; y < height; ++y) {
            const uchar *line = buf.data() + lineBytes * y;
            uchar *out = img.scanLine(y);
            for (int x = 0; x < width; ++x) {
                int v = 0;
                if (bpp == 8) {
                    v = line[x];
                } else if (bpp == 4) {
                    v = (x & 1) ? (line[x >> 1] & 0x0F) : (line[x >> 1] >> 4);
                } else if (bpp == 2) {
                    v = (line[x >> 2] >> (6 - 2 * (x & 3))) & 3;
                } else {
                    for (int p = 0; p < planes; ++p)
                        v |= ((line[p * bytesPerLine + (x >> 3)] >> (7 - (x & 7))) & 1) << p;
                }
                out[x] = uchar(v);
            }
        }
        img.setColorTable(table);
    }
    return img;
}

} // namespace plat::imaging
