#include "widgets/area_spectrum.h"

#include <algorithm>
#include <cmath>

CAreaSpectrum::CAreaSpectrum(CArea2* parent, bool live) : CAreaColourPicker(parent, live)
{
    SetName("CAreaSpectrum");
}

CRgbaColour CAreaSpectrum::ColourAt(const CPoint& point) const
{
    const int32_t width = GetField().GetWidth();
    const int32_t height = GetField().GetHeight();
    // The pick may lie on the far edges, one past the field's last pixel.
    const int32_t x = std::min(point.GetX(), width);
    const int32_t y = std::min(point.GetY(), height);
    CRgbaColour colour;
    const double hue = width > 0 ? double(x) / width : 0.0;
    const double lightness = height > 0 ? double(height - y) / height : 1.0;
    colour.SetHsl(hue, 1.0, lightness);
    return colour;
}

CPoint CAreaSpectrum::PickFor(const CPoint& point) const
{
    const int32_t x = std::max(point.GetX(), kFieldInset) - kFieldInset;
    const int32_t y = std::max(point.GetY(), kFieldInset) - kFieldInset;
    return CPoint(std::min(x, GetField().GetWidth()), std::min(y, GetField().GetHeight()));
}

bool CAreaSpectrum::PickOf(const CRgbaColour& colour, CPoint& pick) const
{
    const int32_t width = GetField().GetWidth();
    const int32_t height = GetField().GetHeight();
    float hue = 0.0f;
    float saturation = 0.0f;
    float lightness = 0.0f;
    colour.ToHsl(hue, saturation, lightness);
    const int32_t x = saturation > 0.0f ? int32_t(std::lround(double(hue) * width)) : GetPick().GetX();
    const int32_t y = int32_t(std::lround(double(height) * (1.0 - double(lightness))));
    pick = CPoint(std::clamp(x, 0, width), std::clamp(y, 0, height));
    return true;
}
