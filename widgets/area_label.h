#pragma once

#include "widgets/area.h"
#include "widgets/callback.h"

#include <cstdint>
#include <string>

// One text: a caption or value on a page, a title or message in a dialog. Aligned left, centred or
// right (5 pixels in from the edge), always centred vertically, optionally wrapped over several
// lines (a word wider than a line shortened in its middle), in its own font and size, or
// highlighted (drawn in a blue shared by all labels and underlined).
class CAreaLabel : public CArea2
{
public:
    // Called as function(context, label, button, handled), only when the context is not null.
    using PressCallback = void (*)(void* context, CAreaLabel* label, uint32_t button, bool* handled);

    static const CRgbaColour kHighlightColour;

    CAreaLabel(CArea2* parent, bool ownSurface);
    ~CAreaLabel() override;

    // With translate the text goes through the phrase lookup first, upper-cased when asked.
    void SetText(const std::string& text, bool translate = false, bool upperCase = false);
    std::string GetText() const { return m_text; }
    // 0 left, 2 centred, any other value right.
    void SetHorizontalAlignment(uint32_t alignment);
    uint32_t GetHorizontalAlignment() const { return m_horizontalAlignment; }
    // Kept for the owner; the text is always centred vertically.
    void SetVerticalAlignment(uint32_t alignment);
    void SetHighlight(bool highlight);
    bool IsHighlight() const { return m_highlight; }
    // Takes effect at the next repaint.
    void SetWrap(bool wrap) { m_wrap = wrap; }
    bool IsWrap() const { return m_wrap; }
    // Empty: the area's font.
    void SetFontName(const std::string& name);
    // 0: the area's font and size. A size of its own draws one line, never wrapped.
    void SetTextSize(uint32_t size);
    void SetPressCallback(void* context, PressCallback function) { m_press.Set(context, function); }

protected:
    void OnPointerDown(const CPoint& point, uint32_t button, bool* handled) override;
    void Paint(CTextureAdapter& canvas) override;

private:
    CCallback<PressCallback> m_press;
    std::string m_text;
    std::string m_fontName;
    uint32_t m_textSize = 0;
    uint32_t m_horizontalAlignment = kAlignCentre;
    uint32_t m_verticalAlignment = 1;
    bool m_highlight = false;
    bool m_wrap = false;
};
