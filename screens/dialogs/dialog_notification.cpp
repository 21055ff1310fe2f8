#include "screens/dialogs/dialog_notification.h"

#include "screens/dialogs/dialog_look.h"
#include "shell/app.h"
#include "widgets/area_button_soft.h"
#include "widgets/area_caption_bar.h"
#include "widgets/area_label.h"
#include "widgets/connect.h"
#include "widgets/word_wrap.h"

#include <algorithm>

using namespace dialog_look;

CDialogNotification::CDialogNotification(CArea2* parent) : CArea2(parent, false, 400 * Scale(), 200 * Scale())
{
    SetName("CDialogNotification");
    // Set before the children exist, so every one of them takes the tint over.
    SetBackgroundColour(Background());
    SetColour(Yellow());

    m_caption = MakeChild<CAreaCaptionBar>(false);
    m_caption->SetCaption("Warning", true, true);

    m_message = MakeChild<CAreaLabel>(false);
    m_message->SetWrap(true);
    m_lineHeight = m_message->GetHeight();

    m_link = MakeChild<CAreaLabel>(false);

    m_ok = MakeChild<CAreaButtonSoft>();
    m_ok->SetCaption("OK", true);
    Connect<&CDialogNotification::OnButtonClick>(m_ok, &CAreaButton::SetClickCallback, this);

    m_cancel = AddChild(std::make_unique<CAreaButtonSoft>(this), true);
    m_cancel->SetCaption("Cancel", true);
    Connect<&CDialogNotification::OnButtonClick>(m_cancel, &CAreaButton::SetClickCallback, this);
}

CDialogNotification::~CDialogNotification() = default;

void CDialogNotification::SetText(const std::string& text, bool translate)
{
    m_message->SetText(text, translate);
    // A message of more lines than the usual room takes more of the dialog.
    Refresh(false);
}

void CDialogNotification::SetLinkText(const std::string& text, bool translate)
{
    const bool hadText = !m_link->GetText().empty();
    m_link->SetText(text, translate);
    // The message moves up to make room for the line, or takes its room back.
    if (hadText != !m_link->GetText().empty())
        Refresh(false);
}

void CDialogNotification::SetCaption(const std::string& text, bool translate)
{
    m_caption->SetCaption(text, translate, false);
}

void CDialogNotification::SetShowCancel(bool show)
{
    m_showCancel = show;
    SetVisible(IsVisible());
    Refresh(false);
}

void CDialogNotification::SetLinkAddress(const std::string& address)
{
    m_linkAddress = address;
    m_link->SetHighlight(!address.empty());
}

void CDialogNotification::SetVisible(bool visible)
{
    CArea2::SetVisible(visible);
    m_cancel->SetVisible(visible && m_showCancel);
}

void CDialogNotification::OnButtonClick(CAreaButton* button)
{
    SetResult(button == m_ok ? kResultOk : kResultCancel);
}

void CDialogNotification::OnPointerDown(const CPoint& point, uint32_t, bool* handled)
{
    if (!m_link->Contains(point) || m_linkAddress.empty())
        return;
    CApp::OpenUrl(m_linkAddress);
    *handled = true;
}

void CDialogNotification::OnKeyDown(uint32_t key, bool* handled)
{
    if (PressForKey(key, *m_ok, *m_cancel))
        *handled = true;
}

void CDialogNotification::OnKeyUp(uint32_t key, bool* handled)
{
    if (ReleaseForKey(key, *m_ok, *m_cancel))
        *handled = true;
}

void CDialogNotification::Layout()
{
    const int32_t width = int32_t(GetWidth());
    const int32_t height = int32_t(GetHeight());
    m_caption->SetHeight(GetHeight());
    PlaceInCorner(*m_cancel, *this);
    if (m_showCancel)
        PlaceLeftOf(*m_ok, *m_cancel);
    else
        m_ok->SetPosition(m_cancel->GetPosition());

    const int32_t x = RightOf(*m_caption);
    const int32_t messageWidth = std::max(0, width - int32_t(kGap) - x);
    // Laid out again and again, the message must not grow each time: its two lines are counted
    // from one line's height.
    const bool withLink = !m_link->GetText().empty();
    int32_t messageHeight = int32_t(withLink ? m_lineHeight : 2 * m_lineHeight);
    int32_t y = withLink ? height / 2 - int32_t(m_lineHeight) : height / 2 - int32_t(m_lineHeight) / 2;
    // A longer message (a file's error, say) grows about its place, between the dialog's top and
    // the buttons (and the link line under it), so no line of it is cut off.
    const size_t lines = WrapWords(m_message->GetText(), messageWidth, m_message->GetFont()).size();
    if (lines > (withLink ? 1u : 2u))
    {
        int32_t textWidth = 0;
        int32_t lineSkip = 0;
        m_message->MeasureText(m_message->GetText(), textWidth, lineSkip);
        const int32_t bottom = m_ok->GetY() - int32_t(kGap) - (withLink ? int32_t(m_lineHeight) : 0);
        const int32_t grown = std::min(int32_t(lines) * lineSkip, bottom - int32_t(kGap));
        y = std::max(int32_t(kGap), std::min(y - (grown - messageHeight) / 2, bottom - grown));
        messageHeight = grown;
    }
    m_message->SetHeight(uint32_t(std::max(0, messageHeight)));
    m_message->SetPosition(CPoint(x, y));
    m_message->SetWidth(uint32_t(messageWidth));
    m_link->SetWidth(m_message->GetWidth());
    m_link->SetPosition(CPoint(x, m_message->GetBottom()));
}
