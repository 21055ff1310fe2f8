#include "screens/dialogs/dialog_acn.h"

#include "graphics/glyph_manager.h"
#include "screens/dialogs/dialog_look.h"
#include "shell/app.h"
#include "widgets/area_button_soft.h"
#include "widgets/area_caption_bar.h"
#include "widgets/area_checkbox.h"
#include "widgets/area_edit_field.h"
#include "widgets/connect.h"

#include <algorithm>
#include <string>

using namespace dialog_look;

namespace
{
constexpr uint32_t kIconSize = 32;
}  // namespace

CDialogAcn::CDialogAcn(CArea2* parent) : CArea2(parent, false, 400 * Scale(), 250 * Scale())
{
    SetBackgroundColour(Background());

    m_caption = MakeChild<CAreaCaptionBar>(false);
    m_caption->SetCaption("sACN", true, true);

    m_field = MakeChild<CAreaEditField>();
    m_field->SetLabel("sub.uni", true);
    m_field->SetFontSize(CApp::IsHighResolution() ? 44 : 18);

    m_up = MakeChild<CAreaButtonSoft>();
    m_up->SetIcon(CGlyphManager::Instance().GetImage("display", "up", kIconSize));
    m_up->SetRepeat(true);
    m_down = MakeChild<CAreaButtonSoft>();
    m_down->SetIcon(CGlyphManager::Instance().GetImage("display", "down", kIconSize));
    m_down->SetRepeat(true);

    m_ok = MakeChild<CAreaButtonSoft>();
    m_ok->SetCaption("Ok", true);
    m_cancel = MakeChild<CAreaButtonSoft>();
    m_cancel->SetCaption("Cancel", true);

    m_enabled = MakeChild<CAreaCheckbox>();
    m_enabled->SetText("Enabled", true);
    m_enabled->SetHorizontalAlignment(kAlignEnd);

    for (CAreaButtonSoft* button : {m_up, m_down, m_ok, m_cancel})
        Connect<&CDialogAcn::OnButtonClick>(button, &CAreaButton::SetClickCallback, this);
    RefreshText();
}

CDialogAcn::~CDialogAcn() = default;

void CDialogAcn::Set(bool enabled, uint16_t universe)
{
    m_enabled->SetChecked(enabled);
    m_universe = std::max<uint16_t>(universe, 1);
    RefreshText();
}

bool CDialogAcn::IsAcnEnabled() const
{
    return m_enabled->IsChecked();
}

void CDialogAcn::RefreshText()
{
    m_field->SetText(std::to_string(m_universe), false);
}

void CDialogAcn::OnButtonClick(CAreaButton* button)
{
    if (button == m_ok)
    {
        SetResult(kResultOk);
        return;
    }
    if (button == m_cancel)
    {
        SetResult(kResultCancel);
        return;
    }
    if (button == m_up)
        m_universe = uint16_t(std::min<uint32_t>(m_universe + 1u, kMaxUniverse));
    else if (button == m_down && m_universe >= 2)
        --m_universe;
    RefreshText();
}

void CDialogAcn::TypeDigit(uint32_t digit)
{
    // Counted wide, so five nines stop at the limit instead of running round 16 bits.
    m_universe = uint16_t(std::min(m_entry.Type(m_universe, digit), kMaxUniverse));
}

void CDialogAcn::OnKeyDown(uint32_t key, bool* handled)
{
    *handled = true;
    m_entry.OnKey();
    if (key >= '0' && key <= '9')
        TypeDigit(key - '0');
    else
        PressForKey(key, *m_ok, *m_cancel, *m_down, *m_up, *m_enabled);
    RefreshText();
}

void CDialogAcn::OnKeyUp(uint32_t key, bool* handled)
{
    *handled = true;
    ReleaseForKey(key, *m_ok, *m_cancel, *m_down, *m_up, *m_enabled);
}

void CDialogAcn::OnKeyRepeat(uint32_t key, bool* handled)
{
    // A held digit types itself again; a control a key holds stays pressed once (the on/off box
    // would flicker).
    if (key >= '0' && key <= '9')
        OnKeyDown(key, handled);
    *handled = true;
}

void CDialogAcn::OnTick(float seconds)
{
    m_entry.Tick(seconds);
}

void CDialogAcn::Layout()
{
    const int32_t width = int32_t(GetWidth());
    const int32_t height = int32_t(GetHeight());
    const int32_t gap = int32_t(kGap);
    const int32_t x = RightOf(*m_caption);
    ArrangeEvenly({m_enabled, m_up, m_field, m_down, m_cancel},
                  CRect(x, 0, std::max(0, width - x), std::max(0, height - gap)), kGap, false);
    m_caption->SetHeight(GetHeight());

    m_cancel->SetWidth(100 * Scale());
    m_cancel->SetX(width - gap - int32_t(m_cancel->GetWidth()));
    m_ok->SetSize(m_cancel->GetWidth(), m_cancel->GetHeight());
    PlaceLeftOf(*m_ok, *m_cancel);

    m_up->SetWidth(2 * m_cancel->GetWidth() + kGap);
    m_down->SetWidth(m_up->GetWidth());

    m_field->SetX(x);
    m_field->SetWidth(uint32_t(std::max(0, width - gap - x)));
    m_field->SetLabelWidth(int32_t(m_field->GetWidth()) - int32_t(m_up->GetWidth()));

    m_up->SetX(m_field->GetX() + int32_t(m_field->GetWidth()) - int32_t(m_up->GetWidth()));
    m_down->SetX(m_up->GetX());

    m_enabled->SetX(x);
    m_enabled->SetWidth(uint32_t(std::max(0, m_up->GetX() + int32_t(m_enabled->GetHeight()) - 6 - x)));
}
