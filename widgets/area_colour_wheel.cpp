#include "widgets/area_colour_wheel.h"

#include <algorithm>
#include <cmath>

namespace
{
const double kTurn = 2.0 * M_PI;
const CRgbaColour kWhite(255, 255, 255, 255);

// The direction of d as an angle 0..2 pi, and the point of the rim of radius r in that direction
// (truncated). d must not be (0, 0).
double Angle(const CPoint& d)
{
    const double length = std::hypot(double(d.GetX()), double(d.GetY()));
    const double a = std::acos(std::clamp(double(d.GetX()) / length, -1.0, 1.0));
    return d.GetY() < 0 ? kTurn - a : a;
}

CPoint Rim(double angle, int32_t radius)
{
    return CPoint(int32_t(std::cos(angle) * radius), int32_t(std::sin(angle) * radius));
}

// Beyond the rim point e on d's side of the centre.
bool IsOutside(const CPoint& d, const CPoint& e)
{
    if (d.GetX() > 0)
        return d.GetX() > e.GetX();
    if (d.GetX() < 0)
        return d.GetX() < e.GetX();
    return d.GetY() > 0 ? d.GetY() > e.GetY() : d.GetY() < e.GetY();
}
}  // namespace

CAreaColourWheel::CAreaColourWheel(CArea2* parent, bool live) : CAreaColourPicker(parent, live)
{
    SetName("CAreaColourWheel");
}

CRgbaColour CAreaColourWheel::ColourAt(const CPoint& point) const
{
    const CPoint centre = GetField().GetCentre();
    const int32_t radius = std::min(centre.GetX(), centre.GetY());
    const CPoint d = centre - point;
    if (d == CPoint())
        return kWhite;
    const double angle = Angle(d);
    if (IsOutside(d, Rim(angle, radius)))
        return GetBackgroundColour();
    const double distance = std::hypot(double(d.GetX()), double(d.GetY()));
    CRgbaColour colour;
    colour.SetHsl(angle / kTurn, 1.0, distance / (radius * -1.9) + 1.0);
    return colour;
}

CPoint CAreaColourWheel::PickFor(const CPoint& point) const
{
    const CPoint centre = GetField().GetCentre();
    const int32_t radius = std::min(centre.GetX(), centre.GetY());
    CPoint d = point - CPoint(kFieldInset, kFieldInset) - centre;
    // The exact centre has no direction, and needs none.
    if (d == CPoint())
        return centre;
    const CPoint rim = Rim(Angle(d), radius);
    if (IsOutside(d, rim))
        d = rim;
    return d + centre;
}

bool CAreaColourWheel::PickOf(const CRgbaColour& colour, CPoint& pick) const
{
    const CPoint centre = GetField().GetCentre();
    const int32_t radius = std::min(centre.GetX(), centre.GetY());
    float hue = 0.0f;
    float saturation = 0.0f;
    float lightness = 0.0f;
    colour.ToHsl(hue, saturation, lightness);
    if (lightness >= 1.0f)
    {
        pick = centre;
        return true;
    }
    if (saturation <= 0.0f)
        return false;
    // The inverse of the lightness rule of ColourAt, kept inside the disc.
    const double distance = std::min(double(radius - 1), (1.0 - double(lightness)) * 1.9 * radius);
    const double angle = double(hue) * kTurn;
    const CPoint d(int32_t(std::lround(std::cos(angle) * distance)), int32_t(std::lround(std::sin(angle) * distance)));
    pick = centre - d;
    return true;
}

void CAreaColourWheel::Layout()
{
    CAreaColourPicker::Layout();
    SetPick(GetField().GetCentre());
    FollowPickedColour();
}
