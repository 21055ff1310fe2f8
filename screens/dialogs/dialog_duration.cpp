#include "screens/dialogs/dialog_duration.h"

#include "screens/dialogs/dialog_look.h"
#include "widgets/area_button_soft.h"
#include "widgets/area_caption_bar.h"
#include "widgets/area_edit_field.h"
#include "widgets/area_label.h"
#include "widgets/connect.h"

using namespace dialog_look;

namespace
{
const char* const kNotATime = "Not a time. Use 90s, 1m30s, 1h30m, 2.5 or 1:30 (h:min)";

// The line under the entry for a text that is not taken: why, in words an operator can act on.
const char* Explanation(CTime::EEntry reading)
{
    switch (reading)
    {
    case CTime::EEntry::kNegative:
        return "A duration cannot be negative";
    case CTime::EEntry::kMinutesOver59:
        return "Minutes go up to 59";
    case CTime::EEntry::kSecondsOver59:
        return "Seconds go up to 59";
    case CTime::EEntry::kNoNumber:
        return "A number goes before each time unit: 2h, 1h30m, 90s";
    case CTime::EEntry::kTooLong:
        return "A duration can be at most 1193h02m47s";
    default:
        return kNotATime;
    }
}
}  // namespace

CDialogDuration::CDialogDuration(CArea2* parent) : CArea2(parent, false, 400 * Scale(), 250 * Scale())
{
    SetName("CDialogDuration");
    SetBackgroundColour(Background());

    m_caption = MakeChild<CAreaCaptionBar>(false);
    m_caption->SetCaption("Edit Duration", true, true);

    m_entry = MakeChild<CAreaEditField>();
    m_entry->SetFocus(true);
    m_entry->SetEditable(true);
    Connect<&CDialogDuration::UpdateControls>(m_entry, &CAreaEditField::SetPressCallback, this);
    Connect<&CDialogDuration::UpdateControls>(m_entry, &CAreaEditField::SetChangeCallback, this);

    m_none = MakeChild<CAreaLabel>(false);
    m_none->SetText(kNotATime, true);
    m_none->SetHorizontalAlignment(kAlignStart);
    m_none->SetTextColour(Red());

    m_ok = MakeChild<CAreaButtonSoft>();
    m_ok->SetCaption("Ok", true);
    Connect<&CDialogDuration::OnButtonClick>(m_ok, &CAreaButton::SetClickCallback, this);

    m_cancel = MakeChild<CAreaButtonSoft>();
    m_cancel->SetCaption("Cancel", true);
    Connect<&CDialogDuration::OnButtonClick>(m_cancel, &CAreaButton::SetClickCallback, this);

    m_clear = MakeChild<CAreaButtonSoft>();
    m_clear->SetCaption("X", true);
    Connect<&CDialogDuration::OnButtonClick>(m_clear, &CAreaButton::SetClickCallback, this);

    UpdateControls();
}

void CDialogDuration::SetDuration(const CTime& duration)
{
    m_entry->SetText(duration.ToShortString(), false);
    UpdateControls();
}

CTime CDialogDuration::GetDuration() const
{
    CTime duration;
    duration.ParseEntry(m_entry->GetText());
    return duration;
}

void CDialogDuration::SetCaption(const std::string& text)
{
    m_caption->SetCaption(text, true, true);
}

void CDialogDuration::SetVisible(bool visible)
{
    CArea2::SetVisible(visible);
    UpdateControls();
}

void CDialogDuration::OnButtonClick(CAreaButton* button)
{
    if (button == m_ok)
        SetResult(kResultOk);
    else if (button == m_cancel)
        SetResult(kResultCancel);
    else if (button == m_clear)
        m_entry->SetText("", false);
}

void CDialogDuration::UpdateControls()
{
    // A text that does not read as a duration all through ("fast", "1m 30s", "-5", "1:75", "h30",
    // a slip of the finger) would reach the cues as 0 s, as the part that reads or as a guess, a
    // snap where a fade was meant, and one longer than the controller's millisecond count would
    // arrive there wrapped: Ok waits for one that reads, and the line under the entry says why.
    // An empty field is no time.
    const std::string text = m_entry->GetText();
    CTime duration;
    const CTime::EEntry reading = text.empty() ? CTime::EEntry::kTime : duration.ParseEntry(text);
    const bool readable = reading == CTime::EEntry::kTime;
    if (!readable)
        m_none->SetText(Explanation(reading), true);
    m_none->SetVisible(!readable && IsVisible());
    m_ok->SetEnabled(readable);
    m_clear->SetEnabled(!text.empty());
}

void CDialogDuration::OnKeyDown(uint32_t key, bool* handled)
{
    if (PressForKey(key, *m_ok, *m_cancel))
        *handled = true;
}

void CDialogDuration::OnKeyUp(uint32_t key, bool* handled)
{
    if (ReleaseForKey(key, *m_ok, *m_cancel))
        *handled = true;
}

void CDialogDuration::Layout()
{
    LayoutTextEntry(*this, *m_caption, *m_ok, *m_cancel, *m_entry, *m_clear, *m_none);
    // The explanation needs the whole width under the entry, not the corner beside the buttons.
    const int32_t top = m_entry->GetY() + int32_t(m_entry->GetHeight()) + 4;
    m_none->SetRect(CRect(m_entry->GetX(), top, int32_t(GetWidth()) - 4 - m_entry->GetX(),
                          std::max<int32_t>(0, std::min<int32_t>(int32_t(m_none->GetHeight()), m_ok->GetY() - 4 - top))));
}
