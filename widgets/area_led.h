#pragma once

#include "widgets/area.h"

#include <string>

// A status lamp: the skin's green lamp for pure opaque green, its red lamp for pure opaque red,
// and nothing over the background for any other colour (black, the default, included).
class CAreaLed : public CArea2
{
public:
    static const CRgbaColour kGreen;
    static const CRgbaColour kRed;

    // Takes the green lamp's size.
    explicit CAreaLed(CArea2* parent);
    ~CAreaLed() override;

    // The lamp's state. On purpose not the area's virtual colour setter (it hides it, see area.h): a
    // page that re-colours its children must not switch its lamps off.
    void SetColour(const CRgbaColour& colour);
    CRgbaColour GetColour() const { return m_colour; }

protected:
    void Paint(CTextureAdapter& canvas) override;

private:
    std::string m_imageBase;
    CRgbaColour m_colour;
    CZevralImage m_red;
    CZevralImage m_green;
};
