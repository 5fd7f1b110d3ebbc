#include "model/SurfaceModel.h"

#include "model/TObjectData.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace model {

SurfaceModel::SurfaceModel(QObject *parent) : QObject(parent) {}

SurfaceModel::~SurfaceModel() = default;

void SurfaceModel::setSize(QSize s)
{
    s = s.expandedTo(QSize(0, 0));
    if (s == m_size)
        return;
    m_size = s;
    emit changed();
}

void SurfaceModel::setMargins(int left, int right, int top, int bottom)
{
    if (left == m_marginLeft && right == m_marginRight && top == m_marginTop && bottom == m_marginBottom)
        return;
    m_marginLeft = left;
    m_marginRight = right;
    m_marginTop = top;
    m_marginBottom = bottom;
    emit changed();
}

void SurfaceModel::setGridX(int v)
{
    if (v == m_gridX)
        return;
    m_gridX = v;
    if (m_showGrid)
        emit changed();
}

void SurfaceModel::setGridY(int v)
{
    if (v == m_gridY)
        return;
    m_gridY = v;
    if (m_showGrid)
        emit changed();
}

void SurfaceModel::setDotColor(uint32_t c)
{
    if (c == m_dotColor)
        return;
    m_dotColor = c;
    if (m_showGrid)
        emit changed();
}

void SurfaceModel::setShowGrid(bool on)
{
    if (on == m_showGrid)
        return;
    m_showGrid = on;
    emit changed();
}

void SurfaceModel::setShowMargins(bool on)
{
    if (on == m_showMargins)
        return;
    m_showMargins = on;
    emit changed();
}

void SurfaceModel::setBackground(const plat::Picture &p)
{
    m_background = p;
    emit changed();
}

int SurfaceModel::indexOf(const SurfaceItem *item) const
{
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].get() == item)
            return static_cast<int>(i);
    return -1;
}

SurfaceItem *SurfaceModel::findById(uint64_t id) const
{
    for (const auto &it : m_items)
        if (it->id() == id)
            return it.get();
    return nullptr;
}

SurfaceItem *SurfaceModel::findByName(const QString &name) const
{
    for (const auto &it : m_items)
        if (it->name() == name)
            return it.get();
    return nullptr;
}

SurfaceItem *SurfaceModel::itemAtPoint(QPoint p) const
{
    for (auto it = m_items.rbegin(); it != m_items.rend(); ++it)
        if ((*it)->bounds().contains(p))
            return it->get();
    return nullptr;
}

SurfaceItem *SurfaceModel::addItem(SurfaceItem::Type type)
{
    m_items.push_back(std::make_unique<SurfaceItem>(this, type, m_nextId++));
    emit itemsChanged();
    emit changed();
    return m_items.back().get();
}

void SurfaceModel::removeItem(SurfaceItem *item)
{
    const int i = indexOf(item);
    if (i < 0)
        return;
    emit itemAboutToBeRemoved(item);
    std::unique_ptr<SurfaceItem> doomed = std::move(m_items[size_t(i)]);
    m_items.erase(m_items.begin() + i);
    doomed.reset();
    emit itemsChanged();
    emit changed();
}

void SurfaceModel::clearItems()
{
    // Last child first, as the controls were destroyed on the original surface.
    while (!m_items.empty()) {
        emit itemAboutToBeRemoved(m_items.back().get());
        m_items.pop_back();
    }
    emit itemsChanged();
    emit changed();
}

void SurfaceModel::bringToFront(SurfaceItem *item)
{
    const int i = indexOf(item);
    if (i < 0 || i == count() - 1)
        return;
    auto p = std::move(m_items[size_t(i)]);
    m_items.erase(m_items.begin() + i);
    m_items.push_back(std::move(p));
    emit itemsChanged();
    emit changed();
}

void SurfaceModel::sendToBack(SurfaceItem *item)
{
    const int i = indexOf(item);
    if (i <= 0)
        return;
    auto p = std::move(m_items[size_t(i)]);
    m_items.erase(m_items.begin() + i);
    m_items.insert(m_items.begin(), std::move(p));
    emit itemsChanged();
    emit changed();
}

void SurfaceModel::rescale(int num, int den)
{
    if (den == 0 || num == den)
        return;
    // Computed in double and clamped, so no size or edge can overflow an int.
    auto scale = [num, den](int64_t v) {
        const double d = std::round(double(v) * num / den);
        return static_cast<int64_t>(std::clamp(d, -1073741824.0, 1073741824.0));
    };
    auto toInt = [](int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
    m_size = QSize(toInt(scale(m_size.width())), toInt(scale(m_size.height())));
    for (auto &it : m_items) {
        const QRect b = it->bounds();
        const int64_t l = scale(b.left()), t = scale(b.top());
        const int64_t r = scale(int64_t(b.left()) + b.width()), bt = scale(int64_t(b.top()) + b.height());
        it->setBounds(toInt(l), toInt(t), toInt(r - l), toInt(bt - t));
    }
    emit changed();
}

void SurfaceModel::notifyItemChanged(SurfaceItem *item)
{
    emit itemChanged(item);
    emit changed();
}

} // namespace model
