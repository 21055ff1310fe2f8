#pragma once

#include "screens/dialogs/digit_entry.h"
#include "shell/text_input_request.h"
#include "widgets/area.h"

#include <cstdint>

class CAreaButton;
class CAreaButtonSoft;
class CAreaCaptionBar;
class CAreaDip;
class CAreaEditField;

// The DMX start address, 1 to 512, for the fixtures selected on the patch page: typed as up to
// three digits (a second's pause or a fourth digit starts a new entry), stepped by 1, 10 or 100
// round the range, or set bit by bit on the DIP switches a fixture carries. An address outside the
// range shows red and Ok refuses it. The dialog only holds the address: its host reads it when it
// ends with Ok (1); Cancel ends it with 2. It takes every key while open.
class CDialogAddress : public CArea2
{
public:
    static constexpr int32_t kFirstAddress = 1;
    static constexpr int32_t kLastAddress = 512;

    explicit CDialogAddress(CArea2* parent);

    // An address outside 1..512 becomes 1.
    void SetAddress(uint32_t address);
    uint16_t GetAddress() const { return uint16_t(m_address); }
    bool IsValid() const { return m_address >= kFirstAddress && m_address <= kLastAddress; }

protected:
    void OnKeyDown(uint32_t key, bool* handled) override;
    void OnKeyUp(uint32_t key, bool* handled) override;
    void OnKeyRepeat(uint32_t key, bool* handled) override;
    void OnTick(float seconds) override;
    void Layout() override;

private:
    // The plus or minus sign with the size of the step beside it.
    CZevralImage StepIcon(const CZevralImage& sign, int32_t amount) const;
    void OnFieldPress(CAreaEditField* field, uint32_t button, bool* handled);
    // Every control reports here: the steps, the switches, Ok and Cancel.
    void OnChange(const CArea2* sender);
    void TypeDigit(int32_t digit);
    // The address in the field and on the switches, and whether Ok takes it.
    void ShowAddress();
    // The button a key works, or null.
    CAreaButtonSoft* ButtonForKey(uint32_t key) const;

    CAreaCaptionBar* m_caption;
    CAreaButtonSoft* m_ok;
    CAreaButtonSoft* m_cancel;
    CAreaButtonSoft* m_plus1;
    CAreaButtonSoft* m_minus1;
    CAreaButtonSoft* m_plus10;
    CAreaButtonSoft* m_minus10;
    CAreaButtonSoft* m_plus100;
    CAreaButtonSoft* m_minus100;
    CAreaEditField* m_field;
    CAreaDip* m_dip;
    CDigitEntry m_entry{3};
    // Typing and the switches may take it past 512 (up to 2047); it is shown red then.
    int16_t m_address = kFirstAddress;
    CTextInputRequest m_textInput;
};
