#pragma once
// The selected objects of a document, by item id, in the order they were selected. The
// selection handles, the property editor and every command that acts on "the selection"
// read it here; it forgets items that leave the surface.

#include <QObject>
#include <QVector>
#include <cstdint>

namespace model {
class SurfaceItem;
class SurfaceModel;
} // namespace model

namespace editing {

class Selection : public QObject {
    Q_OBJECT
public:
    explicit Selection(model::SurfaceModel *surface, QObject *parent = nullptr);

    model::SurfaceModel *surface() const { return m_surface; }
    int count() const { return int(m_ids.size()); }
    bool isEmpty() const { return m_ids.isEmpty(); }
    bool contains(const model::SurfaceItem *item) const;
    // Selected items in selection order (items that are gone are skipped).
    QVector<model::SurfaceItem *> items() const;
    model::SurfaceItem *single() const { return count() == 1 ? items().value(0) : nullptr; }

    void clear();
    void set(model::SurfaceItem *item);   // only this item
    void add(model::SurfaceItem *item);   // Shift-click
    void remove(const model::SurfaceItem *item);
    void selectAll();

signals:
    void changed();

private:
    model::SurfaceModel *m_surface;
    QVector<uint64_t> m_ids;
};

} // namespace editing
