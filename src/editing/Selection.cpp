#include "editing/Selection.h"

#include "model/SurfaceModel.h"

namespace editing {

Selection::Selection(model::SurfaceModel *surface, QObject *parent) : QObject(parent), m_surface(surface)
{
    connect(surface, &model::SurfaceModel::itemAboutToBeRemoved, this, [this](model::SurfaceItem *item) { remove(item); });
}

bool Selection::contains(const model::SurfaceItem *item) const { return item && m_ids.contains(item->id()); }

QVector<model::SurfaceItem *> Selection::items() const
{
    QVector<model::SurfaceItem *> out;
    for (uint64_t id : m_ids)
        if (model::SurfaceItem *it = m_surface->findById(id))
            out << it;
    return out;
}

void Selection::clear()
{
    if (m_ids.isEmpty())
        return;
    m_ids.clear();
    emit changed();
}

void Selection::set(model::SurfaceItem *item)
{
    if (!item) {
        clear();
        return;
    }
    if (m_ids.size() == 1 && m_ids.first() == item->id())
        return;
    m_ids = {item->id()};
    emit changed();
}

void Selection::add(model::SurfaceItem *item)
{
    if (!item || m_ids.contains(item->id()))
        return;
    m_ids << item->id();
    emit changed();
}

void Selection::remove(const model::SurfaceItem *item)
{
    if (item && m_ids.removeAll(item->id()) > 0)
        emit changed();
}

void Selection::selectAll()
{
    QVector<uint64_t> ids;
    for (const auto &it : m_surface->items())
        ids << it->id();
    if (ids == m_ids)
        return;
    m_ids = ids;
    emit changed();
}

} // namespace editing
