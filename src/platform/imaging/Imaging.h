#pragma once
// The imaging layer the picture loader reads through: what a file really is, reading a
// bitmap format into a packed DIB of a requested depth, reduction to 256 colours, and the
// quarter turn. Readers are Qt's image plugins (JPEG, PNG, GIF, TIFF), our BMP codec and
// our PCX reader.

#include "platform/imaging/ImageFormat.h"

#include <QByteArray>
#include <QImage>
#include <QString>

namespace plat::imaging {

struct FileInfo {
    ImageFormat format = ImageFormat::Unknown;
    QString formatName;   // "BMP", "JPEG", "PNG", "GIF", "TIFF", "PCX", "WMF", "EMF"
    int width = 0;
    int height = 0;
    int bitDepth = 0;     // bits per pixel the file stores (1, 2, 4, 8, 16, 24, 32, 48, 64)
    // Non-zero when the file keeps its colours in a colour map of its own (palette PNG,
    // GIF, indexed BMP/PCX/TIFF). Reducing colours only applies when this is 0.
    int colorMapped = 0;
};

// Reads the file's headers. False when the file cannot be read or is no known format.
bool fileInfo(const QString &path, FileInfo &info);
bool fileInfo(const QByteArray &bytes, FileInfo &info);

// The bit depth the loader asks the reader for: the file's own, or 8 when `reduce` is
// on and the file is not colour-mapped.
int requestedBitDepth(const FileInfo &info, bool reduce);

// Reads a bitmap file of the named format ("BMP", "JPEG", "PNG", "GIF", "TIFF", "PCX",
// compared without regard to case) into a packed DIB of `bitDepth` bits (depths a DIB
// cannot hold are widened: 2 to 4, 16 and 48 to 24, 64 to 32). Transparent pixels are
// put on white. Empty on failure, with an error text.
QByteArray readDib(const QByteArray &bytes, const QString &formatName, int bitDepth, QString *error = nullptr);

// At most 256 colours, as an Indexed8 image (already indexed images are kept).
QImage reduceTo256Colors(const QImage &image);

// The image turned by a quarter: clockwise when `clockwise`, else counter-clockwise.
// Indexed images stay indexed with the same table.
QImage rotateQuarter(const QImage &image, bool clockwise);

// Turns the packed DIB in place by a quarter turn keeping its bit depth (and 16-bit
// layout): direction 0 clockwise, anything else counter-clockwise. False (and `dib`
// unchanged) when the DIB does not decode.
bool RotateDib90(QByteArray &dib, int direction);

} // namespace plat::imaging
