#pragma once

#include "screens/dialogs/digit_entry.h"
#include "widgets/area.h"

#include <cstdint>

class CAreaButton;
class CAreaButtonSoft;
class CAreaCaptionBar;
class CAreaCheckbox;
class CAreaEditField;

// Switches a unit's Art-Net output on or off and chooses its universe as a sub-net and a universe,
// each 0 to 15, shown joined by a point ("3.12"). The arrows step either number round its range;
// typed digits fill the sub-net, then after a point (or a second digit) the universe, and a
// second's pause starts again at the sub-net. The dialog only holds the values: its host reads them
// when it ends with Ok (1); Cancel ends it with 2. It takes every key while open.
class CDialogArtnet : public CArea2
{
public:
    explicit CDialogArtnet(CArea2* parent);
    ~CDialogArtnet() override;

    // The address holds the sub-net in its high four bits and the universe in the low four.
    void Set(bool enabled, uint8_t address);
    // Whether the unit's Art-Net output is to be on (the checkbox); not the area's input state.
    bool IsArtNetEnabled() const;
    uint8_t GetAddress() const { return m_address; }
    void RefreshText();

protected:
    void OnKeyDown(uint32_t key, bool* handled) override;
    void OnKeyUp(uint32_t key, bool* handled) override;
    void OnKeyRepeat(uint32_t key, bool* handled) override;
    void OnTick(float seconds) override;
    void Layout() override;

private:
    void OnButtonClick(CAreaButton* button);
    void TypeDigit(uint32_t digit);

    CAreaButtonSoft* m_ok;
    CAreaButtonSoft* m_cancel;
    CAreaButtonSoft* m_subnetUp;
    CAreaButtonSoft* m_subnetDown;
    CAreaButtonSoft* m_universeUp;
    CAreaButtonSoft* m_universeDown;
    CAreaCheckbox* m_enabled;
    CAreaCaptionBar* m_caption;
    CAreaEditField* m_field;
    uint8_t m_address = 0;
    // Four digits: the sub-net's two, then the universe's two.
    CDigitEntry m_entry{4};
};
