#include "screens/dialogs/dialog_ip_and_subnet.h"

#include "foundation/key_text.h"
#include "screens/dialogs/dialog_look.h"
#include "shell/app.h"
#include "widgets/area_button_soft.h"
#include "widgets/area_caption_bar.h"
#include "widgets/area_edit_field.h"
#include "widgets/area_radio.h"
#include "widgets/connect.h"

#include <algorithm>

using namespace dialog_look;

namespace
{
constexpr uint32_t kOptionDhcp = 0;
constexpr uint32_t kOptionStatic = 1;
constexpr float kClearTime = 1.0f;

// The dot, the digits and the colon: what an address with a port is made of.
bool IsAddressKey(uint32_t key)
{
    return key == '.' || (key >= '0' && key <= ':');
}

CIpAddress ParseKeepingPort(const std::string& text, const CIpAddress& given)
{
    CIpAddress address = given;
    if (!address.Parse(text))
        return given;
    if (text.find(':') == std::string::npos)
        address.SetPort(given.GetPort());
    return address;
}

void LayoutField(CAreaEditField& field, int32_t x, int32_t y, int32_t width, const CArea2& mode)
{
    field.SetPosition(CPoint(x, y));
    field.SetWidth(uint32_t(std::max(0, width)));
    // The entry box lines up under the mode choice, exactly as wide.
    field.SetLabelWidth(int32_t(field.GetWidth()) - int32_t(mode.GetWidth()));
}
}  // namespace

CDialogIpAndSubnet::CDialogIpAndSubnet(CArea2* parent, bool dhcpAllowed)
    : CArea2(parent, false, 400 * Scale(), 250 * Scale()), m_dhcpAllowed(dhcpAllowed)
{
    SetName("CDialogIpAndSubnet");
    SetBackgroundColour(Background());

    m_caption = MakeChild<CAreaCaptionBar>(false);
    m_caption->SetCaption("Set IP Address", true, true);

    m_ok = MakeChild<CAreaButtonSoft>();
    m_ok->SetCaption("Ok", true);
    Connect<&CDialogIpAndSubnet::OnButtonClick>(m_ok, &CAreaButton::SetClickCallback, this);

    m_cancel = MakeChild<CAreaButtonSoft>();
    m_cancel->SetCaption("Cancel", true);
    Connect<&CDialogIpAndSubnet::OnButtonClick>(m_cancel, &CAreaButton::SetClickCallback, this);

    m_mode = MakeChild<CAreaRadio>(2);
    m_mode->SetOptionText(kOptionDhcp, CApp::Translate("DHCP", false));
    m_mode->SetOptionText(kOptionStatic, CApp::Translate("Static", false));
    Connect<&CDialogIpAndSubnet::OnModeChange>(m_mode, &CAreaRadio::SetChangeCallback, this);

    // Not editable: the dialog types into the fields itself.
    m_address = MakeChild<CAreaEditField>();
    m_address->SetLabel("IP Address", true);
    Connect<&CDialogIpAndSubnet::OnFieldPress>(m_address, &CAreaEditField::SetPressCallback, this);

    m_subnet = MakeChild<CAreaEditField>();
    m_subnet->SetLabel("Subnet mask", true);
    Connect<&CDialogIpAndSubnet::OnFieldPress>(m_subnet, &CAreaEditField::SetPressCallback, this);

    SetDhcp(false);
}

void CDialogIpAndSubnet::SetDhcp(bool dhcp)
{
    m_mode->SetSelection(dhcp ? kOptionDhcp : kOptionStatic);
    m_address->SetFocus(!dhcp);
    m_subnet->SetFocus(false);
    m_textInput.SetHeld(!dhcp);
    UpdateFields();
}

bool CDialogIpAndSubnet::IsDhcp() const
{
    return m_dhcpAllowed && m_mode->GetSelection() == kOptionDhcp;
}

bool CDialogIpAndSubnet::IsStatic() const
{
    return m_mode->GetSelection() == kOptionStatic;
}

void CDialogIpAndSubnet::SetIpAddress(const CIpAddress& address)
{
    m_givenAddress = address;
    m_address->SetText(address.ToText(), false);
    UpdateFields();
}

void CDialogIpAndSubnet::SetSubnet(const CIpAddress& subnet)
{
    m_givenSubnet = subnet;
    m_subnet->SetText(subnet.ToText(), false);
    UpdateFields();
}

CIpAddress CDialogIpAndSubnet::GetIpAddress() const
{
    return ParseKeepingPort(m_address->GetText(), m_givenAddress);
}

