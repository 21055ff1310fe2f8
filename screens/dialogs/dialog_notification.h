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

    void SetText(const std::string& text, bool translate);
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

    CAreaButtonSoft* m_ok;
    CAreaButtonSoft* m_cancel;
    CAreaCaptionBar* m_caption;
    CAreaLabel* m_message;
    CAreaLabel* m_link;
    std::string m_linkAddress;
    bool m_showCancel = false;
    // One line's height: without a link line the message takes two.
    uint32_t m_lineHeight;
};
