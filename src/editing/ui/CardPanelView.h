#pragma once
// The design surface on screen: shows a SurfaceModel (face, dotted margin frame,
// background, grid, objects bottom to top) through the one drawing path every output
// uses, and repaints when the model changes.

#include <QWidget>
#include <functional>

namespace model {
class SurfaceModel;
}

namespace editing {

class TStretchHandle;

class CardPanelView : public QWidget {
    Q_OBJECT
public:
    CardPanelView(model::SurfaceModel *surface, QWidget *parent = nullptr);
    model::SurfaceModel *surface() const { return m_surface; }
    void setZoom(int zoom) { m_zoom = zoom; update(); }
    int zoom() const { return m_zoom; }
    QSize sizeHint() const override;
    // The selection frame whose grab squares and drag outline are painted over the
    // surface.
    void setStretchHandle(TStretchHandle *handle);
    // Keys pressed while the surface has the focus; true when the key was used.
    void setKeyHandler(std::function<bool(int key)> handler) { m_keyHandler = std::move(handler); }

signals:
    void mousePressedOnSurface(QPoint pos, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void doubleClicked(QPoint pos);
    void mouseMovedOnSurface(QPoint pos, Qt::MouseButtons buttons);
    void mouseReleasedOnSurface(QPoint pos, Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    void syncSize();
    model::SurfaceModel *m_surface;
    int m_zoom = 100;
    TStretchHandle *m_handle = nullptr;
    std::function<bool(int)> m_keyHandler;
};

} // namespace editing
