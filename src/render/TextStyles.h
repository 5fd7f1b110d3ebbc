#pragma once
// The four text styles of a text object, "Text (Wrap)", "Text (No Wrap)", "Bar Code" and
// "Arc Text": drawing a string in its style with the object's rotation, colour and
// shadow, and the headless half of the property editor's style controls (the lists, the
// labels and the packing of the choice into the object's TextStyle word).
//
// Rectangles are GDI rectangles held in a QRect: right = x() + width(), bottom =
// y() + height(). Use gdiRect() to build one from its four edges.

#include "platform/gdi/Canvas.h"

#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QVector>
#include <cstdint>

namespace render {

enum TextStyleKind { TextStyleWrap = 0, TextStyleNoWrap = 1, TextStyleBarCode = 2, TextStyleArc = 3 };

// DrawText flags the text styles use.
constexpr unsigned kTextWordBreak = 0x10;
constexpr unsigned kTextNoClip = 0x100;
constexpr unsigned kTextNoPrefix = 0x800;

// Longest line the rotated layout gathers; longer lines are cut into pieces this long.
constexpr int kMaxRotatedLine = 1023;

inline QRect gdiRect(int l, int t, int r, int b) { return QRect(l, t, r - l, b - t); }
inline int gdiRight(const QRect &r) { return r.x() + r.width(); }
inline int gdiBottom(const QRect &r) { return r.y() + r.height(); }

// Draws `text` in the style of `style` (the TextStyle word) into `rect`. rotation is in
// tenths of a degree counter-clockwise; flags are the justification (0 left, 1 centre,
// 2 right) with 0x100; the shadow, when dx or dy is not 0, is drawn first in
// shadowColor, offset by (dx, dy) scaled with the zoom. The canvas's font is the
// object's font; the canvas's font, text colour and background mode are as before when
// this returns.
void DrawStyledText(gdi::Canvas &canvas, int rotation, QRect rect, unsigned flags, const QString &text,
                    gdi::ColorRef color, uint32_t style, int shadowDX, int shadowDY,
                    gdi::ColorRef shadowColor, int zoom);

// The two plain styles: DrawText when unrotated, else the rotated layout line by line.
void DrawTextBlock(gdi::Canvas &canvas, int rotation, QRect rect, const QString &text, unsigned flags);

// The shadow rectangle: each edge moved by d * zoom / 100 and truncated toward zero.
QRect ShadowRect(const QRect &rect, int dx, int dy, int zoom);

// The line-breaking rule of rotated plain text. Lines end at a carriage return (with its
// line feed) or a line feed; with wordBreak a line that is wider than `limit` is cut
// before the word that did not fit (a single word wider than the limit stays whole);
// spaces stay with the line they follow. lastHeight is the height of the last
// measurement made.
struct RotatedLines {
    QStringList lines;
    int lastHeight = 0;
};
RotatedLines BreakRotatedLines(gdi::Canvas &canvas, const QString &text, int limit, bool wordBreak);

// The whole degrees the rotated layout works with: rotation / 10, reduced modulo 360 when
// 360 or more (negative angles stay as they are).
int LayoutDegrees(int rotation);
// Where the first line of a rotated block of n lines of height h starts, by degrees d.
QPoint RotatedBlockStart(int d, const QRect &rect, int n, int h);

// "Arc Text": each character on a circle, turned to follow it.
void DrawArcText(gdi::Canvas &canvas, int left, int top, int right, int bottom, const QString &text,
                 int subStyle, int startStep);

// Where DrawArcText puts each character: the reference point, the font escapement
// (tenths of a degree) and the position angle on the circle (degrees, screen sense).
struct ArcGlyph {
    QChar ch;
    QPoint pos;
    int escapement = 0;
    int angle = 0;
};
struct ArcLayout {
    QVector<ArcGlyph> glyphs; // empty when nothing is drawn
    int cx = 0, cy = 0, r = 0;
    double halfW = 0; // degrees half a "W" covers on the circle
};
// Measured with the canvas's current font.
ArcLayout ArcTextLayout(gdi::Canvas &canvas, int left, int top, int right, int bottom, const QString &text,
                        int subStyle, int startStep);

// ---- style controls, as plain models the property editor binds to its widgets ----

struct ComboModel {
    QStringList items;
    QList<int> values; // item value of each entry
    int currentIndex = -1;
    bool visible = true;

    void clear();
    void add(const QString &text, int value = 0);
    // An index outside the list selects nothing (-1), as a combo box does.
    void setCurrentIndex(int index);
    QString currentText() const;
    // The selected entry's item value, 0 when nothing is selected.
    int currentValue() const;
};

struct LabelModel {
    QString text;
    bool visible = true;
};

struct TextStyleControls {
    ComboModel TextStyleCombo;
    ComboModel TextParam1Combo;
    LabelModel TextParam1Label;
    ComboModel TextParam2Combo;
    LabelModel TextParam2Label;
    ComboModel TextParam3Combo;
    LabelModel TextParam3Label;
};

// Fills the style list and selects the style of `style`, then fits the parameter lists.
void FillTextStyleControls(TextStyleControls &controls, uint32_t style);
// Fits the parameter lists to the style selected in TextStyleCombo. secondValue -1 takes
// the style's default; thirdValue is not used.
void SetupTextStyleParams(TextStyleControls &controls, int firstIndex, int secondValue, int thirdValue);
// Packs the choice into a TextStyle word: style, first index, second item value, third.
uint32_t ReadTextStyle(const ComboModel &styleCombo, const ComboModel &param1, const ComboModel &param2,
                       const ComboModel &param3);

} // namespace render
