#pragma once
// Device-independent bitmap helpers: moving a bitmap picture to and from a packed DIB
// (a BMP file without its 14-byte file header), measuring a DIB, and drawing one.

#include "platform/Picture.h"
#include "platform/gdi/Canvas.h"

#include <QByteArray>
#include <QRgb>
#include <QVector>
#include <optional>

namespace plat::bmp {

// The bitmap's bytes as a packed DIB; empty when the picture is not a readable bitmap.
QByteArray BitmapToDib(const Picture &bitmap);
// A bitmap picture holding `dib` behind a file header; a null picture when the DIB does
// not decode. (The caller's block is taken by value: the DIB is consumed.)
Picture DibToBitmap(QByteArray dib);

struct DibInfo {
    qsizetype size = 0; // header + colour table + uncompressed rows, as the program counts it
    int width = 0;
    int height = 0;
    int colors = 0;     // colour-table entries by the bit depth: 2, 16, 256, or 0
};
// Size, width, height and colour count of a DIB: colours from the bit count (2, 16, 256 or
// none); size = ((bits x width + 31) / 32) x 4 x height + colours x 4 + 40.
bool GetDibInfo(const QByteArray &dib, DibInfo &info);

// The logical palette of a DIB with a colour table: as many entries as its used-colours
// count, or the whole table when that count is 0; none for true-colour DIBs.
std::optional<QVector<QRgb>> DibPalette(const QByteArray &dib);

// A palette to select before drawing the DIB on `canvas`. Only palette devices (8-bit
// displays) need one; every Qt paint device is true colour, so there is never a palette
// to make and the result is always none. Kept so callers read like the drawing code of a
// palette device and stay correct if such a device ever appears.
std::optional<QVector<QRgb>> CreateDibPalette(const gdi::Canvas &canvas, const QByteArray &dib);

// Draws the whole DIB stretched into (x, y, width, height), logical units of `canvas`,
// with the copy raster operation. `palette` and `background` choose how a palette is
// realised on palette devices; on true-colour devices they change nothing. False when
// the DIB does not decode.
bool DrawDib(gdi::Canvas &canvas, const QByteArray &dib, int x, int y, int width, int height,
             const std::optional<QVector<QRgb>> &palette = std::nullopt, bool background = false);

} // namespace plat::bmp
