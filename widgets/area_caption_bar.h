#pragma once

#include "widgets/area.h"

#include <string>

// The vertical title strip along a dialog's edge: a frame tinted in the dialog's main colour with
// the caption cut out of it in the dialog's background colour, reading from bottom to top and
// shortened in the middle when it is too long for the strip. Its text colour always follows the
// background colour.
class CAreaCaptionBar : public CArea2
{
public:
    // With rightSide false the frame's shaped corners lie along the left side (every dialog).
    CAreaCaptionBar(CArea2* parent, bool rightSide);
    ~CAreaCaptionBar() override;

    // Translated (upper-cased by the phrase lookup when asked), or upper-cased here for ASCII
    // letters only, or as it stands.
    void SetCaption(const std::string& text, bool translate, bool upperCase);
    const std::string& GetCaption() const { return m_caption; }

    // Re-tints the frame.
    void SetColour(CRgbaColour colour) override;
    // The caption's colour too.
    void SetBackgroundColour(CRgbaColour colour) override;
    // Ignored: the caption shows in the background colour.
    void SetTextColour(CRgbaColour colour) override;

protected:
    void Layout() override;
    void Paint(CTextureAdapter& canvas) override;

private:
    std::string m_caption;
    CZevralImage m_frame;
    bool m_rightSide;
};
