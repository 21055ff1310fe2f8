#pragma once

#include "foundation/ip_address.h"
#include "shell/text_input_request.h"
#include "widgets/area.h"

class CAreaButton;
class CAreaButtonSoft;
class CAreaCaptionBar;
class CAreaEditField;
class CAreaRadio;

// Edits a unit's network settings: DHCP, or a static IPv4 address with its subnet mask. The
// dialog types into its two fields itself: only digits, the dot, the colon and Backspace reach
// them, Tab moves between them, and Backspace held for a second empties the address. A field
// whose text is no address shows red, and Ok takes only DHCP or two valid addresses.
class CDialogIpAndSubnet : public CArea2
{
public:
    // Without DHCP allowed the choice is never offered.
    CDialogIpAndSubnet(CArea2* parent, bool dhcpAllowed);

    void SetDhcp(bool dhcp);
    bool IsDhcp() const;
    void SetIpAddress(const CIpAddress& address);
    void SetSubnet(const CIpAddress& subnet);
    // The typed address; a text without a port keeps the port of the address given, so the unit
    // stays where it listens. A text that is no address gives the address given.
    CIpAddress GetIpAddress() const;
    CIpAddress GetSubnet() const;
    // What Ok would take now.
    bool IsAcceptable() const;

protected:
    void OnKeyDown(uint32_t key, bool* handled) override;
    void OnKeyUp(uint32_t key, bool* handled) override;
    void OnKeyRepeat(uint32_t key, bool* handled) override;
    void OnTick(float seconds) override;
    void Layout() override;
    void OnVisibleChanged() override;

private:
    void OnButtonClick(CAreaButton* button);
    void OnModeChange(CAreaRadio* radio);
    void OnFieldPress(CAreaEditField* field, uint32_t button, bool* handled);
    bool IsStatic() const;
    void Type(uint32_t key);
    // Red for a text that is no address; Ok follows.
    void UpdateFields();

    CAreaButtonSoft* m_ok;
    CAreaButtonSoft* m_cancel;
    CAreaRadio* m_mode;
    CAreaEditField* m_address;
    CAreaEditField* m_subnet;
    CAreaCaptionBar* m_caption;
    float m_backspaceTimer = 0.0f;
    bool m_backspaceHeld = false;
    bool m_dhcpAllowed;
    CIpAddress m_givenAddress;
    CIpAddress m_givenSubnet;
    // Held while the address is typed in (static mode).
    CTextInputRequest m_textInput{false};
};
