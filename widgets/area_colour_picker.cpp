#include "widgets/area_colour_picker.h"

#include "graphics/glyph_manager.h"
#include "graphics/texture_adapter.h"

#include <algorithm>
#include <cstdlib>

namespace
{
constexpr uint32_t kSide = 200;
constexpr uint32_t kMarkerSide = 40;
constexpr int32_t kClientInset = 3;
// Channels this close count as the same colour.
constexpr int kSameColour = 3;
}  // namespace

CAreaColourPicker::CAreaColourPicker(CArea2* parent, bool live) : CArea2(parent, true, kSide, kSide), m_live(live)
{
}

void CAreaColourPicker::SetPickedColour(CRgbaColour colour)
{
    m_pickedColour = colour;
    m_hasPickedColour = true;
    FollowPickedColour();
}

void CAreaColourPicker::FollowPickedColour()
{
    if (m_dragging || !m_hasPickedColour)
        return;
    const CRgbaColour colour = m_pickedColour;
    // A pick the pointer made comes back from the controller as nearly its own colour; moving it
    // to the computed place would make the marker jump by a pixel or two.
    const CRgbaColour shown = ColourAt(m_pick);
    if (std::abs(int(shown.GetRed()) - int(colour.GetRed())) <= kSameColour &&
        std::abs(int(shown.GetGreen()) - int(colour.GetGreen())) <= kSameColour &&
        std::abs(int(shown.GetBlue()) - int(colour.GetBlue())) <= kSameColour)
        return;
    CPoint pick;
    if (!PickOf(colour, pick) || pick == m_pick)
        return;
    m_pick = pick;
    SetDirty();
}

CRect CAreaColourPicker::GetClientRect() const
{
    CRect rect = GetLocalRect();
    rect.Shrink(kClientInset);
    return rect;
}

void CAreaColourPicker::SetColour(CRgbaColour colour)
{
    CArea2::SetColour(colour);
    m_frame.Fill(colour, true);
}

void CAreaColourPicker::OnPointerDown(const CPoint& point, uint32_t, bool* handled)
{
    *handled = true;
    if (!IsEnabled() || !GetClientRect().Contains(point))
        return;
    m_dragging = true;
    OnPointerMove(point);
}

void CAreaColourPicker::OnPointerMove(const CPoint& point)
{
    if (!m_dragging)
        return;
    const CPoint pick = PickFor(point);
    if (pick == m_pick)
        return;
    if (m_live)
    {
        m_pick = pick;
        SetDirty();
    }
    m_change(this);
}

void CAreaColourPicker::OnPointerUp(const CPoint&, bool* handled)
{
    *handled = true;
    m_dragging = false;
}

void CAreaColourPicker::Layout()
{
    CGlyphManager& glyphs = CGlyphManager::Instance();
    glyphs.GetButtonFrame(m_frame, GetWidth(), GetHeight(), false, false);
    // The area's colour (red while the playback's cues use the colour), not the colour at the pick.
    m_frame.Fill(CArea2::GetColour(), true);
    glyphs.GetButtonFrame(m_marker, kMarkerSide, kMarkerSide, false, true);
    const int32_t width = std::max(0, m_frame.GetWidth() - 2 * kFieldInset);
    const int32_t height = std::max(0, m_frame.GetHeight() - 2 * kFieldInset);
    m_field.Resize(uint32_t(width), uint32_t(height), true);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            m_field.SetPixel(uint32_t(x), uint32_t(y), ColourAt(CPoint(x, y)));
    FollowPickedColour();
}

void CAreaColourPicker::Paint(CTextureAdapter& canvas)
{
    canvas.CompositeImage(CPoint(), m_frame);
    if (!IsEnabled())
        return;
    const CPoint origin(int32_t(GetWidth() / 2) - m_field.GetWidth() / 2,
                        int32_t(GetHeight() / 2) - m_field.GetHeight() / 2);
    canvas.BlendImage(origin, m_field);
    const int32_t half = int32_t(kMarkerSide / 2);
    canvas.BlendImage(origin + m_pick - CPoint(half, half), m_marker);
}
