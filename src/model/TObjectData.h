#pragma once
// The properties of one design object, and the two conversions between them and the
// object property record: a 171-byte head followed by DataSize bytes of text strings or
// a picture. Region blobs, design files, the clipboard and the undo history are all
// sequences of these records.

#include "platform/LogFont.h"

#include <QByteArray>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace model {

class SurfaceItem;

namespace ObjectKind {
constexpr char Text = 'T';
constexpr char Graphic = 'G';
constexpr char Line = 'L';
constexpr char Box = 'B';
constexpr char RoundBox = 'R';
constexpr char Ellipse = 'C';
constexpr char Embedded = 'O';
} // namespace ObjectKind

namespace ObjectFlag {
constexpr uint32_t NonPrinting = 0x1;
constexpr uint32_t Locked = 0x2;
} // namespace ObjectFlag

// Field offsets of the object property record.
namespace Rec {
constexpr int Kind = 0, Left = 1, Top = 5, Height = 9, Width = 13, Flags = 17, Style = 21,
              ColorFG = 25, ColorBG = 29, LineSize = 33, Reserved = 34, LineType = 35,
              LogFont = 36, TextStyle = 96, ShadowDX = 100, ShadowDY = 101,
              DataSize = 166, DataKind = 170, HeadSize = 171;
}

// Zoom conversions: pixels = trunc(u * z / 100); units = trunc(p * 100 / z).
int unitsToPixels(int64_t units, int zoom);
int pixelsToUnits(int64_t pixels, int zoom);

class TObjectData {
public:
    // Defaults of a new object of `kind`; texts get the font "Arial" 12 pt and the one
    // string "Text".
    TObjectData(SurfaceItem *control, char kind);
    // Rebuilds an object from one record (the caller has checked it with
    // `checkRecord`), setting the control's bounds at `zoom` and, for graphics, its
    // picture. With keepInView, an object beyond the right or bottom edge of the
    // control's surface is brought back inside it.
    TObjectData(SurfaceItem *control, const char *record, int zoom, bool keepInView);

    // Size of the record at `record` if it is complete and well-formed within
    // `available` bytes, else -1: the head fits, DataSize fits, the kind letter is one
    // of the known kinds, a text's strings are terminated inside the data, and a
    // graphic carries a bitmap or metafile (a graphic never exists without a picture).
    static qsizetype checkRecord(const char *record, qsizetype available);

    int RecordSize() const;
    int WriteRecord(char *buffer, int zoom) const;
    // RecordSize then WriteRecord into a new array.
    QByteArray toRecord(int zoom) const;

    SurfaceItem *Control = nullptr;
    char Kind = ObjectKind::Text;
    uint32_t Flags = 0;
    int32_t Style = 0;
    uint32_t ColorFG = 0;
    uint32_t ColorBG = 0xFFFFFF;
    int32_t LineSize = 1;
    int32_t Reserved = 0;
    int32_t LineType = 0;
    std::optional<plat::LogFont> Font; // texts only
    QStringList Lines;                 // texts only
    uint32_t TextStyle = 0;
    int8_t ShadowDX = 0;
    int8_t ShadowDY = 0;
    int32_t Rotation = 0;
    // Embedded objects read from a file keep their stream image unchanged.
    QByteArray EmbeddedData;
    // ... and the head they were read with, so that every byte the model does not
    // interpret (font area, reserved bytes, DataKind) is written back as it was.
    QByteArray EmbeddedHead;

    bool isText() const { return Kind == ObjectKind::Text; }
    bool isShape() const;
    bool nonPrinting() const { return Flags & ObjectFlag::NonPrinting; }
    bool locked() const { return Flags & ObjectFlag::Locked; }

private:
    QByteArray variableData(char *dataKind) const;
};

} // namespace model
