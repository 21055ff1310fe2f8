#include "widgets/area_scrollbar.h"

#include "graphics/glyph_manager.h"
#include "graphics/texture_adapter.h"

#include <algorithm>

namespace
{
constexpr uint32_t kPieceSize = 32;
// The end piece is laid this many times side by side to make the rounded end.
constexpr int32_t kEndRepeats = 10;
constexpr int32_t kMaxGripLength = 4096;
}

CAreaScrollbar::CAreaScrollbar(CArea2* parent, bool topMark) : CArea2(parent, false, 40, 100), m_topMark(topMark)
{
    SetName("CAreaScrollbar");
}

void CAreaScrollbar::SetRange(uint32_t total, uint32_t visible, uint32_t position)
{
    m_total = total;
    m_visible = visible;
    m_position = position;
    // A list that fits leaves nothing to scroll: the position goes back to 0 then too.
    if (m_position > GetLastPosition())
    {
        m_position = GetLastPosition();
        Changed();
    }
    LayoutGrip();
    SetDirty();
}

void CAreaScrollbar::SetMarkOffset(uint32_t offset)
{
    if (offset == m_markOffset)
        return;
    m_markOffset = offset;
    Refresh(false);
}

void CAreaScrollbar::PageBack()
{
    m_position = m_position < m_visible ? 0 : m_position - m_visible;
    SetDirty();
}

void CAreaScrollbar::PageForward()
{
    m_position = uint32_t(std::min<uint64_t>(uint64_t(m_position) + m_visible, GetLastPosition()));
    SetDirty();
}

void CAreaScrollbar::Step(int32_t amount)
{
    if (!IsEnabled())
        return;
    const uint32_t before = m_position;
    if (amount > 0)
    {
        if (m_position != 0)
            --m_position;
    }
    else if (CanScrollForward())
    {
        ++m_position;
    }
    if (m_position == before)
        return;
    Changed();
    LayoutGrip();
    SetDirty();
}

CRect CAreaScrollbar::GetGripRect() const
{
    const bool vertical = !IsHorizontal();
    const float length = float(vertical ? GetHeight() : GetWidth());
    float start = 0.0f;
    float size = 0.0f;
    if (m_total != 0)
    {
        const float first = m_total > m_visible ? float(m_position) : 0.0f;
        start = first / float(m_total) * length;
        size = float(m_visible) / float(m_total) * length;
        if (start + size > length)
            size = length - start;
        size = std::max(size, float(kMinGripLength));
    }
    const int32_t from = std::min(int32_t(start), int32_t(length - float(kMinGripLength)));
    const int32_t extent = std::max(0, std::min(int32_t(size), kMaxGripLength));
    if (vertical)
        return CRect(0, std::max(from, 0), int32_t(GetWidth()), extent);
    return CRect(from, 0, extent, int32_t(GetHeight()));
}

void CAreaScrollbar::SetColour(CRgbaColour colour)
{
    CArea2::SetColour(colour);
    Refresh(false);
}

void CAreaScrollbar::LayoutTrack()
{
    const int32_t width = int32_t(GetWidth());
    const int32_t height = int32_t(GetHeight());
    CGlyphManager& glyphs = CGlyphManager::Instance();
    glyphs.GetButtonFrame(m_track, GetWidth(), GetHeight(), false, false);
    if (m_skinnedEnds)
    {
        CZevralImage piece =
            glyphs.GetImage("display", m_pressed && m_dragging ? "side_off_down" : "side_off_up", kPieceSize);
        if (!IsHorizontal())
        {
            for (int32_t i = 0; i < kEndRepeats; ++i)
                m_track.MergeImage(CPoint(i, 0), piece);
            if (m_topMark)
            {
                const int32_t mark = int32_t(m_markOffset) - 1;
                m_track.MergeImage(CPoint(0, mark), piece);
                m_track.MergeImage(CPoint(1, mark), piece);
            }
            piece.RotateQuarter(180);
            for (int32_t i = 0; i < kEndRepeats; ++i)
                m_track.MergeImage(CPoint(i, height - piece.GetHeight()), piece);
        }
        else
        {
            piece.RotateQuarter(270);
            for (int32_t i = 0; i < kEndRepeats; ++i)
                m_track.MergeImage(CPoint(0, i), piece);
            // The far end mirrors the near one.
            piece.RotateQuarter(180);
            for (int32_t i = 0; i < kEndRepeats; ++i)
                m_track.MergeImage(CPoint(width - piece.GetWidth(), i), piece);
        }
    }
    m_track.Fill(GetColour(), true);
}

