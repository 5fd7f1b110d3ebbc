#pragma once
// The design surface on screen: shows a SurfaceModel (face, dotted margin frame,
// background, grid, objects bottom to top) through the one drawing path every output
// uses, and repaints when the model changes.

#include <QWidget>

namespace model {
class SurfaceModel;
}

namespace editing {

class CardPanelView : public QWidget {
    Q_OBJECT
public:
    CardPanelView(model::SurfaceModel *surface, QWidget *parent = nullptr);
    model::SurfaceModel *surface() const { return m_surface; }
    void setZoom(int zoom) { m_zoom = zoom; update(); }
    int zoom() const { return m_zoom; }
    QSize sizeHint() const override;

signals:
    void mousePressedOnSurface(QPoint pos, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void doubleClicked(QPoint pos);

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;

private:
    void syncSize();
    model::SurfaceModel *m_surface;
    int m_zoom = 100;
};

} // namespace editing
