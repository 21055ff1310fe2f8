#include "model/fixture_selection.h"

#include "foundation/notify_codes.h"

#include <algorithm>
#include <bitset>
#include <functional>

namespace
{
CPoint CellOf(uint32_t cell)
{
    return CPoint(static_cast<int32_t>(cell & 7), static_cast<int32_t>((cell >> 3) & 7));
}
}  // namespace

void CSelectionFixture::SetChangeHandler(void* context, ChangeHandler handler)
{
    m_handlerContext = context;
    m_handler = handler;
}

uint32_t CSelectionFixture::GetCount() const
{
    return static_cast<uint32_t>(std::bitset<64>(m_mask).count());
}

int32_t CSelectionFixture::GetSelected(uint32_t n) const
{
    for (uint32_t slot = 0; slot < 64; ++slot)
    {
        if (IsSelected(slot) && n-- == 0)
            return static_cast<int32_t>(slot);
    }
    return -1;
}

bool CSelectionFixture::SetMask(uint64_t mask)
{
    const bool differs = mask != m_mask;
    Commit(mask);
    return differs;
}

bool CSelectionFixture::SetMaskQuietly(uint64_t mask)
{
    const bool differs = mask != m_mask;
    m_mask = mask;
    return differs;
}

void CSelectionFixture::Clear()
{
    Commit(0);
}

void CSelectionFixture::Toggle(uint32_t slot)
{
    Commit(Intended() ^ (uint64_t(1) << (slot & 63)));
}

void CSelectionFixture::BeginDrag(uint32_t cell)
{
    m_fromEmpty = false;
    if (m_clearOnNextPress)
    {
        Clear();
        m_clearOnNextPress = false;
        m_fromEmpty = true;
        m_proposed = 0;
    }
    m_anchor = CellOf(cell);
    m_dragging = true;
    m_adding = m_fromEmpty || !((Intended() >> (cell & 63)) & 1u);
}

void CSelectionFixture::DragTo(uint32_t cell)
{
    if (m_dragging)
        ApplyRectangle(cell);
}

void CSelectionFixture::EndDrag(uint32_t cell)
{
    if (!m_dragging)
        return;
    ApplyRectangle(cell);
    m_dragging = false;
}

void CSelectionFixture::Commit(uint64_t mask)
{
    const bool differs = m_handler ? m_asked.NeedsSending(mask, m_mask, std::not_equal_to<uint64_t>())
                                   : mask != m_mask;
    if (differs)
        Propose(mask);
}

void CSelectionFixture::Propose(uint64_t mask)
{
    if (m_handler)
    {
        m_asked.Asked(mask);
        m_handler(m_handlerContext, mask);
        return;
    }
    m_mask = mask;
    Notify(NOTIFY_UNKNOWN);
}

void CSelectionFixture::ApplyRectangle(uint32_t cell)
{
    const CPoint to = CellOf(cell);
    const int32_t left = std::min(m_anchor.GetX(), to.GetX());
    const int32_t right = std::max(m_anchor.GetX(), to.GetX());
    const int32_t top = std::min(m_anchor.GetY(), to.GetY());
    const int32_t bottom = std::max(m_anchor.GetY(), to.GetY());
    uint64_t mask = m_fromEmpty ? m_proposed : Intended();
    for (int32_t y = top; y <= bottom; ++y)
    {
        for (int32_t x = left; x <= right; ++x)
        {
            const uint64_t bit = uint64_t(1) << (x + 8 * y);
            mask = m_adding ? (mask | bit) : (mask & ~bit);
        }
    }
    if (!m_fromEmpty)
    {
        Commit(mask);
        return;
    }
    if (mask == m_proposed)
        return;
    m_proposed = mask;
    Propose(mask);
}
