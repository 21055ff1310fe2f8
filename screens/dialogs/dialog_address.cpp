#include "screens/dialogs/dialog_address.h"

#include "graphics/glyph_manager.h"
#include "screens/dialogs/dialog_look.h"
#include "shell/app.h"
#include "widgets/area_button_soft.h"
#include "widgets/area_caption_bar.h"
#include "widgets/area_dip.h"
#include "widgets/area_edit_field.h"
#include "widgets/connect.h"

#include <SDL_keycode.h>

#include <algorithm>
#include <cstdlib>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>

using namespace dialog_look;

namespace
{
constexpr uint32_t kIconSize = 32;
constexpr uint32_t kIconFontSize = 30;
constexpr int32_t kRows = 5;

bool IsReturnKey(uint32_t key)
{
    return key == kKeyReturn || key == uint32_t(SDLK_KP_ENTER) || key == uint32_t(SDLK_RETURN2);
}

// The digit of a key of the main keyboard or the keypad; -1 for any other key.
int32_t DigitOfKey(uint32_t key)
{
    if (key >= '0' && key <= '9')
        return int32_t(key - '0');
    if (key == uint32_t(SDLK_KP_0))
        return 0;
    if (key >= uint32_t(SDLK_KP_1) && key <= uint32_t(SDLK_KP_9))
        return int32_t(key - uint32_t(SDLK_KP_1)) + 1;
    return -1;
}

// A step that leaves 1..512 comes back in from the other end: by a single step to the far end,
// by 10 or 100 to where 511 up or 512 down puts it (503 + 10 gives 2, 5 - 10 gives 507, 100 - 100
// gives 512): the counting the operator knows, not a plain modulo.
int32_t Step(int32_t address, int32_t step)
{
    const int32_t stepped = address + step;
    if (stepped > CDialogAddress::kLastAddress)
        return step == 1 ? CDialogAddress::kFirstAddress : stepped - (CDialogAddress::kLastAddress - 1);
    if (stepped < CDialogAddress::kFirstAddress)
        return step == -1 ? CDialogAddress::kLastAddress : stepped + CDialogAddress::kLastAddress;
    return stepped;
}
}  // namespace

CDialogAddress::CDialogAddress(CArea2* parent) : CArea2(parent, false, 400 * Scale(), 250 * Scale())
{
    SetName("CDialogAddress");
    SetBackgroundColour(Background());

    m_caption = MakeChild<CAreaCaptionBar>(false);
    m_caption->SetCaption("Set Start Address", true, true);

    m_ok = MakeChild<CAreaButtonSoft>();
    m_ok->SetCaption("Ok", true);
    m_cancel = MakeChild<CAreaButtonSoft>();
    m_cancel->SetCaption("Cancel", true);

    const CZevralImage plus = CGlyphManager::Instance().GetImage("display", "plus", kIconSize);
    const CZevralImage minus = CGlyphManager::Instance().GetImage("display", "minus", kIconSize);
    for (const auto& [step, amount] : {std::pair(&m_plus1, 1), std::pair(&m_minus1, -1), std::pair(&m_plus10, 10),
                                       std::pair(&m_minus10, -10), std::pair(&m_plus100, 100),
                                       std::pair(&m_minus100, -100)})
    {
        *step = MakeChild<CAreaButtonSoft>();
        (*step)->SetIcon(StepIcon(amount > 0 ? plus : minus, std::abs(amount)));
    }
    for (CAreaButtonSoft* button : {m_ok, m_cancel, m_plus1, m_minus1, m_plus10, m_minus10, m_plus100, m_minus100})
        Connect<&CDialogAddress::OnChange>(button, &CAreaButton::SetClickCallback, this);

    m_field = MakeChild<CAreaEditField>();
    m_field->SetFontSize(CApp::IsHighResolution() ? 44 : 18);
    m_field->SetLabelWidth(0);
    Connect<&CDialogAddress::OnFieldPress>(m_field, &CAreaEditField::SetPressCallback, this);

    m_dip = MakeChild<CAreaDip>();
    Connect<&CDialogAddress::OnChange>(m_dip, &CAreaDip::SetChangeCallback, this);

    ShowAddress();
}

CZevralImage CDialogAddress::StepIcon(const CZevralImage& sign, int32_t amount) const
{
    // The sign with the size of its step beside it, in the sign's own colour, so that the three
    // plus and the three minus keys tell themselves apart.
    if (sign.IsEmpty())
        return sign;
    CZevralImage digits;
    const CRgbaColour ink = sign.GetPixel(sign.GetWidth() / 2, sign.GetHeight() / 2);
    if (!RenderText(digits, std::to_string(amount), CRgbaColour(ink.GetRed(), ink.GetGreen(), ink.GetBlue(), 255),
                    kIconFontSize))
        return sign;
    const uint32_t gap = sign.GetWidth() / 8;
    CZevralImage icon(sign.GetWidth() + gap + digits.GetWidth(), std::max(sign.GetHeight(), digits.GetHeight()));
    icon.Fill(CRgbaColour(0, 0, 0, 0));
    icon.CopyImage(CPoint(0, int32_t(icon.GetHeight() - sign.GetHeight()) / 2), sign);
    icon.CopyImage(CPoint(int32_t(sign.GetWidth() + gap), int32_t(icon.GetHeight() - digits.GetHeight()) / 2), digits);
    return icon;
}

