#pragma once

#include "widgets/area_colour_picker.h"

// The colour spectrum: hue from left to right, lightness from white at the top to black at the
// bottom. A pointer beyond an edge keeps the pick on that edge.
class CAreaSpectrum : public CAreaColourPicker
{
public:
    CAreaSpectrum(CArea2* parent, bool live);

protected:
    CRgbaColour ColourAt(const CPoint& point) const override;
    CPoint PickFor(const CPoint& point) const override;
    // The colour's hue and lightness; a grey keeps the pick's column.
    bool PickOf(const CRgbaColour& colour, CPoint& pick) const override;
};
