#include "widgets/area_label.h"

#include "graphics/texture_adapter.h"
#include "shell/app.h"
#include "widgets/word_wrap.h"

#include <algorithm>

namespace
{
constexpr uint32_t kWidth = 100;
constexpr uint32_t kHeight = 15;
// Smaller labels have no room for text.
constexpr int32_t kMinSide = 11;
// Right-aligned text ends this far in from the edge.
constexpr int32_t kRightInset = 5;
}  // namespace

const CRgbaColour CAreaLabel::kHighlightColour(64, 64, 255, 255);

CAreaLabel::CAreaLabel(CArea2* parent, bool ownSurface)
    : CArea2(parent, ownSurface, CApp::IsHighResolution() ? 2 * kWidth : kWidth,
             CApp::IsHighResolution() ? 2 * kHeight : kHeight)
{
    SetName("CAreaLabel");
}

CAreaLabel::~CAreaLabel() = default;

void CAreaLabel::SetText(const std::string& text, bool translate, bool upperCase)
{
    const std::string shown = translate ? CApp::Translate(text, upperCase) : text;
    if (shown == m_text)
        return;
    m_text = shown;
    SetDirty();
}

void CAreaLabel::SetHorizontalAlignment(uint32_t alignment)
{
    if (alignment == m_horizontalAlignment)
        return;
    m_horizontalAlignment = alignment;
    SetDirty();
}

void CAreaLabel::SetVerticalAlignment(uint32_t alignment)
{
    if (alignment == m_verticalAlignment)
        return;
    m_verticalAlignment = alignment;
    SetDirty();
}

void CAreaLabel::SetHighlight(bool highlight)
{
    if (highlight == m_highlight)
        return;
    m_highlight = highlight;
    SetDirty();
}

void CAreaLabel::SetFontName(const std::string& name)
{
    if (name == m_fontName)
        return;
    m_fontName = name;
    SetDirty();
}

void CAreaLabel::SetTextSize(uint32_t size)
{
    if (size == m_textSize)
        return;
    m_textSize = size;
    SetDirty();
}

void CAreaLabel::OnPointerDown(const CPoint&, uint32_t button, bool* handled)
{
    // Without a callback the press falls through to whatever lies under the label.
    if (!m_press.IsSet())
        return;
    m_press(this, button, handled);
    if (handled)
        *handled = true;
}

void CAreaLabel::Paint(CTextureAdapter& canvas)
{
    const int32_t width = int32_t(GetWidth());
    const int32_t height = int32_t(GetHeight());
    if (m_text.empty() || width < kMinSide || height < kMinSide)
        return;
    int32_t textWidth = 0;
    int32_t lineHeight = 0;
    MeasureText(m_text, textWidth, lineHeight);

    // One line too wide for the label (a translation, say) is set smaller, down to the legible
    // size, and beyond that shortened in its middle, rather than cut at the label's edge. A font
    // of its own is drawn as it is.
    std::string shown = m_text;
    uint32_t fittedSize = 0;
    if (m_fontName.empty() && (!m_wrap || m_textSize != 0))
    {
        const int32_t room = m_horizontalAlignment == kAlignStart || m_horizontalAlignment == kAlignCentre
                                 ? width
                                 : width - kRightInset;
        uint32_t size = m_textSize != 0 ? m_textSize : GetFontSize();
        int32_t fittedWidth = 0;
        int32_t fittedHeight = 0;
        MeasureText(m_text, size, fittedWidth, fittedHeight);
        if (fittedWidth > room)
        {
            FitText(uint32_t(std::max(0, room)), shown, size);
            MeasureText(shown, size, fittedWidth, fittedHeight);
            fittedSize = size;
            textWidth = fittedWidth;
        }
    }

    int32_t anchorX = width - kRightInset;
    int32_t left = width - kRightInset - textWidth;
    if (m_horizontalAlignment == kAlignStart)
        anchorX = left = 0;
    else if (m_horizontalAlignment == kAlignCentre)
        anchorX = width / 2, left = width / 2 - textWidth / 2;
    const int32_t middle = height / 2;
    const CRgbaColour colour = m_highlight ? kHighlightColour : GetTextColour();
    const uint32_t align = m_horizontalAlignment;

    if (fittedSize != 0)
    {
        DrawText(canvas, shown, colour, CPoint(anchorX, middle), align, kAlignMiddle, fittedSize);
    }
    else if (m_textSize != 0)
    {
        if (m_fontName.empty())
            DrawText(canvas, m_text, colour, CPoint(anchorX, middle), align, kAlignMiddle, m_textSize);
        else
            DrawText(canvas, m_text, colour, CPoint(anchorX, middle), align, kAlignMiddle, m_fontName, m_textSize);
    }
    else if (m_wrap)
    {
        // A word too wide for a line (a long name) keeps both its ends.
        const std::vector<std::string> lines = WrapWords(m_text, width, GetFont(), true);
        int32_t y = FirstLineY(middle, lines.size(), lineHeight);
        for (const std::string& line : lines)
        {
            DrawText(canvas, line, colour, CPoint(anchorX, y), align, kAlignMiddle);
            y += lineHeight;
        }
    }
    else
    {
        DrawText(canvas, m_text, colour, CPoint(anchorX, middle), align, kAlignMiddle);
    }

    if (m_highlight)
    {
        const int32_t underline = middle + lineHeight / 2;
        canvas.DrawLine(left, underline, left + textWidth, underline, kHighlightColour);
    }
}
