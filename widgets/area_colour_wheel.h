#pragma once

#include "widgets/area_colour_picker.h"

// The colour wheel: a disc whose hue runs around the centre and whose lightness falls from white
// at the centre to about half at the rim. A pointer outside the disc keeps the pick on the rim in
// the pointer's direction.
class CAreaColourWheel : public CAreaColourPicker
{
public:
    CAreaColourWheel(CArea2* parent, bool live);

protected:
    // Outside the disc: the background colour.
    CRgbaColour ColourAt(const CPoint& point) const override;
    CPoint PickFor(const CPoint& point) const override;
    // Hue around the centre, lightness toward the rim; colours darker than the rim sit on it. White
    // is the centre; other greys and black are nowhere on the wheel.
    bool PickOf(const CRgbaColour& colour, CPoint& pick) const override;
    // The pick starts again at the centre of the field, or at the colour last given to follow.
    void Layout() override;
};
