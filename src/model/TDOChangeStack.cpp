#include "model/TDOChangeStack.h"

#include <algorithm>

namespace model {

void TDOChangeStack::Record(ChangeType type, uint64_t control, const UnitRect *oldBounds,
                            const UnitRect *newBounds, QByteArray oldRecord, QByteArray newRecord)
{
    ChangeEntry &e = m_entries[size_t(slotOf(m_position))];
    e = ChangeEntry();
    e.type = type;
    e.control = control;
    if (oldBounds)
        e.oldBounds = *oldBounds;
    if (newBounds)
        e.newBounds = *newBounds;
    e.oldRecord = std::move(oldRecord);
    e.newRecord = std::move(newRecord);
    ++m_position;
    m_redoCount = 0;
    m_undoCount = std::min(m_undoCount + 1, kCapacity);
}

const ChangeEntry *TDOChangeStack::TakeForUndo()
{
    if (m_undoCount == 0)
        return nullptr;
    --m_position;
    ++m_redoCount;
    --m_undoCount;
    return &m_entries[size_t(slotOf(m_position))];
}

const ChangeEntry *TDOChangeStack::TakeForRedo()
{
    if (m_redoCount == 0)
        return nullptr;
    const ChangeEntry *e = &m_entries[size_t(slotOf(m_position))];
    ++m_position;
    --m_redoCount;
    m_undoCount = std::min(m_undoCount + 1, kCapacity);
    return e;
}

void TDOChangeStack::ReplaceControl(uint64_t oldControl, uint64_t newControl)
{
    for (ChangeEntry &e : m_entries)
        if (e.control == oldControl)
            e.control = newControl;
}

void TDOChangeStack::Clear()
{
    for (ChangeEntry &e : m_entries)
        e = ChangeEntry();
    m_position = 0;
    m_undoCount = 0;
    m_redoCount = 0;
}

} // namespace model
