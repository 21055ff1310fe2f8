#include "screens/dialogs/dialog_string.h"

#include "foundation/key_text.h"
#include "screens/dialogs/dialog_look.h"
#include "widgets/area_button_soft.h"
#include "widgets/area_caption_bar.h"
#include "widgets/area_edit_field.h"
#include "widgets/area_label.h"
#include "widgets/connect.h"

using namespace dialog_look;

const char* const CDialogString::kDefaultRejected = "\\\"?*/:<>|";

CDialogString::CDialogString(CArea2* parent)
    : CArea2(parent, false, 400 * Scale(), 250 * Scale()), m_rejected(kDefaultRejected)
{
    SetName("CDialogString");
    SetBackgroundColour(Background());

    m_caption = MakeChild<CAreaCaptionBar>(false);
    m_caption->SetCaption("Edit String", true, true);

    m_entry = MakeChild<CAreaEditField>();
    m_entry->SetFocus(true);
    m_entry->SetEditable(true);
    Connect<&CDialogString::Validate>(m_entry, &CAreaEditField::SetPressCallback, this);
    Connect<&CDialogString::Validate>(m_entry, &CAreaEditField::SetChangeCallback, this);

    m_ok = MakeChild<CAreaButtonSoft>();
    m_ok->SetCaption("Ok", true);
    Connect<&CDialogString::OnButtonClick>(m_ok, &CAreaButton::SetClickCallback, this);

    m_message = MakeChild<CAreaLabel>(false);
    m_message->SetHorizontalAlignment(kAlignStart);
    m_message->SetTextColour(Red());

    m_cancel = MakeChild<CAreaButtonSoft>();
    m_cancel->SetCaption("Cancel", true);
    Connect<&CDialogString::OnButtonClick>(m_cancel, &CAreaButton::SetClickCallback, this);

    m_clear = MakeChild<CAreaButtonSoft>();
    m_clear->SetCaption("X", true);
    Connect<&CDialogString::OnButtonClick>(m_clear, &CAreaButton::SetClickCallback, this);

    Validate();
}

std::string CDialogString::GetText() const
{
    return m_entry->GetText();
}

void CDialogString::SetText(const std::string& text)
{
    m_entry->SetText(text, false);
    Validate();
}

void CDialogString::SetRejectedCharacters(const std::string& characters)
{
    m_rejected = characters;
    Validate();
}

void CDialogString::SetCaption(const std::string& text)
{
    m_caption->SetCaption(text, true, true);
}

void CDialogString::OnButtonClick(CAreaButton* button)
{
    if (button == m_ok)
    {
        // Ok may have been held down while the text became unacceptable: its release must not
        // hand such a text on.
        Validate();
        if (m_acceptable)
            SetResult(kResultOk);
    }
    else if (button == m_cancel)
    {
        SetResult(kResultCancel);
    }
    else if (button == m_clear)
    {
        m_entry->SetText("", false);
        Validate();
    }
}

void CDialogString::Validate()
{
    const std::string text = m_entry->GetText();
    // The characters are checked first: a long text with a rejected character is refused for it.
    m_acceptable = false;
    if (text.find_first_of(m_rejected) != std::string::npos)
        m_message->SetText("Invalid character(s)", true);
    else if (text.size() > kMaxLength)
        m_message->SetText("Label too long", true);
    else
        m_acceptable = true;
    // The message shows with the dialog only; showing the dialog checks the text again.
    m_message->SetVisible(!m_acceptable && IsVisible());
    m_clear->SetEnabled(!text.empty());
    m_ok->SetEnabled(m_acceptable);
}

void CDialogString::OnKeyDown(uint32_t key, bool* handled)
{
    if (PressForKey(key, *m_ok, *m_cancel))
        *handled = true;
}

void CDialogString::OnKeyUp(uint32_t key, bool* handled)
{
    // Printable keys and Backspace were typed into the entry: they are taken here too.
    std::string scratch;
    ApplyKeyToText(int32_t(key), scratch, handled);
    if (ReleaseForKey(key, *m_ok, *m_cancel))
        *handled = true;
}

void CDialogString::Layout()
{
    LayoutTextEntry(*this, *m_caption, *m_ok, *m_cancel, *m_entry, *m_clear, *m_message);
}

void CDialogString::OnVisibleChanged()
{
    Validate();
}
