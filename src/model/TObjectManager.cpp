#include "model/TObjectManager.h"
#include "platform/ByteIO.h"

#include <cstring>

namespace model {

TObjectManager::TObjectManager(SurfaceModel *panel)
    : m_panel(panel), m_defFont(plat::LogFont::fromPoints(QStringLiteral("Arial"), 12))
{
}

TObjectManager::~TObjectManager() = default;

void TObjectManager::resetCounters()
{
    m_graphicCounter = m_oleCounter = m_textCounter = m_shapeCounter = 0;
}

QString TObjectManager::nextName(char kind)
{
    switch (kind) {
    case ObjectKind::Text:
        return QStringLiteral("Text") + QString::number(m_textCounter++);
    case ObjectKind::Graphic:
        return QStringLiteral("Graphic") + QString::number(m_graphicCounter++);
    case ObjectKind::Embedded:
        return QStringLiteral("Ole") + QString::number(m_oleCounter++);
    default:
        return QStringLiteral("Shape") + QString::number(m_shapeCounter++);
    }
}

SurfaceItem *TObjectManager::NewPaintBox(int x, int y)
{
    SurfaceItem *item = m_panel->addItem(SurfaceItem::Type::PaintBox);
    item->setBounds(x, y, 120, 30);
    return item;
}

SurfaceItem *TObjectManager::NewGraphic(const plat::Picture *picture, int x, int y, bool withData)
{
    SurfaceItem *item = m_panel->addItem(SurfaceItem::Type::Image);
    item->setBounds(x, y, 100, 100);
    item->setName(nextName(ObjectKind::Graphic));
    if (picture)
        item->setPicture(*picture);
    if (withData) {
        if (item->picture().isNull()) {
            m_panel->removeItem(item);
            return nullptr;
        }
        item->setData(std::make_unique<TObjectData>(item, ObjectKind::Graphic));
    }
    return item;
}

SurfaceItem *TObjectManager::newShape(char kind, int x, int y)
{
    SurfaceItem *item = NewPaintBox(x, y);
    item->setName(nextName(kind));
    auto data = std::make_unique<TObjectData>(item, kind);
    data->ColorFG = m_defFG;
    data->ColorBG = m_defBG;
    if (kind == ObjectKind::Text) {
        data->Style = m_defJustify;
        data->TextStyle = m_defTextStyle;
        data->ShadowDX = m_defDX;
        data->ShadowDY = m_defDY;
        data->Rotation = m_defRotation;
        data->Font = m_defFont;
    } else {
        data->Style = kind == ObjectKind::Line ? 0 : m_defFill;
        data->LineSize = m_defLineSize;
        data->Reserved = m_defReserved;
    }
    item->setData(std::move(data));
    return item;
}

SurfaceItem *TObjectManager::NewText(int x, int y) { return newShape(ObjectKind::Text, x, y); }
SurfaceItem *TObjectManager::NewLine(int x, int y) { return newShape(ObjectKind::Line, x, y); }
SurfaceItem *TObjectManager::NewBox(int x, int y) { return newShape(ObjectKind::Box, x, y); }
SurfaceItem *TObjectManager::NewRoundBox(int x, int y) { return newShape(ObjectKind::RoundBox, x, y); }
SurfaceItem *TObjectManager::NewEllipse(int x, int y) { return newShape(ObjectKind::Ellipse, x, y); }

void TObjectManager::SetDefaults(char kind, uint32_t foreground, uint32_t background, int32_t style,
                                 int32_t lineSize, int32_t reserved, const plat::LogFont *font,
                                 uint32_t textStyle, int8_t dx, int8_t dy, int32_t rotation)
{
    m_defFG = foreground;
    m_defBG = background;
    switch (kind) {
    case ObjectKind::Box:
    case ObjectKind::RoundBox:
    case ObjectKind::Ellipse:
        m_defFill = style;
        break;
    case ObjectKind::Line:
        m_defLineSize = lineSize;
        m_defReserved = reserved;
        break;
    case ObjectKind::Text:
        m_defJustify = style;
        m_defTextStyle = textStyle;
        m_defDX = dx;
        m_defDY = dy;
        m_defRotation = rotation;
        if (font)
            m_defFont = *font;
        break;
    default:
        break;
    }
}

bool TObjectManager::isStorable(const SurfaceItem *item)
{
    if (!item->data())
        return false;
    if (item->data()->Kind == ObjectKind::Graphic)
        return !item->picture().isNull();
    return true;
}

QByteArray TObjectManager::surfaceBlob(int zoom, int32_t *count) const
{
    QByteArray blob;
    int32_t n = 0;
    for (const auto &item : m_panel->items()) {
        if (!isStorable(item.get()))
            continue;
        blob.append(item->data()->toRecord(zoom));
        ++n;
    }
    if (count)
        *count = n;
    return blob;
}

void TObjectManager::saveSurfaceInto(int index, int zoom)
{
    RegionSlot &s = m_slots[size_t(index)];
    s.blob.clear();
    s.objectCount = 0;
    s.background.reset();
    if (!m_panel->background().isNull())
        s.background = m_panel->background();
    s.margins = {m_panel->marginLeft(), m_panel->marginRight(), m_panel->marginTop(), m_panel->marginBottom()};
    int32_t count = 0;
    QByteArray blob = surfaceBlob(zoom, &count);
    if (count > 0) {
        s.blob = std::move(blob);
        s.objectCount = count;
    }
}

void TObjectManager::loadSlot(int index, int zoom)
{
    const RegionSlot &s = m_slots[size_t(index)];
    m_panel->setBackground(plat::Picture());
    m_panel->clearItems();
    resetCounters();
    m_panel->setBackground(s.background.value_or(plat::Picture()));
    m_panel->setMargins(s.margins[0], s.margins[1], s.margins[2], s.margins[3]);
    // Blobs are checked when they enter a slot; walk them defensively all the same.
    const char *p = s.blob.constData();
    qsizetype left = s.blob.size();
    for (int i = 0; i < s.objectCount && left > 0; ++i) {
        const qsizetype size = TObjectData::checkRecord(p, left);
        if (size < 0)
            break;
        LoadObject(p, zoom);
        p += size;
        left -= size;
    }
}

bool TObjectManager::SwitchRegion(int saveSide, int saveRegion, int loadSide, int loadRegion, int zoom)
{
    auto valid = [](int side, int region) { return side >= 0 && side <= 1 && region >= 0 && region <= 3; };
    if (valid(saveSide, saveRegion))
        saveSurfaceInto(slotIndex(saveSide, saveRegion), zoom);
    if (!valid(loadSide, loadRegion))
        return true;
    if (loadSide == m_currentSide && loadRegion == m_currentRegion)
        return true;
    m_currentSide = loadSide;
    m_currentRegion = loadRegion;
    // Entries of the history name objects of the region that leaves the surface; they
    // could only be applied to the wrong region, so the history starts afresh.
    m_changes.Clear();
    loadSlot(slotIndex(loadSide, loadRegion), zoom);
    return true;
}

int TObjectManager::LoadObject(const char *record, int zoom)
{
    plat::LeReader r(record, Rec::HeadSize);
    const int size = Rec::HeadSize + int(r.u32At(Rec::DataSize));
    rebuild(QByteArray::fromRawData(record, size), zoom);
    return size;
}

SurfaceItem *TObjectManager::rebuild(const QByteArray &record, int zoom, bool keepInView)
{
    if (record.size() < Rec::HeadSize)
        return nullptr;
    const char kind = record.at(Rec::Kind);
    SurfaceItem *item = nullptr;
    if (kind == ObjectKind::Graphic) {
        item = NewGraphic(nullptr, 10, 10, false);
        if (!item)
            return nullptr;
        item->setData(std::make_unique<TObjectData>(item, record.constData(), zoom, keepInView));
        if (item->picture().isNull()) {
            // A graphic record without a usable picture builds nothing.
            m_panel->removeItem(item);
            return nullptr;
        }
        item->setName(nextName(ObjectKind::Graphic));
    } else {
        item = NewPaintBox(10, 10);
        item->setData(std::make_unique<TObjectData>(item, record.constData(), zoom, keepInView));
        item->setName(nextName(kind == ObjectKind::Text ? ObjectKind::Text : ObjectKind::Line));
    }
    if (m_rebuildHook)
        m_rebuildHook(item);
    return item;
}

UnitRect TObjectManager::unitRectOf(const SurfaceItem *item, int zoom)
{
    const QRect b = item->bounds();
    UnitRect r;
    r.left = pixelsToUnits(b.x(), zoom);
    r.top = pixelsToUnits(b.y(), zoom);
    r.right = pixelsToUnits(int64_t(b.x()) + b.width(), zoom);
    r.bottom = pixelsToUnits(int64_t(b.y()) + b.height(), zoom);
    return r;
}

void TObjectManager::setBoundsFromUnits(SurfaceItem *item, const UnitRect &r, int zoom)
{
    item->setBounds(unitsToPixels(r.left, zoom), unitsToPixels(r.top, zoom),
                    unitsToPixels(int64_t(r.right) - r.left, zoom),
                    unitsToPixels(int64_t(r.bottom) - r.top, zoom));
}

void TObjectManager::RecordInsert(SurfaceItem *item, int zoom)
{
    if (!item || !item->data())
        return;
    m_changes.Record(ChangeType::Insert, item->id(), nullptr, nullptr, {}, item->data()->toRecord(zoom));
}

void TObjectManager::RecordDelete(SurfaceItem *item, int zoom)
{
    if (!item || !item->data())
        return;
    m_changes.Record(ChangeType::Delete, item->id(), nullptr, nullptr, item->data()->toRecord(zoom), {});
}

void TObjectManager::RecordBounds(SurfaceItem *item, const UnitRect &before, int zoom)
{
    if (!item)
        return;
    const UnitRect after = unitRectOf(item, zoom);
    m_changes.Record(ChangeType::Bounds, item->id(), &before, &after, {}, {});
}

void TObjectManager::RecordProperties(SurfaceItem *item, QByteArray oldRecord, int zoom)
{
    if (!item || !item->data())
        return;
    m_changes.Record(ChangeType::Properties, item->id(), nullptr, nullptr, std::move(oldRecord),
                     item->data()->toRecord(zoom));
}

bool TObjectManager::Undo(int zoom)
{
    const ChangeEntry *e = m_changes.TakeForUndo();
    if (!e)
        return false;
    SurfaceItem *item = m_panel->findById(e->control);
    switch (e->type) {
    case ChangeType::Insert:
        if (item)
            m_panel->removeItem(item);
        break;
    case ChangeType::Delete:
        if (SurfaceItem *n = rebuild(e->oldRecord, zoom))
            m_changes.ReplaceControl(e->control, n->id());
        break;
    case ChangeType::Bounds:
        if (item)
            setBoundsFromUnits(item, e->oldBounds, zoom);
        break;
    case ChangeType::Properties:
        if (item && e->oldRecord.size() >= Rec::HeadSize)
            item->setData(std::make_unique<TObjectData>(item, e->oldRecord.constData(), zoom, false));
        break;
    case ChangeType::None:
        break;
    }
    return true;
}

bool TObjectManager::Redo(int zoom)
{
    const ChangeEntry *e = m_changes.TakeForRedo();
    if (!e)
        return false;
    SurfaceItem *item = m_panel->findById(e->control);
    switch (e->type) {
    case ChangeType::Insert:
        if (SurfaceItem *n = rebuild(e->newRecord, zoom))
            m_changes.ReplaceControl(e->control, n->id());
        break;
    case ChangeType::Delete:
        if (item)
            m_panel->removeItem(item);
        break;
    case ChangeType::Bounds:
        if (item)
            setBoundsFromUnits(item, e->newBounds, zoom);
        break;
    case ChangeType::Properties:
        if (item && e->newRecord.size() >= Rec::HeadSize)
            item->setData(std::make_unique<TObjectData>(item, e->newRecord.constData(), zoom, false));
        break;
    case ChangeType::None:
        break;
    }
    return true;
}

} // namespace model
