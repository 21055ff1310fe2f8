#include "widgets/area_spectrum.h"

#include <algorithm>

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
