#include "editing/StretchHandle.h"

#include "editing/Selection.h"
#include "model/SurfaceModel.h"

#include <algorithm>
#include <cstdlib>

namespace editing {

TStretchHandle::TStretchHandle(model::SurfaceModel *surface, Selection *selection, QObject *parent)
    : QObject(parent), m_surface(surface), m_selection(selection)
{
    // Objects that leave the surface, or a selection emptied by the document (region
    // switch, zoom), reach the frame through the selection.
    connect(selection, &Selection::changed, this, &TStretchHandle::selectionChanged);
}

void TStretchHandle::SetGridX(int v) { GridX = std::clamp(v, 1, 32); }
void TStretchHandle::SetGridY(int v) { GridY = std::clamp(v, 1, 32); }

void TStretchHandle::SetGridState(bool on)
{
    GridX = GridY = on ? 8 : 1;
}

void TStretchHandle::SetColors(uint32_t primary, uint32_t secondary)
{
    Color = primary;
    SecondaryColor = secondary;
    emit changed();
}

int TStretchHandle::GetChildCount() const { return m_selection->count(); }

QVector<model::SurfaceItem *> TStretchHandle::children() const { return m_selection->items(); }

int TStretchHandle::IndexOf(const model::SurfaceItem *control) const
{
    return int(children().indexOf(const_cast<model::SurfaceItem *>(control)));
}

model::SurfaceItem *TStretchHandle::GetChildControl(int index) const
{
    const auto list = children();
    if (index < 0 || index >= list.size())
        return nullptr;
    return list.at(index);
}

int TStretchHandle::Attach(model::SurfaceItem *control)
{
    if (!control)
        return 0;
    const int existing = IndexOf(control);
    if (existing >= 0)
        return existing + 1;
    if (control->surface() != m_surface || !m_surface->contains(control)) {
        // A control of another surface replaces the selection; it cannot join this one.
        Detach();
        return 0;
    }
    const QRect c = control->bounds();
    if (!IsAttached()) {
        m_outline = QRect();
        m_visible = true;
        m_frame = QRect(c.x() - 2, c.y() - 2, c.width() + 5, c.height() + 5);
    } else {
        const int left = std::min(m_frame.x(), c.x() - 2);
        const int top = std::min(m_frame.y(), c.y() - 2);
        const int right = std::max(m_frame.x() + m_frame.width() - 3, c.x() + c.width()) + 3;
        const int bottom = std::max(m_frame.y() + m_frame.height() - 3, c.y() + c.height()) + 3;
        m_frame = QRect(left, top, right - left, bottom - top);
    }
    m_internal = true;
    m_selection->add(control);
    m_internal = false;
    m_dragStyle = dsMove;
    m_capture = true;
    emit changed();
    return GetChildCount();
}

void TStretchHandle::resetDetached(bool resize)
{
    Locked = false;
    if (resize)
        m_frame.setSize(QSize(24, 24));
    m_visible = false;
    m_outline = QRect();
    m_dragging = false;
    m_capture = false;
    m_dragStyle = dsMove;
}

void TStretchHandle::Detach()
{
    m_internal = true;
    m_selection->clear();
    m_internal = false;
    resetDetached(true);
    emit changed();
}

void TStretchHandle::recomputeFrame()
{
    const auto list = children();
    if (list.isEmpty())
        return;
    // The union from the edges (QRect::united would skip objects of size 0).
    int l = list.first()->left(), t = list.first()->top();
    int r = l + list.first()->width(), b = t + list.first()->height();
    for (const model::SurfaceItem *c : list) {
        l = std::min(l, c->left());
        t = std::min(t, c->top());
        r = std::max(r, c->left() + c->width());
        b = std::max(b, c->top() + c->height());
    }
    m_frame = QRect(l - 2, t - 2, r - l + 5, b - t + 5);
}

void TStretchHandle::ReleaseChild(model::SurfaceItem *control)
{
    if (IndexOf(control) < 0)
        return;
    m_internal = true;
    m_selection->remove(control);
    m_internal = false;
    if (!IsAttached())
        resetDetached(false);
    else
        recomputeFrame();
    emit changed();
}

void TStretchHandle::selectionChanged()
{
    if (m_internal)
        return;
    if (!IsAttached())
        resetDetached(true);
    else
        recomputeFrame();
    emit changed();
}

void TStretchHandle::SetBounds(int left, int top, int width, int height)
{
    if (Locked)
        return;
    const QRect f = m_frame;
    for (model::SurfaceItem *c : children())
        c->setBounds(c->left() + left - f.x(), c->top() + top - f.y(), std::max(0, c->width() + width - f.width()),
                     std::max(0, c->height() + height - f.height()));
    m_frame = QRect(left, top, width, height);
    emit changed();
}

void TStretchHandle::BringToFront()
{
    if (!IsAttached() || Locked)
        return;
    for (model::SurfaceItem *c : children())
        m_surface->bringToFront(c);
    emit changed();
}

void TStretchHandle::SendToBack()
{
    if (!IsAttached() || Locked)
        return;
    for (model::SurfaceItem *c : children())
        m_surface->sendToBack(c);
    emit changed();
}

bool TStretchHandle::PointOverChild(QPoint p) const
{
    for (const model::SurfaceItem *c : children())
        if (QRect(c->left() - 2, c->top() - 2, c->width() + 4, c->height() + 4).contains(p))
            return true;
    return false;
}

QRect TStretchHandle::GetModifiedRect(int x, int y) const
{
    const int dx = x - m_dragStart.x();
    const int dy = y - m_dragStart.y();
    const int uL = m_frame.x() + 2, uT = m_frame.y() + 2;
    const int uW = m_frame.width() - 5, uH = m_frame.height() - 5;
    int L = uL, T = uT, W = uW, H = uH;
    auto moveLeft = [&] { L = XGridAdjust(uL + dx); W = uL + uW - L; };
    auto moveTop = [&] { T = YGridAdjust(uT + dy); H = uT + uH - T; };
    switch (m_dragStyle) {
    case dsMove:
        L = XGridAdjust(uL + dx);
        T = YGridAdjust(uT + dy);
        break;
    case dsSizeTopLeft:
        moveLeft();
        moveTop();
        break;
    case dsSizeTopRight:
        moveTop();
        W = XGridAdjust(uW + dx);
        break;
    case dsSizeBottomLeft:
        moveLeft();
        H = YGridAdjust(uH + dy);
        break;
    case dsSizeBottomRight:
        W = XGridAdjust(uW + dx);
        H = YGridAdjust(uH + dy);
        break;
    case dsSizeTop:
        moveTop();
        break;
    case dsSizeLeft:
        moveLeft();
        break;
    case dsSizeBottom:
        H = YGridAdjust(uH + dy);
        break;
    case dsSizeRight:
        W = XGridAdjust(uW + dx);
        break;
    }
    W = std::max(W, 0);
    H = std::max(H, 0);
    return QRect(L - 2, T - 2, W + 5, H + 5);
}

QVector<QRect> TStretchHandle::grabSquares() const
{
    QVector<QRect> out;
    const auto list = children();
    for (const model::SurfaceItem *c : list) {
        const int L = c->left() - 2, T = c->top() - 2;
        const int R = c->left() + c->width() + 2, B = c->top() + c->height() + 2;
        out << QRect(L, T, 5, 5) << QRect(R - 5, T, 5, 5) << QRect(L, B - 5, 5, 5) << QRect(R - 5, B - 5, 5, 5);
        if (list.size() == 1) {
            const int w = (R - L) / 2, h = (B - T) / 2;
            out << QRect(L + w - 2, T, 5, 5) << QRect(L + w - 2, B - 5, 5, 5) << QRect(L, T + h - 2, 5, 5)
                << QRect(R - 5, T + h - 2, 5, 5);
        }
    }
    return out;
}

void TStretchHandle::Rubberband(int x, int y, bool show)
{
    m_outline = QRect();
    if (show) {
        const QRect r = GetModifiedRect(x, y);
        m_outline = QRect(r.x() + 2, r.y() + 2, r.width() - 5, r.height() - 5);
    }
    emit changed();
}

TDragStyle TStretchHandle::zoneAt(int x, int y) const
{
    if (GetChildCount() != 1)
        return dsMove;
    const int W = m_frame.width(), H = m_frame.height();
    const double hw = W / 2.0, hh = H / 2.0;
    TDragStyle s = dsMove;
    if (std::abs(x) < 6 && std::abs(y) < 6)
        s = dsSizeTopLeft;
    if (std::abs(x - W) < 6 && std::abs(y - H) < 6)
        s = dsSizeBottomRight;
    if (std::abs(x - W) < 6 && std::abs(y) < 6)
        s = dsSizeTopRight;
    if (std::abs(x) < 6 && std::abs(y - H) < 6)
        s = dsSizeBottomLeft;
    if (std::abs(x - hw) < 4 && std::abs(y) < 6)
        s = dsSizeTop;
    if (std::abs(x - hw) < 4 && std::abs(y - H) < 6)
        s = dsSizeBottom;
    if (std::abs(y - hh) < 4 && std::abs(x) < 6)
        s = dsSizeLeft;
    if (std::abs(y - hh) < 4 && std::abs(x - W) < 6)
        s = dsSizeRight;
    return s;
}

static Qt::CursorShape cursorFor(TDragStyle s)
{
    switch (s) {
    case dsSizeTopLeft:
    case dsSizeBottomRight:
        return Qt::SizeFDiagCursor;
    case dsSizeTopRight:
    case dsSizeBottomLeft:
        return Qt::SizeBDiagCursor;
    case dsSizeTop:
    case dsSizeBottom:
        return Qt::SizeVerCursor;
    case dsSizeLeft:
    case dsSizeRight:
        return Qt::SizeHorCursor;
    case dsMove:
        break;
    }
    return Qt::ArrowCursor;
}

void TStretchHandle::clampToParent(int &x, int &y) const
{
    x = std::clamp(x + m_frame.x(), 0, std::max(0, m_surface->width())) - m_frame.x();
    y = std::clamp(y + m_frame.y(), 0, std::max(0, m_surface->height())) - m_frame.y();
}

TStretchHandle::Result TStretchHandle::MouseDown(Qt::MouseButton button, int x, int y)
{
    if (PointOverChild(QPoint(x + m_frame.x(), y + m_frame.y()))) {
        if (button == Qt::LeftButton && !Locked) {
            m_dragStart = QPoint(x, y);
            m_dragging = true;
        }
        emit mouseDown(button, x, y);
        return Result::Handled;
    }
    m_cursor = Qt::ArrowCursor;
    emit forwarded(fmMouseDown, button, x + m_frame.x(), y + m_frame.y());
    return Result::Forwarded;
}

void TStretchHandle::MouseMove(Qt::MouseButtons buttons, int x, int y)
{
    const bool left = buttons & Qt::LeftButton;
    if (left && !m_dragging && !Locked) {
        m_dragStart = QPoint(x, y);
        m_dragging = true;
    } else {
        if (!left) {
            m_capture = false;
            if (m_dragging) {
                // The button went up where the frame could not see it: the drag is
                // abandoned without changing anything.
                m_dragging = false;
                Rubberband(x, y, false);
            }
        }
        const TDragStyle zone = zoneAt(x, y);
        if (m_dragging) {
            clampToParent(x, y);
            if (m_dragStyle == dsMove)
                m_cursor = Qt::DragMoveCursor;
            Rubberband(x, y, true);
        } else {
            m_dragStyle = zone;
            m_cursor = Locked ? Qt::ForbiddenCursor : cursorFor(zone);
        }
    }
    emit mouseMove(x, y);
}

TStretchHandle::Result TStretchHandle::MouseUp(Qt::MouseButton button, int x, int y)
{
    if (!m_dragging || button != Qt::LeftButton) {
        emit forwarded(fmMouseUp, button, x + m_frame.x(), y + m_frame.y());
        return Result::Forwarded;
    }
    clampToParent(x, y);
    if (QPoint(x, y) != m_dragStart)
        SetBounds(GetModifiedRect(x, y));
    Rubberband(x, y, false);
    m_dragging = false;
    m_cursor = Qt::ArrowCursor;
    m_capture = false;
    emit mouseUp(button, x, y);
    return Result::Handled;
}

bool TStretchHandle::KeyDown(int key)
{
    int dx = 0, dy = 0;
    switch (key) {
    case Qt::Key_Left: dx = -1; break;
    case Qt::Key_Right: dx = 1; break;
    case Qt::Key_Up: dy = -1; break;
    case Qt::Key_Down: dy = 1; break;
    default: return false;
    }
    SetBounds(m_frame.x() + dx, m_frame.y() + dy, m_frame.width(), m_frame.height());
    return true;
}

} // namespace editing
