#include "model/playback_selection.h"

#include <algorithm>

void CSelectionPlayback::BeginDrag(uint32_t cell)
{
    m_anchor = cell;
    m_last = kNone;
    m_dragging = true;
}

bool CSelectionPlayback::DragTo(uint32_t cell)
{
    if (cell == m_last)
        return false;
    m_last = cell;
    m_mask = 0;
    // Without an anchor (or past the grid) nothing is selected; the page always begins a drag.
    if (m_anchor >= kCellCount || cell >= kCellCount)
        return true;
    const uint32_t left = std::min(m_anchor % kColumns, cell % kColumns);
    const uint32_t right = std::max(m_anchor % kColumns, cell % kColumns);
    const uint32_t top = std::min(m_anchor / kColumns, cell / kColumns);
    const uint32_t bottom = std::max(m_anchor / kColumns, cell / kColumns);
    for (uint32_t row = top; row <= bottom; ++row)
    {
        for (uint32_t column = left; column <= right; ++column)
            m_mask |= uint64_t(1) << (row * kColumns + column);
    }
    return true;
}

void CSelectionPlayback::Clear()
{
    m_anchor = kNone;
    m_mask = 0;
}
