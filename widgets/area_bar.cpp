#include "widgets/area_bar.h"

#include "graphics/texture_adapter.h"

#include <cmath>

namespace
{
const CRgbaColour kShadow(10, 10, 10, 255);
constexpr uint8_t kDimmedAlpha = 127;
// Negative thresholds are met a little early, so a value that only just misses one still lights it.
constexpr float kNegativeTolerance = 0.01f;
}  // namespace

CAreaBar::CAreaBar(CArea2* parent, bool bipolar) : CArea2(parent, true), m_bipolar(bipolar)
{
    SetName("CAreaBar");
    SetBackgroundColour(CRgbaColour(0u));
}

CAreaBar::~CAreaBar() = default;

void CAreaBar::SetValue(float value)
{
    if (value == m_value)
        return;
    m_value = value;
    SetDirty();
}

void CAreaBar::DrawSegment(CBaseImage& canvas, const CRect& rect) const
{
    if (rect.GetWidth() <= 1 || rect.GetHeight() <= 0)
        return;
    CRgbaColour shadow = kShadow;
    CRgbaColour face = GetColour();
    if (m_dimmed)
    {
        shadow.SetAlpha(kDimmedAlpha);
        face.SetAlpha(kDimmedAlpha);
    }
    canvas.FillRect(shadow, CRect(rect.GetX() + 1, rect.GetY(), rect.GetWidth() - 1, rect.GetHeight()));
    canvas.FillRect(face, CRect(rect.GetX(), rect.GetY(), rect.GetWidth() - 1, rect.GetHeight() - 1));
}

void CAreaBar::PaintUnipolar(CBaseImage& canvas) const
{
    const int32_t width = int32_t(GetWidth());
    const int32_t height = int32_t(GetHeight());
    const int32_t n = m_segmentCount;
    const int32_t step = height / (n + 1);
    const int32_t margin = (height % (n + 1)) / 2;
    const int32_t segment = height / 20;
    DrawSegment(canvas, CRect(0, margin + n * step, width - 1 - n, segment));
    for (int32_t i = 1; i <= n; ++i)
        if (float(i) * (1.0f / float(n)) <= m_value)
            DrawSegment(canvas, CRect(0, margin + (n - i) * step, width - n + i - 1, segment));
}

void CAreaBar::PaintBipolar(CBaseImage& canvas) const
{
    const int32_t width = int32_t(GetWidth());
    const int32_t height = int32_t(GetHeight());
    const int32_t n = m_segmentCount;
    const int32_t half = n / 2;
    const int32_t step = height / (n + 1);
    const int32_t margin = (height % (n + 1)) / 2;
    const int32_t segment = height / 20;
    const int32_t mid = margin + half * step;
    DrawSegment(canvas, CRect(half + 1, mid, width - (half + 1), segment));
    for (int32_t j = 1; j <= half; ++j)
    {
        const int32_t x = half - (j - 1);
        if (m_value > 0.0f)
        {
            if (float(j) * (1.0f / float(half)) <= m_value)
                DrawSegment(canvas, CRect(x, mid - j * step, width - x, segment));
        }
        else
        {
            const float threshold = float(j) * (-1.0f / float(half));
            if (m_value < threshold || std::fabs(m_value - threshold) < kNegativeTolerance)
                DrawSegment(canvas, CRect(x, mid + j * step, width - x, segment));
        }
    }
}

void CAreaBar::Paint(CTextureAdapter& canvas)
{
    if (m_bipolar)
        PaintBipolar(canvas);
    else
        PaintUnipolar(canvas);
}
