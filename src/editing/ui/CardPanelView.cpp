#include "editing/ui/CardPanelView.h"

#include "editing/StretchHandle.h"
#include "editing/SurfacePainter.h"
#include "model/SurfaceModel.h"
#include "platform/gdi/PainterCanvas.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace editing {

CardPanelView::CardPanelView(model::SurfaceModel *surface, QWidget *parent) : QWidget(parent), m_surface(surface)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
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
    {
        // The canvas gives the painter back in its own state when it goes.
        gdi::PainterCanvas canvas(painter);
        paintSurface(canvas, *m_surface, m_zoom);
    }
    if (!m_handle || !m_handle->visible())
        return;
    // The selection overlay: grab squares, and the outline of a drag in progress.
    const uint32_t c = m_handle->squareColor();
    const QColor square(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
    for (const QRect &r : m_handle->grabSquares())
        painter.fillRect(r, square);
    const QRect o = m_handle->outline();
    if (!o.isNull()) {
        painter.setPen(QPen(Qt::black, 0, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(o.adjusted(0, 0, -1, -1));
    }
}

void CardPanelView::setStretchHandle(TStretchHandle *handle)
{
    m_handle = handle;
    connect(handle, &TStretchHandle::changed, this, qOverload<>(&QWidget::update));
}

void CardPanelView::mouseMoveEvent(QMouseEvent *e) { emit mouseMovedOnSurface(e->position().toPoint(), e->buttons()); }

void CardPanelView::mouseReleaseEvent(QMouseEvent *e)
{
    emit mouseReleasedOnSurface(e->position().toPoint(), e->button());
}

void CardPanelView::keyPressEvent(QKeyEvent *e)
{
    if (m_keyHandler && m_keyHandler(e->key())) {
        e->accept();
        return;
    }
    QWidget::keyPressEvent(e);
}

void CardPanelView::mousePressEvent(QMouseEvent *e)
{
    emit mousePressedOnSurface(e->position().toPoint(), e->button(), e->modifiers());
}

void CardPanelView::mouseDoubleClickEvent(QMouseEvent *e) { emit doubleClicked(e->position().toPoint()); }

} // namespace editing
