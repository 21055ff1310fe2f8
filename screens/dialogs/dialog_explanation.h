#pragma once

#include "widgets/area.h"

#include <string>

class CAreaButton;
class CAreaButtonSoft;
class CAreaCaptionBar;
class CAreaCheckbox;
class CAreaLabel;

// Shows one first-use hint, word-wrapped, under the title "Hint", with OK and the check box "Don't
// show this message again". It always ends with result 1 (OK, Return or Escape); the host then
// asks whether the box was ticked and, if so, silences the hint. White on the dialog background.
class CDialogExplanation : public CArea2
{
public:
    explicit CDialogExplanation(CArea2* parent);
    ~CDialogExplanation() override;

    void SetText(const std::string& text, bool translate);
    // Never upper-cased.
    void SetCaption(const std::string& text, bool translate);
    bool IsDontShowChecked() const { return m_dontShow; }

protected:
    void OnKeyDown(uint32_t key, bool* handled) override;
    void OnKeyUp(uint32_t key, bool* handled) override;
    void Layout() override;

private:
    void OnButtonClick();
    void OnBoxChange(CAreaCheckbox* box);

    CAreaButtonSoft* m_ok;
    CAreaCheckbox* m_dontShowBox;
    CAreaCaptionBar* m_caption;
    CAreaLabel* m_text;
    bool m_dontShow = false;
};
