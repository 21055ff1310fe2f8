#include "screens/dialogs/dialog_confirmation.h"

#include "screens/dialogs/dialog_look.h"
#include "widgets/area_button_soft.h"
#include "widgets/area_caption_bar.h"
#include "widgets/area_label.h"
#include "widgets/connect.h"

#include <algorithm>

using namespace dialog_look;

CDialogConfirmation::CDialogConfirmation(CArea2* parent) : CArea2(parent, false, 400 * Scale(), 200 * Scale())
{
    SetName("CDialogConfirmation");
    // Set before the children exist, so every one of them takes the tint over.
    SetBackgroundColour(Background());
    SetColour(Yellow());

    m_caption = MakeChild<CAreaCaptionBar>(false);
    m_caption->SetCaption("Are you sure?", true, true);

    m_question = MakeChild<CAreaLabel>(false);
    m_second = MakeChild<CAreaLabel>(false);

    m_ok = MakeChild<CAreaButtonSoft>();
    m_ok->SetCaption("Ok", true);
    Connect<&CDialogConfirmation::OnButtonClick>(m_ok, &CAreaButton::SetClickCallback, this);

    m_cancel = MakeChild<CAreaButtonSoft>();
    m_cancel->SetCaption("Cancel", true);
    Connect<&CDialogConfirmation::OnButtonClick>(m_cancel, &CAreaButton::SetClickCallback, this);
}

CDialogConfirmation::~CDialogConfirmation() = default;

void CDialogConfirmation::SetText(const std::string& text, bool translate)
{
    m_question->SetText(text, translate);
}

void CDialogConfirmation::OnButtonClick(CAreaButton* button)
{
    SetResult(button == m_ok ? kResultOk : kResultCancel);
}

void CDialogConfirmation::OnKeyDown(uint32_t key, bool* handled)
{
    if (PressForKey(key, *m_ok, *m_cancel))
        *handled = true;
}

void CDialogConfirmation::OnKeyUp(uint32_t key, bool* handled)
{
    if (ReleaseForKey(key, *m_ok, *m_cancel))
        *handled = true;
}

void CDialogConfirmation::Layout()
{
    const int32_t width = int32_t(GetWidth());
    const int32_t height = int32_t(GetHeight());
    m_caption->SetHeight(GetHeight());
    PlaceOkAndCancel(*m_ok, *m_cancel, *this);

    const int32_t x = RightOf(*m_caption);
    m_question->SetPosition(CPoint(x, height / 2 - int32_t(m_question->GetHeight()) / 2));
    m_question->SetWidth(uint32_t(std::max(0, width - int32_t(kGap) - x)));
    m_second->SetWidth(m_question->GetWidth());
    m_second->SetPosition(CPoint(x, m_question->GetBottom() + int32_t(kGap)));
}
