#pragma once
// Reading and writing Windows bitmaps: BMP files (14-byte file header, then a packed DIB)
// and packed device-independent bitmaps (info header, optional colour masks, colour table,
// pixel rows). Reads 1, 4, 8, 16, 24 and 32 bits per pixel, bottom-up and top-down rows,
// the 12-byte core header and the 40..124-byte info headers, bit-field masks, the
// used-colours count and RLE4/RLE8 compression. Writes uncompressed bitmaps at every depth.
//
// Every length, count and offset in the input is checked against the bytes present; a bad
// bitmap gives an error text and a null image, never a read outside the buffer.

#include <QByteArray>
#include <QImage>
#include <QString>
#include <cstdint>

namespace plat::bmp {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;

// Compression values of the info header.
enum Compression : uint32_t { BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3 };

// The parsed header of a packed DIB.
struct DibHeader {
    uint32_t headerSize = 0;
    int32_t width = 0;
    int32_t height = 0;       // always positive here; see topDown
    bool topDown = false;     // the stored height was negative
    uint16_t bitCount = 0;
    uint32_t compression = BI_RGB;
    uint32_t sizeImage = 0;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    uint32_t clrUsed = 0;
    uint32_t masks[4] = {0, 0, 0, 0}; // red, green, blue, alpha (bit fields, 16 and 32 bits)
    int colorEntries = 0;     // entries in the colour table actually present
    int colorEntrySize = 4;   // 3 for the core header
    qsizetype colorTableOffset = 0; // from the start of the DIB
    qsizetype pixelOffset = 0;      // right after the colour table

    // Bytes of one uncompressed row, padded to 32 bits.
    int64_t stride() const { return ((int64_t(width) * bitCount + 31) / 32) * 4; }
};

// Parses the header of the packed DIB in data[0..size). Fails when the header is short,
// the depth or compression is not one of the supported ones, the dimensions are not
// positive, or the colour table does not fit.
bool parseDibHeader(const char *data, qsizetype size, DibHeader &out, QString *error = nullptr);

// Decodes a packed DIB. Depths up to 8 bits give Format_Indexed8 with the bitmap's colour
// table; 16, 24 and 32 bits give Format_RGB32. `pixelOffset`, when not negative, is where
// the pixel rows start (counted from `data`), as a BMP file's header may say.
QImage decodeDib(const char *data, qsizetype size, qsizetype pixelOffset = -1, QString *error = nullptr);
QImage decodeDib(const QByteArray &dib, QString *error = nullptr);
// Decodes a BMP file (file header included).
QImage decodeBmpFile(const QByteArray &file, QString *error = nullptr);

// Layout of 16-bit pixels when writing.
enum class Rgb16 { X555, R565 };

// Encodes `image` as an uncompressed packed DIB of `bitCount` bits (1, 4, 8, 16, 24, 32).
// Indexed images that fit the depth keep their colour table; other images are reduced: two
// colours black and white at 1 bit, the 16 standard colours at 4 bits, a generated table of
// at most 256 colours at 8 bits. Returns an empty array for a null image or a bad depth.
QByteArray encodeDib(const QImage &image, int bitCount, Rgb16 layout16 = Rgb16::X555, bool topDown = false);
// The same as a complete BMP file.
QByteArray encodeBmpFile(const QImage &image, int bitCount, Rgb16 layout16 = Rgb16::X555, bool topDown = false);

// Puts a file header in front of a packed DIB: "BM", the file size and the offset of the
// pixel rows. Empty when the DIB's header does not parse.
QByteArray dibToBmpFile(const QByteArray &dib);
// The packed DIB inside a BMP file: the headers, masks and colour table followed directly
// by the pixel rows (a gap before the rows, as bfOffBits allows, is closed). Empty when the
// file is not a readable bitmap.
QByteArray bmpFileToDib(const QByteArray &file);

// Bit depth a bitmap of this image is naturally written at: 8 for indexed images with at
// most 256 colours (1 or 4 when the table is that small), 32 for images with alpha, else 24.
int naturalBitCount(const QImage &image);

// The 16 standard colours used when an image is written at 4 bits.
QVector<QRgb> standardColors16();

} // namespace plat::bmp