CIpAddress CDialogIpAndSubnet::GetSubnet() const
{
    return ParseKeepingPort(m_subnet->GetText(), m_givenSubnet);
}

bool CDialogIpAndSubnet::IsAcceptable() const
{
    return IsDhcp() ||
           (CIpAddress::IsValidText(m_address->GetText()) && CIpAddress::IsValidText(m_subnet->GetText()));
}

void CDialogIpAndSubnet::UpdateFields()
{
    for (CAreaEditField* field : {m_address, m_subnet})
        field->SetColour(CIpAddress::IsValidText(field->GetText()) ? GetColour() : Red());
    m_ok->SetEnabled(IsAcceptable());
}

void CDialogIpAndSubnet::OnButtonClick(CAreaButton* button)
{
    if (button == m_ok)
    {
        // Ok may have been held down while the text became unacceptable.
        if (IsAcceptable())
            SetResult(kResultOk);
    }
    else if (button == m_cancel)
    {
        SetResult(kResultCancel);
    }
}

void CDialogIpAndSubnet::OnModeChange(CAreaRadio* radio)
{
    SetDhcp(radio->GetSelection() == kOptionDhcp);
}

void CDialogIpAndSubnet::OnFieldPress(CAreaEditField* field, uint32_t, bool*)
{
    UpdateFields();
    if (!IsStatic())
        return;
    m_address->SetFocus(field == m_address);
    m_subnet->SetFocus(field == m_subnet);
}

void CDialogIpAndSubnet::Type(uint32_t key)
{
    CAreaEditField* target = m_address->HasFocus() ? m_address : m_subnet;
    std::string text = target->GetText();
    ApplyKeyToText(int32_t(key), text, nullptr);
    target->SetText(text, false);
    UpdateFields();
}

void CDialogIpAndSubnet::OnKeyDown(uint32_t key, bool* handled)
{
    *handled = true;
    if (key == kKeyBackspace)
    {
        // The hold that empties the address field counts from the first key-down.
        if (!m_backspaceHeld)
            m_backspaceTimer = 0.0f;
        m_backspaceHeld = true;
        Type(key);
    }
    else if (key == kKeyTab)
    {
        if (IsStatic())
        {
            const bool addressFocus = m_address->HasFocus();
            m_subnet->SetFocus(addressFocus);
            m_address->SetFocus(!addressFocus);
        }
    }
    else if (key == kKeyReturn)
    {
        m_ok->Press();
    }
    else if (key == kKeyEscape)
    {
        m_cancel->Press();
    }
    else if (IsAddressKey(key))
    {
        Type(key);
    }
}

void CDialogIpAndSubnet::OnKeyUp(uint32_t key, bool* handled)
{
    *handled = true;
    if (key == kKeyBackspace)
        m_backspaceHeld = false;
    else if (key == kKeyReturn)
        m_ok->Release();
    else if (key == kKeyEscape)
        m_cancel->Release();
}

void CDialogIpAndSubnet::OnKeyRepeat(uint32_t key, bool* handled)
{
    // A held key types again, Backspace included, whose hold still counts from its first down.
    if (key == kKeyBackspace || IsAddressKey(key))
        Type(key);
    *handled = true;
}

void CDialogIpAndSubnet::OnTick(float seconds)
{
    // Once per press: the timer stays at its end until Backspace is pressed again.
    if (!m_backspaceHeld || m_backspaceTimer >= kClearTime)
        return;
    m_backspaceTimer += seconds;
    if (m_backspaceTimer >= kClearTime)
    {
        m_address->SetText("", false);
        UpdateFields();
    }
}

void CDialogIpAndSubnet::Layout()
{
    const int32_t width = int32_t(GetWidth());
    const int32_t gap = int32_t(kGap);
    m_caption->SetHeight(GetHeight());
    PlaceOkAndCancel(*m_ok, *m_cancel, *this);

    m_mode->SetSize(2 * m_cancel->GetWidth() + kGap, m_cancel->GetHeight());
    m_mode->SetPosition(CPoint(width - gap - int32_t(m_mode->GetWidth()), gap));

    const int32_t x = RightOf(*m_caption);
    LayoutField(*m_address, x, m_mode->GetBottom() + gap, width - gap - x, *m_mode);
    LayoutField(*m_subnet, x, m_address->GetBottom() + gap, width - gap - x, *m_mode);
}

void CDialogIpAndSubnet::OnVisibleChanged()
{
    m_mode->SetVisible(IsVisible() && m_dhcpAllowed);
}
