#pragma once

#include "widgets/area_button.h"

// The drawn button of the dialogs (Ok, Cancel, choices): a glyph frame tinted in the button's
// colour, a caption wrapped over as many lines as it needs (drawn inverted while the button is
// on), an icon scaled to fit, and a hatch while disabled. It sounds "positive" once per click,
// on the release.
class CAreaButtonSoft : public CAreaButton
{
public:
    explicit CAreaButtonSoft(CArea2* parent);
    ~CAreaButtonSoft() override;

    void SetColour(CRgbaColour colour) override;
    void PlayFeedback() override;

protected:
    void Layout() override;
    void Paint(CTextureAdapter& canvas) override;

private:
    // Off-up, off-down, on-up and on-down.
    CZevralImage m_frames[4];
};
