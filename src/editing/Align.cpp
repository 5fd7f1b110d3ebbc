#include "editing/Align.h"

#include "editing/StretchHandle.h"
#include "model/SurfaceModel.h"

#include <QVector>
#include <cmath>
#include <utility>

namespace editing {

namespace {

// Snaps one axis: the start edge onto a multiple of the step (a start within the first
// step goes to 0 unless it is already at or before 0), then the far edge down onto one.
void snapAxis(int &start, int &size, int step)
{
    if (start < step) {
        if (start >= 1)
            start = 0;
    } else {
        start -= start % step;
    }
    size -= (start + size) % step;
}

void spaceEqually(TStretchHandle &handles, bool horizontal)
{
    QVector<model::SurfaceItem *> list = handles.children();
    const int n = int(list.size());
    if (n < 3)
        return;
    auto pos = [horizontal](const model::SurfaceItem *c) { return horizontal ? c->left() : c->top(); };
    auto extent = [horizontal](const model::SurfaceItem *c) { return horizontal ? c->width() : c->height(); };
    // Exchange sort on the leading edge, as the users of this command are used to it
    // (equal edges may change their relative order).
    for (int i = 0; i < n - 1; ++i)
        for (int j = i + 1; j < n; ++j)
            if (pos(list[j]) < pos(list[i]))
                std::swap(list[i], list[j]);
    double sum = 0;
    for (const model::SurfaceItem *c : list)
        sum += extent(c);
    const QRect f = handles.frame();
    const double d = ((horizontal ? f.width() : f.height()) - sum) / double(n - 1);
    double x = horizontal ? f.x() : f.y();
    for (int j = 1; j <= n - 2; ++j) {
        x = std::trunc(x + extent(list[j - 1]) + d);
        model::SurfaceItem *c = list[j];
        if (horizontal)
            c->setPosition(int(x), c->top());
        else
            c->setPosition(c->left(), int(x));
    }
}

} // namespace

void ApplyAlignment(TStretchHandle &h, const model::SurfaceModel &s, int op)
{
    const QRect F = h.frame();
    const int W = s.width(), H = s.height();
    const int ML = s.marginLeft(), MT = s.marginTop(), MR = s.marginRight(), MB = s.marginBottom();
    auto frameLeft = [&](int left) { h.SetBounds(left, F.y(), F.width(), F.height()); };
    auto frameTop = [&](int top) { h.SetBounds(F.x(), top, F.width(), F.height()); };
    switch (op) {
    case AlignToGrid: {
        const int gx = s.gridX(), gy = s.gridY();
        if (gx < 2)
            break;
        for (model::SurfaceItem *c : h.children()) {
            int left = c->left(), width = c->width(), top = c->top(), height = c->height();
            snapAxis(left, width, gx);
            snapAxis(top, height, std::max(1, gy));
            c->setBounds(left, top, width, height);
        }
        break;
    }
    case AlignLeft:
        frameLeft(ML);
        break;
    case AlignHCenter:
        frameLeft(ML + (W - ML - MR - F.width()) / 2);
        break;
    case AlignRight:
        frameLeft(W - F.width() - MR);
        break;
    case AlignTop:
        frameTop(MT);
        break;
    case AlignVCenter:
        frameTop(MT + (H - MT - MB - F.height()) / 2);
        break;
    case AlignBottom:
        frameTop(H - F.height() - MB);
        break;
    case AlignGroupLeft:
    case AlignGroupHCenter:
    case AlignGroupRight:
        for (model::SurfaceItem *c : h.children()) {
            const int left = op == AlignGroupLeft      ? F.x()
                             : op == AlignGroupHCenter ? F.x() + (F.width() - c->width()) / 2
                                                       : F.x() + F.width() - c->width();
            c->setPosition(left, c->top());
        }
        break;
    case AlignGroupTop:
    case AlignGroupVCenter:
    case AlignGroupBottom:
        for (model::SurfaceItem *c : h.children()) {
            const int top = op == AlignGroupTop       ? F.y()
                            : op == AlignGroupVCenter ? F.y() + (F.height() - c->height()) / 2
                                                      : F.y() + F.height() - c->height();
            c->setPosition(c->left(), top);
        }
        break;
    case AlignGroupHSpace:
        spaceEqually(h, true);
        break;
    case AlignGroupVSpace:
        spaceEqually(h, false);
        break;
    default:
        break;
    }
}

void ApplyFitToMargins(TStretchHandle &h, const model::SurfaceModel &s)
{
    h.SetBounds(s.marginLeft(), s.marginTop(), s.width() - s.marginLeft() - s.marginRight(),
                s.height() - s.marginTop() - s.marginBottom());
}

} // namespace editing
