#pragma once
// The design surface without its painting: the card-sized area of one region with its
// object items in stacking order (first = bottom), its margin frame, grid and background
// picture. Views listen to `changed` and repaint; they never keep their own copy.

#include "model/SurfaceItem.h"
#include "platform/Picture.h"

#include <QObject>
#include <QSize>
#include <memory>
#include <vector>

namespace model {

class SurfaceModel : public QObject {
    Q_OBJECT
public:
    explicit SurfaceModel(QObject *parent = nullptr);
    ~SurfaceModel() override;

    // Size of the surface in pixels at the current zoom.
    QSize size() const { return m_size; }
    int width() const { return m_size.width(); }
    int height() const { return m_size.height(); }
    void setSize(QSize s);

    // Margins are plain pixels; they do not follow the zoom.
    int marginLeft() const { return m_marginLeft; }
    int marginTop() const { return m_marginTop; }
    int marginRight() const { return m_marginRight; }
    int marginBottom() const { return m_marginBottom; }
    void setMargins(int left, int right, int top, int bottom);

    int gridX() const { return m_gridX; }
    int gridY() const { return m_gridY; }
    uint32_t dotColor() const { return m_dotColor; }
    bool showGrid() const { return m_showGrid; }
    bool showMargins() const { return m_showMargins; }
    void setGridX(int v);
    void setGridY(int v);
    void setDotColor(uint32_t c);
    void setShowGrid(bool on);
    void setShowMargins(bool on);

    const plat::Picture &background() const { return m_background; }
    void setBackground(const plat::Picture &p);

    // ---- items, in stacking order ----
    const std::vector<std::unique_ptr<SurfaceItem>> &items() const { return m_items; }
    int count() const { return static_cast<int>(m_items.size()); }
    SurfaceItem *itemAt(int index) const { return m_items.at(index).get(); }
    int indexOf(const SurfaceItem *item) const;
    bool contains(const SurfaceItem *item) const { return indexOf(item) >= 0; }
    SurfaceItem *findById(uint64_t id) const;
    SurfaceItem *findByName(const QString &name) const;
    // The top-most item whose bounds contain the point, or null.
    SurfaceItem *itemAtPoint(QPoint p) const;

    // A new item on top of the stacking order.
    SurfaceItem *addItem(SurfaceItem::Type type);
    // Destroys the item and its data.
    void removeItem(SurfaceItem *item);
    void clearItems();
    void bringToFront(SurfaceItem *item);
    void sendToBack(SurfaceItem *item);

    // Proportional rescaling of the surface and every item by num/den, each edge rounded
    // to the nearest pixel (margins and grid are not affected).
    void rescale(int num, int den);

    // Called by items when their geometry, picture or data change.
    void notifyItemChanged(SurfaceItem *item);

signals:
    void changed();
    void itemChanged(model::SurfaceItem *item);
    void itemsChanged(); // added, removed or restacked
    void itemAboutToBeRemoved(model::SurfaceItem *item);

private:
    QSize m_size{0, 0};
    int m_marginLeft = 8, m_marginTop = 8, m_marginRight = 8, m_marginBottom = 8;
    int m_gridX = 8, m_gridY = 8;
    uint32_t m_dotColor = 0;
    bool m_showGrid = true;
    bool m_showMargins = true;
    plat::Picture m_background;
    std::vector<std::unique_ptr<SurfaceItem>> m_items;
    uint64_t m_nextId = 1;
};

} // namespace model
