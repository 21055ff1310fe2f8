#include "screens/dialogs/dialog_explanation.h"

#include "screens/dialogs/dialog_look.h"
#include "widgets/area_button_soft.h"
#include "widgets/area_caption_bar.h"
#include "widgets/area_checkbox.h"
#include "widgets/area_label.h"
#include "widgets/connect.h"

#include <algorithm>

using namespace dialog_look;

CDialogExplanation::CDialogExplanation(CArea2* parent) : CArea2(parent, false, 500 * Scale(), 250 * Scale())
{
    SetName("CDialogExplanation");
    // Set before the children exist, so every one of them takes the colours over.
    SetBackgroundColour(Background());
    SetColour(White());

    m_caption = MakeChild<CAreaCaptionBar>(false);
    m_caption->SetCaption("Hint", true, true);

    m_text = MakeChild<CAreaLabel>(false);
    m_text->SetWrap(true);

    m_ok = MakeChild<CAreaButtonSoft>();
    m_ok->SetCaption("OK", true);
    Connect<&CDialogExplanation::OnButtonClick>(m_ok, &CAreaButton::SetClickCallback, this);

    m_dontShowBox = MakeChild<CAreaCheckbox>();
    m_dontShowBox->SetHorizontalAlignment(kAlignStart);
    Connect<&CDialogExplanation::OnBoxChange>(m_dontShowBox, &CAreaCheckbox::SetChangeCallback, this);
    m_dontShowBox->SetText("Don't show this message again", true);
}

CDialogExplanation::~CDialogExplanation() = default;

void CDialogExplanation::SetText(const std::string& text, bool translate)
{
    m_text->SetText(text, translate);
}

void CDialogExplanation::SetCaption(const std::string& text, bool translate)
{
    m_caption->SetCaption(text, translate, false);
}

void CDialogExplanation::OnButtonClick()
{
    SetResult(kResultOk);
}

void CDialogExplanation::OnBoxChange(CAreaCheckbox* box)
{
    m_dontShow = box->IsChecked();
}

void CDialogExplanation::OnKeyDown(uint32_t key, bool* handled)
{
    if (key != kKeyReturn && key != kKeyEscape)
        return;
    m_ok->Press();
    *handled = true;
}

void CDialogExplanation::OnKeyUp(uint32_t key, bool* handled)
{
    if (key != kKeyReturn && key != kKeyEscape)
        return;
    m_ok->Release();
    *handled = true;
}

void CDialogExplanation::Layout()
{
    const int32_t width = int32_t(GetWidth());
    const int32_t height = int32_t(GetHeight());
    const int32_t gap = int32_t(kGap);
    m_caption->SetHeight(GetHeight());
    PlaceInCorner(*m_ok, *this);

    m_dontShowBox->SetPosition(CPoint(RightOf(*m_caption), height - gap - int32_t(m_dontShowBox->GetHeight())));
    m_dontShowBox->SetWidth(uint32_t(std::max(0, m_ok->GetX() - m_dontShowBox->GetX())));

    m_text->SetPosition(CPoint(m_dontShowBox->GetX(), gap));
    m_text->SetHeight(uint32_t(std::max(0, m_dontShowBox->GetY() - 2 * gap)));
    m_text->SetWidth(uint32_t(std::max(0, width - gap - m_text->GetX())));
}
