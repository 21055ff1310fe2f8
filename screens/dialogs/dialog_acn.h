#pragma once

#include "screens/dialogs/digit_entry.h"
#include "widgets/area.h"

#include <cstdint>

class CAreaButton;
class CAreaButtonSoft;
class CAreaCaptionBar;
class CAreaCheckbox;
class CAreaEditField;

// Switches a unit's sACN output on or off and chooses its universe, 1 to 63999. The arrows step
// the universe and stop at the ends; up to five typed digits make a new universe (kept at 63999 at
// most), and a second's pause or a sixth digit starts a new one. Typing may give 0, which the unit
// receives as 1. The dialog only holds the values: its host reads them when it ends with Ok (1);
// Cancel ends it with 2. It takes every key while open.
class CDialogAcn : public CArea2
{
public:
    static constexpr uint32_t kMaxUniverse = 63999;

    explicit CDialogAcn(CArea2* parent);
    ~CDialogAcn() override;

    // A universe of 0 is shown as 1.
    void Set(bool enabled, uint16_t universe);
    // Whether the unit's sACN output is to be on (the checkbox); not the area's input state.
    bool IsAcnEnabled() const;
    uint16_t GetUniverse() const { return m_universe; }
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
    CAreaCheckbox* m_enabled;
    CAreaButtonSoft* m_up;
    CAreaButtonSoft* m_down;
    CAreaEditField* m_field;
    CAreaCaptionBar* m_caption;
    uint16_t m_universe = 1;
    CDigitEntry m_entry{5};
};