void CDialogAddress::SetAddress(uint32_t address)
{
    const bool valid = address >= uint32_t(kFirstAddress) && address <= uint32_t(kLastAddress);
    m_address = int16_t(valid ? address : kFirstAddress);
    ShowAddress();
}

void CDialogAddress::ShowAddress()
{
    char text[8];
    std::snprintf(text, sizeof(text), "%03d", int(m_address));
    m_field->SetText(text, false);
    m_field->SetTextColour(IsValid() ? GetTextColour() : Red());
    m_ok->SetEnabled(IsValid());
    m_dip->SetValue(uint32_t(uint16_t(m_address)));
}

void CDialogAddress::OnFieldPress(CAreaEditField* field, uint32_t, bool*)
{
    OnChange(field);
}

void CDialogAddress::OnChange(const CArea2* sender)
{
    if (sender == m_ok)
    {
        // Ok may have been held down while the address left the range: its release must not hand
        // such an address on.
        if (IsValid())
            SetResult(kResultOk);
        return;
    }
    if (sender == m_cancel)
    {
        SetResult(kResultCancel);
        return;
    }
    const std::pair<const CArea2*, int32_t> steps[] = {{m_plus1, 1},    {m_minus1, -1},    {m_plus10, 10},
                                                       {m_minus10, -10}, {m_plus100, 100}, {m_minus100, -100}};
    for (const auto& [button, step] : steps)
        if (sender == button)
            m_address = int16_t(Step(m_address, step));
    if (sender == m_dip)
        m_address = int16_t(std::min<uint32_t>(m_dip->GetValue(), INT16_MAX));
    ShowAddress();
}

void CDialogAddress::TypeDigit(int32_t digit)
{
    // The switches may have set a large value between two digits: it is held to what 16 bits keep.
    m_address = int16_t(std::min<uint32_t>(m_entry.Type(uint32_t(m_address), uint32_t(digit)), INT16_MAX));
    ShowAddress();
}

CAreaButtonSoft* CDialogAddress::ButtonForKey(uint32_t key) const
{
    if (IsReturnKey(key))
        return m_ok;
    if (key == kKeyEscape)
        return m_cancel;
    if (IsStepUpKey(key))
        return m_plus1;
    if (IsStepDownKey(key))
        return m_minus1;
    if (key == uint32_t(SDLK_PAGEUP))
        return m_plus10;
    if (key == uint32_t(SDLK_PAGEDOWN))
        return m_minus10;
    return nullptr;
}

void CDialogAddress::OnKeyDown(uint32_t key, bool* handled)
{
    *handled = true;
    m_entry.OnKey();
    const int32_t digit = DigitOfKey(key);
    if (digit >= 0)
        TypeDigit(digit);
    else if (CAreaButtonSoft* button = ButtonForKey(key))
        button->Press();
}

void CDialogAddress::OnKeyUp(uint32_t key, bool* handled)
{
    *handled = true;
    if (DigitOfKey(key) >= 0)
        return;
    if (CAreaButtonSoft* button = ButtonForKey(key))
        button->Release();
}

void CDialogAddress::OnKeyRepeat(uint32_t key, bool* handled)
{
    // A held digit types itself again; a button a key holds stays pressed once.
    if (DigitOfKey(key) >= 0)
        OnKeyDown(key, handled);
    *handled = true;
}

void CDialogAddress::OnTick(float seconds)
{
    m_entry.Tick(seconds);
}

void CDialogAddress::Layout()
{
    const int32_t width = int32_t(GetWidth());
    const int32_t height = int32_t(GetHeight());
    const int32_t gap = int32_t(kGap);
    const uint32_t row = uint32_t(std::max(0, (height - 6 * gap) / kRows));
    m_caption->SetHeight(GetHeight());
    const int32_t x0 = RightOf(*m_caption);
    const uint32_t contentWidth = uint32_t(std::max(0, width - gap - x0));

    m_dip->SetRect(CRect(x0, gap, int32_t(contentWidth), int32_t(row)));
    const int32_t stepsY = m_dip->GetBottom() + gap;
    m_field->SetRect(CRect(x0, stepsY + int32_t(row) + gap, int32_t(contentWidth), int32_t(row)));
    const int32_t fieldRight = x0 + int32_t(contentWidth);

    // Plus above the field and minus below it, 1 at the right, then 10 and 100 leftwards.
    int32_t right = fieldRight;
    for (const auto& [plus, minus] : {std::pair(m_plus1, m_minus1), std::pair(m_plus10, m_minus10),
                                      std::pair(m_plus100, m_minus100)})
    {
        plus->SetHeight(row);
        minus->SetHeight(row);
        plus->SetPosition(CPoint(right - int32_t(plus->GetWidth()), stepsY));
        minus->SetPosition(CPoint(plus->GetX(), m_field->GetBottom() + gap));
        right = plus->GetX() - gap;
    }

    m_cancel->SetHeight(row);
    PlaceOkAndCancel(*m_ok, *m_cancel, *this);
}
