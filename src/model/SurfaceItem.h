#pragma once
// One object control on the design surface: its bounds in surface pixels at the
// document's zoom, what kind of control it is, its component name, its picture (image
// controls) and the TObjectData that holds every other property. The surface owns its
// items; an item's address stays valid for as long as the item lives.

#include "platform/Picture.h"

#include <QRect>
#include <QString>
#include <cstdint>
#include <memory>

namespace model {

class SurfaceModel;
class TObjectData;

class SurfaceItem {
public:
    enum class Type { PaintBox, Image };

    SurfaceItem(SurfaceModel *surface, Type type, uint64_t id);
    ~SurfaceItem();
    SurfaceItem(const SurfaceItem &) = delete;
    SurfaceItem &operator=(const SurfaceItem &) = delete;

    uint64_t id() const { return m_id; }
    Type type() const { return m_type; }
    SurfaceModel *surface() const { return m_surface; }

    const QString &name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }

    QRect bounds() const { return m_bounds; }
    int left() const { return m_bounds.x(); }
    int top() const { return m_bounds.y(); }
    int width() const { return m_bounds.width(); }
    int height() const { return m_bounds.height(); }
    void setBounds(int left, int top, int width, int height);
    void setBounds(const QRect &r) { setBounds(r.x(), r.y(), r.width(), r.height()); }
    void setPosition(int left, int top) { setBounds(left, top, width(), height()); }

    // Image controls show this picture stretched over their bounds.
    const plat::Picture &picture() const { return m_picture; }
    void setPicture(const plat::Picture &p);

    TObjectData *data() const { return m_data.get(); }
    // Takes ownership; the data's Control is pointed at this item.
    void setData(std::unique_ptr<TObjectData> data);
    std::unique_ptr<TObjectData> takeData();

private:
    SurfaceModel *m_surface;
    Type m_type;
    uint64_t m_id;
    QString m_name;
    QRect m_bounds;
    plat::Picture m_picture;
    std::unique_ptr<TObjectData> m_data;
};

} // namespace model
