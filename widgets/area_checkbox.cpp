#include "widgets/area_checkbox.h"

#include "graphics/glyph_manager.h"
#include "graphics/texture_adapter.h"
#include "shell/app.h"
#include "widgets/area_label.h"
#include "widgets/click_sound.h"

#include <algorithm>

namespace
{
constexpr uint32_t kWidth = 200;
constexpr uint32_t kHeight = 40;
constexpr uint32_t kBoxSize = 40;
// Between the box and its caption.
constexpr int32_t kGap = 5;
// The cross keeps this far inside the box.
constexpr uint32_t kCrossInset = 5;
}  // namespace

CAreaCheckbox::CAreaCheckbox(CArea2* parent)
    : CArea2(parent, false, kWidth, CApp::IsHighResolution() ? 2 * kHeight : kHeight),
      m_caption(MakeChild<CAreaLabel>(false)),
      m_boxSize(CApp::IsHighResolution() ? 2 * kBoxSize : kBoxSize)
{
    SetName("CAreaCheckbox");
    m_caption->SetHorizontalAlignment(kAlignStart);
}

CAreaCheckbox::~CAreaCheckbox() = default;

void CAreaCheckbox::SetChecked(bool checked)
{
    SetState(checked ? 1 : 0);
}

void CAreaCheckbox::SetState(uint32_t state)
{
    if (state == m_state)
        return;
    m_state = state;
    SetDirty();
}

void CAreaCheckbox::SetText(const std::string& text, bool translate)
{
    m_caption->SetText(text, translate);
}

std::string CAreaCheckbox::GetText() const
{
    return m_caption->GetText();
}

void CAreaCheckbox::SetHorizontalAlignment(uint32_t alignment)
{
    if (alignment == m_alignment)
        return;
    m_alignment = alignment;
    m_caption->SetHorizontalAlignment(alignment);
    SetDirty();
}

void CAreaCheckbox::SetBoxSize(uint32_t size)
{
    m_boxSize = size;
    SetDirty();
}

void CAreaCheckbox::Press()
{
    bool handled = false;
    OnPointerDown(CPoint(0, 0), 1, &handled);
}

void CAreaCheckbox::Release()
{
    bool handled = false;
    OnPointerUp(CPoint(0, 0), &handled);
}

void CAreaCheckbox::OnPointerDown(const CPoint&, uint32_t, bool* handled)
{
    if (IsEnabled())
    {
        PlayClickSound("positive");
        m_state = m_state == 0 ? 1 : 0;
        SetDirty();
        m_change(this);
    }
    // A disabled box still takes the press, so nothing under it sees it.
    if (handled)
        *handled = true;
}

void CAreaCheckbox::Layout()
{
    const CRect local = GetLocalRect();
    m_box = local;
    if (local.GetHeight() > int32_t(m_boxSize))
    {
        m_box.SetHeight(int32_t(m_boxSize));
        m_box.SetY(local.GetY() + (local.GetHeight() - m_box.GetHeight()) / 2);
    }
    m_box.FitAspect(1.0f, false);
    if (m_alignment == 0)
    {
        m_box.SetX(local.GetX());
        m_caption->SetRect(local);
        const int32_t x = m_box.GetX() + m_box.GetWidth() + kGap;
        m_caption->SetPosition(CPoint(x, 0));
        m_caption->SetWidth(uint32_t(std::max(0, local.GetWidth() - x)));
    }
    else
    {
        m_box.SetX(int32_t(GetWidth()) - m_box.GetWidth());
        m_caption->SetRect(local);
        m_caption->SetWidth(uint32_t(std::max(0, m_box.GetX() - kGap)));
    }
    CGlyphManager::Instance().GetButtonFrame(m_frame, uint32_t(m_box.GetWidth()), uint32_t(m_box.GetHeight()), false,
                                             false);
    m_frame.Fill(GetColour(), true);
}

void CAreaCheckbox::Paint(CTextureAdapter& canvas)
{
    // Unchecked, the cross is drawn in the background colour: it wipes out a cross drawn before.
    const CRgbaColour cross = m_state != 0 ? GetTextColour() : GetBackgroundColour();
    canvas.BlendImage(m_box.GetPosition(), m_frame);
    CRect r = m_box;
    r.Shrink(kCrossInset);
    const int32_t right = r.GetX() + r.GetWidth();
    const int32_t bottom = r.GetY() + r.GetHeight();
    canvas.DrawLine(r.GetX() + 3, r.GetY() + 3, right - 3, bottom - 3, cross);
    canvas.DrawLine(r.GetX() + 2, r.GetY() + 3, right - 4, bottom - 3, cross);
    canvas.DrawLine(r.GetX() + 2, bottom - 3, right - 4, r.GetY() + 3, cross);
    canvas.DrawLine(r.GetX() + 3, bottom - 3, right - 3, r.GetY() + 3, cross);
}
