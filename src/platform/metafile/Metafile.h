#pragma once
// Enhanced metafiles (EMF) and Windows metafiles (WMF, plain or with the 22-byte placeable
// header): parsing into checked record lists, playing them onto a gdi::Canvas, their
// natural size, and turning a WMF into an EMF.
//
// Parsing refuses a file whose header or record chain does not fit its bytes; playing
// checks every count and offset inside each record and skips records it cannot use.

#include "platform/gdi/Canvas.h"

#include <QByteArray>
#include <QRect>
#include <QString>
#include <QVector>
#include <cstdint>

namespace plat::metafile {

enum class Kind { None, Emf, Wmf, PlaceableWmf };

// RECTL as stored: left, top, right, bottom (inclusive on the right and bottom).
struct RectL {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct Record {
    uint32_t type = 0;   // EMR_* for EMF, the META_* function for WMF
    qsizetype offset = 0; // of the record's first byte in the file
    qsizetype size = 0;   // whole record, bytes
};

struct EmfHeader {
    RectL bounds;      // device pixels of the reference device
    RectL frame;       // hundredths of a millimetre
    QSize devicePixels; // reference device, pixels
    QSize deviceMm;     // reference device, millimetres
    uint32_t nBytes = 0;
    uint32_t nRecords = 0;
    uint16_t nHandles = 0;
    uint32_t headerSize = 0;
};

struct ParsedEmf {
    EmfHeader header;
    QVector<Record> records; // the header record first, EOF last
};

struct WmfHeader {
    bool placeable = false;
    RectL bbox;          // placeable header's bounding box, logical units
    int unitsPerInch = 0; // placeable header's inch value
    uint16_t numObjects = 0;
    uint32_t sizeWords = 0;
};

struct ParsedWmf {
    WmfHeader header;
    QVector<Record> records; // after the headers, up to and including EOF when present
};

Kind detectKind(const QByteArray &bytes);
bool parseEmf(const QByteArray &bytes, ParsedEmf &out, QString *error = nullptr);
bool parseWmf(const QByteArray &bytes, ParsedWmf &out, QString *error = nullptr);

// The picture's size in pixels at 96 pixels per inch: an EMF's frame, a placeable WMF's
// box by its units per inch, a plain WMF's window extent (one unit a pixel). Empty when
// the bytes are not a metafile.
QSize naturalSize(const QByteArray &bytes);

// Plays an EMF or WMF so that its frame (EMF) or window (WMF) fills `dest`, given in the
// canvas's logical units. The canvas's state is saved before and restored after. False,
// with an error text, when the bytes do not parse; nothing is drawn then.
bool playMetafile(gdi::Canvas &canvas, const QByteArray &bytes, const QRectF &dest, QString *error = nullptr);
bool playEmf(gdi::Canvas &canvas, const QByteArray &emf, const QRectF &dest, QString *error = nullptr);
bool playWmf(gdi::Canvas &canvas, const QByteArray &wmf, const QRectF &dest, QString *error = nullptr);

// A WMF played into an EmfRecorder the size of its natural size. Empty on failure.
QByteArray wmfToEmf(const QByteArray &wmf, QString *error = nullptr);
// EMF bytes as they are, a WMF converted; empty when the bytes are neither.
QByteArray toEmf(const QByteArray &bytes, QString *error = nullptr);

} // namespace plat::metafile
