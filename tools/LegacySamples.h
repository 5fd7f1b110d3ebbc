#pragma once
// Builders of designs in the formats of the program's earlier generations: the
// "RTVN32DrawObject" stream of a `.bco` file and flat `.bcd` files (versions 21 to 39 and
// 40), written field by field from the record layouts, and the compound file around a
// stream (CompoundWriter.cpp). Used by the import tests, the Import command's tests and
// the fuzz corpus generator (make_legacy_fixtures).

#include "layout/LayoutRecord.h"
#include "platform/ByteIO.h"
#include "platform/LogFont.h"

#include <QByteArray>
#include <QRgb>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <utility>
#include <vector>

namespace legacysamples {

// One object as the old programs stored it; which fields a format keeps is up to it.
struct OldObject {
    char kind = 'B';
    QByteArray text;                       // the record's own string
    std::array<uint8_t, 3> fg{0, 0, 0};    // red, green, blue
    std::array<uint8_t, 3> bg{255, 255, 255};
    plat::LogFont font;                    // texts
    int32_t gLeft = 0, gRight = 0, gTop = 0, gBottom = 0; // graphic rectangle
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;               // text and shape points
    uint8_t lineSize = 1;
    QByteArray data;                       // a graphic's packed bitmap, a text's list slots
    std::optional<int32_t> dataSizeField;  // stored instead of data.size() when set
    uint32_t style = 0;
    uint32_t flags = 0;
    int8_t dx = 0, dy = 0;
};

// 248-byte record of a `.bco` file.
QByteArray bcoRecord(const OldObject &o);
// 161-byte (versions 21 to 39) or 184-byte (version 40) record of a `.bcd` file.
QByteArray bcdRecord(const OldObject &o, int version);

// Strings in the 75-byte slots of a text's list data.
QByteArray listSlots(const QStringList &strings);
// A packed bitmap (no file header) of `w` x `h` pixels in one colour, 24 bits.
QByteArray solidDib(int w, int h, QRgb colour);
// The records of a plain Windows metafile (its 18-byte header first, no placeable
// header) that fills its window of `w` x `h` units with `colour`.
QByteArray solidWmf(int w, int h, QRgb colour);

// A layout with every field set (and region type, back flag and reserved words that
// the import overrides): 2 x 5 cards of 3.5 x 2 inches.
layout::LayoutRecord sampleLayout();

struct Bco {
    uint32_t version = 550;
    std::optional<uint32_t> countField;    // stored instead of objects.size() when set
    std::array<int32_t, 4> margins{10, 20, 30, 40}; // left, right, top, bottom
    // Written whole for version 500 and above; below, its bytes from offset 50 on.
    layout::LayoutRecord layout = sampleLayout();
    std::vector<OldObject> objects;
    int32_t backgroundType = 0;            // 0 none, 1 metafile records, 2 packed bitmap
    QByteArray background;
    std::optional<int32_t> backgroundSizeField;
    QByteArray trailer;                    // bytes after everything, or cut from the end

    // The "RTVN32DrawObject" stream.
    QByteArray stream() const;
};

struct Bcd {
    uint16_t version = 40;
    std::optional<int32_t> countField;
    std::array<int16_t, 4> margins{10, 20, 30, 40};
    // Version 40: the layout block's name and eight values.
    QByteArray layoutName = "Old Stock";
    std::array<uint16_t, 8> layoutValues{5, 2, 350, 200, 50, 75, 0, 0};
    std::vector<OldObject> objects;

    QByteArray file() const;
};

// One object of every kind: a text, a graphic (4 x 3 red pixels), the line from
// (100, 300) to (400, 100), a box, a round box, an ellipse and a text with a list of
// three names.
std::vector<OldObject> sampleObjects();

// The committed fixtures (tests/fixtures/legacy/, also the fuzz corpus): name and bytes.
std::vector<std::pair<QString, QByteArray>> legacyFixtures();

// Compound files (CompoundWriter.cpp). Each entry of the root storage is a stream, or an
// empty storage when `storage` is set.
struct Entry {
    QString name;
    QByteArray bytes;
    bool storage = false;
};
// The compound file holding `entries`, with sectors of `sectorSize` bytes (512 or 4096).
QByteArray compoundFile(const std::vector<Entry> &entries, int sectorSize = 512);
// A `.bco` file: the compound file with the one stream "RTVN32DrawObject".
QByteArray bcoFile(const QByteArray &stream, int sectorSize = 512);

} // namespace legacysamples
