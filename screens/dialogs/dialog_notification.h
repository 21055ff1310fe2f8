#pragma once

#include "widgets/area.h"

#include <string>

class CAreaButton;
class CAreaButtonSoft;
class CAreaCaptionBar;
class CAreaLabel;

// Tells the operator something ("No hardware connected.") under the title "Warning": a wrapped
// message, an optional second line that opens a web address when pressed, OK and an optional
// Cancel. OK (or Return) ends it with result 1; Cancel, and Escape even while Cancel is hidden,
// with 2. The dialog and all its controls are tinted yellow.
class CDialogNotification : public CArea2
{
public:
    explicit CDialogNotification(CArea2* parent);
    ~CDialogNotification() override;

    // A text longer than the dialog holds is shortened to it; the name, where given (the show's),
    // stays on screen however long the text, the words around it giving way first.
    void SetText(const std::string& text, bool translate, const std::string& name = std::string());
    void SetLinkText(const std::string& text, bool translate);
    // Never upper-cased.
    void SetCaption(const std::string& text, bool translate);
    void SetShowCancel(bool show);
    // The second line shows as a link while an address is set.
    void SetLinkAddress(const std::string& address);

    // Cancel shows only while asked for.
    void SetVisible(bool visible) override;

protected:
    void OnPointerDown(const CPoint& point, uint32_t button, bool* handled) override;
    void OnKeyDown(uint32_t key, bool* handled) override;
    void OnKeyUp(uint32_t key, bool* handled) override;
    void Layout() override;

private:
    void OnButtonClick(CAreaButton* button);
    // The text, shortened where it wraps into more lines of the width than most. However long the
    // text (a phrase of a user's language file may be some 256 KB), this costs one wrap of it
    // whole and a few dozen of at most 8 KB of it: a message of 250 KB is laid out in some 50 ms.
    std::string FitText(int32_t width, size_t most) const;

    CAreaButtonSoft* m_ok;
    CAreaButtonSoft* m_cancel;
    CAreaCaptionBar* m_caption;
    CAreaLabel* m_message;
    CAreaLabel* m_link;
    std::string m_text;
    std::string m_name;
    std::string m_linkAddress;
    bool m_showCancel = false;
    // One line's height: without a link line the message takes two.
    uint32_t m_lineHeight;
};
