#include "editing/ui/CardPanelView.h"

#include "editing/SurfacePainter.h"
#include "model/SurfaceModel.h"
#include "platform/gdi/PainterCanvas.h"

#include <QMouseEvent>
#include <QPainter>

namespace editing {

CardPanelView::CardPanelView(model::SurfaceModel *surface, QWidget *parent) : QWidget(parent), m_surface(surface)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(surface, &model::SurfaceModel::changed, this, [this] {
        syncSize();
        update();
    });
    syncSize();
}

QSize CardPanelView::sizeHint() const { return m_surface->size(); }

void CardPanelView::syncSize()
{
    if (size() != m_surface->size())
        resize(m_surface->size());
}

void CardPanelView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    gdi::PainterCanvas canvas(painter);
    paintSurface(canvas, *m_surface, m_zoom);
}

void CardPanelView::mousePressEvent(QMouseEvent *e)
{
    emit mousePressedOnSurface(e->position().toPoint(), e->button(), e->modifiers());
}

void CardPanelView::mouseDoubleClickEvent(QMouseEvent *e) { emit doubleClicked(e->position().toPoint()); }

} // namespace editing
