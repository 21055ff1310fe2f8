#include "widgets/area_rotary.h"

#include "foundation/vector3.h"
#include "graphics/skin_manager.h"
#include "graphics/texture_adapter.h"
#include "shell/app.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr uint32_t kSkinSize = 32;
// The knob picture's bottom rows (its "-" and "+" legends' margin) lie outside the widget.
constexpr int32_t kHiddenRows = 20;
// The indent ring sits this far inside the knob body.
constexpr int32_t kIndentInset = 5;
constexpr int32_t kLargeIndentInset = 10;
constexpr uint32_t kFirstButton = 1;

const CZevralImage* FindSkinImage(const std::string& name)
{
    static const CZevralImage empty;
    const CZevralImage* image = &empty;
    CSkinManager::Instance().GetImagePointer(image, CSkinManager::GetSkinFileName(name), kSkinSize);
    return image;
}
}

CAreaRotary::CAreaRotary(CArea2* parent)
    : CArea2(parent, true, 100, 100), m_knob(FindSkinImage("rotary_knob")), m_indents(FindSkinImage("rotary_indents"))
{
    SetName("CAreaRotary");
    SetSize(uint32_t(m_knob->GetWidth()), uint32_t(std::max(m_knob->GetHeight() - kHiddenRows, 0)));
}

void CAreaRotary::SetValue(float value)
{
    if (std::isnan(value))
        return;
    value = std::max(-1.0f, std::min(value, 1.0f));
    // Single precision on purpose: 0.35 rounds up to 0.4 here.
    value = std::floor(value / kStep + 0.5f) * kStep;
    if (value == m_value)
        return;
    m_value = value;
    m_change(this, m_value);
    SetDirty();
}

float CAreaRotary::GetRotation() const
{
    return m_value / 3.0f + (m_value < 0.0f ? 1.0f : 0.0f);
}

void CAreaRotary::OnPointerDown(const CPoint&, uint32_t button, bool* handled)
{
    if (button == kFirstButton)
        m_dragging = true;
    else
        SetValue(0.0f);
    *handled = true;
}

void CAreaRotary::OnPointerMove(const CPoint& point)
{
    if (!m_dragging)
        return;
    const CVector3 centre(CPoint(int32_t(GetWidth() / 2), int32_t(GetHeight() / 2)));
    CVector3 direction = CVector3(point) - centre;
    // The pointer on the centre itself points nowhere: the knob stays where it is.
    if (direction.LengthSquared() == 0.0f)
        return;
    direction.Normalise();
    // Screen rows grow downwards; up is positive here.
    direction.SetY(-direction.GetY());
    float degrees = std::min(CVector3::AngleTo(CVector3(0.0f, 1.0f, 0.0f), direction), kMaxDegrees);
    if (direction.GetX() < 0.0f)
        degrees = -degrees;
    SetValue(degrees / kMaxDegrees);
}

void CAreaRotary::OnPointerUp(const CPoint&, bool* handled)
{
    m_dragging = false;
    *handled = true;
}

void CAreaRotary::OnWheel(const CPoint&, int32_t amount, bool* handled)
{
    SetValue(m_value + float(amount) * kStep);
    *handled = true;
}

void CAreaRotary::Paint(CTextureAdapter& canvas)
{
    CZevralImage indents(*m_indents);
    indents.Rotate(GetRotation());
    const int32_t inset = CApp::IsHighResolution() ? kLargeIndentInset : kIndentInset;
    canvas.BlendImage(CPoint(0, 0), *m_knob);
    canvas.BlendImage(CPoint(inset, inset), indents);
}
