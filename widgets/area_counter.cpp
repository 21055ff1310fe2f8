#include "widgets/area_counter.h"

#include "graphics/glyph_manager.h"
#include "graphics/texture_adapter.h"
#include "shell/app.h"

#include <algorithm>
#include <cstdio>

namespace
{
constexpr uint32_t kNumberFontSize = 24;
constexpr uint32_t kRestingFontSize = 11;
}

CAreaCounter::CAreaCounter(CArea2* parent, bool wrap)
    : CArea2(parent, false, CApp::IsHighResolution() ? 200 : 100, CApp::IsHighResolution() ? 80 : 40), m_wrap(wrap)
{
    SetName("CAreaCounter");
}

void CAreaCounter::SetValue(uint32_t value)
{
    if (value == m_value)
        return;
    m_value = std::min(value, m_maximum);
    SetDirty();
}

void CAreaCounter::Step(int32_t delta)
{
    // Signed arithmetic wide enough that no bound or step overflows.
    const int64_t minimum = m_minimum;
    const int64_t maximum = m_maximum;
    int64_t next = int64_t(m_value) + delta;
    if (m_wrap)
    {
        // One past the maximum lands on the minimum, one below the minimum on the maximum.
        if (next > maximum)
            next = next - 1 - maximum + minimum;
        if (next < minimum)
            next = next + 1 - minimum + maximum;
    }
    next = std::max(next, minimum);
    if (next > maximum)
        next = maximum;
    if (next == int64_t(m_value))
        return;
    m_value = uint32_t(next);
    SetDirty();
}

void CAreaCounter::SetMinimum(uint32_t minimum)
{
    if (minimum == m_minimum)
        return;
    m_minimum = minimum;
    if (m_value < minimum)
    {
        m_value = std::min(minimum, m_maximum);
        SetDirty();
    }
}

void CAreaCounter::SetMaximum(uint32_t maximum)
{
    if (maximum == m_maximum)
        return;
    m_maximum = maximum;
    if (m_value > maximum)
    {
        m_value = maximum;
        SetDirty();
    }
}

void CAreaCounter::SetDigits(uint32_t digits)
{
    if (digits == m_digits)
        return;
    m_digits = digits;
    SetDirty();
}

std::string CAreaCounter::GetText() const
{
    char text[16];
    std::snprintf(text, sizeof text, m_digits == 2 ? "%02u" : "%03u", m_value);
    return text;
}

void CAreaCounter::SetColour(CRgbaColour colour)
{
    CArea2::SetColour(colour);
    Refresh(false);
}

void CAreaCounter::Layout()
{
    CGlyphManager::Instance().GetButtonFrame(m_frame, GetWidth(), GetHeight(), false, false);
}

void CAreaCounter::Paint(CTextureAdapter& canvas)
{
    canvas.BlendImage(CPoint(), m_frame);
    if (!IsEnabled())
        DrawHatch(canvas);
    SetFontSize(kNumberFontSize);
    DrawText(canvas, GetText(), GetTextColour(), GetClientRect().GetCentre(), kAlignCentre, kAlignMiddle);
    SetFontSize(kRestingFontSize);
}
