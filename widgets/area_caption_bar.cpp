#include "widgets/area_caption_bar.h"

#include "graphics/glyph_manager.h"
#include "graphics/texture_adapter.h"
#include "shell/app.h"
#include "widgets/shorten_middle.h"

namespace
{
constexpr uint32_t kWidth = 50;
constexpr uint32_t kHeight = 200;
constexpr uint32_t kFontSize = 18;
// The caption's box keeps this far from every edge of the bar.
constexpr int32_t kTextMargin = 10;

// Upper-cases the ASCII letters; every other byte, those of non-ASCII characters included, stays.
std::string UpperAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return text;
}
}  // namespace

CAreaCaptionBar::CAreaCaptionBar(CArea2* parent, bool rightSide)
    : CArea2(parent, true, CApp::IsHighResolution() ? 2 * kWidth : kWidth, kHeight), m_rightSide(rightSide)
{
    SetName("CAreaCaptionBar");
    CArea2::SetTextColour(GetBackgroundColour());
    SetFontSize(CApp::IsHighResolution() ? 2 * kFontSize : kFontSize);
}

CAreaCaptionBar::~CAreaCaptionBar() = default;

void CAreaCaptionBar::SetCaption(const std::string& text, bool translate, bool upperCase)
{
    std::string caption = text;
    if (translate)
        caption = CApp::Translate(text, upperCase);
    else if (upperCase)
        caption = UpperAscii(text);
    if (caption == m_caption)
        return;
    m_caption = caption;
    Layout();
    SetDirty();
}

void CAreaCaptionBar::SetColour(CRgbaColour colour)
{
    CArea2::SetColour(colour);
    Refresh(false);
}

void CAreaCaptionBar::SetBackgroundColour(CRgbaColour colour)
{
    CArea2::SetBackgroundColour(colour);
    CArea2::SetTextColour(colour);
    SetDirty();
}

void CAreaCaptionBar::SetTextColour(CRgbaColour) {}

void CAreaCaptionBar::Layout()
{
    // A horizontal frame as long as the bar is tall, turned upright.
    CGlyphManager::Instance().GetCaptionFrame(m_frame, GetHeight(), GetWidth());
    m_frame.Fill(GetColour(), true);
    m_frame.RotateQuarter(m_rightSide ? 90 : 270);
}

void CAreaCaptionBar::Paint(CTextureAdapter& canvas)
{
    canvas.CompositeImage(CPoint(0, 0), m_frame);
    const int32_t length = canvas.GetHeight() - 2 * kTextMargin;
    const int32_t across = canvas.GetWidth() - 2 * kTextMargin;
    if (m_caption.empty() || length <= 0 || across <= 0)
        return;
    // A long caption (as translations make them) is first set a little smaller, and only then
    // shortened in the middle, until it fits the length it is drawn in.
    std::string caption = m_caption;
    uint32_t size = GetFontSize();
    const uint32_t smallest = size * 2 / 3;
    int32_t width = 0;
    int32_t height = 0;
    MeasureText(caption, size, width, height);
    while (width > length && size > smallest)
        MeasureText(caption, --size, width, height);
    caption = ShortenMiddleToFit(caption, [&](const std::string& candidate) {
        MeasureText(candidate, size, width, height);
        return width <= length;
    });
    // Written across a horizontal scratch image, then turned to read from bottom to top.
    CZevralImage scratch{uint32_t(length), uint32_t(across)};
    scratch.Fill(CRgbaColour(0u));
    DrawText(scratch, caption, GetBackgroundColour(), CPoint(length / 2, across / 2), kAlignCentre, kAlignMiddle, size);
    scratch.RotateQuarter(270);
    canvas.BlendImage(CPoint(kTextMargin, kTextMargin), scratch);
}
