#pragma once
// The undo history of one design: a ring of 128 change entries. A change is kept as
// whole object property records before and after it, or as the rectangles of a move or
// resize.

#include <QByteArray>
#include <QRect>
#include <array>
#include <cstdint>

namespace model {

enum class ChangeType : uint8_t { None = 0, Insert = 1, Delete = 2, Bounds = 3, Properties = 4 };

// A rectangle as the history stores it: left, top, right, bottom in hundredths of an inch.
struct UnitRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const UnitRect &) const = default;
};

struct ChangeEntry {
    ChangeType type = ChangeType::None;
    // The object the change applies to, by its surface id (ids are never reused, so an
    // entry about an object that is gone can never name another one).
    uint64_t control = 0;
    UnitRect oldBounds;
    UnitRect newBounds;
    QByteArray oldRecord; // delete and properties: the object before the change
    QByteArray newRecord; // insert and properties: the object after it
};

class TDOChangeStack {
public:
    static constexpr int kCapacity = 128;

    void Record(ChangeType type, uint64_t control, const UnitRect *oldBounds,
                const UnitRect *newBounds, QByteArray oldRecord, QByteArray newRecord);
    // The entry to undo or redo, or null; the counters move as the history says.
    const ChangeEntry *TakeForUndo();
    const ChangeEntry *TakeForRedo();
    bool CanUndo() const { return m_undoCount > 0; }
    bool CanRedo() const { return m_redoCount > 0; }
    // Every entry naming `oldControl` is changed to name `newControl`.
    void ReplaceControl(uint64_t oldControl, uint64_t newControl);
    void Clear();

    int position() const { return m_position; }
    int undoCount() const { return m_undoCount; }
    int redoCount() const { return m_redoCount; }
    const ChangeEntry &slot(int i) const { return m_entries[size_t(i)]; }

private:
    static int slotOf(int position) { return ((position % kCapacity) + kCapacity) % kCapacity; }
    std::array<ChangeEntry, kCapacity> m_entries;
    int m_position = 0;
    int m_undoCount = 0;
    int m_redoCount = 0;
};

} // namespace model