void CAreaScrollbar::LayoutGrip()
{
    const CRect grip = GetGripRect();
    if (grip.GetWidth() <= 0 || grip.GetHeight() <= 0)
    {
        m_grip = CZevralImage();
        return;
    }
    CGlyphManager& glyphs = CGlyphManager::Instance();
    glyphs.GetFillFrame(m_grip, uint32_t(grip.GetWidth()), uint32_t(grip.GetHeight()), false);
    CZevralImage mark = glyphs.GetImage("display", "grip_up", kPieceSize);
    if (IsHorizontal())
        mark.RotateQuarter(90);
    m_grip.CopyImage(m_grip.GetWidth() / 2 - mark.GetWidth() / 2, m_grip.GetHeight() / 2 - mark.GetHeight() / 2, mark);
    m_grip.Fill(GetColour(), true);
}

void CAreaScrollbar::OnPointerDown(const CPoint& point, uint32_t, bool* handled)
{
    *handled = true;
    m_pressed = true;
    const CRect grip = GetGripRect();
    if (grip.Contains(point))
    {
        m_dragging = true;
        m_grabOffset = point - grip.GetPosition();
        return;
    }
    m_dragging = false;
    const bool vertical = !IsHorizontal();
    const int32_t along = vertical ? point.GetY() : point.GetX();
    const int32_t gripStart = vertical ? grip.GetY() : grip.GetX();
    if (along < gripStart)
        PageBack();
    else
        PageForward();
    Changed();
}

void CAreaScrollbar::OnPointerMove(const CPoint& point)
{
    if (!m_pressed || !m_dragging)
        return;
    const bool vertical = !IsHorizontal();
    const int32_t wanted = vertical ? point.GetY() - m_grabOffset.GetY() : point.GetX() - m_grabOffset.GetX();
    const float length = float(vertical ? GetHeight() : GetWidth());
    if (m_total <= m_visible || wanted <= 1)
    {
        m_position = 0;
    }
    else
    {
        const float ratio = std::min(float(m_visible) / float(m_total), 1.0f);
        const float travel = length - float(int32_t((length - 4.0f) * ratio)) - 2.0f;
        // A bar too short to travel puts every grip position at the end.
        if (float(wanted) < travel && travel > 2.0f)
        {
            const float share = (float(wanted) - 2.0f) / (travel - 2.0f);
            m_position = std::min(uint32_t(float(m_total - m_visible) * share), GetLastPosition());
        }
        else
        {
            m_position = GetLastPosition();
        }
    }
    SetDirty();
    Changed();
}

void CAreaScrollbar::OnPointerUp(const CPoint&, bool* handled)
{
    m_pressed = false;
    m_dragging = false;
    *handled = true;
}

void CAreaScrollbar::Layout()
{
    LayoutTrack();
    LayoutGrip();
}

void CAreaScrollbar::Paint(CTextureAdapter& canvas)
{
    const CRect grip = GetGripRect();
    CZevralImage bar = m_track;
    if (m_total != 0)
        bar.MergeImage(grip.GetPosition(), m_grip);
    canvas.CompositeImage(CPoint(), bar);
    if (!IsEnabled())
        canvas.FillHatched(grip, GetBackgroundColour(), 0);
}

void CAreaScrollbar::Changed()
{
    m_change(this);
}
