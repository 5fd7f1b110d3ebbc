#include "model/SurfaceItem.h"

#include "model/SurfaceModel.h"
#include "model/TObjectData.h"

#include <algorithm>

namespace model {

SurfaceItem::SurfaceItem(SurfaceModel *surface, Type type, uint64_t id)
    : m_surface(surface), m_type(type), m_id(id)
{
}

SurfaceItem::~SurfaceItem() = default;

void SurfaceItem::setBounds(int left, int top, int width, int height)
{
    // Bounds come from files too: keep every edge far enough from the int limits that
    // QRect's right/bottom and any later sum of position and size cannot overflow.
    constexpr int kLimit = (1 << 29);
    left = std::clamp(left, -kLimit, kLimit);
    top = std::clamp(top, -kLimit, kLimit);
    width = std::clamp(width, 0, kLimit);
    height = std::clamp(height, 0, kLimit);
    const QRect r(left, top, width, height);
    if (r == m_bounds)
        return;
    m_bounds = r;
    if (m_surface)
        m_surface->notifyItemChanged(this);
}

void SurfaceItem::setPicture(const plat::Picture &p)
{
    m_picture = p;
    if (m_surface)
        m_surface->notifyItemChanged(this);
}

void SurfaceItem::setData(std::unique_ptr<TObjectData> data)
{
    m_data = std::move(data);
    if (m_data)
        m_data->Control = this;
    if (m_surface)
        m_surface->notifyItemChanged(this);
}

std::unique_ptr<TObjectData> SurfaceItem::takeData()
{
    if (m_data)
        m_data->Control = nullptr;
    return std::move(m_data);
}

} // namespace model
