#pragma once
// Owns the regions of one design: the region on screen lives on the surface model as
// items; every other region is kept here as a blob of object property records with its
// margins and background picture. Creates new objects with their names and inherited
// defaults, and owns the undo history.

#include "model/SurfaceModel.h"
#include "model/TDOChangeStack.h"
#include "model/TObjectData.h"
#include "platform/LogFont.h"
#include "platform/Picture.h"

#include <QByteArray>
#include <array>
#include <functional>
#include <optional>

namespace model {

struct RegionSlot {
    QByteArray blob;                     // records back to back, bottom-most first
    int32_t objectCount = 0;
    std::array<int32_t, 4> margins{8, 8, 8, 8}; // left, right, top, bottom
    std::optional<plat::Picture> background;    // set (possibly empty) when the slot has one

    int32_t blobSize() const { return int32_t(blob.size()); }
    bool hasBlob() const { return objectCount > 0 && !blob.isEmpty(); }
};

class TObjectManager {
public:
    static constexpr int kSlots = 8;
    static int slotIndex(int side, int region) { return side * 4 + region; }

    explicit TObjectManager(SurfaceModel *panel);
    ~TObjectManager();
    TObjectManager(const TObjectManager &) = delete;
    TObjectManager &operator=(const TObjectManager &) = delete;

    SurfaceModel *panel() const { return m_panel; }

    // Called for every object rebuilt from a record (region load, undo, redo, paste), so
    // the owner can hook it up to its mouse and paint handling.
    void setRebuildHook(std::function<void(SurfaceItem *)> hook) { m_rebuildHook = std::move(hook); }

    // ---- new objects ----
    SurfaceItem *NewPaintBox(int x, int y);
    // Null when no image control can be made for the picture (a graphic never exists
    // without a picture).
    SurfaceItem *NewGraphic(const plat::Picture *picture, int x, int y, bool withData);
    SurfaceItem *NewText(int x, int y);
    SurfaceItem *NewLine(int x, int y);
    SurfaceItem *NewBox(int x, int y);
    SurfaceItem *NewRoundBox(int x, int y);
    SurfaceItem *NewEllipse(int x, int y);
    void SetDefaults(char kind, uint32_t foreground, uint32_t background, int32_t style,
                     int32_t lineSize, int32_t reserved, const plat::LogFont *font,
                     uint32_t textStyle, int8_t dx, int8_t dy, int32_t rotation);

    // ---- regions ----
    bool SwitchRegion(int saveSide, int saveRegion, int loadSide, int loadRegion, int zoom);
    // Rebuilds one object from one checked record; returns the record's size.
    int LoadObject(const char *record, int zoom);
    int currentSide() const { return m_currentSide; }
    int currentRegion() const { return m_currentRegion; }
    // Makes a pair current without loading it (a reader placing region 0 by hand).
    void setCurrent(int side, int region) { m_currentSide = side; m_currentRegion = region; }
    RegionSlot &slot(int index) { return m_slots[size_t(index)]; }
    const RegionSlot &slot(int index) const { return m_slots[size_t(index)]; }
    // A new object from one checked record, on top of the stacking order and named like
    // a new one (paste uses it with keepInView on); null when nothing can be built.
    SurfaceItem *RebuildObject(const QByteArray &record, int zoom, bool keepInView)
    {
        return rebuild(record, zoom, keepInView);
    }
    // Records of the items on the surface, in stacking order, at `zoom`.
    QByteArray surfaceBlob(int zoom, int32_t *count) const;
    // True when the item can be stored: a graphic must hold a picture.
    static bool isStorable(const SurfaceItem *item);

    // ---- undo ----
    TDOChangeStack &changes() { return m_changes; }
    const TDOChangeStack &changes() const { return m_changes; }
    // Rectangle of an item in hundredths of an inch at `zoom`.
    static UnitRect unitRectOf(const SurfaceItem *item, int zoom);
    void RecordInsert(SurfaceItem *item, int zoom);
    void RecordDelete(SurfaceItem *item, int zoom);
    void RecordBounds(SurfaceItem *item, const UnitRect &before, int zoom);
    void RecordProperties(SurfaceItem *item, QByteArray oldRecord, int zoom);
    bool Undo(int zoom);
    bool Redo(int zoom);

    // ---- defaults ----
    uint32_t defaultForeground() const { return m_defFG; }
    uint32_t defaultBackground() const { return m_defBG; }
    int32_t defaultJustification() const { return m_defJustify; }
    int32_t defaultFillStyle() const { return m_defFill; }
    int32_t defaultLineSize() const { return m_defLineSize; }
    const plat::LogFont &defaultFont() const { return m_defFont; }
    uint32_t defaultTextStyle() const { return m_defTextStyle; }

    // Name counters (next number of each family).
    int graphicCounter() const { return m_graphicCounter; }
    int textCounter() const { return m_textCounter; }
    int shapeCounter() const { return m_shapeCounter; }
    void resetCounters();
    QString nextName(char kind);

private:
    SurfaceItem *newShape(char kind, int x, int y);
    SurfaceItem *rebuild(const QByteArray &record, int zoom, bool keepInView = false);
    void setBoundsFromUnits(SurfaceItem *item, const UnitRect &r, int zoom);
    void saveSurfaceInto(int slot, int zoom);
    void loadSlot(int slot, int zoom);

    SurfaceModel *m_panel;
    std::function<void(SurfaceItem *)> m_rebuildHook;

    uint32_t m_defFG = 0;
    uint32_t m_defBG = 0xFFFFFF;
    int32_t m_defJustify = 0;
    int32_t m_defFill = 0;
    int32_t m_defLineSize = 1;
    int32_t m_defReserved = 0;
    uint32_t m_defTextStyle = 1;
    int8_t m_defDX = 0;
    int8_t m_defDY = 0;
    int32_t m_defRotation = 0;
    plat::LogFont m_defFont;

    int m_currentRegion = -1;
    int m_currentSide = -1;
    std::array<RegionSlot, kSlots> m_slots;
    TDOChangeStack m_changes;
    int m_graphicCounter = 0;
    int m_oleCounter = 0;
    int m_textCounter = 0;
    int m_shapeCounter = 0;
};

} // namespace model
