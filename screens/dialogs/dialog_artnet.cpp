#include "screens/dialogs/dialog_artnet.h"

#include "graphics/glyph_manager.h"
#include "screens/dialogs/dialog_look.h"
#include "shell/app.h"
#include "widgets/area_button_soft.h"
#include "widgets/area_caption_bar.h"
#include "widgets/area_checkbox.h"
#include "widgets/area_edit_field.h"
#include "widgets/connect.h"

#include <algorithm>
#include <cstdio>

using namespace dialog_look;

namespace
{
constexpr uint32_t kIconSize = 32;
// Where the universe's digits begin in the entry.
constexpr uint32_t kUniversePlace = 2;

CAreaButtonSoft* MakeArrow(CArea2* parent, const CZevralImage& icon)
{
    CAreaButtonSoft* button = parent->MakeChild<CAreaButtonSoft>();
    button->SetIcon(icon);
    button->SetRepeat(true);
    return button;
}
}  // namespace

CDialogArtnet::CDialogArtnet(CArea2* parent) : CArea2(parent, false, 400 * Scale(), 250 * Scale())
{
    SetName("CDialogArtnet");
    SetBackgroundColour(Background());
    const CZevralImage up = CGlyphManager::Instance().GetImage("display", "up", kIconSize);
    const CZevralImage down = CGlyphManager::Instance().GetImage("display", "down", kIconSize);

    m_caption = MakeChild<CAreaCaptionBar>(false);
    m_caption->SetCaption("Art-Net", true, true);

    m_field = MakeChild<CAreaEditField>();
    m_field->SetLabel("sub.uni", true);
    m_field->SetFontSize(CApp::IsHighResolution() ? 44 : 18);

    m_ok = MakeChild<CAreaButtonSoft>();
    m_ok->SetCaption("Ok", true);
    m_cancel = MakeChild<CAreaButtonSoft>();
    m_cancel->SetCaption("Cancel", true);

    m_subnetUp = MakeArrow(this, up);
    m_subnetDown = MakeArrow(this, down);
    m_universeUp = MakeArrow(this, up);
    m_universeDown = MakeArrow(this, down);

    m_enabled = MakeChild<CAreaCheckbox>();
    m_enabled->SetText("Enabled", true);
    m_enabled->SetHorizontalAlignment(kAlignEnd);

    for (CAreaButtonSoft* button : {m_ok, m_cancel, m_subnetUp, m_subnetDown, m_universeUp, m_universeDown})
        Connect<&CDialogArtnet::OnButtonClick>(button, &CAreaButton::SetClickCallback, this);
    RefreshText();
}

CDialogArtnet::~CDialogArtnet() = default;

void CDialogArtnet::Set(bool enabled, uint8_t address)
{
    m_enabled->SetChecked(enabled);
    m_address = address;
    RefreshText();
}

bool CDialogArtnet::IsArtNetEnabled() const
{
    return m_enabled->IsChecked();
}

void CDialogArtnet::RefreshText()
{
    char text[16];
    std::snprintf(text, sizeof(text), "%d.%d", m_address >> 4, m_address & 15);
    m_field->SetText(text, false);
}

void CDialogArtnet::OnButtonClick(CAreaButton* button)
{
    const uint32_t subnet = m_address >> 4;
    const uint32_t universe = m_address & 15;
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
    // Each number steps round its own range; the other stays.
    if (button == m_subnetUp)
        m_address = uint8_t(m_address + 16);
    else if (button == m_subnetDown)
        m_address = uint8_t(m_address - 16);
    else if (button == m_universeUp)
        m_address = uint8_t(subnet << 4 | (universe < 15 ? universe + 1 : 0));
    else if (button == m_universeDown)
        m_address = uint8_t(subnet << 4 | (universe > 0 ? universe - 1 : 15));
    RefreshText();
}

void CDialogArtnet::TypeDigit(uint32_t digit)
{
    const uint32_t subnet = m_address >> 4;
    const uint32_t universe = m_address & 15;
    switch (m_entry.TakePlace())
    {
    case 0:
        m_address = uint8_t(digit << 4);
        break;
    case 1:
        // A second digit makes 10 to 15 of a first digit 1; beyond 15 the sub-net stays 1.
        if (subnet <= 1)
        {
            const uint32_t typed = subnet * 10 + digit;
            m_address = uint8_t(typed < 16 ? typed << 4 : 16);
        }
        break;
    case kUniversePlace:
        m_address = uint8_t(subnet << 4 | digit);
        break;
    default:
        if (universe <= 1)
            m_address = uint8_t(subnet << 4 | std::min<uint32_t>(universe * 10 + digit, 15));
        break;
    }
    RefreshText();
}

void CDialogArtnet::OnKeyDown(uint32_t key, bool* handled)
{
    *handled = true;
    m_entry.OnKey();
    if (key == '.')
        m_entry.SetPlace(kUniversePlace);
    else if (key >= '0' && key <= '9')
        TypeDigit(key - '0');
    else
        PressForKey(key, *m_ok, *m_cancel, *m_universeDown, *m_universeUp, *m_enabled);
}

void CDialogArtnet::OnKeyUp(uint32_t key, bool* handled)
{
    *handled = true;
    ReleaseForKey(key, *m_ok, *m_cancel, *m_universeDown, *m_universeUp, *m_enabled);
}

void CDialogArtnet::OnKeyRepeat(uint32_t key, bool* handled)
{
    // A held digit types itself again; a control a key holds stays pressed once (the on/off box
    // would flicker).
    if (key == '.' || (key >= '0' && key <= '9'))
        OnKeyDown(key, handled);
    *handled = true;
}

void CDialogArtnet::OnTick(float seconds)
{
    m_entry.Tick(seconds);
}

void CDialogArtnet::Layout()
{
    const int32_t width = int32_t(GetWidth());
    const int32_t height = int32_t(GetHeight());
    const int32_t gap = int32_t(kGap);
    const uint32_t row = uint32_t(std::max(0, (height - 24) / 5));
    m_caption->SetHeight(GetHeight());

    m_cancel->SetHeight(row);
    PlaceOkAndCancel(*m_ok, *m_cancel, *this);

    const int32_t x = RightOf(*m_caption);
    m_field->SetHeight(row);
    m_field->SetPosition(CPoint(x, height / 2 - int32_t(row) / 2));
    m_field->SetWidth(uint32_t(std::max(0, width - gap - x)));
    m_field->SetLabelWidth(int32_t(m_field->GetWidth()) - gap - int32_t(m_universeUp->GetWidth()) -
                           int32_t(m_subnetUp->GetWidth()));

    for (CAreaButtonSoft* arrow : {m_universeUp, m_subnetUp, m_universeDown, m_subnetDown})
        arrow->SetHeight(row);
    const int32_t fieldRight = m_field->GetX() + int32_t(m_field->GetWidth());
    m_universeUp->SetPosition(
        CPoint(fieldRight - int32_t(m_universeUp->GetWidth()), m_field->GetY() - gap - int32_t(row)));
    PlaceLeftOf(*m_subnetUp, *m_universeUp);
    m_universeDown->SetPosition(CPoint(m_universeUp->GetX(), m_field->GetBottom() + gap));
    PlaceLeftOf(*m_subnetDown, *m_universeDown);

    m_enabled->SetPosition(CPoint(x, gap));
    m_enabled->SetHeight(row);
    m_enabled->SetWidth(uint32_t(std::max(0, m_subnetUp->GetX() + int32_t(row) - 6 - x)));
}
