#pragma once
// The selection frame of a design surface, without a window: the objects attached to it
// (kept in an editing::Selection, in the order they were attached), the frame that
// encloses them with 2 pixels to spare on the left and top and 3 on the right and
// bottom, the grab squares, the hover zones, the drag with its outline and the arrow
// keys. The surface widget feeds it mouse and key events in surface pixels and paints
// its squares and outline; the document listens to its mouse signals.

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QVector>
#include <cstdint>

namespace model {
class SurfaceItem;
class SurfaceModel;
} // namespace model

namespace editing {

class Selection;

enum TDragStyle {
    dsMove,
    dsSizeTopLeft,
    dsSizeTopRight,
    dsSizeBottomLeft,
    dsSizeBottomRight,
    dsSizeTop,
    dsSizeLeft,
    dsSizeBottom,
    dsSizeRight
};

enum TForwardMessage { fmMouseDown, fmMouseUp };

class TStretchHandle : public QObject {
    Q_OBJECT
public:
    // What a mouse event on the frame came to: handled by the frame, or to be delivered
    // to whatever lies under the point on the surface.
    enum class Result { Handled, Forwarded };

    TStretchHandle(model::SurfaceModel *surface, Selection *selection, QObject *parent = nullptr);

    // ---- properties ----
    uint32_t Color = 0;                 // squares with one object attached (0x00BBGGRR)
    uint32_t SecondaryColor = 0x808080; // squares with several
    bool Locked = false;
    int GridX = 1, GridY = 1;           // 1 to 32
    void SetGridX(int v);
    void SetGridY(int v);
    void SetGridState(bool on);
    bool GetGridState() const { return GridX > 1 || GridY > 1; }
    void SetColors(uint32_t primary, uint32_t secondary);
    void SetPrimaryColor(uint32_t c) { SetColors(c, SecondaryColor); }
    void SetSecondaryColor(uint32_t c) { SetColors(Color, c); }

    // ---- the attached objects ----
    // Position of the object in the list + 1. Null attaches nothing (returns 0).
    int Attach(model::SurfaceItem *control);
    void Detach();
    void ReleaseChild(model::SurfaceItem *control);
    int IndexOf(const model::SurfaceItem *control) const;
    int GetChildCount() const;
    model::SurfaceItem *GetChildControl(int index) const;
    QVector<model::SurfaceItem *> children() const;
    bool IsAttached() const { return GetChildCount() > 0; }

    // ---- the frame, in surface pixels ----
    QRect frame() const { return m_frame; }
    bool visible() const { return m_visible; }
    bool enabled() const { return m_visible; }
    void SetBounds(int left, int top, int width, int height);
    void SetBounds(const QRect &r) { SetBounds(r.x(), r.y(), r.width(), r.height()); }
    void BringToFront();
    void SendToBack();
    bool PointOverChild(QPoint parentPoint) const;
    QRect GetModifiedRect(int x, int y) const;
    int XGridAdjust(int v) const { return (v / GridX) * GridX; }
    int YGridAdjust(int v) const { return (v / GridY) * GridY; }

    // ---- painting ----
    // Grab squares in surface pixels, and their colour.
    QVector<QRect> grabSquares() const;
    uint32_t squareColor() const { return GetChildCount() == 1 ? Color : SecondaryColor; }
    // The drag outline in surface pixels (the union the drag would produce), or empty.
    QRect outline() const { return m_outline; }
    void Rubberband(int x, int y, bool show);

    // ---- mouse and keys; points in the frame's client coordinates ----
    Result MouseDown(Qt::MouseButton button, int x, int y);
    void MouseMove(Qt::MouseButtons buttons, int x, int y);
    Result MouseUp(Qt::MouseButton button, int x, int y);
    // Arrow keys: true when the key was one of them.
    bool KeyDown(int key);

    TDragStyle dragStyle() const { return m_dragStyle; }
    bool dragging() const { return m_dragging; }
    QPoint dragStart() const { return m_dragStart; }
    // The frame holds the mouse from Attach until a move or release finds the button up.
    bool hasCapture() const { return m_capture; }
    Qt::CursorShape cursor() const { return m_cursor; }
    // The hover zone of a client point (the style a drag from there would have).
    TDragStyle zoneAt(int x, int y) const;

signals:
    void changed(); // repaint the squares / outline
    void mouseDown(Qt::MouseButton button, int x, int y);
    void mouseMove(int x, int y);
    void mouseUp(Qt::MouseButton button, int x, int y);
    // Mouse events that are not the frame's own, in surface coordinates.
    void forwarded(editing::TForwardMessage kind, Qt::MouseButton button, int x, int y);

private:
    void clampToParent(int &x, int &y) const;
    void recomputeFrame();
    void resetDetached(bool resize);
    void selectionChanged();

    model::SurfaceModel *m_surface;
    Selection *m_selection;
    QRect m_frame{0, 0, 24, 24};
    bool m_visible = false;
    TDragStyle m_dragStyle = dsMove;
    bool m_dragging = false;
    bool m_capture = false;
    QPoint m_dragStart;
    QRect m_outline;
    Qt::CursorShape m_cursor = Qt::ArrowCursor;
    bool m_internal = false;
};

} // namespace editing
