#include "screens/dialogs/dialog_notification.h"

#include "screens/dialogs/dialog_look.h"
#include "shell/app.h"
#include "widgets/area_button_soft.h"
#include "widgets/area_caption_bar.h"
#include "widgets/area_label.h"
#include "widgets/connect.h"
#include "widgets/shorten_middle.h"
#include "widgets/word_wrap.h"

#include <algorithm>
#include <cctype>

using namespace dialog_look;

namespace
{
// Where the name stands in the text: the first place where it is not part of a longer word (a
// show "a" is not the a of "damaged"), or else the first place at all.
size_t FindName(const std::string& text, const std::string& name)
{
    if (name.empty())
        return std::string::npos;
    const auto partOfWord = [&](size_t at) {
        return at < text.size() && std::isalnum(static_cast<unsigned char>(text[at]));
    };
    for (size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + 1))
        if ((at == 0 || !partOfWord(at - 1)) && !partOfWord(at + name.size()))
            return at;
    return text.find(name);
}
}  // namespace

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

void CDialogNotification::SetText(const std::string& text, bool translate, const std::string& name)
{
    m_text = translate ? CApp::Translate(text, false) : text;
    m_name = name;
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

std::string CDialogNotification::FitText(int32_t width, size_t most) const
{
    TTF_Font* font = m_message->GetFont();
    const auto fits = [&](const std::string& text) { return WrapWords(text, width, font, true).size() <= most; };
    if (fits(m_text))
        return m_text;
    const size_t at = FindName(m_text, m_name);
    if (at == std::string::npos)
        return ShortenMiddleToFit(m_text, fits);
    // The words before and after the name give way first, each keeping both its ends (so the
    // quotes beside the name) and no more bytes than the other: the longer is shortened, the
    // shorter cut to as many bytes. A name too wide for a line is shortened by the wrap itself.
    const std::string before = m_text.substr(0, at);
    const std::string after = m_text.substr(at + m_name.size());
    const bool afterLonger = after.size() >= before.size();
    const std::string& longer = afterLonger ? after : before;
    const std::string& shorter = afterLonger ? before : after;
    const auto around = [&](const std::string& longerShown, const std::string& name) {
        const std::string shorterShown = ShortenMiddleToFit(
            shorter, [&](const std::string& cut) { return cut.size() <= longerShown.size(); });
        return afterLonger ? shorterShown + name + longerShown : longerShown + name + shorterShown;
    };
    const std::string longerShown =
        ShortenMiddleToFit(longer, [&](const std::string& cut) { return fits(around(cut, m_name)); });
    // The last round: the name itself, where the words around it at their shortest leave it too
    // little room, shortened in its middle too.
    return around(longerShown, ShortenMiddleToFit(m_name, [&](const std::string& cut) {
                      return fits(around(longerShown, cut));
                  }));
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
    // the buttons (and the link line under it), and one longer still is shortened to that room, so
    // no line of it is cut off.
    int32_t textWidth = 0;
    int32_t lineSkip = 0;
    m_message->MeasureText(m_text, textWidth, lineSkip);
    const int32_t bottom = m_ok->GetY() - int32_t(kGap) - (withLink ? int32_t(m_lineHeight) : 0);
    m_message->SetText(FitText(messageWidth, size_t(std::max(1, (bottom - int32_t(kGap)) / std::max(1, lineSkip)))));
    const size_t lines = WrapWords(m_message->GetText(), messageWidth, m_message->GetFont(), true).size();
    // The lines are drawn a line skip apart, which is more than a label's height: counted from
    // the label alone, the last line's descenders (g, p, y) would be cut off.
    const int32_t needed = int32_t(lines) * lineSkip;
    if (needed > messageHeight)
    {
        const int32_t grown = std::min(needed, bottom - int32_t(kGap));
        y = std::max(int32_t(kGap), std::min(y - (grown - messageHeight) / 2, bottom - grown));
        messageHeight = grown;
    }
    m_message->SetHeight(uint32_t(std::max(0, messageHeight)));
    m_message->SetPosition(CPoint(x, y));
    m_message->SetWidth(uint32_t(messageWidth));
    m_link->SetWidth(m_message->GetWidth());
    m_link->SetPosition(CPoint(x, m_message->GetBottom()));
}
