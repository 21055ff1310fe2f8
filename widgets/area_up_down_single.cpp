#include "widgets/area_up_down_single.h"

#include "graphics/glyph_manager.h"
#include "shell/app.h"
#include "widgets/area_button_soft.h"
#include "widgets/area_counter.h"
#include "widgets/connect.h"

namespace
{
constexpr uint32_t kIconSize = 32;
constexpr uint32_t kFirstValue = 1;
constexpr uint32_t kLastValue = 512;
// The buttons' side across the widget.
constexpr int32_t kButtonSide = 40;
constexpr int32_t kLargeButtonSide = 80;
}

CAreaUpDownSingle::CAreaUpDownSingle(CArea2* parent, int32_t orientation)
    : CArea2(parent, false), m_orientation(orientation)
{
    SetName("CAreaUpDownSingle");
    const bool horizontal = orientation == kHorizontal;
    m_counter = MakeChild<CAreaCounter>(true);
    m_counter->SetMinimum(kFirstValue);
    m_counter->SetMaximum(kLastValue);

    const CGlyphManager& glyphs = CGlyphManager::Instance();
    const CZevralImage firstIcon = glyphs.GetImage("display", horizontal ? "right" : "up", kIconSize);
    const CZevralImage secondIcon = glyphs.GetImage("display", horizontal ? "left" : "down", kIconSize);
    m_first = MakeChild<CAreaButtonSoft>();
    m_first->SetIcon(firstIcon);
    m_second = MakeChild<CAreaButtonSoft>();
    m_second->SetIcon(secondIcon);
    for (CAreaButtonSoft* button : {m_first, m_second})
    {
        Connect<&CAreaUpDownSingle::OnButton>(button, &CAreaButton::SetClickCallback, this);
        button->SetRepeat(true);
    }
    UpdateButtons();
    if (horizontal)
        SetSize(120, 40);
    else
        SetSize(40, 120);
}

uint32_t CAreaUpDownSingle::GetValue() const
{
    return m_counter->GetValue();
}

uint32_t CAreaUpDownSingle::GetRawValue() const
{
    return m_counter->GetRawValue();
}

uint32_t CAreaUpDownSingle::GetMinimum() const
{
    return m_counter->GetMinimum();
}

uint32_t CAreaUpDownSingle::GetMaximum() const
{
    return m_counter->GetMaximum();
}

void CAreaUpDownSingle::SetValue(uint32_t value)
{
    m_counter->SetValue(value);
    UpdateButtons();
}

void CAreaUpDownSingle::SetMinimum(uint32_t minimum)
{
    m_counter->SetMinimum(minimum);
    UpdateButtons();
}

void CAreaUpDownSingle::SetMaximum(uint32_t maximum)
{
    m_counter->SetMaximum(maximum);
    UpdateButtons();
}

void CAreaUpDownSingle::SetWrap(bool wrap)
{
    m_counter->SetWrap(wrap);
}

void CAreaUpDownSingle::SetFirstEnabled(bool enabled)
{
    m_firstEnabled = enabled;
    m_automaticEnabling = false;
    UpdateButtons();
}

void CAreaUpDownSingle::SetSecondEnabled(bool enabled)
{
    m_secondEnabled = enabled;
    m_automaticEnabling = false;
    UpdateButtons();
}

void CAreaUpDownSingle::PressFirst()
{
    m_first->Press();
    m_first->Release();
}

void CAreaUpDownSingle::PressSecond()
{
    m_second->Press();
    m_second->Release();
}

void CAreaUpDownSingle::StepBy(int32_t count)
{
    if (!IsEnabled())
        return;
    const int32_t direction = count > 0 ? 1 : -1;
    const int64_t steps = count > 0 ? int64_t(count) : -int64_t(count);
    for (int64_t i = 0; i < steps; ++i)
        m_counter->Step(direction);
    SetDirty();
}

void CAreaUpDownSingle::OnButton(CAreaButton* button)
{
    if (button == m_first)
        m_counter->Step(1);
    else if (button == m_second)
        m_counter->Step(-1);
    UpdateButtons();
    m_change(this);
}

void CAreaUpDownSingle::UpdateButtons()
{
    if (!m_first || !m_second || m_automaticEnabling)
        return;
    m_first->SetEnabled(m_firstEnabled);
    m_second->SetEnabled(m_secondEnabled);
}

void CAreaUpDownSingle::Layout()
{
    const int32_t width = int32_t(GetWidth());
    const int32_t height = int32_t(GetHeight());
    const int32_t side = CApp::IsHighResolution() ? kLargeButtonSide : kButtonSide;
    if (m_orientation != kHorizontal)
    {
        m_first->SetRect(CRect(0, 0, width, side));
        m_first->SetMaxIconHeight(int32_t(m_first->GetHeight()) / 2);
        m_second->SetRect(CRect(0, height - side, width, side));
        m_second->SetMaxIconHeight(int32_t(m_second->GetHeight()) / 2);
        const int32_t top = m_first->GetBottom();
        m_counter->SetRect(CRect(m_counter->GetX(), top, int32_t(m_second->GetWidth()), m_second->GetY() - top));
    }
    else
    {
        m_second->SetRect(CRect(0, 0, side, height));
        m_first->SetRect(CRect(width - side, 0, side, height));
        // The counter stands between the buttons, as it does between the vertical ones.
        const int32_t left = m_second->GetX() + int32_t(m_second->GetWidth());
        m_counter->SetRect(CRect(left, 0, m_first->GetX() - left, height));
    }
}
