#pragma once

#include "foundation/subject.h"

#include <cstdint>

// The rubber-band selection of playback buttons: a press on one cell of the playback page's grid
// and a drag to another select every cell of the rectangle between them. Cells number a grid
// eight wide (cell c in column c mod 8, row c / 8), 64 cells in all. Purely local: nothing is
// sent and no one is told; the page that drives it redraws itself.
class CSelectionPlayback : public CSubject
{
public:
    static constexpr uint32_t kColumns = 8;
    static constexpr uint32_t kCellCount = 64;
    static constexpr uint32_t kNone = 0xFFFFFFFF;

    CSelectionPlayback() = default;

    // The drag starts at the cell; the selection stays as it is until the first DragTo.
    void BeginDrag(uint32_t cell);
    // Selects the rectangle from the anchor to the cell. False, with nothing changed, when the
    // cell is the one of the last change.
    bool DragTo(uint32_t cell);
    void SetDragging(bool dragging) { m_dragging = dragging; }
    void EndDrag() { m_dragging = false; }
    bool IsDragging() const { return m_dragging; }
    // Forgets the anchor and the selection; the drag state stays.
    void Clear();

    bool IsSelected(uint32_t index) const { return index < kCellCount && ((m_mask >> index) & 1); }
    uint64_t GetMask() const { return m_mask; }
    uint32_t GetAnchor() const { return m_anchor; }

private:
    uint64_t m_mask = 0;
    uint32_t m_anchor = kNone;
    uint32_t m_last = kNone;
    bool m_dragging = false;
};
