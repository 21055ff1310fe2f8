#pragma once

#include "foundation/time.h"
#include "shell/text_input_request.h"
#include "widgets/area.h"

#include <string>

class CAreaButton;
class CAreaButtonSoft;
class CAreaCaptionBar;
class CAreaEditField;
class CAreaLabel;

// The dialog in which the operator types a duration (a cue's delay or fade) in the short text form
// of a time ("2.50s", "1m05s"). The text is read back as a time when the dialog ends with Ok; Ok
// waits for a text that reads whole as a duration, and a line under the entry says why one does
// not. Return works Ok, Escape Cancel.
class CDialogDuration : public CArea2
{
public:
    explicit CDialogDuration(CArea2* parent);

    void SetDuration(const CTime& duration);
    CTime GetDuration() const;
    // Translated and upper-cased.
    void SetCaption(const std::string& text);

    // The "None" line stays hidden whatever the dialog's visibility.
    void SetVisible(bool visible) override;

protected:
    void OnKeyDown(uint32_t key, bool* handled) override;
    void OnKeyUp(uint32_t key, bool* handled) override;
    void Layout() override;

private:
    void OnButtonClick(CAreaButton* button);
    void UpdateControls();

    CAreaButtonSoft* m_ok;
    CAreaButtonSoft* m_cancel;
    CAreaButtonSoft* m_clear;
    CAreaEditField* m_entry;
    CAreaLabel* m_none;
    CAreaCaptionBar* m_caption;
    CTextInputRequest m_textInput;
};
