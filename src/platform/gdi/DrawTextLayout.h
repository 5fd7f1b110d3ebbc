#pragma once
// The line layout of DrawText, shared by every canvas back end: tabs, "&" prefixes, line
// ends, greedy word wrap at spaces, and the position of each line inside the rectangle.

#include <QRect>
#include <QSize>
#include <QString>
#include <QVector>
#include <functional>

namespace gdi {

struct DrawTextLayout {
    struct Line {
        QString text;
        int x = 0; // left of the line, logical units
        int y = 0; // top of the line
    };
    QVector<Line> lines;
    int lineHeight = 0;
    int totalHeight = 0; // what DrawText returns
    int maxWidth = 0;    // widest line
};

// Lays out `text` in `rect` by the DT_ flags; `measure` gives a string's extent in the
// canvas's current font, logical units.
DrawTextLayout layoutDrawText(const QString &text, const QRect &rect, unsigned flags,
                              const std::function<QSize(const QString &)> &measure);

} // namespace gdi
