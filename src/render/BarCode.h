#pragma once
// Bar codes of text objects: the PostNet, UPC-A and Code 39 encoders, which turn a text
// into a string of modules ('2' full bar, '1' half bar, '0' space), and the drawing of
// any such pattern into an object's rectangle. Text that does not encode shows a framed
// placeholder instead, so a design still shows where its bar code goes.

#include "platform/gdi/Canvas.h"

#include <QString>

namespace render {

enum BarCodeType { BarCodePostNet = 0, BarCodeUPCA = 1, BarCodeCode39 = 2 };

// What an encoder gives back. The size hints are pixels at 100 % zoom; all three are 0
// when the pattern is to be fitted to the rectangle.
struct BarCodePattern {
    bool ok = false;
    QString modules;
    int moduleWidth = 0;
    int halfHeight = 0;
    int fullHeight = 0;
};

// The placeholder written when a text does not encode.
inline constexpr const char *kBarCodePlaceholder = "Barcode (Pending Data)";

BarCodePattern EncodePostNet(const QString &text);
BarCodePattern EncodeUPCA(const QString &text);
BarCodePattern EncodeCode39(const QString &text);
// The encoder of `type`; any other type fails.
BarCodePattern EncodeBarCode(const QString &text, int type);

// Draws `text` as a bar code of `type` into (L, T, R, B). Flags: bit 0 centre, bit 1
// right, neither left (DrawText justification bits). Bars and the human-readable text
// are drawn in `color`, the text in the canvas's current font. Returns whether the text
// encoded; when it does not, the placeholder is drawn whatever drawBars and drawText say.
bool DrawBarCode(gdi::Canvas &canvas, int left, int top, int right, int bottom, const QString &text,
                 int type, unsigned flags, bool drawBars, bool drawText, int zoom, gdi::ColorRef color);

} // namespace render
